// The spectral AC figures of acperf. Every span that is taken out of the
// spectrum (DC, fundamental, harmonics) is the window's whole main lobe,
// +-h bins, so no part of a tone is counted as noise.
#include "acperf.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

double acperf::interpolatedFundamental() const
{
    double power = 0.0, moment = 0.0;
    for (int k = std::max(0, peakIndex - halfWidth); k <= peakIndex + halfWidth && k < bins; ++k) {
        const double p = magnitudes[static_cast<size_t>(k)] * magnitudes[static_cast<size_t>(k)];
        power += p;
        moment += p * frequencies[static_cast<size_t>(k)];
    }
    return power > 0.0 ? moment / power : fundamental;
}

bool acperf::acFigures(double *thdDb, double *sinad, double *snr, double *sfdr, double *enob)
{
    const int P = padding;
    const int h = halfWidth;
    std::vector<double> &mag = magnitudes;
    const std::vector<double> &binFreq = frequencies;

    // SFDR first, on the untouched spectrum: the largest bin outside the
    // fundamental's span.
    double spur = 0.0;
    for (int k = 5 * P; k < bins; ++k)
        if (std::fabs(binFreq[static_cast<size_t>(k)] - fundamental) > h * binWidth)
            spur = std::max(spur, mag[static_cast<size_t>(k)]);
    const double spuriousFree = (spur == 0.0 || 5 * P >= bins) ? notANumber : 20.0 * std::log10(peakMagnitude / spur);

    // Harmonic n lies at n times the refined fundamental; the bin frequency
    // alone is up to half a bin off, which grows to n/2 bins at harmonic n.
    const double f0 = interpolatedFundamental();
    int harmonics = 0;
    if (f0 > 0.0 && bins > 0)
        harmonics = static_cast<int>(std::min(30.0, bins * binWidth / f0));

    std::vector<bool> cleared(static_cast<size_t>(bins), false);
    auto clearBin = [&](int k) {
        mag[static_cast<size_t>(k)] = 0.0;
        cleared[static_cast<size_t>(k)] = true;
    };
    // The DC region: the whole main lobe of what is left of an offset or a
    // slow drift.
    for (int k = 0; k <= h && k < bins; ++k)
        clearBin(k);

    double harmonicPower = 0.0;
    int cursor = 0, b = 0;
    for (int n = 1; n <= harmonics; ++n) {
        const double centre = n * f0;
        const double reach = h * binWidth;
        int k = cursor + 1;
        while (k < bins && !(std::fabs(binFreq[static_cast<size_t>(k)] - centre) < reach))
            ++k;
        if (k < bins) {
            double largest = -1.0;
            for (; k < bins && std::fabs(binFreq[static_cast<size_t>(k)] - centre) <= reach; ++k)
                if (mag[static_cast<size_t>(k)] >= largest) {
                    largest = mag[static_cast<size_t>(k)];
                    b = k;
                }
        }
        for (int j = std::max(0, b - h); j <= b + h && j < bins; ++j) {
            if (n >= 2)
                harmonicPower += mag[static_cast<size_t>(j)] * mag[static_cast<size_t>(j)];
            clearBin(j);
        }
        cursor = b + h + 1;
    }
    const double harmonicRms = std::sqrt(harmonicPower / P);

    const double thdPercent = rmsFundamental == 0.0 ? notANumber : harmonicRms * 100.0 / rmsFundamental;
    const double thd = 20.0 * std::log10(thdPercent / 100.0);

    // What is left is noise, in the bins that were not cleared; scaled up to
    // the whole band as if the cleared bins had held the same noise.
    double noisePower = 0.0;
    int kept = 0;
    for (int k = 0; k < bins; ++k)
        if (!cleared[static_cast<size_t>(k)]) {
            noisePower += mag[static_cast<size_t>(k)] * mag[static_cast<size_t>(k)];
            ++kept;
        }
    if (kept > 0)
        noisePower *= static_cast<double>(bins) / kept;
    const double noiseRms = std::sqrt(noisePower / P);
    const double signalToNoise = noiseRms == 0.0 ? notANumber : 20.0 * std::log10(rmsFundamental / noiseRms);

    const double signalToNoiseAndDistortion =
        10.0 * std::log10(1.0 / (std::pow(10.0, 2.0 * std::log10(thdPercent / 100.0)) + std::pow(10.0, -signalToNoise / 10.0)));

    if (thdDb)
        *thdDb = thd;
    if (sinad)
        *sinad = signalToNoiseAndDistortion;
    if (snr)
        *snr = signalToNoise;
    if (sfdr)
        *sfdr = spuriousFree;
    if (enob)
        *enob = (signalToNoiseAndDistortion - 1.76) / 6.02;
    return true;
}
