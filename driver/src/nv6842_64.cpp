// Simulated 6842 instrument driver: the exported calls.
#include "nv6842.h"

#include "nv6842_session.h"
#include "trellin_sim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <mutex>
#include <thread>

using namespace trellin::sim;

namespace {

std::shared_ptr<MultSession> multSession(ViSession vi)
{
    return System::instance().findAs<MultSession>(vi);
}

// A card addressed by its own session, or the first card of a multi-card session.
struct CardRef {
    std::shared_ptr<MultSession> session;
    CardState *card = nullptr;
    int index = 0;
    explicit operator bool() const { return card != nullptr; }
};

// The descriptor list of the latest nv6842_multInit, as tests see it through
// trellinSimLastMultInitDescriptors.
std::mutex lastListMutex;
std::string lastList;

// Every configuring call as received, one "name(arg, ...)" line each, for
// tests (trellinSimJournal). Bounded, so a long run cannot grow it for ever.
std::mutex journalMutex;
std::string journalText;
std::size_t journalLines = 0;
constexpr std::size_t maxJournalLines = 100000;

std::string journalArgument(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}
template <typename T> std::string journalArgument(T value)
{
    return std::to_string(value);
}

template <typename... Args> void journal(const char *name, Args... args)
{
    std::string line = name;
    line += '(';
    const char *separator = "";
    ((line += separator, line += journalArgument(args), separator = ", "), ...);
    line += ')';
    journalLine(line);
}

CardRef cardSession(ViSession vi)
{
    CardRef ref;
    const auto object = System::instance().find(vi);
    if (auto cs = std::dynamic_pointer_cast<CardSession>(object)) {
        ref.session = cs->parent;
        ref.index = cs->index;
        ref.card = &cs->card();
    } else if (auto ms = std::dynamic_pointer_cast<MultSession>(object)) {
        ref.session = ms;
        ref.card = ms->cards.front().get();
    }
    return ref;
}

} // namespace

void trellin::sim::journalLine(const std::string &line)
{
    std::lock_guard<std::mutex> lock(journalMutex);
    if (journalLines < maxJournalLines) {
        journalText += line;
        journalText += '\n';
        ++journalLines;
    }
}

namespace {

ViStatus invalidSession()
{
    return failWith(nv6842_ERROR_INV_SESSION, "The session handle is not an open 6842 session.");
}

ViStatus startChecks(MultSession &session, AcquisitionSetup &setup)
{
    std::lock_guard<std::mutex> lock(session.settingsMutex);
    setup = session.makeSetup();
    if (setup.plans->empty())
        return failWith(nv6842_ERROR_INV_PARAMETER, "No channel is enabled (configure one with a non-zero source).");
    return VI_SUCCESS;
}

ViStatus startTimedCommon(ViSession vi, ViInt32 scans, nv6842_dataCallback callback, ViAddr userData,
                          ViInt64 startTime)
{
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (callback && scans <= 0)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The number of scans per block must be positive.");
    AcquisitionSetup setup;
    if (const ViStatus status = startChecks(*session, setup))
        return status;
    if (startTime < 0 || startTime > (INT64_MAX / 1000000000LL))
        return failWith(nv6842_ERROR_INV_PARAMETER, "The start time is out of range.");
    if (callback)
        setup.scansPerTrigger = 0;
    const ViStatus status = session->acquisition->startTimed(setup, startTime * 1000000000LL, scans, callback,
                                                             userData, vi);
    return status < 0 ? failWith(status) : status;
}

void copyDriverText(const std::string &text, ViChar *buffer)
{
    copyText(text, buffer, 256);
}

} // namespace

