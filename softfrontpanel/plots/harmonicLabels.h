// The labels of the fundamental ("F"), its harmonics ("H2" ... ) and the
// worst other spur ("S") on one curve of the spectrum plot. Each label sits
// on the curve's sample nearest its frequency, so it follows the curve when
// the curve changes (a new block, another unit): call follow() then.
#ifndef HARMONICLABELS_H
#define HARMONICLABELS_H

#include "analysis/harmonicMarkers.h"

#include <QString>
#include <QVector>

#include <vector>

class QwtPlot;
class QwtPlotCurve;
class QwtPlotMarker;

class harmonicLabels
{
public:
    explicit harmonicLabels(QwtPlot *plot);
    ~harmonicLabels();
    harmonicLabels(const harmonicLabels &) = delete;
    harmonicLabels &operator=(const harmonicLabels &) = delete;

    // Labels at the given frequencies of curve (not owned; it must outlive
    // the labels or be cleared first); no curve or no markers: none.
    void show(const QwtPlotCurve *curve, const std::vector<SpectrumMarker> &markers);
    void clear();
    // Puts every label on the curve's sample nearest its frequency again.
    void follow();

    const QwtPlotCurve *curve() const { return labelled; }
    // The labels shown: text and frequency in Hz.
    QVector<QPair<QString, double>> shown() const;

private:
    QwtPlot *plot;
    const QwtPlotCurve *labelled = nullptr;
    QVector<QwtPlotMarker *> markers;
};

#endif
