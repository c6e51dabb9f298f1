// The spectrum page beyond one block's magnitudes: averaging over blocks,
// the unit of the magnitudes and the harmonic labels. The averages live in
// one SpectrumAverager per panel, which the GUI thread prepares before a run
// and the run's tasks fold into; the unit is an offset per curve, added when
// a spectrum is shown and moved when the unit changes; the labels are the
// details of one channel, computed as one more task of the run.
#include "nv6842fp_Waveform.h"
#include "nv6842fp_Waveform_spectrum.h"

#include "analysis/harmonicMarkers.h"
#include "analysis/magnitudeUnits.h"
#include "channelFullScale.h"
#include "chLabelFft.h"
#include "measurement.h"
#include "nv6842fp_App.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_globals.h"
#include "plot_voltage.h"

#include <QComboBox>
#include <qwt_plot_curve.h>

#include <algorithm>
#include <cmath>

spectrumViewState &nv6842fp_Waveform::spectrumState()
{
    if (!spectrumView)
        spectrumView = std::make_shared<spectrumViewState>();
    return *spectrumView;
}

void nv6842fp_Waveform::connectSpectrumControls(plot_voltage *spectrum)
{
    fftViewControls *controls = spectrum->controls;
    connect(controls, &fftViewControls::averagingChanged, this, &nv6842fp_Waveform::spectrumAveragingChanged);
    connect(controls, &fftViewControls::restartClicked, this, &nv6842fp_Waveform::restartSpectrumAveraging);
    connect(controls, &fftViewControls::unitChanged, this, &nv6842fp_Waveform::spectrumUnitChanged);
    connect(controls, &fftViewControls::harmonicsToggled, this, &nv6842fp_Waveform::harmonicLabelsChanged);
    connect(spectrum, &plot_voltage::markedCurveChanged, this, &nv6842fp_Waveform::harmonicLabelsChanged);
}

bool nv6842fp_Waveform::prepareAveraging(spectrumInput &in, int windowType)
{
    // No run is under way: the averager is the GUI thread's alone.
    spectrumViewState &state = spectrumState();
    SpectrumAverager &averager = *state.averager;
    const SpectrumViewSettings view = parent->spectrumPlot->viewSettings();
    averager.setMode(view.averaging, view.averagingCount);
    if (state.restartPending) {
        averager.restart();
        state.restartPending = false;
    }
    if (view.averaging == AveragingMode::off)
        return false;
    AveragingKey key;
    key.channelMasks.assign(chanMask.begin(), chanMask.end());
    key.rateHz = freq;
    key.scans = scans;
    key.window = windowType;
    key.padding = in.padding;
    // Another spectrum (channels, rate, length, window, padding) restarts
    // the averages, and the block on display becomes their first.
    const bool sameSpectrum = state.haveKey && key == state.key;
    averager.beginBlock(key, cardCount * 16);
    state.key = key;
    state.haveKey = true;
    if (sameSpectrum && state.foldedAny && state.foldedSerial == blockSerial)
        return true; // asked again for the same block: it is in the averages already
    state.foldedSerial = blockSerial;
    state.foldedAny = true;
    in.averager = state.averager;
    return false;
}

double nv6842fp_Waveform::spectrumUnitOffset(int g, int blockScans, double rateHz, int windowType)
{
    const SpectrumUnit unit = parent->spectrumPlot->viewSettings().unit;
    if (unit == SpectrumUnit::dBPeak)
        return 0.0;
    const double fullScale = unit == SpectrumUnit::dBFS ? nv6842fp_channelFullScale(*parent, g) : 0.0;
    const double offset = spectrumUnitOffsetDb(unit, fullScale, windowType, blockScans, rateHz);
    return std::isfinite(offset) ? offset : 0.0;
}

bool nv6842fp_Waveform::prepareHarmonics(spectrumInput &in, spectrumResult &result)
{
    plot_voltage *spectrum = parent->spectrumPlot;
    if (!spectrum->viewSettings().harmonics)
        return false;
    result.harmonicsWanted = true;
    // The channel of the last placed marker, else the first one shown.
    std::vector<bool> shown(size_t(spectrum->curves.size()), false);
    for (const int g : result.curveIndex)
        if (g < spectrum->labels.size())
            shown[size_t(g)] = spectrum->labels[g]->isChEnabled() && spectrum->labels[g]->isSelected();
    const int g = harmonicMarkerChannel(spectrum->lastMarkedCurve(), shown);
    if (g < 0 || scans < 10)
        return false;
    const size_t o = size_t(std::find(result.curveIndex.begin(), result.curveIndex.end(), g) - result.curveIndex.begin());
    in.harmonicSamples.assign(data.get() + o * size_t(scans), data.get() + (o + 1) * size_t(scans));
    in.rateHz = freq;
    in.settings = parent->measPanel->analysisSettings();
    in.fullScaleVolts = nv6842fp_channelFullScale(*parent, g);
    result.harmonicCurve = g;
    return true;
}

void nv6842fp_Waveform::showHarmonics(const spectrumResult &result)
{
    plot_voltage *spectrum = parent->spectrumPlot;
    // The box may have been cleared while the run was under way.
    if (result.harmonicsWanted && result.harmonicsMeasured && spectrum->viewSettings().harmonics)
        spectrum->showHarmonicLabels(result.harmonicCurve, harmonicMarkers(result.harmonicDetails));
    else
        spectrum->showHarmonicLabels(-1, {});
}

void nv6842fp_Waveform::spectrumAveragingChanged()
{
    spectrumViewState &state = spectrumState();
    state.restartPending = true;
    // Without averaging the block on display is shown as it is, and may be
    // the first of the next averages.
    if (parent->spectrumPlot->viewSettings().averaging == AveragingMode::off) {
        state.foldedAny = false;
        updateFft();
    }
}

void nv6842fp_Waveform::restartSpectrumAveraging()
{
    // Applied before the next run: a run under way folds into the averager.
    spectrumState().restartPending = true;
}

void nv6842fp_Waveform::spectrumUnitChanged()
{
    plot_voltage *spectrum = parent->spectrumPlot;
    const spectrumViewState &state = spectrumState();
    QVector<double> offsets = spectrum->curveOffsetDb;
    for (int g = 0; g < spectrum->curves.size(); ++g)
        if (spectrum->curves[g]->dataSize() > 0)
            offsets[g] = spectrumUnitOffset(g, state.shownScans, state.shownRate, state.shownWindow);
    spectrum->setCurveOffsets(offsets);
}

void nv6842fp_Waveform::harmonicLabelsChanged()
{
    plot_voltage *spectrum = parent->spectrumPlot;
    if (!spectrum->viewSettings().harmonics) {
        spectrum->showHarmonicLabels(-1, {});
        return;
    }
    if (scans < 1 || (demoMode && !fileModeActive()))
        return;
    if (spectrumBusy) {
        spectrumState().harmonicsPending = true;
        return;
    }
    startSpectrum(true);
}
