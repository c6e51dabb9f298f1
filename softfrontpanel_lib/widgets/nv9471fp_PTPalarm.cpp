#include "nv9471fp_PTPalarm.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr qint64 secondsPerDay = 86400;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm);
// the day may run past the month's end, which simply counts on.
qint64 daysFromCivil(qint64 year, int month, qint64 day)
{
    year -= month <= 2;
    const qint64 era = floorDiv(year, 400);
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(qint64 days, qint64 &year, int &month, int &day)
{
    days += 719468;
    const qint64 era = floorDiv(days, 146097);
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthIndex = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2);
}

// The nominal width, or wider when the font needs it: the text plus the
// style's button margin, its frame on both sides and a little air.
void fitButtonWidth(QPushButton *button, int nominal)
{
    const QStyle *style = button->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    const int needed =
        button->fontMetrics().horizontalAdvance(button->text()) + margin + 2 * frame + 4;
    button->setFixedWidth(qMax(nominal, needed));
}

QSpinBox *fieldSpin(int minimum, int maximum, QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    return spin;
}
} // namespace

qint64 nv9471fp_utcSeconds(const nv9471fp_utcFields &fields)
{
    // Months outside 1..12 carry into the year first; everything below a
    // month is linear and carries by itself.
    const qint64 monthsFromZero = qint64(fields.year) * 12 + (fields.month - 1);
    const qint64 year = floorDiv(monthsFromZero, 12);
    const int month = int(monthsFromZero - year * 12) + 1;
    const qint64 days = daysFromCivil(year, month, 1) + (fields.day - 1);
    return days * secondsPerDay + qint64(fields.hour) * 3600 + qint64(fields.minute) * 60
           + fields.second;
}

bool nv9471fp_utcBreakDown(qint64 seconds, nv9471fp_utcFields &fields, int minYear, int maxYear)
{
    const qint64 days = floorDiv(seconds, secondsPerDay);
    const qint64 inDay = seconds - days * secondsPerDay;
    qint64 year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);
    if (year < minYear || year > maxYear)
        return false;
    fields.year = int(year);
    fields.month = month;
    fields.day = day;
    fields.hour = int(inDay / 3600);
    fields.minute = int(inDay / 60 % 60);
    fields.second = int(inDay % 60);
    return true;
}

QString nv9471fp_utcText(qint64 seconds)
{
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    nv9471fp_utcFields f;
    // Any year the arithmetic can hold is shown, not only the entry's range.
    if (!nv9471fp_utcBreakDown(seconds, f, -9999, 9999))
        return QString();
    return QString::asprintf("%02d %s %04d %02d:%02d:%02d", f.day, months[f.month - 1], f.year,
                             f.hour, f.minute, f.second);
}

