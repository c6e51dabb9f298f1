// The acquisition engine without streaming: status texts, the set-up of the
// cards (checked against the simulated driver's journal of calls), the
// block-mode helpers (checked against the simulator's signal formula) and
// the timed start; also the simulator's read-failure knobs the streaming
// tests rely on.
#include "acqBlock.h"
#include "acqSetup.h"
#include "acqState.h"
#include "acqTexts.h"
#include "acqTimedStart.h"
#include "recordingHealth.h"
#include "test_sim_helpers.h"

#include <QtTest>

#include <cmath>
#include <utility>
#include <vector>

namespace {

using Report = std::pair<ViStatus, QString>;

// Collects what the engine reports instead of showing it.
struct Reports {
    std::vector<Report> list;
    acqReporter reporter()
    {
        return [this](ViStatus status, const char *call) { list.emplace_back(status, QString::fromLatin1(call)); };
    }
};

QStringList journalLines()
{
    std::vector<char> text(1 << 16);
    trellinSimJournal(text.data(), int(text.size()));
    return QString::fromLatin1(text.data()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

ViSession openDefaultCards(int count)
{
    ViSession vi = VI_NULL;
    const char *list = count == 1 ? "VXI0::2::INSTR" : "VXI0::2::INSTR,VXI0::2::INSTR";
    if (openCards(list, {1, 2}, &vi) != VI_SUCCESS)
        return VI_NULL;
    return vi;
}

bool waitForStage(ViSession vi, int stage, int timeoutMs)
{
    return pollUntil([&] { return acqPollStage(vi) == VI_SUCCESS && gl_state == stage; }, timeoutMs);
}

} // namespace

class TestEngineSetup : public QObject
{
    Q_OBJECT
private slots:
    void stageTexts_data();
    void stageTexts();
    void errorTexts_data();
    void errorTexts();
    void sizeTexts_data();
    void sizeTexts();
    void storageInfoLine();
    void recordingHealthLine_data();
    void recordingHealthLine();
    void durationTexts_data();
    void durationTexts();
    void synchAndMode();
    void blockLimit();
    void programCardsSendsPanelValues();
    void programCardsReportsAndCarriesOn_data();
    void programCardsReportsAndCarriesOn();
    void fixedSynch();
    void rateMissing_data();
    void rateMissing();
    void blockReadMatchesFormula();
    void shortBlockKeepsTheAskedLength();
    void timedStartBeginsAtAlarm();
    void startTimePassed_data();
    void startTimePassed();
    void stopCancelsATimedStart();
    void simulatorShortAndLaterFailures();
};

void TestEngineSetup::stageTexts_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("rgba");
    const char *names[] = {"Idle", "HW Arm", "DDS Upd", "Sync", "Ready", "Pre-Trig", "Post-Trig", "End"};
    const uint colours[] = {0xFF000000, 0xFFA0A0A4, 0xFF800080, 0xFFFF00FF, 0xFF808000, 0xFFFF9632, 0xFF00FF00, 0xFF0000FF};
    for (int i = 0; i < 8; ++i)
        QTest::addRow("%d", i) << i << QString::fromLatin1(names[i]) << colours[i];
    QTest::newRow("8") << 8 << "Stage 8" << 0xFF000000u;
    QTest::newRow("-1") << -1 << "Stage -1" << 0xFF000000u;
}

void TestEngineSetup::stageTexts()
{
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(uint, rgba);
    QCOMPARE(acqStageText(state), text);
    QCOMPARE(acqStageRgba(state, 0), rgba);
    QCOMPARE(acqStageRgba(state, 1), 0xFFFF0000u);
}

void TestEngineSetup::errorTexts_data()
{
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fatal");
    QTest::newRow("none") << 0 << "" << false;
    QTest::newRow("range") << 0x0001 << "Input Signal Out Of Range" << false;
    QTest::newRow("overflow+range") << 0x0041 << "FIFO overflow" << true;
    QTest::newRow("both fifo") << 0x00C0 << "FIFO overflow" << true;
    QTest::newRow("underflow") << 0x0080 << "FIFO underflow" << true;
    QTest::newRow("hardware") << 0x0102 << "Hardware error 0102" << true;
    QTest::newRow("hardware hex") << 0xAB00 << "Hardware error AB00" << true;
}

void TestEngineSetup::errorTexts()
{
    QFETCH(int, errors);
    QFETCH(QString, text);
    QFETCH(bool, fatal);
    bool stop = !fatal;
    QCOMPARE(acqErrorText(uint16_t(errors), &stop), text);
    QCOMPARE(stop, fatal);
}

void TestEngineSetup::sizeTexts_data()
{
    QTest::addColumn<qulonglong>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0ull << "0 B";
    QTest::newRow("1023") << 1023ull << "1023 B";
    QTest::newRow("1024") << 1024ull << "1.0 kB";
    QTest::newRow("1536") << 1536ull << "1.5 kB";
    QTest::newRow("1 MB") << (1ull << 20) << "1.0 MB";
    QTest::newRow("1.5 MB") << (3ull << 19) << "1.5 MB";
    QTest::newRow("below 1 GB") << ((1ull << 30) - 1) << "1024.0 MB";
    QTest::newRow("3 GB") << (3ull << 30) << "3.00 GB";
    QTest::newRow("5 TB") << (5ull << 40) << "5120.00 GB";
}

void TestEngineSetup::sizeTexts()
{
    QFETCH(qulonglong, bytes);
    QFETCH(QString, text);
    QCOMPARE(acqFileSizeText(bytes), text);
}

void TestEngineSetup::storageInfoLine()
{
    QCOMPARE(acqStorageInfoText(1536, 20000), QStringLiteral("File size: 1.5 kB, scan backlog: 20000"));
    QCOMPARE(acqBacklogHigh(16384), false);
    QCOMPARE(acqBacklogHigh(16385), true);
}

void TestEngineSetup::recordingHealthLine_data()
{
    using Samples = QList<qint64>; // ms, bytes written, ms, bytes written ...
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<int>("backlog");
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<QString>("text"); // after the last sample; empty: none yet
    const qint64 mb = 1 << 20;
    QTest::newRow("one sample") << Samples{0, 0} << 0 << qint64(1) << QString();
    // 10 GB at 1 MB/s: 10240 s.
    QTest::newRow("rate and time left") << Samples{0, 0, 1000, mb} << 3 << (qint64(10) << 30)
                                        << "1.0 MB/s, ring backlog 3/16 blocks, 10.00 GB free, 2 h 50 min left";
    QTest::newRow("free space unknown") << Samples{0, 0, 1000, mb} << 0 << qint64(-1)
                                        << "1.0 MB/s, ring backlog 0/16 blocks";
    QTest::newRow("nothing written") << Samples{0, 0, 1000, 0} << 15 << (qint64(1) << 30)
                                     << "0 B/s, ring backlog 15/16 blocks, 1.00 GB free";
    // Samples less than a second after the last are not taken.
    QTest::newRow("too soon") << Samples{0, 0, 500, 9 * mb, 2000, 3 * mb} << 0 << qint64(-1)
                              << "1.5 MB/s, ring backlog 0/16 blocks";
    // The rate of the last five seconds: 1 MB/s for five, then 2 MB/s.
    Samples changing;
    for (qint64 s = 0; s <= 10; ++s)
        changing << s * 1000 << (s <= 5 ? s * mb : 5 * mb + (s - 5) * 2 * mb);
    QTest::newRow("last five seconds") << changing << 1 << (qint64(60) * 2 * mb)
                                       << "2.0 MB/s, ring backlog 1/16 blocks, 120.0 MB free, 1 min 00 s left";
}

void TestEngineSetup::recordingHealthLine()
{
    using Samples = QList<qint64>;
    QFETCH(Samples, samples);
    QFETCH(int, backlog);
    QFETCH(qint64, freeBytes);
    QFETCH(QString, text);
    recordingHealth health;
    bool shown = false;
    for (int i = 0; i + 1 < samples.size(); i += 2)
        shown = health.sample(samples[i], uint64_t(samples[i + 1]), backlog, freeBytes) || shown;
    QCOMPARE(shown, !text.isEmpty());
    if (shown)
        QCOMPARE(health.text(), text);
}

void TestEngineSetup::durationTexts_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0.0 << "0 s";
    QTest::newRow("seconds") << 59.9 << "59 s";
    QTest::newRow("minutes") << 725.0 << "12 min 05 s";
    QTest::newRow("hours") << 11520.0 << "3 h 12 min";
    QTest::newRow("days") << 183600.0 << "2 d 03 h";
}

