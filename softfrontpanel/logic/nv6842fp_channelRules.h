// The channel panel's rules that need no widget: the gain table, the codes
// the driver receives for a channel, the analog-trigger threshold range and
// which analog-trigger controls are usable, and the checks before calibrating
// several channels of one card together.
#ifndef NV6842FP_CHANNELRULES_H
#define NV6842FP_CHANNELRULES_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Gains of the gain combo, indexed by its item index. One table for every
// panel of every card.
inline constexpr int gainValArr[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000};
inline constexpr int gainCount = int(sizeof gainValArr / sizeof gainValArr[0]);

namespace nv6842fp {

inline constexpr int channelsPerCard = 16;

// Item texts of the channel panel's combos, in index order.
const QStringList &sourceItems();      // "Front Panel", "MB Volt.Ref."
const QStringList &triggerModeItems(); // "Disabled", "EDGE", "LEVEL"
const QStringList &hysteresisItems();  // "Disabled", "Enabled"
const QStringList &comparisonItems();  // "NE or LT", "PE or GT"

// The driver's channel number in multi-card calls: 1-based over all cards.
inline int multChannel(int card, int channel)
{
    return card * channelsPerCard + channel + 1;
}

// Source code of a channel: index 0 "Front Panel" -> 1, 1 "MB Volt.Ref." -> 2;
// a disabled channel is configured with 0, which switches its input off.
int sourceCode(int sourceIndex, bool enabled);

// Range multiplier of a card's two-character subtype: "?7" 7, "?4" 4, "V1" 6,
// "V2" 12, anything else (also a missing or short text) 1.
int subtypeFactor(const char *subtype);

// Largest threshold magnitude in volts: 10 V at gain 1, shrinking with the
// gain, widened by the subtype factor. A gain below 1 counts as 1.
double thresholdLimit(int gain, int factor);
// The threshold controls step by a hundredth of the range's half-width.
inline double thresholdStep(double limit)
{
    return limit / 100.0;
}

// Which analog-trigger controls the operator may use for a mode and
// hysteresis index; the mode combo itself follows the card, not these.
struct AnalogTriggerEnables {
    bool comparison = false;
    bool hysteresis = false;
    bool threshold1 = false;
    bool threshold2 = false;
};
AnalogTriggerEnables analogTriggerEnables(int modeIndex, int hysteresisIndex);

// Bit of one channel in a per-card calibration mask, as the driver's 16-bit
// argument (channel 15 gives the sign bit).
inline qint16 calibrationMask(int channel)
{
    return qint16(quint16(1u << channel));
}

// Calibrating several channels of one card at once: all enabled channels,
// which must share one gain.
struct CalibrationSelection {
    enum Result { Ready, UnequalGains, NoneEnabled };
    Result result = NoneEnabled;
    quint16 mask = 0;  // enabled channels, bit c = channel c
    int gainIndex = -1; // common gain index when Ready
};
// enabled[c] and gainIndex[c] for the 16 channels of one card. Stops at the
// first enabled channel whose gain differs from the first one's.
CalibrationSelection selectCalibration(const bool enabled[channelsPerCard],
                                       const int gainIndex[channelsPerCard]);
// The warning shown for a selection that is not Ready; empty when Ready.
QString calibrationWarning(CalibrationSelection::Result result);

// Confirmations of a calibration or an EEPROM store that went through.
// Cards and channels count from 1, as in "Function Card #1" and "Ch 1".
QString channelCalibrationDoneText(int card, int channel); // "Calibration of channel 3 of FC #1 done."
QString cardCalibrationDoneText(int card);                 // "Calibration of FC #1 done."
QString calibrationStoredText(int card); // "Calibration coefficients of FC #1 stored to EEPROM."

} // namespace nv6842fp

#endif
