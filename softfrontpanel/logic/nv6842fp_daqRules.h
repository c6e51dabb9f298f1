// Rules of the acquisition page that need no widget: the sampling-rate list
// cut to a card's range with its default, the item tables of the page's and
// the output-trigger group's combos (text and the value the driver or the
// engine needs), the voltage-reference texts and the nearest reference.
#ifndef NV6842FP_DAQRULES_H
#define NV6842FP_DAQRULES_H

#include <QString>
#include <QStringList>
#include <QVector>

// One combo item: the text shown and the value carried as item data.
struct nv6842fp_codeItem {
    const char *text;
    int code;
};

// The rates the card offers (Hz), in the order shown. 100.1 Hz is a rate of
// its own, not a rounding of 100 Hz.
QVector<double> nv6842fp_rateTable();
// The table cut to a card's range: rates below minHz are skipped and the
// first rate above maxHz ends the list.
QVector<double> nv6842fp_ratesInRange(double minHz, double maxHz);
// The entry within 1 Hz of 10 kHz, else the last entry; -1 for an empty list.
int nv6842fp_defaultRateIndex(const QVector<double> &rates);
// "%.1lf Hz" below 1000 Hz, else "%.1lf kHz" of rate / 1000.
QString nv6842fp_rateText(double hz);

// Waveform lengths 32 .. 8192 (2^5 .. 2^13) and the default's index (2048).
QVector<int> nv6842fp_lengthTable();
constexpr int nv6842fp_defaultLengthIndex = 6;

// Front-panel output triggers: the item data are the driver's source codes,
// which skip values, so an index is never a code.
QVector<nv6842fp_codeItem> nv6842fp_outputTrigger1Items();
QVector<nv6842fp_codeItem> nv6842fp_outputTrigger2Items();

// "FFT options": zero-padding factors, window types, and (with "-acperf")
// the sine-fit choice as the number of iterations of the 4-parameter fit.
QVector<nv6842fp_codeItem> nv6842fp_zeroPaddingItems();
QVector<nv6842fp_codeItem> nv6842fp_fftWindowItems();
QVector<nv6842fp_codeItem> nv6842fp_sineFitItems();

// Trigger detection ("EDGE", "LEVEL": the index is the driver's code) and
// the synchronisation method of multi-host LXI set-ups ("LXI Triggers",
// "IEEE 1588"), in index order.
QStringList nv6842fp_triggerDetectionItems();
QStringList nv6842fp_syncMethodItems();

// "%1 V": the reference in volts, fixed notation, 6 decimals, width 5.
QString nv6842fp_vrefText(double volts);
// Index of the entry nearest to volts (the first one on ties); 0 for an
// empty table, so a caller always has an index to select.
int nv6842fp_nearestVrefIndex(const double *vrefs, int count, double volts);

// True when any program argument is exactly "-acperf".
bool nv6842fp_hasAcperfSwitch(const QStringList &arguments);

// The synchronisation method of multi-host LXI set-ups (0 "LXI Triggers",
// 1 "IEEE 1588"), kept under "SynchronizationMethod" in the program's
// settings. A missing or damaged value reads as the default 1.
int nv6842fp_storedSyncMethod();
void nv6842fp_storeSyncMethod(int index);

#endif
