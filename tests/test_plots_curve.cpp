// The decimating curve against Qwt's own curve: a single-sample spike among
// a million samples is drawn where the scale maps put it, few samples draw
// exactly as QwtPlotCurve draws them, many draw within one pixel of it, and
// symbols still trace the line where there are too many samples to mark
// each, and the fast closest-sample search answers as closestPoint() does.
#include "decimatedCurve.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QVector>
#include <QtTest>
#include <cmath>
#include <memory>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_map.h>
#include <qwt_symbol.h>

namespace {

const QColor background(0, 0, 0);
const QColor ink(255, 255, 0);

struct Maps {
    QwtScaleMap x, y;
    QRectF rect;
};

// x from xFirst..xLast onto the image's pixel columns (the last sample
// inside the image), y from -1..1 onto its height.
Maps mapsFor(const QSize &size, double xFirst, double xLast)
{
    Maps m;
    m.x.setPaintInterval(0, size.width() - 1);
    m.x.setScaleInterval(xFirst, xLast);
    m.y.setPaintInterval(size.height(), 0);
    m.y.setScaleInterval(-1, 1);
    m.rect = QRectF(0, 0, size.width(), size.height());
    return m;
}

QImage render(const QwtPlotCurve &curve, const Maps &maps)
{
    QImage image(maps.rect.size().toSize(), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    curve.draw(&painter, maps.x, maps.y, maps.rect);
    return image;
}

void style(QwtPlotCurve &curve, int symbolSize)
{
    curve.setPen(QPen(ink, 1));
    if (symbolSize > 0)
        curve.setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(ink), QPen(ink),
                                      QSize(symbolSize, symbolSize)));
}

bool lit(const QImage &image, int x, int y)
{
    return image.rect().contains(x, y) && image.pixelColor(x, y) != background;
}

// Lit pixels of a with no lit pixel of b within one pixel.
int strayPixels(const QImage &a, const QImage &b)
{
    int stray = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!lit(a, x, y))
                continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = lit(b, x + dx, y + dy);
            stray += found ? 0 : 1;
        }
    }
    return stray;
}

int litCount(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += lit(image, x, y) ? 1 : 0;
    return count;
}

void noisySine(int n, QVector<double> &x, QVector<double> &y, quint32 seed)
{
    QRandomGenerator random(seed);
    x.resize(n);
    y.resize(n);
    for (int i = 0; i < n; ++i) {
        x[i] = i * 1e-3;
        y[i] = 0.6 * std::sin(i * 0.013) + 0.2 * (random.generateDouble() - 0.5);
    }
}

} // namespace

class TestPlotsCurve : public QObject
{
    Q_OBJECT
private slots:
    void spikeAmongMillionIsDrawn_data();
    void spikeAmongMillionIsDrawn();
    void fewSamplesDrawAsQwt_data();
    void fewSamplesDrawAsQwt();
    void manySamplesDrawWithinOnePixel();
    void columnExtremesKeptInOrder();
    void zoomedInDrawsRealSamples();
    void decimatedSymbolsTraceTheEnvelope_data();
    void decimatedSymbolsTraceTheEnvelope();
    void emptySymbolDrawsNothing();
    void closestSampleAsClosestPoint();
};

void TestPlotsCurve::spikeAmongMillionIsDrawn_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::newRow("peak") << 123457 << 0.9;
    QTest::newRow("dip") << 876543 << -0.8;
    QTest::newRow("last sample") << 999999 << 0.7;
}

void TestPlotsCurve::spikeAmongMillionIsDrawn()
{
    QFETCH(int, index);
    QFETCH(double, value);
    const int n = 1000000;
    QVector<double> x(n), y(n, 0.0);
    for (int i = 0; i < n; ++i)
        x[i] = i;
    y[index] = value;

    decimatedCurve curve;
    style(curve, 0);
    curve.setSamples(x, y);
    const Maps maps = mapsFor(QSize(500, 300), 0, n - 1);
    const QImage image = render(curve, maps);

    // The data keeps every real sample; the drawing used few points.
    QCOMPARE(int(curve.dataSize()), n);
    QCOMPARE(curve.sample(size_t(index)).y(), value);
    QVERIFY(curve.lastDecimatedPoints() > 0);
    QVERIFY(curve.lastDecimatedPoints() <= 4 * 502);

    // The spike's tip where the scale maps put it (one pixel of rounding).
    const int px = int(std::lround(maps.x.transform(index)));
    const int py = int(std::lround(maps.y.transform(value)));
    bool tip = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            tip = tip || lit(image, px + dx, py + dy);
    QVERIFY2(tip, qPrintable(QStringLiteral("nothing drawn near %1,%2").arg(px).arg(py)));
    // The flat line itself is there too, and nothing else at the tip's height.
    QVERIFY(lit(image, 10, int(std::lround(maps.y.transform(0)))));
    QVERIFY(!lit(image, px - 20 < 0 ? px + 20 : px - 20, py));
}

