// The acquisition page's rules without widgets: the rate list cut to a card's
// range with its default, the code tables, the reference texts and the nearest
// reference, and the stored synchronisation method.
#include "nv6842fp_daqRules.h"

#include <QSettings>
#include <QtTest>

namespace {
QStringList rateTexts(const QVector<double> &rates)
{
    QStringList texts;
    for (double rate : rates)
        texts << nv6842fp_rateText(rate);
    return texts;
}

QList<QPair<QString, int>> pairs(const QVector<nv6842fp_codeItem> &items)
{
    QList<QPair<QString, int>> list;
    for (const nv6842fp_codeItem &item : items)
        list << qMakePair(QString::fromLatin1(item.text), item.code);
    return list;
}

QSettings programSettings()
{
    return QSettings(QStringLiteral("Norvane Ltd."),
                     QStringLiteral("Trellin 6842 Soft Front Panel"));
}
} // namespace

class TestLogicDaq : public QObject
{
    Q_OBJECT
private slots:
    void ratesInRange_data();
    void ratesInRange();
    void outputTriggerCodes();
    void fftAndLengthItems();
    void vrefTexts();
    void nearestVref();
    void acperfSwitch();
    void storedSyncMethod();
};

void TestLogicDaq::ratesInRange_data()
{
    QTest::addColumn<double>("minHz");
    QTest::addColumn<double>("maxHz");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("defaultIndex");
    const QStringList all = {"1.0 Hz",   "2.0 Hz",   "5.0 Hz",   "10.0 Hz",  "20.0 Hz",
                             "50.0 Hz",  "100.0 Hz", "100.1 Hz", "200.0 Hz", "500.0 Hz",
                             "1.0 kHz",  "2.0 kHz",  "5.0 kHz",  "10.0 kHz", "20.0 kHz",
                             "30.0 kHz", "40.0 kHz", "50.0 kHz"};
    QTest::newRow("whole card") << 1.0 << 50000.0 << all << 13;
    QTest::newRow("starts at 20 kHz")
        << 20000.0 << 50000.0 << QStringList{"20.0 kHz", "30.0 kHz", "40.0 kHz", "50.0 kHz"} << 3;
    QTest::newRow("first rate above the top ends")
        << 15.0 << 150.0 << QStringList{"20.0 Hz", "50.0 Hz", "100.0 Hz", "100.1 Hz"} << 3;
    QTest::newRow("ends at 10 kHz") << 5000.0 << 10000.0 << QStringList{"5.0 kHz", "10.0 kHz"} << 1;
    QTest::newRow("nothing fits") << 60000.0 << 1e9 << QStringList{} << -1;
}

void TestLogicDaq::ratesInRange()
{
    QFETCH(double, minHz);
    QFETCH(double, maxHz);
    QFETCH(QStringList, texts);
    QFETCH(int, defaultIndex);
    const QVector<double> rates = nv6842fp_ratesInRange(minHz, maxHz);
    QCOMPARE(rateTexts(rates), texts);
    QCOMPARE(nv6842fp_defaultRateIndex(rates), defaultIndex);
}

void TestLogicDaq::outputTriggerCodes()
{
    using P = QList<QPair<QString, int>>;
    QCOMPARE(pairs(nv6842fp_outputTrigger1Items()), (P{{"Disabled", 0},
                                                       {"Motherboard Trigger 'A'", 1},
                                                       {"CCLK from the Motherboard", 2},
                                                       {"Reference Clock (2 MHz)", 3},
                                                       {"ADC Clock", 4},
                                                       {"Acquisition in Progress", 6}}));
    QCOMPARE(pairs(nv6842fp_outputTrigger2Items()), (P{{"Disabled", 0},
                                                       {"Motherboard Trigger 'B'", 1},
                                                       {"Synchronization Pulses", 2},
                                                       {"Outrange Error", 5},
                                                       {"Pulse per Scan", 6}}));
}

void TestLogicDaq::fftAndLengthItems()
{
    QCOMPARE(nv6842fp_lengthTable(), (QVector<int>{32, 64, 128, 256, 512, 1024, 2048, 4096, 8192}));
    QCOMPARE(nv6842fp_lengthTable().at(nv6842fp_defaultLengthIndex), 2048);
    using P = QList<QPair<QString, int>>;
    QCOMPARE(pairs(nv6842fp_zeroPaddingItems()), (P{{"Off", 1},
                                                    {"2 x", 2},
                                                    {"5 x", 5},
                                                    {"10 x", 10},
                                                    {"20 x", 20},
                                                    {"50 x", 50},
                                                    {"100 x", 100}}));
    QCOMPARE(pairs(nv6842fp_fftWindowItems()), (P{{"Rectangular", 0},
                                                  {"Hann", 1},
                                                  {"Hamming", 2},
                                                  {"Blackman", 3},
                                                  {"4-Term Blackman-Harris", 4},
                                                  {"7-Term Blackman-Harris", 5}}));
    const P fits = pairs(nv6842fp_sineFitItems());
    QCOMPARE(fits.size(), 8);
    QCOMPARE(fits.first(), qMakePair(QStringLiteral("3 parameter"), 0));
    QCOMPARE(fits.at(1), qMakePair(QStringLiteral("4 parameter, 1 iteration"), 1));
    QCOMPARE(fits.at(7), qMakePair(QStringLiteral("4 parameter, 7 iterations"), 7));
}

void TestLogicDaq::vrefTexts()
{
    QCOMPARE(nv6842fp_vrefText(0.0), QStringLiteral("0.000000 V"));
    QCOMPARE(nv6842fp_vrefText(4.5), QStringLiteral("4.500000 V"));
    QCOMPARE(nv6842fp_vrefText(-0.0045), QStringLiteral("-0.004500 V"));
}

void TestLogicDaq::nearestVref()
{
    const double table[] = {0.0, 4.5, 0.45, 0.045, 0.0045, -0.0045, -0.045, -0.45, -4.5};
    QCOMPARE(nv6842fp_nearestVrefIndex(table, 9, 0.44), 2);
    QCOMPARE(nv6842fp_nearestVrefIndex(table, 9, -5.0), 8);
    QCOMPARE(nv6842fp_nearestVrefIndex(table, 9, 0.001), 0);
    const double tie[] = {1.0, 3.0};
    QCOMPARE(nv6842fp_nearestVrefIndex(tie, 2, 2.0), 0); // the first on ties
    QCOMPARE(nv6842fp_nearestVrefIndex(nullptr, 0, 2.0), 0);
}

void TestLogicDaq::acperfSwitch()
{
    QVERIFY(nv6842fp_hasAcperfSwitch({"nv6842fp", "run.bin6842", "-acperf"}));
    QVERIFY(!nv6842fp_hasAcperfSwitch({"nv6842fp", "-acperf2", "acperf"}));
}

void TestLogicDaq::storedSyncMethod()
{
    programSettings().remove(QStringLiteral("SynchronizationMethod"));
    QCOMPARE(nv6842fp_storedSyncMethod(), 1);
    nv6842fp_storeSyncMethod(0);
    QCOMPARE(programSettings().value(QStringLiteral("SynchronizationMethod")).toInt(), 0);
    QCOMPARE(nv6842fp_storedSyncMethod(), 0);
    for (const char *damaged : {"7", "-1", "abc"}) {
        programSettings().setValue(QStringLiteral("SynchronizationMethod"),
                                   QString::fromLatin1(damaged));
        QCOMPARE(nv6842fp_storedSyncMethod(), 1);
    }
}

QTEST_GUILESS_MAIN(TestLogicDaq)
#include "test_logic_daq.moc"
