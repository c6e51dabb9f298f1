#include "myQwtPlotPickerFft.h"

#include "analysis/magnitudeUnits.h"

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

void myQwtPlotPickerFft::setUnit(const QString &text, bool isDensity)
{
    unit = text;
    density = isDensity;
}

QwtText myQwtPlotPickerFft::trackerTextF(const QPointF &pos) const
{
    // Joined as QStrings: a unit such as "dBV/\u221aHz" has no 8-bit form in
    // every locale.
    QString text = QString::asprintf("%.3lf Hz, %.5lf ", pos.x(), pos.y()) + unit;
    if (density)
        text += QStringLiteral(" (") + QString::fromStdString(densityText(pos.y())) + QLatin1Char(')');
    return QwtText(text);
}
