// Texts of the measurement panel: numbers as the table shows them and the
// comma-separated text that "Copy to Clipboard" puts on the clipboard.
#ifndef MEASUREMENTTEXT_H
#define MEASUREMENTTEXT_H

#include "channelMeasurement.h"

#include <optional>
#include <string>
#include <vector>

// value with the given decimals, as QString::number(value, 'f', decimals)
// writes it, with a decimal point in every locale: "nan", "inf" and "-inf"
// for values that are not finite. decimals 0 ... 20.
std::string formatFigure(double value, int decimals);

// What a cell shows for a figure that could not be measured (and for every
// cell of a disabled channel): "-".
extern const char missingFigureText[];
// Column 0 ... 9 of figures as the table shows it: missingFigureText when
// it is missing, else formatFigure with the column's decimals.
std::string figureText(const ChannelFigures &figures, int column);

// Whether column 0 ... 9 is computed with a setting of s that differs from
// the defaults: the fit's columns (amplitude to phase) follow the fit start
// only, the spectral ones (THD to ENOB) every other setting.
bool figureFollowsSettings(int column, const AnalysisSettings &s);

// One data line of the clipboard text.
struct ClipboardRow
{
    int channel = 1;                 // 1 ... 16
    std::optional<int> gainIndex;    // the channel's gain item index; none: "-"
    // The channel's input filter, an on/off choice: printed as "on" or
    // "off" in the "Filter (Hz)" column; none: "-".
    std::optional<bool> filterOn;
    ChannelFigures figures;          // printed as figureText prints them
};

// "Number of scans: N, scan rate: R Hz\n\n" (R with 3 decimals), the header
// line "Channel, Gain, Filter (Hz), Amplitude (V), ..., ENOB\n", then one line
// "channel,gain,filter,v1,...,v10\n" per row in the order given.
std::string measurementClipboardText(int scans, double rateHz, const std::vector<ClipboardRow> &rows);

#endif
