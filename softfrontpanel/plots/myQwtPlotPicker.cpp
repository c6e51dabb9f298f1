#include "myQwtPlotPicker.h"

#include <QPen>
#include <cmath>
#include <qwt_plot.h>

myQwtPlotPicker::myQwtPlotPicker(QWidget *canvas)
    : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::NoRubberBand,
                    QwtPicker::AlwaysOn, canvas)
{
    setTrackerPen(QPen(Qt::white));
}

void myQwtPlotPicker::setXRange(double lower, double upper)
{
    xLo = lower;
    xHi = upper;
}

void myQwtPlotPicker::setYRange(double lower, double upper)
{
    yLo = lower;
    yHi = upper;
}

void myQwtPlotPicker::setUnitName(const QString &name)
{
    unit = name;
}

QwtText myQwtPlotPicker::trackerTextF(const QPointF &pos) const
{
    const double xSpan = std::fabs(xHi - xLo);
    QString xPart;
    if (xSpan < 1e-4)
        xPart = QString::asprintf("%.3lf us", pos.x() * 1e6);
    else if (xSpan < 0.1)
        xPart = QString::asprintf("%.3lf ms", pos.x() * 1e3);
    else
        xPart = QString::asprintf("%.3lf s", pos.x());

    QString yPart;
    if (!unit.isEmpty()) {
        yPart = QString::asprintf("%.3lf %s", pos.y(), unit.toLocal8Bit().constData());
    } else {
        const double ySpan = std::fabs(yHi - yLo);
        if (ySpan < 1e-4)
            yPart = QString::asprintf("%.3lf uV", pos.y() * 1e6);
        else if (ySpan < 0.1)
            yPart = QString::asprintf("%.3lf mV", pos.y() * 1e3);
        else
            yPart = QString::asprintf("%.3lf V", pos.y());
    }
    return QwtText(xPart + QStringLiteral(", ") + yPart);
}
