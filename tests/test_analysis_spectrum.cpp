// Transforms, windows, the display spectrum and the acperf spectrum, against
// a naive DFT and closed forms.
#include "acperf.h"
#include "displaySpectrum.h"
#include "fftPlan.h"
#include "test_analysis_signals.h"
#include "windowFunction.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <complex>
#include <stdexcept>
#include <thread>

namespace {

using Complex = std::complex<double>;

// The definition, summed in long double.
std::vector<Complex> naiveDft(const std::vector<Complex> &x)
{
    const size_t M = x.size();
    std::vector<Complex> X(M);
    const long double pi = std::acos(-1.0L);
    for (size_t k = 0; k < M; ++k) {
        long double re = 0, im = 0;
        for (size_t j = 0; j < M; ++j) {
            const long double angle = -2.0L * pi * static_cast<long double>((j * k) % M) / M;
            re += x[j].real() * std::cos(angle) - x[j].imag() * std::sin(angle);
            im += x[j].real() * std::sin(angle) + x[j].imag() * std::cos(angle);
        }
        X[k] = Complex(double(re), double(im));
    }
    return X;
}

std::vector<Complex> testInput(size_t length, bool real)
{
    std::vector<Complex> x(length);
    for (size_t j = 0; j < length; ++j)
        x[j] = Complex(std::sin(0.7 * j + 0.1) + 0.25 * std::cos(3.1 * j), real ? 0.0 : std::cos(1.3 * j) - 0.5);
    return x;
}

// Largest deviation relative to the largest magnitude.
double relativeError(const std::vector<Complex> &a, const std::vector<Complex> &b, size_t count)
{
    double largest = 0, error = 0;
    for (size_t k = 0; k < count; ++k) {
        largest = std::max(largest, std::abs(b[k]));
        error = std::max(error, std::abs(a[k] - b[k]));
    }
    return error / largest;
}

std::vector<double> window(int type, int N)
{
    std::vector<double> w(static_cast<size_t>(N));
    windowFunction(type, N, w.data());
    return w;
}

} // namespace

class TestAnalysisSpectrum : public QObject
{
    Q_OBJECT

private slots:
    void transformMatchesDefinition_data()
    {
        QTest::addColumn<int>("length");
        for (int length : {1, 2, 3, 4, 5, 7, 15, 49, 77, 121, 210, 1001, 1024, 1155})
            QTest::newRow(qPrintable(QString::number(length))) << length;
    }
    void transformMatchesDefinition()
    {
        QFETCH(int, length);
        const std::vector<Complex> x = testInput(size_t(length), false);
        std::vector<Complex> X(static_cast<size_t>(length));
        fftForward(x.data(), X.data(), size_t(length));
        QVERIFY(relativeError(X, naiveDft(x), size_t(length)) < 1e-12);

        // The real-input path: bins 0 ... length/2 of the same transform.
        const std::vector<Complex> r = testInput(size_t(length), true);
        std::vector<double> real(static_cast<size_t>(length));
        for (size_t j = 0; j < real.size(); ++j)
            real[j] = r[j].real();
        std::vector<Complex> half(size_t(length) / 2 + 1);
        fftForwardReal(real.data(), half.data(), size_t(length));
        QVERIFY(relativeError(half, naiveDft(r), half.size()) < 1e-12);
    }

