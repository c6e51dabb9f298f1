// The spectrum plot's side of the controls above it: the unit shown (axis
// title, y dialog, tracker, marker read-out), curves moved to another unit,
// the curve of the last placed marker, and the harmonic labels.
#include "plot_voltage.h"

#include "axisConfigFft.h"
#include "harmonicLabels.h"
#include "myQwtPlotPickerFft.h"
#include "partsLabel.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <cmath>
#include <limits>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

SpectrumViewSettings plot_voltage::viewSettings() const
{
    return controls->settings();
}

void plot_voltage::setViewSettings(const SpectrumViewSettings &settings)
{
    controls->setSettings(settings);
}

QString plot_voltage::displayInForceText() const
{
    return controls->inForceText();
}

void plot_voltage::setWidestReadout()
{
    // The read-out is long: it wraps, between its parts, in a narrow window
    // instead of widening it. Its room is that of a read-out of the largest
    // values expected (the highest sampling rate's Nyquist frequency, the
    // y axis' lowest magnitude, channel 16) in the unit shown.
    const QString widestPrefix = QStringLiteral("[Ch 16] ");
    markerLabel->setWidestParts(
        markerReadoutParts({25000, widestPrefix, -300}, {25000, widestPrefix, -300}));
}

void plot_voltage::unitShown()
{
    const SpectrumUnit unit = controls->settings().unit;
    QwtText title = plot->axisTitle(QwtPlot::yLeft);
    title.setText(unit == SpectrumUnit::dBPeak ? peakTitle : QString::fromStdString(spectrumUnitAxisTitle(unit)));
    plot->setAxisTitle(QwtPlot::yLeft, title);
    picker->setUnit(QString::fromStdString(spectrumUnitSuffix(unit)), unit == SpectrumUnit::noiseDensity);
    setWidestReadout();
    fitYDialogToUnit();
    updateMarkerText();
    plot->replot();
}

void plot_voltage::fitYDialogToUnit()
{
    // The dB range of the magnitudes (-300 ... 30), moved by the offsets
    // of the curves shown in this unit.
    double lowest = 0.0, highest = 0.0;
    bool any = false;
    for (int g = 0; g < curves.size(); ++g) {
        if (curves[g]->dataSize() == 0 || !std::isfinite(curveOffsetDb[g]))
            continue;
        lowest = any ? std::min(lowest, curveOffsetDb[g]) : curveOffsetDb[g];
        highest = any ? std::max(highest, curveOffsetDb[g]) : curveOffsetDb[g];
        any = true;
    }
    const QString suffix = QString::fromStdString(spectrumUnitSuffix(controls->settings().unit));
    yAxisDlg->setLimitFormat(QLatin1Char(' ') + suffix + QLatin1Char(' '), 0, 1);
    yAxisDlg->setLimitRange(std::floor(-300 + lowest), std::ceil(30 + highest));
}

void plot_voltage::setCurveOffsets(const QVector<double> &offsets)
{
    double yShift = std::numeric_limits<double>::quiet_NaN();
    for (int g = 0; g < curves.size() && g < offsets.size(); ++g) {
        const double delta = offsets[g] - curveOffsetDb[g];
        curveOffsetDb[g] = offsets[g];
        const size_t n = curves[g]->dataSize();
        if (delta == 0.0 || n == 0)
            continue;
        if (std::isnan(yShift) && curves[g]->plot())
            yShift = delta; // a fixed range follows the first curve shown
        QVector<double> x, y;
        x.reserve(int(n));
        y.reserve(int(n));
        for (size_t i = 0; i < n; ++i) {
            const QPointF p = curves[g]->sample(i);
            x << p.x();
            y << p.y() + delta;
        }
        curves[g]->setSamples(x, y);
    }
    const bool fixedRange = autoscaleToggle && !autoscaleToggle->isChecked();
    if (fixedRange && std::isfinite(yShift)) {
        readBounds();
        plot->setAxisScale(QwtPlot::yLeft, yLo + yShift, yHi + yShift);
    }
    harmonicMarks->follow();
    fitYDialogToUnit();
    plot->replot();
    scaleUpdate();
    updateZoomBase();
    markerMoved(QPoint(-1, 0));
}

void plot_voltage::setMarkedCurve(int curve)
{
    if (curve == markedCurve)
        return;
    markedCurve = curve;
    emit markedCurveChanged();
}

void plot_voltage::showHarmonicLabels(int curve, const std::vector<SpectrumMarker> &markers)
{
    if (curve >= 0 && curve < curves.size())
        harmonicMarks->show(curves[curve], markers);
    else if (!harmonicMarks->curve())
        return; // nothing shown, nothing to clear
    else
        harmonicMarks->clear();
    plot->replot();
}
