#include "trendPlot.h"

#include "chLabel.h"

#include <QPainter>
#include <qwt_scale_map.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>

void trendCurve::setStretches(const std::vector<double> &times, const std::vector<double> &values,
                              const std::vector<size_t> &stretchStarts)
{
    const int count = int(std::min(times.size(), values.size()));
    setSamples(QVector<double>(times.begin(), times.begin() + count),
               QVector<double>(values.begin(), values.begin() + count));
    starts.assign(1, 0);
    for (size_t start : stretchStarts)
        if (int(start) > starts.back() && int(start) < count)
            starts.push_back(int(start));
}

void trendCurve::drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                            const QRectF &canvasRect, int from, int to) const
{
    const int count = int(dataSize());
    if (!painter || count <= 0)
        return;
    if (to < 0 || to >= count)
        to = count - 1;
    from = std::max(from, 0);
    for (size_t s = 0; s < starts.size(); ++s) {
        const int stretchFirst = starts[s];
        const int stretchLast = s + 1 < starts.size() ? starts[s + 1] - 1 : count - 1;
        const int first = std::max(from, stretchFirst), last = std::min(to, stretchLast);
        if (first > last)
            continue;
        if (stretchFirst < stretchLast) {
            decimatedCurve::drawSeries(painter, xMap, yMap, canvasRect, first, last);
            continue;
        }
        // A lone point has no line to show it.
        const QPointF at(xMap.transform(sample(first).x()), yMap.transform(sample(first).y()));
        if (!canvasRect.contains(at))
            continue;
        const double radius = 1.5 * std::max(1.0, pen().widthF());
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(pen().color());
        painter->drawEllipse(at, radius, radius);
        painter->restore();
    }
}

trendPlot::trendPlot(const QString &valueAxisTitle, QWidget *parent) : timePlot(parent)
{
    QwtText title = axisTitle(QwtPlot::yLeft);
    title.setText(valueAxisTitle);
    setAxisTitle(QwtPlot::yLeft, title);
}

void trendPlot::showChannel(int card, int channel, const std::vector<double> &times,
                            const std::vector<double> &values, const std::vector<size_t> &stretchStarts)
{
    const int index = (card - 1) * 16 + channel - 1;
    if (card < 1 || channel < 1 || channel > 16)
        return;
    while (curves.size() <= index) {
        // The pen of the "Waveforms" page's curves.
        const int g = curves.size();
        auto *curve = new trendCurve(QStringLiteral("Ch %1").arg(g + 1));
        curve->setPen(QPen(channelColour(g), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        curve->attach(this);
        curves.append(curve);
    }
    curves[index]->setStretches(times, values, stretchStarts);
}

void trendPlot::setTimeSpan(double first, double last)
{
    if (last > first)
        setAxisScale(QwtPlot::xBottom, first, last);
    else
        setAxisAutoScale(QwtPlot::xBottom, true);
}

QVector<pictureLegendEntry> trendPlot::legend() const
{
    return pictureLegendOf(pictureCurves(curves));
}
