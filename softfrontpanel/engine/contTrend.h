// The measurement trend log of a stream (layout in trendlog.h): for every
// block the analysis keeps up with, per enabled channel, the block's
// statistics and the measurement page's figures; a row names the blocks it
// skipped. The analysis and every write of the log run on the analysis pool,
// never on the driver's callback or the storage task, which only hands over
// a copy of a block when the analysis is free.
//
// Use:
//   contTrend trend;                                   // in contParams_t
//   GUI thread, in prepare():   trend.open(path, layout, analysis)
//                               false: cannot open (openError())
//   storage task, per block written:  trend.offer(block, samples, seconds, nanos)
//   GUI thread, any time:       trend.failed() -> show trend.errorText(); the recording goes on
//   after the storage task:     trend.close()  (waits for the running analysis,
//                               writes the skip row of the blocks left, closes)
// The analysis works at most half the time: after a block it rests as long
// as it worked, so that a log of many cards adds at most half of one core
// however fast the blocks come, and skips what comes meanwhile. Rows reach
// the disk after every analysed block. A write that fails (a full disk)
// cuts the log back to its last whole line and stops the trend alone.
#ifndef CONTTREND_H
#define CONTTREND_H

#include "analysisSettings.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class analysisRun;

// What the measurement page would use: zero padding, fit iterations
// (0: the 3-parameter fit) and the rules of the spectral figures.
struct contTrendAnalysis {
    int padding = 1;
    int iterations = 0;
    AnalysisSettings settings;
};

class contTrend
{
public:
    contTrend() = default;
    ~contTrend();
    contTrend(const contTrend &) = delete;
    contTrend &operator=(const contTrend &) = delete;

    // masks per card, rate in Hz, scans per block, whether blocks carry
    // time stamps.
    bool open(const std::string &path, const std::vector<uint16_t> &masks, double rateHz, int scans,
              bool timestamps, const contTrendAnalysis &analysis);
    bool isOpen() const { return file != nullptr; }
    int openError() const { return openErrno; }
    const std::string &path() const { return logPath; }

    // The storage task's hand-over of block `block` (from 0, in order);
    // samples as in the ring, seconds and nanos null without time stamps.
    void offer(int64_t block, const double *samples, const int32_t *seconds, const int32_t *nanos);
    void close();

    bool failed() const { return stopped.load(); }
    std::string errorText() const;

    // Blocks with rows and blocks skipped so far (for the benchmark).
    std::atomic<int64_t> blocksAnalysed{0};
    std::atomic<int64_t> blocksSkipped{0};
    // For tests: while set, an analysis waits before it starts (falls behind).
    std::atomic<bool> analysisStalled{false};

private:
    void analyse();
    void writeText(const std::string &text);
    void fail(int error);

    // Set by open(), read by the analysis.
    FILE *file = nullptr;
    std::string logPath;
    int openErrno = 0;
    std::vector<uint16_t> masks;
    double rate = 0;
    int scans = 0;
    int channels = 0;
    bool timestamps = false;
    contTrendAnalysis analysis;

    // The block handed over. The storage task fills it while busy is clear
    // and then sets busy; the analysis owns it until it clears busy again.
    std::atomic<bool> busy{false};
    std::vector<double> samples;
    int64_t block = 0;
    int32_t stampSeconds = 0, stampNanos = 0;
    int64_t skipFirst = -1, skipLast = -1; // blocks skipped before it, -1 none
    std::shared_ptr<analysisRun> run;

    // The storage task's own: the next block not yet analysed or skipped.
    int64_t nextUnaccounted = 0;
    int64_t lastOffered = -1;
    // Steady-clock nanoseconds before which no block is taken (the rest).
    std::atomic<int64_t> restUntil{0};
    std::atomic<bool> closing{false};

    uint64_t goodSize = 0;                 // bytes of whole lines in the log
    std::atomic<bool> stopped{false};
    mutable std::mutex errorLock;          // guards why: the analysis writes it, the GUI reads it
    std::string why;
};

// "The trend log \"%1\" stopped: %2. The recording goes on." with the
// system's reason.
std::string contTrendStoppedText(const std::string &path, int error);

#endif
