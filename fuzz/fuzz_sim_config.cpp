// libFuzzer target: any text as a TRELLIN_SIM configuration, through the
// simulator's statement parser. Besides crashes it checks what the parser
// promises about an accepted configuration, since the driver relies on it
// without checking again, and feeds every accepted channel to the signal
// generator at the card's slowest and fastest rate.
#include "sim_config.h"
#include "sim_descriptor.h"
#include "sim_signal.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace trellin::sim;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

void checkSignal(const SignalSpec &s, const Carrier &c, const CardSpec &card, int channel)
{
    for (double rate : {card.minRateHz, card.maxRateHz}) {
        for (int source : {1, 2}) {
            const ChannelPlan plan =
                makeChannelPlan(s, c.ordinal, card.position, channel, source, 1000, 0.0045, rate, 1);
            for (int64_t scan : {int64_t(0), int64_t(1) << 40}) {
                double v = 0;
                generateChannel(plan, scan, 1, &v);
                check(std::isfinite(v) && std::fabs(v) <= fullScaleVolts, "sample within full scale");
            }
        }
    }
}

void checkCarrier(const Carrier &c)
{
    ParsedDescriptor parsed;
    check(parseDescriptor(c.descriptor(), parsed), "carrier descriptor parses");
    check(c.positions >= 0 && c.positions <= maxPositions, "position count");
    if (c.kind == Carrier::Kind::Vxi)
        check(c.slot >= 0 && c.slot <= 255 && c.logicalAddress >= 0 && c.logicalAddress <= 255, "VXI address");
    else
        check(!c.ip.empty() && !c.host.empty() && !c.device.empty(), "LXI names");
    check(c.vrefValues.size() <= 32 && c.vrefCount == static_cast<int16_t>(c.vrefValues.size()),
          "reference table size");
    check(c.hasVref || c.vrefValues.empty(), "no table without a reference");
    int previous = 0;
    for (const CardSpec &card : c.cards) {
        check(card.position > previous && card.position <= c.positions, "cards sorted, unique, in range");
        previous = card.position;
        check(card.minRateHz > 0 && card.maxRateHz >= card.minRateHz, "rate range");
        check(!card.firmware.empty(), "firmware text");
        for (int ch = 0; ch < channelsPerCard; ++ch) {
            const SignalSpec &s = card.signals[ch];
            check(std::isfinite(s.freqHz) && std::isfinite(s.amplitude) && std::isfinite(s.offset) &&
                      std::isfinite(s.phaseDeg) && s.noiseRms >= 0 && std::isfinite(s.noiseRms),
                  "finite signal");
            for (double h : s.harmonics)
                check(std::isfinite(h), "finite harmonic");
            checkSignal(s, c, card, ch);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const ParseResult result = parseConfig(text);
    check(!result.config != result.error.empty(), "either a configuration or a reason");
    if (!result.config)
        return 0;

    const Config &config = *result.config;
    std::size_t listed = config.resources.size();
    for (const auto &carrier : config.carriers) {
        checkCarrier(*carrier);
        listed += 1 + carrier->aliases.size();
    }
    check(config.listing.size() == listed, "every carrier, alias and resource listed once");
    for (std::size_t i = 0; i < config.listing.size(); ++i)
        for (std::size_t j = i + 1; j < config.listing.size(); ++j)
            check(!sameResource(config.listing[i], config.listing[j]), "no descriptor listed twice");
    for (const FailRule &rule : config.failRules)
        check(isKnownCallName(rule.call) && (rule.count == -1 || rule.count >= 1), "failure rule");
    const Settings &s = config.settings;
    check(s.fifoScans >= 1 && s.calibrationMs >= 0 && s.armMs >= 0 && s.triggerPeriodMs >= 0, "settings");
    return 0;
}
