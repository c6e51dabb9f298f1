// Writers of the stored data files: golden headers, exact block layout, CSV
// rows against printf, write failures, and round trips through the reader.
#include "datafile_writer.h"
#include "storedfile.h"

#include <QtTest>

#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// A deterministic block: every sample a formula of block, channel and scan.
struct TestBlock
{
    std::vector<double> samples;
    std::vector<int32_t> seconds, nanos;
};

TestBlock makeBlock(int block, size_t channels, size_t scans)
{
    TestBlock b;
    b.samples.resize(channels * scans);
    for (size_t c = 0; c < channels; ++c)
        for (size_t s = 0; s < scans; ++s)
            b.samples[c * scans + s] = std::sin(0.01 * double(s) + double(c)) * 10.24 + 0.5 * block;
    for (size_t s = 0; s < scans; ++s) {
        b.seconds.push_back(1700000000 + block);
        b.nanos.push_back(static_cast<int32_t>((s * 19531 + block) % 1000000000));
    }
    return b;
}

// Text written by one writer call into a memory stream.
template <typename Write>
std::string captureWrite(Write write)
{
    char *buffer = nullptr;
    size_t size = 0;
    FILE *memory = open_memstream(&buffer, &size);
    const bool ok = write(memory);
    std::fclose(memory);
    std::string text(buffer, size);
    std::free(buffer);
    return ok ? text : std::string("<write failed>");
}

// The CSV rows as the printf formats define them.
std::string printfCsvRows(bool millivolts, const double *samples, size_t channels, size_t scans,
                          const int32_t *seconds, const int32_t *nanos)
{
    std::string text;
    char field[400];
    for (size_t s = 0; s < scans; ++s) {
        if (seconds) {
            std::snprintf(field, sizeof field, "%d.%09d, ", seconds[s], nanos[s]);
            text += field;
        }
        for (size_t c = 0; c < channels; ++c) {
            if (millivolts)
                std::snprintf(field, sizeof field, "%.3lf, ", samples[c * scans + s] * 1000.0);
            else
                std::snprintf(field, sizeof field, "%.6lf, ", samples[c * scans + s]);
            text += field;
        }
        text += "\n";
    }
    return text;
}

} // namespace

