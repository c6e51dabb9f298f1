#include "analysisPool.h"

#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <chrono>

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
        pool->start(QRunnable::create([run, part] { run->runPart(part); }));
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
