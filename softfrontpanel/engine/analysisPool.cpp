#include "analysisPool.h"

#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <chrono>

namespace {

// One part of a run as a pool task. The run is handed over through an atomic
// of our own (stored last by the caller, loaded first by the pool thread), so
// that a thread checker sees everything the caller prepared reach the part:
// Qt's queue hands tasks over through locks it cannot see.
class analysisPart : public QRunnable
{
public:
    analysisPart(std::shared_ptr<analysisRun> run, int part) : keep(std::move(run)), part(part)
    {
        handOver.store(keep.get(), std::memory_order_release);
    }
    void run() override
    {
        analysisRun *const handed = handOver.load(std::memory_order_acquire); // before anything else
        handed->runPart(part);
    }

private:
    std::shared_ptr<analysisRun> keep; // the run lives until its last part is done
    const int part;
    std::atomic<analysisRun *> handOver{nullptr};
};

} // namespace

QThreadPool *analysisPool()
{
    static QThreadPool *const pool = [] {
        auto *created = new QThreadPool;
        created->setMaxThreadCount(QThread::idealThreadCount());
        return created;
    }();
    return pool;
}

analysisRun::analysisRun(int parts, std::function<void(int)> task)
    : work(std::move(task)), remaining(parts > 0 ? parts : 0)
{
    finished.reportStarted();
}

std::shared_ptr<analysisRun> analysisRun::start(int parts, std::function<void(int)> work)
{
    std::shared_ptr<analysisRun> run(new analysisRun(parts, std::move(work)));
    if (parts <= 0) {
        run->finished.reportFinished();
        return run;
    }
    QThreadPool *pool = analysisPool();
    for (int part = 0; part < parts; ++part)
        pool->start(new analysisPart(run, part));
    return run;
}

void analysisRun::runPart(int part)
{
    if (!abandoned.load())
        work(part);
    bool last;
    {
        // Under the lock, so that waitFor() cannot miss the wake-up.
        std::lock_guard<std::mutex> lock(doneLock);
        last = remaining.fetch_sub(1, std::memory_order_acq_rel) == 1;
    }
    if (last) {
        allDone.notify_all();
        finished.reportFinished();
    }
}

QFuture<void> analysisRun::future()
{
    return finished.future();
}

bool analysisRun::complete() const
{
    return remaining.load(std::memory_order_acquire) == 0;
}

bool analysisRun::waitFor(int milliseconds) const
{
    std::unique_lock<std::mutex> lock(doneLock);
    return allDone.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return complete(); });
}

void analysisRun::abandon()
{
    abandoned = true;
}
