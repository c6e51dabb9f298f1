// Units of the display spectrum. The spectrum is computed in dB re 1 V
// peak (a sine of amplitude A on a bin reads 20 log10 A, displaySpectrum.h);
// every other unit is that value plus one offset per channel:
//     dBFS   re the power of a full-scale sine (peak = the channel's full
//            scale: 10 V at gain 1, and for a stored file, which holds no gain)
//     dBV    re 1 V rms
//     dBV/sqrt(Hz)  noise density: the power per bin, as rms, divided by the
//            window's equivalent noise bandwidth in Hz, ENBW * fs / N. Zero
//            padding interpolates between bins and leaves the noise per bin
//            as it is, so the bandwidth is that of the unpadded bin.
// Use:
//     double offset = spectrumUnitOffsetDb(unit, fullScale, window, scans, rateHz);
//     shown = dB + offset; axis title spectrumUnitAxisTitle(unit); tracker and
//     markers append spectrumUnitSuffix(unit); for density also
//     densityText(shown) ("1.234e-07 V/\u221aHz").
#ifndef MAGNITUDEUNITS_H
#define MAGNITUDEUNITS_H

#include <string>

enum class SpectrumUnit { dBPeak, dBFS, dBV, noiseDensity };

// dB to add to a value in dB re 1 V peak. fullScaleVolts is used by dBFS
// only; window (windowType), scans and rateHz by the density only. NaN when
// the unit cannot be formed (no full scale, no scans, a window summing to 0).
double spectrumUnitOffsetDb(SpectrumUnit unit, double fullScaleVolts, int window, int scans, double rateHz);

// The left axis title: "Magnitude [dB]" (as the plot has it), "Magnitude
// [dBFS]", "Magnitude [dBV]", "Noise density [dBV/\u221aHz]" (UTF-8).
std::string spectrumUnitAxisTitle(SpectrumUnit unit);
// The unit after a read-out value: "dB", "dBFS", "dBV", "dBV/\u221aHz".
std::string spectrumUnitSuffix(SpectrumUnit unit);
// The units in enum order, and each as the spectrum page's list names it:
// "dB re 1 V peak", "dBFS", "dBV", "dBV/\u221aHz" (UTF-8).
constexpr int spectrumUnitCount = 4;
std::string spectrumUnitName(SpectrumUnit unit);

// A density in dBV/sqrt(Hz) as volts per root hertz: 10^(dB / 20).
double densityVoltsPerRootHz(double dB);
// That value as "1.234e-07 V/\u221aHz" (4 significant digits, any locale).
std::string densityText(double dB);

#endif
