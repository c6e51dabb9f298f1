// The measurement panel's computation for the 16 channels of one card,
// without widgets: sine fit (amplitude, mean, RMS, frequency, phase) and the
// spectral figures (THD, SINAD, SNR, SFDR, ENOB) of each enabled channel.
//
// Use from the panel:
//     CardMeasurementInput in;   // scans, times, rate, padding, iterations
//     locateCardSamples(data, scans, chanMask, card, in);
//     CardMeasurement m = measureCard(in);
//     switch (settleCardMeasurement(m, messageFlag)) { ... show the box ... }
//     then write m.figures[k] into row k of every channel with m.enabled(k).
// measureCard keeps no state of its own, so it may run on a pool thread while
// the window goes on, as long as the block it reads stays unchanged. Figures
// that divide by zero are NaN or infinite, as the table shows them.
#ifndef CHANNELMEASUREMENT_H
#define CHANNELMEASUREMENT_H

#include "analysisSettings.h"
#include "harmonicDetails.h"

#include <cstdint>
#include <string>

constexpr int measurementChannelCount = 16;
constexpr int measurementColumnCount = 10;

// One row of the table, in column order.
struct ChannelFigures
{
    double amplitude = 0.0; // V, sine amplitude
    double mean = 0.0;      // V, offset
    double rms = 0.0;       // V, RMS of the fitted sine
    double frequency = 0.0; // Hz, fitted frequency
    double phaseUs = 0.0;   // microseconds relative to the reference channel
    double thdDb = 0.0;     // dB
    double sinad = 0.0;     // dB
    double snr = 0.0;       // dB
    double sfdr = 0.0;      // dB
    double enob = 0.0;      // bits
    // Bit c set: column c could not be measured and shows "-" (its value
    // is NaN): the fit and THD without a fundamental, a phase without a reference,
    // SNR, SINAD and ENOB without a bin of noise.
    unsigned missing = 0;
};

// Column headers ("Amplitude (V)" ... "ENOB") and the decimals each column
// shows (6, 6, 6, 3, 3, 2, 2, 2, 2, 2).
extern const char *const measurementColumnHeaders[measurementColumnCount];
extern const int measurementColumnDecimals[measurementColumnCount];
// The value of column 0 ... 9; 0 outside.
double figureColumn(const ChannelFigures &figures, int column);
void setFigureColumn(ChannelFigures &figures, int column, double value);
bool figureMissing(const ChannelFigures &figures, int column);
// Marks column 0 ... 9 as not measured and sets its value to NaN.
void setFigureMissing(ChannelFigures &figures, int column);

struct CardMeasurementInput
{
    int scans = 0;                   // N, samples per channel
    const double *times = nullptr;   // N absolute scan times, s; null: i / rateHz
    double rateHz = 0.0;             // sampling rate fs
    int padding = 1;                 // zero-padding factor P
    int iterations = 0;              // 0: 3-parameter fit; 1 ... 7: 4-parameter
    uint16_t mask = 0;               // the card's enabled channels, bit k = channel k
    // Channels are measured on this many threads at once (the transforms of
    // a large zero padding take most of the time); 0: one per core.
    int threads = 1;
    // Samples of each channel (N values, volts, borrowed), null when the
    // channel has none (disabled, or N < 1).
    const double *samples[measurementChannelCount] = {};
    // The rules of the spectral figures (defaults: the panel's own) and
    // whether the harmonic and spur details are wanted; their dBFS are
    // relative to each channel's full scale (peak volts for its gain).
    AnalysisSettings settings;
    bool details = false;
    double fullScaleVolts[measurementChannelCount] = {
        defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts,
        defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts,
        defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts,
        defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts, defaultFullScaleVolts};
};

// Sets input.mask and input.samples for card `card` (0-based) of a block laid
// out channel after channel: all enabled channels of the cards before it
// come first. masks holds at least card + 1 card masks.
void locateCardSamples(const double *data, int scans, const uint16_t *masks, int card,
                       CardMeasurementInput &input);

struct CardMeasurement
{
    CardMeasurement();

    uint16_t mask = 0;
    bool computed = false;  // false when N < 10: every figure is 0
    // Non-empty when the analysis threw (an acperf or fitter could not be
    // made, memory ran out): its text; every figure is then 0.
    std::string error;
    bool fitFailed = false; // a 4-parameter fit refused its arguments
    int referenceChannel = -1; // lowest-numbered channel with samples
    double phase[measurementChannelCount] = {}; // fitted phase, radians
    ChannelFigures figures[measurementChannelCount]; // phaseUs filled by settleCardMeasurement
    // The settings the figures were computed with, and the details of each
    // channel with a fit when input.details was set.
    AnalysisSettings settings;
    bool hasDetails = false;
    SpectralDetails details[measurementChannelCount];
    // Under the 3-parameter fit: how far the interpolated fundamental lies
    // from the fit's frequency, in unpadded bins (fs / N); NaN for a
    // channel without a fit, and for every channel under the 4-parameter fit.
    double leakageBins[measurementChannelCount];

    bool enabled(int channel) const { return (mask >> channel) & 1; }
};

// Runs the measurement: for N >= 10, first an acperf and a sineFitter for
// every channel with samples (a throw stops everything: error set, all
// zeros), then per channel the fit from acperf's fundamental with full
// steps (step 1) and, when the fit succeeded, the spectral figures. A fit
// that refuses its arguments leaves that channel's five fit values at 0 and
// sets fitFailed. A channel without a fundamental (a constant, or no bin
// above the DC region) gets no fit: its five fit values and THD are missing.
// The fit starts at the largest bin's frequency or, with
// settings.fitStart interpolated, at the interpolated fundamental.
// Phases in microseconds come from settleCardMeasurement().
CardMeasurement measureCard(const CardMeasurementInput &input);

// The critical boxes' title and the fit-failure text.
extern const char measurementMessageTitle[];   // "Trellin 6842 Soft Front Panel"
extern const char measurementFitFailedText[];  // "AC performance calculations failed"

// Which box the panel shows after a measurement.
enum class MeasurementMessage {
    None,
    Error,     // measurement.error, in a critical box
    FitFailed  // "AC performance calculations failed"
};

// Applies the panel's message rule with its program-wide flag (true while a
// reported failure has not yet been followed by a run that got past the
// constructions) and fills figures[k].phaseUs: (phase - reference), taken
// into (-pi, pi], / (2 pi f) * 1e6, 0 when f <= 0. The reference is the
// phase of referenceChannel, or 0 after an error or when a fit failure is
// reported now; when the reference channel has no fit, no phase is shown.
MeasurementMessage settleCardMeasurement(CardMeasurement &measurement, bool &messageFlag);

#endif
