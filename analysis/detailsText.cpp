#include "detailsText.h"

#include "plainNumber.h"

#include <charconv>
#include <cmath>

namespace {

const int harmonicColumns = 3;
const char *const tailHeaders[] = {"Spur (Hz)",     "Spur (dBc)",   "Noise floor (dBFS)", "NSD (dBFS/Hz)",
                                   "NSD (V/rtHz)",  "THD+N (dB)",   "THD+N (%)"};
const int tailColumns = sizeof tailHeaders / sizeof tailHeaders[0];
const int densityColumn = 4; // of the tail: V/rtHz

int harmonicCount(int orders)
{
    return orders > 1 ? orders - 1 : 0;
}

} // namespace

int detailsHighestOrder(const CardMeasurement &measurement)
{
    int orders = 1;
    for (int k = 0; k < measurementChannelCount; ++k)
        if (measurement.enabled(k))
            for (const HarmonicLevel &level : measurement.details[k].harmonics)
                orders = std::max(orders, level.order);
    return orders;
}

int detailsColumnCount(int orders)
{
    return harmonicColumns * harmonicCount(orders) + tailColumns;
}

std::string detailsColumnHeader(int column, int orders)
{
    const int harmonicCells = harmonicColumns * harmonicCount(orders);
    if (column < 0 || column >= detailsColumnCount(orders))
        return std::string();
    if (column < harmonicCells) {
        static const char *const units[harmonicColumns] = {" (Hz)", " (dBc)", " (dBFS)"};
        return "H" + std::to_string(column / harmonicColumns + 2) + units[column % harmonicColumns];
    }
    return tailHeaders[column - harmonicCells];
}

double detailsColumnValue(const SpectralDetails &details, int column, int orders)
{
    const int harmonicCells = harmonicColumns * harmonicCount(orders);
    if (column < 0 || column >= detailsColumnCount(orders))
        return notMeasured;
    if (column < harmonicCells) {
        const int order = column / harmonicColumns + 2;
        for (const HarmonicLevel &level : details.harmonics)
            if (level.order == order) {
                const double values[harmonicColumns] = {level.frequencyHz, level.dBc, level.dBFS};
                // A harmonic's level without a measured power has no frequency worth a cell either.
                return std::isfinite(level.dBc) ? values[column % harmonicColumns] : notMeasured;
            }
        return notMeasured;
    }
    const double tail[tailColumns] = {details.spurHz,
                                      details.spurDbc,
                                      details.noiseFloorDbfs,
                                      details.noiseDensityDbfsPerHz,
                                      details.noiseDensityVoltsPerRootHz,
                                      details.thdPlusNoiseDb,
                                      details.thdPlusNoisePercent};
    return tail[column - harmonicCells];
}

std::string detailsCellText(const SpectralDetails &details, int column, int orders)
{
    const double value = detailsColumnValue(details, column, orders);
    const int harmonicCells = harmonicColumns * harmonicCount(orders);
    if (!std::isfinite(value))
        return "-";
    if (column == harmonicCells + densityColumn) {
        char text[64];
        const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 3);
        return std::string(text, result.ptr);
    }
    const bool frequency = column < harmonicCells ? column % harmonicColumns == 0 : column == harmonicCells;
    const bool percent = column == harmonicCells + tailColumns - 1;
    return plainFixed(value, frequency ? 3 : percent ? 4 : 2);
}

std::string detailsClipboardText(int scans, double rateHz, const CardMeasurement &measurement)
{
    const int orders = detailsHighestOrder(measurement);
    std::string text = "Number of scans: " + std::to_string(scans) + ", scan rate: " + plainFixed(rateHz, 3)
                       + " Hz\n" + analysisSettingsLine(measurement.settings) + "\n\nChannel";
    for (int column = 0; column < detailsColumnCount(orders); ++column)
        text += ", " + detailsColumnHeader(column, orders);
    text += '\n';
    for (int k = 0; k < measurementChannelCount; ++k) {
        if (!measurement.enabled(k))
            continue;
        text += std::to_string(k + 1);
        for (int column = 0; column < detailsColumnCount(orders); ++column)
            text += ',' + detailsCellText(measurement.details[k], column, orders);
        text += '\n';
    }
    return text;
}
