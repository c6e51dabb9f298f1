#include "nv6842fp_settingsFile.h"

#include "acqConfig.h"
#include "fpOutputTrigger.h"
#include "measurement.h"
#include "nv6842fp_App.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_fileNames.h"
#include "nv6842fp_panelHelpers.h"
#include "nv9471fp_PTPalarm.h"
#include "plot_voltage.h"
#include "wholeFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// At most `lines` lines of a list, then how many more; *cut says whether
// any were left out.
QString shortList(const QStringList &list, int lines, bool *cut)
{
    if (list.size() <= lines)
        return list.join(QLatin1Char('\n'));
    *cut = true;
    return QStringList(list.mid(0, lines)).join(QLatin1Char('\n'))
           + QStringLiteral("\n\u2026 and %1 more (see the details)").arg(list.size() - lines);
}

} // namespace

nv6842fp_settingsFile::nv6842fp_settingsFile(nv6842fp_App *window_) : QObject(window_), window(window_)
{
    connect(window->daq->saveSettingsButton, &QPushButton::clicked, this, &nv6842fp_settingsFile::save);
    connect(window->daq->loadSettingsButton, &QPushButton::clicked, this, &nv6842fp_settingsFile::load);
}

nv6842fp_setupLimits nv6842fp_settingsFile::limits()
{
    const nv6842fp_DAQ *daq = window->daq;
    nv6842fp_setupLimits limits;
    limits.cards = window->cards();
    for (ViUInt16 subtype : qAsConst(window->fcSubtype))
        limits.subtypes << QString(QChar(subtype >> 8)) + QChar(subtype & 0xFF);
    for (int i = 0; i < daq->lengthCombo->count(); ++i)
        limits.lengths << daq->lengthCombo->itemData(i).toInt();
    for (int i = 0; i < daq->rateCombo->count(); ++i)
        limits.rates << daq->rateCombo->itemData(i).toDouble();
    for (int i = 0; i < daq->vrefCombo->count(); ++i)
        limits.vrefs << vrefs[std::clamp(daq->vrefCombo->itemData(i).toInt(), 0, vrefCapacity - 1)];
    // The channel panels' own factor (1 without a card), so the check is theirs.
    limits.thresholdFactor =
        window->demoMode ? 1 : window->firstCardSubtype().factor(window->d_vi, [this](ViStatus status, const char *call) {
            window->displayError(status, call);
        });
    limits.lxi = daq->ptpAlarm != nullptr;
    limits.acperf = daq->acperf; // the sine fit and the measurement page
    limits.syncChoice = window->waveform->syncMethod != nullptr;
    return limits;
}

void nv6842fp_settingsFile::buildTable(settingsTable &table, nv6842fp_panelSetup &setup)
{
    nv6842fp_addSettingsRows(table, setup, limits(), *this);
    // Pages with settings of their own add their groups and rows here.
}

void nv6842fp_settingsFile::save()
{
    nv6842fp_fileQuestion question;
    question.parent = window;
    question.caption = QStringLiteral("Save Settings");
    question.filters = QStringLiteral("Settings files (*.ini);;All files (*)");
    question.kind = QStringLiteral("Settings");
    question.suggestedName = QStringLiteral("sfp6842-settings.ini");
    const QString path = nv6842fp_askFileName(question);
    if (!path.isEmpty())
        saveTo(path);
}

void nv6842fp_settingsFile::saveTo(const QString &path)
{
    settingsTable table(QLatin1String(nv6842fp_settingsProgram), nv6842fp_settingsFormat);
    nv6842fp_panelSetup setup;
    buildTable(table, setup);
    const QByteArray text =
        table.save(QStringLiteral("Settings of the %1, %2 function card(s).\n"
                                  "Cards are matched by their position in the session.")
                       .arg(QLatin1String(nv6842fp_settingsProgram))
                       .arg(window->cards()));
    QString reason;
    if (!writeWholeFile(path, text, &reason))
        nv6842fp_cardBox(window, QMessageBox::Critical,
                         QStringLiteral("Cannot save the settings to \"%1\":\n%2.").arg(native(path), reason));
}

void nv6842fp_settingsFile::load()
{
    nv6842fp_fileQuestion question;
    question.parent = window;
    question.caption = QStringLiteral("Load Settings");
    question.filters = QStringLiteral("Settings files (*.ini);;All files (*)");
    question.kind = QStringLiteral("Settings");
    question.save = false;
    const QString path = nv6842fp_askFileName(question);
    if (!path.isEmpty())
        loadFrom(path);
}