void TestEngineSetup::durationTexts()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(acqDurationText(seconds), text);
}

void TestEngineSetup::synchAndMode()
{
    QCOMPARE(acqSynchValue(true, -1), uint16_t(0xFFFE));
    QCOMPARE(acqSynchValue(true, 1), uint16_t(0xFFFE));
    QCOMPARE(acqSynchValue(false, -1), uint16_t(0xFFFF));
    QCOMPARE(acqSynchValue(false, 0), uint16_t(0xFFFE));
    QCOMPARE(acqSynchValue(false, 1), uint16_t(0xFFFF));

    acqSettings s;
    s.scans = 2048;
    QCOMPARE(acqTriggerModeOf(s).mode, int16_t(0));
    QCOMPARE(acqTriggerModeOf(s).scansTrig, 2048);
    s.trigSource = 0x14;
    QCOMPARE(acqTriggerModeOf(s).mode, int16_t(1));
    QCOMPARE(acqTriggerModeOf(s).trigSource, uint16_t(0x14));
    s.ptpAlarmChecked = true; // no effect without an LXI carrier
    QCOMPARE(acqTriggerModeOf(s).mode, int16_t(1));
    s.lxiCarrier = true;
    QCOMPARE(acqTriggerModeOf(s).mode, int16_t(2));
    QVERIFY(acqTimedStartWanted(s));
    s.storage = true;
    QCOMPARE(acqTriggerModeOf(s).scansTrig, 0);
}

