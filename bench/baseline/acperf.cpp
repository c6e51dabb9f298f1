// Frozen copy for bench/baseline/baseline.h: do not edit.
#include "acperf.h"

#include "fftPlan.h"
#include "windowFunction.h"

#include <cmath>
#include <complex>
#include <limits>
#include <new>
#include <stdexcept>

acperf::acperf(int N, const double *times, const double *samples, double fs, int P)
    : count(N), padding(P), halfWidth(7 * P), sampleTimes(times)
{
    if (P <= 0)
        throw std::runtime_error("Zero padding factor must be >= 1");
    if (N < 2)
        return; // no bins: the scale K / P below would be 0
    length = static_cast<long long>(N) * P;
    if (length / 2 > std::numeric_limits<int>::max())
        throw std::runtime_error("Failed to allocate memory for FFT");
    bins = static_cast<int>(length / 2);
    binWidth = fs / static_cast<double>(length);

    try {
        magnitudes.assign(static_cast<size_t>(bins), 0.0);
        frequencies.assign(static_cast<size_t>(bins), 0.0);
        for (int k = 1; k < bins; ++k)
            frequencies[static_cast<size_t>(k)] = frequencies[static_cast<size_t>(k) - 1] + binWidth;

        std::vector<double> x(static_cast<size_t>(length), 0.0);
        std::vector<double> window(static_cast<size_t>(N));
        windowFunction(windowBlackmanHarris7, N, window.data());
        double windowSum = 0.0, weighted = 0.0;
        for (int j = 0; j < N; ++j) {
            windowSum += window[static_cast<size_t>(j)];
            weighted += window[static_cast<size_t>(j)] * samples[j];
        }
        // Without the weighted mean the windowed block sums to zero: an
        // offset cannot spread its main lobe (7 P bins wide) over the bins
        // where the fundamental is looked for.
        const double mean = weighted / windowSum;
        for (int j = 0; j < N; ++j)
            x[static_cast<size_t>(j)] = (samples[j] - mean) * window[static_cast<size_t>(j)];
        const double coherentGain = windowSum / N;

        std::vector<std::complex<double>> spectrum(static_cast<size_t>(length / 2 + 1));
        fftForwardReal(x.data(), spectrum.data(), static_cast<size_t>(length));
        const double scale = static_cast<double>(bins / P) * coherentGain;
        for (size_t k = 0; k < magnitudes.size(); ++k)
            magnitudes[k] = std::sqrt(std::norm(spectrum[k])) / scale;
    } catch (const std::bad_alloc &) {
        throw std::runtime_error("Failed to allocate memory for FFT");
    }

    // One search gives both the peak and the fundamental: the first largest
    // bin from 5 P up.
    for (int k = 5 * P; k < bins; ++k)
        if (magnitudes[static_cast<size_t>(k)] > peakMagnitude) {
            peakMagnitude = magnitudes[static_cast<size_t>(k)];
            peakIndex = k;
        }
    fundamental = frequencies[static_cast<size_t>(peakIndex)];

    double power = 0.0;
    for (int k = peakIndex - halfWidth; k < peakIndex + halfWidth; ++k)
        if (k >= 0 && k < bins)
            power += magnitudes[static_cast<size_t>(k)] * magnitudes[static_cast<size_t>(k)];
    rmsFundamental = std::sqrt(power / P);
}
