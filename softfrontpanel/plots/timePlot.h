// The time plot of the "Waveforms" page, without the page: its look (axis
// fonts and titles, canvas, grid, autoscaling axes), one decimating curve
// per channel, and the step that hands a block to the curves. The waveform
// panel and sfpplot build it alike, so that a picture made by either shows
// the same plot.
#ifndef TIMEPLOT_H
#define TIMEPLOT_H

#include <QPen>
#include <QVector>
#include <qwt_plot.h>

#include <cstdint>
#include <functional>
#include <vector>

class QwtPlotGrid;
class decimatedCurve;

class timePlot : public QwtPlot
{
public:
    explicit timePlot(QWidget *parent = nullptr);

    // The grid, attached (and so owned) by the plot.
    QwtPlotGrid *grid() const { return gridItem; }

    // A curve for global channel index chIdx (card * 16 + channel), titled
    // "Ch %1" with chIdx + 1, drawn with pen and an ellipse symbol of no
    // size in the pen's colour, attached to the plot. The caller owns it.
    decimatedCurve *addChannelCurve(int chIdx, const QPen &pen);

    // Hands a block to the curves: curves[card * 16 + channel] gets the
    // samples of that channel when bit channel of masks[card] is set, else
    // none. data holds the enabled channels one after another, scans values
    // each; times the scans' times in seconds. convert, when set, turns
    // each value in volts into the unit shown. Does not replot.
    static void showBlock(const QVector<decimatedCurve *> &curves, const std::vector<uint16_t> &masks,
                          const double *times, const double *data, int scans,
                          const std::function<double(double)> &convert = {});

private:
    QwtPlotGrid *gridItem = nullptr;
};

#endif
