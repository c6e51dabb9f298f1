// The display spectrum of the waveform panel. Each channel's transform is a
// task of its own on the analysis pool, computed from a copy of the block, so
// a large zero padding only lets the spectrum lag behind the time plot while
// the window keeps responding. With averaging on, each task folds its
// channel's power spectrum into the averages; the harmonic labels are one
// more task (nv6842fp_Waveform_spectrumView.cpp).
#include "nv6842fp_Waveform.h"
#include "nv6842fp_Waveform_spectrum.h"

#include "analysis/displaySpectrum.h"
#include "analysis/harmonicMarkers.h"
#include "analysisPool.h"
#include "windowFunction.h"
#include "chLabelFft.h"
#include "nv6842fp_App.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_globals.h"
#include "measurement.h"
#include "plot_voltage.h"

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_symbol.h>

#include <QComboBox>
#include <QPushButton>

namespace {

// One channel's display spectrum, folded into the averages when there are any.
void computeSpectrum(const spectrumInput &in, spectrumResult &result, int o)
{
    const double *samples = in.samples.data() + size_t(o) * size_t(in.scans);
    std::vector<double> &y = result.dB[size_t(o)];
    if (!in.averager) {
        if (!amplitudeSpectrumDb(samples, in.window.data(), in.scans, in.padding, y))
            y.clear();
        return;
    }
    if (!amplitudeSpectrumPower(samples, in.window.data(), in.scans, in.padding, y)) {
        y.clear();
        return;
    }
    try {
        in.averager->add(result.curveIndex[size_t(o)], y);
    } catch (const std::bad_alloc &) {
        // No room for the running spectrum: this block is shown alone.
    }
    spectrumRatioToDb(y.data(), y.data(), y.size());
}

} // namespace

void nv6842fp_Waveform::updateFft()
{
    if (scans < 1)
        return;
    if (demoMode && !fileModeActive())
        return;
    if (spectrumBusy) {
        spectrumPending = true;
        return;
    }
    startSpectrum();
}

void nv6842fp_Waveform::startSpectrum(bool labelsOnly)
{
    auto in = std::make_shared<spectrumInput>();
    in->scans = scans;
    in->padding = std::max(1, parent->daq->zeroPaddingCombo->currentData().toInt());
    in->window = fftWindow;
    int windowType = fftWindowType;
    if (in->window.size() != size_t(scans)) {
        // The block is not as long as the window was made for: the same
        // window over the length there is.
        windowType = parent->daq->fftWindowCombo->currentData().toInt();
        in->window.assign(size_t(scans), 0.0);
        windowFunction(windowType, scans, in->window.data());
    }
    auto result = std::make_shared<spectrumResult>();
    result->scans = scans;
    result->rateHz = freq;
    result->window = windowType;
    result->block = blockShown;
    result->padding = in->padding;
    for (int k = 0; k < cardCount; ++k)
        for (int i = 0; i < 16; ++i)
            if ((chanMask[k] >> i) & 1)
                result->curveIndex.push_back(k * 16 + i);
    int parts = 0;
    if (labelsOnly) {
        result->labelsOnly = true;
    } else if (scans < 2) {
        result->tooShort = true;
    } else {
        result->freqs = spectrumFrequencies(scans, in->padding, freq);
        result->keepCurves = prepareAveraging(*in, windowType);
        if (!result->keepCurves) {
            result->dB.resize(result->curveIndex.size());
            parts = int(result->curveIndex.size());
            in->samples.assign(data.get(), data.get() + result->curveIndex.size() * size_t(scans));
        }
    }
    const int spectra = parts;
    if (prepareHarmonics(*in, *result))
        ++parts;
    spectrumComputed = result;
    spectrumBusy = true;
    spectrumRun = analysisRun::start(parts, [in, result, spectra](int o) {
        if (o < spectra)
            computeSpectrum(*in, *result, o);
        else
            result->harmonicsMeasured = measureChannelDetails(
                in->harmonicSamples.data(), in->scans, in->rateHz, in->padding, in->settings,
                in->fullScaleVolts, result->harmonicDetails);
    });
    spectrumWatcher.setFuture(spectrumRun->future());
}