nv9471fp_PTPalarm::nv9471fp_PTPalarm(const QString &title, bool showNow, int nowPlus,
                                     bool countdown, QWidget *parent)
    : QWidget(parent), showCountdown(countdown), nowPlusSeconds(nowPlus)
{
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(3);

    auto *entry = new QHBoxLayout;
    QLabel *titleLabel = nullptr;
    if (!title.isEmpty()) {
        titleLabel = new QLabel(title, this);
        entry->addWidget(titleLabel);
    }
    daySpin = fieldSpin(1, 31, this);
    monthSpin = fieldSpin(1, 12, this);
    yearSpin = fieldSpin(1970, 2100, this);
    hourSpin = fieldSpin(0, 23, this);
    minuteSpin = fieldSpin(0, 59, this);
    secondSpin = fieldSpin(0, 59, this);
    entry->addWidget(daySpin);
    entry->addWidget(monthSpin);
    entry->addWidget(yearSpin);
    entry->addSpacing(10);
    entry->addWidget(hourSpin);
    entry->addWidget(minuteSpin);
    entry->addWidget(secondSpin);
    entry->addWidget(new QLabel(QStringLiteral(" UTC"), this));
    // The buttons are a layout of their own at the end of the entry row, so
    // that an owner short of width can move them under it.
    buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonLead = new QSpacerItem(10, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    buttonRow->addItem(buttonLead);
    if (showNow) {
        nowButton = new QPushButton(QStringLiteral("Now"), this);
        fitButtonWidth(nowButton, 40);
        buttonRow->addWidget(nowButton);
        connect(nowButton, &QPushButton::clicked, this, &nv9471fp_PTPalarm::setNowSlot);
    }
    if (nowPlusSeconds > 0) {
        nowPlusButton = new QPushButton(QStringLiteral("Now+%1s").arg(nowPlusSeconds), this);
        fitButtonWidth(nowPlusButton, 55);
        buttonRow->addWidget(nowPlusButton);
        connect(nowPlusButton, &QPushButton::clicked, this, &nv9471fp_PTPalarm::setNowPlusSlot);
    }
    entryRow = entry;
    entry->addLayout(buttonRow);
    rows->addLayout(entry);

    if (titleLabel) {
        int spacing = entry->spacing();
        if (spacing < 0)
            spacing = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this);
        titleIndent = titleLabel->fontMetrics().horizontalAdvance(title) + spacing;
    }
    if (showCountdown) {
        auto *countdownRow = new QHBoxLayout;
        if (titleIndent > 0)
            countdownRow->addSpacing(titleIndent);
        countdownLabel = new QLabel(this);
        countdownRow->addWidget(countdownLabel);
        rows->addLayout(countdownRow);

        requestTimer = new QTimer(this);
        connect(requestTimer, &QTimer::timeout, this, &nv9471fp_PTPalarm::requestCurrentTime);
        requestTimer->start(500);
    }
}

void nv9471fp_PTPalarm::moveButtonsBelowEntry()
{
    if (buttonsBelow)
        return;
    buttonsBelow = true;
    entryRow->removeItem(buttonRow);
    buttonLead->changeSize(titleIndent, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    buttonRow->addStretch();
    static_cast<QVBoxLayout *>(layout())->insertLayout(1, buttonRow);
}

void nv9471fp_PTPalarm::setNowSlot()
{
    emit setTimeRequest(0);
}

void nv9471fp_PTPalarm::setNowPlusSlot()
{
    emit setTimeRequest(nowPlusSeconds);
}

nv9471fp_utcFields nv9471fp_PTPalarm::enteredFields() const
{
    nv9471fp_utcFields fields;
    fields.day = daySpin->value();
    fields.month = monthSpin->value();
    fields.year = yearSpin->value();
    fields.hour = hourSpin->value();
    fields.minute = minuteSpin->value();
    fields.second = secondSpin->value();
    return fields;
}

void nv9471fp_PTPalarm::setAlarmTime(qint64 cardSeconds)
{
    nv9471fp_utcFields fields;
    // A time outside the entry's years leaves the fields as they were rather
    // than clamping them to some other time.
    if (!nv9471fp_utcBreakDown(cardSeconds - utcOffset, fields))
        return;
    daySpin->setValue(fields.day);
    monthSpin->setValue(fields.month);
    yearSpin->setValue(fields.year);
    hourSpin->setValue(fields.hour);
    minuteSpin->setValue(fields.minute);
    secondSpin->setValue(fields.second);
}

qint64 nv9471fp_PTPalarm::alarmTime() const
{
    return nv9471fp_utcSeconds(enteredFields()) + utcOffset;
}

void nv9471fp_PTPalarm::showCurrentTime(qint64 cardSeconds)
{
    if (!countdownLabel)
        return;
    const qint64 alarm = nv9471fp_utcSeconds(enteredFields());
    const qint64 now = cardSeconds - utcOffset;
    QString text = nv9471fp_utcText(now);
    if (showDistance) {
        // 64-bit: the entry spans 130 years, more than 32-bit seconds hold.
        const qint64 distance = now - alarm;
        if (distance < 0)
            text += QStringLiteral("    Time to PTP Alarm: %1 s").arg(distance);
        else
            text += QStringLiteral("    Time since PTP Alarm: %1 s").arg(distance);
    }
    countdownLabel->setText(text);
}

QString nv9471fp_PTPalarm::countdownText() const
{
    return countdownLabel ? countdownLabel->text() : QString();
}