    // Lengths with a factor above 5 use KISS FFT's scratch buffer inside the
    // shared plan; concurrent transforms must still give the serial result.
    void concurrentTransformsAgree()
    {
        const size_t length = 2 * 7 * 11 * 13;
        const int threads = 4, rounds = 300;
        std::vector<std::vector<Complex>> inputs, expected;
        for (int t = 0; t < threads; ++t) {
            std::vector<Complex> x = testInput(length, false);
            for (Complex &v : x)
                v *= double(t + 1);
            std::vector<Complex> X(length);
            fftForward(x.data(), X.data(), length);
            inputs.push_back(x);
            expected.push_back(X);
        }
        std::atomic<int> mismatches{0};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&, t] {
                std::vector<Complex> X(length);
                for (int round = 0; round < rounds; ++round) {
                    fftForward(inputs[size_t(t)].data(), X.data(), length);
                    if (X != expected[size_t(t)])
                        ++mismatches;
                }
            });
        for (std::thread &thread : pool)
            thread.join();
        QCOMPARE(mismatches.load(), 0);
    }

    void plansAreKeptPerLength()
    {
        fftClearPlanCache();
        QCOMPARE(fftCachedPlanCount(), size_t(0));
        std::vector<Complex> x(4000), X(4000);
        for (int i = 0; i < 3; ++i)
            fftForward(x.data(), X.data(), 4000);
        QCOMPARE(fftCachedPlanCount(), size_t(1));
        for (size_t length = 100; length < 120; ++length)
            fftForward(x.data(), X.data(), length);
        QVERIFY(fftCachedPlanCount() <= 8); // a few, not one per length ever used
    }

    // Values at chosen n of an 8-point window (denominator 8, not 7), from
    // the coefficients.
    void windowValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("expected");
        QTest::newRow("rectangular") << 0 << 3 << 1.0;
        QTest::newRow("hann quarter") << 1 << 2 << 0.5;
        QTest::newRow("hann start") << 1 << 0 << 0.0;
        QTest::newRow("hamming start") << 2 << 0 << 4.0 / 46.0;
        QTest::newRow("hamming centre") << 2 << 4 << 1.0;
        QTest::newRow("blackman start") << 3 << 0 << 0.0;
        QTest::newRow("blackman quarter") << 3 << 2 << 0.42 - 0.08;
        QTest::newRow("bh4 centre") << 4 << 4 << 0.35875 + 0.48829 + 0.14128 + 0.01168;
        QTest::newRow("bh4 quarter") << 4 << 2 << 0.35875 - 0.14128;
        QTest::newRow("bh7 centre") << 5 << 4
                                    << 0.27105140069342 + 0.43329793923448 + 0.21812299954311 + 0.06592544638803
                                           + 0.01081174209837 + 0.00077658482522 + 0.00001388721735;
        QTest::newRow("bh7 quarter") << 5 << 2 << 0.27105140069342 - 0.21812299954311 + 0.01081174209837 - 0.00001388721735;
        QTest::newRow("type 6 is rectangular") << 6 << 0 << 1.0;
        QTest::newRow("type -1 is rectangular") << -1 << 5 << 1.0;
    }
    void windowValues()
    {
        QFETCH(int, type);
        QFETCH(int, n);
        QFETCH(double, expected);
        const std::vector<double> w = window(type, 8);
        QVERIFY2(std::fabs(w[size_t(n)] - expected) < 1e-14, qPrintable(QString::number(w[size_t(n)], 'g', 17)));
    }

    void displayBins_data()
    {
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("bins");
        QTest::newRow("off") << 1 << 500;
        QTest::newRow("10 x") << 10 << 5000;
    }
    void displayBins()
    {
        QFETCH(int, padding);
        QFETCH(int, bins);
        const double fs = 2000.0;
        const std::vector<double> f = spectrumFrequencies(1000, padding, fs);
        QCOMPARE(int(f.size()), bins);
        QCOMPARE(f[0], 0.0);
        QVERIFY(std::fabs(f[1] - fs / (1000.0 * padding)) < 1e-12);
        QVERIFY(std::fabs(f.back() - (bins - 1) * fs / (1000.0 * padding)) < 1e-9);
        std::vector<double> dB;
        const std::vector<double> samples(1000, 0.25), w = window(windowHann, 1000);
        QVERIFY(amplitudeSpectrumDb(samples.data(), w.data(), 1000, padding, dB));
        QCOMPARE(int(dB.size()), bins);
    }

    // A 1 V sine on a bin reads 0 dB whatever the window, padded or not.
    void unitSineReadsZeroDb_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("padding");
        QTest::newRow("rectangular") << int(windowRectangular) << 1;
        QTest::newRow("hann") << int(windowHann) << 1;
        QTest::newRow("hann 10 x") << int(windowHann) << 10;
        QTest::newRow("bh7 5 x") << int(windowBlackmanHarris7) << 5;
    }
    void unitSineReadsZeroDb()
    {
        QFETCH(int, type);
        QFETCH(int, padding);
        TestTone tone;
        tone.N = 1000;
        tone.cycles = 50;
        const TestSignal s = synthesize(tone);
        std::vector<double> dB;
        QVERIFY(amplitudeSpectrumDb(s.samples.data(), window(type, 1000).data(), 1000, padding, dB));
        QVERIFY2(std::fabs(dB[size_t(50 * padding)]) < 1e-9, qPrintable(QString::number(dB[size_t(50 * padding)])));
    }

    // Every bin against the formula evaluated with a naive DFT.
    void displayMatchesFormula()
    {
        const int N = 60, P = 2, M = N * P;
        const std::vector<double> w = window(windowHamming, N);
        std::vector<Complex> x(static_cast<size_t>(M));
        std::vector<double> samples(static_cast<size_t>(N));
        double S = 0;
        for (int j = 0; j < N; ++j) {
            samples[size_t(j)] = std::sin(0.9 * j) + 0.3;
            x[size_t(j)] = samples[size_t(j)] * w[size_t(j)];
            S += w[size_t(j)];
        }
        const std::vector<Complex> X = naiveDft(x);
        std::vector<double> dB;
        QVERIFY(amplitudeSpectrumDb(samples.data(), w.data(), N, P, dB));
        QCOMPARE(int(dB.size()), M / 2);
        const int T = (M / 2) / P;
        for (int k = 0; k < M / 2; ++k)
            QVERIFY(std::fabs(dB[size_t(k)] - 20.0 * std::log10(std::abs(X[size_t(k)]) / T / (S / N))) < 1e-9);
    }

    // The decibel step against the library's log10 over the whole range of
    // powers a block can give, the floor and its edge included.
    void powerToDbMatchesLog10()
    {
        std::vector<Complex> X;
        for (double e = -45.0; e <= 45.0; e += 0.0137)
            X.push_back(std::polar(std::pow(10.0, e / 2), e));
        X.push_back(Complex(0.0, 0.0));
        X.push_back(Complex(1e-20, 0.0)); // exactly at the floor: 1e-40
        X.push_back(Complex(std::sqrt(2.0), 0.0)); // the mantissa's split point
        const double scaleSquared = 7.3;
        std::vector<double> dB(X.size());
        spectrumPowerToDb(X.data(), scaleSquared, dB.data(), X.size());
        for (size_t k = 0; k < X.size(); ++k) {
            const double expected = std::max(10.0 * std::log10(std::norm(X[k]) / scaleSquared), spectrumFloorDb);
            QVERIFY2(std::fabs(dB[k] - expected) < 1e-11,
                     qPrintable(QString("%1: %2 instead of %3").arg(k).arg(dB[k], 0, 'g', 17).arg(expected, 0, 'g', 17)));
        }
    }

    void displayEdgeCases()
    {
        const std::vector<double> one(1, 1.0), zeros(64, 0.0), w = window(windowHann, 64);
        std::vector<double> dB(3, 1.0);
        // Fewer than two scans: nothing to show.
        for (int padding : {1, 10}) {
            QVERIFY(!amplitudeSpectrumDb(one.data(), one.data(), 1, padding, dB));
            QVERIFY(dB.empty());
        }
        QVERIFY(spectrumFrequencies(1, 10, 1000.0).empty());
        QVERIFY(spectrumFrequencies(0, 1, 1000.0).empty());
        // A zero magnitude is floored rather than minus infinity.
        QVERIFY(amplitudeSpectrumDb(zeros.data(), w.data(), 64, 1, dB));
        for (double v : dB)
            QCOMPARE(v, spectrumFloorDb);
    }

    // acperf: a sine on a bin reads its amplitude; a pure DC gives nothing.
    void acperfMagnitudes()
    {
        TestTone tone;
        tone.N = 1024;
        tone.cycles = 64;
        tone.amplitude = 0.75;
        tone.offset = 0.2;
        const TestSignal s = synthesize(tone);
        const std::vector<double> t = scanTimes(1024, 1024.0);
        for (int P : {1, 2, 10}) {
            acperf a(1024, t.data(), s.samples.data(), 1024.0, P);
            QCOMPARE(a.K(), 512 * P);
            QCOMPARE(a.h(), 7 * P);
            QCOMPARE(a.df(), 1.0 / P);
            QCOMPARE(a.peakBin(), 64 * P);
            QVERIFY(std::fabs(a.mag()[size_t(64 * P)] - 0.75) < 1e-9);
            QCOMPARE(a.peak(), a.mag()[size_t(64 * P)]);
            QVERIFY(std::fabs(a.fundamentalFrequency() - 64.0) < 1e-9);
        }
        const std::vector<double> constant(1024, 0.0);
        acperf flat(1024, t.data(), constant.data(), 1024.0, 1);
        QCOMPARE(flat.fundamentalFrequency(), 0.0);
        QCOMPARE(flat.fundamentalRms(), 0.0);
    }

    // 1 V DC beside a 1 mV sine: the offset's window lobe must not pass for
    // the fundamental.
    void acperfFundamentalBesideOffset_data()
    {
        QTest::addColumn<int>("padding");
        QTest::addColumn<double>("cycles");
        QTest::newRow("P 1") << 1 << 100.0;
        QTest::newRow("P 1, low tone") << 1 << 12.0;
        QTest::newRow("P 5") << 5 << 100.0;
    }
    void acperfFundamentalBesideOffset()
    {
        QFETCH(int, padding);
        QFETCH(double, cycles);
        TestTone tone;
        tone.N = 4096;
        tone.cycles = cycles;
        tone.amplitude = 0.001;
        tone.offset = 1.0;
        const TestSignal s = synthesize(tone);
        const double fs = 4096.0 * 3;
        const std::vector<double> t = scanTimes(4096, fs);
        acperf a(4096, t.data(), s.samples.data(), fs, padding);
        QVERIFY2(std::fabs(a.fundamentalFrequency() - cycles * 3) < 1e-6, qPrintable(QString::number(a.fundamentalFrequency())));
        QCOMPARE(a.binFreq()[size_t(a.peakBin())], a.fundamentalFrequency());
        QVERIFY(std::fabs(a.peak() - 0.001) < 1e-9);
    }

    // A tone below the DC region (bin 3) is not looked for there: the search
    // starts at 5 P, where the tone's own lobe is still falling, so the
    // fundamental reads 5 fs / N whatever the padding.
    void acperfToneBelowSearch_data()
    {
        QTest::addColumn<int>("padding");
        QTest::newRow("P 1") << 1;
        QTest::newRow("P 4") << 4;
    }
    void acperfToneBelowSearch()
    {
        QFETCH(int, padding);
        TestTone tone;
        tone.N = 1024;
        tone.cycles = 3.0;
        const TestSignal s = synthesize(tone);
        const double fs = 2048.0;
        const std::vector<double> t = scanTimes(1024, fs);
        acperf a(1024, t.data(), s.samples.data(), fs, padding);
        QCOMPARE(a.peakBin(), 5 * padding);
        QVERIFY(std::fabs(a.fundamentalFrequency() - 5 * fs / 1024) < 1e-9);
    }

    void acperfShortBlocks_data()
    {
        QTest::addColumn<int>("N");
        QTest::addColumn<int>("padding");
        QTest::newRow("1, off") << 1 << 1;
        QTest::newRow("1, 10 x") << 1 << 10;
        QTest::newRow("0, off") << 0 << 1;
    }
    void acperfShortBlocks()
    {
        QFETCH(int, N);
        QFETCH(int, padding);
        const double sample[1] = {0.5}, time[1] = {0.0};
        acperf a(N, time, sample, 1000.0, padding);
        QCOMPARE(a.K(), 0);
        QVERIFY(a.mag().empty());
        QCOMPARE(a.fundamentalFrequency(), 0.0);
        double thd = 1, snr = 1, sfdr = 1;
        QVERIFY(a.acFigures(&thd, nullptr, &snr, &sfdr, nullptr));
        QVERIFY(std::isnan(sfdr));
    }

    void acperfRefusesPadding()
    {
        const std::vector<double> x(16, 0.0);
        for (int P : {0, -5}) {
            try {
                acperf a(16, x.data(), x.data(), 100.0, P);
                QFAIL("no exception");
            } catch (const std::runtime_error &e) {
                QCOMPARE(QString(e.what()), QString("Zero padding factor must be >= 1"));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestAnalysisSpectrum)
#include "test_analysis_spectrum.moc"
