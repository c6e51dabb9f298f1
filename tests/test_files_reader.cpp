// The stored-file header parser and block reader on hand-made files: the
// rules of the header, size edge cases, and input that must be rejected
// without reading out of bounds or hanging.
#include "storedfile.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Standard output redirected into a file for the lifetime of the object.
class StdoutCapture
{
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        capture = std::tmpfile();
        dup2(fileno(capture), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }
    std::string text()
    {
        restore();
        std::string result;
        std::rewind(capture);
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, capture)) > 0)
            result.append(buffer, n);
        return result;
    }

private:
    void restore()
    {
        if (saved < 0)
            return;
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        saved = -1;
    }
    int saved = -1;
    FILE *capture = nullptr;
};

const std::string validHeader = "DEVICE=Trellin 6842\n"
                                "FORMAT=ViReal64\n"
                                "SAMPLING_RATE_HZ=1000.000000\n"
                                "NUMBER_OF_CHANNELS=2\n"
                                "NUMBER_OF_SCANS_PER_BLOCK=4\n"
                                "NUMBER_OF_FUNCTION_CARDS=1\n"
                                "CHANNEL_MASK_FC1=0x0005\n"
                                "TIME_OFFSET=0.000000\n"
                                "TIMESTAMPS=0\n"
                                "#\n";

bool isAllZero(const StoredFileInfo_t &info)
{
    StoredFileInfo_t zero;
    std::memset(&zero, 0, sizeof zero);
    return std::memcmp(&info, &zero, sizeof zero) == 0;
}

} // namespace

