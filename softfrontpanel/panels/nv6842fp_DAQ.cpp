#include "nv6842fp_DAQ.h"

#include "nv6842fp_panelHelpers.h"
#include "nv6842.h"
#include "nv6842fp_daqRules.h"
#include "nv9471fp_PTPalarm.h"
#include "nv9471fp_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const char *const triggerTexts[6] = {"Motherboard Input Trigger A", "Motherboard Input Trigger B",
                                     "Front Panel Input Trigger 3", "Low Active",
                                     "Analog Trigger",              "PTP Alarm"};
enum { fpTrigger3 = 2, lowActive = 3, ptpAlarmBox = 5 };

} // namespace

nv6842fp_DAQ::nv6842fp_DAQ(QWidget *mainWindow, ViSession d_vi_, int demoMode_, int cardCount_,
                           bool lxiCarrier_, const double *vrefs_, int vrefCount_,
                           QTabWidget *mainTabs, QWidget *measPanel)
    : QWidget(mainWindow), parent(mainWindow), d_vi(d_vi_), demoMode(demoMode_),
      cardCount(cardCount_), lxiCarrier(lxiCarrier_),
      acperf(nv6842fp_hasAcperfSwitch(QCoreApplication::arguments())), vrefs(vrefs_),
      vrefCount(vrefs_ ? vrefCount_ : 0)
{
    const instEnv_t *cardZero = demoMode ? nullptr : readCardZeroRecord();
    // The groups keep their natural height at the top of their column, and
    // the page stays narrow enough for the window's own size.
    auto *leftColumn = new QVBoxLayout;
    leftColumn->addWidget(buildAcquisitionGroup(cardZero));
    leftColumn->addWidget(buildVrefGroup());
    leftColumn->addStretch();
    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(buildTriggerGroup());
    rightColumn->addStretch();
    auto *topRow = new QHBoxLayout;
    topRow->addLayout(leftColumn);
    topRow->addLayout(rightColumn);
    auto *fftRow = new QHBoxLayout;
    fftRow->addWidget(buildFftGroup());
    fftRow->addWidget(buildSettingsFileGroup(), 0, Qt::AlignTop);
    fftRow->addStretch();

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(6, 6, 6, 6);
    page->addLayout(topRow);
    page->addLayout(fftRow);
    page->addStretch();

    waveformLengthSlot();
    trgSrcChanged(false);
    if (ptpAlarm) {
        qint64 now = 0;
        qint32 offset = 0;
        if (cardTime(true, now, offset)) {
            ptpAlarm->utcOffset = offset;
            ptpAlarm->setAlarmTime(now);
            ptpAlarm->showCurrentTime(now);
        }
    }
    if (acperf && mainTabs && measPanel)
        mainTabs->insertTab(4, measPanel, QStringLiteral("Measurements"));
}

