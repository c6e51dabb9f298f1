#include "nv6842_acquisition.h"

#include "sim_system.h"

#include <algorithm>
#include <cmath>

namespace trellin::sim {

namespace {

constexpr int64_t nsPerMs = 1000000;
// Extra wait after the computed moment, so that rounding of scan times never
// wakes a thread a little too early and makes it spin.
constexpr int64_t wakeMarginNs = 20000;

int64_t scansAfter(int64_t elapsedNs, double rateHz)
{
    if (elapsedNs <= 0)
        return 0;
    return static_cast<int64_t>(std::floor(static_cast<long double>(elapsedNs) * rateHz / 1e9L));
}

} // namespace

Acquisition::Acquisition(int cardCount) : channelErrors(static_cast<std::size_t>(cardCount), 0) {}

Acquisition::~Acquisition()
{
    std::thread t;
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++runId;
        t = std::move(worker);
    }
    wake.notify_all();
    finishWorker(std::move(t));
}

int64_t Acquisition::now() const
{
    return cardNowNs(setup.settings.utcOffset);
}

std::thread Acquisition::takeWorker()
{
    return std::move(worker);
}

void Acquisition::finishWorker(std::thread t)
{
    if (!t.joinable())
        return;
    // A start from inside the callback, or the last reference dropped by the
    // thread itself, cannot wait for its own thread; it ends by itself after
    // the callback returns.
    if (t.get_id() == std::this_thread::get_id())
        t.detach();
    else
        t.join();
}

bool Acquisition::busy()
{
    std::lock_guard<std::mutex> lock(mutex);
    return phase == Phase::WaitingStart || phase == Phase::Armed || phase == Phase::Triggered;
}

void Acquisition::resetLocked(const AcquisitionSetup &s)
{
    ++runId;
    setup = s;
    acquired = 0;
    readCount = 0;
    halted = false;
    errors = 0;
    triggerNs = 0;
    checkedUpTo.assign(setup.plans ? setup.plans->size() : 0, 0);
    std::fill(channelErrors.begin(), channelErrors.end(), 0);
}

// A timed start still waiting, or a continuous acquisition not yet halted, must
// be stopped before the card can be started again.
bool Acquisition::runningLocked() const
{
    return phase == Phase::WaitingStart ||
           (continuous && (phase == Phase::Armed || phase == Phase::Triggered));
}

// Arms a new run in place of the last one; the old worker thread is handed
// back to be joined outside the lock.
bool Acquisition::armLocked(const AcquisitionSetup &s, bool isContinuous, std::thread &old)
{
    if (runningLocked())
        return false;
    old = takeWorker();
    resetLocked(s);
    continuous = isContinuous;
    phase = Phase::Armed;
    armStartNs = now();
    return true;
}

ViStatus Acquisition::startBlock(const AcquisitionSetup &s)
{
    std::thread old;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!armLocked(s, false, old))
            return nv6842_ERROR_ACQ_RUNNING;
    }
    wake.notify_all();
    finishWorker(std::move(old));
    return VI_SUCCESS;
}

ViStatus Acquisition::startContinuous(const AcquisitionSetup &s, int32_t scansPerBlock,
                                      nv6842_dataCallback callback, ViAddr userData, ViSession vi)
{
    std::thread old;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!armLocked(s, true, old))
            return nv6842_ERROR_ACQ_RUNNING;
        // Armed at once: the start returns with the card ready for its trigger.
        armStartNs -= 3 * static_cast<int64_t>(setup.settings.armMs) * nsPerMs;
        launchWorkerLocked(scansPerBlock, callback, userData, vi);
    }
    wake.notify_all();
    finishWorker(std::move(old));
    return VI_SUCCESS;
}

ViStatus Acquisition::startTimed(const AcquisitionSetup &s, int64_t startNs, int32_t scansPerBlock,
                                 nv6842_dataCallback callback, ViAddr userData, ViSession vi)
{
    std::thread old;
    std::unique_lock<std::mutex> lock(mutex);
    if (runningLocked())
        return nv6842_ERROR_ACQ_RUNNING;
    old = takeWorker();
    resetLocked(s);
    continuous = callback != nullptr;
    phase = Phase::WaitingStart;
    const uint64_t run = runId;
    const int64_t calledNs = now();
    lock.unlock();
    finishWorker(std::move(old));
    lock.lock();
    const auto deadline = steadyAtCardNs(startNs, setup.settings.utcOffset);
    wake.wait_until(lock, deadline, [&] { return runId != run; });
    while (runId == run && now() < startNs)
        wake.wait_until(lock, deadline + std::chrono::microseconds(100), [&] { return runId != run; });
    if (runId != run)
        return nv6842_ERROR_ABORTED;
    beginTriggered(std::max(startNs, calledNs));
    if (callback)
        launchWorkerLocked(scansPerBlock, callback, userData, vi);
    return VI_SUCCESS;
}

