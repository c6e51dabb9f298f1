#include "harmonicMarkers.h"

#include "acperf.h"

#include <cmath>
#include <new>
#include <stdexcept>

std::vector<SpectrumMarker> harmonicMarkers(const SpectralDetails &details)
{
    std::vector<SpectrumMarker> markers;
    if (!(details.fundamentalHz > 0.0))
        return markers;
    markers.push_back({details.fundamentalHz, "F"});
    for (const HarmonicLevel &level : details.harmonics)
        if (std::isfinite(level.dBc))
            markers.push_back({level.frequencyHz, "H" + std::to_string(level.order)});
    if (std::isfinite(details.spurHz))
        markers.push_back({details.spurHz, "S"});
    return markers;
}

int harmonicMarkerChannel(int lastMarkedChannel, const std::vector<bool> &enabled)
{
    if (lastMarkedChannel >= 0 && static_cast<size_t>(lastMarkedChannel) < enabled.size()
        && enabled[static_cast<size_t>(lastMarkedChannel)])
        return lastMarkedChannel;
    for (size_t c = 0; c < enabled.size(); ++c)
        if (enabled[c])
            return static_cast<int>(c);
    return -1;
}

bool measureChannelDetails(const double *samples, int scans, double rateHz, int padding,
                           const AnalysisSettings &settings, double fullScaleVolts, SpectralDetails &details)
{
    if (!samples || scans < 10 || !(rateHz > 0.0))
        return false;
    try {
        std::vector<double> times(static_cast<size_t>(scans));
        for (int i = 0; i < scans; ++i)
            times[static_cast<size_t>(i)] = i / rateHz;
        acperf spectrum(scans, times.data(), samples, rateHz, padding, settings);
        spectrum.acFigures(nullptr, nullptr, nullptr, nullptr, nullptr, &details, fullScaleVolts);
    } catch (const std::runtime_error &) {
        return false;
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}
