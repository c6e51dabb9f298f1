#include "magnitudeUnits.h"

#include "windowCache.h"

#include <charconv>
#include <cmath>
#include <limits>

double spectrumUnitOffsetDb(SpectrumUnit unit, double fullScaleVolts, int window, int scans, double rateHz)
{
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    switch (unit) {
    case SpectrumUnit::dBPeak:
        return 0.0;
    case SpectrumUnit::dBFS:
        return fullScaleVolts > 0.0 ? -20.0 * std::log10(fullScaleVolts) : notANumber;
    case SpectrumUnit::dBV:
        return -10.0 * std::log10(2.0);
    case SpectrumUnit::noiseDensity: {
        if (scans < 1 || !(rateHz > 0.0))
            return notANumber;
        const double bandwidthBins = cachedWindow(window, scans)->noiseBandwidthBins;
        if (!(bandwidthBins > 0.0))
            return notANumber;
        // A (peak)^2 per bin -> A^2 / 2 rms per bin -> per hertz.
        return -10.0 * std::log10(2.0 * bandwidthBins * rateHz / scans);
    }
    }
    return notANumber;
}

std::string spectrumUnitAxisTitle(SpectrumUnit unit)
{
    switch (unit) {
    case SpectrumUnit::dBPeak:
        return "Magnitude [dB]";
    case SpectrumUnit::dBFS:
        return "Magnitude [dBFS]";
    case SpectrumUnit::dBV:
        return "Magnitude [dBV]";
    case SpectrumUnit::noiseDensity:
        return "Noise density [dBV/\u221aHz]";
    }
    return std::string();
}

std::string spectrumUnitSuffix(SpectrumUnit unit)
{
    switch (unit) {
    case SpectrumUnit::dBPeak:
        return "dB";
    case SpectrumUnit::dBFS:
        return "dBFS";
    case SpectrumUnit::dBV:
        return "dBV";
    case SpectrumUnit::noiseDensity:
        return "dBV/\u221aHz";
    }
    return std::string();
}

std::string spectrumUnitName(SpectrumUnit unit)
{
    return unit == SpectrumUnit::dBPeak ? std::string("dB re 1 V peak") : spectrumUnitSuffix(unit);
}

double densityVoltsPerRootHz(double dB)
{
    return std::pow(10.0, dB / 20.0);
}

std::string densityText(double dB)
{
    const double volts = densityVoltsPerRootHz(dB);
    if (!std::isfinite(volts))
        return "-";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, volts, std::chars_format::scientific, 3);
    return std::string(text, result.ptr) + " V/\u221aHz";
}
