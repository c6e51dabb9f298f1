// Gap-free streaming to file with real threads: the simulated driver's
// callback thread, the storage task on the pool and this thread as the GUI.
// Files are read back with the stored-file reader (binary) or compared with
// texts printed here with printf (CSV); every sample is checked against the
// simulator's signal formula and every time stamp against its scan times.
#include "acqBlock.h"
#include "acqSetup.h"
#include "acqState.h"
#include "acqTexts.h"
#include "contParams.h"
#include "datafile_writer.h"
#include "fileset.h"
#include "test_engine_helpers.h"

#include <sys/resource.h>

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
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
    contSplitRule split; // a file set
    bool trend = false;  // and a trend log

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
        settings.split = split;
        settings.trendLog = trend;
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

// What the test layout's files look like: header bytes and bytes per block.
uint64_t headerBytes(bool stamps)
{
    return binaryHeaderText({rate, scans, int(masks.size()), masks.data(), stamps}).size();
}
uint64_t blockBytes(bool stamps)
{
    return uint64_t(scans) * (8 * channelCount + (stamps ? 8 : 0));
}

// The time, one block's worth of the run's blocks, in seconds.
const double blockTime = double(scans) / rate;

// Limits the size of the files this process writes while it lives.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited{bytes, saved.rlim_max};
        active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
    rlimit saved{};
    bool active = false;
};

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
    void diskGuardEndsStoringCleanly_data();
    void diskGuardEndsStoringCleanly();
    void writeFailingMidBlockIsCutBack();
    void fileSetEqualsOneRecording_data();
    void fileSetEqualsOneRecording();
    void splitSmallerThanOneBlockIsRefused_data();
    void splitSmallerThanOneBlockIsRefused();
    void trendRowsFollowTheClosedForm();
    void trendSkipsWhileTheAnalysisStalls();
    void trendOnAFullDiskStopsAlone();

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
    QCOMPARE(params.openPath, settings.fileName);

    // A set names its first file; a trend log that cannot be opened refuses the start too.
    settings.split.maxSeconds = 1;
    QVERIFY(params.prepare(settings) == contPrepareResult::CannotOpen);
    QCOMPARE(params.openPath, dir->filePath("no/such/dir/run_0001.bin6842"));
    settings.split = contSplitRule();
    settings.fileName = dir->filePath("run.bin6842");
    settings.trendLog = true;
    QVERIFY(QDir(dir->path()).mkdir("run.trend.csv"));
    QVERIFY(params.prepare(settings) == contPrepareResult::CannotOpen);
    QCOMPARE(params.openPath, dir->filePath("run.trend.csv"));
    QCOMPARE(params.openError, EISDIR);
    QVERIFY(!params.storing && !params.writer.isOpen());
}

void TestEngineStream::diskGuardEndsStoringCleanly_data()
{
    QTest::addColumn<bool>("stamps");
    QTest::addColumn<QString>("said");
    // The disk holds the header and 37.5 blocks: before block 6 fewer than
    // two ring lengths (32 blocks) are left, so storing ends after 6 blocks.
    QTest::newRow("samples") << false << "The disk is almost full: storing stopped after 6 blocks (48.0 kB).";
    QTest::newRow("time stamps") << true << "The disk is almost full: storing stopped after 6 blocks (60.0 kB).";
}

void TestEngineStream::diskGuardEndsStoringCleanly()
{
    QFETCH(bool, stamps);
    QFETCH(QString, said);
    const QString path = dir->filePath("filling.bin6842");
    const std::string file = path.toStdString();
    const int64_t capacity = int64_t(headerBytes(stamps) + 37 * blockBytes(stamps) + blockBytes(stamps) / 2);
    Stream s;
    s.params.freeSpace = [file, capacity](const std::string &) {
        std::error_code error;
        const auto used = std::filesystem::file_size(file, error);
        return error ? capacity : capacity - int64_t(used);
    };
    QVERIFY(s.start(path, contBinary, stamps));
    QVERIFY(pollUntil([&] { return s.params.failed(); }, 10000));
    QCOMPARE(s.params.errorText(), said);
    QCOMPARE(said, acqDiskAlmostFullText(6, 6 * blockBytes(stamps)));
    QVERIFY(s.params.diskAlmostFull);
    // The acquisition and its display go on.
    const int before = blocksAcquired;
    QVERIFY(waitForBlocks(before + 2));
    std::vector<double> data(size_t(channelCount * scans));
    QVERIFY(contTakeDisplayCopy(s.params, data.data()));
    QCOMPARE(s.end(), said);
    QCOMPARE(s.params.blocksStored.load(), int64_t(6));
    verifyBinary(path, 6, stamps);
}

