// The 6842 main window: the connected frame plus the card's tab pages
// (waveforms, spectrum, function cards with their channel panels, acquisition,
// optional measurements and plug-in pages), the per-card identity and the
// motherboard voltage-reference table, and the actions that span several
// channel panels (apply to all, calibrate all, store calibration).
#ifndef NV6842FP_APP_H
#define NV6842FP_APP_H

#include "acqSetup.h"
#include "nv6842fp_chCfg.h"
#include "nv6842fp_settingsRows.h"
#include "nv9471fp_AppFC.h"
#include "storedfile.h"
#include "visa.h"

#include <QVector>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;
class acqConfig;
class fpOutputTrigger;
class nv6842fp_DAQ;
class nv6842fp_Waveform;
class measurement;
class plot_voltage;
class nv9471fp_scu;

// Room of the voltage-reference table; a longer table from a card is cut.
constexpr int vrefCapacity = 20;
// Selectable motherboard reference voltages (volts), vrefCount entries. Built
// in: the 9 values used in demo mode and until a card supplies its own.
extern double vrefs[vrefCapacity];
extern int vrefCount;
// The session the driver's error texts are asked with (a copy of d_vi).
extern ViSession nv6842fp_errorSession;

// Copies at most vrefCapacity values of a card's table into vrefs and sets
// vrefCount; returns the count kept.
int nv6842fp_takeVrefTable(const ViReal64 *values, int count);

class nv6842fp_App : public nv9471fp_AppFC, public nv6842fp_chCfgHost
{
    Q_OBJECT
public:
    // demoCardCount: cards assumed without hardware; fileLoaded: offline file
    // mode (no connection dialog, demo mode).
    nv6842fp_App(nv9471fp_genFC *card, int demoCardCount, bool fileLoaded,
                 QWidget *parent = nullptr);
    ~nv6842fp_App() override; // deletes the plug-in managers

    // Presets the acquisition page and the channel enables from a stored
    // file's header, and leaves only the viewing pages usable.
    void presetFromStoredFile(const StoredFileInfo_t &info);

    // Number of cards the pages were built for.
    int cards() const { return cardTotal; }

    // What each card's output-trigger group shows, card by card.
    std::vector<acqOutputTrigger> outputTriggerSettings() const;

    // What a channel panel shows, and showing a setup on a panel and sending
    // it (the analog trigger too when asked), as "Apply to all" does.
    static nv6842fp_channelSetup channelSetup(const nv6842fp_chCfg &panel);
    void applyChannelSetup(const nv6842fp_channelSetup &setup, nv6842fp_chCfg &to, bool analogTrigger);

    // nv6842fp_chCfgHost
    QWidget *hostWidget() override { return this; }
    ViSession hostSession() const override { return d_vi; }
    int hostDemoMode() const override { return demoMode; }
    void setChannelLegendsEnabled(int chIdx, bool enabled) override;
    nv6842fp_firstCardSubtype &firstCardSubtype() override { return firstSubtype; }

    QTabWidget *mainTabs = nullptr;
    nv6842fp_Waveform *waveform = nullptr;
    plot_voltage *spectrumPlot = nullptr;
    measurement *measPanel = nullptr;
    nv6842fp_DAQ *daq = nullptr;
    QTabWidget *fcTabs = nullptr;
    QVector<QTabWidget *> chTabs;           // per card: its 16 channel pages
    QVector<nv6842fp_chCfg *> chPanels;     // index card * 16 + channel
    QVector<fpOutputTrigger *> fpOutTrg;    // per card
    QVector<ViUInt16> fcSubtype;            // per card, two characters, first in the high byte
    QVector<nv9471fp_scu *> scuManagers;    // per card, owned
    acqConfig *acqDialog = nullptr;
    QPushButton *applyAllFcButton = nullptr; // only with several cards
    // Beside the card tabs, only with more than cardsWithoutSelector cards:
    // item k shows card k's tab. The plug-in pages get such a list too when
    // there are more of them.
    QComboBox *fcSelector = nullptr;
    static constexpr int cardsWithoutSelector = 8;
    QTabWidget *scuTabs = nullptr;           // only when a plug-in page exists

    // "%s failed due to [%s]": the call's source text and the driver's text
    // for status, as displayError() shows a failure.
    static QString driverFailureText(int status, const char *call);

public slots:
    void displayError(int status, const char *call);
    void applyToAllChan();
    void applyToAllFC();
    void calibrateAll();
    void storeCalibToEEPROM();
    void tabChanged(int index) override;
    void mainTabChanged(int index);

protected:
    void closeEvent(QCloseEvent *event) override;
    // Sends every channel panel's configuration and analog trigger, the
    // output triggers and the voltage reference to the cards again.
    void deviceWasReset() override;

private:
    int cardTotal = 0;
    nv6842fp_firstCardSubtype firstSubtype;
    void readCardTables();
    QWidget *buildFunctionCardsPage(int cards);
    QWidget *buildCardPage(int card);
    void addHardwarePages();
    void addPluginPages();
    // Card k's own session; 0 (reported) when the driver refuses.
    ViSession cardSession(int card, const char *call);
    // Copies the settings of one channel panel to another and sends them.
    void copyChannel(const nv6842fp_chCfg &from, nv6842fp_chCfg &to);
    // The enabled channels and the common gain of the card shown, or a warning.
    bool calibrationSelection(int card, quint16 &mask, int &gainIdx);
};

#endif
