// The 6842 panel's rows of the settings file (settingsTable.h): its pages'
// settings as plain values, written as readable texts and taken back after
// a check against this session's ranges (the rate and length lists of the
// acquisition page, threshold ranges by gain and the first card's subtype,
// the carrier's references). Widget-free: the card window reads and applies
// the values through nv6842fp_setupPanel; the fuzzer keeps a plain copy.
//
// Layout, format 1, in this order (values after "=" as the panel names them):
//   [File]                Program, Format, Cards
//   [Acquisition]         Length (scans), Rate (Hz), StoreToFile, VoltageReference (V)
//   [Trigger]             PtpAlarm, PtpAlarmTime ("yyyy-MM-dd hh:mm:ss" UTC; LXI only),
//                         Detection, MotherboardA, MotherboardB, FrontPanel3, LowActive, AnalogTrigger
//   [FFT]                 ZeroPadding (factor), Window, SineFit ("-acperf" only)
//   [Streaming]           File, Format, Timestamps, RefreshInterval (ms), SplitFiles,
//                         SplitEvery (in the unit), SplitUnit ("MB", "minutes"), TrendLog
//   [Synchronisation]     Method (cards on several LXI hosts only)
//   [Spectrum]            Averaging, AveragingCount, Unit, Harmonics
//   [Measurements]        ("-acperf" only) the analysis settings as analysisSettingsValues()
//                         names and writes them (Harmonics, AliasedHarmonics, HarmonicBins,
//                         DcBins, FundamentalBins, BandLowHz, BandHighHz, FitStart), and
//                         AverageBlocks
//   [Card K]              Model, Subtype, OutputTrigger1, Negate1, OutputTrigger2, Negate2
//   [Card K Channel C]    Enabled, Source, Gain, Filter; on card 1 also TriggerMode,
//                         Hysteresis, Comparison, Threshold1, Threshold2 (V)
// Cards are matched by their position in the session (K from 1). Truth
// values are written "true" or "false" (yes/no, on/off and 1/0 are read).
#ifndef NV6842FP_SETTINGSROWS_H
#define NV6842FP_SETTINGSROWS_H

#include "analysis/analysisSettings.h"
#include "settingsTable.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct nv6842fp_channelSetup {
    int source = 0; // item index: 0 "Front Panel", 1 "MB Volt.Ref."
    int gain = 0;   // index into gainValArr
    bool enabled = false;
    bool filter = false;
    int triggerMode = 0, hysteresis = 0, comparison = 0; // item indices
    double threshold1 = 0.0, threshold2 = 0.0;           // volts
};

struct nv6842fp_outputSetup {
    int trigger1 = 0, trigger2 = 0; // item indices
    bool negate1 = false, negate2 = false;
};

struct nv6842fp_acquisitionSetup {
    int length = 0;   // item index
    int rate = 0;     // item index
    bool storeToFile = false;
    bool ptpAlarm = false;
    qint64 alarmUtc = 0; // the PTP alarm, seconds since 1970 UTC
    int detection = 0;   // 0 edge, 1 level
    bool sources[5] = {}; // trigger-source boxes 0 ... 4
};

struct nv6842fp_fftSetup {
    int padding = 0, window = 0, sineFit = 0; // item indices
};

struct nv6842fp_streamingSetup {
    QString fileName;
    int format = 0;  // acqStorageFormat
    bool timestamps = false;
    int refresh = 0; // item index
    bool splitFiles = false;
    int splitEvery = 0; // in the unit
    int splitUnit = 0;  // acqSplitUnit
    bool trendLog = false;
};

// The spectrum page's row of controls (fftViewControls.h).
struct nv6842fp_spectrumSetup {
    int averaging = 0; // AveragingMode
    int averagingCount = 0;
    int unit = 0;      // SpectrumUnit
    bool harmonics = false;
};

