#include "leakageWarning.h"

#include "plainNumber.h"

#include <cmath>
#include <limits>

double largestLeakageBins(const CardMeasurement &measurement)
{
    double largest = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < measurementChannelCount; ++k) {
        const double offset = measurement.leakageBins[k];
        if (measurement.enabled(k) && std::isfinite(offset) && !(std::fabs(offset) <= std::fabs(largest)))
            largest = offset;
    }
    return largest;
}

std::string leakageWarningText(double offsetBins)
{
    if (!(std::fabs(offsetBins) > leakageWarningBins))
        return std::string();
    return "<b>The signal lies " + plainFixed(std::fabs(offsetBins), 3)
           + " bins off the frequency of the 3-parameter sine fit, so its amplitude reads too small. Enable FFT "
             "zero padding, choose the 4-parameter fit with 5 or more iterations, or set the input to the "
             "coherent frequency that \"Coherent frequency near:\" gives.</b>";
}

std::string measurementLabelWithWarning(const std::string &label, const std::string &warning)
{
    return warning.empty() ? label : label + "<br>" + warning;
}
