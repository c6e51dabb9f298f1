// The PTP alarm entry: UTC arithmetic against Qt's own UTC calendar, the
// countdown line, normalisation of impossible dates, the "Now+" request, and
// that none of it depends on the machine's time zone or locale.
#include "nv9471fp_PTPalarm.h"

#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>
#include <ctime>

namespace {
qint64 utcReference(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC)
        .toSecsSinceEpoch();
}

void setZone(const QByteArray &zone)
{
    if (zone.isEmpty())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

QList<int> fields(const nv9471fp_PTPalarm &alarm)
{
    return {alarm.daySpin->value(),  alarm.monthSpin->value(),  alarm.yearSpin->value(),
            alarm.hourSpin->value(), alarm.minuteSpin->value(), alarm.secondSpin->value()};
}

// The width the style leaves for a button's label.
int labelWidth(const QPushButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.rect = button.rect();
    if (button.autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

// 2026-12-08 14:38:39 UTC.
const qint64 knownUtc = 1796740719;
const qint32 cardOffset = 37; // card time minus UTC, as a PTP card reports TAI
} // namespace

class TestWidgetsPtp : public QObject
{
    Q_OBJECT
private slots:
    void init() { setZone(QByteArray()); }
    void cleanupTestCase() { setZone(QByteArray()); }

    void arithmeticMatchesUtcCalendar()
    {
        QCOMPARE(utcReference(2026, 12, 8, 14, 38, 39), knownUtc);
        nv9471fp_utcFields f;
        f.year = 1970;
        QCOMPARE(nv9471fp_utcSeconds(f), qint64(0));
        // Every 13th day from 1970 to the end of 2100, at a changing time of day.
        const QDate first(1970, 1, 1);
        const QDate last(2100, 12, 31);
        int checked = 0;
        for (QDate d = first; d <= last; d = d.addDays(13), ++checked) {
            const int seconds = (checked * 7919) % 86400;
            const qint64 expected =
                utcReference(d.year(), d.month(), d.day(), seconds / 3600, seconds / 60 % 60,
                             seconds % 60);
            nv9471fp_utcFields in;
            in.year = d.year();
            in.month = d.month();
            in.day = d.day();
            in.hour = seconds / 3600;
            in.minute = seconds / 60 % 60;
            in.second = seconds % 60;
            QCOMPARE(nv9471fp_utcSeconds(in), expected);
            nv9471fp_utcFields out;
            QVERIFY(nv9471fp_utcBreakDown(expected, out));
            QCOMPARE(QList<int>({out.year, out.month, out.day, out.hour, out.minute, out.second}),
                     QList<int>({in.year, in.month, in.day, in.hour, in.minute, in.second}));
        }
        QVERIFY(checked > 3000);

        nv9471fp_utcFields untouched;
        untouched.year = 2000;
        QVERIFY(!nv9471fp_utcBreakDown(utcReference(2101, 1, 1, 0, 0, 0), untouched));
        QVERIFY(!nv9471fp_utcBreakDown(-1, untouched));
        QCOMPARE(untouched.year, 2000);
    }

    void impossibleDatesNormalise()
    {
        nv9471fp_utcFields april31;
        april31.year = 2023;
        april31.month = 4;
        april31.day = 31;
        QCOMPARE(nv9471fp_utcSeconds(april31), utcReference(2023, 5, 1, 0, 0, 0));
        nv9471fp_utcFields feb30;
        feb30.year = 2100; // not a leap year
        feb30.month = 2;
        feb30.day = 29;
        QCOMPARE(nv9471fp_utcSeconds(feb30), utcReference(2100, 3, 1, 0, 0, 0));

        nv9471fp_PTPalarm alarm(QString(), true, 10, true);
        alarm.utcOffset = cardOffset;
        alarm.daySpin->setValue(31);
        alarm.monthSpin->setValue(9);
        alarm.yearSpin->setValue(2030);
        alarm.hourSpin->setValue(23);
        alarm.minuteSpin->setValue(59);
        alarm.secondSpin->setValue(59);
        QCOMPARE(alarm.alarmTime(), utcReference(2030, 10, 1, 23, 59, 59) + cardOffset);
    }

    void alarmFieldsShowUtc()
    {
        nv9471fp_PTPalarm alarm(QString(), true, 10, true);
        alarm.utcOffset = cardOffset;
        alarm.setAlarmTime(knownUtc + cardOffset);
        QCOMPARE(fields(alarm), QList<int>({8, 12, 2026, 14, 38, 39}));
        QCOMPARE(alarm.alarmTime(), knownUtc + cardOffset);

        // A time the entry cannot hold leaves the fields alone.
        alarm.setAlarmTime(utcReference(2101, 6, 1, 0, 0, 0) + cardOffset);
        QCOMPARE(fields(alarm), QList<int>({8, 12, 2026, 14, 38, 39}));
    }

    void countdownLine()
    {
        nv9471fp_PTPalarm alarm(QString(), true, 10, true);
        alarm.utcOffset = cardOffset;
        alarm.setAlarmTime(knownUtc + cardOffset);

        alarm.showCurrentTime(knownUtc - 5 + cardOffset);
        QCOMPARE(alarm.countdownText(),
                 QStringLiteral("08 Dec 2026 14:38:34    Time to PTP Alarm: -5 s"));
        alarm.showCurrentTime(knownUtc + cardOffset);
        QCOMPARE(alarm.countdownText(),
                 QStringLiteral("08 Dec 2026 14:38:39    Time since PTP Alarm: 0 s"));
        alarm.showCurrentTime(knownUtc + 3600 + cardOffset);
        QVERIFY(alarm.countdownText().endsWith(QStringLiteral("    Time since PTP Alarm: 3600 s")));

        // Distances beyond 32-bit seconds keep their sign and size.
        alarm.setAlarmTime(utcReference(2100, 1, 1, 0, 0, 0) + cardOffset);
        alarm.showCurrentTime(cardOffset);
        const qint64 far = utcReference(2100, 1, 1, 0, 0, 0);
        QVERIFY(alarm.countdownText().endsWith(
            QStringLiteral("    Time to PTP Alarm: %1 s").arg(-far)));

        alarm.setShowDistance(false);
        alarm.showCurrentTime(knownUtc + cardOffset);
        QCOMPARE(alarm.countdownText(), QStringLiteral("08 Dec 2026 14:38:39"));
    }

    void withoutCountdown()
    {
        nv9471fp_PTPalarm alarm(QStringLiteral("Start:"), false, 0, false);
        QVERIFY(!alarm.requestTimer);
        QVERIFY(!alarm.nowButton);
        QVERIFY(!alarm.nowPlusButton);
        alarm.showCurrentTime(knownUtc);
        QVERIFY(alarm.countdownText().isEmpty());
    }

    void requestsFromButtonsAndTimer()
    {
        nv9471fp_PTPalarm alarm(QString(), true, 10, true);
        QCOMPARE(alarm.nowPlusButton->text(), QStringLiteral("Now+10s"));
        QCOMPARE(alarm.nowButton->text(), QStringLiteral("Now"));
        QCOMPARE(alarm.requestTimer->interval(), 500);
        QVERIFY(alarm.requestTimer->isActive());

        // The owner answers with the card's time, as the DAQ panel does.
        const qint64 cardNow = knownUtc + cardOffset;
        QSignalSpy requests(&alarm, &nv9471fp_PTPalarm::setTimeRequest);
        connect(&alarm, &nv9471fp_PTPalarm::setTimeRequest, &alarm, [&alarm, cardNow](int offset) {
            alarm.utcOffset = cardOffset;
            alarm.setAlarmTime(cardNow + offset);
        });
        alarm.nowPlusButton->click();
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0).at(0).toInt(), 10);
        QCOMPARE(fields(alarm), QList<int>({8, 12, 2026, 14, 38, 49}));
        alarm.nowButton->click();
        QCOMPARE(requests.at(1).at(0).toInt(), 0);
        QCOMPARE(fields(alarm), QList<int>({8, 12, 2026, 14, 38, 39}));

        QSignalSpy ticks(&alarm, &nv9471fp_PTPalarm::requestCurrentTime);
        QVERIFY(ticks.wait(3000));
    }

    void nowButtonsFitTheirText_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("Now+10s") << 10 << 0;
        QTest::newRow("Now+30s") << 30 << 0;
        QTest::newRow("Now+10s large font") << 10 << 18;
        QTest::newRow("Now+30s large font") << 30 << 18;
    }

    void nowButtonsFitTheirText()
    {
        QFETCH(int, seconds);
        QFETCH(int, pointSize);
        const QFont original = QApplication::font();
        QFont font = original;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        {
            nv9471fp_PTPalarm alarm(QStringLiteral("Start:"), true, seconds, true);
            QCOMPARE(alarm.nowPlusButton->text(), QStringLiteral("Now+%1s").arg(seconds));
            const int nominal[] = {40, 55};
            int i = 0;
            for (const QPushButton *button : {alarm.nowButton, alarm.nowPlusButton}) {
                const int textWidth =
                    QFontMetrics(button->font()).horizontalAdvance(button->text());
                QVERIFY2(textWidth <= labelWidth(*button),
                         qPrintable(QStringLiteral("%1: %2 px text, %3 px button")
                                        .arg(button->text())
                                        .arg(textWidth)
                                        .arg(button->width())));
                QVERIFY(button->width() >= nominal[i++]);
                QCOMPARE(button->minimumWidth(), button->maximumWidth());
            }
        }
        QApplication::setFont(original);
    }

    void independentOfZoneAndLocale_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("UTC") << QByteArray("UTC0");
        QTest::newRow("Kiritimati +14") << QByteArray("Pacific/Kiritimati");
        QTest::newRow("posix -11 with DST") << QByteArray("XST11XDT,M3.2.0,M11.1.0");
        QTest::newRow("Chatham +12:45") << QByteArray("Pacific/Chatham");
    }

    void independentOfZoneAndLocale()
    {
        QFETCH(QByteArray, zone);
        setZone(zone);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // A local day boundary and a DST change near the alarm must not matter.
        const qint64 alarmUtc = utcReference(2031, 3, 9, 2, 30, 0);
        nv9471fp_PTPalarm alarm(QString(), true, 10, true);
        alarm.utcOffset = -cardOffset;
        alarm.setAlarmTime(alarmUtc - cardOffset);
        QCOMPARE(fields(alarm), QList<int>({9, 3, 2031, 2, 30, 0}));
        QCOMPARE(alarm.alarmTime(), alarmUtc - cardOffset);
        alarm.showCurrentTime(alarmUtc - cardOffset - 5);
        QCOMPARE(alarm.countdownText(),
                 QStringLiteral("09 Mar 2031 02:29:55    Time to PTP Alarm: -5 s"));
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_MAIN(TestWidgetsPtp)
#include "test_widgets_ptp.moc"
