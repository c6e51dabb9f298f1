// Streams N cards x 16 channels at 50 kS/s through the simulator's callback
// for a while and reports blocks, samples per second, overflows and the
// process CPU time as a share of one core. The cards sit on as many VXI
// carriers (slots 2, 3, ...) as needed, 8 to a carrier; the optional signal
// keys go into a 'signal' statement of every card, so the cost of each wave
// can be compared.
//
// Usage: bench_sim_stream [seconds] [scans per block] [cards] ['signal keys']
//   bench_sim_stream 5 5000 64 'wave=triangle noise=0'
#include "nv6842.h"
#include "trellin_sim.h"

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Stream {
    int scans = 0;
    int channels = 0;
    std::vector<double> data;
    std::vector<ViInt32> seconds, nanoseconds;
    std::atomic<long> blocks{0};
    std::atomic<long> failedReads{0};
    std::atomic<long> discontinuities{0};
    int64_t lastStamp = -1;
};

// Reads every block as the front panel's storage callback does.
ViInt32 onBlock(ViSession vi, ViAddr user)
{
    auto *s = static_cast<Stream *>(user);
    ViInt32 backlog = 0;
    while (nv6842_checkMultAcquisition(vi, nullptr, nullptr, &backlog) == VI_SUCCESS && backlog < s->scans)
        ;
    ViInt32 got = 0;
    if (nv6842_readMultAcquisitionEx(vi, s->scans, &got, s->data.data(), s->seconds.data(), s->nanoseconds.data()) !=
            VI_SUCCESS ||
        got != s->scans) {
        ++s->failedReads;
        return 0;
    }
    const int64_t first = s->seconds[0] * 1000000000LL + s->nanoseconds[0];
    const int64_t last = s->seconds[got - 1] * 1000000000LL + s->nanoseconds[got - 1];
    // At 50 kS/s consecutive scans are 20 us apart, also across blocks.
    if (s->lastStamp >= 0 && first - s->lastStamp != 20000)
        ++s->discontinuities;
    s->lastStamp = last;
    ++s->blocks;
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool ok(ViStatus status, const char *call)
{
    if (status >= VI_SUCCESS)
        return true;
    ViChar text[256] = {};
    nv6842_error_message(VI_NULL, status, text);
    std::fprintf(stderr, "%s failed: %s\n", call, text);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int scans = argc > 2 ? std::atoi(argv[2]) : 5000;
    const int cards = argc > 3 ? std::atoi(argv[3]) : 8;
    const std::string signalKeys = argc > 4 ? argv[4] : "";
    const double rate = 50000;
    if (seconds <= 0 || scans <= 0 || cards < 1 || cards > nv6842_MAX_CARDS) {
        std::fprintf(stderr, "usage: bench_sim_stream [seconds] [scans per block] [cards 1..%d] ['signal keys']\n",
                     nv6842_MAX_CARDS);
        return 1;
    }
    const int cardsPerCarrier = 8;
    std::string config;
    std::string descriptors;
    std::vector<ViInt16> fcNumbers;
    for (int k = 0; k < cards; ++k) {
        const int slot = 2 + k / cardsPerCarrier;
        const int fc = 1 + k % cardsPerCarrier;
        if (fc == 1)
            config += "carrier vxi slot=" + std::to_string(slot) + "\n";
        config += "fc " + std::to_string(fc) + "\n";
        if (!signalKeys.empty())
            config += "signal " + signalKeys + "\n";
        descriptors += (k ? "," : "") + std::string("VXI0::") + std::to_string(slot) + "::INSTR";
        fcNumbers.push_back(static_cast<ViInt16>(fc));
    }
    setenv("TRELLIN_SIM", config.c_str(), 1);
    char reason[512] = {};
    if (trellinSimConfigError(nullptr, reason, sizeof reason)) {
        // The simulator would quietly fall back to its default system.
        std::fprintf(stderr, "bench_sim_stream: the signal keys are not valid: %s\n", reason);
        return 1;
    }
    ViSession vi = VI_NULL;
    if (!ok(nv6842_multInit(&descriptors[0], fcNumbers.data(), VI_TRUE, VI_TRUE, &vi), "nv6842_multInit"))
        return 1;
    for (int ch = 1; ch <= cards * nv6842_CHANNELS; ++ch)
        if (!ok(nv6842_setMultChanConfig(vi, static_cast<ViInt16>(ch), 1, 1, VI_FALSE), "nv6842_setMultChanConfig"))
            return 1;
    if (!ok(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, rate, 0, 0, 0xFFFE, 0xFFFE), "nv6842_multConfig"))
        return 1;

    Stream stream;
    stream.scans = scans;
    stream.channels = cards * nv6842_CHANNELS;
    stream.data.resize(static_cast<std::size_t>(stream.channels) * scans);
    stream.seconds.resize(static_cast<std::size_t>(scans));
    stream.nanoseconds.resize(static_cast<std::size_t>(scans));

    const double cpuBefore = cpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    if (!ok(nv6842_startMultAcquisitionEx(vi, scans, &onBlock, &stream), "nv6842_startMultAcquisitionEx") ||
        !ok(nv6842_generateITRI(vi, nv6842_PULSE), "nv6842_generateITRI"))
        return 1;
    ViUInt16 errors = 0;
    ViInt32 backlog = 0, maxBacklog = 0;
    while (std::chrono::steady_clock::now() - wallBefore < std::chrono::duration<double>(seconds)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // a display refresh
        ViUInt16 e = 0;
        nv6842_checkMultAcquisition(vi, nullptr, &e, &backlog);
        errors |= e;
        maxBacklog = std::max(maxBacklog, backlog);
    }
    nv6842_stopMultAcquisition(vi);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    const double cpu = cpuSeconds() - cpuBefore;
    nv6842_multClose(vi);

    const long blocks = stream.blocks;
    const double samples = static_cast<double>(blocks) * scans * stream.channels;
    const long expectedBlocks = static_cast<long>(wall * rate / scans);
    std::printf("configuration      : %d cards x %d channels at %.0f S/s, %d scans per block\n", cards,
                nv6842_CHANNELS, rate, scans);
    std::printf("duration           : %.2f s\n", wall);
    std::printf("blocks             : %ld (about %ld due in real time)\n", blocks, expectedBlocks);
    std::printf("samples per second : %.3g (%.3g due)\n", samples / wall, rate * stream.channels);
    std::printf("failed reads       : %ld\n", stream.failedReads.load());
    std::printf("time-stamp gaps    : %ld\n", stream.discontinuities.load());
    std::printf("FIFO overflow      : %s (largest backlog seen %d scans)\n",
                (errors & nv6842_ERR_FIFO_OVERFLOW) ? "yes" : "no", maxBacklog);
    std::printf("CPU time           : %.2f s = %.1f %% of one core\n", cpu, 100.0 * cpu / wall);
    // What keeping pace costs, also when a busy machine let the stream fall behind.
    const double signalSeconds = static_cast<double>(blocks) * scans / rate;
    if (blocks > 0)
        std::printf("CPU per signal s   : %.3f s = %.1f %% of one core in real time (%.1f ns per sample)\n",
                    cpu / signalSeconds, 100.0 * cpu / signalSeconds, 1e9 * cpu / samples);
    return (errors & nv6842_ERR_FIFO_OVERFLOW) || stream.failedReads || stream.discontinuities ? 2 : 0;
}
