#include "acqTimedStart.h"

#include <QThreadPool>
#include <QtConcurrent>

void timedStartTask(startMultInThd_params_t *params)
{
    params->stage.load(std::memory_order_acquire); // what the GUI thread filled in
    if (params->callback)
        params->status = nv6842_startMultAcquisitionTimed64Ex(params->session, params->scans, params->callback,
                                                              params->user, params->startTime, 0);
    else
        params->status = nv6842_startMultAcquisitionTimed64(params->session, params->startTime, 0);
    params->stage.store(2, std::memory_order_release);
}

bool acqTimedStartDone(const startMultInThd_params_t &params)
{
    return params.stage.load(std::memory_order_acquire) == 2;
}

QFuture<void> acqRunTimedStart(startMultInThd_params_t *params)
{
    QThreadPool::globalInstance()->setMaxThreadCount(32);
    params->stage.store(1, std::memory_order_release);
    return QtConcurrent::run(timedStartTask, params);
}

bool acqStartTimePassed(ViSession vi, int64_t startTime, const acqReporter &report)
{
    ViSession fcvi = VI_NULL;
    if (acqReportFailed(nv6842_getMultFCsession(vi, 0, &fcvi), "nv6842_getMultFCsession(d_vi, 0, &fcvi)", report))
        return false;
    ViInt64 seconds = 0;
    ViInt32 nanoseconds = 0;
    if (acqReportFailed(nv6842_getCurrentTimeEx(fcvi, &seconds, &nanoseconds, nullptr, nullptr),
                        "nv6842_getCurrentTimeEx(fcvi, &seconds, &nanoseconds, NULL, NULL)", report))
        return false;
    // The start is the beginning of that second: within it, it has passed.
    return startTime <= seconds;
}

bool acqTimedStartCancelled(ViStatus status)
{
    return status == nv6842_ERROR_ABORTED;
}
