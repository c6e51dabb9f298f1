// Timed start at the PTP alarm time: the driver call blocks until the card
// clock reaches the start time, so it runs on the global thread pool while
// the GUI thread keeps showing the countdown.
//
// Use:
//   if (acqStartTimePassed(d_vi, alarmTime, report)) warn (acqStartTimePassedText()), do not start;
//   startMultInThd_params_t p{d_vi, 0, alarmTime, callback or nullptr, user or nullptr, scans or 0};
//   QFutureWatcher<void> w;  w.setFuture(acqRunTimedStart(&p));
//   ... process events until w.isFinished() ...
//   acqTimedStartDone(p) (then true), and only then read p.status:
//   p.status < 0: report it as "nv6842_startMultAcquisitionTimed", unless
//   acqTimedStartCancelled(p.status): a stop ended the wait.
// nv6842_stopMultAcquisition(d_vi) from the GUI thread cancels the wait.
// p must live until the future has finished; only the pool thread touches it
// meanwhile.
#ifndef ACQTIMEDSTART_H
#define ACQTIMEDSTART_H

#include "acqState.h"
#include "nv6842.h"

#include <QFuture>

#include <atomic>

struct startMultInThd_params_t {
    ViSession session = VI_NULL;
    ViStatus status = VI_SUCCESS;        // result of the driver call
    ViInt64 startTime = 0;               // card seconds
    nv6842_dataCallback callback = nullptr; // continuous mode; null for a block
    ViAddr user = nullptr;
    ViInt32 scans = 0;                   // scans per callback block
    // The hand-overs through an atomic of our own, since Qt's queue and
    // future synchronise inside Qt, which thread checkers cannot see: 1 when
    // acqRunTimedStart() hands the record to the pool, 2 once the task has
    // stored status.
    std::atomic<int> stage{0};
};

// Calls nv6842_startMultAcquisitionTimed64Ex with a callback, else
// nv6842_startMultAcquisitionTimed64, and stores the status.
void timedStartTask(startMultInThd_params_t *params);

// Runs timedStartTask on the global pool, whose maximum is set to 32 first.
QFuture<void> acqRunTimedStart(startMultInThd_params_t *params);

// Whether startTime (card seconds) is not ahead of the first card's clock
// (nv6842_getCurrentTimeEx): the driver would start at once. A failing clock
// read is reported with its call text and counts as not passed, so that the
// wait itself decides.
bool acqStartTimePassed(ViSession vi, int64_t startTime, const acqReporter &report);

// The task has stored its status; after true, status may be read.
bool acqTimedStartDone(const startMultInThd_params_t &params);

// The status a timed start returns when a stop cancelled its wait.
bool acqTimedStartCancelled(ViStatus status);

#endif
