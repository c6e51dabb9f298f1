// The names of a recording's files (file sets, the trend log) and the trend
// log's layout: crafted logs read back, bad lines refused with their number,
// an unfinished last line left out, and rows that read back exactly.
#include "fileset.h"
#include "trendlog.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

const char header[] = "# Trellin 6842 measurement trend log\n"
                      "block,time_s,timestamp,channel,mean_V,rms_V,min_V,max_V,over_range,frequency_Hz,amplitude_V,"
                      "thd_dB,sinad_dB,snr_dB,sfdr_dB,enob_bits\n";

bool writeText(const QString &path, const std::string &text)
{
    FILE *f = std::fopen(path.toLocal8Bit().constData(), "wb");
    const bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return f && std::fclose(f) == 0 && ok;
}

struct Read {
    std::vector<TrendEntry> entries;
    std::string error;
    bool unfinished = false;
};

Read readLog(const QString &path)
{
    Read r;
    TrendLogReader reader;
    if (reader.open(path.toStdString()))
        for (TrendEntry e; reader.next(e);)
            r.entries.push_back(e);
    r.error = reader.error();
    r.unfinished = reader.unfinishedLine();
    return r;
}

} // namespace

class TestFilesSets : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void names_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("member2");
        QTest::addColumn<QString>("trend");
        QTest::newRow("binary") << "/d/run.bin6842" << "/d/run_0002.bin6842" << "/d/run.trend.csv";
        QTest::newRow("csv, any case") << "/d/a.b.CSV" << "/d/a.b_0002.CSV" << "/d/a.b.trend.csv";
        QTest::newRow("no suffix") << "rec" << "rec_0002" << "rec.trend.csv";
        QTest::newRow("other suffix") << "/d/x.dat" << "/d/x.dat_0002" << "/d/x.dat.trend.csv";
    }

    void names()
    {
        QFETCH(QString, path);
        QFETCH(QString, member2);
        QFETCH(QString, trend);
        QCOMPARE(QString::fromStdString(fileSetMemberPath(path.toStdString(), 2)), member2);
        QCOMPARE(QString::fromStdString(trendLogPath(path.toStdString())), trend);
        QCOMPARE(fileSetMemberNumber(path.toStdString(), member2.toStdString()), 2);
        QCOMPARE(fileSetMemberNumber(path.toStdString(), path.toStdString()), 0);
    }

    void membersPresent()
    {
        const QString base = dir.filePath("set.bin6842");
        // Members in any order, past 9999, and names that only look alike.
        for (const char *name : {"set_0002.bin6842", "set_10000.bin6842", "set_0001.bin6842", "set_002.bin6842",
                                 "set_0003.csv", "set_00x1.bin6842", "sets_0001.bin6842", "set.bin6842"})
            QVERIFY(writeText(dir.filePath(name), "x"));
        std::vector<std::string> expected;
        for (const char *name : {"set_0001.bin6842", "set_0002.bin6842", "set_10000.bin6842"})
            expected.push_back(dir.filePath(name).toStdString());
        QVERIFY(fileSetMembersPresent(base.toStdString()) == expected);
    }

    void craftedLog()
    {
        const QString path = dir.filePath("crafted.trend.csv");
        QVERIFY(writeText(path, std::string(header) + "# a comment\n"
                                    + "7,0.1792,1700000037.000012500,FC2_CH16,0.25,1.5,-1.75,2.25,1,390.625,2,-40,"
                                      "nan,inf,-inf,6.2\n"
                                    + "# skipped blocks 8 to 12\n"
                                    + "13,0.3328,,FC1_CH1,0,0,0,0,0,0,0,0,0,0,0,0"));
        const Read r = readLog(path);
        QVERIFY2(r.error.empty(), r.error.c_str());
        QVERIFY(r.unfinished); // the last line has no line end yet
        QCOMPARE(int(r.entries.size()), 2);
        const TrendRow &row = r.entries[0].row;
        QCOMPARE(int(r.entries[0].kind), int(TrendEntry::Row));
        QCOMPARE(row.block, int64_t(7));
        QCOMPARE(row.timeSeconds, 0.1792);
        QVERIFY(row.hasTimestamp);
        QCOMPARE(row.stampSeconds, 1700000037);
        QCOMPARE(row.stampNanos, 12500);
        QCOMPARE(row.card, 2);
        QCOMPARE(row.channel, 16);
        QVERIFY(row.overRange);
        const double figures[] = {0.25, 1.5, -1.75, 2.25, 390.625, 2, -40};
        for (int f = 0; f < 7; ++f)
            QCOMPARE(row.figures[f], figures[f]);
        QVERIFY(std::isnan(row.figures[trendFigureIndex("sinad")]));
        QCOMPARE(row.figures[trendFigureIndex("SNR")], std::numeric_limits<double>::infinity());
        QCOMPARE(row.figures[trendFigureIndex("Sfdr")], -std::numeric_limits<double>::infinity());
        QCOMPARE(row.figures[trendFigureIndex("ENOB")], 6.2);
        QCOMPARE(trendFigureIndex("noise"), -1);
        QCOMPARE(int(r.entries[1].kind), int(TrendEntry::Skip));
        QCOMPARE(r.entries[1].firstSkipped, int64_t(8));
        QCOMPARE(r.entries[1].lastSkipped, int64_t(12));
    }

    void badLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("why");
        const QByteArray good = "0,0,,FC1_CH1,0,0,0,0,0,0,0,0,0,0,0,0";
        QTest::newRow("negative block") << QByteArray(good).replace(0, 1, "-1") << QByteArray("block number");
        QTest::newRow("channel") << QByteArray(good).replace("FC1_CH1", "FC1_CH17") << QByteArray("channel");
        QTest::newRow("card") << QByteArray(good).replace("FC1_CH1", "FC0_CH1") << QByteArray("channel");
        QTest::newRow("flag") << QByteArray("0,0,,FC1_CH1,0,0,0,0,2,0,0,0,0,0,0,0") << QByteArray("over_range");
        QTest::newRow("stamp digits") << QByteArray(good).replace(",,", ",12.5,") << QByteArray("time stamp");
        QTest::newRow("number") << QByteArray(good).append("x") << QByteArray("ENOB");
        QTest::newRow("plus sign") << QByteArray(good).replace(",,FC1_CH1,0", ",,FC1_CH1,+0") << QByteArray("mean");
        QTest::newRow("few fields") << QByteArray("0,0") << QByteArray("fewer than 16");
        QTest::newRow("skip order") << QByteArray("# skipped blocks 5 to 4") << QByteArray("skip row");
    }

    void badLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, why);
        const QString path = dir.filePath("bad.trend.csv");
        QVERIFY(writeText(path, std::string(header) + line.toStdString() + "\n"));
        const Read r = readLog(path);
        QVERIFY(r.entries.empty());
        QVERIFY2(r.error.find("line 3: ") != std::string::npos && r.error.find(why.constData()) != std::string::npos,
                 r.error.c_str());
    }

    void notATrendLog()
    {
        const QString path = dir.filePath("other.csv");
        QVERIFY(writeText(path, "Units: V\nSampling rate: 10.000000 Hz\n"));
        QVERIFY(!readLog(path).error.empty());
        QVERIFY(!readLog(dir.filePath("missing.trend.csv")).error.empty());
    }

    void rowsReadBackExactly()
    {
        TrendRow row;
        row.block = 123456789012LL;
        row.timeSeconds = 0.1 + 0.2;
        const double awkward[trendFigureCount] = {1.0 / 3, -std::numeric_limits<double>::denorm_min(), -0.0,
                                                  std::numeric_limits<double>::max(), 5e-324, 390.625, 2.0 / 7,
                                                  -40.00000000000001, 1e300, 3.0, 7.25};
        std::copy(awkward, awkward + trendFigureCount, row.figures);
        std::string text = header;
        appendTrendRow(text, row);
        appendTrendSkip(text, 4, 9);
        const QString path = dir.filePath("round.trend.csv");
        QVERIFY(writeText(path, text));
        const Read r = readLog(path);
        QVERIFY2(r.error.empty() && r.entries.size() == 2, r.error.c_str());
        const TrendRow &back = r.entries[0].row;
        QCOMPARE(back.block, row.block);
        QCOMPARE(back.timeSeconds, row.timeSeconds);
        for (int f = 0; f < trendFigureCount; ++f)
            QVERIFY2(std::memcmp(&back.figures[f], &awkward[f], sizeof(double)) == 0, trendFigureNames[f]);
        QCOMPARE(r.entries[1].firstSkipped, int64_t(4));
        QCOMPARE(r.entries[1].lastSkipped, int64_t(9));
    }
};

QTEST_GUILESS_MAIN(TestFilesSets)
#include "test_files_sets.moc"
