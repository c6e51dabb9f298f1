#include "decimatedCurve.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_plot.h>
#include <qwt_point_data.h>
#include <qwt_scale_map.h>
#include <qwt_symbol.h>

namespace {
// a below b, where any number is below a value that is not one: a stretch's
// extremes are numbers whenever it holds one.
bool lower(double a, double b)
{
    return a < b || (std::isnan(b) && !std::isnan(a));
}
} // namespace

decimatedCurve::decimatedCurve(const QString &title) : QwtPlotCurve(title) {}

decimatedCurve::RawSamples decimatedCurve::rawSamples() const
{
    if (const auto *array = dynamic_cast<const QwtPointArrayData *>(data()))
        return {array->xData().constData(), array->yData().constData()};
    if (const auto *pointers = dynamic_cast<const QwtCPointerData *>(data()))
        return {pointers->xData(), pointers->yData()};
    return {};
}

void decimatedCurve::drawSeries(QPainter *painter, const QwtScaleMap &xMap,
                                const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                                int to) const
{
    decimatedPoints = 0;
    const int count = int(dataSize());
    if (!painter || count <= 0)
        return;
    if (to < 0 || to >= count)
        to = count - 1;
    from = std::max(from, 0);
    const RawSamples raw = rawSamples();
    if (from > to || !raw.x) {
        QwtPlotCurve::drawSeries(painter, xMap, yMap, canvasRect, from, to);
        return;
    }

    // The visible samples plus one on each side, so the line reaches the edges.
    const double s1 = std::min(xMap.s1(), xMap.s2());
    const double s2 = std::max(xMap.s1(), xMap.s2());
    const double *begin = raw.x + from;
    const double *end = raw.x + to + 1;
    const int first = int(std::lower_bound(begin, end, s1) - raw.x);
    const int past = int(std::upper_bound(begin, end, s2) - raw.x);
    const int lo = std::max(from, first - 1);
    const int hi = std::min(to, past);
    if (lo > hi)
        return;

    const bool linearMaps = !xMap.transformation() && !yMap.transformation();
    const bool decimate = style() == Lines && !testCurveAttribute(Fitted) && linearMaps
                          && double(hi - lo + 1) > threshold * canvasRect.width();
    if (!decimate) {
        QwtPlotCurve::drawSeries(painter, xMap, yMap, canvasRect, lo, hi);
        return;
    }

    // Same rounding as QwtPlotCurve, so both draw the same pixels where a
    // column holds one sample.
    const bool align = QwtPainter::roundingAlignment(painter);
    QPolygonF line;
    line.reserve(int(std::min<double>(4.0 * (canvasRect.width() + 4), 4.0 * (hi - lo + 1))));
    int lastAdded = -1;
    auto add = [&](int i) {
        // A value that cannot be placed would throw the line off the canvas.
        if (i == lastAdded || !std::isfinite(raw.y[i]))
            return;
        lastAdded = i;
        double px = xMap.transform(raw.x[i]);
        double py = yMap.transform(raw.y[i]);
        if (align) {
            px = qRound(px);
            py = qRound(py);
        }
        // Repeated points are dropped as QwtPlotCurve drops them, which also
        // keeps QwtPainter's polyline chunks, and so their caps, in step.
        if (!line.isEmpty() && line.last() == QPointF(px, py))
            return;
        line += QPointF(px, py);
    };

    // Too many samples to mark each: every stretch of pixel columns as wide
    // as the symbol marks its lowest and its highest sample, so the symbols
    // trace the same envelope as the line; a mark that would overlap the one
    // before (the end of one stretch and the start of the next on a slope)
    // is left out, so the symbols stay apart.
    const QwtSymbol *mark = symbol();
    const bool marking = mark && mark->style() != QwtSymbol::NoSymbol && !mark->size().isEmpty();
    const QSizeF markSize = marking ? QSizeF(mark->size()) : QSizeF(1, 1);
    const double stretchWidth = std::max(1.0, markSize.width());
    const QRectF markRect = canvasRect.adjusted(-markSize.width(), -markSize.height(),
                                                markSize.width(), markSize.height());
    QPolygonF marks;
    double stretch = 0;
    int stretchMin = -1, stretchMax = -1;
    auto markSample = [&](int i) {
        if (i < 0 || !std::isfinite(raw.y[i]))
            return;
        QPointF point(xMap.transform(raw.x[i]), yMap.transform(raw.y[i]));
        if (align)
            point = QPointF(qRound(point.x()), qRound(point.y()));
        if (!markRect.contains(point))
            return;
        if (!marks.isEmpty() && std::fabs(point.x() - marks.last().x()) < markSize.width()
            && std::fabs(point.y() - marks.last().y()) < markSize.height())
            return;
        marks += point;
    };
    auto endStretch = [&] {
        markSample(std::min(stretchMin, stretchMax));
        markSample(std::max(stretchMin, stretchMax));
        stretchMin = stretchMax = -1;
    };

    // Sorted x makes each pixel column a run of samples: find the run's end
    // by bisection, then one tight pass over its y values.
    const bool rising = (xMap.p2() - xMap.p1()) * (xMap.s2() - xMap.s1()) >= 0;
    const double *xEnd = raw.x + hi + 1;
    for (int i = lo; i <= hi;) {
        const double column = std::floor(xMap.transform(raw.x[i]));
        const double *runEnd = rising
                                   ? std::lower_bound(raw.x + i, xEnd, xMap.invTransform(column + 1))
                                   : std::upper_bound(raw.x + i, xEnd, xMap.invTransform(column));
        const int runPast = std::max(int(runEnd - raw.x), i + 1);
        int iMin = i, iMax = i;
        double yMin = raw.y[i], yMax = raw.y[i];
        for (int k = i + 1; k < runPast; ++k) {
            const double y = raw.y[k];
            if (y < yMin || !(yMin == yMin)) {
                yMin = y;
                iMin = k;
            }
            if (y > yMax || !(yMax == yMax)) {
                yMax = y;
                iMax = k;
            }
        }
        add(i);
        add(std::min(iMin, iMax));
        add(std::max(iMin, iMax));
        add(runPast - 1);
        if (marking) {
            const double here = std::floor(column / stretchWidth);
            if (stretchMin >= 0 && here != stretch)
                endStretch();
            stretch = here;
            if (stretchMin < 0 || lower(raw.y[iMin], raw.y[stretchMin]))
                stretchMin = iMin;
            if (stretchMax < 0 || lower(raw.y[stretchMax], raw.y[iMax]))
                stretchMax = iMax;
        }
        i = runPast;
    }
    if (marking && stretchMin >= 0)
        endStretch();

    painter->save();
    painter->setPen(pen());
    if (testPaintAttribute(ClipPolygons)) {
        const qreal pw = std::max<qreal>(1.0, painter->pen().widthF());
        line = QwtClipper::clipPolygonF(canvasRect.adjusted(-pw, -pw, pw, pw), line);
    }
    decimatedPoints = line.size();
    QwtPainter::drawPolyline(painter, line);
    painter->restore();
    if (!marks.isEmpty())
        mark->drawSymbols(painter, marks);
}