struct nv6842fp_panelSetup {
    nv6842fp_acquisitionSetup acquisition;
    int vref = 0; // item index
    nv6842fp_fftSetup fft;
    nv6842fp_streamingSetup streaming;
    int syncMethod = 0;
    nv6842fp_spectrumSetup spectrum;
    AnalysisSettings analysis; // the measurement page's
    int averageBlocks = 0;     // its "Average over N blocks"
    QVector<nv6842fp_outputSetup> outputs;   // per card
    QVector<nv6842fp_channelSetup> channels; // card * 16 + channel
};

// What this session offers, as its controls show it.
struct nv6842fp_setupLimits {
    int cards = 1;
    QString model = QStringLiteral("6842");
    QStringList subtypes;  // per card, two characters ("AA")
    QVector<int> lengths;  // the length combo's scans, in item order
    QVector<double> rates; // the rate combo's rates, Hz
    QVector<double> vrefs; // the reference combo's volts; empty: none
    int thresholdFactor = 1; // nv6842fp::subtypeFactor of the first card (1 in demo mode)
    bool lxi = false;        // PTP alarm
    bool acperf = false;     // sine fit and the measurement page
    bool syncChoice = false; // synchronisation method
};

// The side that holds the controls: reads them into the setup, and applies
// a setup part to them (sending what the page sends at once).
class nv6842fp_setupPanel
{
public:
    virtual void readAcquisition(nv6842fp_acquisitionSetup &setup) = 0;
    virtual void applyAcquisition(const nv6842fp_acquisitionSetup &setup) = 0;
    virtual void readVref(int &index) = 0;
    virtual void applyVref(int index) = 0;
    virtual void readFft(nv6842fp_fftSetup &setup) = 0;
    virtual void applyFft(const nv6842fp_fftSetup &setup) = 0;
    virtual void readStreaming(nv6842fp_streamingSetup &setup) = 0;
    virtual void applyStreaming(const nv6842fp_streamingSetup &setup) = 0;
    virtual void readSync(int &index) = 0;
    virtual void applySync(int index) = 0;
    virtual void readSpectrum(nv6842fp_spectrumSetup &setup) = 0;
    virtual void applySpectrum(const nv6842fp_spectrumSetup &setup) = 0;
    // The measurement page's, with "-acperf" only.
    virtual void readAnalysis(AnalysisSettings &settings) = 0;
    virtual void applyAnalysis(const AnalysisSettings &settings) = 0;
    virtual void readAverageBlocks(int &blocks) = 0;
    virtual void applyAverageBlocks(int blocks) = 0;
    virtual void readOutputs(int card, nv6842fp_outputSetup &setup) = 0;
    virtual void applyOutputs(int card, const nv6842fp_outputSetup &setup) = 0;
    virtual void readChannel(int chIdx, nv6842fp_channelSetup &setup) = 0;
    virtual void applyChannel(int chIdx, const nv6842fp_channelSetup &setup) = 0;

protected:
    ~nv6842fp_setupPanel() = default;
};

extern const char nv6842fp_settingsProgram[]; // "Trellin 6842 Soft Front Panel"
constexpr int nv6842fp_settingsFormat = 1;

// Adds every page's group and rows; setup.outputs and setup.channels are
// sized for limits.cards. setup and panel must outlive the table.
void nv6842fp_addSettingsRows(settingsTable &table, nv6842fp_panelSetup &setup, const nv6842fp_setupLimits &limits,
                              nv6842fp_setupPanel &panel);

// The analysis pages' part of it: the spectrum page and the measurement page
// (nv6842fp_analysisRows.cpp).
void nv6842fp_addAnalysisRows(settingsTable &table, nv6842fp_panelSetup &setup, const nv6842fp_setupLimits &limits,
                              nv6842fp_setupPanel &panel);

// Section names: "Card 2", "Card 2 Channel 5" (card and channel from 0).
QString nv6842fp_cardSection(int card);
QString nv6842fp_channelSection(int card, int channel);

#endif
