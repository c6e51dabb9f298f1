// The analysis's own thread pool and runs of work spread over it: the display
// spectra and the measurements of the card window (and any later analysis
// of the headless tools) run here, never on Qt's global pool, whose maximum
// the resource search sets to the number of resources (one on a system with
// a single carrier) and the storage task to 32.
//
// Use (from one thread, the GUI's in the panels):
//   auto in = std::make_shared<const Input>(...);      // the run's own copy
//   auto out = std::make_shared<Output>(...);          // one slot per part
//   std::shared_ptr<analysisRun> run = analysisRun::start(parts,
//       [in, out](int part) { out->slot[part] = compute(*in, part); });
//   watcher.setFuture(run->future());                  // finished() on the GUI thread
//   finished slot: if (run->complete()) show *out;
//   closing:       if (!run->waitFor(2000)) run->abandon();
// Every part is a task of its own, started from the caller, and no part
// waits for another or for the pool: a run completes with the pool at a
// single thread (a one-core machine). A run owns its work function, so
// inputs and outputs captured by shared pointer stay alive until the last
// part has returned, even when the caller is gone.
#ifndef ANALYSISPOOL_H
#define ANALYSISPOOL_H

#include <QFuture>
#include <QFutureInterface>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QThreadPool;

// How long a closing panel waits for its running analysis before it leaves
// the run to finish alone, in milliseconds.
constexpr int analysisClosingWaitMs = 2000;

// One thread per core (QThread::idealThreadCount()) unless a test sets
// another maximum; made on first use and never destroyed, so that a run
// abandoned while the program ends cannot hold up its exit.
QThreadPool *analysisPool();

class analysisRun
{
public:
    // Queues work(0) ... work(parts - 1) on analysisPool(); parts <= 0
    // gives a run that is complete at once. work must not throw.
    static std::shared_ptr<analysisRun> start(int parts, std::function<void(int)> work);

    // Finishes when the last part has returned (for a QFutureWatcher).
    QFuture<void> future();
    // Every part has returned. The check synchronises with the parts, so
    // that what they wrote may be read after it returned true: Qt's own
    // future hands over through locks a thread checker cannot see.
    bool complete() const;
    // complete(), waiting at most that long for it.
    bool waitFor(int milliseconds) const;
    // Parts that have not begun return at once; those running finish.
    void abandon();

    analysisRun(const analysisRun &) = delete;
    analysisRun &operator=(const analysisRun &) = delete;

    // Runs one part (the pool's task does).
    void runPart(int part);

private:
    analysisRun(int parts, std::function<void(int)> task);

    const std::function<void(int)> work;
    std::atomic<int> remaining;
    std::atomic<bool> abandoned{false};
    QFutureInterface<void> finished;
    mutable std::mutex doneLock; // with allDone, for waitFor()
    mutable std::condition_variable allDone;
};

#endif
