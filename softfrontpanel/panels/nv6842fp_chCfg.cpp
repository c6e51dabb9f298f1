#include "nv6842fp_chCfg.h"

#include "nv6842fp_panelHelpers.h"
#include "nv6842fp_calibrationBox.h"
#include "nv6842.h"
#include "nv6842fp_channelRules.h"
#include "nv9471.h"
#include "nv9471fp_digitCtrl.h"
#include "nv9471fp_led.h"
#include "nv9471fp_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// The driver's text for a status; statuses of VISA or the common library
// are unknown to the card driver and come from the common library instead.
QString statusText(ViSession vi, ViStatus status)
{
    ViChar text[1024] = {};
    if (nv6842_error_message(vi, status, text) != VI_SUCCESS || text[0] == '\0')
        nv9471_errorText(status, text);
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text);
}

const char *const chanConfigCall =
    "nv6842_setMultChanConfig(d_vi, d_ch+d_fc*16+1, source, "
    "gain->itemData(gain->currentIndex()).toInt(), (filter->isChecked())?VI_TRUE:VI_FALSE)";
const char *const atriConfigCall =
    "nv6842_setMultATRIConfig(d_vi, d_ch+1, (ViInt16)atMode->currentIndex(), (ViInt16) "
    "atHyst->currentIndex(), (ViInt16) atComp->currentIndex(), (ViReal64)athr1->doublevalue(), "
    "athr2->doublevalue())";
const char *const calibrateCall =
    "nv6842_calibrateChannels(fc_vi, (ViInt16)(1<<d_ch), "
    "(ViInt16)gain->itemData(gain->currentIndex()).toInt(), VI_NULL, VI_NULL, VI_NULL)";

} // namespace

nv6842fp_chCfg::nv6842fp_chCfg(nv6842fp_chCfgHost *host, int ch, int fc)
    : QWidget(host->hostWidget()),
      d_ch(ch),
      d_fc(fc),
      parent(host),
      demoMode(host->hostDemoMode()),
      d_vi(host->hostSession())
{
    buildControls();

    enable->setChecked(d_ch == 0);
    if (d_fc > 0) {
        // The analog trigger belongs to the first card only.
        atMode->setEnabled(false);
        atGroup->setEnabled(false);
    }

    connect(enable, &QCheckBox::stateChanged, this, &nv6842fp_chCfg::setChEnable);
    connect(source, QOverload<int>::of(&QComboBox::activated), this, &nv6842fp_chCfg::setChCfg);
    connect(gain, QOverload<int>::of(&QComboBox::activated), this, &nv6842fp_chCfg::setChCfg);
    connect(filter, &QCheckBox::stateChanged, this, &nv6842fp_chCfg::setChCfg);
    connect(atMode, QOverload<int>::of(&QComboBox::activated), this, &nv6842fp_chCfg::setAT);
    connect(atComp, QOverload<int>::of(&QComboBox::activated), this, &nv6842fp_chCfg::setAT);
    connect(atHyst, QOverload<int>::of(&QComboBox::activated), this, &nv6842fp_chCfg::setAT);
    connect(athr1, QOverload<double>::of(&nv9471fp_digitCtrl::valueChanged), this, &nv6842fp_chCfg::setAT);
    connect(athr2, QOverload<double>::of(&nv9471fp_digitCtrl::valueChanged), this, &nv6842fp_chCfg::setAT);
    connect(gain, QOverload<int>::of(&QComboBox::activated), this, &nv6842fp_chCfg::setAT);
    connect(calibButton, &QPushButton::clicked, this, &nv6842fp_chCfg::calibrate);

    setChEnable(d_ch == 0);
    setAT();
}

