// The spectral AC figures against signals of known make-up: the THD and SNR
// the signal was built with (harmonic levels, the power of the Gaussian
// noise actually added), not figures from the code under test.
#include "acperf.h"
#include "test_analysis_signals.h"

#include <QtTest>

#include <limits>

namespace {

struct Figures
{
    double thd, sinad, snr, sfdr, enob;
};

Figures measure(const TestTone &tone, const TestSignal &s, int padding = 1)
{
    const double fs = 48000.0;
    const std::vector<double> t = scanTimes(tone.N, fs);
    acperf a(tone.N, t.data(), s.samples.data(), fs, padding);
    Figures f{};
    a.acFigures(&f.thd, &f.sinad, &f.snr, &f.sfdr, &f.enob);
    return f;
}

// SINAD from THD and SNR: distortion and noise powers added.
double sinadOf(double thdDb, double snrDb)
{
    return -10.0 * std::log10(std::pow(10.0, thdDb / 10.0) + std::pow(10.0, -snrDb / 10.0));
}

// Rounds every sample to the nearest step of a converter with `bits` bits
// over +-fullScale.
void quantise(TestSignal &s, int bits, double fullScale)
{
    const double lsb = 2.0 * fullScale / std::pow(2.0, bits);
    for (double &v : s.samples)
        v = std::round(v / lsb) * lsb;
}

// What a row of the accuracy table expects; NaN: not checked.
struct Expected
{
    double snrTolerance, sinadTolerance, thdTolerance, sfdrTolerance, enobTolerance;
};

const double unchecked = std::numeric_limits<double>::quiet_NaN();

// The card's input range, +-10.24 V, and its 24 bits.
const double fullScale = 10.24;
const int cardBits = 24;

} // namespace

Q_DECLARE_METATYPE(TestTone)
Q_DECLARE_METATYPE(Expected)

class TestAnalysisAcFigures : public QObject
{
    Q_OBJECT

private slots:
    // One block of N = 8192. Tolerances: the SNR estimate of one noise
    // realisation spreads by about 0.12 dB (some 1500 independent bins under
    // the window), so 0.5 dB; THD of -60 to -64 dB against noise 120 dB
    // down moves by less than 0.01 dB, so 0.1 dB.
    void figuresMatchTruth_data()
    {
        QTest::addColumn<TestTone>("tone");
        QTest::addColumn<int>("padding");
        QTest::addColumn<double>("sfdr");

        // Harmonic 2 at -60 dBc, 130 dB SNR: the harmonic's whole main
        // lobe belongs to the distortion, none of it to the noise.
        TestTone second;
        second.harmonics = {{2, 1e-3}};
        second.noiseRms = noiseForSnr(1.0, 130.0);
        QTest::newRow("2nd harmonic -60 dBc") << second << 1 << 60.0;
        QTest::newRow("2nd harmonic -60 dBc, 5 x") << second << 5 << 60.0;

        // An offset of 1 % with a drift of 1 % over the block: what is left
        // of them sits in the window's DC lobe, which is not noise.
        TestTone offset;
        offset.offset = 0.01;
        offset.drift = 0.01;
        offset.harmonics = {{3, 1e-4}};
        offset.noiseRms = noiseForSnr(1.0, 120.0);
        QTest::newRow("offset and drift 1 %") << offset << 1 << 80.0;
        QTest::newRow("offset and drift 1 %, 2 x") << offset << 2 << 80.0;

        // A tone 0.45 bins off its bin with harmonics up to the 30th, where
        // the bin frequency's error has grown to 13.5 bins.
        TestTone high;
        high.cycles = 100.45;
        high.harmonics = {{5, 3.16e-4}, {15, 3.16e-4}, {28, 3.16e-4}, {30, 3.16e-4}};
        high.noiseRms = noiseForSnr(1.0, 120.0);
        QTest::newRow("harmonics up to the 30th") << high << 1 << 70.0;
    }
    void figuresMatchTruth()
    {
        QFETCH(TestTone, tone);
        QFETCH(int, padding);
        QFETCH(double, sfdr);
        const TestSignal s = synthesize(tone);
        const Figures f = measure(tone, s, padding);
        const double snr = trueSnrDb(tone, s), thd = trueThdDb(tone);
        const QString got = QString("THD %1 (true %2), SNR %3 (true %4), SINAD %5, SFDR %6")
                                .arg(f.thd)
                                .arg(thd)
                                .arg(f.snr)
                                .arg(snr)
                                .arg(f.sinad)
                                .arg(f.sfdr);
        QVERIFY2(std::fabs(f.snr - snr) < 0.5, qPrintable(got));
        QVERIFY2(std::fabs(f.thd - thd) < 0.1, qPrintable(got));
        QVERIFY2(std::fabs(f.sinad - sinadOf(thd, snr)) < 0.1, qPrintable(got));
        QVERIFY2(std::fabs(f.enob - (sinadOf(thd, snr) - 1.76) / 6.02) < 0.02, qPrintable(got));
        // The largest spur is the largest harmonic; scalloping of a tone off
        // its bin moves the peak bins by a few tenths of a dB.
        QVERIFY2(std::fabs(f.sfdr - sfdr) < 0.5, qPrintable(got));
    }

