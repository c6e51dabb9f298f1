#include "myQwtPlotPickerFft.h"

#include <QPen>
#include <qwt_plot.h>

myQwtPlotPickerFft::myQwtPlotPickerFft(int type, QWidget *canvas)
    : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::NoRubberBand,
                    QwtPicker::AlwaysOn, canvas),
      type(type)
{
    setTrackerPen(QPen(Qt::white));
}

void myQwtPlotPickerFft::setXRange(double lower, double upper)
{
    xLo = lower;
    xHi = upper;
}

void myQwtPlotPickerFft::setYRange(double lower, double upper)
{
    yLo = lower;
    yHi = upper;
}

QwtText myQwtPlotPickerFft::trackerTextF(const QPointF &pos) const
{
    return QwtText(QString::asprintf("%.3lf Hz, %.5lf %s", pos.x(), pos.y(),
                                     unit.toLocal8Bit().constData()));
}
