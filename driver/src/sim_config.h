// The simulated system as described by TRELLIN_SIM: carriers with their
// function cards, other VISA resources, injected failures and global settings.
#ifndef TRELLIN_SIM_CONFIG_H
#define TRELLIN_SIM_CONFIG_H

#include "sim_export.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace trellin::sim {

constexpr int channelsPerCard = 16;
constexpr int maxPositions = 8;
constexpr int maxHarmonic = 9;

// Shape of a channel's input over one cycle (see SIMULATOR.md). The sine
// costs a sin() per sample and harmonic; the others are a few integer
// operations on the scan's phase.
enum class Wave { Sine, Triangle, Square, Ramp };

// Input signal of one channel, in volts before the channel's gain.
struct SignalSpec {
    Wave wave = Wave::Sine;
    double freqHz = 0;
    double amplitude = 0;
    double offset = 0;
    double phaseDeg = 0;
    std::array<double, maxHarmonic + 1> harmonics{}; // index k: amplitude of harmonic k (2..9)
    double noiseRms = 0;
};

struct CardSpec {
    int position = 0; // 1-based FC number
    uint16_t model = 0x6842;
    uint16_t subtype = ('A' << 8) | 'A';
    double minRateHz = 1;
    double maxRateHz = 50000;
    uint32_t serial = 0;
    uint16_t revision = ('B' << 8) | '3';
    uint16_t scuModel = 0;
    std::string firmware = "1.0.1.0";
    std::array<SignalSpec, channelsPerCard> signals{};
};

// A carrier (motherboard). Immutable after parsing except the voltage
// reference output, which the driver sets at run time.
class TRELLIN_SIM_API Carrier
{
public:
    enum class Kind { Vxi, Lxi };

    Kind kind = Kind::Vxi;
    int ordinal = 0; // 0-based order among the configuration's carriers
    int board = 0;
    int slot = 0;
    int logicalAddress = 0;
    uint16_t model = 0;
    std::string ip, host, device;
    std::vector<std::string> aliases;
    int positions = 0;
    bool hasVref = true;
    std::vector<double> vrefValues;
    int16_t vrefCount = 0; // mirrors vrefValues.size() for the driver's table pointer
    std::vector<CardSpec> cards; // sorted by position

    std::string descriptor() const;
    const CardSpec *card(int position) const;

    // Output of the motherboard voltage reference, volts.
    double vrefOutput() const;
    void setVrefOutput(double volts);
    void initVrefOutput(double volts) { output = volts; }

private:
    mutable std::mutex outputMutex;
    double output = 0;
};

struct PlainResource {
    std::string descriptor;
    bool openFails = false;
};

struct FailRule {
    std::string call;
    int32_t status = 0;
    int64_t count = 1;    // -1 = always
    int64_t after = 0;    // calls that pass untouched before the rule applies
    int32_t maxScans = -1; // 'short' rule: a read delivers at most this many scans
};

struct Settings {
    int32_t utcOffset = 37;
    int64_t fifoScans = 262144;
    int calibrationMs = 1000;
    int armMs = 10;
    int triggerPeriodMs = 100;
    uint64_t noiseSeed = 1;
};

struct Config {
    std::vector<std::shared_ptr<Carrier>> carriers;
    std::vector<PlainResource> resources;
    std::vector<std::string> listing; // every descriptor the resource search reports, in order
    std::vector<FailRule> failRules;
    Settings settings;
};

struct ParseResult {
    std::shared_ptr<Config> config; // null on error
    std::string error;
};

// Parses statements (see SIMULATOR.md). Empty text gives the default system.
TRELLIN_SIM_API ParseResult parseConfig(const std::string &text);
// As parseConfig, but a value beginning with '@' names a file of statements.
TRELLIN_SIM_API ParseResult parseConfigValue(const std::string &value);
TRELLIN_SIM_API const char *defaultConfigText();
// The names of every exported call that 'fail' may name.
TRELLIN_SIM_API bool isKnownCallName(const std::string &name);

} // namespace trellin::sim

#endif
