// The streaming settings' rules without widgets: format and refresh tables,
// data-rate texts (including rates past 2^31 bytes per second), the extension
// a format needs, the path checks on real temporary directories and the
// remembered settings.
#include "acqConfigRules.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>

class TestLogicAcqConfig : public QObject
{
    Q_OBJECT
private slots:
    void tables();
    void rateTexts_data();
    void rateTexts();
    void rateLabels_data();
    void rateLabels();
    void pathForFormat_data();
    void pathForFormat();
    void checkPathOnDisk();
    void defaultFileName();
    void settingsRoundTrip();
};

void TestLogicAcqConfig::tables()
{
    const char *formatTexts[] = {"Binary, ViReal64", "Text, CSV (V)", "Text, CSV (mV)"};
    const int formatBytes[] = {8, 27, 27};
    QCOMPARE(acqConfigFormatCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(QString::fromLatin1(acqConfigFormatAt(i).text),
                 QString::fromLatin1(formatTexts[i]));
        QCOMPARE(acqConfigFormatAt(i).bytesPerValue, formatBytes[i]);
    }
    QCOMPARE(acqConfigValidFormat(3), 0);
    QCOMPARE(acqConfigValidFormat(-1), 0);
    QCOMPARE(acqConfigValidFormat(2), 2);

    const char *refreshTexts[] = {"20 msec",  "50 msec", "100 msec", "200 msec",
                                  "500 msec", "1 sec",   "2 sec"};
    const int refreshMs[] = {20, 50, 100, 200, 500, 1000, 2000};
    QCOMPARE(acqConfigRefreshCount(), 7);
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(QString::fromLatin1(acqConfigRefreshAt(i).text),
                 QString::fromLatin1(refreshTexts[i]));
        QCOMPARE(acqConfigRefreshAt(i).milliseconds, refreshMs[i]);
    }
    QCOMPARE(acqConfigDefaultRefreshIndex, 1);
}

void TestLogicAcqConfig::rateTexts_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0 B/s";
    QTest::newRow("1023") << qint64(1023) << "1023 B/s";
    QTest::newRow("1024") << qint64(1024) << "1.0 kB/s";
    QTest::newRow("1048575") << qint64(1048575) << "1024.0 kB/s";
    QTest::newRow("1048576") << qint64(1048576) << "1.0 MB/s";
    QTest::newRow("1536 kB") << qint64(1536 * 1024) << "1.5 MB/s";
    QTest::newRow("4 GiB") << qint64(4) * 1024 * 1024 * 1024 << "4096.0 MB/s";
}

void TestLogicAcqConfig::rateTexts()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(acqConfigRateText(bytes), text);
}

void TestLogicAcqConfig::rateLabels_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("label");
    // 16 channels at 10 kHz: 1,280,000 B/s binary, 4,320,000 B/s as text.
    QTest::newRow("16ch binary") << 0 << 160000 << "Data Rate: 1.2 MB/s";
    QTest::newRow("16ch csv V") << 1 << 160000 << "Data Rate: 4.1 MB/s (TEXT)";
    QTest::newRow("16ch csv mV") << 2 << 160000 << "Data Rate: 4.1 MB/s (TEXT)";
    QTest::newRow("127 binary") << 0 << 127 << "Data Rate: 1016 B/s";
    QTest::newRow("128 binary") << 0 << 128 << "Data Rate: 1.0 kB/s";
    QTest::newRow("37 csv") << 1 << 37 << "Data Rate: 999 B/s (TEXT)";
    // 27 x 80,000,000 = 2,160,000,000 and 27 x (2^31 - 1) pass the int range.
    QTest::newRow("csv past 2^31") << 1 << 80000000 << "Data Rate: 2059.9 MB/s (TEXT)";
    QTest::newRow("csv INT_MAX") << 2 << INT_MAX << "Data Rate: 55296.0 MB/s (TEXT)";
    QTest::newRow("binary INT_MAX") << 0 << INT_MAX << "Data Rate: 16384.0 MB/s";
}

