// Frozen copy for bench/baseline/baseline.h: do not edit.
// The spectral AC figures of acperf. Every span that is taken out of the
// spectrum (DC, fundamental, harmonics) is the window's whole main lobe,
// +-h bins, so no part of a tone is counted as noise.
#include "acperf.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
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
    return power > 0.0 && peakMagnitude > 0.0 ? moment / power : fundamental;
}

bool acperf::acFigures(double *thdDb, double *sinad, double *snr, double *sfdr, double *enob)
{
    const int P = padding;
    const int h = halfWidth;
    std::vector<double> &mag = magnitudes;
    const std::vector<double> &binFreq = frequencies;

    // SFDR first, on the untouched spectrum: the largest bin outside the
    // fundamental's span is the spur. The span is counted in whole bins: bin
    // frequencies are sums of df, and comparing them would let rounding put
    // a bin of the tone's own main lobe on either side of the span's edge.
    int spurBin = -1;
    double spur = 0.0;
    for (int k = 5 * P; k < bins; ++k)
        if (std::abs(k - peakIndex) > h && mag[static_cast<size_t>(k)] > spur) {
            spur = mag[static_cast<size_t>(k)];
            spurBin = k;
        }
    // Tone and spur are compared by the power of their main lobes: a tone
    // off its bin loses up to some 0.4 dB at its largest bin (the window's
    // scalloping), and differently for the fundamental and a harmonic,
    // whereas the lobe's power does not depend on where the tone lies.
    // The spur's lobe leaves out the fundamental's span.
    auto lobePower = [&](int centre) {
        double power = 0.0;
        for (int k = std::max(0, centre - h); k <= centre + h && k < bins; ++k)
            if (centre == peakIndex || std::abs(k - peakIndex) > h)
                power += mag[static_cast<size_t>(k)] * mag[static_cast<size_t>(k)];
        return power;
    };
    const double spuriousFree = (spur == 0.0 || 5 * P >= bins)
                                    ? notANumber
                                    : 10.0 * std::log10(lobePower(peakIndex) / lobePower(spurBin));

    // Harmonic n lies at n times the refined fundamental; the bin frequency
    // alone is up to half a bin off, which grows to n/2 bins at harmonic n.
    // Without a fundamental there are no harmonics to look for.
    const double f0 = interpolatedFundamental();
    int harmonics = 0;
    if (f0 > 0.0 && bins > 0)
        harmonics = static_cast<int>(std::min(30.0, bins * binWidth / f0));

    // What each bin belongs to once the tones are taken out.
    enum Region : char { noise, signal, harmonic };
    std::vector<char> region(static_cast<size_t>(bins), noise);
    // The DC region: the whole main lobe of what is left of an offset or a
    // slow drift.
    for (int k = 0; k <= h && k < bins; ++k) {
        mag[static_cast<size_t>(k)] = 0.0;
        region[static_cast<size_t>(k)] = signal;
    }

    double harmonicPower = 0.0;
    int harmonicBins = 0;
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
            char &owner = region[static_cast<size_t>(j)];
            if (n >= 2)
                harmonicPower += mag[static_cast<size_t>(j)] * mag[static_cast<size_t>(j)];
            if (owner == noise) {
                owner = n >= 2 ? harmonic : signal;
                if (n >= 2)
                    ++harmonicBins;
            }
            mag[static_cast<size_t>(j)] = 0.0;
        }
        cursor = b + h + 1;
    }
    const double harmonicRms = std::sqrt(harmonicPower / P);

    const double thdPercent = rmsFundamental == 0.0 ? notANumber : harmonicRms * 100.0 / rmsFundamental;
    const double thd = 20.0 * std::log10(thdPercent / 100.0);

    // What is left is noise. Its mean power per bin stands for the bins
    // the tones took, so that the noise is that of the whole band.
    double noisePower = 0.0;
    noiseBins = 0;
    for (int k = 0; k < bins; ++k)
        if (region[static_cast<size_t>(k)] == noise) {
            noisePower += mag[static_cast<size_t>(k)] * mag[static_cast<size_t>(k)];
            ++noiseBins;
        }
    double signalToNoise = notANumber, signalToNoiseAndDistortion = notANumber;
    if (noiseBins > 0) {
        const double perBin = noisePower / noiseBins;
        const double noiseRms = std::sqrt(perBin * bins / P);
        if (noiseRms != 0.0)
            signalToNoise = 20.0 * std::log10(rmsFundamental / noiseRms);
        // Everything but the fundamental and DC: the harmonic spans as they
        // are (they already hold their share of the noise) and the noise of
        // every other bin. Adding the harmonic RMS to the band's noise would
        // count the noise inside the harmonic spans twice.
        const double others = (harmonicPower + perBin * (bins - harmonicBins)) / P;
        signalToNoiseAndDistortion = 10.0 * std::log10(rmsFundamental * rmsFundamental / others);
    }

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
