// Spectrum averaging and averaged figures against known answers: white
// noise of known RMS, whose power per bin follows a known distribution,
// and sequences of values whose means are worked out here.
#include "displaySpectrum.h"
#include "figureAveraging.h"
#include "powerAveraging.h"
#include "test_analysis_signals.h"
#include "windowFunction.h"

#include <QtTest>

namespace {

const int scans = 2048;

AveragingKey keyFor(int window = windowRectangular)
{
    AveragingKey key;
    key.channelMasks = {0x0001};
    key.rateHz = 51200.0;
    key.scans = scans;
    key.window = window;
    return key;
}

// The power spectrum of a block of white noise, rectangular window.
std::vector<double> noisePower(double rms, uint64_t seed)
{
    TestTone tone;
    tone.N = scans;
    tone.amplitude = 0.0;
    tone.noiseRms = rms;
    tone.seed = seed;
    const std::vector<double> samples = synthesize(tone).samples;
    std::vector<double> window(size_t(scans), 1.0), power;
    amplitudeSpectrumPower(samples.data(), window.data(), scans, 1, power);
    return power;
}

// Feeds `blocks` blocks of noise into averager's channel 0; returns the last result.
std::vector<double> feed(SpectrumAverager &averager, int blocks, double rms, uint64_t firstSeed = 1)
{
    std::vector<double> power;
    for (int b = 0; b < blocks; ++b) {
        averager.beginBlock(keyFor(), 1);
        power = noisePower(rms, firstSeed + uint64_t(b));
        averager.add(0, power);
    }
    return power;
}

} // namespace

