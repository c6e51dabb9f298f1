// The acquisition side of the waveform panel: starting, the refresh cycle on
// the GUI thread and stopping. The card programming, texts and streaming
// live in the engine; this file reads the panels and shows the results.
#include "nv6842fp_Waveform.h"

#include "acqConfig.h"
#include "acqConfigRules.h"
#include "acqSetup.h"
#include "acqState.h"
#include "acqTimedStart.h"
#include "acqTexts.h"
#include "windowFunction.h"
#include "chLabel.h"
#include "measurement.h"
#include "nv6842.h"
#include "nv6842fp_App.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_panelHelpers.h"
#include "nv9471.h"
#include "nv9471fp_PTPalarm.h"
#include "nv9471fp_led.h"
#include "nv9471fp_messages.h"

#include <qwt_plot.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <cstring>


void nv6842fp_Waveform::setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::All, QPalette::WindowText, colour);
    label->setPalette(palette);
}

bool nv6842fp_Waveform::storageMode() const
{
    return parent->daq->storeToFile->isChecked();
}

acqReporter nv6842fp_Waveform::driverReporter()
{
    return [this](ViStatus status, const char *call) { reportDriver(status, call); };
}

void nv6842fp_Waveform::setStage(int state, quint16 errors, const QString &errorText)
{
    QString text = acqStageText(state);
    if (!errorText.isEmpty())
        text += QStringLiteral("  [") + errorText + QLatin1Char(']');
    stateLabel->setText(text);
    setTextColour(stateLabel, QColor::fromRgba(acqStageRgba(state, errors)));
}

void nv6842fp_Waveform::startSingle()
{
    parent->acqDialog->refreshCombo->hide();
    parent->acqDialog->refreshLabel->hide();
    start();
}

void nv6842fp_Waveform::startCont()
{
    parent->acqDialog->refreshCombo->show();
    parent->acqDialog->refreshLabel->show();
    start();
}

void nv6842fp_Waveform::stopCont()
{
    stopDAQ();
    parent->userBreak();
}

void nv6842fp_Waveform::breakSingle()
{
    stopDAQ();
    parent->userBreak();
}

void nv6842fp_Waveform::endBeforeExit()
{
    if (acquiring) {
        stopDAQ();
        parent->userBreak();
    }
    // Asked from inside a stop (its driver stop failed and the box was
    // answered Yes): the stream is still to be written out and closed.
    if (streamPrepared) {
        streamPrepared = false;
        contParams.finish();
    }
    // The stop cancelled a waiting timed start: the process does not end
    // while its task is still inside the driver.
    for (int i = 0; i < 2000 && timedStartParams && !acqTimedStartDone(*timedStartParams); ++i)
        QThread::msleep(1);
}

void nv6842fp_Waveform::start()
{
    bytesWritten = 0;
    blocksAcquired = 0;
    displayedBlock = 0;
    nv6842fp_DAQ *daq = parent->daq;
    if (storageMode()) {
        qint64 channels = 0;
        for (const nv6842fp_chCfg *panel : qAsConst(parent->chPanels))
            channels += panel->enable->isChecked() ? 1 : 0;
        acqConfig *dialog = parent->acqDialog;
        dialog->setDataRate(int(channels * daq->rateCombo->currentData().toDouble()));
        dialog->timestampsBox->setVisible(daq->trgSrc[5] && daq->trgSrc[5]->isChecked());
        if (dialog->exec() != QDialog::Accepted) {
            parent->userBreak();
            return;
        }
        if (demoMode)
            nv6842fp_cardBox(parent, QMessageBox::Information,
                             QStringLiteral("Saving to file does not work in demo mode."));
    }
    startDAQ();
}

void nv6842fp_Waveform::refuseStart(const QString &warning)
{
    showWarning(warning);
    stopDAQ();
    parent->userBreak();
}

