// Replots a 1000 x 600 plot holding 16 curves of 640,000 samples each (a
// full block of 10,240,000 values), once with the decimating curve and once
// with QwtPlotCurve, and reports the median time per replot and the peak
// memory. The curves share one x vector, as the waveform panel's time axis.
// A symbol size in pixels (default 0: none) gives every curve ellipse symbols.
//
// Usage: bench_plots_curve [curves] [samples per curve] [replots] [both|decimated|plain] [symbol size]
#include "decimatedCurve.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QVector>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_renderer.h>
#include <qwt_symbol.h>

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

template <class Curve>
double medianReplotMs(const QVector<double> &x, const std::vector<QVector<double>> &ys,
                      int replots, int symbolSize, int *points)
{
    QwtPlot plot;
    plot.resize(1000, 600);
    plot.setAxisScale(QwtPlot::xBottom, x.first(), x.last());
    plot.setAxisScale(QwtPlot::yLeft, -10.24, 10.24);
    for (size_t c = 0; c < ys.size(); ++c) {
        auto *curve = new Curve;
        const QColor colour = QColor::fromHsvF(c / 17.0, 0.9, 0.9);
        curve->setPen(QPen(colour, 1));
        if (symbolSize > 0)
            curve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(colour), QPen(colour),
                                           QSize(symbolSize, symbolSize)));
        curve->setSamples(x, ys[c]);
        curve->attach(&plot);
    }
    plot.updateAxes();
    QImage image(plot.size(), QImage::Format_RGB32);
    QwtPlotRenderer renderer;
    std::vector<double> ms;
    for (int r = 0; r < replots; ++r) {
        image.fill(Qt::black);
        QPainter painter(&image);
        QElapsedTimer timer;
        timer.start();
        renderer.render(&plot, &painter, QRectF(image.rect()));
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    if (points) {
        *points = 0;
        for (QwtPlotItem *item : plot.itemList(QwtPlotItem::Rtti_PlotCurve))
            if (auto *d = dynamic_cast<decimatedCurve *>(item))
                *points += d->lastDecimatedPoints();
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int curves = argc > 1 ? std::atoi(argv[1]) : 16;
    const int samples = argc > 2 ? std::atoi(argv[2]) : 640000;
    const int replots = argc > 3 ? std::atoi(argv[3]) : 5;
    const QString which = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("both");
    const int symbolSize = argc > 5 ? std::atoi(argv[5]) : 0;

    QVector<double> x(samples);
    for (int i = 0; i < samples; ++i)
        x[i] = i / 50000.0; // 50 kS/s
    std::vector<QVector<double>> ys(size_t(curves), QVector<double>(samples, 0.0));
    unsigned noise = 12345;
    for (int c = 0; c < curves; ++c)
        for (int i = 0; i < samples; ++i) {
            noise = noise * 1103515245u + 12345u;
            ys[size_t(c)][i] = (1 + c % 8) * std::sin(2 * M_PI * (10 + c) * x[i])
                               + 0.05 * ((noise >> 16) / 65536.0 - 0.5);
        }
    std::printf("%d curves x %d samples, %d replots each, plot 1000 x 600, symbols %d px\n", curves,
                samples, replots, symbolSize);
    std::printf("data: %.1f MB (x shared), peak RSS so far %.1f MB\n",
                (curves + 1.0) * samples * 8 / 1e6, peakKiB() / 1024.0);

    double decimated = 0, plain = 0;
    if (which != QLatin1String("plain")) {
        int points = 0;
        decimated = medianReplotMs<decimatedCurve>(x, ys, replots, symbolSize, &points);
        std::printf("decimatedCurve: %8.1f ms per replot (%d points drawn), peak RSS %.1f MB\n",
                    decimated, points, peakKiB() / 1024.0);
    }
    if (which != QLatin1String("decimated")) {
        plain = medianReplotMs<QwtPlotCurve>(x, ys, replots, symbolSize, nullptr);
        std::printf("QwtPlotCurve:   %8.1f ms per replot, peak RSS %.1f MB\n", plain,
                    peakKiB() / 1024.0);
    }
    if (decimated > 0 && plain > 0)
        std::printf("speed-up: %.1f x\n", plain / decimated);
    return 0;
}
