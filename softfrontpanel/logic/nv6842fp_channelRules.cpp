#include "nv6842fp_channelRules.h"

namespace nv6842fp {

// Shared by every panel: a window may hold 256 cards x 16 channels.
const QStringList &sourceItems()
{
    static const QStringList items = {QStringLiteral("Front Panel"), QStringLiteral("MB Volt.Ref.")};
    return items;
}

const QStringList &triggerModeItems()
{
    static const QStringList items = {QStringLiteral("Disabled"), QStringLiteral("EDGE"), QStringLiteral("LEVEL")};
    return items;
}

const QStringList &hysteresisItems()
{
    static const QStringList items = {QStringLiteral("Disabled"), QStringLiteral("Enabled")};
    return items;
}

const QStringList &comparisonItems()
{
    static const QStringList items = {QStringLiteral("NE or LT"), QStringLiteral("PE or GT")};
    return items;
}

int sourceCode(int sourceIndex, bool enabled)
{
    return enabled ? sourceIndex + 1 : 0;
}

int subtypeFactor(const char *subtype)
{
    if (!subtype || subtype[0] == '\0')
        return 1;
    const char first = subtype[0];
    const char second = subtype[1];
    if (second == '7')
        return 7;
    if (second == '4')
        return 4;
    if (first == 'V' && second == '1')
        return 6;
    if (first == 'V' && second == '2')
        return 12;
    return 1;
}

double thresholdLimit(int gain, int factor)
{
    return 10.0 / double(qMax(gain, 1)) * factor;
}

AnalogTriggerEnables analogTriggerEnables(int modeIndex, int hysteresisIndex)
{
    AnalogTriggerEnables enables;
    if (modeIndex == 0) // "Disabled"
        return enables;
    enables.comparison = true;
    enables.hysteresis = true;
    enables.threshold1 = true;
    enables.threshold2 = hysteresisIndex == 1;
    return enables;
}

CalibrationSelection selectCalibration(const bool enabled[channelsPerCard],
                                       const int gainIndex[channelsPerCard])
{
    CalibrationSelection selection;
    for (int c = 0; c < channelsPerCard; ++c) {
        if (!enabled[c])
            continue;
        if (selection.gainIndex < 0) {
            selection.gainIndex = gainIndex[c];
        } else if (gainIndex[c] != selection.gainIndex) {
            selection.result = CalibrationSelection::UnequalGains;
            return selection;
        }
        selection.mask = quint16(selection.mask | (1u << c));
    }
    selection.result = selection.mask ? CalibrationSelection::Ready : CalibrationSelection::NoneEnabled;
    return selection;
}

QString calibrationWarning(CalibrationSelection::Result result)
{
    switch (result) {
    case CalibrationSelection::UnequalGains:
        return QStringLiteral("To calibrate all channels, set equal gain parameters on all enabled channels");
    case CalibrationSelection::NoneEnabled:
        return QStringLiteral("To calibrate all channels, at least one channel should be enabled");
    case CalibrationSelection::Ready:
        break;
    }
    return QString();
}

QString channelCalibrationDoneText(int card, int channel)
{
    return QStringLiteral("Calibration of channel %1 of FC #%2 done.").arg(channel).arg(card);
}

QString cardCalibrationDoneText(int card)
{
    return QStringLiteral("Calibration of FC #%1 done.").arg(card);
}

QString calibrationStoredText(int card)
{
    return QStringLiteral("Calibration coefficients of FC #%1 stored to EEPROM.").arg(card);
}

} // namespace nv6842fp
