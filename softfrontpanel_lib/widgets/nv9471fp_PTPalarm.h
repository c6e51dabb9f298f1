// Entry of a PTP alarm time in UTC and a line with the card's current time and
// the distance to the alarm. The widget keeps no clock: its owner feeds it the
// card's time (64-bit seconds) and the card-minus-UTC offset.
#ifndef NV9471FP_PTPALARM_H
#define NV9471FP_PTPALARM_H

#include <QString>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpacerItem;
class QSpinBox;
class QTimer;

// A broken-down UTC time; month and day are 1-based, the year is full.
struct nv9471fp_utcFields {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// UTC arithmetic of our own so that the machine's time zone never enters:
// seconds since 1970-01-01 00:00:00 UTC for the fields, normalising any field
// out of its range (day 31 of a 30-day month is the first of the next month).
qint64 nv9471fp_utcSeconds(const nv9471fp_utcFields &fields);
// Breaks the seconds down as UTC; false (fields untouched) outside the years
// minYear..maxYear.
bool nv9471fp_utcBreakDown(qint64 seconds, nv9471fp_utcFields &fields, int minYear = 1970,
                           int maxYear = 2100);
// "%d %b %Y %H:%M:%S" with English month abbreviations, whatever the locale.
QString nv9471fp_utcText(qint64 seconds);

class nv9471fp_PTPalarm : public QWidget
{
    Q_OBJECT
public:
    nv9471fp_PTPalarm(const QString &title, bool showNow, int nowPlusSeconds, bool showCountdown,
                      QWidget *parent = nullptr);

    // Shows the alarm fields for a time on the card's scale.
    void setAlarmTime(qint64 cardSeconds);
    // Refreshes the countdown line (only when the countdown is shown).
    void showCurrentTime(qint64 cardSeconds);
    // The alarm on the card's scale.
    qint64 alarmTime() const;
    // The countdown line, empty without one.
    QString countdownText() const;
    void setShowDistance(bool show) { showDistance = show; }
    // Moves "Now" and "Now+" from the end of the entry row to a row of their
    // own under it (above the countdown), for an owner with little width.
    void moveButtonsBelowEntry();

    // Card time minus UTC in seconds; set by the owner before every
    // setAlarmTime or showCurrentTime.
    qint32 utcOffset = 0;

signals:
    void setTimeRequest(int offsetFromNow);
    void requestCurrentTime();

public slots:
    void setNowSlot();
    void setNowPlusSlot();

public:
    // Reached by the owner and by tests.
    QSpinBox *daySpin = nullptr;
    QSpinBox *monthSpin = nullptr;
    QSpinBox *yearSpin = nullptr;
    QSpinBox *hourSpin = nullptr;
    QSpinBox *minuteSpin = nullptr;
    QSpinBox *secondSpin = nullptr;
    QPushButton *nowButton = nullptr;
    QPushButton *nowPlusButton = nullptr;
    QLabel *countdownLabel = nullptr;
    QTimer *requestTimer = nullptr;

private:
    nv9471fp_utcFields enteredFields() const;

    bool showCountdown = false;
    bool showDistance = true;
    int nowPlusSeconds = 0;

    QHBoxLayout *entryRow = nullptr;
    QHBoxLayout *buttonRow = nullptr;  // owned by entryRow or by the widget's layout
    QSpacerItem *buttonLead = nullptr; // owned by buttonRow
    int titleIndent = 0;               // pixels: the title and its spacing
    bool buttonsBelow = false;
};

#endif
