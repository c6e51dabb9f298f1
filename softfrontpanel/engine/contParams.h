// Gap-free continuous acquisition to file: the ring shared by the driver's
// callback thread, the storage task on the thread pool and the GUI thread.
//
// Use (all on one thread, the GUI's, except the two engine functions the
// driver and the pool run):
//   contStreamSettings s{chanMask, freq, scans, format, timestamps, stopAfterFirst, fileName};
//   (optionally s.split for a file set, s.trendLog for NAME.trend.csv)
//   contPrepareResult r = contParams.prepare(s);   // allocate, open, header
//     NoMemory:   errorText() says "Unable to allocate memory."; userBreak(), return
//     CannotOpen: show contOpenFailedText(openPath, openError) (critical, "Trellin 6842 SFP"); userBreak(), return
//     BadSplit:   errorText() names the smallest split; userBreak(), return
//   contParams.startStorage();                     // storageTask on the pool (when a file is open)
//   contArmCallbacks();                            // acqRunning set, callbackSawStop/firstBlockDone clear
//   nv6842_startMultAcquisitionEx(d_vi, scans, dataCallback, &contParams)  (or a timed start)
//   every refresh: contTakeDisplayCopy(contParams, data) -> a new block to show;
//                  contParams.failed() -> show errorText() at once (streaming has ended,
//                  the acquisition and the display go on until the stop), and what
//                  the file kept: blocksStored and bytesWritten;
//                  once a second the health line (recordingHealth.h) and
//                  trend.failed() -> trend.errorText() (the recording goes on)
//   stop:  contLeaveCallbacks(contParams);  nv6842_stopMultAcquisition(d_vi);
//          QString text = contParams.finish();   // drains the ring, closes the file, frees
//          (or contEndStreaming(), which does the three)
// Buffers belong to the record from prepare() to finish(); the record itself
// must outlive the acquisition (the driver holds its address). The storage
// task writes through writer (one file or a set, the disk guard, the cut-back
// of a torn block) and hands blocks to the trend log.
#ifndef CONTPARAMS_H
#define CONTPARAMS_H

#include "acqState.h"
#include "contRecordingWriter.h"
#include "contTrend.h"
#include "nv6842.h"

#include <QFuture>
#include <QMutex>
#include <QString>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <vector>

constexpr int contRingSlots = 16;

// Storage formats (the settings dialog's format index).
enum contFormat { contBinary = 0, contCsvVolts = 1, contCsvMillivolts = 2 };

// What the panels and the settings dialog say about the stream.
struct contStreamSettings {
    std::vector<uint16_t> chanMask; // per card of the session
    double freq = 0;                // Hz, for the file header
    int32_t scans = 0;              // scans per block
    int format = contBinary;
    bool timestamps = false;        // read and store per-scan time stamps
    bool stopAfterFirst = false;    // started with the single-shot button
    QString fileName;               // empty: acquire and display, store nothing
    contSplitRule split;            // a set of files NAME_0001 ... instead of one
    bool trendLog = false;          // NAME.trend.csv beside the data file
    contTrendAnalysis trendAnalysis;
};

enum class contPrepareResult { Ok, NoMemory, CannotOpen, BadSplit };

struct contParams_t {
    contParams_t();
    ~contParams_t(); // waits for the storage task and frees; the driver must have stopped
    contParams_t(const contParams_t &) = delete;
    contParams_t &operator=(const contParams_t &) = delete;

    std::atomic<int32_t> writeSlot{0}; // ring slot the callback fills next
    std::atomic<int32_t> readSlot{0};  // ring slot the storage task writes next
    std::atomic<bool> running{false};  // cleared to end streaming (stop or failure)
    int32_t channels = 0;              // enabled channels over all cards
    int32_t scans = 0;                 // scans per block
    int32_t copyScans = 0;             // scans copied into displayCopy
    double *blockData[contRingSlots];  // channels * scans volts, channel after channel
    int32_t *blockSeconds[contRingSlots];
    int32_t *blockNanos[contRingSlots];
    double *displayCopy = nullptr;     // latest block for the display, under copyLock
    int32_t displaySeconds = 0;        // its first scan's time stamp when timestamps, under copyLock
    int32_t displayNanos = 0;
    std::atomic<bool> copyRequested{false}; // the display took the copy and wants a fresh one
    std::atomic<bool> copyValid{false};     // displayCopy holds a block
    QFuture<void> storageFuture;
    QMutex copyLock;
    contRecordingWriter writer;        // the file or set; the storage task's while it runs
    contTrend trend;                   // open when a trend log is written
    bool storing = false;              // a file was opened; fixed from prepare() to finish()
    QString fileName;
    int32_t sampleSize = 8;
    int32_t format = contBinary;
    bool stopAfterFirst = false;
    bool timestamps = false;
    // errno of the failed open when prepare() returned CannotOpen, else 0,
    // and the file that would not open (the data file, a set's first file
    // or the trend log).
    int openError = 0;
    QString openPath;
    // The free space of the file's disk, asked before every block; tests
    // make a disk fill up here. Empty: contDiskFreeBytes. Set before prepare().
    contFreeSpaceQuery freeSpace;

