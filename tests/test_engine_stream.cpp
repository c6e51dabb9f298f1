// Gap-free streaming to file with real threads: the simulated driver's
// callback thread, the storage task on the pool and this thread as the GUI.
// Files are read back with the stored-file reader (binary) or compared with
// texts printed here with printf (CSV); every sample is checked against the
// simulator's signal formula and every time stamp against its scan times.
#include "acqBlock.h"
#include "acqSetup.h"
#include "acqState.h"
#include "contParams.h"
#include "test_engine_helpers.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

void resetCounters()
{
    blocksAcquired = 0;
    displayedBlock = 0;
    bytesWritten = 0;
    publishStage(0, 0, 0);
}

// One streaming run on two simulated cards, as startDAQ() and stopDAQ() drive it.
struct Stream {
    ViSession vi = VI_NULL;
    contParams_t params;
    bool ended = false;

    ~Stream()
    {
        if (!ended)
            end();
        if (vi)
            nv6842_multClose(vi);
    }

    bool start(const QString &fileName, int format, bool stamps, int blockLimit = 0, bool single = false)
    {
        resetCounters();
        if (openCards("VXI0::2::INSTR,VXI0::2::INSTR", {1, 2}, &vi) != VI_SUCCESS)
            return false;
        for (const Channel &c : channels)
            nv6842_setMultChanConfig(vi, channelOf(c.fc - 1, c.channel), 1, 1, VI_FALSE);
        acqSettings s;
        s.freq = rate;
        s.scans = scans;
        s.chanMask = masks;
        s.storage = true;
        s.outputTriggers.resize(masks.size());
        acqProgramCards(vi, s, [](ViStatus status, const char *call) { qWarning("%s: %x", call, unsigned(status)); });

        contStreamSettings settings;
        settings.chanMask = masks;
        settings.freq = rate;
        settings.scans = scans;
        settings.format = format;
        settings.timestamps = stamps;
        settings.stopAfterFirst = single;
        settings.fileName = fileName;
        if (params.prepare(settings) != contPrepareResult::Ok)
            return false;
        params.blockLimit = blockLimit;
        params.startStorage();
        contArmCallbacks();
        if (nv6842_startMultAcquisitionEx(vi, scans, dataCallback, &params) != VI_SUCCESS)
            return false;
        // No trigger source: the refresh sends a software trigger once the card is ready.
        if (acqPollStage(vi) != VI_SUCCESS || gl_state != nv6842_STAGE_READY)
            return false;
        return acqSoftwareTrigger(vi, acqReporter()) == VI_SUCCESS;
    }

    QString end()
    {
        ended = true;
        return contEndStreaming(params, vi, acqReporter());
    }
};

bool waitForBlocks(int count, int timeoutMs = 10000)
{
    return pollUntil([&] { return blocksAcquired >= count; }, timeoutMs);
}

} // namespace

class TestEngineStream : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void binaryRecordingIsGapFree_data();
    void binaryRecordingIsGapFree();
    void csvRecording_data();
    void csvRecording();
    void stopWritesEveryBlockLeftInRing();
    void displayCopyKeepsFirstStamp();
    void storageTooSlowTimesOut();
    void readFailureShowsAtOnce_data();
    void readFailureShowsAtOnce();
    void fullDisk_data();
    void fullDisk();
    void emptyFileNameDisplaysOnly();
    void singleShotSetsFirstBlockDone();
    void callbackLeavesPollOnStop();
    void firstErrorWins();
    void unopenableFile();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestEngineStream::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestEngineStream::binaryRecordingIsGapFree_data()
{
    QTest::addColumn<bool>("stamps");
    QTest::addColumn<int>("blocks");
    // Beyond three ring lengths every slot is reused three times: a fault in
    // the wrap-around of either index shows as blocks out of order or lost.
    const int wrapped = 3 * contRingSlots + 5;
    QTest::newRow("time stamps") << true << 12;
    QTest::newRow("samples only") << false << 12;
    QTest::newRow("time stamps, three ring lengths") << true << wrapped;
    QTest::newRow("samples only, three ring lengths") << false << wrapped;
}