QWidget *nv6842fp_DAQ::buildAcquisitionGroup(const instEnv_t *cardZero)
{
    auto *group = new QGroupBox(QStringLiteral("Acquisition"), this);
    auto *grid = new QGridLayout(group);
    grid->setSpacing(10);

    lengthLabel = new QLabel(group);
    lengthLabel->setMinimumWidth(110);
    lengthLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lengthCombo = new QComboBox(group);
    lengthCombo->setMinimumWidth(90);
    for (int length : nv6842fp_lengthTable())
        lengthCombo->addItem(QString::number(length), length);
    lengthCombo->setCurrentIndex(nv6842fp_defaultLengthIndex);
    grid->addWidget(lengthLabel, 0, 0);
    grid->addWidget(lengthCombo, 0, 1);

    // Without the card's record (demo mode, or reported as failed) every rate is offered.
    const QVector<double> rates = cardZero ? nv6842fp_ratesInRange(cardZero->minRateHz,
                                                                   cardZero->maxRateHz)
                                           : nv6842fp_rateTable();
    rateCombo = new QComboBox(group);
    rateCombo->setMaxVisibleItems(20);
    for (double rate : rates)
        rateCombo->addItem(nv6842fp_rateText(rate), rate);
    rateCombo->setCurrentIndex(nv6842fp_defaultRateIndex(rates));
    setHelp(rateCombo, QStringLiteral("Selects the sampling frequency(in Hertz)"));
    grid->addWidget(new QLabel(QStringLiteral("Sampling Rate"), group), 1, 0,
                    Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(rateCombo, 1, 1);

    storeToFile = new QCheckBox(QStringLiteral("Continuous Acquisition with Data Storage to File"),
                                group);
    setHelp(storeToFile,
            QStringLiteral("<html>Enables data storage to file on the hard drive. When turned on, "
                           "the data acquisition is done truly continuously, all the data is "
                           "stored to hard drive, just the plot is refreshed from time to time. "
                           "The Scan Threshold value must be set in a way to ensure good "
                           "performance, otherwise buffer overflow may occur.</html>"));
    grid->addWidget(storeToFile, 2, 0, 1, 2);
    connect(storeToFile, &QCheckBox::stateChanged, this, &nv6842fp_DAQ::waveformLengthSlot);
    return group;
}

QWidget *nv6842fp_DAQ::buildTriggerGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Trigger Source"), this);
    auto *grid = new QGridLayout(group);
    grid->setSpacing(10);

    trgLevelLabel = new QLabel(QStringLiteral("Source Trigger Detection"), group);
    trgLevel = new QComboBox(group);
    trgLevel->setMinimumWidth(90);
    trgLevel->addItems(nv6842fp_triggerDetectionItems());
    setHelp(trgLevel, QStringLiteral("Selects trigger detection method"));
    grid->addWidget(trgLevelLabel, 0, 0);
    grid->addWidget(trgLevel, 0, 1);

    const int boxes = lxiCarrier ? 6 : 5;
    for (int i = 0; i < boxes; ++i) {
        trgSrc[i] = new QCheckBox(QString::fromLatin1(triggerTexts[i]), group);
        setHelp(trgSrc[i], QStringLiteral("Selects the source for the Trigger signal"));
        connect(trgSrc[i], &QCheckBox::clicked, this, &nv6842fp_DAQ::trgSrcChanged);
        if (i == lowActive) {
            auto *indented = new QHBoxLayout;
            indented->addSpacing(40);
            indented->addWidget(trgSrc[i]);
            grid->addLayout(indented, i + 1, 0, 1, 2);
        } else {
            grid->addWidget(trgSrc[i], i + 1, 0, 1, 2);
        }
    }
    if (lxiCarrier) {
        ptpAlarm = new nv9471fp_PTPalarm(QString(), true, 10, true, group);
        // Beside the date and time the buttons would make this column wider
        // than the window leaves for it.
        ptpAlarm->moveButtonsBelowEntry();
        ptpAlarm->setEnabled(false);
        auto *indented = new QHBoxLayout;
        indented->addSpacing(40);
        indented->addWidget(ptpAlarm);
        grid->addLayout(indented, 7, 0, 1, 2);
        connect(ptpAlarm, &nv9471fp_PTPalarm::setTimeRequest, this, &nv6842fp_DAQ::setAlarm);
        connect(ptpAlarm, &nv9471fp_PTPalarm::requestCurrentTime, this,
                &nv6842fp_DAQ::setCurrentTime);
    }
    return group;
}

QWidget *nv6842fp_DAQ::buildVrefGroup()
{
    auto *group = new QGroupBox(this);
    auto *row = new QHBoxLayout(group);
    vrefCombo = new QComboBox(group);
    vrefCombo->setMinimumWidth(90);
    for (int i = 0; i < vrefCount; ++i)
        vrefCombo->addItem(nv6842fp_vrefText(vrefs[i]), i);
    setHelp(vrefCombo, QStringLiteral("Sets the output of Trellin Motherboard Voltage Reference "
                                      "module\nto the selected value (expressed in Volts)"));
    // An empty table leaves nothing to choose.
    vrefCombo->setEnabled(vrefCount > 0);
    connect(vrefCombo, QOverload<int>::of(&QComboBox::activated), this, &nv6842fp_DAQ::setVref);
    row->addWidget(new QLabel(QStringLiteral("Voltage Reference"), group));
    row->addWidget(vrefCombo);
    return group;
}

