// Where the spectrum page labels the fundamental, its harmonics and the
// worst other spur of one channel, and which channel that is.
//
// Use:
//     int c = harmonicMarkerChannel(lastMarkedChannel, enabled);
//     SpectralDetails d;
//     if (c >= 0 && measureChannelDetails(samples of c, scans, rateHz, padding, settings, fullScale, d))
//         for (const SpectrumMarker &m : harmonicMarkers(d)) put m.label at m.frequencyHz on c's curve
// The positions are those of the details table: multiples of the
// interpolated fundamental, folded back when aliased harmonics count.
#ifndef HARMONICMARKERS_H
#define HARMONICMARKERS_H

#include "analysisSettings.h"
#include "harmonicDetails.h"

#include <string>
#include <vector>

struct SpectrumMarker
{
    double frequencyHz = 0.0;
    std::string label; // "F", "H2" ... "H30", "S"
};

// The fundamental "F", every harmonic with a measured level "H2" ... and
// the spur "S", in that order; empty without a fundamental.
std::vector<SpectrumMarker> harmonicMarkers(const SpectralDetails &details);

// The channel of the last placed marker when it is enabled, else the first
// enabled channel; -1 when none is.
int harmonicMarkerChannel(int lastMarkedChannel, const std::vector<bool> &enabled);

// The details of one channel's block (acperf with the settings). False
// when the block is too short or the analysis failed.
bool measureChannelDetails(const double *samples, int scans, double rateHz, int padding,
                           const AnalysisSettings &settings, double fullScaleVolts, SpectralDetails &details);

#endif
