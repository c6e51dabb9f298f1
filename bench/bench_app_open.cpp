// Time from constructing the card window to its first paint, and the peak
// memory of the process, for a number of cards in demo mode (the offline
// flag: no connection dialog). Each count runs in a process of its own so
// that the peak memory is its own.
//
// Usage: bench_app_open            runs 2, 8, 64 and 256 cards and prints a table
//        bench_app_open CARDS      one run; prints "CARDS milliseconds peak-KiB"
#include "nv6842_fc.h"
#include "nv6842fp_App.h"
#include "nv9471fp_messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int runOne(int argc, char **argv, int cards)
{
    QApplication application(argc, argv);
    sfp::setMessageCard(&gl_fc);
    QElapsedTimer clock;
    clock.start();
    auto *window = new nv6842fp_App(&gl_fc, cards, true);
    centreOnScreen(window);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    application.processEvents();
    const qint64 ms = clock.elapsed();
    std::printf("%d %lld %ld\n", cards, static_cast<long long>(ms), peakKiB());
    delete window;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1)
        return runOne(argc, argv, std::atoi(argv[1]));

    std::printf("%6s %12s %14s\n", "cards", "open (ms)", "peak (MiB)");
    for (const int cards : {2, 8, 64, 256}) {
        QProcess child;
        child.start(QString::fromLocal8Bit(argv[0]), {QString::number(cards)});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            std::printf("%6d failed\n", cards);
            continue;
        }
        int n = 0;
        long long ms = 0;
        long kib = 0;
        if (std::sscanf(child.readAllStandardOutput().constData(), "%d %lld %ld", &n, &ms, &kib) == 3)
            std::printf("%6d %12lld %14.1f\n", n, ms, kib / 1024.0);
    }
    return 0;
}
