// Process-wide acquisition state shared by the GUI thread, the driver's
// callback thread and the storage task.
//
// Use: the panel and the engine write the stage globals only through
// publishStage() or acqPollStage(), which read the driver into locals first,
// so no thread ever hands the driver a pointer to a shared variable; any
// thread may read them at any time. The counters are reset by the panel
// before a start (start()) and advanced by the streaming engine.
#ifndef ACQSTATE_H
#define ACQSTATE_H

#include "visa.h"

#include <atomic>
#include <cstdint>
#include <functional>

// Reports a driver call that did not return VI_SUCCESS: its status (negative
// error, positive warning) and the call's source text as the operator sees
// it. The panel shows it; the recorder prints it.
using acqReporter = std::function<void(ViStatus status, const char *callText)>;

// Hands a status other than VI_SUCCESS to report (when given) with the call's
// text; true when it is an error (negative).
bool acqReportFailed(ViStatus status, const char *callText, const acqReporter &report);

// Last values of nv6842_checkMultAcquisition: stage code (0 ... 7), error
// bits, scans acquired but not yet read.
extern std::atomic<int16_t> gl_state;
extern std::atomic<uint16_t> gl_errors;
extern std::atomic<int32_t> gl_scanBacklog;

extern std::atomic<bool> acqRunning;      // continuous acquisition: callbacks may read blocks
extern std::atomic<bool> callbackSawStop; // a callback found acqRunning clear
extern std::atomic<bool> firstBlockDone;  // single-shot streaming: the first block is in
extern std::atomic<int32_t> blocksAcquired;  // blocks the callback has read
extern std::atomic<int32_t> displayedBlock;  // block number of the display copy (0-based)
extern std::atomic<uint64_t> bytesWritten;   // bytes the storage task has written

// Publishes one reading of the driver's stage.
void publishStage(int16_t state, uint16_t errors, int32_t scanBacklog);

// nv6842_checkMultAcquisition into locals, then publishStage(). A status
// other than VI_SUCCESS goes to report (when given) with the text
// "nv6842_checkMultAcquisition(d_vi, &gl_state, &gl_errors, &gl_scanBacklog)";
// after a failure the globals keep their values. Returns the status.
ViStatus acqPollStage(ViSession vi, const acqReporter &report = acqReporter());

#endif
