// The spectral AC figures against signals of known make-up: the THD and SNR
// the signal was built with (harmonic levels, the power of the Gaussian
// noise actually added), not figures from the code under test.
#include "acperf.h"
#include "test_analysis_signals.h"

#include <QtTest>

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

} // namespace

Q_DECLARE_METATYPE(TestTone)

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