void TestEngineStream::binaryRecordingIsGapFree()
{
    QFETCH(bool, stamps);
    QFETCH(int, blocks);
    const QString path = dir->filePath("run.bin6842");
    Stream s;
    QVERIFY(s.start(path, contBinary, stamps, blocks));
    QVERIFY(waitForBlocks(blocks));
    // The callback after the last block reads nothing.
    QVERIFY(pollUntil([] { return callbackSawStop.load(); }, 2000));
    QCOMPARE(s.end(), QString());
    QCOMPARE(blocksAcquired.load(), blocks);
    QCOMPARE(s.params.blocksStored.load(), int64_t(blocks));
    // Every scan: a double per channel, and two 32-bit words of time stamp.
    QCOMPARE(bytesWritten.load(), uint64_t(blocks) * scans * (8 * channelCount + (stamps ? 8 : 0)));
    verifyBinary(path, blocks, stamps);
}

void TestEngineStream::csvRecording_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("volts") << int(contCsvVolts);
    QTest::newRow("millivolts") << int(contCsvMillivolts);
}

void TestEngineStream::csvRecording()
{
    QFETCH(int, format);
    const QString path = dir->filePath("run.csv");
    const int blocks = 3;
    Stream s;
    QVERIFY(s.start(path, format, false, blocks));
    QVERIFY(waitForBlocks(blocks));
    QCOMPARE(s.end(), QString());
    const bool mv = format == contCsvMillivolts;
    const QByteArray expected = expectedCsv(blocks, mv);
    QCOMPARE(readAll(path), expected);
    // The size counts the texts as written, not the header.
    QCOMPARE(bytesWritten.load(), uint64_t(expected.size() - expectedCsv(0, mv).size()));
}

void TestEngineStream::stopWritesEveryBlockLeftInRing()
{
    const QString path = dir->filePath("late.bin6842");
    Stream s;
    s.params.storageStalled = true; // the disk falls behind: blocks wait in the ring
    QVERIFY(s.start(path, contBinary, true));
    QVERIFY(waitForBlocks(6));
    QCOMPARE(bytesWritten.load(), uint64_t(0));
    QCOMPARE(s.end(), QString());
    const int acquired = blocksAcquired;
    QVERIFY(acquired >= 6 && acquired < contRingSlots);
    verifyBinary(path, acquired, true);
}

void TestEngineStream::displayCopyKeepsFirstStamp()
{
    const QString path = dir->filePath("stamped.bin6842");
    Stream s;
    QVERIFY(s.start(path, contBinary, true));
    std::vector<double> data(size_t(channelCount * scans));
    QList<QPair<int32_t, contBlockStamp>> taken;
    for (int round = 0; round < 2; ++round) {
        // After a take the callback copies the next block it reads.
        const int32_t last = taken.isEmpty() ? -1 : taken.last().first;
        QVERIFY(pollUntil([&] { return s.params.copyValid && displayedBlock > last; }, 5000));
        int32_t block = -1;
        contBlockStamp stamp;
        QVERIFY(contTakeDisplayCopy(s.params, data.data(), &block, &stamp));
        taken.append({block, stamp});
    }
    QCOMPARE(s.end(), QString());
    QVERIFY(taken[1].first > taken[0].first);
    // The stamp travels with its block: the file holds the same one.
    StoredFileInfo_t info;
    QCOMPARE(readStoredFileHeader(path.toLocal8Bit().constData(), &info), 0);
    std::vector<int32_t> sec(static_cast<size_t>(scans)), ns(static_cast<size_t>(scans));
    for (const auto &t : taken) {
        QVERIFY(t.second.valid);
        QCOMPARE(readStoredBlockStamps(info, data.data(), sec.data(), ns.data(), t.first), 1);
        QCOMPARE(t.second.seconds, sec[0]);
        QCOMPARE(t.second.nanos, ns[0]);
    }
}