void nv6842fp_Waveform::spectrumReady()
{
    // The run's own check hands its results over (it holds once finished
    // is signalled): the signal itself passes only through Qt's locks.
    if (!spectrumRun || !spectrumRun->complete())
        return;
    spectrumBusy = false;
    const std::shared_ptr<spectrumResult> result = std::move(spectrumComputed);
    plot_voltage *spectrum = parent->spectrumPlot;
    spectrumViewState &state = spectrumState();
    if (result && result->tooShort) {
        for (QwtPlotCurve *curve : qAsConst(spectrum->curves))
            curve->setSamples(QVector<QPointF>());
        spectrum->plot->replot();
    } else if (result && !result->freqs.empty()) {
        spectrumBlock = result->block;
        spectrumWindowType = result->window;
        spectrumPadding = result->padding;
        const std::vector<double> &f = result->freqs;
        if (!result->keepCurves) {
            // A channel that was not measured this time (outside the mask, or
            // not computed) shows nothing rather than an older block's spectrum.
            std::vector<bool> shown(size_t(spectrum->curves.size()), false);
            for (size_t o = 0; o < result->curveIndex.size(); ++o) {
                std::vector<double> &y = result->dB[o];
                const int g = result->curveIndex[o];
                if (y.size() != f.size() || g >= spectrum->curves.size())
                    continue;
                const double offset = spectrumUnitOffset(g, result->scans, result->rateHz, result->window);
                if (offset != 0.0)
                    for (double &v : y)
                        v += offset;
                spectrum->curveOffsetDb[g] = offset;
                QwtPlotCurve *curve = spectrum->curves[g];
                curve->setSamples(f.data(), y.data(), int(f.size()));
                curve->setPen(QPen(spectrum->labels[g]->colour(), 1, Qt::SolidLine));
                shown[size_t(g)] = true;
            }
            for (int g = 0; g < spectrum->curves.size(); ++g)
                if (!shown[size_t(g)] && spectrum->curves[g]->dataSize() > 0)
                    spectrum->curves[g]->setSamples(QVector<QPointF>());
            state.shownScans = result->scans;
            state.shownRate = result->rateHz;
            state.shownWindow = result->window;
        }
        spectrum->setFrequencyRange(f.front(), f.back(), parent->autoscaleButton->isChecked());
        // A restart asked for meanwhile shows no count of the averages it ends.
        if (!state.restartPending)
            spectrum->controls->showCountReached(state.averager->countReached());
    }
    if (result)
        showHarmonics(*result);
    if (spectrumPending) {
        spectrumPending = false;
        state.harmonicsPending = false;
        startSpectrum();
    } else if (state.harmonicsPending) {
        state.harmonicsPending = false;
        startSpectrum(true);
    }
}

void nv6842fp_Waveform::makeFftWindow()
{
    fftWindowType = parent->daq->fftWindowCombo->currentData().toInt();
    fftWindow.assign(size_t(scans), 0.0);
    windowFunction(fftWindowType, scans, fftWindow.data());
}

void nv6842fp_Waveform::fftOptionsChanged()
{
    if (scans < 1)
        return; // nothing prepared yet: the first block reads the options
    // The window is otherwise made at the start of a run; a viewed file's
    // run may be under way.
    makeFftWindow();
    if (fileBlockShown < 0)
        return;
    updateFft();
    parent->measPanel->recalculate();
}

void nv6842fp_Waveform::toggleChannels()
{
    plot_voltage *spectrum = parent->spectrumPlot;
    for (int g = 0; g < spectrum->curves.size(); ++g) {
        QwtPlotCurve *curve = spectrum->curves[g];
        const chLabelFft *label = spectrum->labels[g];
        if (label->isChEnabled() && label->isSelected())
            curve->attach(spectrum->plot);
        else
            curve->detach();
        const QColor colour = label->colour();
        if (auto *symbol = const_cast<QwtSymbol *>(curve->symbol())) {
            symbol->setPen(QPen(colour, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            symbol->setColor(colour);
        }
    }
    updateFft();
}