void nv6842fp_chCfg::buildControls()
{
    const QString channel = QString::number(d_ch + 1);

    frontEnd = new QGroupBox(QStringLiteral("Front-End Circuitry"), this);
    frontEnd->setMinimumWidth(350);
    source = new QComboBox(frontEnd);
    source->addItems(nv6842fp::sourceItems());
    setHelp(source, QStringLiteral("Selects the source of the input signal for Channel %1").arg(channel));
    gain = new QComboBox(frontEnd);
    for (int g : gainValArr)
        gain->addItem(QString::number(g), g);
    setHelp(gain, QStringLiteral("Selects the gain applied to the inpuit signal for Channel %1").arg(channel));
    auto *frontEndGrid = new QGridLayout(frontEnd);
    frontEndGrid->addWidget(new QLabel(QStringLiteral("Input Source"), frontEnd), 0, 0);
    frontEndGrid->addWidget(source, 0, 1);
    frontEndGrid->addWidget(new QLabel(QStringLiteral("Gain"), frontEnd), 1, 0);
    frontEndGrid->addWidget(gain, 1, 1);

    atGroup = new QGroupBox(QStringLiteral("Analog Trigger"), this);
    atMode = new QComboBox(atGroup);
    atMode->addItems(nv6842fp::triggerModeItems());
    setHelp(atMode, QStringLiteral("Selects mode for Analog Trigger (AT). Disabled turns off AT"));
    atHyst = new QComboBox(atGroup);
    atHyst->addItems(nv6842fp::hysteresisItems());
    setHelp(atHyst, QStringLiteral("Enables or disables Analog Trigger's hysteresis"));
    atComp = new QComboBox(atGroup);
    atComp->addItems(nv6842fp::comparisonItems());
    setHelp(atComp, QStringLiteral("Selects comparison type for Analog Trigger"));
    const double limit = nv6842fp::thresholdLimit(1, 1);
    athr1 = new nv9471fp_digitCtrl(-limit, limit, nv6842fp::thresholdStep(limit), QStringLiteral("%.3"), atGroup);
    setHelp(athr1, QStringLiteral("Threshold level in Volts. Please note that limts are depended on gain "
                                   "setting. \nFor gain 1 it is +/- 10V, for gain 2  it is +/- 5V and so on."));
    athr2 = new nv9471fp_digitCtrl(-limit, limit, nv6842fp::thresholdStep(limit), QStringLiteral("%.3"), atGroup);
    setHelp(athr2, QStringLiteral("Second threshold level used when hysteresis is enabled"));
    auto *atGrid = new QGridLayout(atGroup);
    atGrid->addWidget(new QLabel(QStringLiteral("Mode"), atGroup), 0, 0);
    atGrid->addWidget(atMode, 0, 1);
    atGrid->addWidget(new QLabel(QStringLiteral("Threshold1"), atGroup), 0, 2);
    atGrid->addWidget(athr1, 0, 3);
    atGrid->addWidget(new QLabel(QStringLiteral("Hysteresis"), atGroup), 1, 0);
    atGrid->addWidget(atHyst, 1, 1);
    atGrid->addWidget(new QLabel(QStringLiteral("Threshold2"), atGroup), 1, 2);
    atGrid->addWidget(athr2, 1, 3);
    atGrid->addWidget(new QLabel(QStringLiteral("Comparison"), atGroup), 2, 0);
    atGrid->addWidget(atComp, 2, 1);
    atGrid->setRowStretch(3, 1);

    auto *channelGroup = new QGroupBox(this);
    enable = new QCheckBox(QStringLiteral("Enabled"), channelGroup);
    setHelp(enable, QStringLiteral("Enables Channel %1 for the Data Acquisition").arg(channel));
    filter = new QCheckBox(QStringLiteral("Enabled"), channelGroup);
    setHelp(filter, QStringLiteral("Enables Anti-Ringing filter for channel %1").arg(channel));
    outOfRange = new nv9471fp_led(QStringLiteral("Signal Out of Range"), QColor(Qt::red), Qt::magenta,
                                  channelGroup);
    setHelp(outOfRange,
             QStringLiteral("Shows whether the input signal run out of range during the Data Acquisition"));
    calibButton = new QPushButton(QStringLiteral("Calibrate"), channelGroup);
    calibButton->setMinimumWidth(100);
    calibButton->setEnabled(false);
    setHelp(calibButton, QStringLiteral("Starts volatile calibration for current channel"));
    auto *channelGrid = new QGridLayout(channelGroup);
    channelGrid->addWidget(new QLabel(QStringLiteral("Channel %1").arg(channel), channelGroup), 0, 0);
    channelGrid->addWidget(enable, 0, 1);
    channelGrid->addWidget(new QLabel(QStringLiteral("Anti-Ringing Filter"), channelGroup), 1, 0);
    channelGrid->addWidget(filter, 1, 1);
    channelGrid->addWidget(outOfRange, 2, 0, 1, 2);
    channelGrid->addWidget(calibButton, 3, 0, 1, 2, Qt::AlignLeft);

    auto *grid = new QGridLayout(this);
    grid->addWidget(frontEnd, 0, 0);
    grid->addWidget(atGroup, 0, 1, 2, 1);
    grid->addWidget(channelGroup, 1, 0);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
}

