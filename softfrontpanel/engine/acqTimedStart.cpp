#include "acqTimedStart.h"

#include <QThreadPool>
#include <QtConcurrent>

void timedStartTask(startMultInThd_params_t *params)
{
    if (params->callback)
        params->status = nv6842_startMultAcquisitionTimed64Ex(params->session, params->scans, params->callback,
                                                              params->user, params->startTime, 0);
    else
        params->status = nv6842_startMultAcquisitionTimed64(params->session, params->startTime, 0);
}

QFuture<void> acqRunTimedStart(startMultInThd_params_t *params)
{
    QThreadPool::globalInstance()->setMaxThreadCount(32);
    return QtConcurrent::run(timedStartTask, params);
}