void TestEngineStream::storageTooSlowTimesOut()
{
    const QString path = dir->filePath("slow.bin6842");
    Stream s;
    s.params.storageStalled = true;
    s.params.storageWaitRounds = 20000;
    QVERIFY(s.start(path, contBinary, false));
    QVERIFY(pollUntil([&] { return s.params.failed(); }, 60000));
    QCOMPARE(s.params.errorText(), QStringLiteral("Timeout"));
    // Streaming has ended, the acquisition and its display go on.
    const int before = blocksAcquired;
    QVERIFY(waitForBlocks(before + 2));
    std::vector<double> data(size_t(channelCount * scans));
    QVERIFY(contTakeDisplayCopy(s.params, data.data()));
    QCOMPARE(s.end(), QStringLiteral("Timeout"));
    // The ring was full: fifteen complete blocks, all of them written at the end.
    verifyBinary(path, contRingSlots - 1, false);
}

void TestEngineStream::readFailureShowsAtOnce_data()
{
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<QString>("reason");
    const QString injected = driverText(nv6842_ERROR_INJECTED);
    QTest::newRow("error") << QByteArray("fail call=nv6842_readMultAcquisitionEx status=0xBFFC080A after=3")
                           << injected;
    QTest::newRow("short") << QByteArray("short call=nv6842_readMultAcquisitionEx scans=100 after=3")
                           << "100 of 256 scans were read";
}

void TestEngineStream::readFailureShowsAtOnce()
{
    QFETCH(QByteArray, rule);
    QFETCH(QString, reason);
    QVERIFY(!reason.isEmpty());
    SimConfig config("default; " + rule);
    const QString path = dir->filePath("failing.bin6842");
    Stream s;
    QVERIFY(s.start(path, contBinary, true));
    QVERIFY(pollUntil([&] { return s.params.failed(); }, 5000));
    QVERIFY(acqRunning);
    QCOMPARE(s.params.errorText(), "nv6842_readMultAcquisitionEx failed due to [" + reason + "]");
    QVERIFY(waitForBlocks(6)); // the display goes on
    QCOMPARE(s.end(), "nv6842_readMultAcquisitionEx failed due to [" + reason + "]");
    // Only the complete blocks before the failure reach the file.
    verifyBinary(path, 3, true);
}

void TestEngineStream::fullDisk_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("binary") << int(contBinary);
    QTest::newRow("CSV") << int(contCsvVolts);
    QTest::newRow("CSV, millivolts") << int(contCsvMillivolts);
}

void TestEngineStream::fullDisk()
{
    QFETCH(int, format);
    Stream s;
    QVERIFY(s.start(QStringLiteral("/dev/full"), format, false));
    QVERIFY(pollUntil([&] { return s.params.failed(); }, 5000));
    QVERIFY(acqRunning);
    QCOMPARE(s.params.errorText(), QStringLiteral("Disk write failed!"));
    QCOMPARE(s.end(), QStringLiteral("Disk write failed!"));
    QCOMPARE(bytesWritten.load(), uint64_t(0));
}

void TestEngineStream::emptyFileNameDisplaysOnly()
{
    Stream s;
    QVERIFY(s.start(QString(), contBinary, false));
    QVERIFY(!s.params.storing);
    std::vector<double> data(size_t(channelCount * scans));
    int lastShown = -1;
    for (int round = 0; round < 3; ++round) {
        QVERIFY(pollUntil([&] { return s.params.copyValid && displayedBlock > lastShown; }, 3000));
        // A callback may refresh the copy meanwhile: it is one of the blocks
        // numbered from before to after the take.
        const int before = displayedBlock;
        QVERIFY(contTakeDisplayCopy(s.params, data.data()));
        const int shown = displayedBlock;
        bool matched = false;
        for (int k = before; k <= shown && !matched; ++k) {
            const std::vector<double> expected = expectedVolts(channels[3], int64_t(k) * scans, scans);
            matched = std::equal(expected.begin(), expected.end(), data.begin() + 3 * scans);
        }
        QVERIFY(matched);
        lastShown = shown;
    }
    QCOMPARE(s.end(), QString());
    QVERIFY(blocksAcquired >= 3);
    QCOMPARE(bytesWritten.load(), uint64_t(0));
}

