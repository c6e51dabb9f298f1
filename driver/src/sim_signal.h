// The test signal: every sample is a pure function of the channel's plan
// (card, channel, settings) and the scan's index since the trigger, so that
// data can be produced lazily when read and checked exactly by tests.
#ifndef TRELLIN_SIM_SIGNAL_H
#define TRELLIN_SIM_SIGNAL_H

#include "sim_config.h"
#include "sim_export.h"

#include <array>
#include <cstdint>
#include <vector>

namespace trellin::sim {

constexpr double fullScaleVolts = 10.0;

struct ChannelPlan {
    int cardIndex = 0; // in the session
    int channel = 0;   // 0-based on the card
    int source = 1;    // 1 front panel, 2 motherboard voltage reference
    double gain = 1;
    double vrefVolts = 0;
    double offset = 0;
    double amplitude = 0;
    Wave wave = Wave::Sine;
    uint64_t phase0 = 0;   // start phase, 2^64 = one cycle
    uint64_t increment = 0; // phase advance per scan, 2^64 = one cycle
    std::array<double, maxHarmonic + 1> harmonics{};
    bool hasHarmonics = false;
    double noiseRms = 0;
    uint64_t noiseKey = 0;
    bool mayClip = false; // gain times the largest possible input exceeds full scale
};

TRELLIN_SIM_API ChannelPlan makeChannelPlan(const SignalSpec &signal, int carrierOrdinal, int position,
                                            int channel, int source, int gain, double vrefVolts,
                                            double rateHz, uint64_t seed);
// Writes count samples (volts after gain, saturated at +-10 V) for scans
// first, first+1, ...; returns true when any sample was saturated.
TRELLIN_SIM_API bool generateChannel(const ChannelPlan &plan, int64_t first, int32_t count, double *out);
// Writes count samples of every plan, plan after plan (plan o at out + o * count),
// each exactly as generateChannel would; clipped[o] becomes 1 when any sample
// of plan o was saturated. Sines of the same phase and frequency are computed once.
TRELLIN_SIM_API void generateChannels(const std::vector<ChannelPlan> &plans, int64_t first, int32_t count,
                                      double *out, std::vector<uint8_t> &clipped);
// Time of a scan after the trigger, nanoseconds.
TRELLIN_SIM_API int64_t scanOffsetNs(double rateHz, int64_t scan);

} // namespace trellin::sim

#endif