void nv6842fp_settingsFile::loadFrom(const QString &path)
{
    // The pages are disabled while a run reads them; a call from elsewhere gets the same answer.
    if (window->waveform->isAcquiring()) {
        nv6842fp_cardBox(window, QMessageBox::Warning,
                         QStringLiteral("Settings are loaded only while no acquisition runs."));
        return;
    }
    const QString refusal = QStringLiteral("Cannot load the settings of \"%1\":\n%2.");
    QByteArray bytes;
    QString reason;
    if (!readWholeFile(path, settingsIniMaxBytes, &bytes, &reason)) {
        nv6842fp_cardBox(window, QMessageBox::Warning, refusal.arg(native(path), reason));
        return;
    }
    settingsTable table(QLatin1String(nv6842fp_settingsProgram), nv6842fp_settingsFormat);
    nv6842fp_panelSetup setup;
    buildTable(table, setup);
    const settingsPlan plan = table.plan(settingsParseIni(bytes));
    if (!plan.refused.isEmpty()) {
        nv6842fp_cardBox(window, QMessageBox::Warning, refusal.arg(native(path), plan.refused));
        return;
    }

    QStringList changes;
    for (const settingsChange &change : plan.changes)
        changes << change.text();
    bool cut = false;
    QString summary;
    if (!changes.isEmpty())
        summary += QStringLiteral("These settings change:\n") + shortList(changes, summaryLines, &cut);
    if (!plan.problems.isEmpty())
        summary += QStringLiteral("%1These cannot be applied:\n").arg(summary.isEmpty() ? QString() : QStringLiteral("\n\n"))
                   + shortList(plan.problems, summaryLines, &cut);

    sfp::MessageRequest request;
    request.title = QStringLiteral("Trellin 6842 SFP");
    request.parent = window;
    if (cut)
        request.detailedText = (changes + plan.problems).join(QLatin1Char('\n'));
    if (changes.isEmpty()) {
        request.icon = plan.problems.isEmpty() ? QMessageBox::Information : QMessageBox::Warning;
        request.text = plan.problems.isEmpty()
                           ? QStringLiteral("The panel already shows the settings of \"%1\".").arg(native(path))
                           : QStringLiteral("Nothing of \"%1\" changes the panel.\n\n").arg(native(path)) + summary;
        sfp::ask(request);
        return;
    }
    request.icon = QMessageBox::Question;
    request.text = QStringLiteral("Load the settings of \"%1\"?\n\n").arg(native(path)) + summary
                   + QStringLiteral("\n\nNothing is sent to the cards unless you answer Yes.");
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = QMessageBox::No;
    if (sfp::ask(request).standard == QMessageBox::Yes)
        table.apply(plan);
}

void nv6842fp_settingsFile::readAcquisition(nv6842fp_acquisitionSetup &setup)
{
    const nv6842fp_DAQ *daq = window->daq;
    setup.length = daq->lengthCombo->currentIndex();
    setup.rate = daq->rateCombo->currentIndex();
    setup.storeToFile = daq->storeToFile->isChecked();
    setup.ptpAlarm = daq->trgSrc[5] && daq->trgSrc[5]->isChecked();
    setup.alarmUtc = daq->ptpAlarm ? daq->ptpAlarm->alarmTime() - daq->ptpAlarm->utcOffset : 0;
    setup.detection = daq->trgLevel->currentIndex();
    for (int i = 0; i < 5; ++i)
        setup.sources[i] = daq->trgSrc[i]->isChecked();
}

void nv6842fp_settingsFile::applyAcquisition(const nv6842fp_acquisitionSetup &setup)
{
    nv6842fp_DAQ *daq = window->daq;
    daq->lengthCombo->setCurrentIndex(setup.length);
    daq->rateCombo->setCurrentIndex(setup.rate);
    daq->storeToFile->setChecked(setup.storeToFile);
    daq->trgLevel->setCurrentIndex(setup.detection);
    for (int i = 0; i < 5; ++i)
        daq->trgSrc[i]->setChecked(setup.sources[i]);
    if (daq->trgSrc[5])
        daq->trgSrc[5]->setChecked(setup.ptpAlarm);
    daq->trgSrcChanged(false); // which boxes are usable
    if (daq->ptpAlarm)
        daq->ptpAlarm->setAlarmTime(setup.alarmUtc + daq->ptpAlarm->utcOffset);
}

void nv6842fp_settingsFile::readVref(int &index)
{
    index = window->daq->vrefCombo->currentIndex();
}

void nv6842fp_settingsFile::applyVref(int index)
{
    window->daq->vrefCombo->setCurrentIndex(index);
    window->daq->setVref(window->daq->vrefCombo->currentData().toInt()); // sent at once, as a choice is
}

void nv6842fp_settingsFile::readFft(nv6842fp_fftSetup &setup)
{
    const nv6842fp_DAQ *daq = window->daq;
    setup.padding = daq->zeroPaddingCombo->currentIndex();
    setup.window = daq->fftWindowCombo->currentIndex();
    setup.sineFit = daq->sineFitCombo ? daq->sineFitCombo->currentIndex() : 0;
}

