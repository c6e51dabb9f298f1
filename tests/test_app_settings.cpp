// Settings files of the card window on the simulated cards: save, change
// every control, load, and every control is back while the simulator's
// journal holds the saved configuration (channels at the load, triggers,
// timing and output triggers at the next start, nothing before Yes);
// values out of range, unknown keys and missing cards are reported while
// the rest applies; damaged files and failing saves are refused in one box.
#include "acqConfig.h"
#include "fpOutputTrigger.h"
#include "measurement.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_fileNames.h"
#include "nv6842fp_syncMethodDialog.h"
#include "nv9471fp_PTPalarm.h"
#include "nv9471fp_app.h"
#include "nv9471fp_digitCtrl.h"
#include "plot_voltage.h"
#include "test_app_window.h"
#include "test_sim_helpers.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What the operator can set that a settings file covers, read off the widgets.
QStringList controls(const nv6842fp_App *w)
{
    QStringList c;
    const auto combo = [&c](const QString &name, const QComboBox *box) {
        if (box)
            c << name + '=' + QString::number(box->currentIndex());
    };
    const auto check = [&c](const QString &name, const QCheckBox *box) {
        if (box)
            c << name + '=' + QString::number(box->isChecked());
    };
    const nv6842fp_DAQ *d = w->daq;
    combo("length", d->lengthCombo), combo("rate", d->rateCombo), check("store", d->storeToFile);
    combo("detection", d->trgLevel), combo("vref", d->vrefCombo), combo("padding", d->zeroPaddingCombo);
    combo("window", d->fftWindowCombo), combo("sine fit", d->sineFitCombo);
    for (int i = 0; i < 6; ++i)
        check(QStringLiteral("source %1").arg(i), d->trgSrc[i]);
    if (d->ptpAlarm)
        c << QStringLiteral("alarm=%1").arg(d->ptpAlarm->alarmTime());
    const acqConfig *a = w->acqDialog;
    c << "file=" + a->fileNameEdit->text();
    combo("format", a->formatCombo), check("stamps", a->timestampsBox), combo("refresh", a->refreshCombo);
    check("split", a->splitBox), combo("split unit", a->splitUnitCombo), check("trend", a->trendBox);
    c << QStringLiteral("split every=%1").arg(a->splitValue->value());
    combo("sync", w->waveform->syncMethod);
    const SpectrumViewSettings view = w->spectrumPlot->viewSettings();
    c << QStringLiteral("spectrum=%1 %2 %3 %4")
             .arg(int(view.averaging))
             .arg(view.averagingCount)
             .arg(int(view.unit))
             .arg(view.harmonics);
    const AnalysisSettings s = w->measPanel->analysisSettings();
    c << QString::asprintf("analysis=%d %d %d %d %d %.17g %.17g %d", s.harmonics, s.aliasedHarmonics, s.harmonicBins,
                           s.dcBins, s.fundamentalBins, s.bandLowHz, s.bandHighHz, int(s.fitStart));
    c << QStringLiteral("average=%1").arg(w->measPanel->averageBlocks());
    for (int k = 0; k < w->cards(); ++k) {
        const fpOutputTrigger *o = w->fpOutTrg[k];
        combo(QStringLiteral("card %1 out 1").arg(k), o->outputTrigger1);
        combo(QStringLiteral("card %1 out 2").arg(k), o->outputTrigger2);
        check(QStringLiteral("card %1 negate 1").arg(k), o->outputTrigger1negate);
        check(QStringLiteral("card %1 negate 2").arg(k), o->outputTrigger2negate);
    }
    for (const nv6842fp_chCfg *p : w->chPanels) {
        const QString ch = QStringLiteral("channel %1 ").arg(p->chIdx());
        combo(ch + "source", p->source), combo(ch + "gain", p->gain);
        check(ch + "enable", p->enable), check(ch + "filter", p->filter);
        if (p->d_fc == 0) {
            combo(ch + "mode", p->atMode), combo(ch + "hysteresis", p->atHyst), combo(ch + "comparison", p->atComp);
            c << ch + QString::asprintf("thresholds=%.17g %.17g", p->athr1->doublevalue(), p->athr2->doublevalue());
        }
    }
    return c;
}

