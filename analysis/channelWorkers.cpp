#include "channelWorkers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#ifdef __linux__
#include <sched.h>
#endif

namespace {

class Workers
{
public:
    void run(std::size_t count, int threads, const std::function<void(std::size_t)> &work)
    {
        std::unique_lock<std::mutex> exclusive(jobMutex, std::try_to_lock);
        const int wanted = static_cast<int>(std::min<std::size_t>(count, std::size_t(std::max(threads, 1)))) - 1;
        if (!exclusive.owns_lock() || wanted <= 0) {
            for (std::size_t i = 0; i < count; ++i)
                work(i);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            while (static_cast<int>(helpers.size()) < wanted) {
                const int index = static_cast<int>(helpers.size());
                helpers.emplace_back([this, index] { serve(index); });
            }
            job = &work;
            jobCount = count;
            next = 0;
            taking = wanted;
            active = wanted;
            ++generation;
        }
        wake.notify_all();
        drain();
        std::unique_lock<std::mutex> lock(mutex);
        done.wait(lock, [this] { return active == 0; });
        job = nullptr;
    }

private:
    void drain()
    {
        for (std::size_t i = next++; i < jobCount; i = next++)
            (*job)(i);
    }

    void serve(int index)
    {
        unsigned seen = 0;
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [&] { return generation != seen && index < taking; });
            seen = generation;
            lock.unlock();
            drain();
            lock.lock();
            if (--active == 0)
                done.notify_all();
        }
    }

    std::mutex jobMutex; // one job at a time
    std::mutex mutex;    // guards everything below but next
    std::condition_variable wake, done;
    std::vector<std::thread> helpers;
    const std::function<void(std::size_t)> *job = nullptr;
    std::size_t jobCount = 0;
    std::atomic<std::size_t> next{0};
    int taking = 0; // helpers 0 ... taking-1 take part in the job
    int active = 0; // of those, the ones not yet done
    unsigned generation = 0;
};

} // namespace

int availableCores()
{
#ifdef __linux__
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
#endif
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void runOnWorkers(std::size_t count, int threads, const std::function<void(std::size_t)> &work)
{
    // Never destroyed: the helpers wait for work until the process ends,
    // and joining them from a static destructor could wait for a
    // measurement still running on another thread.
    static Workers *workers = new Workers;
    workers->run(count, threads, work);
}
