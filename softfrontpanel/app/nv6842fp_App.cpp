#include "nv6842fp_App.h"

#include "nv6842fp_panelHelpers.h"
#include "acqConfig.h"
#include "fpOutputTrigger.h"
#include "nv6842.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_Waveform.h"
#include "chLabel.h"
#include "chLabelFft.h"
#include "measurement.h"
#include "plot_voltage.h"
#include "nv6842fp_daqRules.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_settingsFile.h"
#include "nv9471fp_About.h"
#include "nv9471fp_licenses.h"
#include "nv9471fp_messages.h"
#include "nv9471fp_scu.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabBar>
#include <QCoreApplication>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

double vrefs[vrefCapacity] = {0.0, 4.5, 0.45, 0.045, 0.0045, -0.0045, -0.045, -0.45, -4.5};
int vrefCount = 9;
ViSession nv6842fp_errorSession = 0;

int nv6842fp_takeVrefTable(const ViReal64 *values, int count)
{
    // A longer table would overrun vrefs: the first entries are offered.
    vrefCount = std::clamp(count, 0, vrefCapacity);
    std::copy(values, values + vrefCount, vrefs);
    return vrefCount;
}

namespace {

const char fcSessionCall[] = "nv6842_getMultFCsession(d_vi, k, &fc_vi)";

// A page that scrolls when the window is smaller than its contents, so that
// every control stays reachable on a small screen.
QScrollArea *scrolling(QWidget *contents)
{
    auto *area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(contents);
    return area;
}

// Card tab bars of large sessions scroll instead of widening the window.
void makeScrollingTabs(QTabWidget *tabs)
{
    tabs->setUsesScrollButtons(true);
    tabs->tabBar()->setExpanding(false);
}

// A few of many tabs show at a time: a list of them beside the tabs reaches
// any one at once. The list follows the tabs, and the tabs follow the list.
QComboBox *addTabSelector(QTabWidget *tabs, const QString &help)
{
    auto *selector = new QComboBox;
    selector->setMaxVisibleItems(16);
    for (int i = 0; i < tabs->count(); ++i)
        selector->addItem(tabs->tabText(i));
    selector->setCurrentIndex(tabs->currentIndex());
    setHelp(selector, help);
    tabs->setCornerWidget(selector, Qt::TopRightCorner);
    QObject::connect(selector, QOverload<int>::of(&QComboBox::currentIndexChanged), tabs,
                     &QTabWidget::setCurrentIndex);
    QObject::connect(tabs, &QTabWidget::currentChanged, selector, &QComboBox::setCurrentIndex);
    return selector;
}

} // namespace