    // The noise left in the bins that were not cleared stands for the whole
    // band. Mean over 32 noise realisations; its spread is 0.36 / sqrt(32)
    // dB at N = 1024 and 0.12 / sqrt(32) dB at N = 8192. At N = 1024 the
    // spans of the harmonics that hold only noise are centred on their
    // largest noise bin, which costs the estimate about 0.2 dB; hence the
    // wider tolerance there.
    void noiseStandsForTheWholeBand_data()
    {
        QTest::addColumn<int>("N");
        QTest::addColumn<double>("cycles");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("N 1024") << 1024 << 40.37 << 0.5;
        QTest::newRow("N 8192") << 8192 << 400.3 << 0.1;
    }
    void noiseStandsForTheWholeBand()
    {
        QFETCH(int, N);
        QFETCH(double, cycles);
        QFETCH(double, tolerance);
        double sum = 0.0;
        const int runs = 32;
        for (int seed = 1; seed <= runs; ++seed) {
            TestTone tone;
            tone.N = N;
            tone.cycles = cycles;
            tone.noiseRms = noiseForSnr(1.0, 100.0);
            tone.seed = uint64_t(seed);
            const TestSignal s = synthesize(tone);
            sum += measure(tone, s).snr - trueSnrDb(tone, s);
        }
        QVERIFY2(std::fabs(sum / runs) < tolerance, qPrintable(QString("mean SNR error %1 dB").arg(sum / runs)));
    }

    // Above a half of the Nyquist frequency no harmonic is evaluated: THD is
    // 0 % (minus infinity dB) and SINAD equals SNR.
    void noHarmonicsBelowNyquist()
    {
        TestTone tone;
        tone.cycles = 3000.2;
        tone.noiseRms = noiseForSnr(1.0, 90.0);
        const TestSignal s = synthesize(tone);
        const Figures f = measure(tone, s);
        QVERIFY(std::isinf(f.thd) && f.thd < 0);
        QCOMPARE(f.sinad, f.snr);
        QVERIFY(std::fabs(f.snr - trueSnrDb(tone, s)) < 0.5);
    }

