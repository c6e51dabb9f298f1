#include "acqState.h"

#include "nv6842.h"

std::atomic<int16_t> gl_state{0};
std::atomic<uint16_t> gl_errors{0};
std::atomic<int32_t> gl_scanBacklog{0};

std::atomic<bool> acqRunning{false};
std::atomic<bool> callbackSawStop{false};
std::atomic<bool> firstBlockDone{false};
std::atomic<int32_t> blocksAcquired{0};
std::atomic<int32_t> displayedBlock{0};
std::atomic<uint64_t> bytesWritten{0};

bool acqReportFailed(ViStatus status, const char *callText, const acqReporter &report)
{
    if (status != VI_SUCCESS && report)
        report(status, callText);
    return status < VI_SUCCESS;
}

void publishStage(int16_t state, uint16_t errors, int32_t scanBacklog)
{
    gl_state = state;
    gl_errors = errors;
    gl_scanBacklog = scanBacklog;
}

ViStatus acqPollStage(ViSession vi, const acqReporter &report)
{
    ViInt16 state = 0;
    ViUInt16 errors = 0;
    ViInt32 backlog = 0;
    const ViStatus status = nv6842_checkMultAcquisition(vi, &state, &errors, &backlog);
    if (status >= VI_SUCCESS)
        publishStage(state, errors, backlog);
    acqReportFailed(status, "nv6842_checkMultAcquisition(d_vi, &gl_state, &gl_errors, &gl_scanBacklog)", report);
    return status;
}