nv6842fp_App::nv6842fp_App(nv9471fp_genFC *card, int demoCardCount, bool fileLoaded,
                           QWidget *parent)
    : nv9471fp_AppFC(card, true, fileLoaded, nv9471fp_linkedQwtVersion(), true, parent)
{
    if (connectionAbandoned())
        return; // the process is ending
    if (!demoMode && d_vi == 0) {
        sfp::endProcess(0);
        return;
    }
    nv6842fp_errorSession = d_vi;
    const int n = std::clamp(demoMode ? demoCardCount : cardCount, 1, 256);
    cardTotal = n;
    fcSubtype.fill(ViUInt16(('A' << 8) | 'A'), n);
    readCardTables();

    mainTabs = new QTabWidget;
    auto *content = new QVBoxLayout;
    content->setContentsMargins(0, 0, 0, 0);
    content->addWidget(mainTabs);
    setContentLayout(content);

    waveform = new nv6842fp_Waveform(this);
    spectrumPlot = new plot_voltage(n, autoscaleButton, QStringLiteral("Hz"),
                                    QStringLiteral("Magnitude [dB]"), 1);
    connect(spectrumPlot, &plot_voltage::toggleChannels, waveform, &nv6842fp_Waveform::toggleChannels);
    connect(spectrumPlot, &plot_voltage::autoScaleClicked, waveform, &nv6842fp_Waveform::updateFft);
    waveform->connectSpectrumControls(spectrumPlot);
    measPanel = new measurement(this);
    measPanel->hide();
    // The pages join the window only when the channel panels are in place:
    // a panel moved into its page walks the focus chain of the window it
    // leaves, which the thousands of legends of a large session would make
    // quadratic in the card count.
    QWidget *cardsPage = buildFunctionCardsPage(n);
    mainTabs->addTab(waveform, QStringLiteral("Waveforms"));
    mainTabs->addTab(spectrumPlot, QStringLiteral("FFT Amplitude Spectrum"));
    mainTabs->addTab(cardsPage, QStringLiteral("Function Cards"));

    daq = new nv6842fp_DAQ(this, d_vi, demoMode, n, lxiCarrier, vrefs, vrefCount, mainTabs,
                           measPanel);
    mainTabs->insertTab(3, scrolling(daq), QStringLiteral("Acquisition"));

    addHardwarePages();
    addPluginPages();
    waveform->connectSpectrumPictures();

    showAutoscale(true);
    singleButton->setVisible(true);
    contButton->setVisible(true);
    connect(this, &nv9471fp_app::autoscaleToggled, waveform, &nv6842fp_Waveform::asSlot);
    connect(this, &nv9471fp_app::startSingle, waveform, &nv6842fp_Waveform::startSingle);
    connect(this, &nv9471fp_app::breakSingle, waveform, &nv6842fp_Waveform::breakSingle);
    connect(this, &nv9471fp_app::startCont, waveform, &nv6842fp_Waveform::startCont);
    connect(this, &nv9471fp_app::stopCont, waveform, &nv6842fp_Waveform::stopCont);
    connect(mainTabs, &QTabWidget::currentChanged, this, &nv6842fp_App::mainTabChanged);
    // A reset would stop the cards under a running acquisition.
    connect(waveform, &nv6842fp_Waveform::acquiringChanged, resetButton,
            [this](bool acquiring) { resetButton->setEnabled(!acquiring); });

    acqDialog = new acqConfig(this);
    acqDialog->adjustSize();
    new nv6842fp_settingsFile(this); // "Save Settings…" and "Load Settings…"
    resize(940, 680);

    // "Yes, exit" in an error box ends a running acquisition as the stop
    // button does before the process ends, so that nothing acquired is lost.
    sfp::setShutdownHandler(this, [this] { waveform->endBeforeExit(); });
}

nv6842fp_App::~nv6842fp_App()
{
    sfp::clearShutdownHandler(this);
    qDeleteAll(scuManagers);
}

void nv6842fp_App::readCardTables()
{
    if (demoMode)
        return;
    for (int k = 0; k < fcSubtype.size(); ++k) {
        const ViSession fc_vi = cardSession(k, fcSessionCall);
        instEnv_t *instEnv = nullptr;
        if (!fc_vi || viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv) < VI_SUCCESS || !instEnv)
            continue;
        fcSubtype[k] = instEnv->subtype;
        const nv6842_vrefIf *vref = instEnv->head.ifVref;
        if (!vref || !vref->count || !vref->values) {
            vrefCount = 0;
            break;
        }
        nv6842fp_takeVrefTable(vref->values, *vref->count);
    }
}