QWidget *nv6842fp_DAQ::buildFftGroup()
{
    auto *group = new QGroupBox(QStringLiteral("FFT options"), this);
    auto *grid = new QGridLayout(group);
    zeroPaddingCombo = codeCombo(nv6842fp_zeroPaddingItems(), group);
    zeroPaddingCombo->setMinimumWidth(100);
    setHelp(zeroPaddingCombo, QStringLiteral("Enables zero padding in FFT calculation, which "
                                             "allows boosting FFT resolution."));
    fftWindowCombo = codeCombo(nv6842fp_fftWindowItems(), group);
    fftWindowCombo->setMinimumWidth(100);
    setHelp(fftWindowCombo, QStringLiteral("Selects window function for FFT calculation."));
    grid->addWidget(new QLabel(QStringLiteral("FFT Zero Padding: "), group), 0, 0);
    grid->addWidget(zeroPaddingCombo, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("FFT Window: "), group), 1, 0);
    grid->addWidget(fftWindowCombo, 1, 1);
    if (acperf) {
        sineFitCombo = codeCombo(nv6842fp_sineFitItems(), group);
        sineFitCombo->setMinimumWidth(100);
        setHelp(sineFitCombo,
                QStringLiteral("Chooses the algorithm for sine fitting for the measurements."));
        grid->addWidget(new QLabel(QStringLiteral("Sine fitting: "), group), 2, 0);
        grid->addWidget(sineFitCombo, 2, 1);
    }
    return group;
}

QWidget *nv6842fp_DAQ::buildSettingsFileGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Settings File"), this);
    auto *row = new QHBoxLayout(group);
    saveSettingsButton = new QPushButton(QStringLiteral("Save Settings\u2026"), group);
    setHelp(saveSettingsButton,
            QStringLiteral("Saves the whole configuration to a settings file: every card's channels and output "
                           "triggers, this page with its FFT options, and the streaming settings"));
    loadSettingsButton = new QPushButton(QStringLiteral("Load Settings\u2026"), group);
    setHelp(loadSettingsButton,
            QStringLiteral("Loads a saved settings file: the cards are matched by their position in the session, "
                           "and a summary of what changes is shown before anything is sent to the cards"));
    row->addWidget(saveSettingsButton);
    row->addWidget(loadSettingsButton);
    row->addStretch();
    return group;
}

void nv6842fp_DAQ::enableOnlyFftOptions()
{
    // Walks up from the group, so that it holds whatever the page's layout.
    for (QWidget *kept = zeroPaddingCombo->parentWidget(); kept && kept != this; kept = kept->parentWidget()) {
        kept->setEnabled(true);
        QWidget *holder = kept->parentWidget();
        for (QWidget *sibling : holder->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (sibling != kept)
                sibling->setEnabled(false);
    }
}

const instEnv_t *nv6842fp_DAQ::readCardZeroRecord()
{
    ViSession fc_vi = 0;
    ViStatus status = nv6842_getMultFCsession(d_vi, 0, &fc_vi);
    report(status, "nv6842_getMultFCsession(d_vi, 0, &fc_vi)");
    if (status < VI_SUCCESS)
        return nullptr;
    instEnv_t *instEnv = nullptr;
    status = viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv);
    report(status, "viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv)");
    return status < VI_SUCCESS ? nullptr : instEnv;
}

void nv6842fp_DAQ::waveformLengthSlot()
{
    const bool streaming = storeToFile->isChecked();
    lengthLabel->setText(streaming ? QStringLiteral("Scan Threshold")
                                   : QStringLiteral("Waveform Length"));
    setHelp(lengthCombo,
            streaming ? QStringLiteral("<html>Defines the size of data blocks read from the "
                                       "Function Card. The threshold influences performance. In "
                                       "case of higher sampling frequencies this value should be "
                                       "larger.</html>")
                      : QString());
}

