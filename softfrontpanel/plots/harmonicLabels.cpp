#include "harmonicLabels.h"

#include "plotHelpers.h"

#include <QFont>
#include <QPen>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

harmonicLabels::harmonicLabels(QwtPlot *plot) : plot(plot) {}

harmonicLabels::~harmonicLabels()
{
    clear();
}

void harmonicLabels::clear()
{
    // Markers attached to the plot are removed from it by their destructor.
    qDeleteAll(markers);
    markers.clear();
    labelled = nullptr;
}

void harmonicLabels::show(const QwtPlotCurve *curve, const std::vector<SpectrumMarker> &wanted)
{
    clear();
    if (!curve)
        return;
    labelled = curve;
    const QColor colour(255, 255, 160); // pale yellow: apart from the white markers
    QFont font(QStringLiteral("arial"), 8, QFont::Bold);
    for (const SpectrumMarker &m : wanted) {
        auto *marker = new QwtPlotMarker;
        QwtText text(QString::fromStdString(m.label));
        text.setColor(colour);
        text.setFont(font);
        marker->setLabel(text);
        // Beside the line down from a peak, and never above the canvas when
        // the peak is the highest value of an autoscaled axis.
        marker->setLabelAlignment(Qt::AlignRight | Qt::AlignBottom);
        marker->setSymbol(new QwtSymbol(QwtSymbol::DTriangle, QBrush(colour), QPen(colour), QSize(7, 7)));
        marker->setXValue(m.frequencyHz);
        marker->setZ(30); // above the curves
        markers << marker;
    }
    follow();
}

void harmonicLabels::follow()
{
    for (QwtPlotMarker *marker : qAsConst(markers)) {
        const int sample = labelled ? sfpPlots::nearestSampleAt(labelled, marker->xValue()) : -1;
        if (sample < 0) {
            marker->detach();
            continue;
        }
        marker->setYValue(labelled->sample(size_t(sample)).y());
        if (!marker->plot())
            marker->attach(plot);
    }
}

QVector<QPair<QString, double>> harmonicLabels::shown() const
{
    QVector<QPair<QString, double>> list;
    for (const QwtPlotMarker *marker : markers)
        if (marker->plot())
            list << qMakePair(marker->label().text(), marker->xValue());
    return list;
}
