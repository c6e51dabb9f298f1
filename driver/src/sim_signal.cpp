#include "sim_signal.h"

#include "sim_descriptor.h"
#include "sim_system.h"
#include "trellin_sim.h"

#include <algorithm>
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
// 16-bit uniforms (Irwin-Hall), centred and scaled. The uniforms are
// (h_i + 0.5) / 65536; their sum minus 2 is exactly (sum of h_i - 131070) / 65536,
// so it is formed in integers and scaled once, with the same result as
// adding four doubles. Inlined: a call per sample is a tenth of a cheap wave's cost.
inline __attribute__((always_inline)) double unitNoise(uint64_t key, int64_t scan)
{
    const uint64_t h = splitmix64(key + static_cast<uint64_t>(scan) * 0xD1B54A32D192ED03ULL);
    const int64_t sum = static_cast<int64_t>((h & 0xFFFF) + ((h >> 16) & 0xFFFF) + ((h >> 32) & 0xFFFF) + (h >> 48));
    return static_cast<double>(sum - 131070) * (1.7320508075688772 / 65536.0);
}

// The waves of one cycle as functions of the phase (2^64 = one cycle), all
// oriented like the sine: rising through 0 at phase 0 (the square starts its
// high half there). The cheap ones read the top 32 bits of the phase, so
// every value is an integer times a power of two, exact in a double.
// Each is called with the scan's phase and its index in the run being
// generated; fromPhase says whether the harmonics can be formed from the phase.
struct SineWave {
    static constexpr bool fromPhase = true;
    static double at(uint64_t phase) { return std::sin(angle(phase)); }
    double operator()(uint64_t phase, int32_t) const { return at(phase); }
};

struct TriangleWave {
    static constexpr bool fromPhase = true;
    double operator()(uint64_t phase, int32_t) const { return at(phase); }
    static double at(uint64_t phase)
    {
        // A quarter cycle ahead, the triangle is 1 - |v - 1/2| * 4 with v in [0, 1).
        const int64_t v = static_cast<uint32_t>((phase >> 32) + 0x40000000u);
        const int64_t distance = v - 0x80000000LL;
        return static_cast<double>(0x40000000LL - (distance < 0 ? -distance : distance)) * 0x1p-30;
    }
};

struct SquareWave {
    static constexpr bool fromPhase = true;
    double operator()(uint64_t phase, int32_t) const { return at(phase); }
    static double at(uint64_t phase) { return (phase >> 63) ? -1.0 : 1.0; }
};

struct RampWave {
    static constexpr bool fromPhase = true;
    double operator()(uint64_t phase, int32_t) const { return at(phase); }
    static double at(uint64_t phase)
    {
        return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(phase >> 32))) * 0x1p-31;
    }
};

// Sine values computed once for several channels of the same phase and
// frequency (by default the same FC position on every carrier).
struct SharedSine {
    static constexpr bool fromPhase = false;
    const double *values; // one per scan of the run
    double operator()(uint64_t, int32_t i) const { return values[i]; }
};

template <class Wave>
bool generateWave(const ChannelPlan &p, const Wave &wave, int64_t first, int32_t count, double *out)
{
    // Locals, since stores to out could otherwise alias the plan's doubles
    // and force a reload per sample.
    const double offset = p.offset, amplitude = p.amplitude, gain = p.gain;
    const uint64_t increment = p.increment;
    uint64_t phase = p.phase0 + static_cast<uint64_t>(first) * increment;
    if (!p.hasHarmonics && p.noiseRms == 0 && !p.mayClip) {
        // The wave alone, which cannot reach full scale: no per-sample branch.
        for (int32_t i = 0; i < count; ++i, phase += increment)
            out[i] = gain * (offset + amplitude * wave(phase, i));
        return false;
    }
    const double noiseRms = p.noiseRms;
    bool clipped = false;
    for (int32_t i = 0; i < count; ++i, phase += increment) {
        double x = offset + amplitude * wave(phase, i);
        if constexpr (Wave::fromPhase)
            if (p.hasHarmonics)
                for (int k = 2; k <= maxHarmonic; ++k)
                    if (p.harmonics[k] != 0)
                        x += p.harmonics[k] * Wave::at(phase * static_cast<uint64_t>(k));
        if (noiseRms != 0)
            x += noiseRms * unitNoise(p.noiseKey, first + i);
        double v = gain * x;
        // Rounding is monotonic, so |v| never exceeds gain times the plan's
        // peak: without mayClip no sample can pass full scale.
        if (p.mayClip) {
            if (v > fullScaleVolts) {
                v = fullScaleVolts;
                clipped = true;
            } else if (v < -fullScaleVolts) {
                v = -fullScaleVolts;
                clipped = true;
            }
        }
        out[i] = v;
    }
    return clipped;
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
    p.wave = signal.wave;
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
    switch (p.wave) {
    case Wave::Triangle:
        return generateWave(p, TriangleWave{}, first, count, out);
    case Wave::Square:
        return generateWave(p, SquareWave{}, first, count, out);
    case Wave::Ramp:
        return generateWave(p, RampWave{}, first, count, out);
    case Wave::Sine:
        break;
    }
    return generateWave(p, SineWave{}, first, count, out);
}

void generateChannels(const std::vector<ChannelPlan> &plans, int64_t first, int32_t count, double *out,
                      std::vector<uint8_t> &clipped)
{
    clipped.assign(plans.size(), 0);
    const auto runOf = [&](std::size_t o) { return out + o * static_cast<std::size_t>(count); };
    // Plain front-panel sines can share their sin() values; harmonics would
    // need their own.
    std::vector<std::size_t> sines;
    for (std::size_t o = 0; o < plans.size(); ++o) {
        const ChannelPlan &p = plans[o];
        if (p.source == 1 && p.wave == Wave::Sine && !p.hasHarmonics)
            sines.push_back(o);
        else
            clipped[o] = generateChannel(p, first, count, runOf(o));
    }
    const auto key = [&](std::size_t o) { return std::make_pair(plans[o].phase0, plans[o].increment); };
    std::sort(sines.begin(), sines.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    // Chunks small enough to stay in the cache while every channel of a group uses them.
    constexpr int32_t chunk = 2048;
    thread_local std::vector<double> unit(chunk);
    for (std::size_t g = 0; g < sines.size();) {
        std::size_t end = g + 1;
        while (end < sines.size() && key(sines[end]) == key(sines[g]))
            ++end;
        if (end - g == 1) {
            clipped[sines[g]] = generateChannel(plans[sines[g]], first, count, runOf(sines[g]));
            g = end;
            continue;
        }
        const ChannelPlan &lead = plans[sines[g]];
        for (int64_t start = 0; start < count; start += chunk) {
            const auto n = static_cast<int32_t>(std::min<int64_t>(chunk, count - start));
            uint64_t phase = lead.phase0 + static_cast<uint64_t>(first + start) * lead.increment;
            for (int32_t i = 0; i < n; ++i, phase += lead.increment)
                unit[static_cast<std::size_t>(i)] = SineWave::at(phase);
            for (std::size_t m = g; m < end; ++m)
                clipped[sines[m]] |= generateWave(plans[sines[m]], SharedSine{unit.data()}, first + start, n,
                                                  runOf(sines[m]) + start);
        }
        g = end;
    }
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
