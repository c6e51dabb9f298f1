// Time of one card's measurement (16 channels x 8192 scans, 3-parameter and
// 4-parameter fits, padding 1 and 10) by today's code and by the code before
// it kept windows, buffers and regressors (bench/baseline), in one run and
// on one thread, with the largest relative difference of their figures; then
// what spectrum averaging adds to the display spectrum of 16 channels, and
// what the harmonic and spur details add to a measurement.
//   taskset -c 1 bench_analysis_measure [RUNS]
// RUNS (default 21) runs per figure; medians are shown.
#include "baseline/baseline.h"
#include "channelMeasurement.h"
#include "detailsText.h"
#include "displaySpectrum.h"
#include "powerAveraging.h"
#include "windowFunction.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const int channels = 16, scans = 8192;
const double rateHz = 51200.0;

// Medians of two kinds of work run in turns, so that whatever else the
// machine does falls on both alike.
template <typename Before, typename Now>
std::pair<double, double> alternatingMediansMs(int runs, Before before, Now now)
{
    std::vector<double> a, b;
    for (int r = 0; r < runs; ++r) {
        auto start = std::chrono::steady_clock::now();
        before();
        a.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        start = std::chrono::steady_clock::now();
        now();
        b.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}


// Tones off the FFT grid with small harmonics and noise, as a converter gives them.
std::vector<double> makeBlock()
{
    std::vector<double> block(size_t(channels) * scans);
    unsigned long long state = 12345;
    auto uniform = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(state >> 11) / 9007199254740992.0 - 0.5;
    };
    const double pi = std::acos(-1.0);
    for (int o = 0; o < channels; ++o)
        for (int i = 0; i < scans; ++i) {
            const double theta = 2.0 * pi * (997.3 + 61.7 * o) * i / rateHz;
            block[size_t(o) * scans + size_t(i)] = 5.0 * std::sin(theta) + 5e-5 * std::sin(2 * theta + 0.3)
                                                   + 2e-5 * std::sin(3 * theta) + 1e-4 * uniform() + 0.01;
        }
    return block;
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::vector<double> block = makeBlock();
    std::vector<double> times(scans);
    for (int i = 0; i < scans; ++i)
        times[size_t(i)] = i / rateHz;

    std::printf("one card, 16 channels x %d scans, 1 thread; medians of %d runs\n", scans, runs);
    std::printf("%-24s %12s %12s %8s %16s\n", "measurement", "before ms", "now ms", "speed-up", "max rel. diff");
    for (int padding : {1, 10})
        for (int iterations : {0, 7}) {
            CardMeasurementInput in;
            in.scans = scans;
            in.times = times.data();
            in.rateHz = rateHz;
            in.padding = padding;
            in.iterations = iterations;
            in.threads = 1;
            const uint16_t mask = 0xFFFF;
            locateCardSamples(block.data(), scans, &mask, 0, in);
            double before[16][10], now[16][10];
            CardMeasurement m;
            const auto [old, fresh] = alternatingMediansMs(
                runs,
                [&] { baseline::measureCardFigures(scans, times.data(), rateHz, padding, iterations, in.samples, 1, before); },
                [&] { m = measureCard(in); });
            double worst = 0.0;
            for (int k = 0; k < 16; ++k)
                for (int c = 0; c < 10; ++c) {
                    now[k][c] = figureColumn(m.figures[k], c);
                    const double scale = std::max(std::fabs(before[k][c]), 1e-300);
                    worst = std::max(worst, std::fabs(now[k][c] - before[k][c]) / scale);
                }
            char label[64];
            std::snprintf(label, sizeof label, "%s, padding %d", iterations ? "4-param. 7 it." : "3-param.", padding);
            std::printf("%-24s %12.2f %12.2f %8.2f %16.3g\n", label, old, fresh, old / fresh, worst);
        }

    // The display spectrum as the panel makes it, and with averaging.
    std::vector<double> window(scans);
    windowFunction(windowHann, scans, window.data());
    std::vector<double> dB, power;
    SpectrumAverager averager;
    averager.setMode(AveragingMode::exponential, 64);
    AveragingKey key;
    key.channelMasks = {0xFFFF};
    key.rateHz = rateHz;
    key.scans = scans;
    key.window = windowHann;
    const auto [plain, averaged] = alternatingMediansMs(runs, [&] {
        for (int o = 0; o < channels; ++o)
            amplitudeSpectrumDb(block.data() + size_t(o) * scans, window.data(), scans, 1, dB);
    }, [&] {
        averager.beginBlock(key, channels);
        for (int o = 0; o < channels; ++o) {
            amplitudeSpectrumPower(block.data() + size_t(o) * scans, window.data(), scans, 1, power);
            averager.add(o, power);
            dB.resize(power.size());
            spectrumRatioToDb(power.data(), dB.data(), power.size());
        }
    });
    std::printf("\ndisplay spectrum of 16 channels, padding 1: %.3f ms, exponentially averaged %.3f ms (+%.1f %%)\n",
                plain, averaged, (averaged / plain - 1.0) * 100.0);

    CardMeasurementInput in;
    in.scans = scans;
    in.times = times.data();
    in.rateHz = rateHz;
    in.threads = 1;
    const uint16_t mask = 0xFFFF;
    locateCardSamples(block.data(), scans, &mask, 0, in);
    CardMeasurementInput withDetails = in;
    withDetails.details = true;
    size_t characters = 0;
    const auto [without, with] = alternatingMediansMs(runs, [&] { measureCard(in); }, [&] {
        // The details and every cell of their table, as the page shows them.
        const CardMeasurement m = measureCard(withDetails);
        const int orders = detailsHighestOrder(m);
        for (int k = 0; k < 16; ++k)
            for (int column = 0; column < detailsColumnCount(orders); ++column)
                characters += detailsCellText(m.details[k], column, orders).size();
    });
    std::printf("measurement of 16 channels: %.3f ms, with the details and their table's texts %.3f ms (+%.3f ms)\n",
                without, with, with - without);
    return characters > 0 ? 0 : 1;
}
