// Sessions of the simulated 6842 driver: a multi-card session (d_vi) and one
// session per card (fc_vi), with the settings the driver calls store.
#ifndef TRELLIN_NV6842_SESSION_H
#define TRELLIN_NV6842_SESSION_H

#include "nv6842.h"
#include "nv6842_acquisition.h"
#include "sim_system.h"

#include <array>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace trellin::sim {

struct ChannelSettings {
    ViInt16 source = 0; // 0 = disabled, 1 front panel, 2 voltage reference
    ViInt16 gain = 1;
    bool filter = false;
};

struct AnalogTrigger {
    ViInt16 mode = 0, hysteresis = 0, comparison = 0;
    double threshold1 = 0, threshold2 = 0;
};

struct CardState {
    std::shared_ptr<Carrier> carrier;
    const CardSpec *spec = nullptr; // owned by carrier
    std::string descriptor;         // as given to multInit
    ViObject sessionId = 0;
    std::array<ChannelSettings, channelsPerCard> channels{};
    std::array<AnalogTrigger, channelsPerCard> analogTriggers{};
    std::array<ViInt16, 7> outputTriggers{};
    std::array<ViInt16, 3> polarities{nv6842_HIGH, nv6842_HIGH, nv6842_HIGH};
    std::set<int> calibratedGains; // since the session was opened, not yet stored
    nv6842_vrefIf vrefIf{};
    instEnv_t instEnv{};
};

class MultSession : public SimObject
{
public:
    ~MultSession() override;
    ViStatus getAttribute(ViAttr attribute, void *state) override;

    // Defaults of a freshly opened card: channel 1 of the first card enabled.
    void resetSettings();
    AcquisitionSetup makeSetup();

    std::shared_ptr<const Config> config;
    std::mutex settingsMutex; // the settings below; the acquisition has its own lock
    std::vector<std::unique_ptr<CardState>> cards;
    multEnv_t multEnv{};
    ViUInt16 trigSource = 0;
    ViInt16 detection = 0;
    ViInt16 syncMode = nv6842_MB_SYNC_MODE;
    double rateHz = 10000;
    ViInt16 mode = 0;
    ViInt32 scansPerTrigger = 1024;
    ViUInt16 synchA = 0xFFFE, synchB = 0xFFFE;
    std::shared_ptr<Acquisition> acquisition;
};

class CardSession : public SimObject
{
public:
    CardSession(std::shared_ptr<MultSession> parent, int index);
    ViStatus getAttribute(ViAttr attribute, void *state) override;

    const std::shared_ptr<MultSession> parent;
    const int index;
    CardState &card() const { return *parent->cards[static_cast<std::size_t>(index)]; }
};

// Opens the listed cards as one session; on failure records why (status detail).
ViStatus openSession(const char *descriptors, const ViInt16 fcNumbers[], ViSession *vi);
ViStatus closeSession(ViSession vi);

// Records an error's precise reason for the error-text calls and returns the status.
ViStatus failWith(ViStatus status, const std::string &detail = std::string());

bool isValidGain(int gain);

// Adds one "name(arg, ...)" line to the journal of configuring calls that
// tests read with trellinSimJournal.
void journalLine(const std::string &line);

} // namespace trellin::sim

#endif
