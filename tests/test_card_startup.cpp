// Start-up before the main window: the command line and the stored-file branch.
#include "messagerecorder.h"
#include "nv6842_fc.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_startWindow.h"
#include "nv6842fp_startup.h"

#include <QLabel>

#include <QTemporaryDir>
#include <QtTest>

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

        // An empty first argument is a file name too, and no file can be read under it.
        a = interpretArguments(args({""}));
        QVERIFY(a.fileGiven);
        QVERIFY(a.filePath.isEmpty());
        MessageRecorder recorder;
        QVERIFY(!openStoredFile(a.filePath));
        QCOMPARE(recorder.last().text, QStringLiteral("Cannot read ''."));
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
        QCOMPARE(recorder.last().text, QStringLiteral("Cannot read '%1'.").arg(path));
        QCOMPARE(recorder.last().icon, QMessageBox::Critical);
        QCOMPARE(recorder.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(recorder.exitCodes, QList<int>{-1});
        QVERIFY(!fileModeActive());
    }

    void missingFileNamesThePathUnchanged()
    {
        MessageRecorder recorder;
        const QString path = QStringLiteral("no/such dir/../file.bin6842");
        QVERIFY(!openStoredFile(path));
        QCOMPARE(recorder.last().text, QStringLiteral("Cannot read 'no/such dir/../file.bin6842'."));
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

        // Offline: no connection dialog, demo state, the file described.
        nv6842fp_StartWindow window(&gl_fc, demoCardCount, fileModeActive());
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(window.demoMode, 1);
        QCOMPARE(window.d_vi, ViSession(0));
        QCOMPARE(window.windowTitle(), QStringLiteral("Trellin 6842 Soft Front Panel"));
        QVERIFY(window.summaryLabel->text().contains(QStringLiteral("3 blocks of 8 scans")));
        QVERIFY(window.summaryLabel->text().contains(QStringLiteral("FC3: 0x8001")));
        QVERIFY(window.summaryLabel->text().contains(path));
        QVERIFY(window.summaryLabel->text().contains(QStringLiteral("on 3 function cards")));
    }

    void startWindowRunsTheConnectionDialog()
    {
        MessageRecorder recorder;
        recorder.answerCustomText(QStringLiteral("Run In Demo Mode"));
        {
            nv6842fp_StartWindow window(&gl_fc, demoCardCount, false);
            QCOMPARE(recorder.count(), 1);
            QCOMPARE(recorder.last().text, QStringLiteral("How to connect to 6842 Function Card?"));
            QCOMPARE(window.demoMode, 1);
            QVERIFY(window.summaryLabel->text().contains(QStringLiteral("with 2 function cards")));
        }
        // Giving up ends the process with exit code 0.
        recorder.answerStandard(QMessageBox::Cancel);
        nv6842fp_StartWindow abandoned(&gl_fc, demoCardCount, false);
        QVERIFY(abandoned.connectionAbandoned());
        QCOMPARE(recorder.exitCodes, QList<int>{0});
    }

    void startWindowListsTheOpenedCards()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5; fc 2 subtype=V1 serial=0x00abcdef");
        MessageRecorder recorder;
        recorder.answerCustomText(QStringLiteral("Auto Find"));
        nv6842fp_StartWindow window(&gl_fc, demoCardCount, false);
        qputenv("TRELLIN_SIM", "");
        QCOMPARE(window.demoMode, 0);
        QCOMPARE(window.cardCount, 1);
        QCOMPARE(window.summaryLabel->text(),
                 QStringLiteral("<b>Connected</b> to 1 function card:<br>"
                                "Function Card #1 (FC 2): 6842-V1, serial number 00abcdef"));
        QCOMPARE(window.slotLabel->text(), QStringLiteral("Slot 5"));
    }
};

QTEST_MAIN(TestCardStartup)
#include "test_card_startup.moc"
