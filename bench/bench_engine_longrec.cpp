// Long recordings through the engine: what the measurement trend log costs
// and what a file set's seam costs.
//
// 1. Streams N cards x 16 channels (8 to a VXI carrier, 'signal wave=triangle
//    noise=0' on every card, so that the simulation stays cheap) to a binary
//    file, once without and once with the trend log, and reports the process
//    CPU time as a share of one core, the blocks lost (acquired but not
//    written, or lost to a FIFO overflow) and the blocks the trend analysed
//    and skipped. The trend's cost is the difference of the two CPU shares.
// 2. Writes blocks of the same size through the file writer, a new file of a
//    set every 4 blocks, and reports the longest write without and with a
//    seam (closing one file, opening the next, its header).
//
// Usage: bench_engine_longrec [seconds per run] [cards] [scans] [directory]
//        (defaults: 15 s, 8 cards, 8192 scans, /tmp)
#include "acqBlock.h"
#include "bench_engine_cards.h"
#include "acqSetup.h"
#include "acqState.h"
#include "contParams.h"
#include "contRecordingWriter.h"
#include "fileset.h"
#include "nv6842.h"
#include "storedfile.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Result {
    int blocks = 0;
    long lost = 0;
    double cpuShare = 0;
    int64_t analysed = 0, skipped = 0;
    std::string error;
};

Result stream(int cards, int scans, double seconds, bool trend, const std::string &path)
{
    Result r;
    const double rate = 50000;
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
    settings.fileName = QString::fromStdString(path);
    settings.trendLog = trend;
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
    }
    const QString error = contEndStreaming(params, vi, acqReporter());
    const double elapsed = clock.elapsed() / 1000.0;
    r.cpuShare = (cpuSeconds() - cpu0) / elapsed;
    nv6842_multClose(vi);
    r.blocks = blocksAcquired;
    r.analysed = params.trend.blocksAnalysed;
    r.skipped = params.trend.blocksSkipped;
    StoredFileInfo_t info;
    const long written = readStoredFileHeader(path.c_str(), &info) == 0 ? long(info.blockCount) : 0;
    const long produced = long(elapsed * rate / scans);
    r.lost = (r.blocks - written) + ((errors & nv6842_ERR_FIFO_OVERFLOW) ? std::max(0L, produced - r.blocks) : 0);
    std::remove(path.c_str());
    std::remove(trendLogPath(path).c_str());
    r.error = error.toStdString();
    if (errors & nv6842_ERR_FIFO_OVERFLOW)
        r.error += r.error.empty() ? "FIFO overflow" : ", FIFO overflow";
    return r;
}

// The longest write of a plain block and of a block that starts a new file.
void seams(int cards, int scans, const std::string &directory)
{
    std::vector<uint16_t> masks(size_t(cards), 0xFFFF);
    contRecordingSetup setup;
    setup.path = directory + "/bench_engine_longrec_set.bin6842";
    setup.layout.rateHz = 50000;
    setup.layout.scans = scans;
    setup.layout.fcCount = cards;
    setup.layout.channelMask = masks.data();
    setup.split.maxSeconds = 4.0 * scans / 50000;
    std::vector<double> block(size_t(cards) * 16 * size_t(scans), 0.5);
    contRecordingWriter writer;
    if (!writer.open(setup)) {
        std::printf("cannot open %s\n", setup.path.c_str());
        return;
    }
    double plainMs = 0, seamMs = 0, plainSum = 0;
    int plain = 0, seam = 0;
    for (int k = 0; k < 200; ++k) {
        const auto t0 = std::chrono::steady_clock::now();
        if (writer.write(block.data(), nullptr, nullptr) != contRecordingWriter::Outcome::Written) {
            std::printf("write failed\n");
            break;
        }
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (k > 0 && k % 4 == 0) {
            seamMs = std::max(seamMs, ms);
            ++seam;
        } else {
            plainMs = std::max(plainMs, ms);
            plainSum += ms;
            ++plain;
        }
    }
    writer.close();
    for (const std::string &member : fileSetMembersPresent(setup.path))
        std::remove(member.c_str());
    std::printf("file set, %d blocks of %.1f MB: write %.2f ms on average, at most %.2f ms; "
                "at the %d seams at most %.2f ms (a block lasts %.1f ms)\n",
                plain + seam, double(block.size()) * 8 / (1 << 20), plainSum / std::max(1, plain), plainMs, seam,
                seamMs, 1000.0 * scans / 50000);
}

} // namespace

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 15.0;
    const int cards = argc > 2 ? std::atoi(argv[2]) : 8;
    const int scans = argc > 3 ? std::atoi(argv[3]) : 8192;
    const std::string dir = argc > 4 ? argv[4] : "/tmp";
    std::string config;
    for (int k = 0; k < cards; ++k) {
        if (k % 8 == 0)
            config += "carrier vxi slot=" + std::to_string(2 + k / 8) + "; ";
        config += "fc " + std::to_string(k % 8 + 1) + "; signal wave=triangle noise=0; ";
    }
    setenv("TRELLIN_SIM", config.c_str(), 1);
    std::printf("%d cards x 16 channels at 50 kS/s, %d scans a block, %.0f s a run\n", cards, scans, seconds);
    std::printf("%-12s %8s %8s %8s %10s %10s  %s\n", "trend log", "blocks", "lost", "CPU", "analysed", "skipped",
                "result");
    double cpu[2] = {0, 0};
    bool ok = true;
    for (int trend = 0; trend < 2; ++trend) {
        const Result r = stream(cards, scans, seconds, trend == 1, dir + "/bench_engine_longrec.bin6842");
        cpu[trend] = r.cpuShare;
        std::printf("%-12s %8d %8ld %7.0f%% %10lld %10lld  %s\n", trend ? "on" : "off", r.blocks, r.lost,
                    r.cpuShare * 100, static_cast<long long>(r.analysed), static_cast<long long>(r.skipped),
                    r.error.empty() && r.lost == 0 ? "ok" : r.error.empty() ? "blocks lost" : r.error.c_str());
        std::fflush(stdout);
        ok = ok && r.error.empty() && r.lost == 0;
    }
    std::printf("the trend log adds %.0f%% of one core\n", (cpu[1] - cpu[0]) * 100);
    seams(cards, scans, dir);
    return ok ? 0 : 1;
}