void TestEngineStream::writeFailingMidBlockIsCutBack()
{
    const QString path = dir->filePath("torn.bin6842");
    const uint64_t whole = headerBytes(false) + 3 * blockBytes(false);
    Stream s;
    {
        // Another program fills the disk: the write of block 4 gets half through.
        FileSizeLimit limit(whole + blockBytes(false) / 2);
        QVERIFY(limit.active);
        QVERIFY(s.start(path, contBinary, false));
        QVERIFY(pollUntil([&] { return s.params.failed(); }, 10000));
    }
    QCOMPARE(s.end(), QStringLiteral("Disk write failed!"));
    QCOMPARE(uint64_t(QFileInfo(path).size()), whole);
    verifyBinary(path, 3, false);
}

void TestEngineStream::fileSetEqualsOneRecording_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("stamps");
    QTest::addColumn<bool>("bySize");      // else by time
    QTest::addColumn<QList<int>>("files"); // blocks in each file of the set
    QTest::newRow("size, binary") << int(contBinary) << false << true << QList<int>{3, 3, 3, 1};
    QTest::newRow("size, time stamps") << int(contBinary) << true << true << QList<int>{3, 3, 3, 1};
    QTest::newRow("time, time stamps") << int(contBinary) << true << false << QList<int>{4, 4, 2};
    QTest::newRow("time, CSV") << int(contCsvMillivolts) << false << false << QList<int>{4, 4, 2};
}

void TestEngineStream::fileSetEqualsOneRecording()
{
    QFETCH(int, format);
    QFETCH(bool, stamps);
    QFETCH(bool, bySize);
    QFETCH(QList<int>, files);
    const bool csv = format != contBinary;
    const QString path = dir->filePath(csv ? "set.csv" : "set.bin6842");
    // A member of an earlier, longer set of that name goes.
    const QString stale = QString::fromStdString(fileSetMemberPath(path.toStdString(), 9));
    QVERIFY(QFile(stale).open(QIODevice::WriteOnly));
    Stream s;
    if (bySize)
        s.split.maxBytes = headerBytes(stamps) + 3 * blockBytes(stamps) + blockBytes(stamps) / 2;
    else
        s.split.maxSeconds = 4 * blockTime;
    QVERIFY(s.start(path, format, stamps, 10));
    QVERIFY(waitForBlocks(10));
    QCOMPARE(s.end(), QString());
    QCOMPARE(s.params.blocksStored.load(), int64_t(10));
    QVERIFY(!QFile::exists(path) && !QFile::exists(stale));
    QVERIFY(!QFile::exists(QString::fromStdString(fileSetMemberPath(path.toStdString(), files.size() + 1))));
    int first = 0;
    int64_t runStart = -1;
    for (int n = 1; n <= files.size(); ++n) {
        const QString member = QString::fromStdString(fileSetMemberPath(path.toStdString(), n));
        if (csv)
            QCOMPARE(readAll(member), expectedCsv(files[n - 1], true, first));
        else
            verifyBinary(member, files[n - 1], stamps, first, &runStart);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(member));
        first += files[n - 1];
    }
}

void TestEngineStream::splitSmallerThanOneBlockIsRefused_data()
{
    QTest::addColumn<double>("megabytes");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("said");
    // One block of 8192 bytes and a header of 228: 0.00803 MB.
    QTest::newRow("size") << 8419.0 / 1048576 << 0.0
                          << "The split size must be at least 0.009 MB (one block and the file header).";
    QTest::newRow("time") << 0.0 << 0.0255 << "The split time must be at least 0.026 s (one block).";
}

void TestEngineStream::splitSmallerThanOneBlockIsRefused()
{
    QFETCH(double, megabytes);
    QFETCH(double, seconds);
    QFETCH(QString, said);
    contParams_t params;
    contStreamSettings settings;
    settings.chanMask = masks;
    settings.freq = rate;
    settings.scans = scans;
    settings.fileName = dir->filePath("small.bin6842");
    settings.split.maxBytes = uint64_t(megabytes * 1048576);
    settings.split.maxSeconds = seconds;
    QVERIFY(params.prepare(settings) == contPrepareResult::BadSplit);
    QCOMPARE(params.errorText(), said);
    QVERIFY(!params.storing && QDir(dir->path()).isEmpty());
    // One block more is enough.
    settings.split.maxBytes = megabytes > 0 ? settings.split.maxBytes + 1 : 0;
    settings.split.maxSeconds = seconds > 0 ? blockTime : 0;
    QVERIFY(params.prepare(settings) == contPrepareResult::Ok);
    QCOMPARE(params.finish(), QString());
}

