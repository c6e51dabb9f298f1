// The harmonic and spur details of one channel's measurement spectrum: what
// an engineer reads beside THD, SINAD and SNR to see where the figures come
// from. Filled by acperf::acFigures (see acperf.h) from the 7-term
// Blackman-Harris spectrum, with the settings of analysisSettings.h.
//
// Levels: dBc is relative to the fundamental's power; dBFS relative to the
// power of a full-scale sine, whose peak is the channel's full-scale value
// (10 V at gain 1). A tone's level is the power of its whole span, so it
// does not depend on where the tone lies between two bins. Figures that
// could not be measured (no harmonic in the band, no noise bin, a harmonic
// folded onto bins another tone already took) are NaN; texts show "-".
#ifndef HARMONICDETAILS_H
#define HARMONICDETAILS_H

#include <limits>
#include <vector>

// The full scale of a stored file, which holds no gain, and of gain 1.
constexpr double defaultFullScaleVolts = 10.0;

constexpr double notMeasured = std::numeric_limits<double>::quiet_NaN();

struct HarmonicLevel
{
    int order = 2;            // 2 ... 30
    double frequencyHz = 0.0; // order times the interpolated fundamental, folded when aliased
    bool aliased = false;     // lies above the Nyquist frequency, folded back
    bool inBand = true;       // its frequency lies in the analysis band (counted in THD)
    double dBc = notMeasured;
    double dBFS = notMeasured;
};

struct SpectralDetails
{
    double fundamentalHz = notMeasured;   // interpolated from its span
    double fundamentalDbfs = notMeasured;
    std::vector<HarmonicLevel> harmonics; // orders 2 ... n in rising order
    // The largest tone left outside DC, fundamental and harmonics, in band.
    double spurHz = notMeasured;
    double spurDbc = notMeasured;
    // Mean noise power per unpadded bin (fs / N), dBFS.
    double noiseFloorDbfs = notMeasured;
    // Noise spectral density: dBFS/Hz and V/sqrt(Hz).
    double noiseDensityDbfsPerHz = notMeasured;
    double noiseDensityVoltsPerRootHz = notMeasured;
    // Everything in the band but DC and the fundamental, relative to the
    // fundamental (the noise under the cleared spans estimated from the
    // noise bins, as SINAD does: THD+N in dB is -SINAD).
    double thdPlusNoiseDb = notMeasured;
    double thdPlusNoisePercent = notMeasured;
};

#endif
