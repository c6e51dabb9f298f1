// The spectrum plot: one curve and one selectable legend per channel of every
// card, two markers with a read-out, snapping to samples, symbol sizes, zoom,
// and the axis dialogs opened by clicking an axis. It knows no card driver:
// the owner writes the curves (curves[card * 16 + channel]) and tells the
// plot the new frequency range with setFrequencyRange().
#ifndef PLOT_VOLTAGE_H
#define PLOT_VOLTAGE_H

#include <QPoint>
#include <QRectF>
#include <QString>
#include <QVector>
#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotGrid;
class QwtPlotMarker;
class QwtPlotPicker;
class QwtPlotZoomer;
class axisConfigFft;
class chLabelFft;
class myQwtPlotPickerFft;
class myXQwtScaleDraw;
class myYQwtScaleDraw;
class partsLabel;
class plotPictureBar;

class plot_voltage : public QWidget
{
    Q_OBJECT
public:
    // cards: number of cards (16 curves and legends each). autoscaleToggle:
    // the main panel's Autoscale switch (not owned). type: 1 = magnitude spectrum.
    plot_voltage(int cards, QAbstractButton *autoscaleToggle, const QString &xTitle,
                 const QString &yTitle, int type, QWidget *parent = nullptr);
    ~plot_voltage() override;

    // After new spectra: with autoscale on, x autoscale off and the x scale
    // [f0, f1]; y autoscale = autoscaleOn; the x dialog's range [f0, f1];
    // replot, scaleUpdate(), updateZoomBase(), replot, and snapped markers
    // follow the new data.
    void setFrequencyRange(double f0, double f1, bool autoscaleOn);

    int cardCount() const { return cards; }
    int plotType() const { return type; }
    // Logical DPI / 96: every pixel size of the plot is multiplied by it.
    double pixelScale() const { return s; }
    QString markerText() const;
    // The spectrum averaging and unit in force, as a picture's caption
    // names them; empty while the spectrum is plain dB re 1 V peak of
    // single blocks.
    QString averagingAndUnitText() const { return QString(); }

    QwtPlot *plot;
    // Index card * 16 + channel; decimating curves, not attached at first.
    QVector<QwtPlotCurve *> curves;
    QVector<chLabelFft *> labels;
    axisConfigFft *xAxisDlg;
    axisConfigFft *yAxisDlg;
    myQwtPlotPickerFft *picker;
    QwtPlotZoomer *zoomer;
    QwtPlotGrid *grid;
    myXQwtScaleDraw *xScaleDraw; // owned by the plot
    myYQwtScaleDraw *yScaleDraw; // owned by the plot
    // Marker 1 (Ctrl + left button) and marker 2 (Ctrl + right button).
    QwtPlotMarker *marker[2];
    QwtPlotPicker *markerPicker[2];
    // The curve a marker is snapped to: title (empty when free), curve and sample index.
    QString markerTitle[2];
    int markerCurve[2] = {0, 0};
    int markerSample[2] = {0, 0};
    QCheckBox *snapBox;
    QComboBox *symbolSize;
    partsLabel *markerLabel; // the marker read-out
    plotPictureBar *pictureBar; // "Save Picture…", "Copy Picture"; the owner says what to draw
    QVector<QPushButton *> allButtons;
    QVector<QPushButton *> noneButtons;

signals:
    void autoScaleClicked(bool on);
    void toggleChannels();

public slots:
    void scaleUpdate();
    void updateZoomBase();
    void selectAll(int card);
    void deselectAll(int card);
    void symbolSizeSlot();
    // p in canvas pixels; p.x() < 0: new data, snapped markers follow their samples.
    void markerMoved(QPoint p);
    void zoomed(QRectF rect);
    void setAxisPrecision(double xLower, double xUpper, double yLower, double yUpper);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void buildPlot(const QString &xTitle, const QString &yTitle);
    void buildMarkers();
    QWidget *buildCardRows();
    void setSelection(int card, bool on);
    void labelClicked();
    void readBounds();
    void applyXPrecision(double lower, double upper);
    void applyYPrecision(double lower, double upper);
    void updateMarkerText();
    // One marker in the read-out: frequency (Hz), "[title] " or empty, magnitude (dB).
    struct MarkerReading {
        double x;
        QString prefix;
        double y;
    };
    // The read-out of two markers, left one first, in the parts it may break between.
    static QStringList markerReadoutParts(const MarkerReading &left, const MarkerReading &right);
    // The sample of a spectrum curve nearest frequency x; -1 when x lies
    // outside the curve by more than half a bin.
    static int nearestSampleAt(const QwtPlotCurve *curve, double x);
    bool over(QWidget *widget, const QPoint &pos) const;

    int cards;
    QAbstractButton *autoscaleToggle;
    int type;
    double s;
    // Several labels change at once (All, None): one toggleChannels() for all.
    bool batching = false;
    double xLo = 0, xHi = 1, yLo = -300, yHi = 30;
};

#endif
