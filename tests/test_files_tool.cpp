// The sfpfile tool end to end: the built program run on files made by the
// writers, its CSV compared with the writers' own CSV.
#include "datafile_writer.h"

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>

#include <cmath>
#include <string>
#include <vector>

namespace {

const size_t scans = 6;
const std::vector<uint16_t> threeCards = {0x0005, 0x0000, 0x8001};
const int blockCount = 4;

struct Block
{
    std::vector<double> samples;
    std::vector<int32_t> seconds, nanos;
};

Block makeBlock(int k, size_t channels)
{
    Block b;
    for (size_t i = 0; i < channels * scans; ++i)
        b.samples.push_back(std::cos(0.3 * double(i) + k) * 10.24);
    for (size_t s = 0; s < scans; ++s) {
        b.seconds.push_back(1000 + k);
        b.nanos.push_back(int32_t(s * 125000000));
    }
    return b;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestFilesTool : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString stampedFile;

    struct Run
    {
        int exitCode = -1;
        QByteArray out, err;
    };

    Run run(const QStringList &arguments, const QString &stdoutFile = QString(), int milliseconds = 60000)
    {
        QProcess process;
        if (!stdoutFile.isEmpty())
            process.setStandardOutputFile(stdoutFile);
        process.start(QStringLiteral(SFPFILE_PATH), arguments);
        Run result;
        if (!process.waitForFinished(milliseconds) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // The binary file the streaming engine would have written.
    QString writeBinary(const QString &name, bool stamps, const std::vector<uint16_t> &masks = threeCards)
    {
        const QString path = dir.filePath(name);
        FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
        const StoredLayout layout{2000.0, int32_t(scans), int(masks.size()), masks.data(), stamps};
        bool ok = file && writeBinaryHeader(file, layout);
        const size_t channels = size_t(enabledChannelCount(layout));
        for (int k = 0; k < blockCount && ok; ++k) {
            const Block b = makeBlock(k, channels);
            ok = writeBinaryBlock(file, b.samples.data(), channels, scans, stamps ? b.seconds.data() : nullptr,
                                  stamps ? b.nanos.data() : nullptr);
        }
        if (!file || std::fclose(file) != 0 || !ok)
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // The CSV the streaming engine would have written for blocks first ... last (1-based).
    QByteArray expectedCsv(CsvUnits units, bool stamps, int first, int last,
                           const std::vector<uint16_t> &masks = threeCards)
    {
        char *buffer = nullptr;
        size_t size = 0;
        FILE *memory = open_memstream(&buffer, &size);
        const StoredLayout layout{2000.0, int32_t(scans), int(masks.size()), masks.data(), stamps};
        writeCsvHeader(memory, units, layout);
        const size_t channels = size_t(enabledChannelCount(layout));
        for (int k = first - 1; k < last; ++k) {
            const Block b = makeBlock(k, channels);
            writeCsvBlock(memory, units, b.samples.data(), channels, scans, stamps ? b.seconds.data() : nullptr,
                          stamps ? b.nanos.data() : nullptr);
        }
        std::fclose(memory);
        const QByteArray text(buffer, int(size));
        std::free(buffer);
        return text;
    }

    // Some 1.5 MB with stamps: several write calls in an export.
    QString bigFile()
    {
        const QString big = dir.filePath("exportbig.bin6842");
        if (QFile::exists(big))
            return big;
        const uint16_t all[] = {0xFFFF};
        const StoredLayout layout{1000.0, 4096, 1, all, true};
        std::vector<double> samples(16 * 4096);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = std::sin(0.001 * double(i));
        std::vector<int32_t> seconds(4096, 7), nanos(4096, 0);
        FILE *file = std::fopen(QFile::encodeName(big).constData(), "wb");
        bool ok = file && writeBinaryHeader(file, layout);
        for (int k = 0; k < 3 && ok; ++k)
            ok = writeBinaryBlock(file, samples.data(), 16, 4096, seconds.data(), nanos.data());
        if (!file || std::fclose(file) != 0 || !ok)
            qFatal("cannot write %s", qPrintable(big));
        return big;
    }

    // A full device to write to. A device node of our own where one can be
    // made (root): were the tool to replace the device by a file, it must
    // not be the system's. Else the system's, which only root could replace.
    QString fullDevice()
    {
        const QString own = dir.filePath("full.device");
        if (QFileInfo::exists(own) || mknod(QFile::encodeName(own).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0)
            return own;
        return geteuid() != 0 ? QStringLiteral("/dev/full") : QString();
    }

    QStringList entries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QFile::exists(QStringLiteral(SFPFILE_PATH)));
        stampedFile = writeBinary("stamped.bin6842", true);
    }

    void helpAndUsage()
    {
        Run r = run({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("Usage: sfpfile info FILE"));
        QVERIFY(r.out.contains("--blocks FIRST:LAST"));
        QCOMPARE(run({}).exitCode, 1);
        QCOMPARE(run({"convert", stampedFile}).exitCode, 1);
        QCOMPARE(run({"csv", stampedFile}).exitCode, 1);
        QCOMPARE(run({"csv", stampedFile, dir.filePath("x.csv"), "--blocks", "0:2"}).exitCode, 1);
        QCOMPARE(run({"csv", stampedFile, dir.filePath("x.csv"), "--volume"}).exitCode, 1);
        const QByteArray original = fileBytes(stampedFile);
        QCOMPARE(run({"csv", stampedFile, dir.path() + "/./stamped.bin6842"}).exitCode, 1);
        QCOMPARE(fileBytes(stampedFile), original);
        QVERIFY(!QFile::exists(dir.filePath("x.csv")));
    }

    void infoShowsTheHeader()
    {
        Run r = run({"info", stampedFile});
        QCOMPARE(r.exitCode, 0);
        const QString text = QString::fromLatin1(r.out);
        QVERIFY2(text.contains("Sampling rate:    2000.000000 Hz\n"), qPrintable(text));
        QVERIFY(text.contains("Channels:         4\n"));
        QVERIFY(text.contains("Scans per block:  6\n"));
        QVERIFY(text.contains("Function cards:   3\n"));
        QVERIFY(text.contains("FC1  mask:      0x0005  (CH1, CH3)\n"));
        QVERIFY(text.contains("FC2  mask:      0x0000  (none)\n"));
        QVERIFY(text.contains("FC3  mask:      0x8001  (CH1, CH16)\n"));
        QVERIFY(text.contains("Time stamps:      yes\n"));
        QVERIFY(text.contains("Block size:       240 bytes (samples 192, time stamps 48)\n"));
        QVERIFY(text.contains("Blocks:           4\n"));
        QVERIFY(!text.contains("Warning"));

        // A trailing partial block is reported.
        const QString partial = dir.filePath("partial.bin6842");
        QVERIFY(QFile::copy(stampedFile, partial));
        QFile file(partial);
        QVERIFY(file.open(QIODevice::Append));
        file.write("abc");
        file.close();
        r = run({"info", partial});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("Blocks:           4\n"));
        QVERIFY(r.out.contains("Warning:          3 bytes behind the last whole block"));
    }

    void csvEqualsTheWritersCsv_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("fileStamps");
        QTest::addColumn<bool>("millivolts");
        QTest::addColumn<bool>("csvStamps");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("volts, stamps by default") << QStringList() << true << false << true << 1 << blockCount;
        QTest::newRow("millivolts") << QStringList{"--mv"} << true << true << true << 1 << blockCount;
        QTest::newRow("stamps left out") << QStringList{"--no-timestamps"} << true << false << false << 1 << blockCount;
        QTest::newRow("file without stamps") << QStringList{"--mv"} << false << true << false << 1 << blockCount;
        QTest::newRow("blocks 2:3") << QStringList{"--blocks", "2:3"} << true << false << true << 2 << 3;
        QTest::newRow("block 4") << QStringList{"--blocks=4", "--timestamps"} << true << false << true << 4 << 4;
        QTest::newRow("blocks :1") << QStringList{"--blocks", ":1"} << false << false << false << 1 << 1;
        QTest::newRow("blocks 3:") << QStringList{"--mv", "--blocks", "3:"} << true << true << true << 3 << blockCount;
    }

    void csvEqualsTheWritersCsv()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, fileStamps);
        QFETCH(bool, millivolts);
        QFETCH(bool, csvStamps);
        QFETCH(int, first);
        QFETCH(int, last);
        const QString input = fileStamps ? stampedFile : writeBinary("plain.bin6842", false);
        const QString output = dir.filePath("out.csv");
        QFile::remove(output);
        const Run r = run(QStringList{"csv", input, output} + options);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QByteArray expected = expectedCsv(millivolts ? CsvUnits::Millivolts : CsvUnits::Volts, csvStamps, first, last);
        QCOMPARE(fileBytes(output), expected);
        // The same through standard output.
        const Run piped = run(QStringList{"csv", input, "-"} + options);
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.out, expected);
        QVERIFY(!entries().join(' ').contains(".part"));
    }

    // Sessions of more than 64 cards: the last card's mask and channels come through.
    void recordingsOfManyCards_data()
    {
        QTest::addColumn<int>("cards");
        QTest::newRow("65 cards") << 65;
        QTest::newRow("256 cards") << 256;
    }
    void recordingsOfManyCards()
    {
        QFETCH(int, cards);
        std::vector<uint16_t> masks(size_t(cards), 0x0001);
        masks.back() = 0x8001;
        const QString input = writeBinary(QStringLiteral("cards%1.bin6842").arg(cards), true, masks);
        const QByteArray last = QByteArray::number(cards);
        QVERIFY(run({"info", input}).out.contains("FC" + last + " mask:      0x8001  (CH1, CH16)\n"));
        const Run r = run({"csv", input, "-"});
        QVERIFY(r.out.contains("FC" + last + "_CH1, FC" + last + "_CH16, \n"));
        QCOMPARE(r.out, expectedCsv(CsvUnits::Volts, true, 1, blockCount, masks));
    }

    void failuresLeaveNoOutput()
    {
        const QString plain = writeBinary("plain.bin6842", false);
        const QString text = dir.filePath("notes.txt");
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("just some notes\n");
        notes.close();
        const QStringList before = entries();
        const QString output = dir.filePath("never.csv");

        // Not a stored file; a missing file; a directory.
        Run r = run({"csv", text, output});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("cannot read"));
        r = run({"csv", dir.filePath("missing.bin6842"), output});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("No such file"));
        r = run({"info", dir.path()});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("is a directory"));

        // Time stamps asked of a file without them; blocks beyond the file.
        QCOMPARE(run({"csv", plain, output, "--timestamps"}).exitCode, 1);
        QCOMPARE(run({"csv", plain, output, "--blocks", "3:5"}).exitCode, 1);
        QCOMPARE(run({"csv", plain, output, "--blocks", "3:2"}).exitCode, 1);

        // Output that cannot be written: to a full device, into a missing directory.
        r = run({"csv", stampedFile, "-"}, "/dev/full");
        QCOMPARE(r.exitCode, 3);
        QVERIFY(r.err.contains("cannot write"));
        QCOMPARE(run({"csv", stampedFile, dir.filePath("no-such-dir/out.csv")}).exitCode, 3);
        QCOMPARE(entries(), before);
    }

    // Outputs that cannot be written, and inputs that cannot be read: one
    // message, the convention's exit code, and nothing left in the directory.
    void exportFailuresLeaveNoOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("fileLimit"); // 512-byte blocks of `ulimit -f`, 0: none
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("npy of a text file") << QStringList{"npy", "TEXT", "DIR/x.npy"} << 0 << 2 << QByteArray("cannot read");
        QTest::newRow("hdf5 of a missing file")
            << QStringList{"hdf5", "DIR/missing.bin6842", "DIR/x.h5"} << 0 << 2 << QByteArray("No such file");
        QTest::newRow("npy into a missing directory")
            << QStringList{"npy", "IN", "DIR/none/x.npy"} << 0 << 3 << QByteArray("cannot create a file beside");
        QTest::newRow("hdf5 into a missing directory")
            << QStringList{"hdf5", "IN", "DIR/none/x.h5"} << 0 << 3 << QByteArray("cannot create a file beside");
        QTest::newRow("hdf5 onto a device") << QStringList{"hdf5", "IN", "FULL"} << 0 << 3
                                            << QByteArray("': not a regular file");
        QTest::newRow("npy onto a full device") << QStringList{"npy", "PLAIN", "FULL"} << 0 << 3
                                                << QByteArray("': No space left on device");
        QTest::newRow("npy past the file size limit") << QStringList{"npy", "BIG", "DIR/x.npy"} << 64 << 3
                                                      << QByteArray("File too large");
        QTest::newRow("hdf5 past the file size limit") << QStringList{"hdf5", "BIG", "DIR/x.h5"} << 64 << 3
                                                       << QByteArray("File too large");
        QTest::newRow("compressed hdf5 past the file size limit")
            << QStringList{"hdf5", "BIG", "DIR/x.h5", "--compress"} << 16 << 3 << QByteArray("cannot write");
        QTest::newRow("blocks beyond the file") << QStringList{"hdf5", "IN", "DIR/x.h5", "--blocks", "3:9"} << 0 << 1
                                                << QByteArray("has blocks 1 to 4");
        QTest::newRow("npy to standard output") << QStringList{"npy", "IN", "-"} << 0 << 1 << QByteArray("not to standard output");
        QTest::newRow("npy compressed") << QStringList{"npy", "IN", "DIR/x.npy", "--compress"} << 0 << 1
                                        << QByteArray("unknown option '--compress'");
    }

    void exportFailuresLeaveNoOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, fileLimit);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        QFile notes(dir.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("just some notes\n") > 0);
        notes.close();
        const QString plain = writeBinary("plain.bin6842", false);
        const QString big = bigFile();
        arguments.replaceInStrings(QRegularExpression("^IN$"), stampedFile);
        arguments.replaceInStrings(QRegularExpression("^PLAIN$"), plain);
        arguments.replaceInStrings(QRegularExpression("^BIG$"), big);
        arguments.replaceInStrings(QRegularExpression("^TEXT$"), notes.fileName());
        arguments.replaceInStrings(QRegularExpression("^DIR/"), dir.path() + "/");
        if (arguments.contains("FULL")) {
            const QString full = fullDevice();
            if (full.isEmpty())
                QSKIP("root without mknod: the system's /dev/full is not put at risk");
            arguments.replaceInStrings(QRegularExpression("^FULL$"), full);
        }
        const QStringList before = entries();

        QProcess process;
        if (fileLimit)
            process.start("/bin/sh", QStringList{"-c", QStringLiteral("ulimit -f %1 && exec \"$0\" \"$@\"").arg(fileLimit),
                                                 SFPFILE_PATH} + arguments);
        else
            process.start(QStringLiteral(SFPFILE_PATH), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(err.contains(message), err.constData());
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(entries(), before);
    }

    void interruptedExportLeavesNothing()
    {
        // Into a pipe nobody reads: the export waits in a write until Ctrl-C.
        const QString big = bigFile();
        const QString pipe = dir.filePath("stalled.fifo");
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        const QStringList before = entries();
        QProcess process;
        process.start(QStringLiteral(SFPFILE_PATH), {"npy", big, pipe});
        // Data in the pipe: the export has begun, its signal handlers set.
        QVERIFY(QTest::qWaitFor([&] {
            pollfd ready{reader, POLLIN, 0};
            return ::poll(&ready, 1, 0) == 1;
        }, 10000));
        ::kill(pid_t(process.processId()), SIGINT);
        const bool finished = process.waitForFinished(10000);
        if (!finished)
            process.kill();
        ::close(reader);
        QVERIFY(finished);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 3);
        QVERIFY(process.readAllStandardError().contains("interrupted"));
        QCOMPARE(entries(), before);
        QVERIFY(QFile::remove(pipe));
    }

    void csvIntoANamedPipeWritesThrough()
    {
        // The reader gets the CSV, and the pipe stays a pipe: a finished
        // temporary file must not be renamed over it.
        const QString pipe = dir.filePath("out.fifo");
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QProcess reader;
        reader.start("cat", {pipe});
        QVERIFY(reader.waitForStarted());
        const Run r = run({"csv", stampedFile, pipe});
        QCOMPARE(r.exitCode, 0);
        const bool finished = reader.waitForFinished(10000);
        if (!finished)
            reader.kill();
        QVERIFY(finished);
        QCOMPARE(reader.readAllStandardOutput(), expectedCsv(CsvUnits::Volts, true, 1, blockCount));
        struct stat status;
        QVERIFY(stat(QFile::encodeName(pipe).constData(), &status) == 0 && S_ISFIFO(status.st_mode));
        QVERIFY(QFile::remove(pipe));
    }

    void namedPipeIsRefusedAtOnce()
    {
        // Nobody writes to the pipe: opening it for reading would wait for ever.
        const QString pipe = dir.filePath("pipe.bin6842");
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QStringList before = entries();
        for (const QStringList &arguments : {QStringList{"info", pipe}, QStringList{"csv", pipe, dir.filePath("pipe.csv")}}) {
            const Run r = run(arguments, QString(), 10000);
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.contains("cannot read '" + QFile::encodeName(pipe) + "': not a regular file"), r.err.constData());
        }
        QCOMPARE(entries(), before);
        QVERIFY(QFile::remove(pipe));
    }

    void blocksBeyondThePanelsBuffersStillConvert()
    {
        // 2 x 5,120,001 values per block: more than the panel shows, nothing
        // the tool cares about. A sparse file of one block reads as zeros.
        const QString big = dir.filePath("wide.bin6842");
        const uint16_t twoChannels[] = {0x0003};
        const size_t wideScans = 5120001;
        const StoredLayout layout{1000.0, int32_t(wideScans), 1, twoChannels, false};
        FILE *file = std::fopen(QFile::encodeName(big).constData(), "wb");
        QVERIFY(file);
        QVERIFY(writeBinaryHeader(file, layout));
        QCOMPARE(std::fclose(file), 0);
        QFile grown(big);
        QVERIFY(grown.resize(grown.size() + qint64(2 * 8 * wideScans)));

        const Run info = run({"info", big});
        QCOMPARE(info.exitCode, 0);
        QVERIFY2(info.out.contains("Blocks:           1\n"), info.out.constData());

        // Counted, not kept: the CSV is some 100 MB.
        QProcess process;
        process.start("/bin/sh", {"-c", "{ \"$0\" csv \"$1\" -; echo \"exit $?\" >&2; } | wc -c", SFPFILE_PATH, big});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.readAllStandardError(), QByteArray("exit 0\n"));
        char *header = nullptr;
        size_t headerSize = 0;
        FILE *memory = open_memstream(&header, &headerSize);
        QVERIFY(writeCsvHeader(memory, CsvUnits::Volts, layout));
        std::fclose(memory);
        std::free(header);
        // Every row: "0.000000, 0.000000, " and the line end.
        QCOMPARE(process.readAllStandardOutput().trimmed().toLongLong(), qint64(headerSize + wideScans * 21));
        QVERIFY(QFile::remove(big));
    }

    void masksThatDisagreeWithTheBlocks()
    {
        // Four channels per block, but the masks name only three of them.
        QByteArray bytes = fileBytes(stampedFile);
        const QByteArray mask = "CHANNEL_MASK_FC3=0x8001\n";
        QVERIFY(bytes.contains(mask));
        bytes.replace(mask, "CHANNEL_MASK_FC3=0x8000\n");
        const QString shifted = dir.filePath("shifted.bin6842");
        QFile file(shifted);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
        file.close();

        Run r = run({"info", shifted});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("Warning:          the channel masks name 3 channels, the blocks hold 4\n"),
                 r.out.constData());
        const QStringList before = entries();
        r = run({"csv", shifted, dir.filePath("shifted.csv")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("its channel masks name 3 channels, its blocks hold 4"), r.err.constData());
        QCOMPARE(entries(), before);
    }

    void writeFailurePartWayRemovesThePartialFile()
    {
        // About 700 kB of CSV against a file size limit of 8 kB: the write
        // fails after the first blocks have gone out.
        const QString big = dir.filePath("big.bin6842");
        const uint16_t all[] = {0xFFFF};
        const StoredLayout layout{1000.0, 4000, 1, all, false};
        std::vector<double> samples(16 * 4000, 1.25);
        FILE *file = std::fopen(QFile::encodeName(big).constData(), "wb");
        QVERIFY(file);
        QVERIFY(writeBinaryHeader(file, layout));
        QVERIFY(writeBinaryBlock(file, samples.data(), 16, 4000, nullptr, nullptr));
        QCOMPARE(std::fclose(file), 0);
        const QStringList before = entries();
        const QString output = dir.filePath("big.csv");

        QProcess process;
        process.start("/bin/sh", {"-c", "ulimit -f 16 && exec \"$0\" csv \"$1\" \"$2\"", SFPFILE_PATH, big, output});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 3);
        QVERIFY(process.readAllStandardError().contains("cannot write"));
        QCOMPARE(entries(), before);

        // Without the limit the same conversion succeeds.
        QCOMPARE(run({"csv", big, output}).exitCode, 0);
        // Units and rate lines, 9 short and 7 long column titles, rows of 16 "1.250000, ".
        QCOMPARE(QFileInfo(output).size(), qint64(9 + 30 + (9 * 9 + 7 * 10 + 1) + 4000 * (16 * 10 + 1)));
    }
};

QTEST_GUILESS_MAIN(TestFilesTool)
#include "test_files_tool.moc"
