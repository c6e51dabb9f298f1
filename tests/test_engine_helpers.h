// Helpers shared by the streaming and recorder tests: the layout both record
// (two simulated cards, four channels), the simulator's formula for it, and
// the checks of a recorded file: binary read back with the stored-file
// reader, CSV compared with text printed here with printf, a trend log's
// blocks each accounted for once.
#ifndef TEST_ENGINE_HELPERS_H
#define TEST_ENGINE_HELPERS_H

#include "storedfile.h"
#include "test_sim_helpers.h"
#include "test_trend_helpers.h"

#include <QFile>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <vector>

const double rate = 10000;
const int scans = 256;
// Card 1: channels 1 and 3; card 2: channels 1 and 16.
const std::vector<uint16_t> masks = {0x0005, 0x8001};
const int channelCount = 4;

struct Channel {
    int fc, channel; // both from 1
};
const Channel channels[channelCount] = {{1, 1}, {1, 3}, {2, 1}, {2, 16}};

// Values of one channel for scans first ... first+count-1, from the formula.
inline std::vector<double> expectedVolts(const Channel &c, int64_t first, int count)
{
    std::vector<double> v(size_t(count), 0.0);
    trellinSimExpectedVolts(nullptr, "VXI0::2::INSTR", c.fc, c.channel, 1, 1, 0, rate, first, count, v.data());
    return v;
}

// The binary file holds exactly `blocks` blocks (-1: any whole number but 0)
// of the run from block firstBlock on,
// without gap or repetition: samples equal to the formula, time stamps one
// scan period apart from the first. *firstNs (when given) is the stamp of
// the run's scan 0: taken from this file's first block when it is -1, else
// the reference the stamps are checked against.
inline void verifyBinary(const QString &path, int blocks, bool stamps, int firstBlock = 0, int64_t *runStartNs = nullptr)
{
    StoredFileInfo_t info;
    QCOMPARE(readStoredFileHeader(path.toLocal8Bit().constData(), &info), 0);
    QCOMPARE(info.channelCount, uint32_t(channelCount));
    QCOMPARE(info.scansPerBlock, scans);
    QCOMPARE(info.rateHz, rate);
    QCOMPARE(int(info.fcCount), 2);
    QCOMPARE(info.channelMask[0], uint16_t(0x0005));
    QCOMPARE(info.channelMask[1], uint16_t(0x8001));
    QCOMPARE(int(info.hasTimestamps), stamps ? 1 : 0);
    if (blocks < 0) {
        blocks = int(info.blockCount);
        QVERIFY(blocks > 0);
    }
    QCOMPARE(info.blockCount, uint64_t(blocks));
    QCOMPARE(info.dataBytes, info.blockBytes * uint64_t(blocks));
    // The time of the file's first sample, to the microsecond the header holds.
    QVERIFY(std::abs(info.timeOffset - firstBlock * scans / rate) <= 0.5e-6);

    std::vector<double> samples(size_t(channelCount * scans));
    std::vector<int32_t> sec(static_cast<size_t>(scans)), ns(static_cast<size_t>(scans));
    int64_t ownStart = -1;
    int64_t &startNs = runStartNs ? *runStartNs : ownStart;
    for (int k = 0; k < blocks; ++k) {
        const int result = stamps ? readStoredBlockStamps(info, samples.data(), sec.data(), ns.data(), k)
                                  : readStoredBlock(info, samples.data(), k);
        QCOMPARE(result, 1);
        const int64_t first = int64_t(firstBlock + k) * scans;
        for (int o = 0; o < channelCount; ++o) {
            const std::vector<double> expected = expectedVolts(channels[o], first, scans);
            if (!std::equal(expected.begin(), expected.end(), samples.begin() + o * scans))
                QFAIL(qPrintable(QString("block %1, channel %2 differs from the formula").arg(firstBlock + k).arg(o)));
        }
        if (!stamps)
            continue;
        for (int i = 0; i < scans; ++i) {
            const int64_t t = int64_t(sec[size_t(i)]) * 1000000000LL + ns[size_t(i)];
            const int64_t scan = first + i;
            if (startNs < 0)
                startNs = t - trellinSimScanOffsetNs(rate, scan);
            if (t - startNs != trellinSimScanOffsetNs(rate, scan))
                QFAIL(qPrintable(QString("time stamp of scan %1 is off").arg(scan)));
        }
    }
}

// The trend log of the test layout's four channels.
inline void verifyTrendCoverage(const QString &path, int blocks, std::vector<TrendRow> *rows = nullptr,
                                std::vector<TrendEntry> *skips = nullptr)
{
    std::vector<std::pair<int, int>> enabled;
    for (const Channel &c : channels)
        enabled.emplace_back(c.fc, c.channel);
    verifyTrendCoverage(path, blocks, enabled, rows, skips);
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The CSV text of blocks firstBlock ... firstBlock+blocks-1, printed here with printf.
inline QByteArray expectedCsv(int blocks, bool millivolts, int firstBlock = 0)
{
    QByteArray text = millivolts ? "Units: mV\n" : "Units: V\n";
    text += "Sampling rate: 10000.000000 Hz\n";
    for (const Channel &c : channels)
        text += QByteArray("FC") + QByteArray::number(c.fc) + "_CH" + QByteArray::number(c.channel) + ", ";
    text += "\n";
    char field[64];
    for (int k = firstBlock; k < firstBlock + blocks; ++k) {
        std::vector<std::vector<double>> v;
        for (const Channel &c : channels)
            v.push_back(expectedVolts(c, int64_t(k) * scans, scans));
        for (int i = 0; i < scans; ++i) {
            for (int o = 0; o < channelCount; ++o) {
                const double x = v[size_t(o)][size_t(i)];
                if (millivolts)
                    std::snprintf(field, sizeof field, "%.3lf, ", x * 1000.0);
                else
                    std::snprintf(field, sizeof field, "%.6lf, ", x);
                text += field;
            }
            text += "\n";
        }
    }
    return text;
}


#endif