void TestLogicAcqConfig::rateLabels()
{
    QFETCH(int, format);
    QFETCH(int, samples);
    QFETCH(QString, label);
    const int bytesPerValue = acqConfigFormatAt(format).bytesPerValue;
    QCOMPARE(acqConfigRateLabel(format, acqConfigBytesPerSecond(bytesPerValue, samples)), label);
}

void TestLogicAcqConfig::pathForFormat_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("changed");
    QTest::newRow("base up to first dot") << "/d/run.1.bin" << 0 << "/d/run.bin6842" << true;
    QTest::newRow("binary fits") << "/d/run.bin6842" << 0 << "/d/run.bin6842" << false;
    QTest::newRow("upper case fits") << "/d/RUN.BIN6842" << 0 << "/d/RUN.BIN6842" << false;
    QTest::newRow("binary to csv") << "/d/run.bin6842" << 1 << "/d/run.csv" << true;
    QTest::newRow("csv to binary") << "/d/x.y.csv" << 0 << "/d/x.bin6842" << true;
    QTest::newRow("mV keeps csv") << "/d/run.CSV" << 2 << "/d/run.CSV" << false;
    QTest::newRow("no suffix") << "/d/run" << 2 << "/d/run.csv" << true;
    QTest::newRow("root directory") << "/run.txt" << 0 << "/run.bin6842" << true;
    QTest::newRow("relative") << "sub/run.txt" << 0
                              << QDir::currentPath() + "/sub/run.bin6842" << true;
}

void TestLogicAcqConfig::pathForFormat()
{
    QFETCH(QString, path);
    QFETCH(int, format);
    QFETCH(QString, expected);
    QFETCH(bool, changed);
    bool wasChanged = !changed;
    QCOMPARE(acqConfigPathForFormat(path, format, &wasChanged), expected);
    QCOMPARE(wasChanged, changed);
}

void TestLogicAcqConfig::checkPathOnDisk()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.path();
    QVERIFY(QDir(root).mkdir("sub"));
    QVERIFY(QDir(root).mkdir("dir.bin6842"));
    QVERIFY(QDir(root).mkdir("locked"));
    QVERIFY(QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::ExeOwner));
    QFile existing(root + "/old.bin6842");
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    struct Case {
        QString path;
        int format;
        bool empty, missing;
        QString directory, usedPath;
        bool changed, exists;
    };
    const Case cases[] = {
        {"", 0, true, false, "", "", false, false},
        {root + "/none/x.bin6842", 0, false, true, root + "/none", root + "/none/x.bin6842", false,
         false},
        // A file in place of the directory is no directory.
        {root + "/old.bin6842/x.bin6842", 0, false, true, root + "/old.bin6842",
         root + "/old.bin6842/x.bin6842", false, false},
        {root + "/new.bin6842", 0, false, false, root, root + "/new.bin6842", false, false},
        {root + "/old.bin6842", 0, false, false, root, root + "/old.bin6842", false, true},
        {root + "/old.dat", 0, false, false, root, root + "/old.bin6842", true, true},
        {root + "/old.bin6842", 1, false, false, root, root + "/old.csv", true, false},
        // A directory named as the output: renamed beside it, or found existing.
        {root + "/sub", 0, false, false, root, root + "/sub.bin6842", true, false},
        {root + "/dir.bin6842", 0, false, false, root, root + "/dir.bin6842", false, true},
        // Writability is not judged here: opening the file reports it.
        {root + "/locked/x.csv", 2, false, false, root + "/locked", root + "/locked/x.csv", false,
         false},
    };
    for (const Case &c : cases) {
        const acqPathCheck check = acqConfigCheckPath(c.path, c.format);
        const QByteArray where = c.path.toLocal8Bit();
        QVERIFY2(check.empty == c.empty, where);
        QVERIFY2(check.directoryMissing == c.missing, where);
        if (!c.empty)
            QVERIFY2(check.directory == c.directory, where);
        QVERIFY2(check.path == c.usedPath, where);
        QVERIFY2(check.extensionChanged == c.changed, where);
        QVERIFY2(check.exists == c.exists, where);
    }
    QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A set overwrites its members and a trend log, never the file of its own name.
    for (const char *name : {"set_0002.bin6842", "old.trend.csv"})
        QVERIFY(QFile(root + "/" + name).open(QIODevice::WriteOnly));
    QVERIFY(acqConfigCheckPath(root + "/set.bin6842", 0, true).exists);
    QVERIFY(!acqConfigCheckPath(root + "/set.csv", 1, true).exists);
    QVERIFY(!acqConfigCheckPath(root + "/old.bin6842", 0, true).exists);
    QVERIFY(acqConfigCheckPath(root + "/old.bin6842", 0, true, true).exists);
    QVERIFY(acqConfigCheckPath(root + "/old.csv", 1, false, true).exists);
    QVERIFY(!acqConfigCheckPath(root + "/old.csv", 1, false, false).exists);
}

