// The spectral AC figures of acperf. Every span that is taken out of the
// spectrum (DC, fundamental, harmonics) is the window's whole main lobe,
// +-h bins by default, so no part of a tone is counted as noise; the
// analysis settings may widen or narrow them and limit the band.
#include "acperf.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();

double decibels(double ratio)
{
    return ratio > 0.0 && std::isfinite(ratio) ? 10.0 * std::log10(ratio) : notANumber;
}

} // namespace

double acperf::interpolatedFundamental() const
{
    const int span = rules.fundamentalBins * padding;
    double power = 0.0, moment = 0.0;
    for (int k = std::max(0, peakIndex - span); k <= peakIndex + span && k < bins; ++k) {
        const double p = magnitudes[static_cast<size_t>(k)] * magnitudes[static_cast<size_t>(k)];
        power += p;
        moment += p * (*frequencies)[static_cast<size_t>(k)];
    }
    return power > 0.0 && peakMagnitude > 0.0 ? moment / power : fundamental;
}

bool acperf::acFigures(double *thdDb, double *sinad, double *snr, double *sfdr, double *enob)
{
    return acFigures(thdDb, sinad, snr, sfdr, enob, nullptr);
}

bool acperf::acFigures(double *thdDb, double *sinad, double *snr, double *sfdr, double *enob, SpectralDetails *details,
                       double fullScaleVolts)
{
    const int P = padding;
    const int h = halfWidth;
    const int fundamentalSpan = rules.fundamentalBins * P;
    const int harmonicSpan = rules.harmonicBins * P;
    std::vector<double> &mag = magnitudes;
    const std::vector<double> &binFreq = *frequencies;
    // The band in whole bins, from the bin frequencies as they are.
    int bandFirst = 0, bandEnd = bins;
    while (bandFirst < bins && binFreq[static_cast<size_t>(bandFirst)] < rules.bandLowHz)
        ++bandFirst;
    while (bandEnd > bandFirst && binFreq[static_cast<size_t>(bandEnd) - 1] > rules.bandHighHz)
        --bandEnd;
    auto inBand = [&](int k) { return k >= bandFirst && k < bandEnd; };
    const int bandBins = bandEnd - bandFirst;

    // SFDR first, on the untouched spectrum: the largest bin outside the
    // fundamental's span is the spur. The span is counted in whole bins: bin
    // frequencies are sums of df, and comparing them would let rounding put
    // a bin of the tone's own main lobe on either side of the span's edge.
    int spurBin = -1;
    double spur = 0.0;
    for (int k = std::max(5 * P, bandFirst); k < bandEnd; ++k)
        if (std::abs(k - peakIndex) > fundamentalSpan && mag[static_cast<size_t>(k)] > spur) {
            spur = mag[static_cast<size_t>(k)];
            spurBin = k;
        }
    // Tone and spur are compared by the power of their main lobes: a tone
    // off its bin loses up to some 0.4 dB at its largest bin (the window's
    // scalloping), and differently for the fundamental and a harmonic,
    // whereas the lobe's power does not depend on where the tone lies.
    // The spur's lobe leaves out the fundamental's span.
    auto lobePower = [&](int centre) {
        const int reach = centre == peakIndex ? fundamentalSpan : h;
        double power = 0.0;
        for (int k = std::max(0, centre - reach); k <= centre + reach && k < bins; ++k)
            if (centre == peakIndex || std::abs(k - peakIndex) > fundamentalSpan)
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
    const double nyquist = bins * binWidth;
    const double rate = length * binWidth;
    int belowNyquist = 0, harmonics = 0;
    if (f0 > 0.0 && bins > 0) {
        belowNyquist = static_cast<int>(std::min(double(analysisMaxHarmonics), nyquist / f0));
        harmonics = rules.aliasedHarmonics ? analysisMaxHarmonics : belowNyquist;
        if (rules.harmonics > 0)
            harmonics = std::min(harmonics, rules.harmonics);
    }

    // What each bin belongs to once the tones are taken out.
    enum Region : char { noise, signal, harmonic };
    thread_local std::vector<char> region;
    region.assign(static_cast<size_t>(bins), noise);
    // The DC region: the whole main lobe of what is left of an offset or a
    // slow drift.
    for (int k = 0; k <= rules.dcBins * P && k < bins; ++k) {
        mag[static_cast<size_t>(k)] = 0.0;
        region[static_cast<size_t>(k)] = signal;
    }

    if (details)
        details->harmonics.clear();
    double harmonicPower = 0.0;
    int harmonicBins = 0;
    int cursor = 0, b = 0;
    for (int n = 1; n <= harmonics; ++n) {
        const int d = n == 1 ? fundamentalSpan : harmonicSpan;
        const double reach = d * binWidth;
        const bool aliased = n > belowNyquist;
        double centre = n * f0;
        if (aliased) {
            // Folded into 0 ... fs / 2 as the sampling folds it; searched
            // afresh, since folded harmonics no longer rise with n.
            centre = std::fmod(centre, rate);
            if (centre > rate / 2.0)
                centre = rate - centre;
            cursor = -1;
        }
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
        double ownPower = 0.0;
        for (int j = std::max(0, b - d); j <= b + d && j < bins; ++j) {
            char &owner = region[static_cast<size_t>(j)];
            const double p = mag[static_cast<size_t>(j)] * mag[static_cast<size_t>(j)];
            ownPower += p;
            if (n >= 2 && inBand(j))
                harmonicPower += p;
            if (owner == noise) {
                owner = n >= 2 ? harmonic : signal;
                if (n >= 2 && inBand(j))
                    ++harmonicBins;
            }
            mag[static_cast<size_t>(j)] = 0.0;
        }
        cursor = b + d + 1;
        if (details && n >= 2) {
            HarmonicLevel level;
            level.order = n;
            level.frequencyHz = centre;
            level.aliased = aliased;
            level.inBand = centre >= rules.bandLowHz && centre <= rules.bandHighHz;
            level.dBc = decibels(ownPower / P / (rmsFundamental * rmsFundamental));
            level.dBFS = decibels(ownPower / P / (noiseBandwidth * fullScaleVolts * fullScaleVolts));
            details->harmonics.push_back(level);
        }
    }
    const double harmonicRms = std::sqrt(harmonicPower / P);

    const double thdPercent = rmsFundamental == 0.0 ? notANumber : harmonicRms * 100.0 / rmsFundamental;
    const double thd = 20.0 * std::log10(thdPercent / 100.0);

    // What is left is noise. Its mean power per bin stands for the bins
    // the tones took, so that the noise is that of the whole band.
    double noisePower = 0.0;
    noiseBins = 0;
    for (int k = bandFirst; k < bandEnd; ++k)
        if (region[static_cast<size_t>(k)] == noise) {
            noisePower += mag[static_cast<size_t>(k)] * mag[static_cast<size_t>(k)];
            ++noiseBins;
        }
    double signalToNoise = notANumber, signalToNoiseAndDistortion = notANumber, perBin = notANumber;
    double others = notANumber;
    if (noiseBins > 0) {
        perBin = noisePower / noiseBins;
        const double noiseRms = std::sqrt(perBin * bandBins / P);
        if (noiseRms != 0.0)
            signalToNoise = 20.0 * std::log10(rmsFundamental / noiseRms);
        // Everything but the fundamental and DC: the harmonic spans as they
        // are (they already hold their share of the noise) and the noise of
        // every other bin. Adding the harmonic RMS to the band's noise would
        // count the noise inside the harmonic spans twice.
        others = (harmonicPower + perBin * (bandBins - harmonicBins)) / P;
        signalToNoiseAndDistortion = 10.0 * std::log10(rmsFundamental * rmsFundamental / others);
    }

    if (details) {
        const double fullScalePower = noiseBandwidth * fullScaleVolts * fullScaleVolts;
        const double fundamentalPower = rmsFundamental * rmsFundamental;
        details->fundamentalHz = f0;
        details->fundamentalDbfs = decibels(fundamentalPower / fullScalePower);
        // The worst other spur: the largest bin that no tone took, and
        // the power and centre of its main lobe among the bins left.
        int other = -1;
        double largest = 0.0;
        for (int k = std::max(5 * P, bandFirst); k < bandEnd; ++k)
            if (region[static_cast<size_t>(k)] == noise && mag[static_cast<size_t>(k)] > largest) {
                largest = mag[static_cast<size_t>(k)];
                other = k;
            }
        details->spurHz = details->spurDbc = notANumber;
        if (other >= 0) {
            double power = 0.0, moment = 0.0;
            for (int k = std::max(0, other - h); k <= other + h && k < bins; ++k)
                if (region[static_cast<size_t>(k)] == noise) {
                    const double p = mag[static_cast<size_t>(k)] * mag[static_cast<size_t>(k)];
                    power += p;
                    moment += p * binFreq[static_cast<size_t>(k)];
                }
            details->spurHz = moment / power;
            details->spurDbc = decibels(power / P / fundamentalPower);
        }
        // perBin is the same for padded and unpadded bins (padding
        // interpolates, it adds no noise): in watts of the window's
        // noise bandwidth, relative to the full-scale sine.
        const double unpaddedBinHz = rate / count;
        details->noiseFloorDbfs = decibels(perBin / fullScalePower);
        details->noiseDensityDbfsPerHz = decibels(perBin / fullScalePower / unpaddedBinHz);
        details->noiseDensityVoltsPerRootHz = std::sqrt(perBin / (2.0 * noiseBandwidth) / unpaddedBinHz);
        details->thdPlusNoiseDb = decibels(others / fundamentalPower);
        details->thdPlusNoisePercent = 100.0 * std::sqrt(others / fundamentalPower);
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