void nv6842fp_settingsFile::applyFft(const nv6842fp_fftSetup &setup)
{
    nv6842fp_DAQ *daq = window->daq;
    daq->zeroPaddingCombo->setCurrentIndex(setup.padding);
    daq->fftWindowCombo->setCurrentIndex(setup.window);
    if (daq->sineFitCombo)
        daq->sineFitCombo->setCurrentIndex(setup.sineFit);
}

void nv6842fp_settingsFile::readStreaming(nv6842fp_streamingSetup &setup)
{
    const acqConfig *dialog = window->acqDialog;
    setup.fileName = dialog->fileNameEdit->text();
    setup.format = dialog->formatCombo->currentIndex();
    setup.timestamps = dialog->timestampsBox->isChecked();
    setup.refresh = dialog->refreshCombo->currentIndex();
    setup.splitFiles = dialog->splitBox->isChecked();
    setup.splitEvery = dialog->splitValue->value();
    setup.splitUnit = dialog->splitUnitCombo->currentIndex();
    setup.trendLog = dialog->trendBox->isChecked();
}

void nv6842fp_settingsFile::applyStreaming(const nv6842fp_streamingSetup &setup)
{
    acqConfig *dialog = window->acqDialog;
    // The format first: its change fits the extension of the name shown.
    dialog->formatCombo->setCurrentIndex(setup.format);
    dialog->fileNameEdit->setText(setup.fileName);
    dialog->timestampsBox->setChecked(setup.timestamps);
    dialog->refreshCombo->setCurrentIndex(setup.refresh);
    dialog->splitBox->setChecked(setup.splitFiles);
    dialog->splitValue->setValue(setup.splitEvery);
    dialog->splitUnitCombo->setCurrentIndex(setup.splitUnit);
    dialog->trendBox->setChecked(setup.trendLog);
}

void nv6842fp_settingsFile::readSync(int &index)
{
    index = window->waveform->syncMethod ? window->waveform->syncMethod->currentIndex() : 0;
}

void nv6842fp_settingsFile::applySync(int index)
{
    if (window->waveform->syncMethod)
        window->waveform->syncMethod->setCurrentIndex(index);
}

void nv6842fp_settingsFile::readSpectrum(nv6842fp_spectrumSetup &setup)
{
    const SpectrumViewSettings view = window->spectrumPlot->viewSettings();
    setup.averaging = int(view.averaging);
    setup.averagingCount = view.averagingCount;
    setup.unit = int(view.unit);
    setup.harmonics = view.harmonics;
}

void nv6842fp_settingsFile::applySpectrum(const nv6842fp_spectrumSetup &setup)
{
    SpectrumViewSettings view;
    view.averaging = AveragingMode(setup.averaging);
    view.averagingCount = setup.averagingCount;
    view.unit = SpectrumUnit(setup.unit);
    view.harmonics = setup.harmonics;
    window->spectrumPlot->setViewSettings(view);
}

void nv6842fp_settingsFile::readAnalysis(AnalysisSettings &settings)
{
    settings = window->measPanel->analysisSettings();
}

void nv6842fp_settingsFile::applyAnalysis(const AnalysisSettings &settings)
{
    window->measPanel->setAnalysisSettings(settings);
}

void nv6842fp_settingsFile::readAverageBlocks(int &blocks)
{
    blocks = window->measPanel->averageBlocks();
}

void nv6842fp_settingsFile::applyAverageBlocks(int blocks)
{
    window->measPanel->setAverageBlocks(blocks);
}

void nv6842fp_settingsFile::readOutputs(int card, nv6842fp_outputSetup &setup)
{
    const fpOutputTrigger *group = window->fpOutTrg[card];
    setup.trigger1 = group->outputTrigger1->currentIndex();
    setup.trigger2 = group->outputTrigger2->currentIndex();
    setup.negate1 = group->outputTrigger1negate->isChecked();
    setup.negate2 = group->outputTrigger2negate->isChecked();
}

void nv6842fp_settingsFile::applyOutputs(int card, const nv6842fp_outputSetup &setup)
{
    fpOutputTrigger *group = window->fpOutTrg[card];
    group->outputTrigger1->setCurrentIndex(setup.trigger1);
    group->outputTrigger2->setCurrentIndex(setup.trigger2);
    group->outputTrigger1negate->setChecked(setup.negate1);
    group->outputTrigger2negate->setChecked(setup.negate2);
    group->outputTriggerChange();
}

void nv6842fp_settingsFile::readChannel(int chIdx, nv6842fp_channelSetup &setup)
{
    setup = nv6842fp_App::channelSetup(*window->chPanels[chIdx]);
}

void nv6842fp_settingsFile::applyChannel(int chIdx, const nv6842fp_channelSetup &setup)
{
    nv6842fp_chCfg *panel = window->chPanels[chIdx];
    window->applyChannelSetup(setup, *panel, panel->d_fc == 0);
}
