// Harmonic and spur details, analysis settings, spectrum units, the fit's
// interpolated start with its leakage warning, and coherent frequencies,
// against signals of known make-up: every expected figure comes from how
// the signal was built.
#include "acperf.h"
#include "channelMeasurement.h"
#include "coherentFrequency.h"
#include "detailsText.h"
#include "displaySpectrum.h"
#include "harmonicMarkers.h"
#include "leakageWarning.h"
#include "measurementText.h"
#include "magnitudeUnits.h"
#include "test_analysis_signals.h"
#include "windowFunction.h"

#include <QtTest>

namespace {

const double fs = 51200.0;

double dB(double powerRatio)
{
    return 10.0 * std::log10(powerRatio);
}

// The frequency a tone of f Hz shows at after sampling at fs.
double folded(double f)
{
    f = std::fmod(f, fs);
    return f > fs / 2 ? fs - f : f;
}

SpectralDetails detailsOf(const std::vector<double> &samples, const AnalysisSettings &settings, int padding = 1,
                          double *snr = nullptr)
{
    const int N = int(samples.size());
    const std::vector<double> t = scanTimes(N, fs);
    acperf a(N, t.data(), samples.data(), fs, padding, settings);
    SpectralDetails d;
    a.acFigures(nullptr, nullptr, snr, nullptr, nullptr, &d, defaultFullScaleVolts);
    return d;
}

// One channel measured as the panel measures it.
CardMeasurement measureOne(const std::vector<double> &samples, const AnalysisSettings &settings, int iterations = 0)
{
    CardMeasurementInput in;
    in.scans = int(samples.size());
    in.rateHz = fs;
    in.iterations = iterations;
    in.settings = settings;
    in.mask = 1;
    in.samples[0] = samples.data();
    return measureCard(in);
}

} // namespace

Q_DECLARE_METATYPE(TestTone)
Q_DECLARE_METATYPE(AnalysisSettings)

class TestAnalysisDetails : public QObject
{
    Q_OBJECT

private slots:
    // Harmonics of known level and phase, one of them above the Nyquist
    // frequency and folded back, over known noise.
    void harmonicTable_data()
    {
        QTest::addColumn<TestTone>("tone");
        QTest::addColumn<int>("padding");
        TestTone tone;
        tone.cycles = 700.37; // H6 at 4202.2 bins lies above 4096 and folds to 3989.8
        tone.amplitude = 2.0;
        tone.harmonics = {{2, 1e-4}, {3, 3e-5}, {6, 5e-5}};
        tone.noiseRms = 2e-6;
        QTest::newRow("off the grid") << tone << 1;
        QTest::newRow("padding 10") << tone << 10;
        tone.cycles = 701.0;
        tone.seed = 7;
        QTest::newRow("on a bin") << tone << 1;
    }
    void harmonicTable()
    {
        QFETCH(TestTone, tone);
        QFETCH(int, padding);
        const TestSignal s = synthesize(tone);
        AnalysisSettings settings;
        settings.harmonics = 6;
        settings.aliasedHarmonics = true;
        const SpectralDetails d = detailsOf(s.samples, settings, padding);
        const double binHz = fs / tone.N, f0 = tone.cycles * binHz;
        QVERIFY(std::fabs(d.fundamentalHz - f0) < 0.01 * binHz);
        QVERIFY(std::fabs(d.fundamentalDbfs - 20 * std::log10(tone.amplitude / defaultFullScaleVolts)) < 0.05);
        QCOMPARE(int(d.harmonics.size()), 5);
        double distortion = 0.0;
        for (const HarmonicLevel &h : d.harmonics) {
            QVERIFY(std::fabs(h.frequencyHz - folded(h.order * f0)) < 0.01 * binHz);
            QCOMPARE(h.aliased, h.order * f0 > fs / 2);
            double level = 0.0;
            for (const auto &built : tone.harmonics)
                if (built.first == h.order)
                    level = built.second;
            distortion += level * level;
            if (level == 0.0) {
                QVERIFY2(h.dBc < -115, qPrintable(QString::number(h.dBc))); // H4, H5: noise only
                continue;
            }
            QVERIFY2(std::fabs(h.dBc - 20 * std::log10(level)) < 0.05, qPrintable(QString::number(h.dBc)));
            QVERIFY(std::fabs(h.dBFS - (h.dBc + d.fundamentalDbfs)) < 1e-9);
        }
        const double fundamentalPower = tone.amplitude * tone.amplitude / 2;
        const double thdPlusNoise = dB((distortion * fundamentalPower + s.noisePower) / fundamentalPower);
        QVERIFY2(std::fabs(d.thdPlusNoiseDb - thdPlusNoise) < 0.1, qPrintable(QString::number(d.thdPlusNoiseDb)));
        QVERIFY(std::fabs(d.thdPlusNoisePercent - 100 * std::pow(10.0, thdPlusNoise / 20)) < 0.012 * d.thdPlusNoisePercent);
        // White noise of power sigma^2 spreads evenly over 0 ... fs / 2.
        const double density = std::sqrt(s.noisePower / (fs / 2));
        QVERIFY(std::fabs(20 * std::log10(d.noiseDensityVoltsPerRootHz / density)) < 0.2);
        const double fullScalePower = defaultFullScaleVolts * defaultFullScaleVolts / 2;
        QVERIFY(std::fabs(d.noiseDensityDbfsPerHz - dB(s.noisePower / (fs / 2) / fullScalePower)) < 0.2);
        QVERIFY(std::fabs(d.noiseFloorDbfs - dB(s.noisePower / (tone.N / 2.0) / fullScalePower)) < 0.2);

        // The markers sit where the table puts the tones.
        const std::vector<SpectrumMarker> markers = harmonicMarkers(d);
        QVERIFY(markers.size() >= 6);
        QCOMPARE(markers.front().label, std::string("F"));
        QCOMPARE(markers[5].label, std::string("H6"));
        QVERIFY(std::fabs(markers[5].frequencyHz - folded(6 * f0)) < 0.01 * binHz);
    }