class TestFilesWriter : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        std::setlocale(LC_ALL, "C");
        QVERIFY(dir.isValid());
    }

    void goldenBinaryHeader()
    {
        const uint16_t masks[] = {0x0005, 0x8000};
        const std::string header = binaryHeaderText({51200.0, 1024, 2, masks, true});
        QCOMPARE(QString::fromStdString(header),
                 QString("DEVICE=Trellin 6842\n"
                         "FORMAT=ViReal64\n"
                         "SAMPLING_RATE_HZ=51200.000000\n"
                         "NUMBER_OF_CHANNELS=3\n"
                         "NUMBER_OF_SCANS_PER_BLOCK=1024\n"
                         "NUMBER_OF_FUNCTION_CARDS=2\n"
                         "CHANNEL_MASK_FC1=0x0005\n"
                         "CHANNEL_MASK_FC2=0x8000\n"
                         "TIME_OFFSET=0.000000\n"
                         "TIMESTAMPS=1\n"
                         "#\n"));
        // One card with channels 1 and 3, an odd rate, no time stamps.
        const uint16_t oneCard[] = {0x0005};
        const std::string other = binaryHeaderText({1234.5678906, 16, 1, oneCard, false});
        QVERIFY(other.find("\nSAMPLING_RATE_HZ=1234.567891\n") != std::string::npos);
        QVERIFY(other.find("\nCHANNEL_MASK_FC1=0x0005\nTIME_OFFSET=0.000000\nTIMESTAMPS=0\n#\n") != std::string::npos);
        QVERIFY(other.find("\nNUMBER_OF_CHANNELS=2\n") != std::string::npos);
        // A later file of a set: its time goes on from the one before, to the microsecond.
        StoredLayout later{1234.5678906, 16, 1, oneCard, false};
        later.timeOffset = 1.07520049;
        QVERIFY(binaryHeaderText(later).find("\nTIME_OFFSET=1.075200\n") != std::string::npos);
        // The header goes out as it is built.
        QCOMPARE(captureWrite([&](FILE *f) { return writeBinaryHeader(f, {51200.0, 1024, 2, masks, true}); }),
                 header);
    }

    void goldenCsvHeader()
    {
        const uint16_t masks[] = {0x0005, 0x0000, 0x8001};
        QCOMPARE(QString::fromStdString(csvHeaderText(CsvUnits::Volts, {2000.0, 8, 3, masks, true})),
                 QString("Units: V\nSampling rate: 2000.000000 Hz\n"
                         "Timestamp, FC1_CH1, FC1_CH3, FC3_CH1, FC3_CH16, \n"));
        QCOMPARE(QString::fromStdString(csvHeaderText(CsvUnits::Millivolts, {0.5, 8, 3, masks, false})),
                 QString("Units: mV\nSampling rate: 0.500000 Hz\n"
                         "FC1_CH1, FC1_CH3, FC3_CH1, FC3_CH16, \n"));
    }

    void binaryBlockLayout()
    {
        // Seconds, then nanoseconds, then the samples, as raw little-endian arrays.
        const size_t channels = 3, scans = 5;
        const TestBlock b = makeBlock(2, channels, scans);
        std::string expected;
        expected.append(reinterpret_cast<const char *>(b.seconds.data()), scans * 4);
        expected.append(reinterpret_cast<const char *>(b.nanos.data()), scans * 4);
        expected.append(reinterpret_cast<const char *>(b.samples.data()), channels * scans * 8);
        QCOMPARE(captureWrite([&](FILE *f) {
                     return writeBinaryBlock(f, b.samples.data(), channels, scans, b.seconds.data(), b.nanos.data());
                 }),
                 expected);
        QCOMPARE(captureWrite([&](FILE *f) {
                     return writeBinaryBlock(f, b.samples.data(), channels, scans, nullptr, nullptr);
                 }),
                 expected.substr(scans * 8));
    }

    void csvRowsMatchPrintf_data()
    {
        QTest::addColumn<bool>("millivolts");
        QTest::addColumn<bool>("stamps");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("scans");
        QTest::newRow("volts") << false << false << 3 << 50;
        QTest::newRow("millivolts, stamps") << true << true << 3 << 50;
        // Rows far larger than the writer's buffer, many buffer hand-overs.
        QTest::newRow("wide rows") << false << true << 1024 << 40;
        QTest::newRow("many rows") << true << false << 2 << 20000;
    }

    void csvRowsMatchPrintf()
    {
        QFETCH(bool, millivolts);
        QFETCH(bool, stamps);
        QFETCH(int, channels);
        QFETCH(int, scans);
        TestBlock b = makeBlock(1, channels, scans);
        // Awkward values: rounding at the sixth and third decimal, signed
        // zeros, range ends, huge and non-finite values.
        const double awkward[] = {-0.0, -1e-9, 0.0000005, 0.0000015, 1.0 / 128, 3.0 / 128, 0.0005, 0.0625e-3,
                                  10.24, -10.24, 1e20, -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
        for (size_t i = 0; i < sizeof awkward / sizeof awkward[0]; ++i)
            b.samples[(i * 7) % b.samples.size()] = awkward[i];
        b.nanos[0] = 5;
        b.seconds[1] = -3;
        const int32_t *seconds = stamps ? b.seconds.data() : nullptr;
        const int32_t *nanos = stamps ? b.nanos.data() : nullptr;
        const std::string expected = printfCsvRows(millivolts, b.samples.data(), channels, scans, seconds, nanos);
        const std::string actual = captureWrite([&](FILE *f) {
            return writeCsvBlock(f, millivolts ? CsvUnits::Millivolts : CsvUnits::Volts, b.samples.data(), channels,
                                 scans, seconds, nanos);
        });
        QCOMPARE(actual.size(), expected.size());
        QVERIFY(actual == expected);
        std::string appended = "kept";
        appendCsvBlock(appended, millivolts ? CsvUnits::Millivolts : CsvUnits::Volts, b.samples.data(), channels,
                       scans, seconds, nanos);
        QVERIFY(appended == "kept" + expected);
    }

    void failedWritesAreReported()
    {
        FILE *full = std::fopen("/dev/full", "wb");
        if (!full)
            QSKIP("/dev/full is not available here");
        setvbuf(full, nullptr, _IONBF, 0); // every write reaches the device at once
        const TestBlock b = makeBlock(0, 2, 64);
        const uint16_t masks[] = {0x0003};
        QVERIFY(!writeBinaryHeader(full, {100.0, 64, 1, masks, false}));
        QVERIFY(!writeCsvHeader(full, CsvUnits::Volts, {100.0, 64, 1, masks, false}));
        QVERIFY(!writeBinaryBlock(full, b.samples.data(), 2, 64, nullptr, nullptr));
        QVERIFY(!writeBinaryBlock(full, b.samples.data(), 2, 64, b.seconds.data(), b.nanos.data()));
        QVERIFY(!writeCsvBlock(full, CsvUnits::Millivolts, b.samples.data(), 2, 64, nullptr, nullptr));
        std::fclose(full);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QVector<int>>("masks");
        QTest::addColumn<bool>("stamps");
        QTest::addColumn<int>("scans");
        QTest::newRow("one card, channels 1 and 3") << QVector<int>{0x0005} << false << 100;
        QTest::newRow("one card, all channels, stamps") << QVector<int>{0xFFFF} << true << 64;
        QTest::newRow("three cards, empty middle card") << QVector<int>{0x8001, 0x0000, 0x0010} << true << 7;
        QVector<int> many(64, 0);
        many[0] = 1;
        many[63] = 0x8000;
        QTest::newRow("64 cards") << many << false << 1;
    }

    void roundTrip()
    {
        QFETCH(QVector<int>, masks);
        QFETCH(bool, stamps);
        QFETCH(int, scans);
        std::vector<uint16_t> mask16(masks.begin(), masks.end());
        const StoredLayout layout{48000.25, scans, static_cast<int>(mask16.size()), mask16.data(), stamps};
        const size_t channels = static_cast<size_t>(enabledChannelCount(layout));
        const QString path = dir.filePath(QString("roundtrip-%1.bin6842").arg(QTest::currentDataTag()));
        const int blocks = 3;
        {
            FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
            QVERIFY(file);
            QVERIFY(writeBinaryHeader(file, layout));
            for (int k = 0; k < blocks; ++k) {
                const TestBlock b = makeBlock(k, channels, scans);
                QVERIFY(writeBinaryBlock(file, b.samples.data(), channels, scans, stamps ? b.seconds.data() : nullptr,
                                         stamps ? b.nanos.data() : nullptr));
            }
            QCOMPARE(std::fclose(file), 0);
        }

        StoredFileInfo_t info;
        uint64_t trailing = 99;
        QCOMPARE(readStoredFileHeaderQuiet(QFile::encodeName(path).constData(), &info, &trailing), 0);
        QCOMPARE(trailing, uint64_t(0));
        QCOMPARE(QString(info.path), path);
        QCOMPARE(info.rateHz, 48000.25);
        QCOMPARE(info.isReal64, 1);
        QCOMPARE(info.channelCount, uint32_t(channels));
        QCOMPARE(info.scansPerBlock, scans);
        QCOMPARE(int(info.fcCount), int(mask16.size()));
        for (int card = 0; card < 64; ++card)
            QCOMPARE(int(info.channelMask[card]), card < masks.size() ? masks[card] : 0);
        QCOMPARE(info.timeOffset, 0.0);
        QCOMPARE(int(info.hasTimestamps), stamps ? 1 : 0);
        QCOMPARE(info.dataOffset, uint64_t(binaryHeaderText(layout).size()));
        QCOMPARE(info.sampleBytes, uint64_t(8 * channels * scans));
        QCOMPARE(info.stampBytes, uint64_t(stamps ? 4 * scans : 0));
        QCOMPARE(info.blockBytes, info.sampleBytes + 2 * info.stampBytes);
        QCOMPARE(info.blockCount, uint64_t(blocks));
        QCOMPARE(info.dataBytes, info.blockCount * info.blockBytes);

        for (int k = 0; k < blocks; ++k) {
            const TestBlock b = makeBlock(k, channels, scans);
            std::vector<double> samples(channels * scans, -99.0);
            QCOMPARE(readStoredBlock(info, samples.data(), k), 1);
            QVERIFY(samples == b.samples);
            std::vector<double> volts(storedBlockValueCount(info));
            storedSamplesToVolts(info, samples.data(), volts.data(), volts.size());
            QVERIFY(volts == b.samples);
            std::vector<int32_t> seconds(scans), nanos(scans);
            std::fill(samples.begin(), samples.end(), 0.0);
            const int withStamps = readStoredBlockStamps(info, samples.data(), seconds.data(), nanos.data(), k);
            if (stamps) {
                QCOMPARE(withStamps, 1);
                QVERIFY(seconds == b.seconds);
                QVERIFY(nanos == b.nanos);
                QVERIFY(samples == b.samples);
            } else {
                QCOMPARE(withStamps, -1);
            }
        }
        std::vector<double> samples(channels * scans);
        QCOMPARE(readStoredBlock(info, samples.data(), blocks), -1);
        QCOMPARE(readStoredBlock(info, samples.data(), -1), -1);
    }
};

QTEST_APPLESS_MAIN(TestFilesWriter)
#include "test_files_writer.moc"