    // Accuracy at N = 8192 with fixed seeds, against the make-up of the
    // signal: the SNR of the noise actually added (for a quantised sine the
    // ideal converter's 6.02 bits + 1.76 dB), the THD and the largest
    // harmonic it was built with. One noise realisation spreads the SNR
    // estimate by about 0.12 dB.
    void accuracyTargets_data()
    {
        QTest::addColumn<TestTone>("tone");
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("bits"); // 0: not quantised
        QTest::addColumn<Expected>("expected");

        const Expected noise = {0.3, 0.3, unchecked, unchecked, unchecked};
        for (double cycles : {100.0, 100.37, 1000.5, 2500.25}) {
            TestTone tone;
            tone.cycles = cycles;
            tone.noiseRms = noiseForSnr(1.0, 100.0);
            tone.seed = 7;
            QTest::addRow("white noise, %g bins", cycles) << tone << 1 << 0 << noise;
        }
        TestTone padded;
        padded.cycles = 100.37;
        padded.noiseRms = noiseForSnr(1.0, 100.0);
        QTest::newRow("white noise, 100.37 bins, 5 x") << padded << 5 << 0 << noise;

        // -60 and -70.5 dBc; the SFDR is the 2nd harmonic's 60 dB. Off
        // their bins the fundamental and the harmonic lie at different
        // fractions of a bin (at 1234.56 bins 0.44 and 0.12), where their
        // largest bins differ by 0.35 dB.
        TestTone harmonics;
        harmonics.cycles = 401.0;
        harmonics.harmonics = {{2, 1e-3}, {3, std::pow(10.0, -70.5 / 20.0)}};
        harmonics.noiseRms = noiseForSnr(1.0, 130.0);
        QTest::newRow("2nd and 3rd harmonics, coherent") << harmonics << 1 << 0 << Expected{1.0, 0.3, 0.1, 0.02, unchecked};
        harmonics.cycles = 400.3;
        QTest::newRow("2nd and 3rd harmonics, 400.3 bins") << harmonics << 1 << 0 << Expected{1.0, 0.3, 0.1, 0.2, unchecked};
        harmonics.cycles = 1234.56;
        QTest::newRow("2nd and 3rd harmonics, 1234.56 bins") << harmonics << 1 << 0 << Expected{1.0, 0.3, 0.1, 0.2, unchecked};

        // Full scale less one step of 24 bits; an odd number of periods so
        // that the coherent one meets every phase once.
        const Expected converter = {0.5, 0.5, unchecked, unchecked, 0.05};
        TestTone quantised;
        quantised.amplitude = fullScale - 2.0 * fullScale / std::pow(2.0, cardBits);
        quantised.cycles = 1001.0;
        QTest::newRow("24 bits, coherent") << quantised << 1 << cardBits << converter;
        quantised.cycles = 1000.37;
        QTest::newRow("24 bits, 1000.37 bins") << quantised << 1 << cardBits << converter;
        quantised.cycles = 101.0;
        QTest::newRow("24 bits, coherent, 30 harmonics") << quantised << 1 << cardBits << converter;
        quantised.cycles = 100.37;
        QTest::newRow("24 bits, 100.37 bins") << quantised << 1 << cardBits << converter;
    }
    void accuracyTargets()
    {
        QFETCH(TestTone, tone);
        QFETCH(int, padding);
        QFETCH(int, bits);
        QFETCH(Expected, expected);
        TestSignal s = synthesize(tone);
        double snr = trueSnrDb(tone, s);
        if (bits > 0) {
            quantise(s, bits, fullScale);
            snr = 6.02 * bits + 1.76;
        }
        const double thd = trueThdDb(tone), sinad = sinadOf(thd, snr);
        double largest = 0.0;
        for (const auto &h : tone.harmonics)
            largest = std::max(largest, h.second);
        const Figures f = measure(tone, s, padding);
        const QString got = QString("THD %1 (true %2), SNR %3 (true %4), SINAD %5 (true %6), SFDR %7, ENOB %8")
                                .arg(f.thd).arg(thd).arg(f.snr, 0, 'f', 3).arg(snr, 0, 'f', 3)
                                .arg(f.sinad, 0, 'f', 3).arg(sinad, 0, 'f', 3).arg(f.sfdr, 0, 'f', 3).arg(f.enob, 0, 'f', 3);
        QVERIFY2(std::fabs(f.snr - snr) <= expected.snrTolerance, qPrintable(got));
        QVERIFY2(std::fabs(f.sinad - sinad) <= expected.sinadTolerance, qPrintable(got));
        if (!std::isnan(expected.thdTolerance))
            QVERIFY2(std::fabs(f.thd - thd) <= expected.thdTolerance, qPrintable(got));
        if (!std::isnan(expected.sfdrTolerance))
            QVERIFY2(std::fabs(f.sfdr + 20.0 * std::log10(largest)) <= expected.sfdrTolerance, qPrintable(got));
        if (!std::isnan(expected.enobTolerance))
            QVERIFY2(std::fabs(f.enob - (sinad - 1.76) / 6.02) <= expected.enobTolerance, qPrintable(got));
    }