// Sets every control to variant v (1 or 2, each differing from the other),
// sending as the operator's choices send.
void setControls(nv6842fp_App *w, int v)
{
    const auto pick = [v](QComboBox *box, int k = 0) {
        if (box)
            box->setCurrentIndex((k + v) % box->count());
    };
    nv6842fp_DAQ *d = w->daq;
    pick(d->lengthCombo), pick(d->rateCombo), pick(d->trgLevel);
    pick(d->zeroPaddingCombo), pick(d->fftWindowCombo), pick(d->sineFitCombo);
    d->storeToFile->setChecked(v == 2);
    for (int i = 0; i < 5; ++i)
        d->trgSrc[i]->setChecked(v == 1);
    if (d->trgSrc[5])
        d->trgSrc[5]->setChecked(v == 2);
    d->trgSrcChanged(false);
    if (d->ptpAlarm)
        d->ptpAlarm->setAlarmTime(2000000000 + v * 86461);
    pick(d->vrefCombo);
    emit d->vrefCombo->activated(d->vrefCombo->currentIndex());
    acqConfig *a = w->acqDialog;
    pick(a->formatCombo), pick(a->refreshCombo);
    a->fileNameEdit->setText(QStringLiteral("/tmp/run%1.%2").arg(v).arg(v == 1 ? "csv" : "bin6842"));
    a->timestampsBox->setChecked(v == 1);
    a->splitBox->setChecked(v == 1), a->splitValue->setValue(7 * v), pick(a->splitUnitCombo);
    a->trendBox->setChecked(v == 2);
    pick(w->waveform->syncMethod);
    w->spectrumPlot->setViewSettings({AveragingMode(v), 20 * v, SpectrumUnit(v + 1), v == 1});
    AnalysisSettings s;
    s.harmonics = 3 + v, s.aliasedHarmonics = v == 1, s.harmonicBins = 2 + v, s.dcBins = 3 + v;
    s.fundamentalBins = 4 + v, s.bandLowHz = 12.5 * v, s.bandHighHz = 1000.25 * v;
    s.fitStart = v == 1 ? FitStart::interpolated : FitStart::largestBin;
    w->measPanel->setAnalysisSettings(s);
    w->measPanel->setAverageBlocks(3 * v);
    for (int k = 0; k < w->cards(); ++k) {
        fpOutputTrigger *o = w->fpOutTrg[k];
        pick(o->outputTrigger1, k), pick(o->outputTrigger2, k);
        o->outputTrigger1negate->setChecked((k + v) % 2), o->outputTrigger2negate->setChecked((k + v + 1) % 2);
    }
    for (nv6842fp_chCfg *p : w->chPanels) {
        const int k = p->chIdx();
        pick(p->source, k), pick(p->gain, k), pick(p->atMode, k), pick(p->atHyst, k), pick(p->atComp, k + 1);
        p->enable->setChecked((k + v) % 2);
        p->filter->setChecked((k + v) % 2);
        p->setChCfg();
        p->setAT();
        p->athr1->setValue(0.001 * v); // inside the range of every gain
        p->athr2->setValue(-0.0005 * v);
    }
}

// The cards' state as the journal tells it: the last configuration of each
// channel and analog trigger, and of each carrier's reference.
struct CardState
{
    QMap<QString, QString> last;
    void take(const QStringList &lines)
    {
        for (const QString &line : lines)
            if (line.startsWith("nv6842_setMultChanConfig(") || line.startsWith("nv6842_setMultATRIConfig("))
                last[line.section(',', 0, 1)] = line;
            else if (line.startsWith("setVoltRefOutput("))
                last[line.section(',', 0, 0)] = line;
    }
};

// What a start sends: trigger, timing, output triggers and their polarities.
QStringList startLines(const QStringList &lines)
{
    return lines.filter(QRegularExpression("^nv6842_(setMultTrigConfig|multConfig|setOTRIConfig|setFPTrigPolarity)\\("));
}

QStringList started(nv6842fp_App *w)
{
    journal();
    w->singleButton->click(); // its triggers never come: the set-up is what counts
    const QStringList lines = startLines(journal());
    w->waveform->breakSingle();
    return lines;
}

const QByteArray header = "[File]\nProgram=Trellin 6842 Soft Front Panel\nFormat=1\n";

} // namespace

class TestAppSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString answer; // the file name the next question gets
    QList<nv6842fp_fileQuestion> questions;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        nv6842fp_setFileAsker([this](const nv6842fp_fileQuestion &q) {
            questions << q;
            return answer;
        });
    }
    void cleanupTestCase() { nv6842fp_setFileAsker(nullptr); }

    void saveChangeLoad_data()
    {
        QTest::addColumn<QByteArray>("sim");
        QTest::addColumn<QStringList>("cards");
        QTest::newRow("two cards on one VXI carrier") << QByteArray() << QStringList{"VXI0::2::INSTR", "VXI0::2::INSTR"};
        QTest::newRow("two LXI hosts: PTP alarm, synchronisation")
            << QByteArray("carrier lxi ip=127.0.0.2; fc 1; carrier lxi ip=127.0.0.3; fc 1")
            << QStringList{"TCPIP0::127.0.0.2::INSTR", "TCPIP0::127.0.0.3::INSTR"};
    }
    void saveChangeLoad()
    {
        QFETCH(QByteArray, sim);
        QFETCH(QStringList, cards);
        SimConfig config(sim);
        MessageRecorder recorder;
        auto watch = whenModal<nv6842fp_syncMethodDialog>([](nv6842fp_syncMethodDialog *d) { d->okButton->click(); });
        Window w = realWindow(recorder, {{cards[0], 1}, {cards[1], cards[0] == cards[1] ? 2 : 1}});
        QVERIFY(w && w->cards() == 2);
        QCOMPARE(bool(w->waveform->syncMethod), !sim.isEmpty());
        CardState card;
        card.take(journal());
        setControls(w.get(), 1);
        card.take(journal());
        const CardState saved = card;
        const QStringList savedControls = controls(w.get());
        const QStringList savedStart = started(w.get());
        QCOMPARE(savedStart.size(), 6); // trigger, timing, and two lines per card
        answer = dir.filePath("every.ini");
        w->daq->saveSettingsButton->click();
        QCOMPARE(questions.last().kind, QStringLiteral("Settings"));

        setControls(w.get(), 2);
        card.take(journal());
        const QStringList changed = controls(w.get());
        for (int i = 0; i < changed.size(); ++i)
            QVERIFY2(changed[i] != savedControls.value(i), qPrintable(changed[i])); // every control changed

        recorder.clear();
        QStringList sentBeforeYes{"not asked"};
        recorder.onBox = [&](const sfp::MessageRequest &) { sentBeforeYes = journal(); };
        recorder.answerStandard(QMessageBox::Yes);
        w->daq->loadSettingsButton->click();
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().icon, QMessageBox::Question);
        QVERIFY2(!recorder.last().text.contains("cannot be applied"), qPrintable(recorder.last().text));
        QCOMPARE(sentBeforeYes, QStringList());
        QVERIFY(questions.last().startPath.startsWith(dir.path())); // the folder is remembered
        const QStringList loaded = journal();
        QCOMPARE(startLines(loaded), QStringList());
        card.take(loaded);
        QCOMPARE(card.last, saved.last);
        QCOMPARE(controls(w.get()), savedControls);
        QCOMPARE(started(w.get()), savedStart);
        QCOMPARE(recorder.count(), 1);
    }

    // Files crafted with one fault each beside a valid length: the fault is
    // named, the length applies, nothing breaks. The first card offers rates
    // up to 20 kHz only.
    void faultsAreReportedTheRestApplies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reported");
        QTest::newRow("rate outside the card's range") << QByteArray("Rate=50000\n") << "Acquisition, Rate = 50000: ";
        QTest::newRow("threshold outside the range of its gain")
            << QByteArray("[Card 1 Channel 2]\nGain=100\nThreshold1=0.5\n") << "Card 1 Channel 2, Threshold1 = 0.5: ";
        QTest::newRow("unknown key") << QByteArray("Colour=blue\n") << "Acquisition, Colour = blue: ";
        QTest::newRow("unknown key of a long value, shortened")
            << "Colour=" + QByteArray(5000, 'x') + '\n' << "Acquisition, Colour = " + QString(99, 'x') + "\u2026: ";
        QTest::newRow("missing card") << QByteArray("[Card 3 Channel 1]\nGain=10\n") << "Card 3: ";
        QTest::newRow("another model") << QByteArray("[Card 2]\nModel=6851\n[Card 2 Channel 1]\nGain=10\n")
                                       << "Card 2, Model = 6851: ";
        QTest::newRow("analog trigger of the second card")
            << QByteArray("[Card 2 Channel 1]\nTriggerMode=EDGE\n") << "Card 2 Channel 1, TriggerMode = EDGE: ";
        QTest::newRow("file split below its range")
            << QByteArray("[Streaming]\nSplitEvery=0\n")
            << "Streaming, SplitEvery = 0: not a whole number from 1 to 1000000";
        QTest::newRow("analysis setting outside its range")
            << QByteArray("[Measurements]\nHarmonicBins=101\n")
            << "Measurements, HarmonicBins = 101: the harmonic half-span must be 1 to 100 bins";
        QTest::newRow("analysis setting unreadable, its range named")
            << QByteArray("[Measurements]\nDcBins=many\n")
            << "Measurements, DcBins = many: the DC exclusion must be 0 to 100 bins";
        QTest::newRow("analysis band upside down, none applied")
            << QByteArray("[Measurements]\nHarmonics=5\nBandLowHz=5000\nBandHighHz=100\n")
            << "Measurements: the analysis band must lie from 0 Hz";
        QTest::newRow("spectrum averaging count outside its range")
            << QByteArray("[Spectrum]\nAveragingCount=1\n")
            << "Spectrum, AveragingCount = 1: not a whole number from 2 to 1000";
        QTest::newRow("measurement averages outside their range")
            << QByteArray("[Measurements]\nAverageBlocks=1001\n")
            << "Measurements, AverageBlocks = 1001: not a whole number from 1 to 1000";
    }
    void faultsAreReportedTheRestApplies()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, reported);
        SimConfig config("carrier vxi slot=2; fc 1 rate=1:20000; fc 2");
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        answer = dir.filePath("fault.ini");
        QFile file(answer);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(header + "[Acquisition]\nLength=512\n" + body);
        file.close();
        const AnalysisSettings analysis = w->measPanel->analysisSettings(); // the stored ones
        recorder.clear();
        recorder.answerStandard(QMessageBox::Yes);
        w->daq->loadSettingsButton->click();
        QCOMPARE(recorder.count(), 1);
        QVERIFY2(recorder.last().text.contains("These cannot be applied:\n" + reported), qPrintable(recorder.last().text));
        QCOMPARE(w->daq->lengthCombo->currentData().toInt(), 512);
        QCOMPARE(w->chPanels[1]->gain->currentData().toInt(), body.contains("Gain=100") ? 100 : 1);
        QCOMPARE(w->chPanels[16]->gain->currentData().toInt(), 1); // not Card 2's of another model
        QVERIFY(w->measPanel->analysisSettings() == analysis);
    }

    // Refused whole, in one warning; no control changes, nothing is sent.
    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("text"); // empty: the path names no file
        QTest::addColumn<QString>("reason");
        QTest::newRow("binary") << QByteArray("\x7f" "ELF\x02\x01\x00\x00", 8) << "NUL bytes";
        QTest::newRow("another program") << QByteArray("[File]\nProgram=Other\nFormat=1\n") << "not a settings file";
        QTest::newRow("later format") << header.left(header.size() - 2) + "2\n" << "format 2";
        QTest::newRow("no key=value") << header + "[Acquisition]\nLength 512\n" << "line 5 is neither";
        QTest::newRow("key twice") << header + "[Acquisition]\nLength=512\nlength=64\n" << "line 6 gives length";
        QTest::newRow("broken quotes") << header + "[Streaming]\nFile=\"a\n" << "line 5 has a broken";
        QTest::newRow("no file") << QByteArray() << "No such file";
    }
    void damagedFilesAreRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        answer = dir.filePath(QStringLiteral("damaged-%1.ini").arg(QTest::currentDataTag()));
        QFile file(answer);
        QVERIFY(text.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(text) == text.size()));
        file.close();
        const QStringList before = controls(w.get());
        recorder.clear();
        journal();
        w->daq->loadSettingsButton->click();
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().icon, QMessageBox::Warning);
        const QString text0 = recorder.last().text;
        QVERIFY2(text0.startsWith("Cannot load the settings of \"" + answer + "\":\n") && text0.contains(reason),
                 qPrintable(text0));
        QCOMPARE(controls(w.get()), before);
        QCOMPARE(journal(), QStringList());
    }

    // A full disk or a missing folder: one error box, and no file left behind.
    void failedSavesLeaveNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << "/dev/full" << "No space left on device";
        QTest::newRow("missing folder") << "missing/s.ini" << "No such file or directory";
    }
    void failedSavesLeaveNothing()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        MessageRecorder recorder;
        Window w = demoWindow(1);
        QTemporaryDir out;
        answer = path.startsWith('/') ? path : out.filePath(path);
        w->daq->saveSettingsButton->click();
        QCOMPARE(recorder.texts(), QStringList{"Cannot save the settings to \"" + answer + "\":\n" + reason + "."});
        QCOMPARE(recorder.last().icon, QMessageBox::Critical);
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

int main(int argc, char **argv)
{
    // The window sees "-acperf" among the program's arguments (the sine fit
    // is a setting too); QtTest gets the real ones.
    static char acperfWord[] = "-acperf";
    std::vector<char *> appArgv(argv, argv + argc);
    appArgv.push_back(acperfWord);
    appArgv.push_back(nullptr);
    int appArgc = argc + 1;
    QApplication app(appArgc, appArgv.data());
    sfp::setMessageCard(&gl_fc);
    TestAppSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app_settings.moc"
