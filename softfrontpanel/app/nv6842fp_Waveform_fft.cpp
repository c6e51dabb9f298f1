// The display spectrum of the waveform panel. Each channel's transform is a
// task of its own on the analysis pool, computed from a copy of the block, so
// a large zero padding only lets the spectrum lag behind the time plot while
// the window keeps responding.
#include "nv6842fp_Waveform.h"

#include "analysis/displaySpectrum.h"
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

struct spectrumResult
{
    std::vector<double> freqs;           // K frequencies, Hz
    std::vector<int> curveIndex;         // card * 16 + channel per computed channel
    std::vector<std::vector<double>> dB; // K magnitudes per computed channel, each written by its own task
    bool tooShort = false;               // fewer than two scans: nothing to show
    // For the pictures' caption: the block and the window and padding used.
    nv6842fp_Waveform::shownBlockInfo block;
    int window = 0;
    int padding = 1;
};

namespace {

struct spectrumInput
{
    int scans = 0;
    int padding = 1;
    std::vector<double> window;
    std::vector<double> samples; // enabled channels one after another
};

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

void nv6842fp_Waveform::startSpectrum()
{
    auto in = std::make_shared<spectrumInput>();
    in->scans = scans;
    in->padding = std::max(1, parent->daq->zeroPaddingCombo->currentData().toInt());
    in->window = fftWindow;
    auto result = std::make_shared<spectrumResult>();
    result->window = fftWindowType;
    if (in->window.size() != size_t(scans)) {
        // The block is not as long as the window was made for: the same
        // window over the length there is.
        in->window.assign(size_t(scans), 0.0);
        result->window = parent->daq->fftWindowCombo->currentData().toInt();
        windowFunction(result->window, scans, in->window.data());
    }
    result->block = blockShown;
    result->padding = in->padding;
    for (int k = 0; k < cardCount; ++k)
        for (int i = 0; i < 16; ++i)
            if ((chanMask[k] >> i) & 1)
                result->curveIndex.push_back(k * 16 + i);
    int parts = 0;
    if (scans < 2) {
        result->tooShort = true;
    } else {
        result->freqs = spectrumFrequencies(scans, in->padding, freq);
        result->dB.resize(result->curveIndex.size());
        parts = int(result->curveIndex.size());
        in->samples.assign(data.get(), data.get() + result->curveIndex.size() * size_t(scans));
    }
    spectrumComputed = result;
    spectrumBusy = true;
    spectrumRun = analysisRun::start(parts, [in, result](int o) {
        const double *samples = in->samples.data() + size_t(o) * size_t(in->scans);
        if (!amplitudeSpectrumDb(samples, in->window.data(), in->scans, in->padding, result->dB[size_t(o)]))
            result->dB[size_t(o)].clear();
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
    if (result && result->tooShort) {
        for (QwtPlotCurve *curve : qAsConst(spectrum->curves))
            curve->setSamples(QVector<QPointF>());
        spectrum->plot->replot();
    } else if (result && !result->freqs.empty()) {
        spectrumBlock = result->block;
        spectrumWindowType = result->window;
        spectrumPadding = result->padding;
        const std::vector<double> &f = result->freqs;
        // A channel that was not measured this time (outside the mask, or
        // not computed) shows nothing rather than an older block's spectrum.
        std::vector<bool> shown(size_t(spectrum->curves.size()), false);
        for (size_t o = 0; o < result->curveIndex.size(); ++o) {
            const std::vector<double> &y = result->dB[o];
            const int g = result->curveIndex[o];
            if (y.size() != f.size() || g >= spectrum->curves.size())
                continue;
            QwtPlotCurve *curve = spectrum->curves[g];
            curve->setSamples(f.data(), y.data(), int(f.size()));
            curve->setPen(QPen(spectrum->labels[g]->colour(), 1, Qt::SolidLine));
            shown[size_t(g)] = true;
        }
        for (int g = 0; g < spectrum->curves.size(); ++g)
            if (!shown[size_t(g)] && spectrum->curves[g]->dataSize() > 0)
                spectrum->curves[g]->setSamples(QVector<QPointF>());
        spectrum->setFrequencyRange(f.front(), f.back(), parent->autoscaleButton->isChecked());
    }
    if (spectrumPending) {
        spectrumPending = false;
        startSpectrum();
    }
}

void nv6842fp_Waveform::fftOptionsChanged()
{
    if (scans < 1)
        return; // nothing prepared yet: the first block reads the options
    // The window is otherwise made at the start of a run; a viewed file's
    // run may be under way.
    fftWindow.assign(size_t(scans), 0.0);
    fftWindowType = parent->daq->fftWindowCombo->currentData().toInt();
    windowFunction(fftWindowType, scans, fftWindow.data());
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
