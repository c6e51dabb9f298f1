// The matrix support and the sine fits, against closed forms and the
// parameters the test signals were built from.
#include "acperf.h"
#include "matrix.h"
#include "sineFitter.h"
#include "test_analysis_signals.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <stdexcept>

using Rows = std::vector<std::vector<double>>;
Q_DECLARE_METATYPE(Rows)

namespace {

QString thrownText(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::runtime_error &e) {
        return QString(e.what());
    }
    return QString("<nothing thrown>");
}

matrix fromRows(const Rows &rows)
{
    matrix m(int(rows[0].size()), int(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            m.at(int(c), int(r)) = rows[r][c];
    return m;
}

// Samples of a cos(2 pi f t) + b sin(2 pi f t) + c at t = i / fs.
std::vector<double> sineSamples(int N, double fs, double f, double a, double b, double c)
{
    std::vector<double> y(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i) {
        const double theta = 2.0 * testPi() * f * i / fs;
        y[static_cast<size_t>(i)] = a * std::cos(theta) + b * std::sin(theta) + c;
    }
    return y;
}

} // namespace

class TestAnalysisFit : public QObject
{
    Q_OBJECT

private slots:
    void matrixShapeAndBounds()
    {
        QCOMPARE(thrownText([] { matrix(0, 3); }), QString("Bad number of columns or rows"));
        QCOMPARE(thrownText([] { matrix(2, -1); }), QString("Bad number of columns or rows"));
        matrix m(3, 2);
        QCOMPARE(m.at(2, 1), 0.0);
        QCOMPARE(thrownText([&] { m.at(3, 0); }), QString("Column or row out of bounds"));
        QCOMPARE(thrownText([&] { m.at(0, 2); }), QString("Column or row out of bounds"));
        QCOMPARE(thrownText([&] { m.at(-1, 0); }), QString("Column or row out of bounds"));
        QCOMPARE(thrownText([&] { m.invert(); }), QString("Can invert only a square matrix"));
        m.at(2, 0) = 5.0;
        m.at(1, 1) = -2.0;
        m.transpose();
        QCOMPARE(m.columns(), 2);
        QCOMPARE(m.rows(), 3);
        QCOMPARE(m.at(0, 2), 5.0);
        QCOMPARE(m.at(1, 1), -2.0);
        QCOMPARE(m.at(1, 0), 0.0);
    }

    // Inverse times matrix is the identity (pivots well above the floor).
    void inverseTimesMatrix_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::newRow("2x2") << Rows{{4, 7}, {2, 6}};
        QTest::newRow("3x3") << Rows{{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}};
        QTest::newRow("4x4") << Rows{{5, 1, 0.5, 2}, {1, 4, 1, 0}, {0.5, 1, 6, 1}, {2, 0, 1, 3}};
    }
    void inverseTimesMatrix()
    {
        QFETCH(Rows, rows);
        const matrix original = fromRows(rows);
        matrix inverse = original;
        inverse.invert();
        const int n = original.rows();
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) {
                double sum = 0.0;
                for (int j = 0; j < n; ++j)
                    sum += inverse.at(j, r) * original.at(c, j);
                QVERIFY(std::fabs(sum - (r == c ? 1.0 : 0.0)) < 1e-12);
            }
    }

    // No exception, no infinity: the pivot floor keeps a singular matrix finite.
    void singularInverseIsFinite()
    {
        for (const auto &rows : {Rows{{1, 1}, {1, 1}},
                                 Rows{{0, 0}, {0, 0}},
                                 Rows{{2, 4}, {1, 2}}}) {
            matrix m = fromRows(rows);
            m.invert();
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 2; ++c)
                    QVERIFY(std::isfinite(m.at(c, r)));
        }
    }

    // A noiseless sine on whole periods, fitted at its own frequency.
    void fit3RecoversSine_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("c");
        QTest::newRow("sine with offset") << 0.3 << 1.2 << 0.25;
        QTest::newRow("negative offset") << -0.8 << 0.1 << -1.5;
        QTest::newRow("small") << 1e-3 << -2e-3 << 0.0;
    }
    void fit3RecoversSine()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, c);
        const int N = 1000;
        const double fs = 10000.0, f = 50.0; // 5 whole periods
        const std::vector<double> y = sineSamples(N, fs, f, a, b, c), t = scanTimes(N, fs);
        sineFitter fitter(N, t.data(), y.data());
        double amplitude = 0, offset = 0, phase = 0, rms = 0;
        matrix coefficients(1, 1);
        QVERIFY(fitter.fit3(f, amplitude, offset, phase, rms, &coefficients));
        const double R = std::hypot(a, b);
        QVERIFY(std::fabs(amplitude - R) < 1e-12);
        QVERIFY(std::fabs(offset - c) < 1e-12);
        QVERIFY(std::fabs(rms - std::sqrt(R * R / 2 + c * c)) < 1e-12);
        QCOMPARE(fitter.frequency(), f);
        QCOMPARE(coefficients.rows(), 3);
        QCOMPARE(coefficients.columns(), 1);
        QVERIFY(std::fabs(coefficients.at(0, 0) - a) < 1e-12);
        QVERIFY(std::fabs(coefficients.at(0, 1) - b) < 1e-12);
        QVERIFY(std::fabs(coefficients.at(0, 2) - c) < 1e-12);
    }

    // R sin(theta + phase) = R sin(phase) cos(theta) + R cos(phase) sin(theta):
    // the fit gives the phase back in (-pi, pi], in every quadrant, and the
    // inverted signal half a turn away.
    void fit3Phase_data()
    {
        QTest::addColumn<double>("phase");
        QTest::newRow("first quadrant") << 0.3;
        QTest::newRow("second quadrant") << 2.0;
        QTest::newRow("third quadrant") << -2.5;
        QTest::newRow("fourth quadrant") << -0.3;
        QTest::newRow("cosine") << testPi() / 2;
        QTest::newRow("negative cosine") << -testPi() / 2;
        QTest::newRow("sine") << 0.0;
        QTest::newRow("nearly inverted") << 3.1;
        QTest::newRow("nearly inverted, other side") << -3.1;
    }
    void fit3Phase()
    {
        QFETCH(double, phase);
        const int N = 400;
        const double R = 0.8;
        const std::vector<double> t = scanTimes(N, 400.0);
        for (double sign : {1.0, -1.0}) {
            const std::vector<double> y = sineSamples(N, 400.0, 4.0, sign * R * std::sin(phase), sign * R * std::cos(phase), 0.0);
            sineFitter fitter(N, t.data(), y.data());
            double amplitude = 0, offset = 0, fitted = 0, rms = 0;
            QVERIFY(fitter.fit3(4.0, amplitude, offset, fitted, rms));
            QVERIFY2(fitted > -testPi() && fitted <= testPi(), qPrintable(QString::number(fitted)));
            // The inverted signal: half a turn on, taken back into (-pi, pi].
            const double expected = sign > 0 ? phase : std::remainder(phase + testPi(), 2 * testPi());
            QVERIFY2(std::fabs(fitted - expected) < 1e-9,
                     qPrintable(QString("sign %1: %2 instead of %3").arg(sign).arg(fitted).arg(expected)));
            QVERIFY(std::fabs(amplitude - R) < 1e-12);
        }
    }

    void fit3RefusesEmptyBlock()
    {
        sineFitter fitter(0, nullptr, nullptr);
        double v = 0;
        QCOMPARE(thrownText([&] { fitter.fit3(1.0, v, v, v, v); }), QString("Bad number of columns or rows"));
    }

    void fit4RefusesArguments_data()
    {
        QTest::addColumn<int>("iterations");
        QTest::addColumn<double>("step");
        QTest::newRow("21 iterations") << 21 << 0.1;
        QTest::newRow("negative iterations") << -1 << 0.1;
        QTest::newRow("step 1.5") << 3 << 1.5;
        QTest::newRow("negative step") << 3 << -0.01;
        QTest::newRow("NaN step") << 3 << std::nan("");
    }
    void fit4RefusesArguments()
    {
        QFETCH(int, iterations);
        QFETCH(double, step);
        const std::vector<double> y = sineSamples(100, 100.0, 5.0, 1.0, 0.0, 0.0), t = scanTimes(100, 100.0);
        sineFitter fitter(100, t.data(), y.data());
        double f = 5.5, amplitude = -1, offset = -2, phase = -3, rms = -4;
        QVERIFY(!fitter.fit4(iterations, step, f, amplitude, offset, phase, rms));
        QCOMPARE(f, 5.5);
        QCOMPARE(amplitude, -1.0);
        QCOMPARE(offset, -2.0);
        QCOMPARE(phase, -3.0);
        QCOMPARE(rms, -4.0);
        QCOMPARE(fitter.frequency(), 0.0);
    }

    void fit4WithoutIterationsIsFit3()
    {
        const std::vector<double> y = sineSamples(500, 1000.0, 31.7, 0.4, -0.9, 0.05), t = scanTimes(500, 1000.0);
        sineFitter three(500, t.data(), y.data()), four(500, t.data(), y.data());
        double r3, c3, p3, s3, r4, c4, p4, s4, f = 31.0;
        three.fit3(31.0, r3, c3, p3, s3);
        QVERIFY(four.fit4(0, 0.1, f, r4, c4, p4, s4));
        QCOMPARE(f, 31.0);
        QCOMPARE(r4, r3);
        QCOMPARE(c4, c3);
        QCOMPARE(p4, p3);
        QCOMPARE(s4, s3);
    }

    // Started a quarter bin off, full Gauss-Newton steps find the true
    // frequency and with it amplitude, offset and phase; a damped step moves
    // the frequency by that fraction of the full step's correction.
    void fit4RecoversDetunedFrequency()
    {
        const int N = 2000;
        const double fs = 2000.0, f = 50.25, a = -0.3, b = -0.7, c = 0.1;
        const std::vector<double> y = sineSamples(N, fs, f, a, b, c), t = scanTimes(N, fs);
        sineFitter fitter(N, t.data(), y.data());
        double start = 50.0, amplitude = 0, offset = 0, phase = 0, rms = 0;
        QVERIFY(fitter.fit4(5, 1.0, start, amplitude, offset, phase, rms));
        QVERIFY2(std::fabs(start - f) < 1e-9, qPrintable(QString::number(start, 'g', 12)));
        QCOMPARE(fitter.frequency(), start);
        QVERIFY(std::fabs(amplitude - std::hypot(a, b)) < 1e-9);
        QVERIFY(std::fabs(offset - c) < 1e-9);
        QVERIFY(std::fabs(phase - std::atan2(a, b)) < 1e-9); // a < 0 too: no half turn added

        double full = 50.0, half = 50.0;
        QVERIFY(fitter.fit4(1, 1.0, full, amplitude, offset, phase, rms));
        QVERIFY(fitter.fit4(1, 0.5, half, amplitude, offset, phase, rms));
        QVERIFY2(std::fabs(full - f) < 0.1 * (f - 50.0), qPrintable(QString::number(full, 'g', 12)));
        QVERIFY(std::fabs((half - 50.0) - 0.5 * (full - 50.0)) < 1e-12);
    }

    // Off-bin tones over the sampling rates of the card, started from the
    // spectrum's peak bin as the measurement does. Without noise the given
    // number of full steps reaches the tone (the amplitude, from the solve
    // before the last frequency step, lags it by one; half a bin off needs
    // one more); with noise the error stays within a few times the
    // Cramer-Rao bound of a sine in white noise.
    void fit4ConvergesFromPeakBin_data()
    {
        QTest::addColumn<double>("fs");
        QTest::addColumn<int>("N");
        QTest::addColumn<double>("f");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("phase");
        QTest::addColumn<double>("noiseRms");
        QTest::addColumn<int>("iterations");
        QTest::newRow("50 Hz at 10 kHz") << 10000.0 << 1024 << 50.0 << 0.5 << 0.1 << 0.3 << 0.0 << 3;
        QTest::newRow("3.3 Hz at 100 Hz") << 100.0 << 1024 << 3.3 << 1.0 << -0.2 << 2.0 << 0.0 << 4;
        QTest::newRow("12345.6 Hz at 50 kHz") << 50000.0 << 8192 << 12345.6 << 2.0 << 0.0 << 1.0 << 0.0 << 4;
        QTest::newRow("0.37 Hz at 5 Hz") << 5.0 << 4096 << 0.37 << 0.8 << 0.05 << 2.9 << 0.0 << 3;
        QTest::newRow("10 mV at 50 kHz") << 50000.0 << 1024 << 1234.5 << 0.01 << 0.002 << 0.7 << 0.0 << 4;
        QTest::newRow("half a bin off") << 50000.0 << 1024 << 50.5 * 50000.0 / 1024 << 1.0 << 0.0 << 1.0 << 0.0 << 5;
        QTest::newRow("50 Hz at 10 kHz, noise") << 10000.0 << 1024 << 50.0 << 0.5 << 0.1 << 0.3 << 1e-4 << 4;
        QTest::newRow("12345.6 Hz at 50 kHz, noise") << 50000.0 << 8192 << 12345.6 << 2.0 << 0.0 << 1.0 << 1e-3 << 4;
    }
    void fit4ConvergesFromPeakBin()
    {
        QFETCH(double, fs);
        QFETCH(int, N);
        QFETCH(double, f);
        QFETCH(double, amplitude);
        QFETCH(double, offset);
        QFETCH(double, phase);
        QFETCH(double, noiseRms);
        QFETCH(int, iterations);
        TestTone tone;
        tone.N = N;
        tone.cycles = f * N / fs;
        tone.amplitude = amplitude;
        tone.phase = phase;
        tone.offset = offset;
        tone.noiseRms = noiseRms;
        const std::vector<double> y = synthesize(tone).samples, t = scanTimes(N, fs);
        double trueSquares = 0.0; // mean square of the noiseless tone at the sample times
        for (int i = 0; i < N; ++i) {
            const double v = amplitude * std::sin(2.0 * testPi() * f * t[size_t(i)] + phase) + offset;
            trueSquares += v * v / N;
        }

        // Noise-limited spread (large-N bounds); floors for the noiseless rows.
        const double fSpread = std::sqrt(12.0) * noiseRms * fs / (2.0 * testPi() * amplitude * std::pow(N, 1.5));
        const double fTolerance = std::max(1e-6 * f, 5.0 * fSpread);
        const double vTolerance = std::max(1e-6, 5.0 * noiseRms * std::sqrt(2.0 / N));
        const double phaseTolerance = std::max(1e-6, 5.0 * noiseRms / amplitude * std::sqrt(8.0 / N));

        double start = acperf(N, t.data(), y.data(), fs, 1).fundamentalFrequency();
        QVERIFY(start > 0.0 && std::fabs(start - f) <= fs / N);
        sineFitter fitter(N, t.data(), y.data());
        double fitted = 0, offsetFit = 0, phaseFit = 0, rms = 0;
        QVERIFY(fitter.fit4(iterations, 1.0, start, fitted, offsetFit, phaseFit, rms));
        const QString found = QString("f %1, amplitude %2, offset %3, phase %4, rms %5")
                                  .arg(start, 0, 'g', 12).arg(fitted, 0, 'g', 12).arg(offsetFit, 0, 'g', 12)
                                  .arg(phaseFit, 0, 'g', 12).arg(rms, 0, 'g', 12);
        QVERIFY2(std::fabs(start - f) < fTolerance, qPrintable(found));
        QVERIFY2(std::fabs(fitted - amplitude) < vTolerance, qPrintable(found));
        QVERIFY2(std::fabs(offsetFit - offset) < vTolerance, qPrintable(found));
        QVERIFY2(std::fabs(phaseFit - phase) < phaseTolerance, qPrintable(found));
        QVERIFY2(std::fabs(rms - std::sqrt(trueSquares)) < vTolerance, qPrintable(found));
    }

    // A coherent sine of the card's full scale (+-10.24 V), started from the
    // spectrum's peak bin: both fits give it back to the last digits a
    // double carries over 8192 samples, and the spectrum holds nothing but
    // rounding beside it.
    void coherentFullScaleSine_data()
    {
        QTest::addColumn<double>("cycles");
        QTest::addColumn<double>("phase");
        QTest::addColumn<double>("offset");
        QTest::newRow("1001 periods") << 1001.0 << 0.3 << 0.0;
        QTest::newRow("8 periods, third quadrant") << 8.0 << -2.5 << 0.0;
        QTest::newRow("4000 periods, second quadrant, offset") << 4000.0 << 2.0 << -1e-3;
    }
    void coherentFullScaleSine()
    {
        QFETCH(double, cycles);
        QFETCH(double, phase);
        QFETCH(double, offset);
        TestTone tone;
        tone.cycles = cycles;
        tone.amplitude = 10.24;
        tone.phase = phase;
        tone.offset = offset;
        const double fs = 51200.0, f = cycles * fs / tone.N;
        const std::vector<double> y = synthesize(tone).samples, t = scanTimes(tone.N, fs);
        acperf spectrum(tone.N, t.data(), y.data(), fs, 1);
        for (int iterations : {0, 7}) {
            double fitted = spectrum.fundamentalFrequency(), amplitude = 0, mean = 0, fittedPhase = 0, rms = 0;
            sineFitter fitter(tone.N, t.data(), y.data());
            QVERIFY(fitter.fit4(iterations, 1.0, fitted, amplitude, mean, fittedPhase, rms));
            const QString found = QString("%1 iterations: f %2, amplitude %3, offset %4, phase %5")
                                      .arg(iterations).arg(fitted, 0, 'g', 15).arg(amplitude, 0, 'g', 15)
                                      .arg(mean, 0, 'g', 15).arg(fittedPhase, 0, 'g', 15);
            QVERIFY2(std::fabs(fitted - f) <= 1e-9 * f, qPrintable(found));
            QVERIFY2(std::fabs(amplitude - tone.amplitude) <= 1e-9 * tone.amplitude, qPrintable(found));
            QVERIFY2(std::fabs(mean - offset) <= 1e-9, qPrintable(found));
            QVERIFY2(std::fabs(fittedPhase - phase) <= 1e-9, qPrintable(found));
        }
        double snr = 0;
        spectrum.acFigures(nullptr, nullptr, &snr, nullptr, nullptr);
        QVERIFY2(snr > 250.0, qPrintable(QString("SNR %1 dB").arg(snr)));
    }

    // Tones of 8 bins and more in white noise, the fit started half a bin
    // off: after 7 full steps amplitude and frequency lie within five times
    // the Cramer-Rao bounds of a sine of unknown phase in white noise,
    // sigma_A = sigma sqrt(2 / N) and
    // sigma_f = sqrt(24) sigma fs / (2 pi A N^1.5).
    void fit4WithinCramerRao_data()
    {
        QTest::addColumn<double>("cycles");
        QTest::addColumn<double>("startOffset"); // bins
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("snrDb");
        QTest::newRow("8 bins, start above") << 8.0 << 0.5 << 1.0 << 60.0;
        QTest::newRow("8.5 bins, start below") << 8.5 << -0.5 << 1.0 << 80.0;
        QTest::newRow("100.25 bins") << 100.25 << 0.5 << 2.0 << 100.0;
        QTest::newRow("1000.5 bins, 10 mV") << 1000.5 << -0.5 << 0.01 << 40.0;
        QTest::newRow("3000.1 bins") << 3000.1 << 0.5 << 5.0 << 120.0;
        QTest::newRow("4000.7 bins") << 4000.7 << -0.5 << 1.0 << 90.0;
    }
    void fit4WithinCramerRao()
    {
        QFETCH(double, cycles);
        QFETCH(double, startOffset);
        QFETCH(double, amplitude);
        QFETCH(double, snrDb);
        TestTone tone;
        tone.cycles = cycles;
        tone.amplitude = amplitude;
        tone.phase = 1.1;
        tone.noiseRms = noiseForSnr(amplitude, snrDb);
        tone.seed = 11;
        const int N = tone.N;
        const double fs = 50000.0, f = cycles * fs / N, sigma = tone.noiseRms;
        const std::vector<double> y = synthesize(tone).samples, t = scanTimes(N, fs);
        const double sigmaA = sigma * std::sqrt(2.0 / N);
        const double sigmaF = std::sqrt(24.0) * sigma * fs / (2.0 * testPi() * amplitude * std::pow(N, 1.5));
        double fitted = f + startOffset * fs / N, fittedAmplitude = 0, mean = 0, phase = 0, rms = 0;
        sineFitter fitter(N, t.data(), y.data());
        QVERIFY(fitter.fit4(7, 1.0, fitted, fittedAmplitude, mean, phase, rms));
        const QString found = QString("f error %1 sigma_f, amplitude error %2 sigma_A")
                                  .arg((fitted - f) / sigmaF).arg((fittedAmplitude - amplitude) / sigmaA);
        QVERIFY2(std::fabs(fitted - f) <= 5.0 * sigmaF, qPrintable(found));
        QVERIFY2(std::fabs(fittedAmplitude - amplitude) <= 5.0 * sigmaA, qPrintable(found));
    }

    // Where the steps cannot refine the start (no tone, or a start far from
    // the tone) the fit keeps its last good solve rather than a frequency
    // that is not finite or lies outside 0 ... fs / 2.
    void fit4KeepsLastGoodSolve_data()
    {
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("start");
        QTest::newRow("no tone") << 0.0 << 10.0;
        QTest::newRow("start near Nyquist") << 1.0 << 49.99;
    }
    void fit4KeepsLastGoodSolve()
    {
        QFETCH(double, amplitude);
        QFETCH(double, start);
        const int N = 1000;
        const double fs = 100.0;
        const std::vector<double> y = sineSamples(N, fs, 3.0, amplitude, 0.0, 0.25), t = scanTimes(N, fs);
        sineFitter fitter(N, t.data(), y.data());
        double f = start, r = 0, c = 0, p = 0, s = 0;
        QVERIFY(fitter.fit4(7, 1.0, f, r, c, p, s));
        QVERIFY2(std::isfinite(f) && f > 0.0 && f < fs / 2, qPrintable(QString::number(f, 'g', 12)));
        QCOMPARE(fitter.frequency(), f);
        QVERIFY(std::isfinite(r) && std::isfinite(c) && std::isfinite(p) && std::isfinite(s));
    }
};

QTEST_APPLESS_MAIN(TestAnalysisFit)
#include "test_analysis_fit.moc"