void TestPlotsCurve::fewSamplesDrawAsQwt_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("symbolSize");
    QTest::addColumn<double>("threshold");
    QTest::newRow("plain, symbols") << 300 << 4 << 2.0;
    QTest::newRow("plain, no symbols") << 700 << 0 << 2.0;
    // Forced decimation with at most one sample per pixel column: the same points.
    QTest::newRow("decimating, one per column") << 350 << 0 << 0.0;
}

void TestPlotsCurve::fewSamplesDrawAsQwt()
{
    QFETCH(int, samples);
    QFETCH(int, symbolSize);
    QFETCH(double, threshold);
    QVector<double> x, y;
    noisySine(samples, x, y, 7);
    decimatedCurve ours;
    QwtPlotCurve qwt;
    style(ours, symbolSize);
    style(qwt, symbolSize);
    ours.setDecimationThreshold(threshold);
    ours.setSamples(x, y);
    qwt.setSamples(x, y);
    const Maps maps = mapsFor(QSize(400, 200), x.first(), x.last());
    const QImage a = render(ours, maps);
    const QImage b = render(qwt, maps);
    QVERIFY(litCount(b) > samples / 2);
    QCOMPARE(a, b);
}

void TestPlotsCurve::manySamplesDrawWithinOnePixel()
{
    QVector<double> x, y;
    noisySine(40000, x, y, 11);
    decimatedCurve ours;
    QwtPlotCurve qwt;
    style(ours, 0);
    style(qwt, 0);
    ours.setSamples(x, y);
    qwt.setSamples(x, y);
    const Maps maps = mapsFor(QSize(400, 200), x.first(), x.last());
    const QImage a = render(ours, maps);
    const QImage b = render(qwt, maps);
    QVERIFY(ours.lastDecimatedPoints() > 0);
    QVERIFY(ours.lastDecimatedPoints() <= 4 * 402);
    QVERIFY(litCount(b) > 4000);
    QCOMPARE(strayPixels(a, b), 0);
    QCOMPARE(strayPixels(b, a), 0);
}

void TestPlotsCurve::columnExtremesKeptInOrder()
{
    // Four samples per pixel column (the map's factor is exactly 1/4), the
    // middle two the column's extremes, rising or falling by turns: the
    // decimated line keeps every sample in its order, so it must draw
    // exactly what Qwt draws from all of them.
    const int width = 400;
    const int n = 4 * (width - 1) + 1;
    QVector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        const int column = i / 4;
        const double turn = column % 2 ? 1.0 : -1.0;
        const double edge[4] = {0.3 * std::sin(column * 0.1), 0.9 * turn, -0.9 * turn,
                                0.3 * std::cos(column * 0.1)};
        x[i] = i;
        y[i] = edge[i % 4];
    }
    decimatedCurve ours;
    QwtPlotCurve qwt;
    style(ours, 0);
    style(qwt, 0);
    ours.setSamples(x, y);
    qwt.setSamples(x, y);
    const Maps maps = mapsFor(QSize(width, 200), 0, n - 1);
    const QImage a = render(ours, maps);
    QVERIFY(ours.lastDecimatedPoints() > 0);
    const QImage b = render(qwt, maps);
    QCOMPARE(a, b);
}

void TestPlotsCurve::zoomedInDrawsRealSamples()
{
    // A million samples, of which 100 are visible: drawn undecimated, with
    // symbols, exactly as Qwt draws those samples.
    QVector<double> x, y;
    noisySine(1000000, x, y, 3);
    decimatedCurve ours;
    QwtPlotCurve qwt;
    style(ours, 4);
    style(qwt, 4);
    ours.setSamples(x, y);
    qwt.setSamples(x.mid(499990, 120), y.mid(499990, 120));
    const Maps maps = mapsFor(QSize(400, 200), x[500000], x[500099]);
    const QImage a = render(ours, maps);
    QCOMPARE(ours.lastDecimatedPoints(), 0);
    QCOMPARE(a, render(qwt, maps));
}

void TestPlotsCurve::decimatedSymbolsTraceTheEnvelope_data()
{
    QTest::addColumn<int>("symbolSize");
    QTest::newRow("small") << 2;
    QTest::newRow("medium") << 4;
    QTest::newRow("large") << 8;
}