void Acquisition::launchWorkerLocked(int32_t scansPerBlock, nv6842_dataCallback callback, ViAddr userData,
                                     ViSession vi)
{
    auto self = shared_from_this();
    const uint64_t run = runId;
    worker = std::thread([self, run, scansPerBlock, callback, userData, vi] {
        self->runWorker(run, scansPerBlock, callback, userData, vi);
    });
}

ViStatus Acquisition::stop()
{
    std::thread t;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (phase == Phase::Armed || phase == Phase::Triggered) {
            advance(now());
            phase = Phase::Stopped;
        } else if (phase == Phase::WaitingStart) {
            phase = Phase::Idle;
        }
        ++runId;
        // A stop from inside the callback leaves the thread in place: it ends
        // once the callback returns, and a stop or start from another thread
        // still joins it instead of returning while the callback runs.
        if (worker.get_id() != std::this_thread::get_id())
            t = takeWorker();
    }
    wake.notify_all();
    finishWorker(std::move(t));
    return VI_SUCCESS;
}

void Acquisition::beginTriggered(int64_t t)
{
    phase = Phase::Triggered;
    triggerNs = t;
    acquired = 0;
}

void Acquisition::advance(int64_t t)
{
    if (phase == Phase::Armed && setup.trigSource != 0 && setup.settings.triggerPeriodMs > 0) {
        // The simulated external trigger: edges at whole multiples of the
        // period on the card clock; the first one after the card is ready counts.
        const int64_t readyNs = armStartNs + 3 * static_cast<int64_t>(setup.settings.armMs) * nsPerMs;
        const int64_t period = static_cast<int64_t>(setup.settings.triggerPeriodMs) * nsPerMs;
        const int64_t edge = (readyNs / period + (readyNs % period != 0 ? 1 : 0)) * period;
        if (t >= edge)
            beginTriggered(edge);
    }
    if (phase != Phase::Triggered || halted)
        return;
    int64_t n = scansAfter(t - triggerNs, setup.rateHz);
    if (setup.scansPerTrigger > 0)
        n = std::min(n, setup.scansPerTrigger);
    if (n - readCount > setup.settings.fifoScans) {
        // The FIFO is full: the card halts and keeps what it holds, gap-free.
        acquired = readCount + setup.settings.fifoScans;
        halted = true;
        errors |= nv6842_ERR_FIFO_OVERFLOW;
    } else {
        acquired = std::max(acquired, n);
    }
}

int Acquisition::stageAt(int64_t t) const
{
    switch (phase) {
    case Phase::Idle:
    case Phase::Stopped:
        return nv6842_STAGE_IDLE;
    case Phase::WaitingStart:
        return nv6842_STAGE_READY;
    case Phase::Armed: {
        const int64_t arm = static_cast<int64_t>(setup.settings.armMs) * nsPerMs;
        const int64_t elapsed = t - armStartNs;
        if (elapsed < arm)
            return nv6842_STAGE_HW_ARM;
        if (elapsed < 2 * arm)
            return nv6842_STAGE_DDS_UPD;
        if (elapsed < 3 * arm)
            return nv6842_STAGE_SYNC;
        return nv6842_STAGE_READY;
    }
    case Phase::Triggered:
        if (acquired == 0)
            return nv6842_STAGE_PRE_TRIG;
        if (setup.scansPerTrigger > 0 && acquired >= setup.scansPerTrigger)
            return nv6842_STAGE_END;
        return nv6842_STAGE_POST_TRIG;
    }
    return nv6842_STAGE_IDLE;
}

void Acquisition::scanForClipping()
{
    if (!setup.plans)
        return;
    thread_local std::vector<double> scratch(4096);
    const auto &plans = *setup.plans;
    for (std::size_t o = 0; o < plans.size(); ++o) {
        const ChannelPlan &plan = plans[o];
        const uint16_t bit = static_cast<uint16_t>(1u << plan.channel);
        if (!plan.mayClip || (channelErrors[plan.cardIndex] & bit)) {
            checkedUpTo[o] = std::max(checkedUpTo[o], acquired);
            continue;
        }
        while (checkedUpTo[o] < acquired) {
            const int32_t n = static_cast<int32_t>(
                std::min<int64_t>(acquired - checkedUpTo[o], static_cast<int64_t>(scratch.size())));
            const bool clipped = generateChannel(plan, checkedUpTo[o], n, scratch.data());
            checkedUpTo[o] += n;
            if (clipped) {
                channelErrors[plan.cardIndex] |= bit;
                checkedUpTo[o] = acquired;
            }
        }
    }
}

void Acquisition::check(ViInt16 *stage, ViUInt16 *errorBits, ViInt32 *backlog)
{
    std::lock_guard<std::mutex> lock(mutex);
    const int64_t t = now();
    advance(t);
    scanForClipping();
    uint16_t bits = errors;
    for (uint16_t ch : channelErrors)
        if (ch)
            bits |= nv6842_ERR_OUT_OF_RANGE;
    if (stage)
        *stage = static_cast<ViInt16>(stageAt(t));
    if (errorBits)
        *errorBits = bits;
    if (backlog)
        *backlog = static_cast<ViInt32>(std::min<int64_t>(acquired - readCount, INT32_MAX));
}

