// The channel panel's widget-free rules: gains, source codes, threshold
// ranges by gain and subtype, analog-trigger enables and the checks before
// calibrating several channels together, and the confirmations after.
#include "nv6842fp_channelRules.h"

#include <QtTest>

using namespace nv6842fp;

class TestLogicChCfg : public QObject
{
    Q_OBJECT

private slots:
    void gainTable();
    void codes();
    void thresholdRange_data();
    void thresholdRange();
    void analogTriggerEnableRule();
    void calibrationSelection_data();
    void calibrationSelection();
    void calibrationConfirmations();
};

void TestLogicChCfg::gainTable()
{
    const QList<int> expected = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000};
    QCOMPARE(gainCount, expected.size());
    for (int i = 0; i < gainCount; ++i)
        QCOMPARE(gainValArr[i], expected.at(i));
}

void TestLogicChCfg::codes()
{
    // {source index, enabled, code}
    const int sources[][3] = {{0, 1, 1}, {1, 1, 2}, {0, 0, 0}, {1, 0, 0}};
    for (const auto &row : sources)
        QCOMPARE(sourceCode(row[0], row[1] != 0), row[2]);
    // {card, channel, driver channel}
    const int channels[][3] = {{0, 0, 1}, {0, 15, 16}, {1, 0, 17}, {2, 3, 36}, {255, 15, 4096}};
    for (const auto &row : channels)
        QCOMPARE(multChannel(row[0], row[1]), row[2]);
    QCOMPARE(calibrationMask(0), qint16(0x0001));
    QCOMPARE(calibrationMask(3), qint16(0x0008));
    QCOMPARE(calibrationMask(15), qint16(-32768));
}

void TestLogicChCfg::thresholdRange_data()
{
    QTest::addColumn<QByteArray>("subtype");
    QTest::addColumn<int>("gain");
    QTest::addColumn<double>("limit");
    QTest::newRow("AA gain 1") << QByteArray("AA") << 1 << 10.0;
    QTest::newRow("AA gain 2") << QByteArray("AA") << 2 << 5.0;
    QTest::newRow("AA gain 100") << QByteArray("AA") << 100 << 0.1;
    QTest::newRow("A7 gain 2") << QByteArray("A7") << 2 << 35.0;
    QTest::newRow("V7 takes 7") << QByteArray("V7") << 10 << 7.0;
    QTest::newRow("B4 gain 5") << QByteArray("B4") << 5 << 8.0;
    QTest::newRow("V1 gain 10") << QByteArray("V1") << 10 << 6.0;
    QTest::newRow("V2 gain 1") << QByteArray("V2") << 1 << 120.0;
    QTest::newRow("V2 gain 2000") << QByteArray("V2") << 2000 << 0.06;
    QTest::newRow("V3") << QByteArray("V3") << 1 << 10.0;
    QTest::newRow("A1 is not V1") << QByteArray("A1") << 1 << 10.0;
    QTest::newRow("one character") << QByteArray("V") << 1 << 10.0;
    QTest::newRow("empty") << QByteArray() << 1 << 10.0;
    QTest::newRow("gain 0 counts as 1") << QByteArray("AA") << 0 << 10.0;
}

void TestLogicChCfg::thresholdRange()
{
    QFETCH(QByteArray, subtype);
    QFETCH(int, gain);
    QFETCH(double, limit);
    const double got = thresholdLimit(gain, subtypeFactor(subtype.constData()));
    QVERIFY2(qAbs(got - limit) <= 1e-12 * limit, qPrintable(QString::number(got, 'g', 17)));
    QVERIFY(qAbs(thresholdStep(got) - limit / 100) <= 1e-12 * limit);
    QCOMPARE(subtypeFactor(nullptr), 1);
}

void TestLogicChCfg::analogTriggerEnableRule()
{
    // {mode, hysteresis, comparison, hysteresis box, threshold 1, threshold 2}
    const int rows[][6] = {{0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, {1, 0, 1, 1, 1, 0},
                           {1, 1, 1, 1, 1, 1}, {2, 0, 1, 1, 1, 0}, {2, 1, 1, 1, 1, 1}};
    for (const auto &row : rows) {
        const AnalogTriggerEnables e = analogTriggerEnables(row[0], row[1]);
        const QString where = QStringLiteral("mode %1 hysteresis %2").arg(row[0]).arg(row[1]);
        QVERIFY2(e.comparison == bool(row[2]), qPrintable(where));
        QVERIFY2(e.hysteresis == bool(row[3]), qPrintable(where));
        QVERIFY2(e.threshold1 == bool(row[4]), qPrintable(where));
        QVERIFY2(e.threshold2 == bool(row[5]), qPrintable(where));
    }
}

void TestLogicChCfg::calibrationSelection_data()
{
    // Channels as "channel:gainIndex" pairs; the others are disabled.
    QTest::addColumn<QString>("channels");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("gainIndex");
    QTest::newRow("only channel 3 at gain 100") << "3:6" << int(CalibrationSelection::Ready) << 0x0008 << 6;
    QTest::newRow("channels 0 and 15 alike") << "0:2 15:2" << int(CalibrationSelection::Ready) << 0x8001 << 2;
    QTest::newRow("gains 1 and 10") << "1:0 4:3" << int(CalibrationSelection::UnequalGains) << -1 << -1;
    QTest::newRow("nothing enabled") << "" << int(CalibrationSelection::NoneEnabled) << 0 << -1;
}

void TestLogicChCfg::calibrationSelection()
{
    QFETCH(QString, channels);
    QFETCH(int, result);
    QFETCH(int, mask);
    QFETCH(int, gainIndex);
    bool enabled[channelsPerCard] = {};
    int gains[channelsPerCard] = {};
    for (int c = 0; c < channelsPerCard; ++c)
        gains[c] = 9; // disabled channels' gains must not matter
    for (const QString &pair : channels.split(' ', Qt::SkipEmptyParts)) {
        const int c = pair.section(':', 0, 0).toInt();
        enabled[c] = true;
        gains[c] = pair.section(':', 1, 1).toInt();
    }
    const CalibrationSelection selection = selectCalibration(enabled, gains);
    QCOMPARE(int(selection.result), result);
    if (result == CalibrationSelection::Ready) {
        QCOMPARE(int(selection.mask), mask);
        QCOMPARE(selection.gainIndex, gainIndex);
        QVERIFY(calibrationWarning(selection.result).isEmpty());
    } else if (result == CalibrationSelection::UnequalGains) {
        QCOMPARE(calibrationWarning(selection.result),
                 QString("To calibrate all channels, set equal gain parameters on all enabled channels"));
    } else {
        QCOMPARE(calibrationWarning(selection.result),
                 QString("To calibrate all channels, at least one channel should be enabled"));
    }
}

void TestLogicChCfg::calibrationConfirmations()
{
    QCOMPARE(channelCalibrationDoneText(2, 16), QString("Calibration of channel 16 of FC #2 done."));
    QCOMPARE(cardCalibrationDoneText(1), QString("Calibration of FC #1 done."));
    QCOMPARE(calibrationStoredText(3), QString("Calibration coefficients of FC #3 stored to EEPROM."));
}

QTEST_APPLESS_MAIN(TestLogicChCfg)
#include "test_logic_chcfg.moc"