void TestPlotsCurve::decimatedSymbolsTraceTheEnvelope()
{
    // The default length on the default canvas width: a slow sine, every third
    // sample 0.2 above it and every third 0.2 below, so every stretch of two
    // columns has its extremes on the envelopes. The line is invisible: the
    // symbols must lie along both envelopes over the width, and nowhere else.
    QFETCH(int, symbolSize);
    const int n = 2048;
    auto envelope = [n](double i, double side) { return 0.5 * std::sin(2 * M_PI * i / n) + side; };
    const double sides[3] = {0.2, 0, -0.2};
    QVector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = i;
        y[i] = envelope(i, sides[i % 3]);
    }
    decimatedCurve curve;
    style(curve, symbolSize);
    curve.setPen(QPen(Qt::NoPen));
    curve.setSamples(x, y);
    const Maps maps = mapsFor(QSize(700, 200), 0, n - 1);
    const QImage image = render(curve, maps);
    // A symbol's half size, and a pixel for the envelope's slope and rounding.
    const int reach = symbolSize / 2 + 2;
    int stray = 0, columns[2] = {0, 0};
    for (int px = 0; px < image.width(); ++px) {
        bool near[2] = {false, false};
        for (int py = 0; py < image.height(); ++py) {
            if (!lit(image, px, py))
                continue;
            bool onEnvelope = false;
            for (int side : {0, 1}) {
                const double edge = envelope(maps.x.invTransform(px), side ? 0.2 : -0.2);
                const bool here = std::abs(py - maps.y.transform(edge)) <= reach;
                near[side] = near[side] || here;
                onEnvelope = onEnvelope || here;
            }
            stray += onEnvelope ? 0 : 1;
        }
        columns[0] += near[0];
        columns[1] += near[1];
    }
    QCOMPARE(stray, 0);
    QVERIFY2(columns[0] >= 630 && columns[1] >= 630,
             qPrintable(QStringLiteral("%1, %2").arg(columns[0]).arg(columns[1])));
}

void TestPlotsCurve::emptySymbolDrawsNothing()
{
    QVector<double> x, y;
    noisySine(200, x, y, 5);
    decimatedCurve ours;
    ours.setStyle(QwtPlotCurve::NoCurve);
    ours.setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(ink), QPen(ink), QSize(0, 0)));
    ours.setSamples(x, y);
    const Maps maps = mapsFor(QSize(400, 200), x.first(), x.last());
    QCOMPARE(litCount(render(ours, maps)), 0);
    ours.setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(ink), QPen(ink), QSize(2, 2)));
    QVERIFY(litCount(render(ours, maps)) >= 150);
}

void TestPlotsCurve::closestSampleAsClosestPoint()
{
    QwtPlot plot;
    plot.resize(640, 400);
    plot.setAxisScale(QwtPlot::xBottom, 0, 2);
    plot.setAxisScale(QwtPlot::yLeft, -1, 1);
    QVector<double> x, y;
    noisySine(5000, x, y, 13);
    // Repeated x values and an exact duplicate sample make ties.
    x[2001] = x[2000];
    y[2001] = y[2000];
    auto *curve = new decimatedCurve;
    curve->setSamples(x, y);
    decimatedCurve detached;
    detached.setSamples(x, y);
    QCOMPARE(detached.closestSample(QPoint(5, 5)), -1);
    curve->attach(&plot);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.replot();

    const QwtScaleMap xMap = plot.canvasMap(QwtPlot::xBottom);
    const QwtScaleMap yMap = plot.canvasMap(QwtPlot::yLeft);
    const QPoint duplicate(int(xMap.transform(x[2000])), int(yMap.transform(y[2000])));
    QList<QPoint> points = {QPoint(0, 0), QPoint(-50, 10), QPoint(5000, 300), duplicate};
    // Right of the duplicate: the walk meets the later of the two first.
    for (int dx = 1; dx <= 4; ++dx)
        points << duplicate + QPoint(dx, 0) << duplicate + QPoint(dx, 3);
    QRandomGenerator random(17);
    for (int i = 0; i < 300; ++i)
        points << QPoint(random.bounded(-20, 660), random.bounded(-20, 420));
    for (const QPoint &p : points) {
        double fast = -1, slow = -1;
        const int a = curve->closestSample(p, &fast);
        const int b = curve->closestPoint(p, &slow);
        QCOMPARE(a, b);
        QCOMPARE(fast, slow);
    }
}

QTEST_MAIN(TestPlotsCurve)
#include "test_plots_curve.moc"
