#include "measurementText.h"

#include <cmath>
#include <cstdio>

std::string formatFigure(double value, int decimals)
{
    if (std::isnan(value))
        return "nan"; // printf would write "-nan" for a negative NaN
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string measurementClipboardText(int scans, double rateHz, const std::vector<ClipboardRow> &rows)
{
    std::string text = "Number of scans: " + std::to_string(scans) + ", scan rate: " + formatFigure(rateHz, 3)
                       + " Hz\n\n";
    text += "Channel, Gain, Filter (Hz), Amplitude (V), Mean (V), Vrms (V), Frequency (Hz), Phase (us), "
            "THD (dB), SINAD (dB), SNR (dB), SFDR (dB), ENOB\n";
    for (const ClipboardRow &row : rows) {
        text += std::to_string(row.channel);
        text += ',';
        text += row.gainIndex ? std::to_string(*row.gainIndex) : std::string("-");
        text += ',';
        text += row.filterOn ? (*row.filterOn ? "on" : "off") : "-";
        for (int column = 0; column < measurementColumnCount; ++column) {
            text += ',';
            text += formatFigure(figureColumn(row.figures, column), measurementColumnDecimals[column]);
        }
        text += '\n';
    }
    return text;
}