void decimatedCurve::drawSymbols(QPainter *painter, const QwtSymbol &symbol,
                                 const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                                 const QRectF &canvasRect, int from, int to) const
{
    if (symbol.size().isEmpty())
        return;
    QwtPlotCurve::drawSymbols(painter, symbol, xMap, yMap, canvasRect, from, to);
}

int decimatedCurve::closestSample(const QPoint &pos, double *dist) const
{
    const int count = int(dataSize());
    const RawSamples raw = rawSamples();
    if (!plot() || count <= 0)
        return -1;
    const QwtScaleMap xMap = plot()->canvasMap(xAxis());
    const QwtScaleMap yMap = plot()->canvasMap(yAxis());
    if (!raw.x || xMap.transformation())
        return closestPoint(pos, dist);

    auto distance = [&](int i, double &dx2) {
        const double dx = xMap.transform(raw.x[i]) - pos.x();
        const double dy = yMap.transform(raw.y[i]) - pos.y();
        dx2 = dx * dx;
        return dx2 + dy * dy;
    };
    // Starting from the sample nearest in x, walk outwards while the x
    // distance alone can still beat the best: pixel x is monotonic in the index.
    const double x0 = xMap.invTransform(pos.x());
    const int start = int(std::lower_bound(raw.x, raw.x + count, x0) - raw.x);
    int index = -1;
    double best = 1.0e10; // as closestPoint(): nothing farther counts
    for (int i = std::min(start, count - 1); i >= 0; --i) {
        double dx2 = 0;
        const double d = distance(i, dx2);
        if (dx2 > best)
            break;
        if (d < best || (d == best && i < index)) {
            best = d;
            index = i;
        }
    }
    for (int i = start; i < count; ++i) {
        double dx2 = 0;
        const double d = distance(i, dx2);
        if (dx2 >= best)
            break;
        if (d < best) {
            best = d;
            index = i;
        }
    }
    if (dist)
        *dist = std::sqrt(best);
    return index;
}