class TestAnalysisAveraging : public QObject
{
    Q_OBJECT

private slots:
    // The mean power per bin of white noise of RMS sigma is 4 sigma^2 / N
    // (rectangular window, re 1 V peak); the dB values of a power averaged
    // over n blocks spread by the standard deviation of 10 log10 of a
    // Gamma(n) variable: 5.57 dB for n = 1, about 4.34 / sqrt(n) dB beyond.
    void linearAverageStatistics_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::addColumn<double>("spreadDb");
        QTest::newRow("1 block") << 1 << 5.57;
        QTest::newRow("16 blocks") << 16 << 1.10;
        QTest::newRow("256 blocks") << 256 << 0.27;
    }
    void linearAverageStatistics()
    {
        QFETCH(int, blocks);
        QFETCH(double, spreadDb);
        const double rms = 1e-3;
        SpectrumAverager averager;
        averager.setMode(AveragingMode::linear, std::max(blocks, averagingMinCount));
        const std::vector<double> power = feed(averager, blocks, rms);
        QCOMPARE(averager.countReached(), blocks);
        // Bins 1 ... K-1: bin 0 is real and spreads differently.
        double mean = 0.0, dBMean = 0.0, dBSquares = 0.0;
        const size_t bins = power.size() - 1;
        for (size_t k = 1; k <= bins; ++k) {
            const double d = 10 * std::log10(power[k]);
            mean += power[k];
            dBMean += d;
            dBSquares += d * d;
        }
        mean /= double(bins);
        dBMean /= double(bins);
        const double spread = std::sqrt(dBSquares / double(bins) - dBMean * dBMean);
        QVERIFY2(std::fabs(10 * std::log10(mean / (4 * rms * rms / scans))) < 0.2, qPrintable(QString::number(mean)));
        QVERIFY2(std::fabs(spread / spreadDb - 1) < 0.2, qPrintable(QString::number(spread)));
    }

    // Constant blocks 1, 2, 3, ... with count 3: linear holds the mean of
    // the first three; exponential goes on with weight 1/3; peak hold
    // keeps the largest.
    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QVector<double>>("expected"); // after each of 5 blocks
        QTest::addColumn<int>("reached");
        QTest::newRow("linear") << int(AveragingMode::linear) << QVector<double>{1, 1.5, 2, 2, 2} << 3;
        QTest::newRow("exponential") << int(AveragingMode::exponential)
                                     << QVector<double>{1, 1.5, 2, 2 + 2.0 / 3, 2 + 2.0 / 3 + (5 - 2 - 2.0 / 3) / 3} << 3;
        QTest::newRow("peak hold") << int(AveragingMode::peakHold) << QVector<double>{1, 2, 3, 4, 5} << 5;
        QTest::newRow("off") << int(AveragingMode::off) << QVector<double>{1, 2, 3, 4, 5} << 0;
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QVector<double>, expected);
        QFETCH(int, reached);
        SpectrumAverager averager;
        averager.setMode(AveragingMode(mode), 3);
        for (int b = 0; b < expected.size(); ++b) {
            averager.beginBlock(keyFor(), 1);
            std::vector<double> power(8, double(b + 1));
            averager.add(0, power);
            QVERIFY2(std::fabs(power[3] - expected[b]) < 1e-12, qPrintable(QString::number(power[3])));
        }
        QCOMPARE(averager.countReached(), reached);
    }

    // Peak hold of noise never decreases and is the largest block seen.
    void peakHoldNeverDecreases()
    {
        SpectrumAverager averager;
        averager.setMode(AveragingMode::peakHold, 10);
        std::vector<double> largest, previous;
        for (int b = 0; b < 20; ++b) {
            averager.beginBlock(keyFor(), 1);
            std::vector<double> power = noisePower(1e-3, uint64_t(b + 100));
            largest.resize(power.size(), 0.0);
            for (size_t k = 0; k < power.size(); ++k)
                largest[k] = std::max(largest[k], power[k]);
            averager.add(0, power);
            for (size_t k = 0; k < power.size(); ++k)
                QVERIFY(power[k] == largest[k] && (previous.empty() || power[k] >= previous[k]));
            previous = power;
        }
    }

    // Each change of what the spectrum depends on starts the averages again;
    // the same settings (a new Start) go on.
    void restarts_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("reached");
        QTest::newRow("nothing, as on Start") << 0 << 4;
        QTest::newRow("channels") << 1 << 1;
        QTest::newRow("rate") << 2 << 1;
        QTest::newRow("scans") << 3 << 1;
        QTest::newRow("window") << 4 << 1;
        QTest::newRow("padding") << 5 << 1;
        QTest::newRow("block of another length") << 6 << 1;
        QTest::newRow("Restart button") << 7 << 1;
        QTest::newRow("count") << 8 << 1;
    }
    void restarts()
    {
        QFETCH(int, change);
        QFETCH(int, reached);
        SpectrumAverager averager;
        averager.setMode(AveragingMode::linear, 64);
        std::vector<double> power;
        for (int b = 0; b < 3; ++b) {
            averager.beginBlock(keyFor(), 1);
            power.assign(16, 1.0);
            averager.add(0, power);
        }
        AveragingKey key = keyFor();
        switch (change) {
        case 1: key.channelMasks = {0x0003}; break;
        case 2: key.rateHz = 1000.0; break;
        case 3: key.scans = 1024; break;
        case 4: key.window = windowHann; break;
        case 5: key.padding = 2; break;
        case 7: averager.restart(); break;
        case 8: averager.setMode(AveragingMode::linear, 32); break;
        }
        averager.beginBlock(key, 1);
        power.assign(change == 6 ? 8 : 16, 5.0);
        averager.add(0, power);
        QCOMPARE(averager.countReached(), reached);
        QCOMPARE(power[0], reached == 1 ? 5.0 : 2.0);
    }

    // Mean and standard deviation over the last N blocks, worked out by hand.
    void figureAverages()
    {
        FigureAverager averager;
        averager.setCount(3);
        const double amplitudes[] = {1.0, 2.0, 4.0, 8.0};
        for (double a : amplitudes) {
            CardMeasurement m;
            m.mask = 0x0003;
            m.computed = true;
            m.figures[0].amplitude = a;
            m.figures[1].amplitude = 1000.0 + a * 1e-6;
            if (a == 2.0)
                setFigureMissing(m.figures[1], 5);
            averager.add(m);
        }
        QCOMPARE(averager.countReached(), 3);
        const FigureStatistics s = averager.statistics(0, 0); // 2, 4, 8
        QVERIFY(std::fabs(s.mean - 14.0 / 3) < 1e-12);
        QVERIFY(std::fabs(s.standardDeviation - std::sqrt(28.0 / 3)) < 1e-12);
        const FigureStatistics fine = averager.statistics(1, 0); // a spread of micro-hertz on 1000 Hz
        QVERIFY(std::fabs(fine.standardDeviation - std::sqrt(28.0 / 3) * 1e-6) < 1e-12);
        QVERIFY(figureMissing(averager.meanFigures(1), 5)); // missing in a block of the window
        CardMeasurement next;
        next.mask = 0x0003;
        next.computed = true;
        averager.add(next); // 4, 8, 0; the block without THD has left
        QVERIFY(!figureMissing(averager.meanFigures(1), 5));
        QVERIFY(std::fabs(averager.meanFigures(0).amplitude - 4.0) < 1e-12);
    }
};

QTEST_APPLESS_MAIN(TestAnalysisAveraging)
#include "test_analysis_averaging.moc"