void TestEngineStream::trendRowsFollowTheClosedForm()
{
    // Noiseless sines of whole cycles per block on card 1 (with a third
    // harmonic), one clipped at the full scale on card 2.
    SimConfig config("carrier vxi slot=2; fc 1; signal freq=390.625 amp=2 offset=0.25 h3=0.02 noise=0; "
                     "fc 2; signal ch=1 freq=781.25 amp=12 offset=0 noise=0");
    const QString path = dir->filePath("trend.bin6842");
    Stream s;
    s.trend = true;
    QVERIFY(s.start(path, contBinary, true, 12));
    QVERIFY(waitForBlocks(12));
    QCOMPARE(s.end(), QString());
    std::vector<TrendRow> rows;
    verifyTrendCoverage(dir->filePath("trend.trend.csv"), 12, &rows);
    QVERIFY(!rows.empty());
    StoredFileInfo_t info;
    QCOMPARE(readStoredFileHeader(path.toLocal8Bit().constData(), &info), 0);
    std::vector<double> samples(size_t(channelCount * scans));
    std::vector<int32_t> sec(size_t(scans), 0), ns(size_t(scans), 0);
    for (const TrendRow &row : rows) {
        QCOMPARE(row.timeSeconds, double(row.block) * blockTime);
        // The block's first time stamp, as the data file holds it.
        QCOMPARE(readStoredBlockStamps(info, samples.data(), sec.data(), ns.data(), row.block), 1);
        QVERIFY(row.hasTimestamp && row.stampSeconds == sec[0] && row.stampNanos == ns[0]);
        const double *f = row.figures;
        if (row.card == 1) {
            QVERIFY(!row.overRange);
            QVERIFY(std::abs(f[0] - 0.25) < 1e-9);
            QVERIFY(std::abs(f[1] - std::sqrt(0.25 * 0.25 + (2.0 * 2.0 + 0.02 * 0.02) / 2)) < 1e-9);
            QVERIFY(std::abs(f[4] - 390.625) < 1e-9);
            QVERIFY(std::abs(f[5] - 2.0) < 1e-6);
            QVERIFY2(std::abs(f[6] - 20 * std::log10(0.02 / 2)) < 0.1, qPrintable(QString::number(f[6])));
        } else if (row.channel == 1) {
            QVERIFY(row.overRange && f[2] == -10 && f[3] == 10);
        } else {
            QVERIFY(!row.overRange);
        }
    }
}

void TestEngineStream::trendSkipsWhileTheAnalysisStalls()
{
    const QString path = dir->filePath("stalled.bin6842");
    Stream s;
    s.trend = true;
    s.params.trend.analysisStalled = true;
    QVERIFY(s.start(path, contBinary, false));
    QVERIFY(pollUntil([&] { return s.params.blocksStored >= 6; }, 10000));
    s.params.trend.analysisStalled = false;
    // Rows again once the analysis has caught up.
    QVERIFY(pollUntil([&] { return s.params.trend.blocksAnalysed >= 3; }, 10000));
    QCOMPARE(s.end(), QString());
    std::vector<TrendRow> rows;
    std::vector<TrendEntry> skips;
    verifyTrendCoverage(dir->filePath("stalled.trend.csv"), int(s.params.blocksStored), &rows, &skips);
    // Block 0 was taken and stalled; what came meanwhile was skipped.
    QVERIFY(!rows.empty() && rows.front().block == 0);
    QVERIFY(!skips.empty() && skips.front().firstSkipped == 1 && skips.front().lastSkipped >= 5);
    QVERIFY(!s.params.failed() && !s.params.trend.failed());
    verifyBinary(path, int(s.params.blocksStored), false);
}

void TestEngineStream::trendOnAFullDiskStopsAlone()
{
    if (!QFile::exists("/dev/full"))
        QSKIP("no /dev/full here");
    const QString path = dir->filePath("kept.bin6842");
    const QString trendPath = dir->filePath("kept.trend.csv");
    QVERIFY(QFile::link("/dev/full", trendPath));
    Stream s;
    s.trend = true;
    QVERIFY(s.start(path, contBinary, false, 8));
    QVERIFY(pollUntil([&] { return s.params.trend.failed(); }, 5000));
    QCOMPARE(QString::fromStdString(s.params.trend.errorText()),
             "The trend log \"" + trendPath + "\" stopped: No space left on device. The recording goes on.");
    QCOMPARE(s.params.trend.errorText(), contTrendStoppedText(trendPath.toStdString(), ENOSPC));
    QVERIFY(waitForBlocks(8));
    QCOMPARE(s.end(), QString());
    verifyBinary(path, 8, false);
}

QTEST_GUILESS_MAIN(TestEngineStream)
#include "test_engine_stream.moc"
