// The page of one input channel of one card: input source, gain,
// anti-ringing filter, enable, the card's analog trigger (first card only),
// the out-of-range lamp and the volatile calibration of the channel. Every
// change goes to the driver at once, outside demo mode.
#ifndef NV6842FP_CHCFG_H
#define NV6842FP_CHCFG_H

#include "nv6842fp_firstCardSubtype.h"
#include "visa.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class nv9471fp_digitCtrl;
class nv9471fp_led;

// What a channel panel needs from the card window that holds it. The window
// implements it; each panel keeps a non-owning pointer.
class nv6842fp_chCfgHost
{
public:
    // The widget the panels and their dialogs belong to.
    virtual QWidget *hostWidget() = 0;
    // Multi-card session, 0 in demo mode.
    virtual ViSession hostSession() const = 0;
    // Non-zero: no hardware calls.
    virtual int hostDemoMode() const = 0;
    // Greys or restores channel chIdx's legends in the time plot and the spectrum.
    virtual void setChannelLegendsEnabled(int chIdx, bool enabled) = 0;
    // The one answer for the first card's subtype that all panels share.
    virtual nv6842fp_firstCardSubtype &firstCardSubtype() = 0;

protected:
    ~nv6842fp_chCfgHost() = default;
};

class nv6842fp_chCfg : public QWidget
{
    Q_OBJECT
public:
    // ch: channel 0..15 of card fc (0-based, session order). Sends the
    // channel and analog-trigger configuration once before returning.
    nv6842fp_chCfg(nv6842fp_chCfgHost *parent, int ch, int fc);

    int chIdx() const { return d_fc * 16 + d_ch; }
    // Largest threshold magnitude (volts) at the gain shown, for this
    // session's first card.
    double thresholdLimit();

    const int d_ch;
    const int d_fc;
    nv6842fp_chCfgHost *const parent; // the card window, non-owning
    const int demoMode;               // copied at construction
    const ViSession d_vi;             // copied at construction

    QGroupBox *frontEnd;   // "Front-End Circuitry"
    QComboBox *source;     // index + 1 is the source code
    QComboBox *gain;       // item data: the gain (gainValArr)
    QGroupBox *atGroup;    // "Analog Trigger", first card only
    QComboBox *atMode;     // 0 disabled, 1 edge, 2 level
    QComboBox *atHyst;     // 0 disabled, 1 enabled
    QComboBox *atComp;     // 0 "NE or LT", 1 "PE or GT"
    nv9471fp_digitCtrl *athr1; // volts
    nv9471fp_digitCtrl *athr2; // volts, used with hysteresis
    QCheckBox *enable;
    QCheckBox *filter;
    nv9471fp_led *outOfRange; // lit by the acquisition worker
    QPushButton *calibButton;

signals:
    void gainChangedSignal(int chIdx, int gain);
    void channelEnabledSignal(int chIdx, int enable);

public slots:
    void setChEnable(int ena);
    void setChCfg();
    void setAT();
    void calibrate();

private:
    void buildControls();
    void reportStatus(ViStatus status, const char *call) const;
};

#endif
