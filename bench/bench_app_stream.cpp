// Streaming through the card window: 8 simulated cards x 16 channels on an
// LXI carrier at 50 kS/s, binary with time stamps (51.6 MB/s), started at the
// PTP alarm and run repetitively while the display refreshes. Reports the
// blocks acquired and written, the FIFO overflows and time-outs seen, the
// process CPU use and the file's write rate. Lost blocks must be 0.
//
// Usage: bench_app_stream [seconds] [directory]   (defaults: 60 s, /tmp)
#include "test_app_window.h"

#include "acqConfig.h"
#include "acqState.h"
#include "fittingLabel.h"
#include "nv6842fp_DAQ.h"
#include "nv9471fp_PTPalarm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>

#include <sys/resource.h>

#include <cstdlib>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

const char *const lxi = "TCPIP0::127.0.0.2::INSTR";

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const QString directory = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp");
    QByteArray config("carrier lxi ip=127.0.0.2 positions=8");
    for (int n = 1; n <= 8; ++n)
        config += "; fc " + QByteArray::number(n);
    qputenv("TRELLIN_SIM", config);
    QApplication application(argc, argv);
    sfp::setMessageCard(&gl_fc);

    MessageRecorder recorder;
    QList<QPair<QString, int>> rows;
    for (int n = 1; n <= 8; ++n)
        rows.append({QString::fromLatin1(lxi), n});
    Window w = realWindow(recorder, rows);
    if (!w || w->cards() != 8) {
        std::printf("the 8 simulated cards did not open\n");
        return 1;
    }
    w->show();
    recorder.clear();
    for (nv6842fp_chCfg *panel : qAsConst(w->chPanels))
        panel->enable->setChecked(true);
    nv6842fp_DAQ *daq = w->daq;
    selectData(daq->rateCombo, 50000.0);
    selectData(daq->lengthCombo, 8192);
    daq->storeToFile->setChecked(true);
    daq->trgSrc[5]->setChecked(true);
    daq->setAlarm(3);

    const QString path = QDir(directory).filePath(QStringLiteral("bench_app_stream.bin6842"));
    auto watch = whenModal<acqConfig>([path](acqConfig *d) {
        d->formatCombo->setCurrentIndex(0);
        d->fileNameEdit->setText(path);
        d->timestampsBox->setChecked(true);
        d->startButton->click();
    });
    int overflows = 0, timeouts = 0;
    QTimer watchErrors;
    QObject::connect(&watchErrors, &QTimer::timeout, [&] {
        overflows += (gl_errors & 0x40) ? 1 : 0;
        timeouts += w->waveform->errorLabel->text().contains(QStringLiteral("Timeout")) ? 1 : 0;
    });
    watchErrors.start(100);
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    w->contButton->click(); // returns when the alarm has started the cards
    const qint64 started = clock.elapsed();
    QTest::qWait(seconds * 1000);
    w->contButton->click();
    waitForEnd(w.get(), 60000);
    const double elapsed = (clock.elapsed() - started) / 1000.0;
    const double cpu = cpuSeconds() - cpu0;

    StoredFileInfo_t info;
    const bool readable = readStoredFileHeader(QFile::encodeName(path).constData(), &info) == 0;
    const long long written = readable ? static_cast<long long>(info.blockCount) : -1;
    const long long acquired = blocksAcquired.load();
    std::printf("%d s: %lld blocks acquired, %lld in the file, %lld lost; FIFO overflow seen %d, Timeout seen %d\n",
                seconds, acquired, written, acquired - written, overflows, timeouts);
    std::printf("file %.1f MB at %.1f MB/s; CPU %.0f %% of one core; messages: %s\n",
                readable ? info.dataBytes / 1e6 : 0.0, readable ? info.dataBytes / 1e6 / elapsed : 0.0,
                100.0 * cpu / elapsed, qPrintable(recorder.texts().join(QStringLiteral(" | "))));
    QFile::remove(path);
    return acquired == written && overflows == 0 && timeouts == 0 ? 0 : 2;
}
