// sfpfile verify end to end on crafted recordings: the writers make files
// whose time stamps have a known gap, duplicate, step back or torn tail, or
// sets with a file missing; the verdicts, the listed problems and the exit
// codes are compared with what was built in.
#include "datafile_writer.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

const int scans = 100;          // per block
const double rate = 1000.0;     // Hz: a scan every 1 ms, a block every 0.1 s
const uint16_t masks[] = {0x0003};

} // namespace

class TestFilesVerify : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // "NAME=B0,B1,...[@OFFSET][+TAIL]": blocks whose first scans lie at
    // B * 0.1 s (fractions allowed), the header's TIME_OFFSET, and TAIL
    // bytes of a torn block behind them.
    QString craft(const QString &spec)
    {
        const QString name = spec.section('=', 0, 0);
        QString rest = spec.section('=', 1);
        const int tailBytes = rest.contains('+') ? rest.section('+', 1).toInt() : 0;
        rest = rest.section('+', 0, 0);
        const QString offset = rest.contains('@') ? rest.section('@', 1) : QStringLiteral("0.000000");
        const QStringList starts = rest.section('@', 0, 0).split(',', Qt::SkipEmptyParts);

        const StoredLayout layout{rate, scans, 1, masks, true};
        std::string header = binaryHeaderText(layout);
        const std::string zero = "TIME_OFFSET=0.000000\n";
        header.replace(header.find(zero), zero.size(), "TIME_OFFSET=" + offset.toStdString() + "\n");
        const QString path = dir.filePath(name);
        FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
        bool ok = file && std::fwrite(header.data(), 1, header.size(), file) == header.size();
        std::vector<double> samples(2 * scans, 0.5);
        std::vector<int32_t> seconds(scans), nanos(scans);
        for (const QString &start : starts) {
            for (int s = 0; s < scans; ++s) {
                const int64_t t = 2000000000LL + std::llround(start.toDouble() * 1e8) + int64_t(s) * 1000000;
                seconds[size_t(s)] = int32_t(t / 1000000000);
                nanos[size_t(s)] = int32_t(t % 1000000000);
            }
            ok = ok && writeBinaryBlock(file, samples.data(), 2, scans, seconds.data(), nanos.data());
        }
        ok = ok && std::fwrite(std::string(size_t(tailBytes), 'x').data(), 1, size_t(tailBytes), file) == size_t(tailBytes);
        if (!file || std::fclose(file) != 0 || !ok)
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QFile::exists(QStringLiteral(SFPFILE_PATH)));
    }

    void verdicts_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("clean file") << QStringList{"clean.bin6842=0,1,2,3"} << 0
            << QStringList{"clean.bin6842: complete: 4 blocks, 400 scans, 0.400000 s, time stamps continuous"};
        QTest::newRow("gap of one block") << QStringList{"gap.bin6842=0,1,3,4"} << 4
            << QStringList{"gap.bin6842: incomplete: 1 gap",
                           "  gap between scans 200 and 201 (blocks 2 and 3): 100 scans missing (0.100000 s)"};
        QTest::newRow("duplicated block") << QStringList{"twice.bin6842=0,1,1,2,3"} << 4
            << QStringList{"twice.bin6842: incomplete: 1 run of duplicates",
                           "  duplicates: scans 201 to 300 (blocks 3 to 3) repeat earlier time stamps (0.100000 s)"};
        QTest::newRow("torn tail") << QStringList{"torn.bin6842=0,1+13"} << 4
            << QStringList{"torn.bin6842: incomplete: a torn tail of 13 bytes",
                           "  torn tail: 13 bytes behind block 2, less than a block"};
        QTest::newRow("stamps going back") << QStringList{"back.bin6842=0,1,-1.5,-0.5"} << 4
            << QStringList{"back.bin6842: incomplete: 1 step back",
                           "  step back between scans 200 and 201 (blocks 2 and 3): the time stamps go back 0.350000 s"};
        QTest::newRow("set in order")
            << QStringList{"run_0001.bin6842=0,1", "run_0002.bin6842=2,3@0.200000", "run_0003.bin6842=4,5@0.400000"} << 0
            << QStringList{"run_0002.bin6842: complete: 2 blocks", "run_0003.bin6842: complete: 2 blocks",
                           "total: 3 files, 6 blocks, 0.600000 s: complete"};
        QTest::newRow("set with a missing middle file")
            << QStringList{"set_0001.bin6842=0,1", "set_0003.bin6842=4,5@0.400000"} << 4
            << QStringList{"set_0001.bin6842: complete: 2 blocks",
                           "set_0003.bin6842: incomplete: does not join the file before it",
                           "  the set's file set_0002 is missing before it",
                           "  TIME_OFFSET is 0.400000 s, 0.200000 s after set_0001.bin6842 would continue it",
                           "  a gap after set_0001.bin6842: 200 scans missing (0.200000 s)",
                           "total: 2 files, 4 blocks, 0.400000 s: 1 incomplete"};
        QTest::newRow("set out of order")
            << QStringList{"late_0002.bin6842=2,3@0.200000", "late_0001.bin6842=0,1"} << 4
            << QStringList{"  out of order: it comes before late_0002.bin6842 in its set",
                           "  its time stamps start 0.400000 s before the end of late_0002.bin6842 (overlap or out of order)"};
    }

    void verdicts()
    {
        QFETCH(QStringList, files);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        QStringList arguments{"verify"};
        for (const QString &spec : files)
            arguments << craft(spec);
        QProcess process;
        process.setWorkingDirectory(dir.path());
        // Relative names, so that the verdicts read as they are written here.
        for (QString &argument : arguments)
            argument = QFileInfo(argument).fileName();
        process.start(QStringLiteral(SFPFILE_PATH), arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(process.exitCode(), exitCode);
        const QStringList printed = out.split('\n');
        for (const QString &line : lines)
            QVERIFY2(printed.contains(line) || out.contains(line + ", "), qPrintable(line + "\nnot in:\n" + out));
    }

    void notAStoredFileIsOneLine()
    {
        const QString text = dir.filePath("notes.txt");
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("just some notes\n");
        notes.close();
        QProcess process;
        process.start(QStringLiteral(SFPFILE_PATH), {"verify", text});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 2);
        const QByteArray out = process.readAllStandardOutput();
        QCOMPARE(out.count('\n'), 1);
        QVERIFY2(out.startsWith(QFile::encodeName(text) + ": unreadable: "), out.constData());
    }
};

QTEST_GUILESS_MAIN(TestFilesVerify)
#include "test_files_verify.moc"
