// The spectrum page's averaging, units and harmonic labels, in the real
// window on stored files and the simulated cards. Every expected figure
// comes from how the signal was made: white noise of known RMS and its
// density, a sine of known amplitude on a bin and the channel's full scale by
// the channel panel's rule, tones at known frequencies.
#include "axisConfigFft.h"
#include "chLabelFft.h"
#include "harmonicLabels.h"
#include "myQwtPlotPickerFft.h"
#include "nv6842fp_DAQ.h"
#include "plot_voltage.h"
#include "test_app_window.h"
#include "test_sim_helpers.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <cmath>
#include <random>

namespace {

const double twoPi = 2 * M_PI;

// The magnitudes of a curve over bins first ... last - 1.
std::vector<double> magnitudes(const QwtPlotCurve *curve, size_t first)
{
    std::vector<double> y;
    for (size_t k = first; k < curve->dataSize(); ++k)
        y.push_back(curve->sample(k).y());
    return y;
}

double dB(double ratio)
{
    return 10 * std::log10(ratio);
}

// A window on the simulated FC 1 that takes blocks of 1024 scans at 10 kHz.
Window cardWindow(MessageRecorder &recorder)
{
    Window w = realWindow(recorder, {{"VXI0::2::INSTR", 1}});
    if (!w)
        return nullptr;
    selectData(w->daq->lengthCombo, 1024);
    selectData(w->daq->rateCombo, 10000.0);
    return w;
}

bool singleShot(nv6842fp_App *w)
{
    w->singleButton->click();
    return waitForEnd(w) && waitForAnalysis(w);
}

} // namespace

