// The main window's actions over several channel panels: copying one
// channel's settings to others, sending them all again after a reset, and
// calibrating or storing the calibration of all enabled channels of the card
// shown.
#include "nv6842fp_App.h"

#include "fpOutputTrigger.h"
#include "nv6842.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_calibrationBox.h"
#include "nv6842fp_channelRules.h"
#include "nv9471.h"
#include "nv9471fp_digitCtrl.h"
#include "nv9471fp_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QTabWidget>

namespace {

// Busy cursor for the lifetime of the object.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::BusyCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

nv6842fp_channelSetup nv6842fp_App::channelSetup(const nv6842fp_chCfg &panel)
{
    nv6842fp_channelSetup setup;
    setup.source = panel.source->currentIndex();
    setup.gain = panel.gain->currentIndex();
    setup.enabled = panel.enable->isChecked();
    setup.filter = panel.filter->isChecked();
    setup.triggerMode = panel.atMode->currentIndex();
    setup.hysteresis = panel.atHyst->currentIndex();
    setup.comparison = panel.atComp->currentIndex();
    setup.threshold1 = panel.athr1->doublevalue();
    setup.threshold2 = panel.athr2->doublevalue();
    return setup;
}

void nv6842fp_App::applyChannelSetup(const nv6842fp_channelSetup &from, nv6842fp_chCfg &to, bool analogTrigger)
{
    // The combos react to the operator only; the boxes and thresholds are
    // quiet here so that the panel is sent once it holds all settings. The
    // source is set with the gain so that no configuration sent on the way
    // carries the old input.
    to.gain->setCurrentIndex(from.gain);
    to.source->setCurrentIndex(from.source);
    {
        const QSignalBlocker quietEnable(to.enable);
        const QSignalBlocker quietFilter(to.filter);
        to.enable->setChecked(from.enabled);
        to.filter->setChecked(from.filter);
    }
    to.setChEnable(from.enabled ? 1 : 0);
    if (analogTrigger) {
        to.atMode->setCurrentIndex(from.triggerMode);
        to.atComp->setCurrentIndex(from.comparison);
        to.atHyst->setCurrentIndex(from.hysteresis);
        // The range of the new gain first, so that a threshold outside the
        // old range is not clamped.
        const QSignalBlocker quiet1(to.athr1);
        const QSignalBlocker quiet2(to.athr2);
        const double limit = to.thresholdLimit();
        to.athr1->setRange(-limit, limit, nv6842fp::thresholdStep(limit));
        to.athr2->setRange(-limit, limit, nv6842fp::thresholdStep(limit));
        to.athr1->setValue(from.threshold1);
        to.athr2->setValue(from.threshold2);
    }
    to.setChCfg();
    to.setAT();
}

void nv6842fp_App::copyChannel(const nv6842fp_chCfg &from, nv6842fp_chCfg &to)
{
    // Only the first card has an analog trigger: a later card's fixed
    // "Disabled" would switch off the first card's triggers.
    applyChannelSetup(channelSetup(from), to, from.d_fc == 0);
}

void nv6842fp_App::applyToAllChan()
{
    const int k = fcTabs->currentIndex();
    if (k < 0 || k >= cards())
        return;
    const int c = chTabs[k]->currentIndex();
    const nv6842fp_chCfg &source = *chPanels[k * 16 + c];
    for (int ch = 0; ch < 16; ++ch)
        if (ch != c)
            copyChannel(source, *chPanels[k * 16 + ch]);
}

void nv6842fp_App::applyToAllFC()
{
    const int k = fcTabs->currentIndex();
    if (k < 0 || k >= cards())
        return;
    const int sourceIdx = k * 16 + chTabs[k]->currentIndex();
    const nv6842fp_chCfg &source = *chPanels[sourceIdx];
    // Every channel of every card takes the settings, the other channels of
    // the card shown included; only the source channel is not re-sent.
    for (int idx = 0; idx < chPanels.size(); ++idx)
        if (idx != sourceIdx)
            copyChannel(source, *chPanels[idx]);

    const fpOutputTrigger &outputs = *fpOutTrg[k];
    for (fpOutputTrigger *group : qAsConst(fpOutTrg)) {
        group->outputTrigger1->setCurrentIndex(outputs.outputTrigger1->currentIndex());
        group->outputTrigger2->setCurrentIndex(outputs.outputTrigger2->currentIndex());
        group->outputTrigger1negate->setChecked(outputs.outputTrigger1negate->isChecked());
        group->outputTrigger2negate->setChecked(outputs.outputTrigger2negate->isChecked());
        group->outputTriggerChange();
    }
}

std::vector<acqOutputTrigger> nv6842fp_App::outputTriggerSettings() const
{
    std::vector<acqOutputTrigger> settings;
    for (const fpOutputTrigger *out : fpOutTrg)
        settings.push_back({out->outputTrigger1->currentData().toInt(), out->outputTrigger2->currentData().toInt(),
                            out->outputTrigger1negate->isChecked(), out->outputTrigger2negate->isChecked()});
    return settings;
}

void nv6842fp_App::deviceWasReset()
{
    // The reset left one channel enabled and every trigger off; the cards
    // are to do what the panels show.
    for (nv6842fp_chCfg *panel : qAsConst(chPanels)) {
        panel->setChCfg();
        panel->setAT();
    }
    acqProgramOutputTriggers(d_vi, outputTriggerSettings(),
                             [this](ViStatus status, const char *call) { displayError(status, call); });
    if (vrefCount > 0)
        daq->setVref(daq->vrefCombo->currentIndex());
}

bool nv6842fp_App::calibrationSelection(int card, quint16 &mask, int &gainIdx)
{
    bool enabled[16];
    int gains[16];
    for (int ch = 0; ch < 16; ++ch) {
        const nv6842fp_chCfg *panel = chPanels[card * 16 + ch];
        enabled[ch] = panel->enable->isChecked();
        gains[ch] = panel->gain->currentIndex();
    }
    const nv6842fp::CalibrationSelection selection = nv6842fp::selectCalibration(enabled, gains);
    if (selection.result != nv6842fp::CalibrationSelection::Ready) {
        showWarning(nv6842fp::calibrationWarning(selection.result));
        return false;
    }
    mask = selection.mask;
    gainIdx = selection.gainIndex;
    return true;
}

void nv6842fp_App::calibrateAll()
{
    const int k = fcTabs->currentIndex();
    quint16 chMask = 0;
    int gainIdx = 0;
    if (k < 0 || k >= cards() || !calibrationSelection(k, chMask, gainIdx))
        return;

    nv6842fp_calibrationBox box;
    box.owner = this;
    box.text = QString::asprintf("Calibration function card no %d all enabled channels in progress, "
                                 "please wait...",
                                 k + 1);
    box.margin = 20;
    box.cursor = Qt::BusyCursor;
    nv6842fp_calibration calibration;
    calibration.session = d_vi;
    calibration.card = k;
    calibration.mask = ViInt16(chMask);
    calibration.gain = ViInt16(gainValArr[gainIdx]);
    calibration.demo = demoMode != 0;
    const nv6842fp_calibrationResult result = nv6842fp_runWithCalibrationBox(box, calibration);

    displayError(result.sessionStatus, "nv6842_getMultFCsession(d_vi, k, &fc_vi)");
    displayError(result.status, "nv6842_calibrateChannels(fc_vi, chMask, (ViInt16)gainValArr[gainIdx], "
                                "VI_NULL, VI_NULL, VI_NULL)");
    if (result.succeeded())
        showInfo(nv6842fp::cardCalibrationDoneText(k + 1));
}

void nv6842fp_App::storeCalibToEEPROM()
{
    if (demoMode)
        return;
    const int k = fcTabs->currentIndex();
    quint16 chMask = 0;
    int gainIdx = 0;
    if (k < 0 || k >= cards() || !calibrationSelection(k, chMask, gainIdx))
        return;

    sfp::MessageRequest question;
    question.icon = QMessageBox::Question;
    question.title = QStringLiteral("Trellin 6842 SFP");
    question.text =
        QStringLiteral("Are you sure you want to store the adjustment coefficients into EEPROM?");
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.defaultButton = QMessageBox::No;
    if (sfp::ask(question).standard != QMessageBox::Yes)
        return;

    const ViSession fc_vi = cardSession(k, "nv6842_getMultFCsession(d_vi, k, &fc_vi)");
    if (!fc_vi)
        return;
    ViStatus status = VI_SUCCESS;
    {
        // A report must not appear under the busy cursor.
        BusyCursor busy;
        status = nv6842_storeCalibData(fc_vi, ViInt16(gainValArr[gainIdx]));
    }
    displayError(status, "nv6842_storeCalibData(fc_vi, (ViInt16)gainValArr[gainIdx])");
    if (status == VI_SUCCESS)
        showInfo(nv6842fp::calibrationStoredText(k + 1));
}