void nv6842fp_chCfg::setChEnable(int ena)
{
    const bool on = ena != 0;
    parent->setChannelLegendsEnabled(chIdx(), on);
    frontEnd->setEnabled(on);
    outOfRange->setEnabled(on);
    filter->setEnabled(on);
    calibButton->setEnabled(on);
    if (!on) {
        // The configuration below covers the filter too: one call per change.
        const QSignalBlocker quiet(filter);
        filter->setChecked(false);
    }
    setChCfg();
}

void nv6842fp_chCfg::setChCfg()
{
    const int gainValue = gain->currentData().toInt();
    const bool enabled = enable->isChecked();
    // Plug-ins follow gains and enables also in demo mode.
    emit gainChangedSignal(chIdx(), gainValue);
    emit channelEnabledSignal(chIdx(), enabled ? 1 : 0);
    if (demoMode)
        return;
    const ViStatus status = nv6842_setMultChanConfig(
        d_vi, ViInt16(nv6842fp::multChannel(d_fc, d_ch)),
        ViInt16(nv6842fp::sourceCode(source->currentIndex(), enabled)), ViInt16(gainValue),
        filter->isChecked() ? VI_TRUE : VI_FALSE);
    reportStatus(status, chanConfigCall);
}

void nv6842fp_chCfg::setAT()
{
    const nv6842fp::AnalogTriggerEnables enables =
        nv6842fp::analogTriggerEnables(atMode->currentIndex(), atHyst->currentIndex());
    atComp->setEnabled(enables.comparison);
    atHyst->setEnabled(enables.hysteresis);
    athr1->setEnabled(enables.threshold1);
    athr2->setEnabled(enables.threshold2);

    const double limit = thresholdLimit();
    {
        // A clamped threshold must not re-enter here: the call below sends both values once.
        const QSignalBlocker quiet1(athr1);
        const QSignalBlocker quiet2(athr2);
        athr1->setRange(-limit, limit, nv6842fp::thresholdStep(limit));
        athr2->setRange(-limit, limit, nv6842fp::thresholdStep(limit));
    }

    if (demoMode || d_fc != 0)
        return;
    const ViStatus status = nv6842_setMultATRIConfig(
        d_vi, ViInt16(d_ch + 1), ViInt16(atMode->currentIndex()), ViInt16(atHyst->currentIndex()),
        ViInt16(atComp->currentIndex()), ViReal64(athr1->doublevalue()), athr2->doublevalue());
    reportStatus(status, atriConfigCall);
}

double nv6842fp_chCfg::thresholdLimit()
{
    const int factor = demoMode ? 1
                                : parent->firstCardSubtype().factor(d_vi, [this](ViStatus status, const char *call) {
                                      reportStatus(status, call);
                                  });
    return nv6842fp::thresholdLimit(gain->currentData().toInt(), factor);
}

void nv6842fp_chCfg::calibrate()
{
    // The button is greyed for a disabled channel; a direct call gets the same answer.
    if (!enable->isChecked())
        return;

    nv6842fp_calibrationBox box;
    box.owner = this;
    box.text = QStringLiteral("Calibration channel %1 in progress, please wait...").arg(d_ch + 1);
    box.fixedSize = true;
    nv6842fp_calibration calibration;
    calibration.session = d_vi;
    calibration.card = d_fc;
    calibration.mask = nv6842fp::calibrationMask(d_ch);
    calibration.gain = ViInt16(gain->currentData().toInt());
    calibration.demo = demoMode != 0;
    const nv6842fp_calibrationResult result = nv6842fp_runWithCalibrationBox(box, calibration);

    reportStatus(result.sessionStatus, "nv6842_getMultFCsession(d_vi, d_fc, &fc_vi)");
    reportStatus(result.status, calibrateCall);
    if (result.succeeded())
        showInfo(nv6842fp::channelCalibrationDoneText(d_fc + 1, d_ch + 1));
}

void nv6842fp_chCfg::reportStatus(ViStatus status, const char *call) const
{
    if (status == VI_SUCCESS)
        return;
    const QString text = statusText(d_vi, status);
    if (status < VI_SUCCESS)
        showError(QStringLiteral("%1 failed due to [%2]").arg(QString::fromLatin1(call), text));
    else
        showWarning(QStringLiteral("Warning: [%1]").arg(text));
}
