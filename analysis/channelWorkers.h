// The threads a card's measurement spreads its channels over. They live as
// long as the process, so that each keeps its per-thread buffers (spectra,
// regressors) from block to block instead of faulting in fresh pages, and
// no thread is started per block.
#ifndef CHANNELWORKERS_H
#define CHANNELWORKERS_H

#include <cstddef>
#include <functional>

// The cores this process may run on (its affinity), at least 1.
int availableCores();

// Runs work(0) ... work(count - 1), each once, on the calling thread and up
// to threads - 1 helpers, and returns when all are done. One caller uses
// the helpers at a time; another caller meanwhile does its own work alone,
// so a call never waits for someone else's. work must not throw.
void runOnWorkers(std::size_t count, int threads, const std::function<void(std::size_t)> &work);

#endif
