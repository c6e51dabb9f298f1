// What the spectrum page's averaging and the measurement page's details add
// in the card window, measured in one run against the pages without them:
//  - one refresh of a stored block of 16 channels x 8192 scans at zero
//    padding "Off" (the block read and drawn, its spectra computed on the
//    analysis pool and handed back), in two windows refreshed in turns: one
//    without averaging, as the page always was, one with an exponential
//    average over 64 blocks;
//  - one measurement of that card (3-parameter fit), in turns with the
//    harmonic and spur details closed and open (their table filled).
// Medians of the rounds. Usage: taskset -c 1 bench_app_pages [rounds]  (default 41)
#include "test_app_window.h"

#include "analysisPool.h"
#include "measurementDetails.h"
#include "nv6842fp_App.h"
#include "nv6842fp_Waveform.h"
#include "nv9471fp_messages.h"
#include "plot_voltage.h"

#include <QLabel>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QSlider>
#include <QTemporaryDir>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

const int scans = 8192, blocks = 4;
const double rate = 51200.0;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Shows the next block of the file and waits for its spectra; milliseconds.
double refresh(nv6842fp_App *w, int round)
{
    nv6842fp_Waveform *wave = w->waveform;
    {
        const QSignalBlocker quiet(wave->blockSlider);
        wave->blockSlider->setValue(1 + round % blocks);
    }
    QElapsedTimer clock;
    clock.start();
    wave->timerSlot(false);
    while (wave->spectrumUnderWay()) {
        analysisPool()->waitForDone();
        QApplication::processEvents(); // the spectra handed back
    }
    return clock.nsecsElapsed() / 1e6;
}

double measure(nv6842fp_App *w, bool details)
{
    {
        const QSignalBlocker quiet(w->measPanel->details);
        w->measPanel->details->setChecked(details);
    }
    QElapsedTimer clock;
    clock.start();
    w->measPanel->recalculate();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static char acperfWord[] = "-acperf";
    std::vector<char *> appArgv(argv, argv + argc);
    appArgv.push_back(acperfWord);
    appArgv.push_back(nullptr);
    int appArgc = argc + 1;
    QApplication application(appArgc, appArgv.data());
    sfp::setMessageCard(&gl_fc);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    QTemporaryDir dir;
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 1e-4);
    const QString path = writeStoredFile(dir.filePath("bench.bin6842"), rate, scans, {0xFFFF}, blocks,
                                         [&](int, int c, int s) {
                                             return 5.0 * std::sin(2 * M_PI * (1000.0 + 37.3 * c) * s / rate)
                                                    + noise(random);
                                         });
    Window plain = openStoredFile(path);
    Window averaged = openStoredFile(path);
    if (!plain || !averaged)
        return 1;
    SpectrumViewSettings view;
    view.averaging = AveragingMode::exponential;
    view.averagingCount = 64;
    averaged->spectrumPlot->setViewSettings(view);
    for (nv6842fp_App *w : {plain.get(), averaged.get()}) {
        w->spectrumPlot->selectAll(0);
        if (!showFileBlock(w, 1))
            return 1;
    }

    std::vector<double> plainMs, averagedMs, withoutMs, withMs;
    for (int r = 0; r < rounds + 2; ++r) {
        // Each goes first every other round, so that neither always finds
        // the caches as the other left them.
        double a = 0, b = 0, c = 0, d = 0;
        if (r % 2) {
            a = refresh(plain.get(), r);
            b = refresh(averaged.get(), r);
            c = measure(plain.get(), false);
            d = measure(plain.get(), true);
        } else {
            b = refresh(averaged.get(), r);
            a = refresh(plain.get(), r);
            d = measure(plain.get(), true);
            c = measure(plain.get(), false);
        }
        if (r < 2)
            continue; // the first rounds make the plans and caches
        plainMs.push_back(a);
        averagedMs.push_back(b);
        withoutMs.push_back(c);
        withMs.push_back(d);
    }
    std::printf("refresh of 16 channels x 8192, padding 1: %.2f ms, exponentially averaged (%s) %.2f ms (%+.1f %%)\n",
                median(plainMs), qPrintable(averaged->spectrumPlot->controls->countLabel->text()), median(averagedMs),
                (median(averagedMs) / median(plainMs) - 1) * 100);
    std::printf("measurement of the card: %.2f ms, with the details and their table %.2f ms (%+.2f ms)\n",
                median(withoutMs), median(withMs), median(withMs) - median(withoutMs));
    return 0;
}
