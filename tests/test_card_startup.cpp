// Start-up before the main window: the command line and the stored-file branch.
#include "datafile_writer.h"
#include "messagerecorder.h"
#include "nv6842_fc.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_App.h"
#include "nv6842fp_startup.h"

#include "nv6842.h"
#include "nv9471.h"
#include "vnc_operator.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_global.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace {
QStringList args(std::initializer_list<const char *> words)
{
    QStringList list{QStringLiteral("nv6842fp")};
    for (const char *w : words)
        list << QString::fromLatin1(w);
    return list;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// A header-only file grown to blocks of data without writing them: the
// reader only needs the size, so big blocks cost no disk.
QString sparseFile(const QTemporaryDir &dir, const QString &name, const QByteArray &header, qint64 dataBytes)
{
    const QString path = writeFile(dir, name, header);
    QFile file(path);
    return !path.isEmpty() && file.resize(header.size() + dataBytes) ? path : QString();
}

// One card with channels 1 ... channels enabled.
QByteArray oneCardHeader(int channels, int scans)
{
    return "FORMAT=ViReal64\nSAMPLING_RATE_HZ=1000.000000\nNUMBER_OF_CHANNELS=" + QByteArray::number(channels)
           + "\nNUMBER_OF_SCANS_PER_BLOCK=" + QByteArray::number(scans)
           + "\nNUMBER_OF_FUNCTION_CARDS=1\nCHANNEL_MASK_FC1=0x" + QByteArray::number((1 << channels) - 1, 16)
           + "\nTIMESTAMPS=0\n#\n";
}

// The indented lines of README.md's "Command line" section.
QByteArray readmeCommandLines()
{
    QFile readme(QStringLiteral(SFP_SOURCE_DIR "/README.md"));
    if (!readme.open(QIODevice::ReadOnly))
        return QByteArray();
    const QList<QByteArray> lines = readme.readAll().split('\n');
    QByteArray block;
    int at = lines.indexOf("## Command line");
    for (at += 2; at > 1 && at < lines.size() && lines.at(at).startsWith("    "); ++at)
        block += lines.at(at).mid(4) + '\n';
    return block;
}

QByteArray revisionText(ViStatus (*query)(ViChar *))
{
    ViChar text[256] = {};
    return query(text) >= 0 ? QByteArray(text) : QByteArray("unknown");
}

ViStatus driverRevision(ViChar *text)
{
    return nv6842_revision_query(VI_NULL, text, nullptr);
}

// The start-up box: the sentence, then the reason on a line of its own.
QString unreadableText(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot read '%1'.\n%2").arg(path, reason);
}
const QString damagedHeader = QStringLiteral("Not a stored data file, or its header is damaged");

const QByteArray header3Cards = "DEVICE=Trellin 6842\n"
                                "FORMAT=ViReal64\n"
                                "SAMPLING_RATE_HZ=1234.500000\n"
                                "NUMBER_OF_CHANNELS=4\n"
                                "NUMBER_OF_SCANS_PER_BLOCK=8\n"
                                "NUMBER_OF_FUNCTION_CARDS=3\n"
                                "CHANNEL_MASK_FC1=0x0005\n"
                                "CHANNEL_MASK_FC2=0x0000\n"
                                "CHANNEL_MASK_FC3=0x8001\n"
                                "TIME_OFFSET=0.000000\n"
                                "TIMESTAMPS=0\n"
                                "#\n";
} // namespace

class TestCardStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { sfp::setMessageCard(&gl_fc); }
    void init() { clearStoredFile(); }

    void commandLineWords()
    {
        StartupArguments a = interpretArguments(args({}));
        QVERIFY(!a.storeCalib && !a.acperf && !a.fileGiven && a.filePath.isEmpty());

        a = interpretArguments(args({"storeCalib", "some.bin6842"}));
        QVERIFY(a.storeCalib);
        QVERIFY(!a.fileGiven); // the word hides everything behind it

        a = interpretArguments(args({"-acperf"}));
        QVERIFY(a.acperf);
        QVERIFY(!a.fileGiven);

        a = interpretArguments(args({"rec.bin6842", "-acperf"}));
        QVERIFY(a.fileGiven);
        QCOMPARE(a.filePath, QStringLiteral("rec.bin6842"));
        QVERIFY(a.acperf);

        // Exact and case-sensitive: anything else is a file name.
        a = interpretArguments(args({"storecalib"}));
        QVERIFY(!a.storeCalib);
        QVERIFY(a.fileGiven);
        QCOMPARE(a.filePath, QStringLiteral("storecalib"));

        // The summary and the versions, only as the first argument.
        a = interpretArguments(args({"-h"}));
        QVERIFY(a.help && !a.version && !a.fileGiven);
        a = interpretArguments(args({"--help", "rec.bin6842"}));
        QVERIFY(a.help && !a.fileGiven);
        a = interpretArguments(args({"--version"}));
        QVERIFY(a.version && !a.help && !a.fileGiven);
        a = interpretArguments(args({"rec.bin6842", "--help"}));
        QVERIFY(!a.help && a.fileGiven);
        a = interpretArguments(args({"./--help"}));
        QVERIFY(!a.help && a.fileGiven);
        QCOMPARE(a.filePath, QStringLiteral("./--help"));
        a = interpretArguments(args({"-help"}));
        QVERIFY(!a.help && a.fileGiven);

        // An empty first argument is a file name too, and no file can be read under it.
        a = interpretArguments(args({""}));
        QVERIFY(a.fileGiven);
        QVERIFY(a.filePath.isEmpty());
        MessageRecorder recorder;
        QVERIFY(!openStoredFile(a.filePath));
        QCOMPARE(recorder.last().text, unreadableText(QString(), QString::fromLocal8Bit(std::strerror(ENOENT))));
        QCOMPARE(recorder.exitCodes, QList<int>{-1});
    }

    void defaultCardCountSharesTheRecord()
    {
        QCOMPARE(int(demoCardCount), 2);
        StoredFileInfo.fcCount = 5;
        QCOMPARE(int(demoCardCount), 5);
    }

    void unreadableFileEndsStartUp_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("wrong format") << QByteArray("FORMAT=ViReal32\nNUMBER_OF_CHANNELS=1\n"
                                                    "NUMBER_OF_SCANS_PER_BLOCK=1\n#\n12345678");
        static const char garbage[] = "\x01\x02\xff\xfe garbage\n\x00\x00";
        QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1);
        QTest::newRow("less than one block")
            << QByteArray("FORMAT=ViReal64\nNUMBER_OF_CHANNELS=1\nNUMBER_OF_SCANS_PER_BLOCK=4\n"
                          "NUMBER_OF_FUNCTION_CARDS=1\nCHANNEL_MASK_FC1=0x0001\n#\n0123456789");
        QTest::newRow("rate 0")
            << QByteArray("FORMAT=ViReal64\nSAMPLING_RATE_HZ=0.000000\nNUMBER_OF_CHANNELS=1\n"
                          "NUMBER_OF_SCANS_PER_BLOCK=1\nNUMBER_OF_FUNCTION_CARDS=1\n"
                          "CHANNEL_MASK_FC1=0x0001\n#\n01234567");
        QTest::newRow("masks disagree with channels")
            << QByteArray("FORMAT=ViReal64\nNUMBER_OF_CHANNELS=2\nNUMBER_OF_SCANS_PER_BLOCK=1\n"
                          "NUMBER_OF_FUNCTION_CARDS=1\nCHANNEL_MASK_FC1=0x0001\n#\n0123456789abcdef");
    }

    void unreadableFileEndsStartUp()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("bad.bin6842"), content);
        QVERIFY(!path.isEmpty());
        MessageRecorder recorder;
        QVERIFY(!openStoredFile(path));
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
        QCOMPARE(recorder.last().text, unreadableText(path, damagedHeader));
        QCOMPARE(recorder.last().icon, QMessageBox::Critical);
        QCOMPARE(recorder.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(recorder.exitCodes, QList<int>{-1});
        QVERIFY(!fileModeActive());
    }

    void blocksMustFitTheWaveformBuffers_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("scans");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("1 x 20,000,000") << 1 << 20000000 << false;
        QTest::newRow("2 x 5,120,001") << 2 << 5120001 << false;
        QTest::newRow("2 x 5,120,000") << 2 << 5120000 << true;
        QTest::newRow("16 x 640,000") << 16 << 640000 << true;
    }

    void blocksMustFitTheWaveformBuffers()
    {
        QFETCH(int, channels);
        QFETCH(int, scans);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        const QString path = sparseFile(dir, QStringLiteral("big.bin6842"), oneCardHeader(channels, scans),
                                        qint64(8) * channels * scans);
        QVERIFY(!path.isEmpty());
        MessageRecorder recorder;
        QCOMPARE(openStoredFile(path), accepted);
        QCOMPARE(fileModeActive(), accepted);
        if (accepted) {
            QCOMPARE(recorder.count(), 0);
            QCOMPARE(StoredFileInfo.blockCount, uint64_t(1));
            return;
        }
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().text,
                 unreadableText(path, QStringLiteral("Blocks of %1 values, more than the panel's 10240000")
                                          .arg(qint64(channels) * scans)));
        QCOMPARE(recorder.exitCodes, QList<int>{-1});
        QCOMPARE(int(demoCardCount), 2);
    }

    void missingFileNamesThePathUnchanged()
    {
        MessageRecorder recorder;
        const QString path = QStringLiteral("no/such dir/../file.bin6842");
        QVERIFY(!openStoredFile(path));
        QCOMPARE(recorder.last().text, unreadableText(QStringLiteral("no/such dir/../file.bin6842"),
                                                      QString::fromLocal8Bit(std::strerror(ENOENT))));
        QCOMPARE(recorder.exitCodes, QList<int>{-1});
    }

    void headerOnlyFileCountsAsNoFile()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("empty.bin6842"), header3Cards);
        MessageRecorder recorder;
        QVERIFY(openStoredFile(path));
        QCOMPARE(recorder.count(), 0);
        QVERIFY(!fileModeActive());
        QCOMPARE(int(demoCardCount), 2); // as if no argument had been given
    }

    void fileWithBlocksEntersFileMode()
    {
        QTemporaryDir dir;
        QByteArray content = header3Cards;
        content.append(QByteArray(3 * 4 * 8 * 8, '\0')); // three blocks of 4 channels x 8 scans
        // A "%" in the name must survive the window's texts.
        const QString path = writeFile(dir, QStringLiteral("three%2.bin6842"), content);
        MessageRecorder recorder;
        QVERIFY(openStoredFile(path));
        QCOMPARE(recorder.count(), 0);
        QVERIFY(fileModeActive());
        QCOMPARE(int(demoCardCount), 3);
        QCOMPARE(StoredFileInfo.blockCount, uint64_t(3));
        QCOMPARE(StoredFileInfo.scansPerBlock, 8);
        QCOMPARE(StoredFileInfo.rateHz, 1234.5);
        QCOMPARE(StoredFileInfo.channelMask[2], uint16_t(0x8001));
        QCOMPARE(QByteArray(StoredFileInfo.path), QFile::encodeName(path));

        // Offline: no connection dialog, demo state, the header's three cards.
        nv6842fp_App window(&gl_fc, demoCardCount, fileModeActive());
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(window.demoMode, 1);
        QCOMPARE(window.d_vi, ViSession(0));
        QCOMPARE(window.windowTitle(), QStringLiteral("Trellin 6842 Soft Front Panel"));
        QCOMPARE(window.cards(), 3);
        QCOMPARE(window.chPanels.size(), 48);
    }

    // A recording of a session of 256 cards opens the viewer with every card.
    void recordingOfAllCardsOpensTheViewer()
    {
        QTemporaryDir dir;
        std::vector<uint16_t> masks(256, 0);
        masks.back() = 0x0003;
        const StoredLayout layout{1000.0, 8, 256, masks.data(), false};
        const QString path = writeFile(dir, QStringLiteral("all.bin6842"),
                                       QByteArray::fromStdString(binaryHeaderText(layout)) + QByteArray(2 * 8 * 8, '\0'));
        MessageRecorder recorder;
        QVERIFY(openStoredFile(path));
        QVERIFY(fileModeActive());
        QCOMPARE(int(demoCardCount), 256);
    }

    void cardWindowRunsTheConnectionDialog()
    {
        MessageRecorder recorder;
        recorder.answerCustomText(QStringLiteral("Run In Demo Mode"));
        {
            nv6842fp_App window(&gl_fc, demoCardCount, false);
            QCOMPARE(recorder.count(), 1);
            QCOMPARE(recorder.last().text, QStringLiteral("How to connect to 6842 Function Card?"));
            QCOMPARE(window.demoMode, 1);
            QCOMPARE(window.cards(), 2); // demo mode's card count
        }
        // Giving up ends the process with exit code 0.
        recorder.answerStandard(QMessageBox::Cancel);
        nv6842fp_App abandoned(&gl_fc, demoCardCount, false);
        QVERIFY(abandoned.connectionAbandoned());
        QCOMPARE(recorder.exitCodes, QList<int>{0});
    }

    void cardWindowOpensTheChosenCard()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5; fc 2 subtype=V1 serial=0x00abcdef");
        MessageRecorder recorder;
        recorder.answerCustomText(QStringLiteral("Auto Find"));
        nv6842fp_App window(&gl_fc, demoCardCount, false);
        qputenv("TRELLIN_SIM", "");
        QCOMPARE(window.demoMode, 0);
        QCOMPARE(window.cardCount, 1);
        QCOMPARE(window.cards(), 1);
        QCOMPARE(window.fcSubtype.value(0), ViUInt16('V' << 8 | '1'));
        QCOMPARE(window.slotLabel->text(), QStringLiteral("Slot 5"));
    }

    // The built program as a process: what main does with the command line.
    void programAnswersHelpAndVersionWithoutDisplay()
    {
        // With the X11 platform and no display, creating the GUI would abort.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        const QByteArray summary = readmeCommandLines();
        QVERIFY(summary.count('\n') >= 6);
        const QByteArray versions = "Trellin 6842 Soft Front Panel " SFP_PROJECT_VERSION "\n"
                                    "Qt: " + QByteArray(qVersion()) + "\n"
                                    "Qwt: " QWT_VERSION_STR "\n"
                                    "Card driver (nv6842): " + revisionText(driverRevision) + "\n"
                                    "Common library (nv9471): " + revisionText(nv9471_revision) + "\n";
        const struct {
            const char *argument;
            QByteArray output;
        } cases[] = {{"--help", summary}, {"-h", summary}, {"--version", versions}};
        for (const auto &c : cases) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.start(QStringLiteral(NV6842FP_PATH), {QString::fromLatin1(c.argument)});
            QVERIFY2(process.waitForFinished(20000), c.argument);
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), 0);
            QCOMPARE(process.readAllStandardOutput(), c.output);
        }
    }

    void programEndsOnUnreadableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("missing") << QStringLiteral("missing.bin6842") << QByteArray("No such file or directory");
        QTest::newRow("named like an option") << QStringLiteral("--help") << QByteArray("not a stored data file");
        QTest::newRow("named pipe") << QStringLiteral("pipe.bin6842") << QByteArray("not a regular file");
        QTest::newRow("blocks too big") << QStringLiteral("big.bin6842")
                                        << QByteArray("blocks of 10240002 values, more than the panel's 10240000");
    }

    void programEndsOnUnreadableFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, reason);
        QTemporaryDir dir;
        QVERIFY(QFile::exists(QStringLiteral(NV6842FP_PATH)));
        QVERIFY(writeFile(dir, QStringLiteral("--help"), "just notes\n").size() > 0);
        QVERIFY(sparseFile(dir, QStringLiteral("big.bin6842"), oneCardHeader(2, 5120001), 8 * 10240002).size() > 0);
        QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.bin6842"))).constData(), 0600), 0);
        // Relative to the directory, so that "./--help" is a file, not the option.
        const QString path = QStringLiteral("./") + name;
        const vnc::Run run = vnc::runPressingEscape(QStringLiteral(NV6842FP_PATH), {path}, 20000, dir.path());
        QVERIFY2(run.finished, "still running: the file was not refused at once");
        QCOMPARE(run.exitCode, 255);
        const QByteArray expected = "Cannot read '" + QFile::encodeName(path) + "': " + reason;
        QVERIFY2(run.out.contains(expected), run.out.constData());
    }

    void programStartsWithHeaderOnlyFileOrBlocks()
    {
        QTemporaryDir dir;
        const QString headerOnly = writeFile(dir, QStringLiteral("empty.bin6842"), header3Cards);
        const QString withBlocks =
            writeFile(dir, QStringLiteral("blocks.bin6842"), header3Cards + QByteArray(2 * 4 * 8 * 8, '\0'));
        QVERIFY(!headerOnly.isEmpty() && !withBlocks.isEmpty());

        // Header only: a normal start, whose connection dialog comes first;
        // leaving it ends the program with exit code 0.
        vnc::Run run = vnc::runPressingEscape(QStringLiteral(NV6842FP_PATH), {headerOnly}, 20000);
        QVERIFY2(run.finished, run.err.constData());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!run.out.contains("Cannot read"));

        // With blocks: offline, no connection dialog to leave; the window stays.
        run = vnc::runPressingEscape(QStringLiteral(NV6842FP_PATH), {withBlocks, QStringLiteral("-acperf")}, 4000);
        QVERIFY2(!run.finished, run.out.constData());
        QVERIFY(!run.out.contains("Cannot read"));
    }
};

QTEST_MAIN(TestCardStartup)
#include "test_card_startup.moc"