    // Noise in 20 Hz ... 20 kHz, and ten times more beyond it: the band's
    // SNR is that of the noise inside.
    void bandSnr()
    {
        const int N = 8192;
        const double binHz = fs / N;
        std::mt19937_64 random(3);
        std::uniform_real_distribution<double> phase(0.0, 2 * testPi());
        std::vector<double> samples(size_t(N), 0.0);
        double inBand = 0.0;
        const int first = int(std::ceil(20 / binHz)) + 20, last = int(20000 / binHz) - 20;
        for (int bin = 5; bin < N / 2 - 5; ++bin) {
            if (std::abs(bin - 501) <= 10)
                continue; // the fundamental's span
            const bool inside = bin >= first && bin <= last;
            if (!inside && (bin > first - 40 && bin < last + 40))
                continue; // keep the loud noise's lobes out of the band
            const double a = inside ? 1e-6 : 1e-5, p = phase(random);
            if (inside)
                inBand += a * a / 2;
            for (int i = 0; i < N; ++i)
                samples[size_t(i)] += a * std::sin(2 * testPi() * std::fmod(double(bin) * i, N) / N + p);
        }
        for (int i = 0; i < N; ++i)
            samples[size_t(i)] += std::sin(2 * testPi() * std::fmod(501.0 * i, N) / N);
        AnalysisSettings settings;
        settings.bandLowHz = 20.0;
        settings.bandHighHz = 20000.0;
        double snr = 0.0;
        detailsOf(samples, settings, 1, &snr);
        QVERIFY2(std::fabs(snr - dB(0.5 / inBand)) < 0.3, qPrintable(QString::number(snr)));
    }

    // Settings that leave a figure nothing to measure give "-", not nan.
    void figuresWithoutBins_data()
    {
        QTest::addColumn<AnalysisSettings>("settings");
        QTest::addColumn<int>("column"); // of the measurement table
        AnalysisSettings s;
        s.bandLowHz = 1001.0;
        s.bandHighHz = 1002.0; // between two bins
        QTest::newRow("band without a bin: SNR") << s << 7;
        QTest::newRow("band without a bin: SFDR") << s << 8;
        s = AnalysisSettings();
        s.harmonics = 2; // H2 of a tone above fs / 4 lies above the Nyquist frequency
        QTest::newRow("no harmonic below Nyquist: THD") << s << 5;
    }
    void figuresWithoutBins()
    {
        QFETCH(AnalysisSettings, settings);
        QFETCH(int, column);
        TestTone tone;
        tone.cycles = 2900.0;
        tone.noiseRms = 1e-5;
        const CardMeasurement m = measureOne(synthesize(tone).samples, settings);
        QVERIFY(figureMissing(m.figures[0], column));
        QCOMPARE(figureText(m.figures[0], column), std::string(missingFigureText));
        QVERIFY(checkAnalysisSettings(settings).empty());
    }

