#include "sim_signal.h"

#include "sim_descriptor.h"
#include "sim_system.h"
#include "trellin_sim.h"

#include <cmath>
#include <cstring>
#include <mutex>

namespace trellin::sim {

namespace {

constexpr double twoPow64 = 18446744073709551616.0;
// Radians per phase unit when the phase is read as a signed 64-bit number.
constexpr double radiansPerUnit = 3.14159265358979323846 / 9223372036854775808.0;

uint64_t splitmix64(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Fraction of a cycle as a 64-bit phase; integer arithmetic on it stays exact
// however large the scan index grows.
uint64_t cyclesToPhase(double cycles)
{
    const double fraction = cycles - std::floor(cycles);
    const double scaled = fraction * twoPow64;
    return scaled >= twoPow64 ? 0 : static_cast<uint64_t>(scaled);
}

double angle(uint64_t phase)
{
    return static_cast<double>(static_cast<int64_t>(phase)) * radiansPerUnit;
}

// Approximately normal noise of unit variance from one hash: the sum of four
// 16-bit uniforms (Irwin-Hall), centred and scaled.
double unitNoise(uint64_t key, int64_t scan)
{
    const uint64_t h = splitmix64(key + static_cast<uint64_t>(scan) * 0xD1B54A32D192ED03ULL);
    double sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += (static_cast<double>((h >> (16 * i)) & 0xFFFF) + 0.5) / 65536.0;
    return (sum - 2.0) * 1.7320508075688772;
}

} // namespace

ChannelPlan makeChannelPlan(const SignalSpec &signal, int carrierOrdinal, int position, int channel,
                            int source, int gain, double vrefVolts, double rateHz, uint64_t seed)
{
    ChannelPlan p;
    p.channel = channel;
    p.source = source;
    p.gain = gain;
    p.vrefVolts = vrefVolts;
    p.offset = signal.offset;
    p.amplitude = signal.amplitude;
    p.phase0 = cyclesToPhase(signal.phaseDeg / 360.0);
    p.increment = cyclesToPhase(signal.freqHz / rateHz);
    p.harmonics = signal.harmonics;
    double peak = std::fabs(signal.offset) + std::fabs(signal.amplitude);
    for (int k = 2; k <= maxHarmonic; ++k) {
        p.hasHarmonics = p.hasHarmonics || signal.harmonics[k] != 0;
        peak += std::fabs(signal.harmonics[k]);
    }
    p.noiseRms = signal.noiseRms;
    peak += 2 * 1.7320508075688772 * signal.noiseRms;
    p.noiseKey = splitmix64(seed ^ splitmix64((static_cast<uint64_t>(carrierOrdinal) << 32) |
                                              (static_cast<uint64_t>(position) << 8) |
                                              static_cast<uint64_t>(channel)));
    if (source == 2)
        peak = std::fabs(vrefVolts);
    p.mayClip = peak * gain > fullScaleVolts;
    return p;
}

bool generateChannel(const ChannelPlan &p, int64_t first, int32_t count, double *out)
{
    bool clipped = false;
    if (p.source == 2) {
        double v = p.gain * p.vrefVolts;
        if (v > fullScaleVolts || v < -fullScaleVolts) {
            v = v > 0 ? fullScaleVolts : -fullScaleVolts;
            clipped = count > 0;
        }
        for (int32_t i = 0; i < count; ++i)
            out[i] = v;
        return clipped;
    }
    uint64_t phase = p.phase0 + static_cast<uint64_t>(first) * p.increment;
    for (int32_t i = 0; i < count; ++i, phase += p.increment) {
        double x = p.offset + p.amplitude * std::sin(angle(phase));
        if (p.hasHarmonics)
            for (int k = 2; k <= maxHarmonic; ++k)
                if (p.harmonics[k] != 0)
                    x += p.harmonics[k] * std::sin(angle(phase * static_cast<uint64_t>(k)));
        if (p.noiseRms != 0)
            x += p.noiseRms * unitNoise(p.noiseKey, first + i);
        double v = p.gain * x;
        if (v > fullScaleVolts) {
            v = fullScaleVolts;
            clipped = true;
        } else if (v < -fullScaleVolts) {
            v = -fullScaleVolts;
            clipped = true;
        }
        out[i] = v;
    }
    return clipped;
}

int64_t scanOffsetNs(double rateHz, int64_t scan)
{
    return static_cast<int64_t>(std::llround(static_cast<long double>(scan) * 1e9L / rateHz));
}

} // namespace trellin::sim

using namespace trellin::sim;

namespace {

std::mutex cacheMutex;
std::string cachedText;
std::shared_ptr<const Config> cachedConfig;
std::string cachedError;
bool cacheValid = false;

std::shared_ptr<const Config> configFor(const char *text, std::string &error)
{
    std::string value;
    if (text) {
        value = text;
    } else {
        const char *env = std::getenv("TRELLIN_SIM");
        value = env ? env : "";
    }
    std::lock_guard<std::mutex> lock(cacheMutex);
    if (!cacheValid || value != cachedText || (!value.empty() && value[0] == '@')) {
        ParseResult result = parseConfigValue(value);
        cachedText = value;
        cachedConfig = result.config;
        cachedError = result.error;
        cacheValid = true;
    }
    error = cachedError;
    return cachedConfig;
}

} // namespace

int trellinSimExpectedVolts(const char *config, const char *descriptor, int fc, int channel, int source,
                            int gain, double vrefVolts, double rateHz, int64_t firstScan, int32_t count,
                            double *volts)
{
    std::string error;
    const auto cfg = configFor(config, error);
    if (!cfg || !descriptor || channel < 1 || channel > channelsPerCard || count < 0 || rateHz <= 0 ||
        (count > 0 && !volts))
        return -1;
    for (const auto &carrier : cfg->carriers) {
        if (!reachesCarrier(*carrier, descriptor))
            continue;
        const CardSpec *card = carrier->card(fc);
        if (!card)
            return -1;
        const ChannelPlan plan = makeChannelPlan(card->signals[channel - 1], carrier->ordinal, fc, channel - 1,
                                                 source, gain, vrefVolts, rateHz, cfg->settings.noiseSeed);
        int clippedSamples = 0;
        for (int32_t i = 0; i < count; ++i) {
            if (generateChannel(plan, firstScan + i, 1, volts + i))
                ++clippedSamples;
        }
        return clippedSamples;
    }
    return -1;
}

int64_t trellinSimScanOffsetNs(double rateHz, int64_t scan)
{
    return scanOffsetNs(rateHz, scan);
}

int trellinSimConfigError(const char *config, char *text, int size)
{
    std::string error;
    const auto cfg = configFor(config, error);
    if (text && size > 0)
        copyText(error, text, static_cast<std::size_t>(size));
    return cfg ? 0 : 1;
}