// Reads the panels into the acquisition state and settings; false (with the
// start refused) when they allow no acquisition. Touches no driver call that
// programs or starts the cards.
bool nv6842fp_Waveform::prepareAcquisition(acqSettings *settings)
{
    nv6842fp_DAQ *daq = parent->daq;
    const bool fileMode = fileModeActive() && demoMode;
    const bool ptpChecked = daq->trgSrc[5] && daq->trgSrc[5]->isChecked();

    settings->lxiCarrier = lxiCarrier;
    settings->ptpAlarmChecked = ptpChecked;
    bool fixedSynch = !lxiCarrier;
    if (!demoMode)
        fixedSynch = acqFixedSynch(d_vi, *settings, driverReporter());

    // A viewed file keeps its FFT options usable (tab 3) during a run.
    QTabWidget *tabs = parent->mainTabs;
    // Disabling the page in front would bring up whichever neighbour is
    // still enabled (the spectrum, the plug-ins): a run is watched, and a
    // refused start explained, on the waveforms.
    const int current = tabs->currentIndex();
    if (current >= 2 && current != 4)
        tabs->setCurrentIndex(0);
    for (int t = 2; t < tabs->count(); ++t)
        if (t != 4 && !(fileMode && t == 3))
            tabs->setTabEnabled(t, false);
    for (nv6842fp_chCfg *panel : qAsConst(parent->chPanels))
        panel->outOfRange->setValue(0);
    setLegendOverRange({});

    double newFreq = 0;
    if (fileMode) {
        // The file decides what each block holds, whatever the panels say.
        newFreq = StoredFileInfo.rateHz;
        for (int k = 0; k < cardCount; ++k)
            chanMask[k] = k < StoredFileInfo.fcCount ? StoredFileInfo.channelMask[k] : 0;
    } else {
        newFreq = daq->rateCombo->currentData().toDouble();
        for (int k = 0; k < cardCount; ++k) {
            quint16 mask = 0;
            for (int i = 0; i < 16; ++i)
                if (parent->chPanels[k * 16 + i]->enable->isChecked())
                    mask |= quint16(1u << i);
            chanMask[k] = mask;
        }
    }
    for (chLabel *legend : qAsConst(legends))
        legend->setChEnabled(legend->isChEnabled());

    if (!fileMode && chanMask[0] == 0) {
        refuseStart(QStringLiteral("At least one channel in first Function Card must be "
                                   "enabled for Data Acquisition"));
        return false;
    }
    // An empty rate list selects nothing: every time would divide by zero.
    const QString noRate = acqRateMissingText(newFreq);
    if (!noRate.isEmpty()) {
        refuseStart(noRate);
        return false;
    }
    const int newScans = fileMode ? StoredFileInfo.scansPerBlock : daq->lengthCombo->currentData().toInt();
    const QString tooLarge = acqBlockTooLargeText(enabledChannels(), newScans);
    if (!tooLarge.isEmpty()) {
        refuseStart(tooLarge);
        return false;
    }

    setupDone = true;
    freq = newFreq;
    scans = newScans;
    makeFftWindow();
    for (int i = 0; i < scans; ++i)
        times[size_t(i)] = i / freq;
    fileBlockShown = -1;
    blocksShownInRun = 0;
    blockReadError.clear();

    settings->freq = freq;
    settings->scans = scans;
    settings->storage = storageMode() && !fileMode;
    settings->trigSource = 0;
    for (int i = 0; i < 5; ++i)
        if (daq->trgSrc[i]->isChecked())
            settings->trigSource |= 1 << i;
    settings->trgLevel = daq->trgLevel->currentIndex();
    settings->syncMethod = syncMethod ? syncMethod->currentIndex() : -1;
    settings->fixedSynch = fixedSynch;
    settings->contChecked = parent->contButton->isChecked();
    settings->chanMask = std::vector<quint16>(chanMask.begin(), chanMask.end());
    settings->outputTriggers = parent->outputTriggerSettings();
    if (daq->ptpAlarm)
        settings->startTime = daq->ptpAlarm->alarmTime();
    return true;
}

void nv6842fp_Waveform::startDAQ()
{
    acquiring = true;
    setStatusError(QString());
    emit acquiringChanged(true);
    acqSettings settings;
    if (!prepareAcquisition(&settings))
        return;
    const bool storage = settings.storage;

    if (demoMode) {
        stateLabel->setText(QString());
    } else {
        const bool timed = acqTimedStartWanted(settings);
        // The driver would start at once; the operator meant a later time.
        if (timed && acqStartTimePassed(d_vi, settings.startTime, driverReporter())) {
            refuseStart(acqStartTimePassedText());
            return;
        }
        if (!acqProgramCards(d_vi, settings, driverReporter())) {
            // The cards would run with settings other than the panels show
            // (and, streaming, than the file's header records).
            stopDAQ();
            parent->userBreak();
            setStatusError(acqSetupFailedText());
            return;
        }
        publishStage(0, 0, gl_scanBacklog);
        setStage(0, 0, QString());
        infoLabel->clear();
        infoLabel->setVisible(storage && parent->contButton->isChecked());
        blockRead.clear();

        if (storage) {
            if (!prepareStreaming())
                return;
            contArmCallbacks();
            lastBlockCount = -1;
            if (timed) {
                if (!timedStart(dataCallback, &contParams, scans, settings.startTime))
                    return;
            } else {
                reportDriver(nv6842_startMultAcquisitionEx(d_vi, scans, dataCallback, &contParams),
                             "nv6842_startMultAcquisitionEx(d_vi, scans, callback, (ViAddr)&contParams)");
            }
            acqPollStage(d_vi, driverReporter());
        } else {
            blockRead.assign(size_t(enabledChannels()) * size_t(scans), 0.0);
            if (timed) {
                if (!timedStart(nullptr, nullptr, 0, settings.startTime))
                    return;
            } else {
                reportDriver(nv6842_startMultAcquisition(d_vi), "nv6842_startMultAcquisition(d_vi)");
            }
        }
    }
    refreshTimer->start(storage ? parent->acqDialog->refreshCombo->currentData().toInt() : 50);
}

