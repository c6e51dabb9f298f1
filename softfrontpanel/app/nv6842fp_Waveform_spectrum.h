// The display spectrum's records, shared by the waveform panel's spectrum
// sources (nv6842fp_Waveform_fft.cpp computes and shows, _spectrumView.cpp
// averages, converts units and labels harmonics). A run gets its own input
// and result; the pool's tasks write only their own slots of the result,
// and the averager only through add() for their own channel.
#ifndef NV6842FP_WAVEFORM_SPECTRUM_H
#define NV6842FP_WAVEFORM_SPECTRUM_H

#include "analysis/analysisSettings.h"
#include "analysis/harmonicDetails.h"
#include "analysis/powerAveraging.h"
#include "nv6842fp_Waveform.h"

#include <QtGlobal>

#include <memory>
#include <vector>

struct spectrumResult
{
    std::vector<double> freqs;           // K frequencies, Hz
    std::vector<int> curveIndex;         // card * 16 + channel per enabled channel
    std::vector<std::vector<double>> dB; // K magnitudes per computed channel, each written by its own task
    bool tooShort = false;               // fewer than two scans: nothing to show
    // Nothing computed: the curves already show this block's averages.
    bool keepCurves = false;
    bool labelsOnly = false;
    // The block's shape, for the unit of its magnitudes, and for the
    // pictures' caption the block and the window and padding used.
    int scans = 0;
    double rateHz = 0.0;
    int window = 0;
    int padding = 1;
    nv6842fp_Waveform::shownBlockInfo block;
    // The harmonic labels: wanted, on which curve (-1: none), measured.
    bool harmonicsWanted = false;
    int harmonicCurve = -1;
    bool harmonicsMeasured = false;
    SpectralDetails harmonicDetails;
};

struct spectrumInput
{
    int scans = 0;
    int padding = 1;
    std::vector<double> window;
    std::vector<double> samples; // enabled channels one after another
    // Folds each spectrum into the averages (one channel per task).
    std::shared_ptr<SpectrumAverager> averager;
    // The channel whose harmonics are labelled, as the measurement sees it.
    std::vector<double> harmonicSamples;
    double rateHz = 0.0;
    AnalysisSettings settings;
    double fullScaleVolts = defaultFullScaleVolts;
};

// What the display spectrum keeps between blocks besides the curves. Touched
// on the GUI thread only, and the averager only while no run is under way
// (a run's tasks fold into it).
struct spectrumViewState
{
    std::shared_ptr<SpectrumAverager> averager = std::make_shared<SpectrumAverager>();
    AveragingKey key;
    bool haveKey = false;
    // The block last folded into the averages, so that none is folded twice.
    quint64 foldedSerial = 0;
    bool foldedAny = false;
    // "Restart", a new mode or count: the averages start again at the next run.
    bool restartPending = false;
    bool harmonicsPending = false;
    // The shape of the spectrum on the curves.
    int shownScans = 0;
    double shownRate = 0.0;
    int shownWindow = 0;
};

#endif