    void settingsRefused_data()
    {
        QTest::addColumn<AnalysisSettings>("settings");
        QTest::addColumn<QString>("range");
        AnalysisSettings s;
        s.harmonics = 31;
        QTest::newRow("31 harmonics") << s << "2 to 30";
        s = AnalysisSettings();
        s.harmonics = 1;
        QTest::newRow("1 harmonic") << s << "2 to 30";
        s = AnalysisSettings();
        s.harmonicBins = 0;
        QTest::newRow("harmonic span 0") << s << "1 to 100";
        s = AnalysisSettings();
        s.dcBins = 101;
        QTest::newRow("DC 101") << s << "0 to 100";
        s = AnalysisSettings();
        s.fundamentalBins = -1;
        QTest::newRow("fundamental span -1") << s << "1 to 100";
        s = AnalysisSettings();
        s.bandLowHz = 5000.0;
        s.bandHighHz = 2000.0;
        QTest::newRow("band upside down") << s << "from 0 Hz up to the Nyquist";
    }
    void settingsRefused()
    {
        QFETCH(AnalysisSettings, settings);
        QFETCH(QString, range);
        QVERIFY(checkAnalysisSettings(AnalysisSettings()).empty());
        QVERIFY(analysisSettingsChanges(AnalysisSettings()).empty());
        const QString message = QString::fromStdString(checkAnalysisSettings(settings));
        QVERIFY2(message.contains(range), qPrintable(message));
    }

    // A tone 0.46 bin off the grid: the 3-parameter fit from the
    // interpolated fundamental reads its amplitude; the warning tells the
    // offset from the largest bin beyond 0.01 bin.
    void fitStartAndWarning_data()
    {
        QTest::addColumn<double>("offBins");
        QTest::addColumn<bool>("interpolated");
        QTest::addColumn<bool>("warned");
        QTest::newRow("0.46 off, interpolated start") << 0.46 << true << false;
        QTest::newRow("0.02 off, largest bin") << 0.02 << false << true;
        QTest::newRow("0.005 off, largest bin") << 0.005 << false << false;
    }
    void fitStartAndWarning()
    {
        QFETCH(double, offBins);
        QFETCH(bool, interpolated);
        QFETCH(bool, warned);
        TestTone tone;
        tone.cycles = 400.0 + offBins;
        tone.amplitude = 5.0;
        AnalysisSettings settings;
        if (interpolated)
            settings.fitStart = FitStart::interpolated;
        const CardMeasurement m = measureOne(synthesize(tone).samples, settings);
        if (interpolated)
            QVERIFY(std::fabs(m.figures[0].amplitude / tone.amplitude - 1) < 1e-4);
        const std::string warning = leakageWarningText(largestLeakageBins(m));
        QCOMPARE(!warning.empty(), warned);
        const std::string label = "The measurements are for the last <b>8192</b> scans.";
        const std::string shown = measurementLabelWithWarning(label, warning);
        QCOMPARE(shown.substr(0, label.size()), label);
        if (warned)
            QVERIFY(shown.find("<br><b>") == label.size() && warning.find("0.020 bins") != std::string::npos);
        // Under the 4-parameter fit nothing is warned of.
        QVERIFY(std::isnan(largestLeakageBins(measureOne(synthesize(tone).samples, settings, 5))));
    }

