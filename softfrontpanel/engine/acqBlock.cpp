#include "acqBlock.h"

#include "nv6842.h"

bool acqBlockReady(int32_t scans)
{
    return gl_state == nv6842_STAGE_END || gl_scanBacklog >= scans;
}

ViStatus acqFetchBlock(ViSession vi, int32_t scans, double *data, int32_t *got, const acqReporter &report)
{
    *got = 0;
    ViStatus status = nv6842_stopMultAcquisition(vi);
    if (acqReportFailed(status, "nv6842_stopMultAcquisition(d_vi)", report))
        return status;
    ViInt32 delivered = 0;
    status = nv6842_readMultAcquisition(vi, scans, &delivered, data);
    if (acqReportFailed(status, "nv6842_readMultAcquisition(d_vi, scans, (ViInt32 *)&scans, data)", report))
        return status;
    *got = delivered;
    return status;
}

ViStatus acqReadOverRange(ViSession vi, const std::vector<uint16_t> &chanMask, std::vector<uint16_t> *marks,
                          const acqReporter &report)
{
    marks->assign(chanMask.size(), 0);
    for (size_t j = 0; j < chanMask.size(); ++j) {
        ViSession fcvi = VI_NULL;
        ViStatus status = nv6842_getMultFCsession(vi, ViInt16(j), &fcvi);
        if (acqReportFailed(status, "nv6842_getMultFCsession(d_vi, j, &fcvi)", report))
            return status;
        ViUInt16 chErrors = 0;
        status = nv6842_getDAQStatus(fcvi, nullptr, nullptr, &chErrors);
        if (acqReportFailed(status, "nv6842_getDAQStatus(fcvi, NULL, NULL, &chErrors)", report))
            return status;
        (*marks)[j] = uint16_t(chErrors & chanMask[j]);
    }
    return VI_SUCCESS;
}

ViStatus acqSoftwareTrigger(ViSession vi, const acqReporter &report)
{
    const ViStatus status = nv6842_generateITRI(vi, nv6842_PULSE);
    acqReportFailed(status, "nv6842_generateITRI(d_vi, nv6842_PULSE)", report);
    return status;
}