extern "C" {

ViStatus nv6842_multInit(ViRsrc descriptors, ViInt16 fcNumbers[], ViBoolean, ViBoolean, ViSession *vi)
{
    {
        std::lock_guard<std::mutex> lock(lastListMutex);
        lastList = descriptors ? descriptors : "";
    }
    System::instance().refresh();
    TRELLIN_SIM_INJECT("nv6842_multInit");
    clearStatusDetails();
    return openSession(descriptors, fcNumbers, vi);
}

ViStatus nv6842_multClose(ViSession vi)
{
    TRELLIN_SIM_INJECT("nv6842_multClose");
    return closeSession(vi);
}

ViStatus nv6842_multReset(ViSession vi, ViInt16 mode)
{
    journal("nv6842_multReset", vi, mode);
    TRELLIN_SIM_INJECT("nv6842_multReset");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    session->acquisition->stop();
    // Mode 0 only stops the acquisition; any other mode also restores the
    // settings of a freshly opened session.
    if (mode != 0) {
        std::lock_guard<std::mutex> lock(session->settingsMutex);
        session->resetSettings();
    }
    return VI_SUCCESS;
}

ViStatus nv6842_getMultFCsession(ViSession vi, ViInt16 index, ViSession *fcVi)
{
    TRELLIN_SIM_INJECT("nv6842_getMultFCsession");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (!fcVi)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The session pointer is null.");
    if (index < 0 || index >= static_cast<int>(session->cards.size()))
        return failWith(nv6842_ERROR_INV_PARAMETER, "Card index " + std::to_string(index) +
                                                        " is outside the session's " +
                                                        std::to_string(session->cards.size()) + " card(s).");
    *fcVi = session->cards[static_cast<std::size_t>(index)]->sessionId;
    return VI_SUCCESS;
}

ViStatus nv6842_revision_query(ViSession vi, ViChar driverRevision[], ViChar instrumentRevision[])
{
    TRELLIN_SIM_INJECT("nv6842_revision_query");
    CardRef ref;
    if (vi != VI_NULL) {
        ref = cardSession(vi);
        if (!ref)
            return invalidSession();
    }
    if (driverRevision)
        copyText("3.1.0 (simulated)", driverRevision, 64);
    if (instrumentRevision)
        copyDriverText(ref ? ref.card->spec->firmware : std::string(), instrumentRevision);
    return VI_SUCCESS;
}

ViStatus nv6842_getSubType(ViSession fcVi, ViChar subtype[])
{
    TRELLIN_SIM_INJECT("nv6842_getSubType");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    if (!subtype)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The subtype buffer is null.");
    subtype[0] = static_cast<ViChar>(ref.card->spec->subtype >> 8);
    subtype[1] = static_cast<ViChar>(ref.card->spec->subtype & 0xFF);
    subtype[2] = '\0';
    return VI_SUCCESS;
}

ViStatus nv6842_getSerNum(ViSession fcVi, ViUInt32 *serialNumber)
{
    TRELLIN_SIM_INJECT("nv6842_getSerNum");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    if (!serialNumber)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The serial-number pointer is null.");
    *serialNumber = ref.card->spec->serial;
    return VI_SUCCESS;
}

ViStatus nv6842_error_message(ViSession, ViStatus status, ViChar text[])
{
    TRELLIN_SIM_INJECT("nv6842_error_message");
    if (!text)
        return nv6842_ERROR_INV_PARAMETER;
    if (!driverKnowsStatus(status)) {
        text[0] = '\0';
        return VI_WARN_UNKNOWN_STATUS;
    }
    copyDriverText(statusMessage(status), text);
    return VI_SUCCESS;
}

ViStatus nv6842_setMultChanConfig(ViSession vi, ViInt16 channel, ViInt16 source, ViInt16 gain, ViBoolean filter)
{
    journal("nv6842_setMultChanConfig", vi, channel, source, gain, filter);
    TRELLIN_SIM_INJECT("nv6842_setMultChanConfig");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    const int total = static_cast<int>(session->cards.size()) * channelsPerCard;
    if (channel < 1 || channel > total)
        return failWith(nv6842_ERROR_INV_PARAMETER,
                        "Channel " + std::to_string(channel) + " is outside 1.." + std::to_string(total) + ".");
    if (source < 0 || source > 2)
        return failWith(nv6842_ERROR_INV_PARAMETER, "Source code " + std::to_string(source) + " is not 0, 1 or 2.");
    if (!isValidGain(gain))
        return failWith(nv6842_ERROR_INV_PARAMETER, "Gain " + std::to_string(gain) + " is not supported.");
    std::lock_guard<std::mutex> lock(session->settingsMutex);
    ChannelSettings &s = session->cards[static_cast<std::size_t>((channel - 1) / channelsPerCard)]
                             ->channels[static_cast<std::size_t>((channel - 1) % channelsPerCard)];
    s.source = source;
    s.gain = gain;
    s.filter = filter != VI_FALSE;
    return VI_SUCCESS;
}

ViStatus nv6842_setMultATRIConfig(ViSession vi, ViInt16 channel, ViInt16 mode, ViInt16 hysteresis,
                                  ViInt16 comparison, ViReal64 threshold1, ViReal64 threshold2)
{
    journal("nv6842_setMultATRIConfig", vi, channel, mode, hysteresis, comparison, threshold1, threshold2);
    TRELLIN_SIM_INJECT("nv6842_setMultATRIConfig");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (channel < 1 || channel > channelsPerCard)
        return failWith(nv6842_ERROR_INV_PARAMETER, "Analog-trigger channel " + std::to_string(channel) +
                                                        " is outside 1..16 of the first card.");
    if (mode < 0 || mode > 2 || hysteresis < 0 || hysteresis > 1 || comparison < 0 || comparison > 1)
        return failWith(nv6842_ERROR_INV_PARAMETER,
                        "The analog-trigger mode, hysteresis or comparison is out of range.");
    if (!std::isfinite(threshold1) || !std::isfinite(threshold2) || std::fabs(threshold1) > 120 ||
        std::fabs(threshold2) > 120)
        return failWith(nv6842_ERROR_INV_PARAMETER, "An analog-trigger threshold is out of range.");
    std::lock_guard<std::mutex> lock(session->settingsMutex);
    session->cards.front()->analogTriggers[static_cast<std::size_t>(channel - 1)] = {mode, hysteresis, comparison,
                                                                                     threshold1, threshold2};
    return VI_SUCCESS;
}

ViStatus nv6842_setMultTrigConfig(ViSession vi, ViUInt16 trigSource, ViInt16 detection)
{
    journal("nv6842_setMultTrigConfig", vi, trigSource, detection);
    TRELLIN_SIM_INJECT("nv6842_setMultTrigConfig");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (trigSource > 0x1F)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The trigger-source set uses bits above bit 4.");
    if (detection != 0 && detection != 1)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The detection must be 0 (edge) or 1 (level).");
    std::lock_guard<std::mutex> lock(session->settingsMutex);
    session->trigSource = trigSource;
    session->detection = detection;
    return VI_SUCCESS;
}

ViStatus nv6842_multConfig(ViSession vi, ViInt16 syncMode, ViReal64 freq, ViInt16 mode, ViInt32 scansPerTrigger,
                           ViUInt16 synchA, ViUInt16 synchB)
{
    journal("nv6842_multConfig", vi, syncMode, freq, mode, scansPerTrigger, synchA, synchB);
    TRELLIN_SIM_INJECT("nv6842_multConfig");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (!(freq > 0) || !std::isfinite(freq))
        return failWith(nv6842_ERROR_INV_PARAMETER, "The sampling rate must be positive.");
    for (const auto &card : session->cards) {
        if (freq < card->spec->minRateHz || freq > card->spec->maxRateHz) {
            char text[160];
            std::snprintf(text, sizeof text, "The sampling rate %g Hz is outside the range %g..%g Hz of FC %d of ",
                          freq, card->spec->minRateHz, card->spec->maxRateHz, card->spec->position);
            return failWith(nv6842_ERROR_INV_PARAMETER, text + quoted(card->descriptor) + ".");
        }
    }
    if (mode < 0 || mode > 2)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The trigger mode must be 0, 1 or 2.");
    if (scansPerTrigger < 0)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The number of scans per trigger must not be negative.");
    std::lock_guard<std::mutex> lock(session->settingsMutex);
    session->syncMode = syncMode;
    session->rateHz = freq;
    session->mode = mode;
    session->scansPerTrigger = scansPerTrigger;
    session->synchA = synchA;
    session->synchB = synchB;
    return VI_SUCCESS;
}

ViStatus nv6842_getOTRIConfig(ViSession fcVi, ViInt16 *sourceMBA, ViInt16 *sourceMBB, ViInt16 *sourceFPOT1,
                              ViInt16 *sourceFPOT2, ViInt16 *sourceFPOT3, ViInt16 *sourceDE, ViInt16 *sourceDI)
{
    TRELLIN_SIM_INJECT("nv6842_getOTRIConfig");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    std::lock_guard<std::mutex> lock(ref.session->settingsMutex);
    ViInt16 *outs[7] = {sourceMBA, sourceMBB, sourceFPOT1, sourceFPOT2, sourceFPOT3, sourceDE, sourceDI};
    for (std::size_t i = 0; i < 7; ++i)
        if (outs[i])
            *outs[i] = ref.card->outputTriggers[i];
    return VI_SUCCESS;
}

ViStatus nv6842_setOTRIConfig(ViSession fcVi, ViInt16 sourceMBA, ViInt16 sourceMBB, ViInt16 sourceFPOT1,
                              ViInt16 sourceFPOT2, ViInt16 sourceFPOT3, ViInt16 sourceDE, ViInt16 sourceDI)
{
    journal("nv6842_setOTRIConfig", fcVi, sourceMBA, sourceMBB, sourceFPOT1, sourceFPOT2, sourceFPOT3, sourceDE, sourceDI);
    TRELLIN_SIM_INJECT("nv6842_setOTRIConfig");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    const ViInt16 values[7] = {sourceMBA, sourceMBB, sourceFPOT1, sourceFPOT2, sourceFPOT3, sourceDE, sourceDI};
    for (ViInt16 v : values)
        if (v < 0 || v > 15)
            return failWith(nv6842_ERROR_INV_PARAMETER, "Output-trigger source " + std::to_string(v) +
                                                            " is outside 0..15.");
    std::lock_guard<std::mutex> lock(ref.session->settingsMutex);
    std::copy(std::begin(values), std::end(values), ref.card->outputTriggers.begin());
    return VI_SUCCESS;
}

ViStatus nv6842_getFPTrigPolarity(ViSession fcVi, ViInt16 *polarity1, ViInt16 *polarity2, ViInt16 *polarity3)
{
    TRELLIN_SIM_INJECT("nv6842_getFPTrigPolarity");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    std::lock_guard<std::mutex> lock(ref.session->settingsMutex);
    ViInt16 *outs[3] = {polarity1, polarity2, polarity3};
    for (std::size_t i = 0; i < 3; ++i)
        if (outs[i])
            *outs[i] = ref.card->polarities[i];
    return VI_SUCCESS;
}

ViStatus nv6842_setFPTrigPolarity(ViSession fcVi, ViInt16 polarity1, ViInt16 polarity2, ViInt16 polarity3)
{
    journal("nv6842_setFPTrigPolarity", fcVi, polarity1, polarity2, polarity3);
    TRELLIN_SIM_INJECT("nv6842_setFPTrigPolarity");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    for (ViInt16 p : {polarity1, polarity2, polarity3})
        if (p != nv6842_LOW && p != nv6842_HIGH)
            return failWith(nv6842_ERROR_INV_PARAMETER, "A polarity must be nv6842_LOW (0) or nv6842_HIGH (1).");
    std::lock_guard<std::mutex> lock(ref.session->settingsMutex);
    ref.card->polarities = {polarity1, polarity2, polarity3};
    return VI_SUCCESS;
}

ViStatus nv6842_startMultAcquisition(ViSession vi)
{
    journal("nv6842_startMultAcquisition", vi);
    TRELLIN_SIM_INJECT("nv6842_startMultAcquisition");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    AcquisitionSetup setup;
    if (const ViStatus status = startChecks(*session, setup))
        return status;
    const ViStatus status = session->acquisition->startBlock(setup);
    return status < 0 ? failWith(status) : status;
}

ViStatus nv6842_stopMultAcquisition(ViSession vi)
{
    journal("nv6842_stopMultAcquisition", vi);
    TRELLIN_SIM_INJECT("nv6842_stopMultAcquisition");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    return session->acquisition->stop();
}

ViStatus nv6842_startMultAcquisitionEx(ViSession vi, ViInt32 scans, nv6842_dataCallback callback, ViAddr userData)
{
    journal("nv6842_startMultAcquisitionEx", vi, scans);
    TRELLIN_SIM_INJECT("nv6842_startMultAcquisitionEx");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (scans <= 0 || !callback)
        return failWith(nv6842_ERROR_INV_PARAMETER, "Continuous mode needs a positive block size and a callback.");
    AcquisitionSetup setup;
    if (const ViStatus status = startChecks(*session, setup))
        return status;
    setup.scansPerTrigger = 0;
    const ViStatus status = session->acquisition->startContinuous(setup, scans, callback, userData, vi);
    return status < 0 ? failWith(status) : status;
}

ViStatus nv6842_startMultAcquisitionTimed64(ViSession vi, ViInt64 startTime, ViInt32)
{
    journal("nv6842_startMultAcquisitionTimed64", vi, startTime);
    TRELLIN_SIM_INJECT("nv6842_startMultAcquisitionTimed64");
    return startTimedCommon(vi, 0, nullptr, nullptr, startTime);
}

ViStatus nv6842_startMultAcquisitionTimed64Ex(ViSession vi, ViInt32 scans, nv6842_dataCallback callback,
                                              ViAddr userData, ViInt64 startTime, ViInt32)
{
    journal("nv6842_startMultAcquisitionTimed64Ex", vi, scans, startTime);
    TRELLIN_SIM_INJECT("nv6842_startMultAcquisitionTimed64Ex");
    if (!callback)
        return failWith(nv6842_ERROR_INV_PARAMETER, "Continuous mode needs a callback.");
    return startTimedCommon(vi, scans, callback, userData, startTime);
}

ViStatus nv6842_checkMultAcquisition(ViSession vi, ViInt16 *state, ViUInt16 *errors, ViInt32 *scanBacklog)
{
    TRELLIN_SIM_INJECT("nv6842_checkMultAcquisition");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    session->acquisition->check(state, errors, scanBacklog);
    return VI_SUCCESS;
}

ViStatus nv6842_readMultAcquisition(ViSession vi, ViInt32 scans, ViInt32 *scansRead, ViReal64 data[])
{
    TRELLIN_SIM_INJECT("nv6842_readMultAcquisition");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (const auto limit = System::instance().shortRead("nv6842_readMultAcquisition"))
        scans = std::min(scans, *limit);
    const ViStatus status = session->acquisition->read(scans, scansRead, data, nullptr, nullptr);
    return status < 0 ? failWith(status) : status;
}

ViStatus nv6842_readMultAcquisitionEx(ViSession vi, ViInt32 scans, ViInt32 *scansRead, ViReal64 data[],
                                      ViInt32 seconds[], ViInt32 nanoseconds[])
{
    TRELLIN_SIM_INJECT("nv6842_readMultAcquisitionEx");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (const auto limit = System::instance().shortRead("nv6842_readMultAcquisitionEx"))
        scans = std::min(scans, *limit);
    const ViStatus status = session->acquisition->read(scans, scansRead, data, seconds, nanoseconds);
    return status < 0 ? failWith(status) : status;
}

ViStatus nv6842_getDAQStatus(ViSession fcVi, ViUInt16 *state, ViUInt16 *errors, ViUInt16 *chErrors)
{
    TRELLIN_SIM_INJECT("nv6842_getDAQStatus");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    ViInt16 stage = 0;
    const uint16_t bits = ref.session->acquisition->takeChannelErrors(ref.index, &stage, errors);
    if (state)
        *state = static_cast<ViUInt16>(stage);
    if (chErrors)
        *chErrors = bits;
    return VI_SUCCESS;
}

ViStatus nv6842_generateITRI(ViSession vi, ViInt16 mode)
{
    journal("nv6842_generateITRI", vi, mode);
    TRELLIN_SIM_INJECT("nv6842_generateITRI");
    const auto session = multSession(vi);
    if (!session)
        return invalidSession();
    if (mode != nv6842_LOW && mode != nv6842_HIGH && mode != nv6842_PULSE)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The mode must be nv6842_LOW, nv6842_HIGH or nv6842_PULSE.");
    // A pulse or a rising level triggers; a low level does nothing.
    if (mode != nv6842_LOW)
        session->acquisition->softwareTrigger();
    return VI_SUCCESS;
}

ViStatus nv6842_getCurrentTimeEx(ViSession fcVi, ViInt64 *seconds, ViInt32 *nanoseconds, ViInt32 *utcOffset,
                                 ViInt16 *reserved)
{
    TRELLIN_SIM_INJECT("nv6842_getCurrentTimeEx");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    const int32_t offset = ref.session->config->settings.utcOffset;
    const int64_t now = cardNowNs(offset);
    if (seconds)
        *seconds = now / 1000000000LL;
    if (nanoseconds)
        *nanoseconds = static_cast<ViInt32>(now % 1000000000LL);
    if (utcOffset)
        *utcOffset = offset;
    if (reserved)
        *reserved = 0;
    return VI_SUCCESS;
}

ViStatus nv6842_calibrateChannels(ViSession fcVi, ViInt16 channelMask, ViInt16 gain, ViReal64 *offsets,
                                  ViReal64 *gains, ViInt32 *)
{
    journal("nv6842_calibrateChannels", fcVi, channelMask, gain);
    TRELLIN_SIM_INJECT("nv6842_calibrateChannels");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    if (channelMask == 0)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The channel mask is empty.");
    if (!isValidGain(gain))
        return failWith(nv6842_ERROR_INV_PARAMETER, "Gain " + std::to_string(gain) + " is not supported.");
    if (ref.session->acquisition->busy())
        return failWith(nv6842_ERROR_ACQ_RUNNING, "Stop the acquisition before calibrating.");
    std::this_thread::sleep_for(std::chrono::milliseconds(ref.session->config->settings.calibrationMs));
    // The simulated front end needs no correction: zero offsets, unit gains.
    for (int ch = 0; ch < channelsPerCard; ++ch) {
        if (!(static_cast<uint16_t>(channelMask) & (1u << ch)))
            continue;
        if (offsets)
            offsets[ch] = 0.0;
        if (gains)
            gains[ch] = 1.0;
    }
    std::lock_guard<std::mutex> lock(ref.session->settingsMutex);
    ref.card->calibratedGains.insert(gain);
    return VI_SUCCESS;
}

ViStatus nv6842_storeCalibData(ViSession fcVi, ViInt16 gain)
{
    journal("nv6842_storeCalibData", fcVi, gain);
    TRELLIN_SIM_INJECT("nv6842_storeCalibData");
    const CardRef ref = cardSession(fcVi);
    if (!ref)
        return invalidSession();
    if (!isValidGain(gain))
        return failWith(nv6842_ERROR_INV_PARAMETER, "Gain " + std::to_string(gain) + " is not supported.");
    std::lock_guard<std::mutex> lock(ref.session->settingsMutex);
    if (ref.card->calibratedGains.erase(gain) == 0)
        return nv6842_WARN_CALIBRATION;
    return VI_SUCCESS;
}

} // extern "C"

int trellinSimLastMultInitDescriptors(char *text, int size)
{
    std::lock_guard<std::mutex> lock(lastListMutex);
    if (text && size > 0)
        copyText(lastList, text, static_cast<std::size_t>(size));
    return static_cast<int>(lastList.size());
}

int trellinSimJournal(char *text, int size)
{
    std::lock_guard<std::mutex> lock(journalMutex);
    if (text && size > 0)
        copyText(journalText, text, static_cast<std::size_t>(size));
    return static_cast<int>(journalText.size());
}

void trellinSimJournalClear()
{
    std::lock_guard<std::mutex> lock(journalMutex);
    journalText.clear();
    journalLines = 0;
}
