// libFuzzer target of the analysis settings as they come from outside (the
// command line of sfpmeasure, the panel's stored settings): the band text
// and plain numbers, and any settings that pass their check, applied to a
// short spectrum. Input: 12 bytes of settings and block (harmonics, flags,
// three spans, padding, length, tone), then the band text. Beyond not
// crashing it checks that a parsed band reads back from its own text, that
// refused settings name a range, and that figures of accepted settings are
// numbers or "not measured", never an out-of-range access.
#include "acperf.h"
#include "analysisSettings.h"
#include "plainNumber.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 12)
        return 0;
    AnalysisSettings s;
    s.harmonics = int(int8_t(data[0]));
    s.aliasedHarmonics = data[1] & 1;
    s.fitStart = (data[1] & 2) ? FitStart::interpolated : FitStart::largestBin;
    s.harmonicBins = int(int8_t(data[2]));
    s.dcBins = int(int8_t(data[3]));
    s.fundamentalBins = int(int8_t(data[4]));
    const int padding = 1 + data[5] % 4;
    const int N = 2 + (data[6] | (data[7] << 8)) % 600;
    const double cycles = (data[8] | (data[9] << 8)) / 97.0;
    const double noise = data[10] / 255.0, drift = data[11] / 64.0;
    const std::string band(reinterpret_cast<const char *>(data) + 12, size - 12);

    double low = 0.0, high = 0.0;
    if (parseAnalysisBand(band, low, high)) {
        s.bandLowHz = low;
        s.bandHighHz = high;
        const std::string again = plainShortest(low) + ":" + (std::isinf(high) ? "nyquist" : plainShortest(high));
        double low2 = -1.0, high2 = -1.0;
        require(parseAnalysisBand(again, low2, high2) && low2 == low && high2 == high);
    }
    const std::string refused = checkAnalysisSettings(s);
    if (!refused.empty()) {
        require(refused.find(" to ") != std::string::npos);
        return 0;
    }
    require(!analysisSettingsLine(s).empty());

    std::vector<double> samples(static_cast<size_t>(N)), times(static_cast<size_t>(N));
    uint32_t state = 1u + data[10];
    for (int i = 0; i < N; ++i) {
        state = state * 1664525u + 1013904223u;
        times[size_t(i)] = i / 1000.0;
        samples[size_t(i)] = std::sin(2 * 3.141592653589793 * cycles * i / N) + drift * i / N
                             + noise * (double(state >> 8) / 16777216.0 - 0.5);
    }
    acperf a(N, times.data(), samples.data(), 1000.0, padding, s);
    SpectralDetails d;
    double thd = 0, sinad = 0, snr = 0, sfdr = 0, enob = 0;
    a.acFigures(&thd, &sinad, &snr, &sfdr, &enob, &d);
    require(d.harmonics.size() <= size_t(analysisMaxHarmonics));
    for (const HarmonicLevel &h : d.harmonics)
        require(h.order >= 2 && h.order <= analysisMaxHarmonics && !(h.frequencyHz < 0.0) && !(h.frequencyHz > 500.0 + 1e-9));
    require(!(d.thdPlusNoisePercent < 0.0));
    return 0;
}
