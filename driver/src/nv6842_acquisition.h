// The acquisition of one multi-card session: stages, trigger, pacing in real
// time, a FIFO of finite depth and the continuous-mode callback thread.
// Samples are not stored: a scan's values are generated when it is read.
#ifndef TRELLIN_NV6842_ACQUISITION_H
#define TRELLIN_NV6842_ACQUISITION_H

#include "nv6842.h"
#include "sim_config.h"
#include "sim_signal.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace trellin::sim {

// Everything an acquisition needs, copied from the session when it starts:
// settings changed later take effect at the next start.
struct AcquisitionSetup {
    double rateHz = 10000;
    int64_t scansPerTrigger = 0; // 0 = until stopped
    uint16_t trigSource = 0;
    int cardCount = 1;
    std::shared_ptr<const std::vector<ChannelPlan>> plans;
    Settings settings;
};

class Acquisition : public std::enable_shared_from_this<Acquisition>
{
public:
    explicit Acquisition(int cardCount);
    ~Acquisition();

    ViStatus startBlock(const AcquisitionSetup &setup);
    ViStatus startContinuous(const AcquisitionSetup &setup, int32_t scansPerBlock,
                             nv6842_dataCallback callback, ViAddr userData, ViSession vi);
    // Blocks until the card clock reaches startNs; the start time is the trigger.
    ViStatus startTimed(const AcquisitionSetup &setup, int64_t startNs, int32_t scansPerBlock,
                        nv6842_dataCallback callback, ViAddr userData, ViSession vi);
    ViStatus stop();
    void check(ViInt16 *stage, ViUInt16 *errors, ViInt32 *backlog);
    ViStatus read(ViInt32 scans, ViInt32 *scansRead, ViReal64 *data, ViInt32 *seconds, ViInt32 *nanoseconds);
    void softwareTrigger();
    // The out-of-range bits of one card's channels, cleared by reading.
    uint16_t takeChannelErrors(int card, ViInt16 *stage, ViUInt16 *errors);
    bool busy();

private:
    enum class Phase { Idle, WaitingStart, Armed, Triggered, Stopped };

    void resetLocked(const AcquisitionSetup &setup);
    bool armLocked(const AcquisitionSetup &setup, bool isContinuous, std::thread &old);
    bool runningLocked() const;
    void advance(int64_t now);
    void beginTriggered(int64_t triggerNs);
    int stageAt(int64_t now) const;
    void scanForClipping();
    void launchWorkerLocked(int32_t scansPerBlock, nv6842_dataCallback callback, ViAddr userData, ViSession vi);
    void runWorker(uint64_t run, int32_t scansPerBlock, nv6842_dataCallback callback, ViAddr userData,
                   ViSession vi);
    int64_t now() const;
    std::thread takeWorker();
    static void finishWorker(std::thread worker);

    std::mutex mutex;
    std::condition_variable wake;
    Phase phase = Phase::Idle;
    bool continuous = false;
    AcquisitionSetup setup;
    uint64_t runId = 0;
    int64_t armStartNs = 0;
    int64_t triggerNs = 0;
    int64_t acquired = 0;
    int64_t readCount = 0;
    bool halted = false;
    uint16_t errors = 0;
    std::vector<int64_t> checkedUpTo; // per plan: scans already searched for saturation
    std::vector<uint16_t> channelErrors;
    std::thread worker;
};

} // namespace trellin::sim

#endif
