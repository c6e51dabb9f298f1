// The "Acquisition" page: waveform length (or scan threshold when streaming),
// sampling rate, storage to file, trigger sources and detection, the PTP
// alarm of LXI carriers, the motherboard voltage reference and the "FFT
// options", and the buttons that save and load the window's settings file
// (the card window connects them). Only the voltage reference is sent when
// it changes; the acquisition start reads everything else from these controls.
#ifndef NV6842FP_DAQ_H
#define NV6842FP_DAQ_H

#include "nv6842.h"
#include "visa.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class nv9471fp_PTPalarm;

class nv6842fp_DAQ : public QWidget
{
    Q_OBJECT
public:
    // mainWindow: the card window (also the Qt parent). vrefs: the process-wide
    // table of selectable references (volts, vrefCount entries), read again
    // when a reference is chosen; not owned. With "-acperf" among the program's
    // arguments measPanel is inserted into mainTabs as tab 4 "Measurements".
    nv6842fp_DAQ(QWidget *mainWindow, ViSession d_vi, int demoMode, int cardCount,
                 bool lxiCarrier, const double *vrefs, int vrefCount,
                 QTabWidget *mainTabs = nullptr, QWidget *measPanel = nullptr);

    QWidget *parent = nullptr; // the main window
    ViSession d_vi = 0;
    int demoMode = 0;
    int cardCount = 0;
    bool lxiCarrier = false;
    bool acperf = false;

    QLabel *lengthLabel = nullptr;
    QComboBox *lengthCombo = nullptr; // item data: scans (int)
    QComboBox *rateCombo = nullptr;   // item data: Hz (double)
    QCheckBox *storeToFile = nullptr;

    QLabel *trgLevelLabel = nullptr;
    QComboBox *trgLevel = nullptr; // index: 0 edge, 1 level
    // 0..4: bits 0..4 of the trigger-source mask; 5 "PTP Alarm", LXI only (else null).
    QCheckBox *trgSrc[6] = {};
    nv9471fp_PTPalarm *ptpAlarm = nullptr; // LXI only

    QComboBox *vrefCombo = nullptr; // item data: index into vrefs

    QComboBox *zeroPaddingCombo = nullptr; // item data: padding factor
    QComboBox *fftWindowCombo = nullptr;   // item data: window type
    QComboBox *sineFitCombo = nullptr;     // "-acperf" only; item data: iterations

    QPushButton *saveSettingsButton = nullptr; // "Save Settings…"
    QPushButton *loadSettingsButton = nullptr; // "Load Settings…"

    // Offline viewing: leaves only the "FFT options" usable; the rest of the
    // page configures an acquisition, which a stored file does not have.
    void enableOnlyFftOptions();

public slots:
    void waveformLengthSlot();
    void setAlarm(int offsetFromNow);
    void setCurrentTime();
    void trgSrcChanged(bool src);
    void setVref(int idx);

private:
    QWidget *buildAcquisitionGroup(const instEnv_t *cardZero);
    QWidget *buildTriggerGroup();
    QWidget *buildVrefGroup();
    QWidget *buildFftGroup();
    QWidget *buildSettingsFileGroup();
    // Card 0's instrument data (rate range); null, reported, when unreadable.
    const instEnv_t *readCardZeroRecord();
    // The card's clock (the system clock in demo mode): card seconds and
    // card-minus-UTC offset; false when the card cannot be read.
    bool cardTime(bool report, qint64 &seconds, qint32 &utcOffset);
    void report(ViStatus status, const char *call);

    const double *vrefs = nullptr;
    int vrefCount = 0;
};

#endif