void TestEngineSetup::blockLimit()
{
    QCOMPARE(acqEnabledChannels({0x0001, 0x8000, 0xFFFF, 0}), 18);
    QVERIFY(acqBlockTooLargeText(16, 8192).isEmpty());
    QVERIFY(acqBlockTooLargeText(1250, 8192).isEmpty()); // exactly 10,240,000 values
    const QString text = acqBlockTooLargeText(79 * 16, 8192);
    QVERIFY(!text.isEmpty());
    QVERIFY(text.contains(QLatin1String("1264")));
    QVERIFY(text.contains(QLatin1String("8192")));
    QVERIFY(text.contains(QLatin1String("10240000")));
}

void TestEngineSetup::programCardsSendsPanelValues()
{
    const ViSession vi = openDefaultCards(2);
    QVERIFY(vi != VI_NULL);
    const ViSession fc0 = cardSessionOf(vi, 0), fc1 = cardSessionOf(vi, 1);
    // Sources the panel does not own, and the third polarity, must survive.
    QCOMPARE(nv6842_setOTRIConfig(fc0, 7, 8, 0, 0, 9, 10, 11), VI_SUCCESS);
    QCOMPARE(nv6842_setFPTrigPolarity(fc0, nv6842_HIGH, nv6842_HIGH, nv6842_LOW), VI_SUCCESS);
    trellinSimJournalClear();

    acqSettings s;
    s.freq = 20000;
    s.scans = 1024;
    s.chanMask = {0x0001, 0x0003};
    s.trigSource = 0x05;
    s.trgLevel = 1;
    s.fixedSynch = true;
    s.outputTriggers = {{3, 4, true, false}, {0, 15, false, true}};
    Reports reports;
    QVERIFY(acqProgramCards(vi, s, reports.reporter()));
    QVERIFY(reports.list.empty());

    const QString v = QString::number(vi), f0 = QString::number(fc0), f1 = QString::number(fc1);
    const QStringList expected = {
        "nv6842_setMultTrigConfig(" + v + ", 5, 1)",
        "nv6842_multConfig(" + v + ", 0, 20000, 1, 1024, 65534, 65534)",
        "nv6842_setOTRIConfig(" + f0 + ", 7, 8, 3, 4, 9, 10, 11)",
        "nv6842_setFPTrigPolarity(" + f0 + ", 0, 1, 0)",
        "nv6842_setOTRIConfig(" + f1 + ", 0, 0, 0, 15, 0, 0, 0)",
        "nv6842_setFPTrigPolarity(" + f1 + ", 1, 0, 1)",
    };
    QCOMPARE(journalLines(), expected);

    // Storage mode on a network carrier with IEEE 1588: until stopped, synch 0xFFFF.
    trellinSimJournalClear();
    s.storage = true;
    s.lxiCarrier = true;
    s.fixedSynch = false;
    s.syncMethod = 1;
    s.trigSource = 0;
    s.outputTriggers.clear();
    acqProgramCards(vi, s, reports.reporter());
    QCOMPARE(journalLines(), QStringList({"nv6842_setMultTrigConfig(" + v + ", 0, 1)",
                                          "nv6842_multConfig(" + v + ", 0, 20000, 0, 0, 65535, 65535)"}));
    nv6842_multClose(vi);
}

