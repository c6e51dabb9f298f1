// The sfprecord tool end to end on the simulated cards: its options and exit
// codes, recordings read back and checked against the simulator's formula,
// a duration held whole, and a Ctrl-C in the middle of a run, also of a file
// set with its trend log.
#include "test_engine_helpers.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

const QStringList twoCards = {"--cards", "VXI0::2::INSTR:1,VXI0::2::INSTR:2", "--channels", "1,3;0x8001",
                              "--rate", "10000", "--scans", "256"};

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run runRecorder(const QStringList &args, const QByteArray &simConfig = QByteArray())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TRELLIN_SIM", QString::fromLatin1(simConfig));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SFPRECORD_PATH), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

class TestEngineRecorder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void help();
    void usageErrors_data();
    void usageErrors();
    void cardErrors_data();
    void cardErrors();
    void recordsBlocks_data();
    void recordsBlocks();
    void durationHoldsEveryBlock();
    void csvInMillivolts();
    void cardCountUsesSearch();
    void fullDiskIsStreamingError();
    void interruptLeavesWholeBlocks_data();
    void interruptLeavesWholeBlocks();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestEngineRecorder::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestEngineRecorder::help()
{
    const Run r = runRecorder({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith("Usage: sfprecord"));
    QVERIFY(r.out.contains("--duration SECONDS"));
}

void TestEngineRecorder::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("said"); // part of the message, when it matters
    QTest::newRow("no output") << QStringList{"--blocks", "2"} << QByteArray();
    QTest::newRow("unknown option") << QStringList{"--output", "x.bin6842", "--speed", "3"} << QByteArray();
    QTest::newRow("format") << QStringList{"--output", "x", "--format", "xml"} << QByteArray();
    QTest::newRow("rate") << QStringList{"--output", "x", "--rate", "fast"} << QByteArray();
    QTest::newRow("zero rate") << QStringList{"--output", "x", "--rate", "0"} << QByteArray();
    QTest::newRow("scans") << QStringList{"--output", "x", "--scans", "-5"} << QByteArray();
    QTest::newRow("missing value") << QStringList{"--output", "x", "--blocks"} << QByteArray();
    QTest::newRow("cards") << QStringList{"--output", "x", "--cards", "VXI0::2::INSTR"} << QByteArray();
    QTest::newRow("channel 17") << QStringList{"--output", "x", "--channels", "1,17"} << QByteArray();
    QTest::newRow("first card empty") << QStringList{"--output", "x", "--channels", "0x0000"} << QByteArray();
    QTest::newRow("split size") << QStringList{"--output", "x", "--split-mb", "0"}
                                << QByteArray("bad value for --split-mb: '0'");
    QTest::newRow("split time") << QStringList{"--output", "x", "--split-seconds", "soon"}
                                << QByteArray("bad value for --split-seconds: 'soon'");
    // One block of 1024 scans is 8 kB, with its header 0.00801 MB.
    QTest::newRow("split below a block") << QStringList{"--output", "x", "--split-mb", "0.001"}
                                         << QByteArray("The split size must be at least 0.009 MB");
}

void TestEngineRecorder::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, said);
    for (QString &a : args)
        if (a == "x")
            a = dir->filePath("x.bin6842");
    const Run r = runRecorder(args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.startsWith("sfprecord: "));
    QVERIFY2(r.err.contains(said), r.err.constData());
}

void TestEngineRecorder::cardErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("more cards than found") << QStringList{"--cards", "4"} << QByteArray("the search found 3") << 2;
    QTest::newRow("absent") << QStringList{"--cards", "VXI0::9::INSTR:1"}
                            << QByteArray("The resource \"VXI0::9::INSTR\" is not present in the system.") << 2;
    // The file is the output: one that cannot be written is an output failure.
    QTest::newRow("directory") << QStringList{"--output", "/nonexistent/dir/x.bin6842"}
                               << (QByteArray("Cannot open file: \"/nonexistent/dir/x.bin6842\" for writing.\n")
                                   + QByteArray(std::strerror(ENOENT))) << 3;
}

void TestEngineRecorder::cardErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, message);
    QFETCH(int, exitCode);
    if (!args.contains("--output"))
        args << "--output" << dir->filePath("x.bin6842");
    const Run r = runRecorder(args + QStringList{"--blocks", "1"});
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), r.err.constData());
}

void TestEngineRecorder::recordsBlocks_data()
{
    QTest::addColumn<bool>("stamps");
    QTest::newRow("time stamps") << true;
    QTest::newRow("samples only") << false;
}