bool nv6842fp_DAQ::cardTime(bool reportFailures, qint64 &seconds, qint32 &utcOffset)
{
    if (demoMode) {
        // Without a card the system clock stands in, taken as UTC.
        seconds = QDateTime::currentSecsSinceEpoch();
        utcOffset = 0;
        return true;
    }
    ViSession fcVi = 0;
    ViStatus status = nv6842_getMultFCsession(d_vi, 0, &fcVi);
    if (reportFailures)
        report(status, "nv6842_getMultFCsession(d_vi, 0, &fcVi)");
    if (status < VI_SUCCESS)
        return false;
    ViInt64 sec = 0;
    ViInt32 UTCoffset = 0;
    status = nv6842_getCurrentTimeEx(fcVi, &sec, VI_NULL, &UTCoffset, nullptr);
    if (reportFailures)
        report(status, "nv6842_getCurrentTimeEx(fcVi, &sec, VI_NULL, &UTCoffset, NULL)");
    if (status < VI_SUCCESS)
        return false;
    seconds = sec;
    utcOffset = UTCoffset;
    return true;
}

void nv6842fp_DAQ::setAlarm(int offsetFromNow)
{
    qint64 now = 0;
    qint32 offset = 0;
    if (!ptpAlarm || !cardTime(true, now, offset))
        return;
    ptpAlarm->utcOffset = offset;
    ptpAlarm->setAlarmTime(now + offsetFromNow);
}

void nv6842fp_DAQ::setCurrentTime()
{
    qint64 now = 0;
    qint32 offset = 0;
    if (!ptpAlarm || !cardTime(false, now, offset))
        return;
    ptpAlarm->utcOffset = offset;
    ptpAlarm->showCurrentTime(now);
}

void nv6842fp_DAQ::trgSrcChanged(bool)
{
    const bool timedStart = trgSrc[ptpAlarmBox] && trgSrc[ptpAlarmBox]->isChecked();
    if (!trgSrc[fpTrigger3]->isChecked())
        trgSrc[lowActive]->setChecked(false);
    for (int i = 0; i < 5; ++i) {
        if (timedStart)
            trgSrc[i]->setChecked(false);
        const bool followsTrigger3 = i == lowActive;
        trgSrc[i]->setEnabled(!timedStart &&
                              (!followsTrigger3 || trgSrc[fpTrigger3]->isChecked()));
    }
    trgLevelLabel->setEnabled(!timedStart);
    trgLevel->setEnabled(!timedStart);
    if (ptpAlarm) {
        ptpAlarm->setEnabled(timedStart);
        ptpAlarm->setShowDistance(timedStart);
    }
}

void nv6842fp_DAQ::setVref(int idx)
{
    // The combo's index is the table's index; anything else would read past it.
    if (demoMode || idx < 0 || idx >= vrefCount)
        return;
    for (int i = 0; i < cardCount; ++i) {
        ViSession fc_vi = 0;
        ViStatus status = nv6842_getMultFCsession(d_vi, static_cast<ViInt16>(i), &fc_vi);
        report(status, "nv6842_getMultFCsession(d_vi, i, &fc_vi)");
        if (status < VI_SUCCESS)
            continue;
        instEnv_t *instEnv = nullptr;
        status = viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv);
        report(status, "viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv)");
        // A card on a carrier without a reference has nothing to set.
        if (status < VI_SUCCESS || !instEnv || !instEnv->head.ifVref ||
            !instEnv->head.ifVref->setVoltRefOutput)
            continue;
        status = instEnv->head.ifVref->setVoltRefOutput(instEnv->head.libEnv, vrefs[idx]);
        if (status < VI_SUCCESS)
            report(status,
                   "instEnv->head.ifVref->setVoltRefOutput(instEnv->head.libEnv, vrefs[idx])");
    }
}

void nv6842fp_DAQ::report(ViStatus status, const char *call)
{
    if (status == VI_SUCCESS)
        return;
    ViChar text[256] = {};
    nv6842_error_message(d_vi, status, text);
    if (status < VI_SUCCESS)
        showError(QStringLiteral("%1 failed due to [%2]")
                      .arg(QString::fromLatin1(call), QString::fromLatin1(text)));
    else
        showWarning(QStringLiteral("Warning: [%1]").arg(QString::fromLatin1(text)));
}