void TestEngineSetup::programCardsReportsAndCarriesOn_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("status");
    QTest::addColumn<bool>("programmed"); // no call failed: the caller may start
    QTest::newRow("timing warning") << QByteArray("nv6842_multConfig")
                                    << "nv6842_multConfig(d_vi, nv6842_MB_SYNC_MODE, freq, mode, scans_trig, synch, synch)"
                                    << 0x3FFC0801u << true;
    QTest::newRow("trigger") << QByteArray("nv6842_setMultTrigConfig")
                             << "nv6842_setMultTrigConfig(d_vi, trigSource, parent->daq->trgLevel->currentIndex())" << 0xBFFC0801u << false;
    QTest::newRow("timing") << QByteArray("nv6842_multConfig")
                            << "nv6842_multConfig(d_vi, nv6842_MB_SYNC_MODE, freq, mode, scans_trig, synch, synch)" << 0xBFFC0801u << false;
    QTest::newRow("session") << QByteArray("nv6842_getMultFCsession") << "nv6842_getMultFCsession(d_vi, j, &fcvi)" << 0xBFFC0801u << false;
    QTest::newRow("get otri") << QByteArray("nv6842_getOTRIConfig")
                              << "nv6842_getOTRIConfig(fcvi, &sourceMBA, &sourceMBB, &sourceFPOT1, &sourceFPOT2, "
                                 "&sourceFPOT3, &sourceDE, &sourceDI)" << 0xBFFC0801u << false;
    QTest::newRow("set otri")
        << QByteArray("nv6842_setOTRIConfig")
        << "nv6842_setOTRIConfig(fcvi, sourceMBA, sourceMBB, "
           "parent->fpOutTrg[j]->outputTrigger1->itemData(parent->fpOutTrg[j]->outputTrigger1->currentIndex()).toInt(), "
           "parent->fpOutTrg[j]->outputTrigger2->itemData(parent->fpOutTrg[j]->outputTrigger2->currentIndex()).toInt(), "
           "sourceFPOT3, sourceDE, sourceDI)" << 0xBFFC0801u << false;
    QTest::newRow("get polarity") << QByteArray("nv6842_getFPTrigPolarity")
                                  << "nv6842_getFPTrigPolarity(fcvi, NULL, NULL, &pol3)" << 0xBFFC0801u << false;
    QTest::newRow("set polarity") << QByteArray("nv6842_setFPTrigPolarity")
                                  << "nv6842_setFPTrigPolarity(fcvi, "
                                     "parent->fpOutTrg[j]->outputTrigger1negate->isChecked() ? nv6842_LOW : nv6842_HIGH, "
                                     "parent->fpOutTrg[j]->outputTrigger2negate->isChecked() ? nv6842_LOW : nv6842_HIGH, "
                                     "pol3)" << 0xBFFC0801u << false;
}

void TestEngineSetup::programCardsReportsAndCarriesOn()
{
    QFETCH(QByteArray, call);
    QFETCH(QString, text);
    QFETCH(uint, status);
    QFETCH(bool, programmed);
    SimConfig config("default; fail call=" + call + " status=0x" + QByteArray::number(status, 16));
    const ViSession vi = openDefaultCards(2);
    QVERIFY(vi != VI_NULL);
    trellinSimJournalClear();
    acqSettings s;
    s.freq = 10000;
    s.scans = 512;
    s.chanMask = {1, 1};
    s.outputTriggers = {{1, 2, false, false}, {1, 2, false, false}};
    Reports reports;
    QCOMPARE(acqProgramCards(vi, s, reports.reporter()), programmed);
    QVERIFY(!reports.list.empty());
    QCOMPARE(reports.list.front().first, ViStatus(status));
    QCOMPARE(reports.list.front().second, text);
    // The set-up went on: the second card's polarities were still sent.
    const ViSession fc1 = cardSessionOf(vi, 1);
    QVERIFY(journalLines().last().startsWith("nv6842_setFPTrigPolarity(" + QString::number(fc1) + ", "));
    nv6842_multClose(vi);
}

