// A curve for blocks of up to 10,240,000 samples. Its data() keeps every real
// sample (tracker, markers and zoom work on them), but a line with many
// samples per pixel column is drawn from at most four points per column: the
// first, the lowest, the highest and the last sample of the column, in their
// order. No spike is lost and neighbouring columns join as the full line
// would.
//
// Rule: when the samples inside the visible x range number more than
// decimationThreshold() (2 by default) per pixel of the canvas width, the
// line is decimated and symbols, one on each would merge into a band, mark
// the lowest and the highest sample of every stretch of pixel columns as
// wide as the symbol; otherwise the curve is drawn as a QwtPlotCurve would,
// symbols on every real sample. A symbol of empty size is never drawn.
//
// The x values must be sorted (rising); time and frequency axes are. Sharing
// one x vector between many curves costs no copy when the samples are given
// as QVector<double> (implicitly shared).
#ifndef DECIMATEDCURVE_H
#define DECIMATEDCURVE_H

#include <QString>
#include <qwt_plot_curve.h>

class decimatedCurve : public QwtPlotCurve
{
public:
    explicit decimatedCurve(const QString &title = QString());

    // Samples per pixel column above which the line is decimated.
    void setDecimationThreshold(double samplesPerPixel) { threshold = samplesPerPixel; }
    double decimationThreshold() const { return threshold; }

    // Same answer as closestPoint() (pixel distance on the attached plot,
    // lowest index on a tie, -1 when detached or empty), found by bisection
    // on the sorted x values instead of a pass over every sample.
    int closestSample(const QPoint &pos, double *dist = nullptr) const;

    // Points of the last decimated line (0 when the last draw was not decimated).
    int lastDecimatedPoints() const { return decimatedPoints; }

protected:
    void drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override;
    void drawSymbols(QPainter *painter, const QwtSymbol &symbol, const QwtScaleMap &xMap,
                     const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                     int to) const override;

private:
    struct RawSamples {
        const double *x = nullptr;
        const double *y = nullptr;
    };
    RawSamples rawSamples() const;

    double threshold = 2.0;
    mutable int decimatedPoints = 0;
};

#endif