void TestEngineRecorder::recordsBlocks()
{
    QFETCH(bool, stamps);
    const QString path = dir->filePath("rec.bin6842");
    QStringList args = twoCards + QStringList{"--blocks", "9", "--output", path};
    if (stamps)
        args << "--timestamps";
    const Run r = runRecorder(args);
    QCOMPARE(r.exitCode, 0);
    verifyBinary(path, 9, stamps);
}

void TestEngineRecorder::durationHoldsEveryBlock()
{
    // One second at 10 kHz: 39.06 blocks of 256 scans, rounded up to 40.
    const QString path = dir->filePath("second.bin6842");
    const Run r = runRecorder(twoCards + QStringList{"--duration", "1", "--output", path});
    QCOMPARE(r.exitCode, 0);
    verifyBinary(path, 40, false);
}

void TestEngineRecorder::csvInMillivolts()
{
    const QString path = dir->filePath("rec.csv");
    const Run r = runRecorder(twoCards + QStringList{"--blocks", "2", "--format", "csvmv", "--output", path});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(readAll(path), expectedCsv(2, true));
}

void TestEngineRecorder::cardCountUsesSearch()
{
    // A system with one card: --cards 1 finds it by searching.
    const QString path = dir->filePath("one.bin6842");
    const Run r = runRecorder({"--cards", "1", "--channels", "all", "--scans", "128", "--blocks", "2", "--output", path},
                              "carrier vxi slot=7; fc 3");
    QCOMPARE(r.exitCode, 0);
    StoredFileInfo_t info;
    QCOMPARE(readStoredFileHeader(path.toLocal8Bit().constData(), &info), 0);
    QCOMPARE(int(info.fcCount), 1);
    QCOMPARE(info.channelMask[0], uint16_t(0xFFFF));
    QCOMPARE(info.blockCount, uint64_t(2));
    std::vector<double> samples(16 * 128), expected(128);
    QCOMPARE(readStoredBlock(info, samples.data(), 1), 1);
    QVERIFY(trellinSimExpectedVolts("carrier vxi slot=7; fc 3", "VXI0::7::INSTR", 3, 16, 1, 1, 0, 10000, 128, 128,
                                    expected.data()) >= 0);
    QVERIFY(std::equal(expected.begin(), expected.end(), samples.begin() + 15 * 128));
}

void TestEngineRecorder::fullDiskIsStreamingError()
{
    const Run r = runRecorder(twoCards + QStringList{"--blocks", "5", "--output", "/dev/full"});
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains("Disk write failed!"), r.err.constData());
}

void TestEngineRecorder::interruptLeavesWholeBlocks_data()
{
    QTest::addColumn<bool>("setAndTrend"); // files of three blocks and a trend log
    QTest::newRow("one file") << false;
    QTest::newRow("file set and trend log") << true;
}

void TestEngineRecorder::interruptLeavesWholeBlocks()
{
    QFETCH(bool, setAndTrend);
    const QString path = dir->filePath("cut.bin6842");
    QStringList args = twoCards + QStringList{"--duration", "60", "--timestamps", "--output", path};
    if (setAndTrend)
        args << "--split-seconds" << "0.0768" << "--trend";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TRELLIN_SIM", QString());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SFPRECORD_PATH), args);
    QVERIFY(p.waitForStarted());
    // Past the header and a few blocks (in the second file of a set), then Ctrl-C.
    const qint64 blockBytes = 256 * (4 * 8 + 8);
    const QString watched = setAndTrend ? dir->filePath("cut_0002.bin6842") : path;
    QVERIFY(pollUntil([&] { return QFileInfo(watched).size() > 300 + (setAndTrend ? 1 : 4) * blockBytes; }, 20000));
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    if (!setAndTrend) {
        verifyBinary(path, -1, true);
        return;
    }
    // Every file complete on its own, continuing the one before.
    int blocks = 0;
    int64_t runStart = -1;
    for (int n = 1;; ++n) {
        const QString member = dir->filePath(QString::asprintf("cut_%04d.bin6842", n));
        StoredFileInfo_t info;
        if (readStoredFileHeader(member.toLocal8Bit().constData(), &info) != 0)
            break;
        QVERIFY(info.blockCount == 3 || (info.blockCount > 0 && !QFile::exists(dir->filePath(QString::asprintf("cut_%04d.bin6842", n + 1)))));
        verifyBinary(member, int(info.blockCount), true, blocks, &runStart);
        blocks += int(info.blockCount);
    }
    QVERIFY(blocks >= 4);
    verifyTrendCoverage(dir->filePath("cut.trend.csv"), blocks);
}

QTEST_GUILESS_MAIN(TestEngineRecorder)
#include "test_engine_recorder.moc"