QWidget *nv6842fp_App::buildFunctionCardsPage(int cards)
{
    auto *page = new QWidget;
    fcTabs = new QTabWidget(page);
    makeScrollingTabs(fcTabs);
    for (int k = 0; k < cards; ++k) {
        fcTabs->addTab(buildCardPage(k), QStringLiteral("Function Card #%1").arg(k + 1));
        // Qt compares each new layout or resize request with every request
        // still queued; handing them out per card keeps the queue short, so
        // opening many cards costs time in proportion to their number.
        QCoreApplication::sendPostedEvents();
    }
    if (cards > cardsWithoutSelector)
        fcSelector = addTabSelector(fcTabs, QStringLiteral("Shows the page of the function card "
                                                          "chosen"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(fcTabs);
    if (cards > 1) {
        applyAllFcButton = new QPushButton(QStringLiteral("Apply to all Function Cards"), page);
        setHelp(applyAllFcButton, QStringLiteral("Applies current channel settings to all "
                                                 "channels in all Function Card"));
        connect(applyAllFcButton, &QPushButton::clicked, this, &nv6842fp_App::applyToAllFC);
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(applyAllFcButton);
        row->addStretch();
        layout->addLayout(row);
        connect(fcTabs, &QTabWidget::currentChanged, this, &nv6842fp_App::tabChanged);
    }
    return page;
}

QWidget *nv6842fp_App::buildCardPage(int card)
{
    auto *page = new QWidget;
    auto *tabs = new QTabWidget(page);
    makeScrollingTabs(tabs);
    chTabs.append(tabs);
    for (int ch = 0; ch < 16; ++ch) {
        auto *panel = new nv6842fp_chCfg(this, ch, card);
        chPanels.append(panel);
        tabs->addTab(panel, QStringLiteral("Ch %1").arg(ch + 1));
    }

    auto *applyButton = new QPushButton(QStringLiteral("Apply to all channels"), page);
    setHelp(applyButton, QStringLiteral("Applies current channel settings to all channels in "
                                        "current Function Card"));
    connect(applyButton, &QPushButton::clicked, this, &nv6842fp_App::applyToAllChan);
    auto *calibrateButton = new QPushButton(QStringLiteral("Calibrate all channels"), page);
    setHelp(calibrateButton, QStringLiteral("Applies current channel settings to all channels "
                                            "in all Function Card"));
    connect(calibrateButton, &QPushButton::clicked, this, &nv6842fp_App::calibrateAll);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(applyButton);
    row->addWidget(calibrateButton);
    if (storeCalibMode) {
        auto *storeButton =
            new QPushButton(QStringLiteral("Store calibration coefs to EEPROM"), page);
        connect(storeButton, &QPushButton::clicked, this, &nv6842fp_App::storeCalibToEEPROM);
        row->addWidget(storeButton);
    }
    row->addStretch();

    auto *outputs = new fpOutputTrigger(page);
    fpOutTrg.append(outputs);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(tabs);
    layout->addLayout(row);
    layout->addSpacing(20);
    layout->addWidget(outputs);
    return scrolling(page);
}

void nv6842fp_App::addHardwarePages()
{
    if (demoMode) {
        aboutDialog->addHardwarePage(QStringLiteral("68429481 (DEMO)"),
                                     QStringLiteral("1.0.1.0 (DEMO)"),
                                     QStringLiteral("6842-AA (DEMO)"));
        return;
    }
    for (int k = 0; k < cards(); ++k) {
        const ViSession fc_vi = cardSession(k, fcSessionCall);
        ViChar subtype[8] = {};
        displayError(nv6842_getSubType(fc_vi, subtype), "nv6842_getSubType(fc_vi, subtype)");
        ViUInt32 serialNumber = 0;
        displayError(nv6842_getSerNum(fc_vi, &serialNumber),
                     "nv6842_getSerNum(fc_vi, &serialNumber)");
        ViChar driverRevision[256] = {};
        ViChar instrumentFirmwareRevision[256] = {};
        displayError(
            nv6842_revision_query(fc_vi, driverRevision, instrumentFirmwareRevision),
            "nv6842_revision_query(fc_vi, driverRevision, instrumentFirmwareRevision)");
        subtype[sizeof subtype - 1] = '\0';
        instrumentFirmwareRevision[sizeof instrumentFirmwareRevision - 1] = '\0';
        aboutDialog->addHardwarePage(
            QStringLiteral("%1").arg(serialNumber, 8, 16, QLatin1Char('0')),
            QString::fromLatin1(instrumentFirmwareRevision),
            QStringLiteral("6842-%1").arg(QString::fromLatin1(subtype)));
    }
}

void nv6842fp_App::addPluginPages()
{
    for (int k = 0; k < cards(); ++k) {
        const ViSession fc_vi = demoMode ? 0 : cardSession(k, fcSessionCall);
        auto *manager = new nv9471fp_scu(int(fc_vi), 0x6842, fcSubtype[k]);
        scuManagers.append(manager);
        for (nv9471fp_scuWidget *scu : manager->availableScus()) {
            if (!scuTabs)
                scuTabs = new QTabWidget;
            scuTabs->addTab(scu, scu->windowTitle() + QStringLiteral(" on FC #%1").arg(k + 1));
            // The plug-ins take the first card's gains and enables (the
            // connection is by name: a plug-in has no meta-object of ours).
            for (int ch = 0; ch < 16; ++ch) {
                nv6842fp_chCfg *panel = chPanels[ch];
                connect(panel, SIGNAL(gainChangedSignal(int, int)), scu,
                        SLOT(masterGainChanged(int, int)));
                connect(panel, SIGNAL(channelEnabledSignal(int, int)), scu,
                        SLOT(masterChannelEnabled(int, int)));
                panel->setChCfg();
            }
            connect(scu, SIGNAL(masterError(int, const char *)), this,
                    SLOT(displayError(int, const char *)));
            aboutDialog->addHardwarePage(scu->serialNumber(), scu->revision(), scu->model(),
                                         scu->headerText1(), scu->headerText2());
        }
    }
    if (scuTabs && scuTabs->count() > cardsWithoutSelector)
        addTabSelector(scuTabs, QStringLiteral("Shows the page of the signal-conditioning unit "
                                               "chosen"));
    if (scuTabs)
        mainTabs->addTab(scuTabs, QStringLiteral("SCUs"));
}

ViSession nv6842fp_App::cardSession(int card, const char *call)
{
    ViSession fc_vi = 0;
    const ViStatus status = nv6842_getMultFCsession(d_vi, ViInt16(card), &fc_vi);
    displayError(status, call);
    return status < VI_SUCCESS ? 0 : fc_vi;
}

void nv6842fp_App::setChannelLegendsEnabled(int chIdx, bool enabled)
{
    if (waveform && chIdx >= 0 && chIdx < waveform->legends.size())
        waveform->legends[chIdx]->setChEnabled(enabled);
    if (spectrumPlot && chIdx >= 0 && chIdx < spectrumPlot->labels.size())
        spectrumPlot->labels[chIdx]->setChEnabled(enabled);
}

namespace {
QString driverReason(int status)
{
    ViChar text[512] = {};
    nv6842_error_message(nv6842fp_errorSession, status, text);
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text);
}
} // namespace

QString nv6842fp_App::driverFailureText(int status, const char *call)
{
    return QStringLiteral("%1 failed due to [%2]").arg(QLatin1String(call), driverReason(status));
}

void nv6842fp_App::displayError(int status, const char *call)
{
    // Success, and two statuses the driver gives for information only, need no box.
    if (status == VI_SUCCESS || status == 0x3FFC0A01 || status == 0x3FFC0A03)
        return;
    if (status < VI_SUCCESS)
        showError(driverFailureText(status, call));
    else
        showWarning(QStringLiteral("Warning: [%1]").arg(driverReason(status)));
}

void nv6842fp_App::tabChanged(int index)
{
    if (demoMode)
        return;
    ViSession fc_vi = 0;
    displayError(nv6842_getMultFCsession(d_vi, ViInt16(index), &fc_vi),
                 "nv6842_getMultFCsession(d_vi, index, &fc_vi)");
    QString moduleText;
    QString hostText;
    ViInt16 slot = 0;
    if (viGetAttribute(fc_vi, VI_ATTR_SLOT, &slot) >= VI_SUCCESS) {
        moduleText = QStringLiteral("Slot %1").arg(slot);
    } else {
        ViChar name[256] = {};
        if (viGetAttribute(fc_vi, VI_ATTR_TCPIP_DEVICE_NAME, name) >= VI_SUCCESS)
            moduleText = QString::fromLatin1(name, int(qstrnlen(name, sizeof name)));
        ViChar host[256] = {};
        if (viGetAttribute(fc_vi, VI_ATTR_TCPIP_HOSTNAME, host) >= VI_SUCCESS)
            hostText = QString::fromLatin1(host, int(qstrnlen(host, sizeof host)));
    }
    setSlotText(moduleText,
                lxiCarrier
                    ? QStringLiteral("Shows which LXI module is connected to the Soft Front Panel")
                    : QStringLiteral("Shows which VXI module is connected to the Soft Front Panel"));
    const int fcNumber = index >= 0 && index < 256 ? fcNumbers[index] : 0;
    setFcText(QStringLiteral("FC #%1").arg(fcNumber),
              QStringLiteral("Shows which function card is connected to the Soft Front Panel"));
    setWindowTitle(QStringLiteral("Trellin 6842 Soft Front Panel: ") + hostText);
}

void nv6842fp_App::mainTabChanged(int index)
{
    if (index != 3 || demoMode)
        return;
    const ViSession fc_vi = cardSession(0, "nv6842_getMultFCsession(d_vi, 0, &fc_vi)");
    if (!fc_vi)
        return;
    instEnv_t *instEnv = nullptr;
    const ViStatus status = viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv);
    displayError(status, "viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv)");
    if (status < VI_SUCCESS || !instEnv)
        return;
    const nv6842_vrefIf *vref = instEnv->head.ifVref;
    ViReal64 volts = 0;
    if (!vref || !vref->getVoltRefOutput ||
        vref->getVoltRefOutput(instEnv->head.libEnv, &volts) != 0)
        return;
    // Showing the card's reference must not send it back.
    const QSignalBlocker quiet(daq->vrefCombo);
    daq->vrefCombo->setCurrentIndex(nv6842fp_nearestVrefIndex(vrefs, vrefCount, volts));
}

