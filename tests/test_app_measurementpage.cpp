// The measurement page's harmonic and spur details, analysis settings,
// averaged figures, leakage warning and coherent-frequency helper, in the
// real window on stored files of known make-up: tones of known amplitude and
// frequency, harmonics of known level, blocks of known amplitudes.
#include "analysisSettingsDialog.h"
#include "leakageWarning.h"
#include "measurementDetails.h"
#include "measurementOptions.h"
#include "measurementText.h"
#include "nv6842fp_DAQ.h"
#include "test_app_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <cmath>

namespace {

const double twoPi = 2 * M_PI;
const double rate = 40960.0; // 4096 scans: bins of 10 Hz
const int scans = 4096;

struct Tone
{
    double hz, volts;
};

// One block; channel o (of the enabled ones) holds tones[o].
QString writeTones(const QString &path, uint16_t mask, const std::vector<std::vector<Tone>> &tones)
{
    return writeStoredFile(path, rate, scans, {mask}, 1, [&](int, int o, int s) {
        double v = 0;
        for (const Tone &t : tones[size_t(o)])
            v += t.volts * std::sin(twoPi * t.hz * s / rate);
        return v;
    });
}

Window viewFile(const QString &path)
{
    Window w = openStoredFile(path);
    return w && showFileBlock(w.get(), 1) ? std::move(w) : nullptr;
}

QString detailsCell(nv6842fp_App *w, int row, const QString &header)
{
    const QStandardItemModel *model = w->measPanel->details->model;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->horizontalHeaderItem(c)->text() == header)
            return model->item(row, c)->text();
    return QStringLiteral("no column ") + header;
}

QStringList detailsRow(nv6842fp_App *w, int row)
{
    QStringList cells;
    const QStandardItemModel *model = w->measPanel->details->model;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->item(row, c)->text();
    return cells;
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// The program's settings, group "Analysis", read afresh.
std::unique_ptr<QSettings> storedSettings()
{
    auto store = std::make_unique<QSettings>(QStringLiteral("Norvane Ltd."), QStringLiteral("Trellin 6842 Soft Front Panel"));
    store->beginGroup(QStringLiteral("Analysis"));
    return store;
}

} // namespace

