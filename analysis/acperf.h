// The measurement spectrum of one channel's block and the spectral AC figures
// (THD, SINAD, SNR, SFDR, ENOB) computed from it.
//
// The block is always windowed with the 7-term Blackman-Harris window (the
// operator's display window does not apply) after its window-weighted mean
// has been taken off, so that an offset leaves no lobe at low frequencies
// that could pass for the fundamental. With N samples, padding P:
// M = N * P transform points, K = M / 2 bins (0 when N < 2), bin width
// df = fs / M, and h = 7 P bins, the half-width of the window's main lobe.
// Magnitudes are linear, in volts peak: a sine of amplitude A on a bin reads A.
//
// One object per channel and measurement; not thread-safe, but objects are
// independent of each other.
#ifndef ACPERF_H
#define ACPERF_H

#include "analysisSettings.h"
#include "harmonicDetails.h"

#include <memory>
#include <vector>

class acperf
{
public:
    // times and samples are borrowed (N values each; times in seconds) and
    // must outlive the object. Throws std::runtime_error with
    // "Zero padding factor must be >= 1" when P < 1 and with
    // "Failed to allocate memory for FFT" when the spectrum cannot be held.
    acperf(int N, const double *times, const double *samples, double fs, int P);
    // The same with other analysis settings: the fundamental's span (F)
    // follows settings.fundamentalBins; acFigures uses the rest. Throws as
    // above; settings are assumed checked (checkAnalysisSettings).
    acperf(int N, const double *times, const double *samples, double fs, int P, const AnalysisSettings &settings);

    int N() const { return count; }
    int P() const { return padding; }
    long long M() const { return length; }
    int K() const { return bins; }
    double df() const { return binWidth; }
    int h() const { return halfWidth; }
    const double *times() const { return sampleTimes; }

    // Linear magnitude per bin, volts peak (K values). acFigures() clears
    // the bins it has accounted for.
    const std::vector<double> &mag() const { return magnitudes; }
    // Bin frequencies in Hz, built by accumulation: 0, df, 2 df, ...
    const std::vector<double> &binFreq() const { return *frequencies; }

    // The largest bin at or above 5 P (the region below belongs to DC) and
    // its magnitude; bin 0 and 0 when there is none.
    int peakBin() const { return peakIndex; }
    double peak() const { return peakMagnitude; }
    // Fundamental RMS F: sqrt(sum of mag^2 over peak-h ... peak+h-1, / P).
    double fundamentalRms() const { return rmsFundamental; }
    // binFreq of the peak bin in Hz (0 when there is none): the start
    // frequency of the sine fits.
    double fundamentalFrequency() const { return fundamental; }

    // THD (dB), SINAD (dB), SNR (dB), SFDR (dB) and ENOB (bits). Any output
    // may be null. Figures that divide by zero come out as NaN or infinity.
    // SINAD is the fundamental over everything else outside the DC lobe,
    // with the noise of the band's cleared bins estimated from the rest.
    // Changes mag(), so call it once per object. Always returns true.
    bool acFigures(double *thdDb, double *sinad, double *snr, double *sfdr, double *enob);
    // The same, and, when details is given, the harmonic and spur details
    // with levels in dBFS of fullScaleVolts (see harmonicDetails.h).
    bool acFigures(double *thdDb, double *sinad, double *snr, double *sfdr, double *enob, SpectralDetails *details,
                   double fullScaleVolts = defaultFullScaleVolts);

    // The bins acFigures() found outside every tone's span, from which the
    // noise is estimated; 0 (short blocks, many harmonics): SNR, SINAD and
    // ENOB could not be measured and are NaN.
    int noiseBinCount() const { return noiseBins; }

    // The fundamental frequency refined from its span: the power-weighted
    // centre of the bins peak-h ... peak+h (the fundamental's half-span of
    // the settings), in Hz; fundamentalFrequency() when there is no peak.
    // Call it before acFigures, which clears those bins.
    double interpolatedFundamental() const;

private:
    void measure(const double *samples);

    int count;
    int padding;
    long long length = 0;
    int bins = 0;
    double binWidth = 0.0;
    int halfWidth;
    AnalysisSettings rules;
    const double *sampleTimes;
    double noiseBandwidth = 0.0; // of the window, in unpadded bins
    std::vector<double> magnitudes;
    // Shared by every spectrum of the same length and rate.
    std::shared_ptr<const std::vector<double>> frequencies;
    int peakIndex = 0;
    double peakMagnitude = 0.0;
    double rmsFundamental = 0.0;
    double fundamental = 0.0;
    int noiseBins = 0;
};

#endif