void TestEngineSetup::fixedSynch()
{
    struct Case {
        const char *list;
        std::vector<ViInt16> fcs;
        bool lxi, ptp, fixed;
    };
    // Mode 1 (one host): fixed unless a network carrier starts on the alarm;
    // mode 0 (several carriers): fixed only off a network carrier.
    const Case cases[] = {
        {"VXI0::2::INSTR", {1}, false, false, true},
        {"TCPIP0::127.0.0.2::INSTR", {1}, true, false, true},
        {"TCPIP0::127.0.0.2::INSTR", {1}, true, true, false},
        {"TCPIP0::127.0.0.2::INSTR,VXI0::2::INSTR", {1, 1}, true, false, false},
        {"VXI0::2::INSTR,TCPIP0::127.0.0.2::INSTR", {1, 1}, false, true, true},
    };
    for (const Case &c : cases) {
        ViSession vi = VI_NULL;
        QCOMPARE(openCards(c.list, c.fcs, &vi), VI_SUCCESS);
        acqSettings s;
        s.lxiCarrier = c.lxi;
        s.ptpAlarmChecked = c.ptp;
        Reports reports;
        QCOMPARE(acqFixedSynch(vi, s, reports.reporter()), c.fixed);
        QVERIFY(reports.list.empty());
        nv6842_multClose(vi);
    }

    SimConfig config("default; fail call=viGetAttribute status=0xBFFF000E");
    const ViSession vi = openDefaultCards(1);
    acqSettings s;
    s.lxiCarrier = true;
    Reports reports;
    QCOMPARE(acqFixedSynch(vi, s, reports.reporter()), false);
    QCOMPARE(int(reports.list.size()), 1);
    QCOMPARE(reports.list[0].second, QStringLiteral("viGetAttribute(d_vi, VI_ATTR_USER_DATA, &multEnv)"));
    nv6842_multClose(vi);
}

void TestEngineSetup::blockReadMatchesFormula()
{
    SimConfig config("carrier vxi slot=2; fc 1; signal ch=2 amp=20");
    const ViSession vi = openDefaultCards(1);
    QVERIFY(vi != VI_NULL);
    QCOMPARE(nv6842_setMultChanConfig(vi, 2, 1, 1, VI_FALSE), VI_SUCCESS);
    acqSettings s;
    s.freq = 10000;
    s.scans = 512;
    s.chanMask = {0x0003};
    s.outputTriggers = {{}};
    Reports reports;
    acqProgramCards(vi, s, reports.reporter());
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(waitForStage(vi, nv6842_STAGE_READY, 2000));
    QCOMPARE(acqBlockReady(s.scans), false);
    QCOMPARE(acqSoftwareTrigger(vi, reports.reporter()), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return acqPollStage(vi) == VI_SUCCESS && acqBlockReady(s.scans); }, 3000));

    std::vector<double> data(2 * 512, -99.0);
    int32_t got = 0;
    QCOMPARE(acqFetchBlock(vi, s.scans, data.data(), &got, reports.reporter()), VI_SUCCESS);
    QCOMPARE(got, 512);
    for (int ch = 1; ch <= 2; ++ch) {
        std::vector<double> expected(512);
        QVERIFY(trellinSimExpectedVolts(nullptr, "VXI0::2::INSTR", 1, ch, 1, 1, 0, 10000, 0, 512,
                                        expected.data()) >= 0);
        QVERIFY(std::equal(expected.begin(), expected.end(), data.begin() + (ch - 1) * 512));
    }
    // Channel 2 (20 V amplitude) saturates; channel 1 does not.
    QVERIFY(acqPollStage(vi) == VI_SUCCESS && (gl_errors & 1));
    std::vector<uint16_t> marks;
    QCOMPARE(acqReadOverRange(vi, s.chanMask, &marks, reports.reporter()), VI_SUCCESS);
    QCOMPARE(marks, std::vector<uint16_t>({0x0002}));
    QVERIFY(reports.list.empty());

    // A failing call is reported with its text and stops the helper.
    SimConfig failing("carrier vxi slot=2; fc 1; fail call=nv6842_stopMultAcquisition status=0xBFFC0801");
    const ViSession vi2 = openDefaultCards(1);
    QCOMPARE(acqFetchBlock(vi2, 512, data.data(), &got, reports.reporter()), ViStatus(0xBFFC0801));
    QCOMPARE(int(reports.list.size()), 1);
    QCOMPARE(reports.list[0].second, QStringLiteral("nv6842_stopMultAcquisition(d_vi)"));
    nv6842_multClose(vi2);
    nv6842_multClose(vi);
}