void TestEngineStream::singleShotSetsFirstBlockDone()
{
    const QString path = dir->filePath("single.bin6842");
    Stream s;
    QVERIFY(s.start(path, contBinary, false, 0, true));
    QVERIFY(pollUntil([] { return firstBlockDone.load(); }, 3000));
    QVERIFY(blocksAcquired >= 1);
    QCOMPARE(s.end(), QString());
    verifyBinary(path, blocksAcquired, false);
}

// A driver may call back before the block is complete; the callback then
// polls. 4096 scans at 1 kHz take four seconds, longer than a stop waits for
// callbacks: the stop must get the callback out before the ring is freed.
void TestEngineStream::callbackLeavesPollOnStop()
{
    resetCounters();
    ViSession vi = VI_NULL;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    QCOMPARE(nv6842_multConfig(vi, 0, 1000, 0, 0, 0xFFFE, 0xFFFE), VI_SUCCESS);
    // Left behind, not freed, should the callback never return.
    auto *params = new contParams_t;
    contStreamSettings settings;
    settings.chanMask = {0x0001};
    settings.freq = 1000;
    settings.scans = 4096;
    QVERIFY(params->prepare(settings) == contPrepareResult::Ok);
    contArmCallbacks();
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return acqPollStage(vi) == VI_SUCCESS && gl_state == nv6842_STAGE_READY; }, 2000));
    QCOMPARE(nv6842_generateITRI(vi, nv6842_PULSE), VI_SUCCESS);

    auto returned = std::make_shared<std::atomic<bool>>(false);
    std::thread driverThread([vi, params, returned] {
        dataCallback(vi, params);
        *returned = true;
    });
    QVERIFY(pollUntil([&] { return params->callbacksInProgress == 1; }, 2000));
    contLeaveCallbacks(*params);
    if (!pollUntil([&] { return returned->load(); }, 1000)) {
        driverThread.detach();
        nv6842_multClose(vi);
        QFAIL("the callback did not leave its poll");
    }
    driverThread.join();
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    QCOMPARE(params->finish(), QString());
    QVERIFY(callbackSawStop);
    QCOMPARE(blocksAcquired.load(), 0);
    delete params;
    nv6842_multClose(vi);
}

void TestEngineStream::firstErrorWins()
{
    contParams_t params;
    QVERIFY(!params.failed());
    const bool first = params.setError(QStringLiteral("Timeout"));
    const bool second = params.setError(QStringLiteral("Disk write failed!"));
    QCOMPARE(params.errorText(), QStringLiteral("Timeout"));
    QVERIFY(first && !second);
    QVERIFY(params.failed());

    // Two threads at once: exactly one of them is recorded.
    contParams_t raced;
    std::atomic<int> recorded{0};
    auto writer = [&](const QString &text) {
        for (int i = 0; i < 1000; ++i)
            recorded += raced.setError(text) ? 1 : 0;
    };
    std::thread a(writer, QStringLiteral("A")), b(writer, QStringLiteral("B"));
    a.join();
    b.join();
    QCOMPARE(recorded.load(), 1);
    QVERIFY(raced.errorText() == "A" || raced.errorText() == "B");
}

void TestEngineStream::unopenableFile()
{
    contParams_t params;
    contStreamSettings settings;
    settings.chanMask = {0x0001};
    settings.freq = rate;
    settings.scans = scans;
    settings.fileName = dir->filePath("no/such/dir/run.bin6842");
    QVERIFY(params.prepare(settings) == contPrepareResult::CannotOpen);
    QVERIFY(!params.storing);
    QVERIFY(params.displayCopy == nullptr && params.blockData[0] == nullptr);
    QCOMPARE(contOpenFailedText(settings.fileName, params.openError),
             "Cannot open file: \"" + settings.fileName + "\" for writing.\n" + std::strerror(ENOENT));
}

QTEST_GUILESS_MAIN(TestEngineStream)
#include "test_engine_stream.moc"
