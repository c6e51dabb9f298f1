// A figure of a trend log over time (see trendFigure.h in logic/): the time
// plot's look (timePlot), one curve per channel in the channel's colour, the
// value axis titled with the figure and its unit, and lines that stop where
// a stretch of consecutive blocks ends, so that a skipped block shows as a
// gap. sfpplot --trend draws its pictures with it.
#ifndef TRENDPLOT_H
#define TRENDPLOT_H

#include "decimatedCurve.h"
#include "plotPicture.h"
#include "timePlot.h"

#include <vector>

// A decimating curve drawn stretch by stretch: no line joins the last point
// of one stretch to the first of the next, and a stretch of one point is a
// dot as wide as three pens.
class trendCurve : public decimatedCurve
{
public:
    using decimatedCurve::decimatedCurve;

    // times rising, in seconds; stretchStarts rising indices into them, the
    // first 0 (an empty list is one stretch).
    void setStretches(const std::vector<double> &times, const std::vector<double> &values,
                      const std::vector<size_t> &stretchStarts);

protected:
    void drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override;

private:
    std::vector<int> starts;
};

class trendPlot : public timePlot
{
public:
    explicit trendPlot(const QString &valueAxisTitle, QWidget *parent = nullptr);

    // Shows a channel (card and channel from 1) as trendCurve::setStretches
    // takes it, in the colour the panel gives the channel.
    void showChannel(int card, int channel, const std::vector<double> &times, const std::vector<double> &values,
                     const std::vector<size_t> &stretchStarts);
    // The time axis from first to last seconds (autoscaled when they are equal).
    void setTimeSpan(double first, double last);
    // The channels shown, in card and channel order, for the picture's legend.
    QVector<pictureLegendEntry> legend() const;

private:
    QVector<trendCurve *> curves; // index card * 16 + channel, from 0; attached, so owned by the plot
};

#endif
