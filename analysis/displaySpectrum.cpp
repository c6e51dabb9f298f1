#include "displaySpectrum.h"

#include "fftPlan.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
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

namespace {

// The transform of one windowed, padded channel and its scale T (S / N);
// false when there is nothing to show. spectrum is per thread: valid until
// the thread's next call.
bool windowedTransform(const double *samples, const double *window, int scans, int padding,
                       const std::complex<double> *&spectrumOut, double &scaleOut)
{
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
    scaleOut = static_cast<double>(bins / padding) * (windowSum / scans);
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
    spectrumOut = spectrum.data();
    return true;
}

} // namespace

bool amplitudeSpectrumPower(const double *samples, const double *window, int scans, int padding,
                            std::vector<double> &power)
{
    power.clear();
    try {
        const std::complex<double> *X = nullptr;
        double scale = 0.0;
        if (!windowedTransform(samples, window, scans, padding, X, scale))
            return false;
        power.resize(static_cast<size_t>(spectrumBinCount(scans, padding)));
        const double inverse = 1.0 / (scale * scale);
        const double *parts = reinterpret_cast<const double *>(X);
        for (size_t k = 0; k < power.size(); ++k)
            power[k] = (parts[2 * k] * parts[2 * k] + parts[2 * k + 1] * parts[2 * k + 1]) * inverse;
    } catch (const std::bad_alloc &) {
        power.clear();
        return false;
    }
    return true;
}

bool amplitudeSpectrumDb(const double *samples, const double *window, int scans, int padding,
                         std::vector<double> &dB)
{
    dB.clear();
    try {
        const std::complex<double> *X = nullptr;
        double scale = 0.0;
        if (!windowedTransform(samples, window, scans, padding, X, scale))
            return false;
        dB.resize(static_cast<size_t>(spectrumBinCount(scans, padding)));
        // 20 log10(|X| / scale) as 10 log10(|X|^2 / scale^2): no square root
        // per bin, which counts at 400,000 bins a channel.
        spectrumPowerToDb(X, scale * scale, dB.data(), dB.size());
    } catch (const std::bad_alloc &) {
        dB.clear();
        return false;
    }
    return true;
}

namespace {

// 10 log10(r), spectrumFloorDb for r below 1e-40, zero or not a number.
inline double ratioToDb(double r)
{
    // ln r = e ln 2 + ln m with r = m 2^e, m in [sqrt(1/2), sqrt(2)); and
    // ln m = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...), s = (m - 1) / (m + 1),
    // |s| <= 0.1716: eleven terms reach the last bit of a double.
    const double floorRatio = 1e-40; // spectrumFloorDb
    const double toDb = 10.0 / std::log(10.0);
    const double ln2 = std::log(2.0);
    const bool weak = !(r >= floorRatio); // zero, below the floor, or not a number
    r = weak ? 1.0 : r;
    std::uint64_t bits;
    std::memcpy(&bits, &r, sizeof bits);
    // The biased exponent as a double, without an integer conversion:
    // 2^52 + e read as a double is exact.
    const std::uint64_t exponentBits = ((bits >> 52) & 0x7FF) | 0x4330000000000000ull;
    double e;
    std::memcpy(&e, &exponentBits, sizeof e);
    e -= 4503599627370496.0 + 1023.0;
    const std::uint64_t mantissaBits = (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
    double m;
    std::memcpy(&m, &mantissaBits, sizeof m);
    const bool high = m > 1.4142135623730951;
    m = high ? m * 0.5 : m;
    e = high ? e + 1.0 : e;
    const double s = (m - 1.0) / (m + 1.0);
    const double z = s * s;
    double series = 1.0 / 21.0;
    series = 1.0 / 19.0 + z * series;
    series = 1.0 / 17.0 + z * series;
    series = 1.0 / 15.0 + z * series;
    series = 1.0 / 13.0 + z * series;
    series = 1.0 / 11.0 + z * series;
    series = 1.0 / 9.0 + z * series;
    series = 1.0 / 7.0 + z * series;
    series = 1.0 / 5.0 + z * series;
    series = 1.0 / 3.0 + z * series;
    const double ln = e * ln2 + 2.0 * s * (1.0 + z * series);
    return weak ? spectrumFloorDb : toDb * ln;
}

} // namespace

void spectrumPowerToDb(const std::complex<double> *X, double scaleSquared, double *dB, std::size_t count)
{
    const double inverse = 1.0 / scaleSquared;
    const double *parts = reinterpret_cast<const double *>(X);
    for (std::size_t k = 0; k < count; ++k) {
        const double re = parts[2 * k], im = parts[2 * k + 1];
        dB[k] = ratioToDb((re * re + im * im) * inverse);
    }
}

void spectrumRatioToDb(const double *power, double *dB, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        dB[k] = ratioToDb(power[k]);
}
