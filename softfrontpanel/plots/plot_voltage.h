// The spectrum plot: one curve and one selectable legend per channel of every
// card, two markers with a read-out, snapping to samples, symbol sizes, zoom,
// and the axis dialogs opened by clicking an axis. It knows no card driver:
// the owner writes the curves (curves[card * 16 + channel]) and tells the
// plot the new frequency range with setFrequencyRange(). The row of
// fftViewControls above the plot chooses averaging, unit and harmonic
// labels; the plot shows the unit (axis title, axis dialog, tracker, marker
// read-out) and the labels, the owner computes what the curves hold.
#ifndef PLOT_VOLTAGE_H
#define PLOT_VOLTAGE_H

#include "fftViewControls.h"

#include <QPoint>
#include <QRectF>
#include <QString>
#include <QVector>
#include <QWidget>

#include <vector>

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
class harmonicLabels;
struct SpectrumMarker;
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

    // The row above the plot, and its settings as a settings file keeps
    // them; setViewSettings() updates the controls, which take effect as
    // when the operator changes them.
    fftViewControls *controls = nullptr;
    SpectrumViewSettings viewSettings() const;
    void setViewSettings(const SpectrumViewSettings &settings);
    // The spectrum averaging and unit in force, as a picture's caption
    // names them; "" while the spectrum is plain dB re 1 V peak of single
    // blocks.
    QString displayInForceText() const;

    // dB the owner added to each curve's values for the unit shown (0 re
    // 1 V peak). setCurveOffsets() moves every curve with data to new
    // offsets (another unit) with its labels, snapped markers and, when the
    // y range is fixed, the range.
    QVector<double> curveOffsetDb;
    void setCurveOffsets(const QVector<double> &offsets);

    // The curve of the last marker placed on a sample, -1 when the last
    // one was placed freely or none was placed.
    int lastMarkedCurve() const { return markedCurve; }
    // Labels of the fundamental, harmonics and spur on one curve; a curve
    // index outside the list clears them.
    void showHarmonicLabels(int curve, const std::vector<SpectrumMarker> &markers);
    harmonicLabels *harmonicMarks = nullptr;

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
    // lastMarkedCurve() changed.
    void markedCurveChanged();

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
    // One marker in the read-out: frequency (Hz), "[title] " or empty, magnitude (unit shown).
    struct MarkerReading {
        double x;
        QString prefix;
        double y;
    };
    // The read-out of two markers, left one first, in the parts it may break between.
    QStringList markerReadoutParts(const MarkerReading &left, const MarkerReading &right) const;
    // The unit chosen: axis title, tracker, read-out and the y dialog.
    void unitShown();
    void fitYDialogToUnit();
    void setWidestReadout();
    void setMarkedCurve(int curve);
    bool over(QWidget *widget, const QPoint &pos) const;

    int cards;
    QAbstractButton *autoscaleToggle;
    int type;
    double s;
    // Several labels change at once (All, None): one toggleChannels() for all.
    bool batching = false;
    double xLo = 0, xHi = 1, yLo = -300, yHi = 30;
    int markedCurve = -1;
    QString peakTitle; // the y title given, shown for dB re 1 V peak
};

#endif