class TestAppMeasurementPage : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void init() { storedSettings()->remove(QString()); }
    void cleanup() { StoredFileInfo = StoredFileInfo_t{}; }

    // Channel 1: 1 V at 1000 Hz with 1 mV at 2000 Hz (-60 dBc, -80 dBFS of
    // the file's 10 V) and 0.3 mV at 3000 Hz; channel 3: 2 V at 1500 Hz with
    // 2 mV at 3000 Hz. The table shows them, its clipboard text carries the
    // settings line and its cells; settings other than the defaults mark the
    // figures they steer.
    void detailsOfKnownHarmonics()
    {
        Window w = viewFile(writeTones(dir.filePath("harmonics.bin6842"), 0x0005,
                                       {{{1000, 1.0}, {2000, 0.001}, {3000, 0.0003}}, {{1500, 2.0}, {3000, 0.002}}}));
        QVERIFY(w);
        QVERIFY(!w->measPanel->details->isChecked()); // closed at first
        w->measPanel->details->setChecked(true);
        QVERIFY(waitForAnalysis(w.get()));
        QCOMPARE(detailsCell(w.get(), 0, "H2 (Hz)"), QStringLiteral("2000.000"));
        QCOMPARE(detailsCell(w.get(), 0, "H2 (dBc)"), fixed(-60.0, 2));
        QCOMPARE(detailsCell(w.get(), 0, "H2 (dBFS)"), fixed(-80.0, 2));
        QCOMPARE(detailsCell(w.get(), 0, "H3 (dBc)"), fixed(20 * std::log10(0.0003), 2));
        QCOMPARE(detailsCell(w.get(), 2, "H2 (dBFS)"), fixed(20 * std::log10(0.002 / 10), 2));
        QCOMPARE(detailsCell(w.get(), 1, "H2 (dBc)"), QString::fromLatin1(missingFigureText));

        w->measPanel->details->copyButton->click();
        QStringList lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.value(0), QStringLiteral("Number of scans: 4096, scan rate: 40960.000 Hz"));
        QCOMPARE(lines.value(1), QString::fromStdString(analysisSettingsLine(AnalysisSettings())));
        QCOMPARE(lines.value(4), QStringLiteral("1,") + detailsRow(w.get(), 0).join(','));
        QCOMPARE(lines.value(5), QStringLiteral("3,") + detailsRow(w.get(), 2).join(','));
        const QStringList mainCells = {w->measPanel->rows[0][0]->text(), w->measPanel->rows[0][5]->text()};
        QCOMPARE(w->measPanel->rows[0][5]->toolTip(), QString());

        AnalysisSettings two;
        two.harmonics = 2;
        w->measPanel->setAnalysisSettings(two);
        QCOMPARE(detailsCell(w.get(), 0, "H3 (dBc)"), QStringLiteral("no column H3 (dBc)"));
        QCOMPARE(w->measPanel->rows[0][0]->text(), mainCells[0]); // the fit follows no spectral setting
        QVERIFY(!w->measPanel->rows[0][0]->background().style());
        QVERIFY(w->measPanel->rows[0][5]->background().style());
        QVERIFY(w->measPanel->rows[0][5]->toolTip().contains(QString::fromStdString(analysisSettingsChanges(two))));
        QVERIFY(w->measPanel->details->model->item(0, 0)->background().style());
        w->measPanel->details->copyButton->click();
        lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.value(1), QString::fromStdString(analysisSettingsLine(two)));
        // The main table's clipboard keeps its layout: no mark in a cell.
        w->measPanel->copyButton->click();
        QVERIFY(QApplication::clipboard()->text().split('\n').value(3).startsWith(
            QStringLiteral("1,-,-,") + mainCells[0] + QLatin1Char(',')));
    }

    // The dialog's settings are applied, stored and read by the next window.
    void settingsDialogAppliesAndStores()
    {
        Window w = viewFile(writeTones(dir.filePath("stored.bin6842"), 0x0001, {{{1000, 1.0}}}));
        QVERIFY(w);
        MessageRecorder recorder;
        auto watch = whenModal<analysisSettingsDialog>([](analysisSettingsDialog *d) {
            d->harmonics->setValue(5);
            d->aliased->setChecked(true);
            d->bandLow->setText(QStringLiteral("20"));
            d->bandHigh->setText(QStringLiteral("20000"));
            d->fitStart->setCurrentIndex(1);
            d->okButton->click();
        });
        w->measPanel->options->settingsButton->click();
        AnalysisSettings expected;
        expected.harmonics = 5;
        expected.aliasedHarmonics = true;
        expected.bandLowHz = 20;
        expected.bandHighHz = 20000;
        expected.fitStart = FitStart::interpolated;
        QVERIFY(w->measPanel->analysisSettings() == expected);
        QCOMPARE(storedSettings()->value(QStringLiteral("Harmonics")).toString(), QStringLiteral("5"));
        QCOMPARE(storedSettings()->value(QStringLiteral("BandHighHz")).toString(), QStringLiteral("20000"));
        w.reset();
        Window next = demoWindow(1);
        QVERIFY(next->measPanel->analysisSettings() == expected);
        QVERIFY(next->measPanel->warningLabel->isHidden());
        QCOMPARE(recorder.count(), 0);
    }

    // A band upside down in the dialog, and stored values out of range or
    // unreadable, are refused with a message that names the setting; the
    // defaults stay in force and the store keeps what it holds.
    void badSettingsAreRefused_data()
    {
        QTest::addColumn<QString>("storedKey"); // "": typed into the dialog
        QTest::addColumn<QString>("storedValue");
        QTest::addColumn<QString>("named");
        QTest::newRow("band upside down") << "" << "" << "from 0 Hz up to the Nyquist";
        QTest::newRow("stored harmonics 55") << "Harmonics" << "55" << "2 to 30";
        QTest::newRow("stored span unreadable") << "DcBins" << "seven" << "DcBins";
    }
    void badSettingsAreRefused()
    {
        QFETCH(QString, storedKey);
        QFETCH(QString, storedValue);
        QFETCH(QString, named);
        MessageRecorder recorder;
        if (!storedKey.isEmpty()) {
            storedSettings()->setValue(storedKey, storedValue);
            Window w = demoWindow(1);
            QVERIFY(w->measPanel->analysisSettings() == AnalysisSettings());
            QVERIFY(!w->measPanel->warningLabel->isHidden());
            QVERIFY2(w->measPanel->warningLabel->text().contains(named), qPrintable(w->measPanel->warningLabel->text()));
            QCOMPARE(storedSettings()->value(storedKey).toString(), storedValue);
            return;
        }
        Window w = demoWindow(1);
        bool stayedOpen = false;
        auto watch = whenModal<analysisSettingsDialog>([&](analysisSettingsDialog *d) {
            d->bandLow->setText(QStringLiteral("5000"));
            d->bandHigh->setText(QStringLiteral("2000"));
            d->okButton->click();
            stayedOpen = d->isVisible();
            d->cancelButton->click();
        });
        w->measPanel->options->settingsButton->click();
        QVERIFY(stayedOpen);
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.boxes.value(0).icon, QMessageBox::Warning);
        QVERIFY2(recorder.boxes.value(0).text.contains(named), qPrintable(recorder.boxes.value(0).text));
        QVERIFY(w->measPanel->analysisSettings() == AnalysisSettings());
        QVERIFY(storedSettings()->childKeys().isEmpty());
    }

    // Blocks of amplitude 1.00, 1.01, ... 1.04 V: over the last 4 blocks the
    // amplitude is their mean and its tool tip their sample standard
    // deviation; the same block asked for again is not counted twice.
    void figuresAveragedOverBlocks()
    {
        const int blocks = 5;
        Window w = openStoredFile(writeStoredFile(dir.filePath("averaged.bin6842"), rate, scans, {0x0001}, blocks,
                                                  [](int b, int, int s) {
                                                      return (1 + 0.01 * b) * std::sin(twoPi * 1000 * s / rate);
                                                  }));
        QVERIFY(w);
        w->measPanel->setAverageBlocks(4);
        QVERIFY(showFileBlock(w.get(), 1)); // and block 2
        for (int b = 3; b <= 4; ++b)
            QVERIFY(showFileBlock(w.get(), b));
        const QStandardItem *amplitude = w->measPanel->rows[0][0];
        QCOMPARE(amplitude->text(), fixed(1.015, 6));
        const double spread = std::sqrt((2 * 0.015 * 0.015 + 2 * 0.005 * 0.005) / 3);
        QVERIFY2(amplitude->toolTip().contains(QString::number(spread, 'g', 6)), qPrintable(amplitude->toolTip()));
        QCOMPARE(w->measPanel->options->countLabel->text(), QStringLiteral("4 of 4"));
        QVERIFY(showFileBlock(w.get(), 5));
        w->measPanel->recalculate();
        QCOMPARE(amplitude->text(), fixed(1.025, 6));
        w->measPanel->setAverageBlocks(1);
        QCOMPARE(amplitude->text(), fixed(1.04, 6));
        QCOMPARE(amplitude->toolTip(), QString());
    }

    // A tone off the FFT grid under the 3-parameter fit: a bold warning on a
    // line of its own below the label when the offset passes 0.01 bin; the
    // label reads as with the 4-parameter fit. Started from the interpolated
    // fundamental, the fit reads the amplitude within 1e-4.
    void leakageWarning_data()
    {
        QTest::addColumn<double>("offBins");
        QTest::addColumn<bool>("interpolated");
        QTest::addColumn<bool>("warned");
        QTest::newRow("0.02 bin") << 0.02 << false << true;
        QTest::newRow("0.005 bin") << 0.005 << false << false;
        QTest::newRow("0.46 bin, interpolated start") << 0.46 << true << false;
    }
    void leakageWarning()
    {
        QFETCH(double, offBins);
        QFETCH(bool, interpolated);
        QFETCH(bool, warned);
        AnalysisSettings settings;
        settings.fitStart = interpolated ? FitStart::interpolated : FitStart::largestBin;
        Window w = viewFile(writeTones(dir.filePath("leak.bin6842"), 0x0001, {{{(100 + offBins) * rate / scans, 1.0}}}));
        QVERIFY(w);
        w->measPanel->setAnalysisSettings(settings);
        QLabel *warning = w->measPanel->warningLabel;
        QCOMPARE(!warning->isHidden(), warned);
        if (warned) {
            QVERIFY(warning->text().startsWith("<b>") && warning->text().contains(fixed(offBins, 3)));
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->mainTabs->setCurrentIndex(4);
            QVERIFY(warning->geometry().top() >= w->measPanel->label->geometry().bottom());
        }
        if (interpolated)
            QVERIFY(std::abs(w->measPanel->rows[0][0]->text().toDouble() - 1.0) < 1e-4);
        const QString label = w->measPanel->label->text();
        selectData(w->daq->sineFitCombo, 5);
        QVERIFY(waitForAnalysis(w.get()));
        QVERIFY(warning->isHidden());
        QCOMPARE(w->measPanel->label->text(), label);
    }

    // 1000 Hz is 100 cycles of 1000 scans at 10 kHz, even: of the odd counts
    // that share no factor with 1000, 99 and 101 are as near, and the lower wins.
    void coherentFrequencyOfTheBlock()
    {
        Window w = viewFile(writeStoredFile(dir.filePath("coherent.bin6842"), 10000.0, 1000, {0x0001}, 1,
                                            [](int, int, int s) { return std::sin(twoPi * 12 * s / 1000); }));
        QVERIFY(w);
        w->measPanel->options->wantedEdit->setText(QStringLiteral("1000"));
        QCOMPARE(w->measPanel->options->coherentLabel->text(), QStringLiteral("990 Hz (J = 99 cycles in 1000 scans)"));
    }
};

int main(int argc, char **argv)
{
    // The window sees "-acperf" among the program's arguments.
    static char acperfWord[] = "-acperf";
    std::vector<char *> appArgv(argv, argv + argc);
    appArgv.push_back(acperfWord);
    appArgv.push_back(nullptr);
    int appArgc = argc + 1;
    QApplication app(appArgc, appArgv.data());
    sfp::setMessageCard(&gl_fc);
    TestAppMeasurementPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app_measurementpage.moc"
