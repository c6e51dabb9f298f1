// The acquisition side of the waveform panel: starting, the refresh cycle on
// the GUI thread and stopping. The card programming, texts and streaming
// live in the engine; this file reads the panels and shows the results.
#include "nv6842fp_Waveform.h"

#include "acqConfig.h"
#include "acqSetup.h"
#include "acqState.h"
#include "acqTimedStart.h"
#include "acqTexts.h"
#include "windowFunction.h"
#include "chLabel.h"
#include "fpOutputTrigger.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>

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

void nv6842fp_Waveform::startDAQ()
{
    nv6842fp_DAQ *daq = parent->daq;
    const bool fileMode = fileModeActive() && demoMode;
    const bool storage = storageMode() && !fileMode;
    const bool ptpChecked = daq->trgSrc[5] && daq->trgSrc[5]->isChecked();

    acqSettings settings;
    settings.lxiCarrier = lxiCarrier;
    settings.ptpAlarmChecked = ptpChecked;
    bool fixedSynch = !lxiCarrier;
    if (!demoMode)
        fixedSynch = acqFixedSynch(d_vi, settings, driverReporter());

    QTabWidget *tabs = parent->mainTabs;
    for (int t = 2; t < tabs->count(); ++t)
        if (t != 4)
            tabs->setTabEnabled(t, false);
    for (nv6842fp_chCfg *panel : qAsConst(parent->chPanels))
        panel->outOfRange->setValue(0);

    if (fileMode) {
        // The file decides what each block holds, whatever the panels say.
        freq = StoredFileInfo.rateHz;
        for (int k = 0; k < cardCount; ++k)
            chanMask[k] = k < StoredFileInfo.fcCount ? StoredFileInfo.channelMask[k] : 0;
    } else {
        freq = daq->rateCombo->currentData().toDouble();
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
        showWarning(QStringLiteral("At least one channel in first Function Card must be "
                                   "enabled for Data Acquisition"));
        stopDAQ();
        parent->userBreak();
        return;
    }
    const int newScans = fileMode ? StoredFileInfo.scansPerBlock : daq->lengthCombo->currentData().toInt();
    const QString tooLarge = acqBlockTooLargeText(enabledChannels(), newScans);
    if (!tooLarge.isEmpty()) {
        showWarning(tooLarge);
        stopDAQ();
        parent->userBreak();
        return;
    }

    setupDone = true;
    scans = newScans;
    fftWindow.assign(size_t(scans), 0.0);
    windowFunction(daq->fftWindowCombo->currentData().toInt(), scans, fftWindow.data());
    for (int i = 0; i < scans; ++i)
        times[size_t(i)] = i / freq;

    settings.freq = freq;
    settings.scans = scans;
    settings.storage = storage;
    settings.trigSource = 0;
    for (int i = 0; i < 5; ++i)
        if (daq->trgSrc[i]->isChecked())
            settings.trigSource |= 1 << i;
    settings.trgLevel = daq->trgLevel->currentIndex();
    settings.syncMethod = syncMethod ? syncMethod->currentIndex() : -1;
    settings.fixedSynch = fixedSynch;
    settings.chanMask = std::vector<quint16>(chanMask.begin(), chanMask.end());
    for (const fpOutputTrigger *out : qAsConst(parent->fpOutTrg))
        settings.outputTriggers.push_back(
            {out->outputTrigger1->currentData().toInt(), out->outputTrigger2->currentData().toInt(),
             out->outputTrigger1negate->isChecked(), out->outputTrigger2negate->isChecked()});

    if (demoMode) {
        stateLabel->setText(QString());
    } else {
        acqProgramCards(d_vi, settings, driverReporter());
        publishStage(0, 0, gl_scanBacklog);
        setStage(0, 0, QString());
        infoLabel->clear();
        infoLabel->setVisible(storage && parent->contButton->isChecked());

        const bool timed = lxiCarrier && ptpChecked;
        if (storage) {
            if (!prepareStreaming())
                return;
            contArmCallbacks();
            lastBlockCount = -1;
            if (timed) {
                timedStart(dataCallback, &contParams, scans);
            } else {
                reportDriver(nv6842_startMultAcquisitionEx(d_vi, scans, dataCallback, &contParams),
                             "nv6842_startMultAcquisitionEx(d_vi, scans, callback, (ViAddr)&contParams)");
            }
            acqPollStage(d_vi, driverReporter());
        } else if (timed) {
            timedStart(nullptr, nullptr, 0);
        } else {
            reportDriver(nv6842_startMultAcquisition(d_vi), "nv6842_startMultAcquisition(d_vi)");
        }
    }
    refreshTimer->start(storage ? parent->acqDialog->refreshCombo->currentData().toInt() : 50);
}

bool nv6842fp_Waveform::timedStart(nv6842_dataCallback callback, void *user, int callbackScans)
{
    setTextColour(stateLabel, QColor::fromRgba(acqStageRgba(4, 0)));
    parent->singleButton->setEnabled(false);
    parent->contButton->setEnabled(false);
    startMultInThd_params_t params;
    params.session = d_vi;
    params.status = 0;
    params.startTime = parent->daq->ptpAlarm->alarmTime();
    params.callback = callback;
    params.user = user;
    params.scans = callbackScans;
    QFutureWatcher<void> watcher;
    watcher.setFuture(acqRunTimedStart(&params));
    while (!watcher.isFinished()) {
        nv9471_delay(200);
        stateLabel->setText(QStringLiteral("Ready") + QStringLiteral("   -   ")
                            + parent->daq->ptpAlarm->countdownText());
        QApplication::processEvents();
    }
    watcher.waitForFinished();
    parent->singleButton->setEnabled(true);
    parent->contButton->setEnabled(true);
    if (params.status < VI_SUCCESS) {
        reportDriver(params.status, "nv6842_startMultAcquisitionTimed");
        return false;
    }
    return true;
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
    dialog->saveSettings();
    switch (contParams.prepare(settings)) {
    case contPrepareResult::Ok:
        break;
    case contPrepareResult::NoMemory:
        parent->userBreak();
        return false;
    case contPrepareResult::CannotOpen:
        nv6842fp_cardBox(parent, QMessageBox::Critical, contOpenFailedText(settings.fileName));
        parent->userBreak();
        return false;
    }
    contParams.startStorage();
    return true;
}