class TestAppSpectrumPage : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void cleanup() { StoredFileInfo = StoredFileInfo_t{}; }

    // 16 blocks of white noise of RMS sigma, Hann window, shown as a noise
    // density: the mean power over the bins is sigma^2 / (fs / 2) (of the
    // peak-held values H_16 = 1 + 1/2 + ... + 1/16 times that), and the
    // bin-to-bin spread of the dB values is that of a mean of N powers:
    // 5.57 dB for one block, 4.34 / sqrt(16) = 1.10 dB for 16 (within 20 %).
    void averagedNoiseReadsItsDensity_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("aboveDensityDb");
        QTest::addColumn<double>("spreadDb"); // 0: not a mean
        double h16 = 0;
        for (int k = 1; k <= 16; ++k)
            h16 += 1.0 / k;
        QTest::newRow("off") << int(AveragingMode::off) << 0.0 << 5.57;
        QTest::newRow("linear") << int(AveragingMode::linear) << 0.0 << 1.10;
        QTest::newRow("exponential") << int(AveragingMode::exponential) << 0.0 << 1.10;
        QTest::newRow("peak hold") << int(AveragingMode::peakHold) << dB(h16) << 0.0;
    }
    void averagedNoiseReadsItsDensity()
    {
        QFETCH(int, mode);
        QFETCH(double, aboveDensityDb);
        QFETCH(double, spreadDb);
        const double rate = 10000.0, sigma = 0.1;
        const int scans = 16384, blocks = 16;
        std::mt19937 random(5);
        std::normal_distribution<double> noise(0.0, sigma);
        Window w = openStoredFile(writeStoredFile(dir.filePath("noise.bin6842"), rate, scans, {0x0001}, blocks,
                                                  [&](int, int, int) { return noise(random); }));
        QVERIFY(w);
        selectData(w->daq->fftWindowCombo, 1); // Hann
        SpectrumViewSettings view;
        view.averaging = AveragingMode(mode);
        view.unit = SpectrumUnit::noiseDensity;
        w->spectrumPlot->setViewSettings(view);
        QCOMPARE(w->spectrumPlot->viewSettings(), view);
        QVERIFY(showFileBlock(w.get(), 1)); // and block 2
        for (int b = 3; b <= blocks; ++b)
            QVERIFY(showFileBlock(w.get(), b));
        const QString count = mode == int(AveragingMode::peakHold) ? "16" : mode ? "16 of 16" : "";
        QCOMPARE(w->spectrumPlot->controls->countLabel->text(), count);

        // The lowest bins hold the window's view of DC.
        const std::vector<double> y = magnitudes(w->spectrumPlot->curves[0], 4);
        double power = 0, mean = 0, squares = 0;
        for (double v : y) {
            power += std::pow(10.0, v / 10) / double(y.size());
            mean += v / double(y.size());
        }
        for (double v : y)
            squares += (v - mean) * (v - mean);
        const double expected = dB(sigma * sigma / (rate / 2)) + aboveDensityDb;
        QVERIFY2(std::abs(dB(power) - expected) < 0.2, qPrintable(QString::number(dB(power) - expected)));
        if (spreadDb > 0) {
            const double spread = std::sqrt(squares / double(y.size() - 1));
            QVERIFY2(std::abs(spread / spreadDb - 1) < 0.2, qPrintable(QString::number(spread)));
        }
    }

    // Single shots pressed one after another average; the button and every
    // change of the spectrum's make start the averages again.
    void averagesRestart_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("count"); // after the third block
        for (const char *change : {"restart", "channels", "rate", "scans", "window", "padding"})
            QTest::newRow(change) << change << "1 of 4";
        QTest::newRow("nothing") << "" << "3 of 4";
    }
    void averagesRestart()
    {
        QFETCH(QString, change);
        QFETCH(QString, count);
        MessageRecorder recorder;
        Window w = cardWindow(recorder);
        QVERIFY(w);
        SpectrumViewSettings view;
        view.averaging = AveragingMode::linear;
        view.averagingCount = 4;
        w->spectrumPlot->setViewSettings(view);
        const QLabel *reached = w->spectrumPlot->controls->countLabel;
        QCOMPARE(reached->text(), QStringLiteral("0 of 4"));
        QVERIFY(singleShot(w.get()));
        QVERIFY(singleShot(w.get()));
        QCOMPARE(reached->text(), QStringLiteral("2 of 4"));
        // Shown again without a new block (a legend click): not averaged twice.
        w->spectrumPlot->selectAll(0);
        QVERIFY(waitForAnalysis(w.get()));
        QCOMPARE(reached->text(), QStringLiteral("2 of 4"));

        if (change == "restart")
            w->spectrumPlot->controls->restartButton->click();
        else if (change == "channels")
            w->chPanels[1]->enable->setChecked(true);
        else if (change == "rate")
            selectData(w->daq->rateCombo, 5000.0);
        else if (change == "scans")
            selectData(w->daq->lengthCombo, 2048);
        else if (change == "window")
            selectData(w->daq->fftWindowCombo, 1);
        else if (change == "padding")
            selectData(w->daq->zeroPaddingCombo, 2);
        QVERIFY(singleShot(w.get()));
        QCOMPARE(reached->text(), count);
    }

    // A sine of known amplitude on a bin reads 20 log10(A) dB re 1 V peak,
    // 3.01 dB less in dBV, and in dBFS relative to the channel's full scale:
    // 10 V / gain times the subtype's factor (V1: 6), 10 V for a stored
    // file. The axis, its dialog, the tracker and the read-out say so; the
    // curve changes at once and stays so with the next block.
    void unitsReadTheSine_data()
    {
        QTest::addColumn<QString>("cards");  // "": a stored file of a 1 V sine
        QTest::addColumn<int>("gainIndex");
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("peakDb");
        QTest::newRow("file, dB re 1 V peak") << "" << 0 << int(SpectrumUnit::dBPeak) << 0.0;
        QTest::newRow("file, dBV") << "" << 0 << int(SpectrumUnit::dBV) << -3.0103;
        QTest::newRow("file, dBFS") << "" << 0 << int(SpectrumUnit::dBFS) << -20.0;
        // Amplitude 1 V at gain 2: 2 V.
        QTest::newRow("gain 2, dBFS") << "carrier vxi slot=2; fc 1; signal ch=1 freq=488.28125 amp=1 offset=0" << 1
                                      << int(SpectrumUnit::dBFS) << 20 * std::log10(2.0 / 5.0);
        QTest::newRow("subtype V1, gain 2, dBFS")
            << "carrier vxi slot=2; fc 1 subtype=V1; signal ch=1 freq=488.28125 amp=1 offset=0" << 1
            << int(SpectrumUnit::dBFS) << 20 * std::log10(2.0 / 30.0);
    }
    void unitsReadTheSine()
    {
        QFETCH(QString, cards);
        QFETCH(int, gainIndex);
        QFETCH(int, unit);
        QFETCH(double, peakDb);
        MessageRecorder recorder;
        std::unique_ptr<SimConfig> sim;
        Window w;
        // 1 V on bin 8 of 64 scans, or 2 V on bin 50 of 1024 scans at 10 kHz.
        int peakBin = 8;
        const double amplitude = cards.isEmpty() ? 1.0 : 2.0;
        if (cards.isEmpty()) {
            w = openStoredFile(writeStoredFile(dir.filePath("sine.bin6842"), 6400.0, 64, {0x0001}, 1,
                                               [](int, int, int s) { return std::sin(twoPi * 8 * s / 64.0); }));
        } else {
            sim = std::make_unique<SimConfig>(cards.toLatin1());
            w = cardWindow(recorder);
            peakBin = 50;
            QVERIFY(w);
            w->chPanels[0]->gain->setCurrentIndex(gainIndex);
            emit w->chPanels[0]->gain->activated(gainIndex);
        }
        QVERIFY(w);
        plot_voltage *spectrum = w->spectrumPlot;
        spectrum->selectAll(0);
        QVERIFY(cards.isEmpty() ? showFileBlock(w.get(), 1) : singleShot(w.get()));
        const double peak = spectrum->curves[0]->sample(size_t(peakBin)).y();
        QVERIFY2(std::abs(peak - 20 * std::log10(amplitude)) < 1e-3, qPrintable(QString::number(peak)));

        SpectrumViewSettings view = spectrum->viewSettings();
        view.unit = SpectrumUnit(unit);
        spectrum->setViewSettings(view);
        const double shifted = spectrum->curves[0]->sample(size_t(peakBin)).y();
        QVERIFY2(std::abs(shifted - peakDb) < 1e-3, qPrintable(QString::number(shifted)));
        QVERIFY(cards.isEmpty() ? showFileBlock(w.get(), 1) : singleShot(w.get()));
        QVERIFY(std::abs(spectrum->curves[0]->sample(size_t(peakBin)).y() - shifted) < 1e-6);

        const QString suffix = QString::fromStdString(spectrumUnitSuffix(view.unit));
        QCOMPARE(spectrum->plot->axisTitle(QwtPlot::yLeft).text(),
                 unit == int(SpectrumUnit::dBPeak) ? QStringLiteral("Magnitude [dB]")
                                                   : QString::fromStdString(spectrumUnitAxisTitle(view.unit)));
        QCOMPARE(spectrum->picker->trackerTextF(QPointF(1000, -120)).text(),
                 QStringLiteral("1000.000 Hz, -120.00000 ") + suffix);
        QCOMPARE(spectrum->yAxisDlg->lowerLimit->suffix(), QLatin1Char(' ') + suffix + QLatin1Char(' '));
        QCOMPARE(spectrum->yAxisDlg->lowerLimit->minimum(), std::floor(-300 + peakDb - 20 * std::log10(amplitude)));
        // Both markers follow bin 0 of channel 1, as the plot places them before any was moved.
        const QString bin0 = QString::number(spectrum->curves[0]->sample(0).y(), 'f', 1) + QLatin1Char(' ') + suffix;
        QVERIFY2(spectrum->markerText().contains(QStringLiteral("(0.0 Hz, ") + bin0 + QLatin1Char(')')),
                 qPrintable(spectrum->markerText()));
        QCOMPARE(spectrum->displayInForceText().isEmpty(), unit == int(SpectrumUnit::dBPeak));
    }

    // A noise density also reads in volts per root hertz.
    void densityReadsInVoltsPerRootHertz()
    {
        QPushButton autoscale;
        plot_voltage spectrum(1, &autoscale, QStringLiteral("Hz"), QStringLiteral("Magnitude [dB]"), 1);
        spectrum.controls->unitCombo->setCurrentIndex(
            spectrum.controls->unitCombo->findData(int(SpectrumUnit::noiseDensity)));
        QCOMPARE(spectrum.picker->trackerTextF(QPointF(1000, -120)).text(),
                 QString::fromUtf8("1000.000 Hz, -120.00000 dBV/\u221aHz (1.000e-06 V/\u221aHz)"));
        QVERIFY(spectrum.markerText().contains(QString::fromUtf8("0.0 dBV/\u221aHz (1.000e+00 V/\u221aHz)")));
    }

    // Tones at known frequencies off the FFT grid (bins of 10 Hz): the
    // labels sit at multiples of the fundamental, the third harmonic of
    // channel 2 above the Nyquist frequency folded back when aliased
    // harmonics count, and "S" at the spur; on the first channel shown, or
    // on the channel of the last placed marker.
    void harmonicLabelsMarkTheTones_data()
    {
        QTest::addColumn<bool>("markChannel2");
        QTest::addColumn<bool>("aliased");
        QTest::addColumn<QString>("labels"); // label@Hz ...
        QTest::newRow("first channel shown") << false << false << "F@1003 H2@2006 H3@3009 S@3333";
        QTest::newRow("marked channel") << true << false << "F@7001 H2@14002 S@5000";
        QTest::newRow("marked channel, aliased") << true << true << "F@7001 H2@14002 H3@19957 S@5000";
    }
    void harmonicLabelsMarkTheTones()
    {
        QFETCH(bool, markChannel2);
        QFETCH(bool, aliased);
        QFETCH(QString, labels);
        const double rate = 40960.0;
        const int scans = 4096;
        struct Tone { double hz, volts; };
        const std::vector<std::vector<Tone>> channels = {
            {{1003, 1.0}, {2006, 0.01}, {3009, 0.003}, {3333, 0.005}},
            {{7001, 1.0}, {14002, 0.01}, {21003, 0.003}, {5000, 0.005}}};
        Window w = openStoredFile(writeStoredFile(dir.filePath("tones.bin6842"), rate, scans, {0x0003}, 1,
                                                  [&](int, int o, int s) {
                                                      double v = 0;
                                                      for (const Tone &t : channels[size_t(o)])
                                                          v += t.volts * std::sin(twoPi * t.hz * s / rate);
                                                      return v;
                                                  }));
        QVERIFY(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->mainTabs->setCurrentIndex(1);
        AnalysisSettings settings;
        settings.harmonics = 3;
        settings.aliasedHarmonics = aliased;
        w->measPanel->setAnalysisSettings(settings);
        plot_voltage *spectrum = w->spectrumPlot;
        spectrum->selectAll(0);
        QVERIFY(showFileBlock(w.get(), 1));
        if (markChannel2) {
            spectrum->labels[0]->setSelected(false); // channel 1 hidden: the marker snaps to channel 2
            QVERIFY(waitForAnalysis(w.get()));
            const QPoint atTone(int(spectrum->plot->canvasMap(QwtPlot::xBottom).transform(7001)),
                                int(spectrum->plot->canvasMap(QwtPlot::yLeft).transform(0)));
            spectrum->markerMoved(atTone);
            QCOMPARE(spectrum->lastMarkedCurve(), 1);
            spectrum->labels[0]->setSelected(true);
        }
        spectrum->controls->harmonicsBox->setChecked(true);
        QTRY_VERIFY(!spectrum->harmonicMarks->shown().isEmpty());
        QVERIFY(waitForAnalysis(w.get()));
        QCOMPARE(spectrum->harmonicMarks->curve(), spectrum->curves[markChannel2 ? 1 : 0]);
        const auto shown = spectrum->harmonicMarks->shown();
        const QStringList expected = labels.split(' ');
        QCOMPARE(shown.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(shown[i].first, expected[i].section('@', 0, 0));
            // Within a hundredth of a bin.
            QVERIFY2(std::abs(shown[i].second - expected[i].section('@', 1).toDouble()) < 0.1,
                     qPrintable(QString::number(shown[i].second, 'f', 4)));
        }
        spectrum->controls->harmonicsBox->setChecked(false);
        QVERIFY(spectrum->harmonicMarks->shown().isEmpty());
    }
};

QTEST_MAIN(TestAppSpectrumPage)
#include "test_app_spectrumpage.moc"
