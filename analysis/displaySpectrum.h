// The display spectrum of the waveform panel, without widgets: one channel's
// block, windowed with the operator's window and zero padded by P, as
// magnitudes in dB relative to 1 V peak.
//
// With N scans, M = N * P transform points and K = M / 2 bins:
//     f[k] = k * fs / M
//     y[k] = 20 log10( |X[k]| / T / (S / N) ),  T = K / P (integer division),
// S the sum of the window, so a sine of amplitude A volts on a bin reads
// 20 log10(A) whatever the window. Both functions are thread-safe and keep no
// state of their own (transform plans are cached, see fftPlan.h); a caller
// spreads the channels of a block over threads as it likes. The o-th enabled
// channel of a block starts at o * N.
#ifndef DISPLAYSPECTRUM_H
#define DISPLAYSPECTRUM_H

#include <complex>
#include <cstddef>
#include <vector>

// The floor of the dB values: an exact zero magnitude (log of 0 is minus
// infinity) and anything weaker reads this, so autoscaling and marker
// differences stay finite.
constexpr double spectrumFloorDb = -400.0;

// Bins shown for N scans at padding P: K = N * P / 2; 0 when N < 2 or P < 1.
int spectrumBinCount(int scans, int padding);

// The K frequencies f[k] = k * fs / M in Hz, shared by all channels; empty
// when spectrumBinCount() is 0.
std::vector<double> spectrumFrequencies(int scans, int padding, double rateHz);

// One channel: samples and window hold scans values each (volts; window
// values as from windowFunction). Fills dB with the K values and returns
// true. Returns false with dB empty when there is nothing to show: fewer
// than 2 scans, P < 1, a window that sums to 0, or buffers that cannot be
// allocated (the caller then clears or keeps the channel's curve).
bool amplitudeSpectrumDb(const double *samples, const double *window, int scans, int padding,
                         std::vector<double> &dB);

// The same spectrum as power ratios re 1 V peak, power[k] = (|X[k]| / T /
// (S / N))^2, so that 10 log10(power[k]) is the dB value above: what the
// averaging of powerAveraging.h works on. Returns false with power
// empty as amplitudeSpectrumDb does.
bool amplitudeSpectrumPower(const double *samples, const double *window, int scans, int padding,
                            std::vector<double> &power);

// dB[k] = max(10 log10(power[k]), spectrumFloorDb) for k < count, as fast and
// as accurate as spectrumPowerToDb; power and dB may be the same array.
void spectrumRatioToDb(const double *power, double *dB, std::size_t count);

// dB[k] = max(10 log10(|X[k]|^2 / scaleSquared), spectrumFloorDb) for k < count,
// accurate to about 1e-12 dB: the step of amplitudeSpectrumDb that turns
// bins into decibels. A loop without calls, so that it vectorises; the
// library's log10 per bin costs as much as the transform itself.
void spectrumPowerToDb(const std::complex<double> *X, double scaleSquared, double *dB, std::size_t count);

#endif