void nv6842fp_App::presetFromStoredFile(const StoredFileInfo_t &info)
{
    QComboBox *length = daq->lengthCombo;
    int item = length->findData(info.scansPerBlock);
    if (item < 0) {
        length->addItem(QString::number(info.scansPerBlock), info.scansPerBlock);
        item = length->count() - 1;
    }
    length->setCurrentIndex(item);

    QComboBox *rate = daq->rateCombo;
    item = -1;
    for (int i = 0; i < rate->count() && item < 0; ++i)
        if (rate->itemData(i).toDouble() == info.rateHz)
            item = i;
    if (item < 0) {
        rate->addItem(QString::number(info.rateHz, 'g', 6), info.rateHz);
        item = rate->count() - 1;
    }
    rate->setCurrentIndex(item);

    const int presetCards = std::min(int(info.fcCount), cards());
    for (int k = 0; k < presetCards; ++k)
        for (int i = 0; i < 16; ++i) {
            nv6842fp_chCfg *panel = chPanels[k * 16 + i];
            const bool on = (info.channelMask[k] >> i) & 1;
            const QSignalBlocker quiet(panel->enable);
            panel->enable->setChecked(on);
            panel->setChEnable(on ? 1 : 0);
        }

    // The file is viewed, not acquired: the configuration pages have nothing
    // to configure, while the waveforms and the FFT options stay usable.
    mainTabs->setTabEnabled(2, false);
    daq->enableOnlyFftOptions();
    for (QComboBox *combo : {daq->zeroPaddingCombo, daq->fftWindowCombo, daq->sineFitCombo})
        if (combo)
            connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), waveform,
                    &nv6842fp_Waveform::fftOptionsChanged, Qt::UniqueConnection);
    mainTabs->setCurrentIndex(0);

    waveform->stateLabel->hide();
    waveform->blockSlider->show();
    waveform->positionLabel->show();
    waveform->blockSlider->setRange(1, int(std::min<uint64_t>(info.blockCount, INT_MAX)));
}

void nv6842fp_App::closeEvent(QCloseEvent *event)
{
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    // A timed start waiting for its alarm runs too, without the timer.
    if (waveform && (waveform->refreshTimer->isActive() || waveform->isAcquiring())) {
        waveform->stopDAQ();
        userBreak();
    }
    if (waveform && waveform->syncMethod)
        nv6842fp_storeSyncMethod(waveform->syncMethod->currentIndex());
    event->accept();
}