// False when a stop ended the wait: the stop has restored the panel and
// nothing is to be started.
bool nv6842fp_Waveform::timedStart(nv6842_dataCallback callback, void *user, int callbackScans,
                                   qint64 startTime)
{
    setTextColour(stateLabel, QColor::fromRgba(acqStageRgba(4, 0)));
    // The checked button is the stop button: it stays usable, since the
    // alarm may be years away and a stop cancels the wait.
    for (QPushButton *button : {parent->singleButton, parent->contButton})
        if (!button->isChecked())
            button->setEnabled(false);
    startMultInThd_params_t params;
    params.session = d_vi;
    params.status = 0;
    params.startTime = startTime;
    params.callback = callback;
    params.user = user;
    params.scans = callbackScans;

    timedStartParams = &params;
    QFutureWatcher<void> watcher;
    QEventLoop wait;
    connect(&watcher, &QFutureWatcherBase::finished, &wait, &QEventLoop::quit);
    QTimer countdown;
    countdown.setInterval(200);
    const auto showCountdown = [this] {
        if (acquiring)
            stateLabel->setText(QStringLiteral("Ready") + QStringLiteral("   -   ")
                                + parent->daq->ptpAlarm->countdownText());
    };
    connect(&countdown, &QTimer::timeout, this, showCountdown);
    watcher.setFuture(acqRunTimedStart(&params));
    showCountdown();
    countdown.start();
    // Events (a stop among them) are handled at once while the pool waits.
    if (!watcher.isFinished())
        wait.exec();
    countdown.stop();
    watcher.waitForFinished();
    while (!acqTimedStartDone(params)) // at once: the task has returned
        QThread::yieldCurrentThread();
    timedStartParams = nullptr;
    if (!acquiring)
        return false;
    if (params.status < VI_SUCCESS && !acqTimedStartCancelled(params.status))
        reportDriver(params.status, "nv6842_startMultAcquisitionTimed");
    return acquiring;
}

bool nv6842fp_Waveform::prepareStreaming()
{
    acqConfig *dialog = parent->acqDialog;
    const QCheckBox *ptp = parent->daq->trgSrc[5];
    contStreamSettings settings;
    settings.chanMask = std::vector<uint16_t>(chanMask.begin(), chanMask.end());
    settings.freq = freq;
    settings.scans = scans;
    settings.format = dialog->formatCombo->currentIndex();
    settings.timestamps = dialog->timestampsBox->isChecked() && ptp && ptp->isChecked();
    settings.stopAfterFirst = !parent->contButton->isChecked();
    settings.fileName = dialog->fileNameEdit->text();
    if (dialog->splitBox->isChecked()) {
        const int every = dialog->splitValue->value();
        if (dialog->splitUnitCombo->currentIndex() == acqSplitMinutes)
            settings.split.maxSeconds = every * 60.0;
        else
            settings.split.maxBytes = uint64_t(every) << 20;
    }
    // The trend measures as the measurement page does.
    settings.trendLog = dialog->trendBox->isChecked();
    settings.trendAnalysis.padding = parent->daq->zeroPaddingCombo->currentData().toInt();
    settings.trendAnalysis.iterations =
        parent->daq->sineFitCombo ? parent->daq->sineFitCombo->currentData().toInt() : 0;
    dialog->saveSettings();
    streamPrepared = true;
    switch (contParams.prepare(settings)) {
    case contPrepareResult::Ok:
        break;
    case contPrepareResult::NoMemory:
        parent->userBreak();
        return false;
    case contPrepareResult::CannotOpen:
        nv6842fp_cardBox(parent, QMessageBox::Critical, contOpenFailedText(contParams.openPath, contParams.openError));
        parent->userBreak();
        return false;
    case contPrepareResult::BadSplit: {
        // A setting to change, said once: not again as a stream error by the stop.
        streamPrepared = false;
        const QString why = contParams.finish();
        nv6842fp_cardBox(parent, QMessageBox::Warning, why);
        parent->userBreak();
        return false;
    }
    }
    contParams.startStorage();
    health = recordingHealth(contRingSlots);
    healthClock.start();
    return true;
}
