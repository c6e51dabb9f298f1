// Tracker of the time plot (bottom and left axes, always on, white): shows
// the point under the pointer in us/ms/s and uV/mV/V chosen by the visible
// spans, or in the custom unit when one is set.
#ifndef MYQWTPLOTPICKER_H
#define MYQWTPLOTPICKER_H

#include <QString>
#include <qwt_plot_picker.h>
#include <qwt_text.h>

class myQwtPlotPicker : public QwtPlotPicker
{
public:
    // canvas: the plot's canvas (owner of the picker).
    explicit myQwtPlotPicker(QWidget *canvas);

    // Visible ranges in seconds and in volts (or custom units); both -1..1 at first.
    void setXRange(double lower, double upper);
    void setYRange(double lower, double upper);
    // Empty unless custom units are on.
    void setUnitName(const QString &name);

    double xLower() const { return xLo; }
    double xUpper() const { return xHi; }
    double yLower() const { return yLo; }
    double yUpper() const { return yHi; }
    QString unitName() const { return unit; }

    QwtText trackerTextF(const QPointF &pos) const override;

private:
    double xLo = -1, xHi = 1, yLo = -1, yHi = 1;
    QString unit;
};

#endif