    // A clean tone's only spurs are the window's side lobes, some 175 dB
    // down: neither what is left of an offset nor the rounding of the bin
    // frequencies (sums of df, here with df = 100.1 / 8192 Hz) may put a
    // bin of the DC lobe or of the tone's own main lobe in their place.
    void sfdrOfCleanTones_data()
    {
        QTest::addColumn<TestTone>("tone");
        QTest::addColumn<double>("fs");
        TestTone onOffset;
        onOffset.cycles = 400.0;
        onOffset.offset = 1.0;
        QTest::newRow("1 V on 1 V DC") << onOffset << 48000.0;
        onOffset.cycles = 12.3;
        QTest::newRow("1 V on 1 V DC, 12.3 bins") << onOffset << 48000.0;
        for (double cycles : {100.3, 1000.37, 1234.56, 2000.5}) {
            TestTone clean;
            clean.cycles = cycles;
            QTest::addRow("%g bins at 100.1 Hz", cycles) << clean << 100.1;
        }
    }
    void sfdrOfCleanTones()
    {
        QFETCH(TestTone, tone);
        QFETCH(double, fs);
        const TestSignal s = synthesize(tone);
        const std::vector<double> t = scanTimes(tone.N, fs);
        acperf a(tone.N, t.data(), s.samples.data(), fs, 1);
        double sfdr = 0;
        a.acFigures(nullptr, nullptr, nullptr, &sfdr, nullptr);
        QVERIFY2(sfdr > 160.0, qPrintable(QString("SFDR %1 dB").arg(sfdr)));
    }

    // When the DC lobe and the spans of the fundamental and its harmonics
    // take every bin, no noise is left to measure: SNR, SINAD and ENOB are
    // not numbers (the panel shows "-"), and nothing is divided by zero.
    void noNoiseBinLeft_data()
    {
        QTest::addColumn<int>("N");
        QTest::addColumn<double>("cycles");
        QTest::addColumn<int>("harmonics"); // orders 2 ... harmonics at -60 dBc
        QTest::addColumn<int>("noiseBins");
        // 16 bins: DC lobe 0 ... 7, the tone's span 1 ... 15.
        QTest::newRow("32 scans") << 32 << 8.0 << 1 << 0;
        // 128 bins: DC 0 ... 7 and 15 spans of 15 bins from bin 1 up.
        QTest::newRow("256 scans, 15 harmonics") << 256 << 8.0 << 15 << 0;
        // 4096 bins less DC (8) and 30 spans of 15: 3638 bins of noise.
        QTest::newRow("8192 scans, 30 harmonics") << 8192 << 100.0 << 1 << 4096 - 8 - 30 * 15;
    }
    void noNoiseBinLeft()
    {
        QFETCH(int, N);
        QFETCH(double, cycles);
        QFETCH(int, harmonics);
        QFETCH(int, noiseBins);
        TestTone tone;
        tone.N = N;
        tone.cycles = cycles;
        for (int order = 2; order <= harmonics; ++order)
            tone.harmonics.push_back({order, 1e-3});
        tone.noiseRms = 1e-3;
        const TestSignal s = synthesize(tone);
        const std::vector<double> t = scanTimes(N, 1000.0);
        acperf a(N, t.data(), s.samples.data(), 1000.0, 1);
        Figures f{};
        a.acFigures(&f.thd, &f.sinad, &f.snr, &f.sfdr, &f.enob);
        QCOMPARE(a.noiseBinCount(), noiseBins);
        for (double figure : {f.snr, f.sinad, f.enob})
            QCOMPARE(std::isnan(figure), noiseBins == 0);
    }

    // Without a fundamental (no bin above the DC region: N = 10) there are
    // no harmonics to look for; every bin belongs to the DC lobe.
    void noFundamentalNoHarmonics()
    {
        const std::vector<double> y = {0.1, 0.5, -0.2, 0.3, 0.9, -0.4, 0.0, 0.2, -0.1, 0.6};
        const std::vector<double> t = scanTimes(10, 100.0);
        acperf a(10, t.data(), y.data(), 100.0, 1);
        QCOMPARE(a.fundamentalFrequency(), 0.0);
        double thd = 0, sfdr = 0;
        a.acFigures(&thd, nullptr, nullptr, &sfdr, nullptr);
        QVERIFY(std::isnan(sfdr));
        QVERIFY2(std::isinf(thd) && thd < 0, qPrintable(QString::number(thd))); // no harmonic: 0 %
        QCOMPARE(a.noiseBinCount(), 0);
    }

    void nullOutputsAreAllowed()
    {
        TestTone tone;
        const TestSignal s = synthesize(tone);
        const std::vector<double> t = scanTimes(tone.N, 1000.0);
        acperf a(tone.N, t.data(), s.samples.data(), 1000.0, 1);
        double snr = 0;
        QVERIFY(a.acFigures(nullptr, nullptr, &snr, nullptr, nullptr));
        // Noiseless: only the far side lobes of the window are left.
        QVERIFY2(snr > 150, qPrintable(QString::number(snr)));
    }
};

QTEST_APPLESS_MAIN(TestAnalysisAcFigures)
#include "test_analysis_acfigures.moc"