uint16_t Acquisition::takeChannelErrors(int card, ViInt16 *stage, ViUInt16 *errorBits)
{
    std::lock_guard<std::mutex> lock(mutex);
    const int64_t t = now();
    advance(t);
    scanForClipping();
    if (stage)
        *stage = static_cast<ViInt16>(stageAt(t));
    const uint16_t bits = channelErrors[card];
    channelErrors[card] = 0;
    if (errorBits)
        *errorBits = static_cast<ViUInt16>(errors | (bits ? nv6842_ERR_OUT_OF_RANGE : 0));
    return bits;
}

void Acquisition::softwareTrigger()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        const int64_t t = now();
        advance(t);
        // Like the card, a trigger before the card is ready is ignored.
        if (phase == Phase::Armed && stageAt(t) == nv6842_STAGE_READY)
            beginTriggered(t);
    }
    wake.notify_all();
}

ViStatus Acquisition::read(ViInt32 scans, ViInt32 *scansRead, ViReal64 *data, ViInt32 *seconds,
                           ViInt32 *nanoseconds)
{
    if (scansRead)
        *scansRead = 0;
    if (scans <= 0 || !data)
        return nv6842_ERROR_INV_PARAMETER;
    std::unique_lock<std::mutex> lock(mutex);
    if (phase == Phase::Idle || phase == Phase::WaitingStart)
        return nv6842_ERROR_NO_DATA;
    advance(now());
    const int64_t n = std::min<int64_t>(scans, acquired - readCount);
    if (n <= 0)
        return halted ? nv6842_ERROR_FIFO_OVERFLOW : nv6842_ERROR_NO_DATA;
    const int64_t first = readCount;
    readCount += n;
    const auto plans = setup.plans;
    const double rate = setup.rateHz;
    const int64_t trigger = triggerNs;
    const uint64_t run = runId;
    for (std::size_t o = 0; o < checkedUpTo.size(); ++o)
        checkedUpTo[o] = std::max(checkedUpTo[o], first + n);
    lock.unlock();

    // Generated outside the lock: the callback thread reads while the
    // program's thread polls the stage.
    std::vector<uint16_t> clippedBits(channelErrors.size(), 0);
    std::vector<uint8_t> clippedPlans;
    generateChannels(*plans, first, static_cast<int32_t>(n), data, clippedPlans);
    for (std::size_t o = 0; o < plans->size(); ++o) {
        const ChannelPlan &plan = (*plans)[o];
        if (clippedPlans[o])
            clippedBits[plan.cardIndex] |= static_cast<uint16_t>(1u << plan.channel);
    }
    if (seconds || nanoseconds) {
        for (int64_t k = 0; k < n; ++k) {
            const int64_t t = trigger + scanOffsetNs(rate, first + k);
            if (seconds)
                seconds[k] = static_cast<ViInt32>(t / 1000000000LL);
            if (nanoseconds)
                nanoseconds[k] = static_cast<ViInt32>(t % 1000000000LL);
        }
    }
    lock.lock();
    if (runId == run || phase == Phase::Stopped)
        for (std::size_t c = 0; c < clippedBits.size(); ++c)
            channelErrors[c] |= clippedBits[c];
    if (scansRead)
        *scansRead = static_cast<ViInt32>(n);
    return VI_SUCCESS;
}

void Acquisition::runWorker(uint64_t run, int32_t scansPerBlock, nv6842_dataCallback callback, ViAddr userData,
                            ViSession vi)
{
    std::unique_lock<std::mutex> lock(mutex);
    int64_t delivered = 0;
    while (runId == run) {
        const int64_t t = now();
        advance(t);
        const int utc = setup.settings.utcOffset;
        if (phase == Phase::Triggered) {
            const int64_t needed = (delivered + 1) * static_cast<int64_t>(scansPerBlock);
            if (acquired >= needed) {
                lock.unlock();
                callback(vi, userData);
                lock.lock();
                ++delivered;
                continue;
            }
            if (halted) {
                wake.wait(lock, [&] { return runId != run; });
                break;
            }
            const int64_t due = triggerNs + scanOffsetNs(setup.rateHz, needed) + wakeMarginNs;
            wake.wait_until(lock, steadyAtCardNs(due, utc));
        } else if (phase == Phase::Armed) {
            if (setup.trigSource != 0 && setup.settings.triggerPeriodMs > 0) {
                const int64_t period = static_cast<int64_t>(setup.settings.triggerPeriodMs) * nsPerMs;
                const int64_t due = std::max(t, (t / period + 1) * period) + wakeMarginNs;
                wake.wait_until(lock, steadyAtCardNs(due, utc));
            } else {
                wake.wait(lock);
            }
        } else {
            break;
        }
    }
}

} // namespace trellin::sim
