// Time of the display spectrum of one block of 16 channels x 8192 scans, and
// of one card's measurement (acperf, sine fit, AC figures for 16 channels),
// at zero padding 1, 10 and 100.
//   bench_analysis_spectrum [THREADS]
// THREADS (default: the machine's cores) spreads the display spectra over
// that many threads, as the waveform panel spreads them over its pool.
#include "channelMeasurement.h"
#include "displaySpectrum.h"
#include "fftPlan.h"
#include "windowFunction.h"

#include <kissfft/kissfft.hh>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

const int channels = 16, scans = 8192;
const double rateHz = 51200.0;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Median of a few runs, in milliseconds.
template <typename Work>
double medianMs(int runs, Work work)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(secondsSince(start) * 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The baseline: one real-input kissfft<double> of the padded length per
// channel (windowed samples, then zeros), the plan made beforehand; 1 thread.
double baselineMs(const std::vector<double> &block, const std::vector<double> &window, int padding)
{
    const size_t M = size_t(scans) * size_t(padding);
    const kissfft<double> half(M / 2, false);
    std::vector<double> in(M, 0.0);
    std::vector<std::complex<double>> out(M / 2 + 1);
    return medianMs(5, [&] {
        for (int o = 0; o < channels; ++o) {
            const double *x = block.data() + size_t(o) * scans;
            for (int i = 0; i < scans; ++i)
                in[size_t(i)] = x[i] * window[size_t(i)];
            half.transform_real(in.data(), out.data());
        }
    });
}

void spectra(const std::vector<double> &block, const std::vector<double> &window, int padding, int threads)
{
    std::atomic<int> next{0};
    auto worker = [&] {
        std::vector<double> dB;
        for (int o = next++; o < channels; o = next++)
            amplitudeSpectrumDb(block.data() + size_t(o) * scans, window.data(), scans, padding, dB);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread &thread : pool)
        thread.join();
}

} // namespace

int main(int argc, char **argv)
{
    const int threads = argc > 1 ? std::max(1, std::atoi(argv[1])) : int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<double> block(size_t(channels) * scans), times(scans);
    for (int o = 0; o < channels; ++o)
        for (int i = 0; i < scans; ++i)
            block[size_t(o) * scans + size_t(i)] = std::sin(2.0 * 3.141592653589793 * (997.3 + 10 * o) * i / rateHz)
                                                   + 1e-6 * std::cos(0.37 * i * i);
    for (int i = 0; i < scans; ++i)
        times[size_t(i)] = i / rateHz;
    std::vector<double> window(scans);
    windowFunction(windowHann, scans, window.data());

    std::printf("16 channels x 8192 scans; display spectrum on %d thread(s)\n", threads);
    std::printf("display spectrum of the block: first call (plans made), cached, cached on 1 thread\n");
    std::printf("one card's measurement (medians): 3-parameter fit on 1 thread, and on %d threads; 4-parameter, 7 iterations\n",
                threads);
    std::printf("baseline: one real-input kissfft<double> per channel of the padded length, plan made, 1 thread\n");
    std::printf("%8s %12s %12s %12s %12s %8s %12s %12s %12s\n", "padding", "first ms", "cached ms", "1 thr ms",
                "baseline ms", "ratio", "3p 1 thr", "3p ms", "4p7 ms");
    for (int padding : {1, 10, 100}) {
        fftClearPlanCache();
        const double first = medianMs(1, [&] { spectra(block, window, padding, threads); });
        const double cached = medianMs(5, [&] { spectra(block, window, padding, threads); });
        const double serial = medianMs(5, [&] { spectra(block, window, padding, 1); });
        const double baseline = baselineMs(block, window, padding);
        double measure[3];
        for (int i = 0; i < 3; ++i) {
            CardMeasurementInput in;
            in.scans = scans;
            in.times = times.data();
            in.rateHz = rateHz;
            in.padding = padding;
            in.iterations = i == 2 ? 7 : 0;
            in.threads = i == 0 ? 1 : threads;
            const uint16_t mask = 0xFFFF;
            locateCardSamples(block.data(), scans, &mask, 0, in);
            measure[i] = medianMs(3, [&] {
                CardMeasurement m = measureCard(in);
                if (!m.error.empty())
                    std::printf("error: %s\n", m.error.c_str());
            });
        }
        std::printf("%8d %12.1f %12.1f %12.1f %12.1f %8.2f %12.1f %12.1f %12.1f\n", padding, first, cached, serial,
                    baseline, serial / baseline, measure[0], measure[1], measure[2]);
    }
    return 0;
}
