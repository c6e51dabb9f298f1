// One refresh of the waveform panel, as the offline viewer steps through a
// stored file: the block read, the time plot drawn and painted at once, the
// display spectrum computed on the analysis pool and handed back. Median times for 16
// channels per card x 8192 scans of clean sines and of full-scale noise,
// with one and eight cards, at zero padding "Off", with the "Symbols:"
// choice given (default "None").
//
// Usage: bench_app_refresh [rounds] [None|Small|Medium|Large]   (default 40 None)
#include "test_app_window.h"

#include "analysisPool.h"

#include "nv6842fp_App.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_globals.h"
#include "nv9471fp_messages.h"

#include <qwt_plot.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

const int scans = 8192;
const int blocks = 4;
const double rate = 50000.0;

bool writeFile(const QString &path, int cards, bool noise)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> fullScale(-10.0, 10.0);
    return !writeStoredFile(path, rate, scans, std::vector<uint16_t>(size_t(cards), 0xFFFF), blocks,
                            [&](int b, int c, int s) {
                                return noise ? fullScale(random)
                                             : 9.0 * std::sin(2 * M_PI * (c % 16 + 1) * 10.0 * s / scans + b);
                            })
                .isEmpty();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Prints "plot ms, plot + spectra ms" medians of one case.
bool runCase(const QString &dir, int cards, bool noise, int rounds, const QString &symbols)
{
    const QString path = dir + QStringLiteral("/bench.bin6842");
    if (!writeFile(path, cards, noise))
        return false;
    const Window window = openStoredFile(path);
    if (!window)
        return false;
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return false;
    window->mainTabs->setCurrentIndex(0);
    nv6842fp_Waveform *wave = window->waveform;
    const int symbolItem = wave->symbolSize->findText(symbols);
    if (symbolItem < 0)
        return false;
    wave->symbolSize->setCurrentIndex(symbolItem);
    wave->symbolSizeSlot();
    // Repetitive viewing, driven by hand instead of the timer.
    window->contButton->setChecked(true);
    wave->startDAQ();
    wave->refreshTimer->stop();
    QApplication::processEvents();

    std::vector<double> plotMs, wholeMs;
    QElapsedTimer clock;
    for (int r = 0; r < rounds + 2; ++r) {
        {
            const QSignalBlocker quiet(wave->blockSlider);
            wave->blockSlider->setValue(1 + r % (blocks - 1));
        }
        clock.start();
        wave->timerSlot(false);
        wave->plot->repaint();
        const double plotted = clock.nsecsElapsed() / 1e6;
        analysisPool()->waitForDone();
        QApplication::processEvents(); // the spectra handed back
        const double whole = clock.nsecsElapsed() / 1e6;
        if (r >= 2) { // the first rounds make the plans and caches
            plotMs.push_back(plotted);
            wholeMs.push_back(whole);
        }
    }
    std::printf("%5d %-6s %14.1f %22.1f\n", cards, noise ? "noise" : "sines", median(plotMs), median(wholeMs));
    window->contButton->setChecked(false);
    wave->stopDAQ();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sfp::setMessageCard(&gl_fc);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    const QString symbols = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("None");
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    std::printf("symbols: %s\n", qPrintable(symbols));
    std::printf("%5s %-6s %14s %22s\n", "cards", "signal", "plot (ms)", "plot + spectra (ms)");
    for (const int cards : {1, 8})
        for (const bool noise : {false, true})
            if (!runCase(dir.path(), cards, noise, rounds, symbols)) {
                std::printf("%5d %s: failed\n", cards, noise ? "noise" : "sines");
                return 1;
            }
    return 0;
}