    // Complete blocks the storage task has written to the file in this run;
    // final once finish() has returned.
    std::atomic<int64_t> blocksStored{0};
    // Storing ended cleanly before the disk was full (the error text says so).
    std::atomic<bool> diskAlmostFull{false};

    // Blocks to acquire, 0 = until stopped: later callbacks read nothing, so
    // that a recording of N blocks holds exactly N.
    int32_t blockLimit = 0;
    // Callbacks between entry and return; the buffers are freed only at 0.
    std::atomic<int32_t> callbacksInProgress{0};
    // For tests: while set and streaming runs, the storage task writes
    // nothing (a disk that cannot keep up).
    std::atomic<bool> storageStalled{false};
    // Rounds the callback waits for room in the ring before it gives up with
    // "Timeout". Counted in rounds, not time: tests shorten it so that a busy
    // machine, where every round takes longer, cannot outlast their wait.
    int32_t storageWaitRounds = 500000;

    // Steps 1-5 and 7-8 of the preparation; settings are the dialog's job.
    contPrepareResult prepare(const contStreamSettings &settings);
    // Runs storageTask on the global pool (maximum 32 threads) when a file is
    // open and waits until it has started.
    void startStorage();
    // Waits until no callback runs, clears running, lets the storage task
    // write every complete block left in the ring and close the file, frees
    // the buffers and returns errorText(). Call after the driver has stopped.
    QString finish();

    // Why streaming ended; the first error wins. Any thread.
    QString errorText() const;
    // Set as soon as streaming ended by an error (read, write, time-out).
    bool failed() const { return failure.load(); }
    // Records text unless an error is already recorded; returns whether it did.
    bool setError(const QString &text);

    // Hand-over to and from the storage task through an atomic of our own:
    // the pool's queue and the future synchronise inside Qt, which thread
    // checkers cannot see. 0 idle, 1 handed over, 2 finished.
    std::atomic<int> storageState{0};

private:
    void freeBuffers();
    mutable QMutex errorLock; // guards errorMessage: the callback and the storage task both write it
    QString errorMessage;
    std::atomic<bool> failure{false};
};

// The driver's callback, once per block on the driver's thread; user is the
// contParams_t. Returns 0.
ViInt32 dataCallback(ViSession vi, ViAddr user);

// Writes the ring to the file until streaming ends and the ring is empty,
// then closes the file. Runs on a pool thread.
void storageTask(contParams_t *params);

// Sets acqRunning and clears callbackSawStop and firstBlockDone, before the start.
void contArmCallbacks();

// Clears acqRunning and waits (at most 2 s) until no callback is in progress.
// Returns whether acqRunning was set.
bool contLeaveCallbacks(contParams_t &params);

// contLeaveCallbacks, nv6842_stopMultAcquisition (reported as
// "nv6842_stopMultAcquisition(d_vi)"), finish(); returns the error text.
QString contEndStreaming(contParams_t &params, ViSession vi, const acqReporter &report);

// The time stamp of a block's first scan; valid only when the stream reads stamps.
struct contBlockStamp {
    bool valid = false;
    int32_t seconds = 0;
    int32_t nanos = 0;
};

// Copies the display block into data (channels * copyScans doubles) and asks
// the callback for the next one; false when no new block is there.
// *block (when given) receives the copy's block number (0-based), *stamp
// (when given) its first time stamp.
bool contTakeDisplayCopy(contParams_t &params, double *data, int32_t *block = nullptr,
                         contBlockStamp *stamp = nullptr);

// "Cannot open file: \"%1\" for writing.", and with a non-zero errno the
// system's reason on a second line.
QString contOpenFailedText(const QString &fileName, int error = 0);

// Blocks waiting in the ring for the storage task, 0 ... contRingSlots - 1.
int contRingBacklog(const contParams_t &params);

// Why a split is refused: "The split size must be at least %1 MB (one block
// and the file header)." or "The split time must be at least %1 s (one
// block).", the smallest allowed value rounded up to three decimals; empty
// when the rule holds at least one block.
QString contSplitTooSmallText(const contSplitRule &split, int format, const StoredLayout &layout);

#endif
