// Saves the picture of a time plot of 16 channels x 8192 scans (noisy sines)
// as PNG at 1600 pixels, as SVG and as PDF, the way "Save Picture…" and
// sfpplot make it (plot, legend, caption, write beside and rename), and
// reports the median time per picture and its size. Target: the PNG in
// under 1 s.
//
// Usage: bench_plots_picture [channels] [scans] [pictures]
#include "chLabel.h"
#include "decimatedCurve.h"
#include "plotPicture.h"
#include "timePlot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int channels = argc > 1 ? std::atoi(argv[1]) : 16;
    const int scans = argc > 2 ? std::atoi(argv[2]) : 8192;
    const int pictures = argc > 3 ? std::atoi(argv[3]) : 7;
    if (channels < 1 || channels > 256 * 16 || scans < 2 || pictures < 1) {
        std::fprintf(stderr, "usage: bench_plots_picture [channels] [scans] [pictures]\n");
        return 1;
    }

    std::mt19937 noise(1);
    std::normal_distribution<double> gauss(0.0, 0.05);
    std::vector<double> times(static_cast<size_t>(scans));
    std::vector<double> data(static_cast<size_t>(channels) * static_cast<size_t>(scans));
    for (int i = 0; i < scans; ++i)
        times[size_t(i)] = i / 51200.0;
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < scans; ++i)
            data[size_t(c) * size_t(scans) + size_t(i)] =
                (1 + c % 8) * std::sin(2 * M_PI * (c + 1) * 3 * i / scans) + gauss(noise);
    std::vector<uint16_t> masks(size_t((channels + 15) / 16), 0);
    for (int c = 0; c < channels; ++c)
        masks[size_t(c / 16)] |= uint16_t(1u << (c % 16));

    timePlot view;
    view.resize(pictureLogicalWidth, pictureLogicalPlotHeight);
    QVector<decimatedCurve *> curves;
    for (int g = 0; g < int(masks.size()) * 16; ++g)
        curves.append(view.addChannelCurve(g, QPen(channelColour(g), 1)));
    timePlot::showBlock(curves, masks, times.data(), data.data(), scans);
    view.replot();

    pictureContent content;
    content.plot = &view;
    content.legend = pictureLegendOf(pictureCurves(curves));
    content.caption = QStringLiteral("FC1 Ch 1-16 | 51200 Hz | %1 scans per block | block 1").arg(scans);
    QTemporaryDir dir;
    std::printf("%d channels x %d scans, %d pictures each\n", channels, scans, pictures);
    for (const char *name : {"picture.png", "picture.svg", "picture.pdf"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        std::vector<double> ms;
        for (int k = 0; k < pictures; ++k) {
            QElapsedTimer clock;
            clock.start();
            QString error;
            if (!savePicture(content, path, pictureDefaultWidth, &error)) {
                std::fprintf(stderr, "%s: %s\n", name, qPrintable(error));
                return 1;
            }
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-12s median %8.1f ms  (min %8.1f, max %8.1f)  %8.0f kB\n", name, ms[ms.size() / 2],
                    ms.front(), ms.back(), QFileInfo(path).size() / 1024.0);
    }
    return 0;
}
