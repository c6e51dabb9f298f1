#include "timePlot.h"

#include "decimatedCurve.h"

#include <QFrame>
#include <qwt_plot_grid.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

timePlot::timePlot(QWidget *parent) : QwtPlot(parent)
{
    setFrameStyle(QFrame::NoFrame);
    const QFont tickFont(QStringLiteral("courier"), 8);
    setAxisFont(QwtPlot::yLeft, tickFont);
    setAxisFont(QwtPlot::xBottom, tickFont);
    QFont titleFont(QStringLiteral("arial"), 10);
    titleFont.setBold(true);
    QwtText yTitle(QStringLiteral("Volts"));
    yTitle.setFont(titleFont);
    setAxisTitle(QwtPlot::yLeft, yTitle);
    QwtText xTitle(QStringLiteral("Seconds"));
    xTitle.setFont(titleFont);
    setAxisTitle(QwtPlot::xBottom, xTitle);
    setAxisMaxMajor(QwtPlot::xBottom, 5);
    setAxisScale(QwtPlot::xBottom, 0, 1);
    setAxisScale(QwtPlot::yLeft, -10.24, 10.24);
    setCanvasBackground(QColor(Qt::darkBlue).darker(200).darker(200));
    setAxisAutoScale(QwtPlot::xBottom, true);
    setAxisAutoScale(QwtPlot::yLeft, true);

    gridItem = new QwtPlotGrid;
    const QColor gridColour = QColor(Qt::darkGray);
    gridItem->setMajorPen(QPen(gridColour, 0, Qt::DotLine));
    gridItem->setMinorPen(QPen(gridColour.darker(200), 0, Qt::DotLine));
    gridItem->enableXMin(true);
    gridItem->attach(this);
}

decimatedCurve *timePlot::addChannelCurve(int chIdx, const QPen &pen)
{
    auto *curve = new decimatedCurve(QStringLiteral("Ch %1").arg(chIdx + 1));
    curve->setPen(pen);
    curve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(pen.color()), pen, QSize(0, 0)));
    curve->attach(this);
    return curve;
}

void timePlot::showBlock(const QVector<decimatedCurve *> &curves, const std::vector<uint16_t> &masks,
                         const double *times, const double *data, int scans,
                         const std::function<double(double)> &convert)
{
    // One copy of the times, shared by every curve; each curve owns its values.
    QVector<double> x;
    if (scans > 0)
        x = QVector<double>(times, times + scans);
    int o = 0;
    for (int g = 0; g < curves.size(); ++g) {
        const size_t card = size_t(g / 16);
        const bool enabled = card < masks.size() && ((masks[card] >> (g % 16)) & 1);
        if (!enabled || scans < 1) {
            curves[g]->setSamples(QVector<QPointF>());
            continue;
        }
        const double *samples = data + size_t(o) * size_t(scans);
        QVector<double> y(samples, samples + scans);
        if (convert)
            for (double &v : y)
                v = convert(v);
        curves[g]->setSamples(x, y);
        ++o;
    }
}
