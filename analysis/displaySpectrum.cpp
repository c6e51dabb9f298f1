#include "displaySpectrum.h"

#include "fftPlan.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <new>

int spectrumBinCount(int scans, int padding)
{
    if (scans < 2 || padding < 1)
        return 0;
    const long long bins = static_cast<long long>(scans) * padding / 2;
    // Larger blocks could not be transformed in memory anyway.
    return bins > std::numeric_limits<int>::max() / 2 ? 0 : static_cast<int>(bins);
}

std::vector<double> spectrumFrequencies(int scans, int padding, double rateHz)
{
    std::vector<double> frequencies;
    const int bins = spectrumBinCount(scans, padding);
    if (bins == 0)
        return frequencies;
    const double length = static_cast<double>(scans) * padding;
    try {
        frequencies.resize(static_cast<size_t>(bins));
    } catch (const std::bad_alloc &) {
        return std::vector<double>();
    }
    for (int k = 0; k < bins; ++k)
        frequencies[static_cast<size_t>(k)] = k * rateHz / length;
    return frequencies;
}

bool amplitudeSpectrumDb(const double *samples, const double *window, int scans, int padding,
                         std::vector<double> &dB)
{
    dB.clear();
    const int bins = spectrumBinCount(scans, padding);
    if (bins == 0 || !samples || !window)
        return false;
    const size_t n = static_cast<size_t>(scans);
    const size_t length = n * static_cast<size_t>(padding);
    double windowSum = 0.0;
    for (size_t j = 0; j < n; ++j)
        windowSum += window[j];
    if (windowSum == 0.0)
        return false;
    const double scale = static_cast<double>(bins / padding) * (windowSum / scans);
    try {
        // Kept per thread between calls: at large padding, fresh buffers of
        // millions of values cost more in page faults than the transform.
        thread_local std::vector<double> x;
        thread_local std::vector<std::complex<double>> spectrum;
        x.resize(length);
        for (size_t j = 0; j < n; ++j)
            x[j] = samples[j] * window[j];
        std::fill(x.begin() + static_cast<std::ptrdiff_t>(n), x.end(), 0.0);
        spectrum.resize(length / 2 + 1);
        fftForwardReal(x.data(), spectrum.data(), length);
        dB.resize(static_cast<size_t>(bins));
        // 20 log10(|X| / scale) as 10 log10(|X|^2 / scale^2): no square root
        // per bin, which counts at 400,000 bins a channel.
        const double scaleSquared = scale * scale;
        for (size_t k = 0; k < dB.size(); ++k)
            dB[k] = std::max(10.0 * std::log10(std::norm(spectrum[k]) / scaleSquared), spectrumFloorDb);
    } catch (const std::bad_alloc &) {
        dB.clear();
        return false;
    }
    return true;
}
