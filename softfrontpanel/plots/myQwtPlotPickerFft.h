// Tracker of the spectrum plot (bottom and left axes, always on, white):
// "%.3lf Hz, %.5lf dB" of the point under the pointer, the unit being the
// one the plot shows (a noise density also in V/sqrt(Hz)). Holds the
// visible ranges (set by the plot after every scale change) and the plot type.
#ifndef MYQWTPLOTPICKERFFT_H
#define MYQWTPLOTPICKERFFT_H

#include <QString>
#include <qwt_plot_picker.h>
#include <qwt_text.h>

class myQwtPlotPickerFft : public QwtPlotPicker
{
public:
    // canvas: the plot's canvas (owner); type: the plot type (1 = magnitude spectrum).
    myQwtPlotPickerFft(int type, QWidget *canvas);

    void setXRange(double lower, double upper);
    void setYRange(double lower, double upper);
    double xLower() const { return xLo; }
    double xUpper() const { return xHi; }
    double yLower() const { return yLo; }
    double yUpper() const { return yHi; }
    int plotType() const { return type; }
    QString unitText() const { return unit; }
    // The unit after the value ("dB" at first); density: the value is a
    // noise density in dBV/sqrt(Hz), also shown in V/sqrt(Hz).
    void setUnit(const QString &text, bool density);

    QwtText trackerTextF(const QPointF &pos) const override;

private:
    double xLo = 0, xHi = 1, yLo = -300, yHi = 30;
    int type;
    QString unit = QStringLiteral("dB");
    bool density = false;
};

#endif