void TestEngineSetup::rateMissing_data()
{
    QTest::addColumn<double>("freq");
    QTest::addColumn<bool>("refused");
    QTest::newRow("empty list") << 0.0 << true;
    QTest::newRow("negative") << -1.0 << true;
    QTest::newRow("not a number") << std::nan("") << true;
    QTest::newRow("infinite") << HUGE_VAL << true;
    QTest::newRow("1 Hz") << 1.0 << false;
    QTest::newRow("50 kHz") << 50000.0 << false;
}

void TestEngineSetup::rateMissing()
{
    QFETCH(double, freq);
    QFETCH(bool, refused);
    QCOMPARE(!acqRateMissingText(freq).isEmpty(), refused);
}

void TestEngineSetup::shortBlockKeepsTheAskedLength()
{
    SimConfig config("carrier vxi slot=2; fc 1; short call=nv6842_readMultAcquisition scans=100");
    const ViSession vi = openDefaultCards(1);
    QVERIFY(vi != VI_NULL);
    QCOMPARE(nv6842_multConfig(vi, 0, 10000, 0, 512, 0xFFFE, 0xFFFE), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(waitForStage(vi, nv6842_STAGE_READY, 2000));
    QCOMPARE(acqSoftwareTrigger(vi, acqReporter()), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return acqPollStage(vi) == VI_SUCCESS && acqBlockReady(512); }, 3000));
    std::vector<double> data(512, -99.0);
    int32_t got = -1;
    Reports reports;
    QCOMPARE(acqFetchBlock(vi, 512, data.data(), &got, reports.reporter()), VI_SUCCESS);
    QCOMPARE(got, 100);
    QVERIFY(reports.list.empty());
    // The scans delivered are the block's first ones.
    std::vector<double> expected(100);
    QVERIFY(trellinSimExpectedVolts(nullptr, "VXI0::2::INSTR", 1, 1, 1, 1, 0, 10000, 0, 100, expected.data()) >= 0);
    QVERIFY(std::equal(expected.begin(), expected.end(), data.begin()));
    QCOMPARE(acqShortBlockText(got, 512), QStringLiteral("100 of 512 scans were read"));
    nv6842_multClose(vi);
}

void TestEngineSetup::timedStartBeginsAtAlarm()
{
    ViSession vi = VI_NULL;
    QCOMPARE(openCards("TCPIP0::127.0.0.2::INSTR", {1}, &vi), VI_SUCCESS);
    QCOMPARE(nv6842_multConfig(vi, 0, 10000, 2, 256, 0xFFFE, 0xFFFE), VI_SUCCESS);
    const int64_t now = cardNowNs(cardSessionOf(vi, 0));
    startMultInThd_params_t p;
    p.session = vi;
    p.status = -1;
    p.startTime = now / 1000000000LL + 2;
    QFuture<void> future = acqRunTimedStart(&p);
    future.waitForFinished();
    QVERIFY(acqTimedStartDone(p));
    QCOMPARE(p.status, VI_SUCCESS);
    QVERIFY(cardNowNs(cardSessionOf(vi, 0)) >= p.startTime * 1000000000LL);
    QVERIFY(pollUntil([&] { return acqPollStage(vi) == VI_SUCCESS && acqBlockReady(256); }, 3000));
    std::vector<double> data(256);
    std::vector<ViInt32> sec(256), ns(256);
    ViInt32 got = 0;
    QCOMPARE(nv6842_readMultAcquisitionEx(vi, 256, &got, data.data(), sec.data(), ns.data()), VI_SUCCESS);
    QCOMPARE(got, 256);
    QCOMPARE(int64_t(sec[0]), p.startTime);
    QCOMPARE(ns[0], 0);
    nv6842_multClose(vi);
}