class TestFilesReader : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int fileNumber = 0;

    // Writes bytes to a fresh file and returns its path.
    QByteArray makeFile(const std::string &bytes)
    {
        const QByteArray path = QFile::encodeName(dir.filePath(QString("file%1.bin6842").arg(++fileNumber)));
        FILE *file = std::fopen(path.constData(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0)
            qFatal("cannot write %s", path.constData());
        return path;
    }

    // Parses a header (plus data bytes) and returns the result; info receives the record.
    int parse(const std::string &bytes, StoredFileInfo_t *info)
    {
        std::memset(info, 0x5a, sizeof *info); // the reader must clear it
        return readStoredFileHeaderQuiet(makeFile(bytes).constData(), info, nullptr);
    }

    int parse(const std::string &bytes)
    {
        StoredFileInfo_t info;
        return parse(bytes, &info);
    }

    static std::string replaced(std::string text, const std::string &from, const std::string &to)
    {
        const size_t at = text.find(from);
        if (at == std::string::npos)
            qFatal("test header has no %s", from.c_str());
        return text.replace(at, from.size(), to);
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void headerFieldsAndKeyRules()
    {
        StoredFileInfo_t info;
        QCOMPARE(parse(validHeader, &info), 0);
        QCOMPARE(info.rateHz, 1000.0);
        QCOMPARE(info.isReal64, 1);
        QCOMPARE(info.channelCount, 2u);
        QCOMPARE(info.scansPerBlock, 4);
        QCOMPARE(int(info.fcCount), 1);
        QCOMPARE(int(info.channelMask[0]), 5);
        QCOMPARE(int(info.channelMask[1]), 0);
        QCOMPARE(storedMaskedChannelCount(info), 2u);
        QCOMPARE(info.dataOffset, uint64_t(validHeader.size()));
        QCOMPARE(info.dataBytes, uint64_t(0));
        QCOMPARE(info.sampleBytes, uint64_t(64));
        QCOMPARE(info.blockCount, uint64_t(0));

        // Values end at the first character outside letters, digits, "." and
        // "-"; unknown keys, lower-case keys, blank and key-less lines are skipped;
        // line ends may carry a carriage return.
        const std::string loose = "DEVICE=anything at all\r\n"
                                  "FORMAT=ViReal64\r\n"
                                  "\n"
                                  "just a note\n"
                                  "sampling_rate_hz=5\n"
                                  "VENDOR_KEY=abc\n"
                                  "SAMPLING_RATE_HZ=2500.5 Hz\n"
                                  "NUMBER_OF_CHANNELS=3channels\n"
                                  "NUMBER_OF_SCANS_PER_BLOCK=10\r\n"
                                  "NUMBER_OF_FUNCTION_CARDS=2\n"
                                  "CHANNEL_MASK_FC2=8001\n"
                                  "CHANNEL_MASK_FC1=0x0001\n"
                                  "CHANNEL_MASK_FC1=0x0002\n"
                                  "TIME_OFFSET=-1.5e-3\n"
                                  "TIMESTAMPS=1\n"
                                  "#rest of the end line\n";
        QCOMPARE(parse(loose + "0123", &info), 0);
        QCOMPARE(info.rateHz, 2500.5);
        QCOMPARE(info.channelCount, 3u);
        QCOMPARE(info.scansPerBlock, 10);
        QCOMPARE(int(info.channelMask[0]), 2); // the later line wins
        QCOMPARE(int(info.channelMask[1]), 0x8001);
        QCOMPARE(storedMaskedChannelCount(info), 3u);
        QCOMPARE(info.timeOffset, -1.5e-3);
        QCOMPARE(int(info.hasTimestamps), 1);
        QCOMPARE(info.stampBytes, uint64_t(40));
        QCOMPARE(info.blockBytes, uint64_t(3 * 10 * 8 + 80));
        QCOMPARE(info.dataOffset, uint64_t(loose.size()));
        QCOMPARE(info.dataBytes, uint64_t(4));

        // A NUL byte ends what the line says.
        QCOMPARE(parse(replaced(validHeader, "CHANNELS=2\n", std::string("CHANNELS=2\0" "7\n", 13)), &info), 0);
        QCOMPARE(info.channelCount, 2u);
    }

    void formatDecidesSampleSize()
    {
        StoredFileInfo_t info;
        QCOMPARE(parse(replaced(validHeader, "FORMAT=ViReal64", "FORMAT=ViReal32")), -1);
        QCOMPARE(parse(replaced(validHeader, "FORMAT=ViReal64", "FORMAT=")), -1);
        QCOMPARE(parse(replaced(validHeader, "FORMAT=ViReal64", "FORMAT=ViReal64x")), -1);

        // Without a FORMAT line samples are 4-byte floats.
        const std::string header = replaced(validHeader, "FORMAT=ViReal64\n", "");
        const float block[8] = {0.5f, -1.25f, 3.0f, 10.24f, -0.0f, 7.0f, 1e-3f, -2.0f};
        std::string bytes = header;
        bytes.append(reinterpret_cast<const char *>(block), sizeof block);
        bytes.append(reinterpret_cast<const char *>(block), sizeof block);
        QCOMPARE(parse(bytes, &info), 0);
        QCOMPARE(info.isReal64, 0);
        QCOMPARE(info.sampleBytes, uint64_t(32));
        QCOMPARE(info.blockCount, uint64_t(2));
        std::vector<unsigned char> raw(info.sampleBytes + 1);
        QCOMPARE(readStoredBlock(info, raw.data() + 1, 1), 1); // any alignment
        double volts[8];
        storedSamplesToVolts(info, raw.data() + 1, volts, 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(volts[i], double(block[i]));
    }

    void cardCountAndMasks()
    {
        // The mask of a card needs the card count first, card numbers 1 ... count ... 256.
        const std::string noCount = replaced(validHeader, "NUMBER_OF_FUNCTION_CARDS=1\n", "");
        QCOMPARE(parse(replaced(noCount, "TIMESTAMPS=0\n", "TIMESTAMPS=0\nNUMBER_OF_FUNCTION_CARDS=1\n")), -1);
        QCOMPARE(parse(replaced(validHeader, "CHANNEL_MASK_FC1", "CHANNEL_MASK_FC2")), -1);
        QCOMPARE(parse(replaced(validHeader, "CHANNEL_MASK_FC1", "CHANNEL_MASK_FC0")), -1);
        QCOMPARE(parse(replaced(validHeader, "CHANNEL_MASK_FC1", "CHANNEL_MASK_FC")), -1);
        QCOMPARE(parse(replaced(validHeader, "CHANNEL_MASK_FC1", "CHANNEL_MASK_FC99999999999999999999")), -1);
        QCOMPARE(parse(replaced(validHeader, "=0x0005", "=0x10000")), -1);
        QCOMPARE(parse(replaced(validHeader, "=0x0005", "=-1")), -1);
        QCOMPARE(parse(replaced(validHeader, "=0x0005", "=zz")), -1);

        StoredFileInfo_t info;
        std::string sixtyFour = replaced(validHeader, "CARDS=1", "CARDS=64");
        sixtyFour = replaced(sixtyFour, "CHANNEL_MASK_FC1=0x0005", "CHANNEL_MASK_FC64=0xBEEF");
        QCOMPARE(parse(sixtyFour, &info), 0);
        QCOMPARE(int(info.fcCount), 64);
        QCOMPARE(int(info.channelMask[63]), 0xBEEF);
        QCOMPARE(storedMaskedChannelCount(info), 13u); // only the cards the file has count
        info.fcCount = 63;
        QCOMPARE(storedMaskedChannelCount(info), 0u);
        QCOMPARE(parse(replaced(sixtyFour, "FC64=", "FC65=")), -1);
        // Sessions hold up to 256 cards; more, also where an 8-bit count would
        // wrap to a small one, are refused.
        const std::string allCards = replaced(sixtyFour, "CARDS=64\nCHANNEL_MASK_FC64", "CARDS=256\nCHANNEL_MASK_FC256");
        QCOMPARE(parse(allCards, &info), 0);
        QCOMPARE(int(info.fcCount), 256);
        QCOMPARE(int(info.channelMask[255]), 0xBEEF);
        QCOMPARE(parse(replaced(allCards, "FC256=", "FC257=")), -1);
        QCOMPARE(parse(replaced(validHeader, "CARDS=1", "CARDS=257")), -1);
        QCOMPARE(parse(replaced(validHeader, "CARDS=1", "CARDS=-1")), -1);
    }

    void knownKeysMustConvert()
    {
        QCOMPARE(parse(replaced(validHeader, "RATE_HZ=1000.000000", "RATE_HZ=fast")), -1);
        QCOMPARE(parse(replaced(validHeader, "RATE_HZ=1000.000000", "RATE_HZ=")), -1);
        QCOMPARE(parse(replaced(validHeader, "RATE_HZ=1000.000000", "RATE_HZ=1e999")), -1);
        QCOMPARE(parse(replaced(validHeader, "RATE_HZ=1000.000000", "RATE_HZ=nan")), -1);
        QCOMPARE(parse(replaced(validHeader, "CHANNELS=2", "CHANNELS=two")), -1);
        QCOMPARE(parse(replaced(validHeader, "BLOCK=4", "BLOCK=")), -1);
        QCOMPARE(parse(replaced(validHeader, "OFFSET=0.000000", "OFFSET=x")), -1);
        QCOMPARE(parse(replaced(validHeader, "TIMESTAMPS=0", "TIMESTAMPS=yes")), -1);
        QCOMPARE(parse(replaced(validHeader, "TIMESTAMPS=0", "TIMESTAMPS=300")), -1);
    }

    void rateMustBePositive_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("result");
        QTest::newRow("zero") << "SAMPLING_RATE_HZ=0.000000\n" << -1;
        QTest::newRow("minus zero") << "SAMPLING_RATE_HZ=-0\n" << -1;
        QTest::newRow("negative") << "SAMPLING_RATE_HZ=-1000.000000\n" << -1;
        QTest::newRow("missing") << "" << -1;
        QTest::newRow("zero, then a rate") << "SAMPLING_RATE_HZ=0\nSAMPLING_RATE_HZ=50\n" << 0; // the later line wins
        QTest::newRow("small") << "SAMPLING_RATE_HZ=0.001\n" << 0;
    }

    void rateMustBePositive()
    {
        QFETCH(QString, line);
        QFETCH(int, result);
        StoredFileInfo_t info;
        QCOMPARE(parse(replaced(validHeader, "SAMPLING_RATE_HZ=1000.000000\n", line.toStdString()), &info), result);
        if (result != 0)
            QVERIFY(isAllZero(info));
    }

    void blockSizeMustBeReadable()
    {
        // Zero, negative or missing counts give no block.
        QCOMPARE(parse(replaced(validHeader, "CHANNELS=2", "CHANNELS=0")), -1);
        QCOMPARE(parse(replaced(validHeader, "CHANNELS=2", "CHANNELS=-2")), -1);
        QCOMPARE(parse(replaced(validHeader, "BLOCK=4", "BLOCK=0")), -1);
        QCOMPARE(parse(replaced(validHeader, "BLOCK=4", "BLOCK=-4")), -1);
        QCOMPARE(parse(replaced(validHeader, "NUMBER_OF_CHANNELS=2\n", "")), -1);
        QCOMPARE(parse(replaced(validHeader, "NUMBER_OF_SCANS_PER_BLOCK=4\n", "")), -1);
        QCOMPARE(parse(replaced(validHeader, "CHANNELS=2", "CHANNELS=99999999999")), -1);
        // Sample sizes beyond 32 bits, for doubles and for floats.
        std::string huge = replaced(validHeader, "CHANNELS=2", "CHANNELS=65536");
        QCOMPARE(parse(replaced(huge, "BLOCK=4", "BLOCK=65536")), -1);
        const std::string floats = replaced(validHeader, "FORMAT=ViReal64\n", "");
        huge = replaced(floats, "CHANNELS=2", "CHANNELS=1024");
        QCOMPARE(parse(replaced(huge, "BLOCK=4", "BLOCK=524288")), -1);
        // The largest block that still fits.
        StoredFileInfo_t info;
        huge = replaced(validHeader, "CHANNELS=2", "CHANNELS=1");
        QCOMPARE(parse(replaced(huge, "BLOCK=4", "BLOCK=268435455"), &info), 0);
        QCOMPARE(info.sampleBytes, uint64_t(2147483640));
    }

    void lineLimits()
    {
        // 1025 lines before the end line are accepted, 1026 are not.
        std::string filler;
        for (int i = 0; i < 1025 - 9; ++i)
            filler += "COMMENT=x\n";
        const std::string atLimit = filler + validHeader;
        QCOMPARE(parse(atLimit), 0);
        QCOMPARE(parse("COMMENT=x\n" + atLimit), -1);

        // The tail of an overlong line is not a line of its own.
        StoredFileInfo_t info;
        const std::string overlong = std::string(254, 'x') + "NUMBER_OF_CHANNELS=7\n";
        QCOMPARE(parse(overlong + validHeader, &info), 0);
        QCOMPARE(info.channelCount, 2u);
        QCOMPARE(parse(replaced(validHeader, "#\n", overlong + "#\n"), &info), 0);
        QCOMPARE(info.channelCount, 2u);
        // A line of exactly 254 characters is followed by the next one as usual.
        QCOMPARE(parse(std::string(254, 'x') + "\nNUMBER_OF_CHANNELS=7\n" + replaced(validHeader, "NUMBER_OF_CHANNELS=2\n", ""), &info), 0);
        QCOMPARE(info.channelCount, 7u);
        // An overlong end line ends where its line end is.
        const std::string longEnd = replaced(validHeader, "#\n", "#" + std::string(1000, '#') + "\n");
        QCOMPARE(parse(longEnd + "12345678", &info), 0);
        QCOMPARE(info.dataOffset, uint64_t(longEnd.size()));
        QCOMPARE(info.dataBytes, uint64_t(8));
        // Megabytes without a line end: read through, no hang, no header.
        QCOMPARE(parse(std::string(8 << 20, 'A')), -1);
    }

    void withoutEndLineTheWholeFileIsData()
    {
        StoredFileInfo_t info;
        std::string header = replaced(validHeader, "#\n", "");
        header = replaced(header, "CHANNELS=2", "CHANNELS=1");
        header = replaced(header, "BLOCK=4", "BLOCK=1");
        QCOMPARE(parse(header, &info), 0);
        QCOMPARE(info.dataOffset, uint64_t(0));
        QCOMPARE(info.dataBytes, uint64_t(header.size()));
        QCOMPARE(info.blockCount, uint64_t(header.size() / 8));
    }

    void emptyDataAndPartialBlocks()
    {
        // No data bytes: parses, nothing to read, no warning.
        StoredFileInfo_t info;
        {
            StdoutCapture out;
            QCOMPARE(readStoredFileHeader(makeFile(validHeader).constData(), &info), 0);
            QCOMPARE(QString::fromStdString(out.text()), QString());
        }
        QCOMPARE(info.blockCount, uint64_t(0));
        double samples[8] = {};
        QCOMPARE(readStoredBlock(info, samples, 0), -1);

        // Two whole blocks and five bytes more: warned, and the part block never offered.
        std::string bytes = validHeader;
        for (int i = 0; i < 16; ++i) {
            const double value = i * 0.25;
            bytes.append(reinterpret_cast<const char *>(&value), 8);
        }
        bytes += "12345";
        const QByteArray path = makeFile(bytes);
        {
            StdoutCapture out;
            QCOMPARE(readStoredFileHeader(path.constData(), &info), 0);
            QCOMPARE(QString::fromStdString(out.text()), QString("Warning. The binary data seems corrupt.\n"));
        }
        QCOMPARE(info.blockCount, uint64_t(2));
        QCOMPARE(info.dataBytes, uint64_t(2 * 64 + 5));
        QCOMPARE(readStoredBlock(info, samples, 1), 1);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(samples[i], (8 + i) * 0.25);
        QCOMPARE(readStoredBlock(info, samples, 2), -1);

        // The quiet variant reports the trailing bytes instead of printing.
        uint64_t trailing = 0;
        StdoutCapture out;
        QCOMPARE(readStoredFileHeaderQuiet(path.constData(), &info, &trailing), 0);
        QCOMPARE(QString::fromStdString(out.text()), QString());
        QCOMPARE(trailing, uint64_t(5));
    }

    void unreadableFiles()
    {
        StoredFileInfo_t info;
        QCOMPARE(parse("", &info), -1);
        QVERIFY(isAllZero(info)); // a rejected header leaves nothing half filled
        QCOMPARE(parse(replaced(validHeader, "FORMAT=ViReal64", "FORMAT=ViReal32"), &info), -1);
        QVERIFY(isAllZero(info));
        std::memset(&info, 0x5a, sizeof info);
        QCOMPARE(readStoredFileHeader(QFile::encodeName(dir.filePath("missing.bin6842")).constData(), &info), -1);
        QCOMPARE(info.fcCount, uint16_t(0x5a5a)); // not opened: untouched, as start-up's default card count lives there
        QCOMPARE(readStoredFileHeader(QFile::encodeName(dir.path()).constData(), &info), -1);
        QCOMPARE(readStoredFileHeader("/dev/zero", &info), -1); // endless, not a regular file
        QCOMPARE(readStoredFileHeader(nullptr, &info), -1);

        // A path too long for the record would fail at the first block; refused at once.
        const QByteArray good = makeFile(validHeader + std::string(64, '\0'));
        QCOMPARE(readStoredFileHeader(good.constData(), &info), 0);
        QByteArray longPath = dir.path().toLocal8Bit() + '/';
        while (longPath.size() < 300)
            longPath += "./";
        longPath += good.mid(good.lastIndexOf('/') + 1);
        QVERIFY(QFile::exists(QFile::decodeName(longPath)));
        QCOMPARE(readStoredFileHeader(longPath.constData(), &info), -1);

        // A block read of a file that has gone.
        QCOMPARE(readStoredFileHeader(good.constData(), &info), 0);
        QCOMPARE(info.blockCount, uint64_t(1));
        QVERIFY(QFile::remove(QFile::decodeName(good)));
        double samples[8];
        QCOMPARE(readStoredBlock(info, samples, 0), -1);
    }

    void noReadPermission()
    {
        if (geteuid() == 0)
            QSKIP("running as root, which may read any file");
        const QByteArray path = makeFile(validHeader);
        QCOMPARE(chmod(path.constData(), 0), 0);
        StoredFileInfo_t info;
        QCOMPARE(readStoredFileHeader(path.constData(), &info), -1);
    }

    void binaryGarbage()
    {
        // Random bytes, also behind a valid start: accepted or not, what is
        // accepted must describe the file consistently.
        std::mt19937 random(4711);
        for (int round = 0; round < 300; ++round) {
            std::string bytes = round % 2 ? validHeader.substr(0, random() % validHeader.size()) : std::string();
            const size_t length = random() % 3000;
            for (size_t i = 0; i < length; ++i)
                bytes += static_cast<char>(round % 3 ? random() : "=#\nAB0x"[random() % 7]);
            StoredFileInfo_t info;
            const int result = parse(bytes, &info);
            QVERIFY(result == 0 || result == -1);
            if (result == 0) {
                QVERIFY(info.dataOffset <= bytes.size());
                QCOMPARE(info.dataBytes, bytes.size() - info.dataOffset);
                QVERIFY(info.blockBytes > 0);
                QCOMPARE(info.blockCount, info.dataBytes / info.blockBytes);
            }
        }
        // Garbage behind a complete header is data, not header.
        std::string bytes = validHeader;
        for (int i = 0; i < 640; ++i)
            bytes += static_cast<char>(random());
        StoredFileInfo_t info;
        QCOMPARE(parse(bytes, &info), 0);
        QCOMPARE(info.blockCount, uint64_t(10));
    }

    void filesOfTwoGigabytesAndMore()
    {
        // A sparse file: 40000 blocks of 64 KiB put the last one beyond 2 GiB
        // (and beyond 4 GiB) without using the disk.
        std::string header = replaced(validHeader, "CHANNELS=2", "CHANNELS=8");
        header = replaced(header, "BLOCK=4", "BLOCK=1024");
        header = replaced(header, "TIMESTAMPS=0", "TIMESTAMPS=1");
        const QByteArray path = makeFile(header);
        const uint64_t blockBytes = 8 * 8 * 1024 + 2 * 4 * 1024;
        const uint64_t blocks = 80000;
        std::vector<double> last(8 * 1024);
        std::vector<int32_t> seconds(1024), nanos(1024);
        for (size_t i = 0; i < last.size(); ++i)
            last[i] = 1.0 + 0.001 * double(i);
        for (int i = 0; i < 1024; ++i) {
            seconds[i] = 42;
            nanos[i] = i;
        }
        {
            const int fd = open(path.constData(), O_WRONLY);
            QVERIFY(fd >= 0);
            const off_t position = off_t(header.size() + (blocks - 1) * blockBytes);
            QVERIFY(position > off_t(4) << 30);
            QCOMPARE(pwrite(fd, seconds.data(), 4096, position), ssize_t(4096));
            QCOMPARE(pwrite(fd, nanos.data(), 4096, position + 4096), ssize_t(4096));
            QCOMPARE(pwrite(fd, last.data(), last.size() * 8, position + 8192), ssize_t(last.size() * 8));
            close(fd);
        }
        StoredFileInfo_t info;
        QCOMPARE(readStoredFileHeader(path.constData(), &info), 0);
        QCOMPARE(info.blockCount, blocks);
        QCOMPARE(info.dataBytes, blocks * blockBytes);
        std::vector<double> samples(last.size());
        QCOMPARE(readStoredBlock(info, samples.data(), int64_t(blocks - 1)), 1);
        QVERIFY(samples == last);
        std::vector<int32_t> readSeconds(1024), readNanos(1024);
        QCOMPARE(readStoredBlockStamps(info, samples.data(), readSeconds.data(), readNanos.data(), int64_t(blocks - 1)), 1);
        QVERIFY(readSeconds == seconds);
        QVERIFY(readNanos == nanos);
        QCOMPARE(readStoredBlock(info, samples.data(), int64_t(blocks / 2)), 1); // a hole reads as zeros
        QCOMPARE(samples[0], 0.0);
        QVERIFY(QFile::remove(QFile::decodeName(path)));
    }

    void blockReadsCheckTheRecord()
    {
        // The record arrives by value from anywhere: nonsense must not become a read.
        std::string bytes = validHeader + std::string(128, '\1');
        StoredFileInfo_t info;
        QCOMPARE(parse(bytes, &info), 0);
        double samples[8];
        StoredFileInfo_t bad = info;
        bad.blockCount = UINT64_MAX;
        bad.blockBytes = UINT64_MAX / 2;
        QCOMPARE(readStoredBlock(bad, samples, INT64_MAX - 1), -1);
        bad = info;
        bad.blockBytes = 1; // smaller than the samples it claims to hold
        QCOMPARE(readStoredBlock(bad, samples, 0), -1);
        bad = info;
        std::memset(bad.path, 'x', sizeof bad.path); // no terminating zero
        QCOMPARE(readStoredBlock(bad, samples, 0), -1);
        QCOMPARE(readStoredBlock(info, nullptr, 0), -1);
        int32_t stamps[4];
        QCOMPARE(readStoredBlockStamps(info, samples, stamps, stamps, 0), -1); // the file has none
        QCOMPARE(readStoredBlock(info, samples, 1), 1);
    }
};

QTEST_APPLESS_MAIN(TestFilesReader)
#include "test_files_reader.moc"
