#include "acqSetup.h"

#include "nv6842.h"

#include <cmath>

bool acqFixedSynch(ViSession vi, const acqSettings &settings, const acqReporter &report)
{
    bool fixed = !settings.lxiCarrier;
    ViAddr record = nullptr;
    const ViStatus status = viGetAttribute(vi, VI_ATTR_USER_DATA, &record);
    acqReportFailed(status, "viGetAttribute(d_vi, VI_ATTR_USER_DATA, &multEnv)", report);
    if (status < VI_SUCCESS || !record)
        return fixed;
    const multEnv_t *multEnv = static_cast<const multEnv_t *>(record);
    if (multEnv->mode == 1)
        fixed = settings.lxiCarrier ? !settings.ptpAlarmChecked : true;
    return fixed;
}

acqTriggerMode acqTriggerModeOf(const acqSettings &settings)
{
    acqTriggerMode t;
    t.trigSource = settings.trigSource & 0x1F;
    if (acqTimedStartWanted(settings))
        t.mode = 2;
    else
        t.mode = t.trigSource != 0 ? 1 : 0;
    t.scansTrig = settings.storage ? 0 : settings.scans;
    return t;
}

uint16_t acqSynchValue(bool fixedSynch, int syncMethod)
{
    if (fixedSynch)
        return 0xFFFE;
    return syncMethod == 0 ? 0xFFFE : 0xFFFF;
}

bool acqTimedStartWanted(const acqSettings &settings)
{
    return settings.lxiCarrier && settings.ptpAlarmChecked;
}

bool acqProgramCards(ViSession vi, const acqSettings &settings, const acqReporter &report)
{
    const acqTriggerMode t = acqTriggerModeOf(settings);
    const ViUInt16 synch = acqSynchValue(settings.fixedSynch, settings.syncMethod);
    bool failed = false;
    auto call = [&](ViStatus status, const char *callText) { failed |= acqReportFailed(status, callText, report); };
    call(nv6842_setMultTrigConfig(vi, t.trigSource, ViInt16(settings.trgLevel)),
         "nv6842_setMultTrigConfig(d_vi, trigSource, parent->daq->trgLevel->currentIndex())");
    call(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, settings.freq, t.mode, t.scansTrig, synch, synch),
         "nv6842_multConfig(d_vi, nv6842_MB_SYNC_MODE, freq, mode, scans_trig, synch, synch)");
    failed |= !acqProgramOutputTriggers(vi, settings.outputTriggers, report);
    return !failed;
}

bool acqProgramOutputTriggers(ViSession vi, const std::vector<acqOutputTrigger> &outputTriggers,
                              const acqReporter &report)
{
    bool failed = false;
    auto call = [&](ViStatus status, const char *callText) { failed |= acqReportFailed(status, callText, report); };
    for (size_t j = 0; j < outputTriggers.size(); ++j) {
        const acqOutputTrigger &out = outputTriggers[j];
        ViSession fcvi = VI_NULL;
        call(nv6842_getMultFCsession(vi, ViInt16(j), &fcvi), "nv6842_getMultFCsession(d_vi, j, &fcvi)");
        ViInt16 sourceMBA = 0, sourceMBB = 0, sourceFPOT1 = 0, sourceFPOT2 = 0, sourceFPOT3 = 0, sourceDE = 0,
                sourceDI = 0;
        call(nv6842_getOTRIConfig(fcvi, &sourceMBA, &sourceMBB, &sourceFPOT1, &sourceFPOT2, &sourceFPOT3, &sourceDE,
                                  &sourceDI),
             "nv6842_getOTRIConfig(fcvi, &sourceMBA, &sourceMBB, &sourceFPOT1, &sourceFPOT2, "
             "&sourceFPOT3, &sourceDE, &sourceDI)");
        call(nv6842_setOTRIConfig(fcvi, sourceMBA, sourceMBB, ViInt16(out.source1), ViInt16(out.source2), sourceFPOT3,
                                  sourceDE, sourceDI),
             "nv6842_setOTRIConfig(fcvi, sourceMBA, sourceMBB, "
             "parent->fpOutTrg[j]->outputTrigger1->itemData("
             "parent->fpOutTrg[j]->outputTrigger1->currentIndex()).toInt(), "
             "parent->fpOutTrg[j]->outputTrigger2->itemData("
             "parent->fpOutTrg[j]->outputTrigger2->currentIndex()).toInt(), "
             "sourceFPOT3, sourceDE, sourceDI)");
        ViInt16 pol3 = nv6842_HIGH;
        call(nv6842_getFPTrigPolarity(fcvi, nullptr, nullptr, &pol3),
             "nv6842_getFPTrigPolarity(fcvi, NULL, NULL, &pol3)");
        call(nv6842_setFPTrigPolarity(fcvi, out.negate1 ? nv6842_LOW : nv6842_HIGH,
                                      out.negate2 ? nv6842_LOW : nv6842_HIGH, pol3),
             "nv6842_setFPTrigPolarity(fcvi, "
             "parent->fpOutTrg[j]->outputTrigger1negate->isChecked() ? nv6842_LOW : nv6842_HIGH, "
             "parent->fpOutTrg[j]->outputTrigger2negate->isChecked() ? nv6842_LOW : nv6842_HIGH, pol3)");
    }
    return !failed;
}

int32_t acqEnabledChannels(const std::vector<uint16_t> &chanMask)
{
    int32_t n = 0;
    for (uint16_t mask : chanMask)
        for (unsigned m = mask; m; m &= m - 1)
            ++n;
    return n;
}

QString acqBlockTooLargeText(int64_t channels, int64_t scans)
{
    if (channels * scans <= int64_t(blockBufferValues))
        return QString();
    return QStringLiteral("The block of %1 channels x %2 scans exceeds the %3 values the display buffer holds.")
        .arg(channels)
        .arg(scans)
        .arg(qulonglong(blockBufferValues));
}

QString acqRateMissingText(double freq)
{
    if (freq > 0 && std::isfinite(freq))
        return QString();
    return QStringLiteral("No sampling rate is selected: the card offers none of the listed rates.");
}