void TestEngineSetup::simulatorShortAndLaterFailures()
{
    SimConfig config("carrier vxi slot=2; fc 1; short call=nv6842_readMultAcquisition scans=100 after=1; "
                     "fail call=nv6842_readMultAcquisitionEx status=0xBFFC0808 after=2");
    const ViSession vi = openDefaultCards(1);
    QVERIFY(vi != VI_NULL);
    QCOMPARE(nv6842_multConfig(vi, 0, 50000, 0, 2048, 0xFFFE, 0xFFFE), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(waitForStage(vi, nv6842_STAGE_READY, 2000));
    nv6842_generateITRI(vi, nv6842_PULSE);
    QVERIFY(waitForStage(vi, nv6842_STAGE_END, 3000));
    std::vector<double> data(256);
    std::vector<ViInt32> sec(256), ns(256);
    const int plain[] = {256, 100, 256};
    for (int expected : plain) {
        ViInt32 got = 0;
        QCOMPARE(nv6842_readMultAcquisition(vi, 256, &got, data.data()), VI_SUCCESS);
        QCOMPARE(got, expected);
    }
    const ViStatus stamped[] = {VI_SUCCESS, VI_SUCCESS, ViStatus(0xBFFC0808), VI_SUCCESS};
    for (ViStatus expected : stamped) {
        ViInt32 got = 0;
        QCOMPARE(nv6842_readMultAcquisitionEx(vi, 256, &got, data.data(), sec.data(), ns.data()), expected);
    }
    nv6842_multClose(vi);
}

void TestEngineSetup::startTimePassed_data()
{
    QTest::addColumn<int>("offset"); // start time minus the card's current second
    QTest::addColumn<bool>("passed");
    QTest::newRow("a minute ago") << -60 << true;
    QTest::newRow("this second") << 0 << true;
    QTest::newRow("in a minute") << 60 << false;
    QTest::newRow("in thirty years") << 30 * 365 * 86400 << false;
}

void TestEngineSetup::startTimePassed()
{
    QFETCH(int, offset);
    QFETCH(bool, passed);
    ViSession vi = VI_NULL;
    QCOMPARE(openCards("TCPIP0::127.0.0.2::INSTR", {1}, &vi), VI_SUCCESS);
    const int64_t now = cardNowNs(cardSessionOf(vi, 0)) / 1000000000LL;
    Reports reports;
    QCOMPARE(acqStartTimePassed(vi, now + offset, reports.reporter()), passed);
    QVERIFY(reports.list.empty());
    nv6842_multClose(vi);
}

void TestEngineSetup::stopCancelsATimedStart()
{
    ViSession vi = VI_NULL;
    QCOMPARE(openCards("TCPIP0::127.0.0.2::INSTR", {1}, &vi), VI_SUCCESS);
    QCOMPARE(nv6842_multConfig(vi, 0, 10000, 2, 256, 0xFFFE, 0xFFFE), VI_SUCCESS);
    startMultInThd_params_t p;
    p.session = vi;
    p.startTime = cardNowNs(cardSessionOf(vi, 0)) / 1000000000LL + 3600;
    QFuture<void> future = acqRunTimedStart(&p);
    QVERIFY(pollUntil([&] { return acqPollStage(vi) == VI_SUCCESS && gl_state == nv6842_STAGE_READY; }, 2000));
    QVERIFY(!future.isFinished());
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return future.isFinished() && acqTimedStartDone(p); }, 2000));
    QVERIFY(acqTimedStartCancelled(p.status));
    QVERIFY(!acqTimedStartCancelled(VI_SUCCESS));
    nv6842_multClose(vi);
}

QTEST_GUILESS_MAIN(TestEngineSetup)
#include "test_engine_setup.moc"