    // A 1 V peak sine on a bin reads 0 dB re 1 V peak, -3.01 dBV and
    // -20 dBFS of 10 V; white noise reads sigma / sqrt(fs / 2) V/rtHz.
    void units_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("padding");
        for (int window = windowRectangular; window <= windowBlackmanHarris7; ++window)
            for (int padding : {1, 10})
                QTest::addRow("window %d, padding %d", window, padding) << window << padding;
    }
    void units()
    {
        QFETCH(int, window);
        QFETCH(int, padding);
        const int N = 4096;
        std::vector<double> w(static_cast<size_t>(N)), power;
        windowFunction(window, N, w.data());
        TestTone tone;
        tone.N = N;
        tone.cycles = 300.0;
        const TestSignal sine = synthesize(tone);
        QVERIFY(amplitudeSpectrumPower(sine.samples.data(), w.data(), N, padding, power));
        const double peak = dB(power[size_t(300 * padding)]);
        const double expected[] = {0.0, -20.0, -3.0103};
        const SpectrumUnit units[] = {SpectrumUnit::dBPeak, SpectrumUnit::dBFS, SpectrumUnit::dBV};
        for (int u = 0; u < 3; ++u)
            QVERIFY(std::fabs(peak + spectrumUnitOffsetDb(units[u], 10.0, window, N, fs) - expected[u]) < 1e-3);

        tone.amplitude = 0.0;
        tone.noiseRms = 1e-3;
        const TestSignal noise = synthesize(tone);
        QVERIFY(amplitudeSpectrumPower(noise.samples.data(), w.data(), N, padding, power));
        double mean = 0.0;
        for (size_t k = size_t(10 * padding); k < power.size(); ++k)
            mean += power[k];
        mean /= double(power.size() - size_t(10 * padding));
        const double density = dB(mean) + spectrumUnitOffsetDb(SpectrumUnit::noiseDensity, 10.0, window, N, fs);
        QVERIFY2(std::fabs(density - 20 * std::log10(std::sqrt(noise.noisePower / (fs / 2)))) < 0.2,
                 qPrintable(QString::number(density)));
        QVERIFY(std::fabs(densityVoltsPerRootHz(density) / std::sqrt(noise.noisePower / (fs / 2)) - 1) < 0.025);
    }

    // J odd, sharing no factor with N, at least 9 and below N / 2.
    void coherent_data()
    {
        QTest::addColumn<double>("wantedHz");
        QTest::addColumn<int>("scans");
        QTest::addColumn<int>("cycles");
        QTest::newRow("1 kHz, 8192: 160 is even, 159 and 161 tie") << 1000.0 << 8192 << 159;
        QTest::newRow("1003 Hz, 8192: 160.48, 161 nearer") << 1003.0 << 8192 << 161;
        QTest::newRow("25 bins of 1000 share 5") << 1280.0 << 1000 << 23;
        QTest::newRow("below the DC region") << 3.0 << 8192 << 9;
        QTest::newRow("above Nyquist") << 30000.0 << 8192 << 4095;
        QTest::newRow("24 scans: 9 shares 3") << 0.0 << 24 << 11;
        QTest::newRow("16 scans: none") << 1000.0 << 16 << 0;
    }
    void coherent()
    {
        QFETCH(double, wantedHz);
        QFETCH(int, scans);
        QFETCH(int, cycles);
        const CoherentFrequency c = coherentFrequency(wantedHz, fs, scans);
        QCOMPARE(c.cycles, cycles);
        QCOMPARE(c.frequencyHz, cycles * fs / scans);
    }

    // The panel's stored texts: read into the settings they name, refused
    // with the setting (and its range) they get wrong, the defaults then.
    void storedSettings_data()
    {
        QTest::addColumn<QString>("stored"); // name=text;...
        QTest::addColumn<QString>("refused"); // "": read
        QTest::addColumn<AnalysisSettings>("read");
        AnalysisSettings s;
        s.harmonics = 5;
        s.bandLowHz = 20;
        s.bandHighHz = 20000;
        s.fitStart = FitStart::interpolated;
        QTest::newRow("audio band") << "Harmonics=5;BandLowHz=20;BandHighHz=20000;FitStart=interpolated" << "" << s;
        s = AnalysisSettings();
        s.aliasedHarmonics = true;
        s.dcBins = 0;
        QTest::newRow("aliased, no DC, unknown name") << "AliasedHarmonics=true;DcBins=0;Colour=red;BandHighHz=nyquist"
                                                       << "" << s;
        QTest::newRow("55 harmonics") << "Harmonics=55" << "2 to 30" << AnalysisSettings();
        QTest::newRow("half a bin") << "DcBins=7.5" << "DcBins" << AnalysisSettings();
        QTest::newRow("yes") << "AliasedHarmonics=yes" << "AliasedHarmonics" << AnalysisSettings();
        QTest::newRow("band of words") << "BandLowHz=low" << "BandLowHz" << AnalysisSettings();
    }
    void storedSettings()
    {
        QFETCH(QString, stored);
        QFETCH(QString, refused);
        QFETCH(AnalysisSettings, read);
        AnalysisSettingsValues values;
        for (const QString &pair : stored.split(';'))
            values.emplace_back(pair.section('=', 0, 0).toStdString(), pair.section('=', 1).toStdString());
        AnalysisSettings s;
        s.harmonics = 9; // overwritten either way
        const QString why = QString::fromStdString(readAnalysisSettingsValues(values, s));
        QVERIFY2(refused.isEmpty() ? why.isEmpty() : why.contains(refused), qPrintable(why));
        QVERIFY(s == read);
        // What is written reads back.
        AnalysisSettings again;
        QVERIFY(readAnalysisSettingsValues(analysisSettingsValues(read), again).empty() && again == read);
    }

    // A changed fit start marks the fit's columns only, any other changed
    // setting the spectral ones only.
    void figuresFollowingSettings_data()
    {
        QTest::addColumn<AnalysisSettings>("settings");
        QTest::addColumn<bool>("fitMarked");
        QTest::addColumn<bool>("spectralMarked");
        AnalysisSettings s;
        QTest::newRow("defaults") << s << false << false;
        s.fitStart = FitStart::interpolated;
        QTest::newRow("fit start") << s << true << false;
        s = AnalysisSettings();
        s.dcBins = 3;
        QTest::newRow("DC bins") << s << false << true;
    }
    void figuresFollowingSettings()
    {
        QFETCH(AnalysisSettings, settings);
        QFETCH(bool, fitMarked);
        QFETCH(bool, spectralMarked);
        for (int column = 0; column < measurementColumnCount; ++column)
            QCOMPARE(figureFollowsSettings(column, settings), column < 5 ? fitMarked : spectralMarked);
    }
};

QTEST_APPLESS_MAIN(TestAnalysisDetails)
#include "test_analysis_details.moc"
