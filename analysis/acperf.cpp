#include "acperf.h"

#include "fftPlan.h"
#include "windowCache.h"
#include "windowFunction.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <new>
#include <stdexcept>

namespace {

// Longer transforms keep no buffers for the next block: theirs cost far
// more than the page faults of fresh ones, and every worker would hold
// hundreds of MB.
constexpr long long largestKeptLength = 1 << 22;

// Kept out of line so the sum stays in a register: inlined, it went
// through memory on every step.
__attribute__((noinline)) double weightedSum(const double *window, const double *samples, int N)
{
    double sum = 0.0;
    for (int j = 0; j < N; ++j)
        sum += window[j] * samples[j];
    return sum;
}

} // namespace

acperf::acperf(int N, const double *times, const double *samples, double fs, int P)
    : acperf(N, times, samples, fs, P, AnalysisSettings())
{
}

acperf::acperf(int N, const double *times, const double *samples, double fs, int P, const AnalysisSettings &settings)
    : count(N), padding(P), halfWidth(7 * P), rules(settings), sampleTimes(times)
{
    if (P <= 0)
        throw std::runtime_error("Zero padding factor must be >= 1");
    if (N < 2) {
        frequencies = std::make_shared<const std::vector<double>>();
        return; // no bins: the scale K / P below would be 0
    }
    length = static_cast<long long>(N) * P;
    if (length / 2 > std::numeric_limits<int>::max())
        throw std::runtime_error("Failed to allocate memory for FFT");
    bins = static_cast<int>(length / 2);
    binWidth = fs / static_cast<double>(length);
    try {
        measure(samples);
    } catch (const std::bad_alloc &) {
        throw std::runtime_error("Failed to allocate memory for FFT");
    }
}

void acperf::measure(const double *samples)
{
    const int N = count, P = padding;
    magnitudes.assign(static_cast<size_t>(bins), 0.0);
    frequencies = cachedBinFrequencies(bins, binWidth);

    const std::shared_ptr<const CachedWindow> cached = cachedWindow(windowBlackmanHarris7, N);
    const double *window = cached->values.data();
    const double windowSum = cached->sum;
    noiseBandwidth = cached->noiseBandwidthBins;
    const double weighted = weightedSum(window, samples, N);
    // Kept per thread between blocks: fresh buffers for every channel cost
    // more in page faults than the transform itself.
    thread_local std::vector<double> x;
    thread_local std::vector<std::complex<double>> spectrum;
    x.resize(static_cast<size_t>(length));
    // Without the weighted mean the windowed block sums to zero: an
    // offset cannot spread its main lobe (7 P bins wide) over the bins
    // where the fundamental is looked for.
    const double mean = weighted / windowSum;
    for (int j = 0; j < N; ++j)
        x[static_cast<size_t>(j)] = (samples[j] - mean) * window[j];
    std::fill(x.begin() + N, x.end(), 0.0);
    const double coherentGain = windowSum / N;

    spectrum.resize(static_cast<size_t>(length / 2 + 1));
    fftForwardReal(x.data(), spectrum.data(), static_cast<size_t>(length));
    const bool keep = length <= largestKeptLength;
    if (!keep)
        std::vector<double>().swap(x);
    const double scale = static_cast<double>(bins / P) * coherentGain;
    // |X| from its parts: std::norm goes through hypot, a call per bin.
    const double *parts = reinterpret_cast<const double *>(spectrum.data());
    for (size_t k = 0; k < magnitudes.size(); ++k)
        magnitudes[k] = std::sqrt(parts[2 * k] * parts[2 * k] + parts[2 * k + 1] * parts[2 * k + 1]) / scale;
    if (!keep)
        std::vector<std::complex<double>>().swap(spectrum);

    // One search gives both the peak and the fundamental: the first largest
    // bin from 5 P up.
    for (int k = 5 * P; k < bins; ++k)
        if (magnitudes[static_cast<size_t>(k)] > peakMagnitude) {
            peakMagnitude = magnitudes[static_cast<size_t>(k)];
            peakIndex = k;
        }
    fundamental = (*frequencies)[static_cast<size_t>(peakIndex)];

    const int span = rules.fundamentalBins * P;
    double power = 0.0;
    for (int k = peakIndex - span; k < peakIndex + span; ++k)
        if (k >= 0 && k < bins)
            power += magnitudes[static_cast<size_t>(k)] * magnitudes[static_cast<size_t>(k)];
    rmsFundamental = std::sqrt(power / P);
}