void TestLogicAcqConfig::defaultFileName()
{
    const QByteArray saved = qgetenv("USERPROFILE");
    qputenv("USERPROFILE", "/profiles/someone");
    QCOMPARE(acqConfigDefaultFileName(),
             QDir::toNativeSeparators("/profiles/someone/dump.bin6842"));
    qunsetenv("USERPROFILE");
    QCOMPARE(acqConfigDefaultFileName(),
             QDir::toNativeSeparators(QDir::homePath() + "/dump.bin6842"));
    qputenv("USERPROFILE", saved);
}

void TestLogicAcqConfig::settingsRoundTrip()
{
    QSettings own("Norvane Ltd.", "Trellin 6842 Soft Front Panel");
    own.remove("DataStorage");
    own.sync();
    acqStorageSettings read = acqConfigReadSettings();
    QCOMPARE(read.fileName, QDir::toNativeSeparators(QString::fromLocal8Bit(qgetenv("USERPROFILE"))
                                                     + "/dump.bin6842"));
    QCOMPARE(read.format, 0);
    QCOMPARE(read.timestamps, false);
    QVERIFY(!read.splitFiles && !read.trendLog);

    acqStorageSettings written;
    written.fileName = "/data/run.csv";
    written.format = 2;
    written.timestamps = true;
    written.splitFiles = true;
    written.splitEvery = 30;
    written.splitUnit = acqSplitMinutes;
    written.trendLog = true;
    acqConfigWriteSettings(written);
    own.sync();
    QCOMPARE(own.value("DataStorage/FileName").toString(), QString("/data/run.csv"));
    QCOMPARE(own.value("DataStorage/Format").toInt(), 2);
    QCOMPARE(own.value("DataStorage/Timestamps").toBool(), true);
    read = acqConfigReadSettings();
    QVERIFY(read.splitFiles && read.splitEvery == 30 && read.splitUnit == acqSplitMinutes && read.trendLog);
    // Damaged split values stay inside what the dialog offers.
    own.setValue("DataStorage/SplitEvery", 0);
    own.setValue("DataStorage/SplitUnit", 5);
    own.sync();
    read = acqConfigReadSettings();
    QVERIFY(read.splitEvery == 1 && read.splitUnit == acqSplitMegabytes);

    own.setValue("DataStorage/FileName", "/other/x.bin6842");
    own.setValue("DataStorage/Format", 1);
    own.setValue("DataStorage/Timestamps", false);
    own.sync();
    read = acqConfigReadSettings();
    QCOMPARE(read.fileName, QString("/other/x.bin6842"));
    QCOMPARE(read.format, 1);
    QCOMPARE(read.timestamps, false);

    // A damaged format falls back to binary instead of leaving the combo empty.
    own.setValue("DataStorage/Format", 7);
    own.sync();
    QCOMPARE(acqConfigReadSettings().format, 0);
    own.remove("DataStorage");
}

QTEST_APPLESS_MAIN(TestLogicAcqConfig)
#include "test_logic_acqconfig.moc"
