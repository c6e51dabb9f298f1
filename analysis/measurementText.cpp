#include "measurementText.h"

#include <charconv>
#include <cmath>

std::string formatFigure(double value, int decimals)
{
    if (std::isnan(value))
        return "nan"; // printf would write "-nan" for a negative NaN
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    // to_chars prints what printf("%.*f") prints in the C locale, whatever
    // locale the process runs in: the clipboard text is read by programs.
    char text[400];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return end.ec == std::errc() ? std::string(text, end.ptr) : std::string();
}

const char missingFigureText[] = "-";

std::string figureText(const ChannelFigures &figures, int column)
{
    if (figureMissing(figures, column))
        return missingFigureText;
    return formatFigure(figureColumn(figures, column), measurementColumnDecimals[column]);
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
        text += row.gainIndex ? std::to_string(*row.gainIndex) : std::string(missingFigureText);
        text += ',';
        text += row.filterOn ? (*row.filterOn ? "on" : "off") : missingFigureText;
        for (int column = 0; column < measurementColumnCount; ++column) {
            text += ',';
            text += figureText(row.figures, column);
        }
        text += '\n';
    }
    return text;
}

bool figureFollowsSettings(int column, const AnalysisSettings &s)
{
    const AnalysisSettings defaults;
    if (column < 0 || column >= measurementColumnCount)
        return false;
    const int firstSpectralColumn = 5; // "THD (dB)"
    if (column < firstSpectralColumn)
        return s.fitStart != defaults.fitStart;
    AnalysisSettings spectral = s;
    spectral.fitStart = defaults.fitStart;
    return !analysisSettingsDefault(spectral);
}
