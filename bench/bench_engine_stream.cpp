// Sustained streaming through the engine (callback, ring, storage task) from
// the simulated cards to a file: 16 channels (one card) and 64 channels (four
// cards), binary and CSV in volts. Reports the file's write rate, the CPU use
// and the blocks lost (acquired but not written, or lost to a FIFO overflow
// or a time-out), which must be 0.
//
// Usage: bench_engine_stream [seconds per run] [rate Hz] [directory]
//        (defaults: 5 s, 50000 Hz, /tmp)
#include "acqBlock.h"
#include "bench_engine_cards.h"
#include "acqSetup.h"
#include "acqState.h"
#include "contParams.h"
#include "nv6842.h"
#include "storedfile.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Result {
    bool ok = false;
    int blocks = 0;
    long lost = 0;
    double seconds = 0, megabytesPerSecond = 0, megavaluesPerSecond = 0, cpuShare = 0;
    int maxBacklog = 0;
    std::string error;
};

Result run(int cards, int format, double seconds, double rate, const std::string &path)
{
    Result r;
    const int scans = 4096;
    acqSettings s;
    bool setupFailed = false;
    ViSession vi = benchOpenCards(cards, rate, scans, &s, &setupFailed);
    if (vi == VI_NULL) {
        r.error = "cannot open the cards";
        return r;
    }

    blocksAcquired = 0;
    bytesWritten = 0;
    contParams_t params;
    contStreamSettings settings;
    settings.chanMask = s.chanMask;
    settings.freq = rate;
    settings.scans = scans;
    settings.format = format;
    settings.fileName = QString::fromStdString(path);
    if (setupFailed || params.prepare(settings) != contPrepareResult::Ok) {
        r.error = "set-up failed";
        nv6842_multClose(vi);
        return r;
    }
    params.startStorage();
    contArmCallbacks();
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    nv6842_startMultAcquisitionEx(vi, scans, dataCallback, &params);
    acqPollStage(vi);
    acqSoftwareTrigger(vi, acqReporter());
    uint16_t errors = 0;
    while (clock.elapsed() < qint64(seconds * 1000) && !params.failed()) {
        QThread::msleep(100);
        acqPollStage(vi);
        errors |= gl_errors;
        r.maxBacklog = std::max(r.maxBacklog, int(gl_scanBacklog));
    }
    const QString error = contEndStreaming(params, vi, acqReporter());
    r.seconds = clock.elapsed() / 1000.0;
    r.cpuShare = (cpuSeconds() - cpu0) / r.seconds;
    nv6842_multClose(vi);

    r.blocks = blocksAcquired;
    // Blocks in the file, counted from the file itself: the reader's count
    // for binary, data lines over scans per block for CSV (three header lines).
    long written = 0;
    if (format == contBinary) {
        StoredFileInfo_t info;
        if (readStoredFileHeader(path.c_str(), &info) == 0)
            written = long(info.blockCount);
    } else if (FILE *f = std::fopen(path.c_str(), "rb")) {
        long lines = 0;
        char buffer[1 << 16];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            lines += long(std::count(buffer, buffer + n, '\n'));
        std::fclose(f);
        written = (lines - 3) / scans;
    }
    // Blocks the card produced in the time but the callback never read count as lost too.
    const long produced = long(r.seconds * rate / scans);
    r.lost = (r.blocks - written) + ((errors & nv6842_ERR_FIFO_OVERFLOW) ? std::max(0L, produced - r.blocks) : 0);
    r.megavaluesPerSecond = double(written) * scans * 16 * cards / r.seconds / 1e6;
    r.megabytesPerSecond = 0;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        r.megabytesPerSecond = double(std::ftell(f)) / double(1 << 20) / r.seconds;
        std::fclose(f);
    }
    std::remove(path.c_str());
    r.error = error.toStdString();
    if (errors & nv6842_ERR_FIFO_OVERFLOW)
        r.error += r.error.empty() ? "FIFO overflow" : ", FIFO overflow";
    r.ok = r.error.empty() && r.lost == 0;
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    const double rate = argc > 2 ? std::atof(argv[2]) : 50000.0;
    const std::string dir = argc > 3 ? argv[3] : "/tmp";
    setenv("TRELLIN_SIM", "carrier vxi slot=2; fc 1; fc 2; fc 3; fc 4", 1);
    std::printf("%-9s %-6s %8s %8s %10s %10s %8s %11s %6s  %s\n", "channels", "format", "rate/Hz", "blocks", "MB/s",
                "Mvalues/s", "CPU", "max backlog", "lost", "result");
    bool allOk = true;
    for (int cards : {1, 4}) {
        for (int format : {int(contBinary), int(contCsvVolts)}) {
            const std::string path = dir + "/bench_engine_stream" + (format == contBinary ? ".bin6842" : ".csv");
            const Result r = run(cards, format, seconds, rate, path);
            std::printf("%-9d %-6s %8.0f %8d %10.2f %10.2f %7.0f%% %11d %6ld  %s\n", cards * 16,
                        format == contBinary ? "bin" : "csv", rate, r.blocks, r.megabytesPerSecond,
                        r.megavaluesPerSecond, r.cpuShare * 100,
                        r.maxBacklog, r.lost, r.ok ? "ok" : r.error.c_str());
            std::fflush(stdout);
            allOk = allOk && r.ok;
        }
    }
    return allOk ? 0 : 1;
}
