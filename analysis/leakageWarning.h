// The warning the measurement page shows when the 3-parameter fit runs at
// a frequency off the tone: a tone between two FFT bins, fitted at the
// largest bin's frequency, reads far too small (a 1 V sine half a bin off
// reads some 0.64 V), and without a word the table would show that as a
// figure.
//
// Use after measureCard and settleCardMeasurement:
//     std::string warning = leakageWarningText(largestLeakageBins(m));
//     label->setText(measurementLabelWithWarning(label text as before, warning));
#ifndef LEAKAGEWARNING_H
#define LEAKAGEWARNING_H

#include "channelMeasurement.h"

#include <string>

// Offsets up to this many bins (fs / N) pass without a warning.
constexpr double leakageWarningBins = 0.01;

// The offset of largest size over the card's channels (CardMeasurement::
// leakageBins), with its sign; NaN when no channel has one (4-parameter
// fit, no tone, no computation).
double largestLeakageBins(const CardMeasurement &measurement);

// "" when |offsetBins| <= leakageWarningBins or it is NaN; else the bold
// warning with the offset in bins and the remedies.
std::string leakageWarningText(double offsetBins);

// label, and the warning on a line of its own below it when there is one.
std::string measurementLabelWithWarning(const std::string &label, const std::string &warning);

#endif
