#include "sim_config.h"

#include "sim_descriptor.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <locale.h>
#include <stdlib.h>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace trellin::sim {

namespace {

const char *const defaultText = "carrier vxi slot=2\n"
                                "fc 1\n"
                                "fc 2\n"
                                "fc 3 model=0x6851\n"
                                "carrier lxi ip=127.0.0.2\n"
                                "fc 1\n";

// Sampling rates and signal frequencies the generator handles exactly.
const double minRateHz = 0.001;
const double maxRateHz = 1e9;
const double maxFrequencyHz = 1e9;

const uint16_t defaultVxiModel = 9471;
const uint16_t defaultLxiModel = 9480;
const double defaultVrefTable[] = {0.0, 4.5, 0.45, 0.045, 0.0045, -0.0045, -0.045, -0.45, -4.5};

const char *const callNames[] = {
    "viOpenDefaultRM", "viFindRsrc", "viFindNext", "viOpen", "viClose", "viGetAttribute",
    "viSetAttribute", "nv9471_revision", "nv9471_carrierOpen", "nv9471_carrierClose",
    "nv9471_readFcWord", "nv9471_errorText", "nv9471_delay", "nv6842_multInit",
    "nv6842_multClose", "nv6842_multReset", "nv6842_getMultFCsession", "nv6842_revision_query",
    "nv6842_getSubType", "nv6842_getSerNum", "nv6842_error_message", "nv6842_setMultChanConfig",
    "nv6842_setMultATRIConfig", "nv6842_setMultTrigConfig", "nv6842_multConfig",
    "nv6842_getOTRIConfig", "nv6842_setOTRIConfig", "nv6842_getFPTrigPolarity",
    "nv6842_setFPTrigPolarity", "nv6842_startMultAcquisition", "nv6842_stopMultAcquisition",
    "nv6842_startMultAcquisitionEx", "nv6842_startMultAcquisitionTimed64",
    "nv6842_startMultAcquisitionTimed64Ex", "nv6842_checkMultAcquisition",
    "nv6842_readMultAcquisition", "nv6842_readMultAcquisitionEx", "nv6842_getDAQStatus",
    "nv6842_generateITRI", "nv6842_getCurrentTimeEx", "nv6842_calibrateChannels",
    "nv6842_storeCalibData", "setVoltRefOutput", "getVoltRefOutput"};

struct ConfigError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Statement {
    std::string text;
    std::string keyword;
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> keys;
};

// Default input of a card's channel: a sine whose frequency and amplitude
// depend on FC number and channel, a small offset and a little noise.
SignalSpec defaultSignal(int position, int channel)
{
    SignalSpec s;
    s.freqHz = 50.0 * (channel + 1) + 5.0 * (position - 1);
    s.amplitude = 0.5 + 0.5 * (channel % 4);
    s.offset = 0.01 * (channel + 1);
    s.noiseRms = 5e-6;
    return s;
}

long long parseInteger(const std::string &key, const std::string &value, long long lo, long long hi)
{
    if (value.empty())
        throw ConfigError(key + "= needs a number");
    errno = 0;
    char *end = nullptr;
    const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
    // strtoull would take a sign after the 0x ("0x-1" as -1).
    if (hex && !std::isxdigit(static_cast<unsigned char>(value[2])))
        throw ConfigError(key + "=" + value + " is not a number");
    const long long v = hex ? static_cast<long long>(std::strtoull(value.c_str() + 2, &end, 16))
                            : std::strtoll(value.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || (hex && value.size() == 2))
        throw ConfigError(key + "=" + value + " is not a number");
    if (v < lo || v > hi)
        throw ConfigError(key + "=" + value + " is out of range " + std::to_string(lo) + ".." +
                          std::to_string(hi));
    return v;
}

double parseReal(const std::string &key, const std::string &value)
{
    // The configuration is read as written, with a decimal point, whatever
    // locale the program using the library has set (a panel in a German
    // desktop would otherwise refuse "amp=0.5").
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    errno = 0;
    char *end = nullptr;
    const double v = strtod_l(value.c_str(), &end, cLocale);
    if (value.empty() || errno != 0 || *end != '\0' || !std::isfinite(v))
        throw ConfigError(key + "=" + value + " is not a number");
    return v;
}

// Decimal, or 0x-hex read as a 32-bit pattern so that 0xBFFC0801 is negative.
int32_t parseStatus(const std::string &value)
{
    const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
    if (hex) {
        const long long v = parseInteger("status", value, 0, 0xFFFFFFFFLL);
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    }
    return static_cast<int32_t>(parseInteger("status", value, INT32_MIN, INT32_MAX));
}

uint16_t parseTwoChars(const std::string &key, const std::string &value, bool allowEmpty)
{
    if (value.empty() && allowEmpty)
        return 0;
    if (value.size() != 2 && !(allowEmpty && value.size() == 1))
        throw ConfigError(key + "= needs two characters");
    const uint16_t high = static_cast<unsigned char>(value[0]);
    const uint16_t low = value.size() > 1 ? static_cast<unsigned char>(value[1]) : 0;
    return static_cast<uint16_t>((high << 8) | low);
}

std::vector<double> parseList(const std::string &key, const std::string &value)
{
    std::vector<double> values;
    std::stringstream in(value);
    std::string item;
    while (std::getline(in, item, ','))
        values.push_back(parseReal(key, item));
    if (values.empty())
        throw ConfigError(key + "= needs at least one value");
    return values;
}

std::vector<int> parseChannels(const std::string &value)
{
    std::vector<int> channels;
    if (value == "all" || value == "*") {
        for (int c = 1; c <= channelsPerCard; ++c)
            channels.push_back(c);
        return channels;
    }
    std::stringstream in(value);
    std::string item;
    while (std::getline(in, item, ',')) {
        const auto dash = item.find('-');
        const int first = static_cast<int>(parseInteger("ch", item.substr(0, dash), 1, channelsPerCard));
        const int last = dash == std::string::npos
                             ? first
                             : static_cast<int>(parseInteger("ch", item.substr(dash + 1), first, channelsPerCard));
        for (int c = first; c <= last; ++c)
            channels.push_back(c);
    }
    if (channels.empty())
        throw ConfigError("ch= needs a channel list");
    return channels;
}

std::vector<Statement> splitStatements(const std::string &text)
{
    std::vector<Statement> statements;
    std::stringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::stringstream parts(line);
        std::string part;
        while (std::getline(parts, part, ';')) {
            part = trim(part);
            if (part.empty())
                continue;
            Statement st;
            st.text = part;
            std::stringstream words(part);
            std::string word;
            words >> st.keyword;
            while (words >> word) {
                const auto eq = word.find('=');
                if (eq == std::string::npos)
                    st.positional.push_back(word);
                else
                    st.keys.emplace_back(word.substr(0, eq), word.substr(eq + 1));
            }
            statements.push_back(std::move(st));
        }
    }
    return statements;
}

class Builder
{
public:
    Config config;

    void apply(const Statement &st)
    {
        const std::string &k = st.keyword;
        if (k == "default")
            applyDefault(st);
        else if (k == "carrier")
            carrier(st);
        else if (k == "fc")
            card(st);
        else if (k == "vref")
            vref(st);
        else if (k == "signal")
            signal(st);
        else if (k == "resource")
            resource(st);
        else if (k == "fail")
            fail(st);
        else if (k == "short")
            shortRead(st);
        else if (k == "clock" || k == "fifo" || k == "calibration" || k == "arm" || k == "trigger" ||
                 k == "noise")
            setting(st);
        else
            throw ConfigError("unknown statement '" + k + "'");
    }

    void finish()
    {
        std::vector<std::string> seen;
        for (const std::string &d : config.listing) {
            for (const std::string &s : seen)
                if (sameResource(s, d))
                    throw ConfigError("descriptor " + d + " is listed twice");
            seen.push_back(d);
        }
        for (auto &c : config.carriers)
            c->vrefCount = static_cast<int16_t>(c->vrefValues.size());
    }

private:
    Carrier *lastCarrier = nullptr;
    int lastCard = 0;

    static void expectPositional(const Statement &st, std::size_t count)
    {
        if (st.positional.size() != count)
            throw ConfigError("'" + st.keyword + "' expects " + std::to_string(count) +
                              " plain word(s) before its key=value words");
    }

    static void unknownKey(const std::string &key) { throw ConfigError("unknown key '" + key + "'"); }

    void applyDefault(const Statement &st)
    {
        expectPositional(st, 0);
        if (!st.keys.empty())
            unknownKey(st.keys.front().first);
        for (const Statement &inner : splitStatements(defaultText))
            apply(inner);
    }

    void carrier(const Statement &st)
    {
        expectPositional(st, 1);
        auto c = std::make_shared<Carrier>();
        c->ordinal = static_cast<int>(config.carriers.size());
        const std::string kind = st.positional[0];
        if (kind == "vxi")
            c->kind = Carrier::Kind::Vxi;
        else if (kind == "lxi")
            c->kind = Carrier::Kind::Lxi;
        else
            throw ConfigError("carrier kind must be vxi or lxi, not '" + kind + "'");
        const bool vxi = c->kind == Carrier::Kind::Vxi;
        c->model = vxi ? defaultVxiModel : defaultLxiModel;
        c->device = "inst0";
        c->logicalAddress = -1;
        c->slot = -1;
        int positions = 0;
        for (const auto &[key, value] : st.keys) {
            if (key == "board")
                c->board = static_cast<int>(parseInteger(key, value, 0, 999));
            else if (key == "model")
                c->model = static_cast<uint16_t>(parseInteger(key, value, 0, 0xFFFF));
            else if (key == "positions")
                positions = static_cast<int>(parseInteger(key, value, 0, maxPositions));
            else if (vxi && key == "slot")
                c->slot = static_cast<int>(parseInteger(key, value, 0, 255));
            else if (vxi && key == "la")
                c->logicalAddress = static_cast<int>(parseInteger(key, value, 0, 255));
            else if (!vxi && key == "ip")
                c->ip = checkedIp(value);
            else if (!vxi && key == "host")
                c->host = nonEmpty(key, value);
            else if (!vxi && key == "device")
                c->device = nonEmpty(key, value);
            else if (!vxi && key == "alias")
                c->aliases.push_back(checkedDescriptor(value));
            else
                unknownKey(key);
        }
        if (vxi) {
            if (c->slot < 0)
                throw ConfigError("carrier vxi needs slot=N");
            if (c->logicalAddress < 0)
                c->logicalAddress = c->slot;
        } else {
            if (c->ip.empty())
                throw ConfigError("carrier lxi needs ip=A.B.C.D");
            if (c->host.empty()) {
                c->host = "lxi-" + c->ip;
                std::replace(c->host.begin(), c->host.end(), '.', '-');
            }
        }
        c->positions = positions;
        c->vrefValues.assign(std::begin(defaultVrefTable), std::end(defaultVrefTable));
        config.carriers.push_back(c);
        config.listing.push_back(c->descriptor());
        for (const std::string &alias : c->aliases)
            config.listing.push_back(alias);
        lastCarrier = c.get();
        lastCard = 0;
        explicitPositions.push_back(positions);
    }

    void card(const Statement &st)
    {
        if (!lastCarrier)
            throw ConfigError("'fc' needs a carrier statement before it");
        expectPositional(st, 1);
        CardSpec card;
        card.position = static_cast<int>(parseInteger("fc", st.positional[0], 1, maxPositions));
        if (lastCarrier->card(card.position))
            throw ConfigError("FC " + st.positional[0] + " is configured twice on " +
                              lastCarrier->descriptor());
        bool serialGiven = false;
        for (const auto &[key, value] : st.keys) {
            if (key == "model")
                card.model = static_cast<uint16_t>(parseInteger(key, value, 1, 0xFFFF));
            else if (key == "subtype")
                card.subtype = parseTwoChars(key, value, false);
            else if (key == "rate")
                parseRate(value, card);
            else if (key == "serial") {
                card.serial = static_cast<uint32_t>(parseInteger(key, value, 0, 0xFFFFFFFFLL));
                serialGiven = true;
            } else if (key == "rev")
                card.revision = parseTwoChars(key, value, true);
            else if (key == "scu")
                card.scuModel = static_cast<uint16_t>(parseInteger(key, value, 0, 0xFFFF));
            else if (key == "firmware")
                card.firmware = nonEmpty(key, value);
            else
                unknownKey(key);
        }
        if (!serialGiven)
            card.serial = (static_cast<uint32_t>(card.model) << 16) |
                          static_cast<uint32_t>((lastCarrier->ordinal + 1) << 8) |
                          static_cast<uint32_t>(card.position);
        for (int ch = 0; ch < channelsPerCard; ++ch)
            card.signals[ch] = defaultSignal(card.position, ch);
        lastCarrier->cards.push_back(card);
        std::sort(lastCarrier->cards.begin(), lastCarrier->cards.end(),
                  [](const CardSpec &a, const CardSpec &b) { return a.position < b.position; });
        lastCard = card.position;
        const int wanted = explicitPositions.back();
        if (wanted > 0 && card.position > wanted)
            throw ConfigError("FC " + std::to_string(card.position) + " is beyond the carrier's " +
                              std::to_string(wanted) + " positions");
        lastCarrier->positions = std::max(lastCarrier->positions, card.position);
    }

    void vref(const Statement &st)
    {
        if (!lastCarrier)
            throw ConfigError("'vref' needs a carrier statement before it");
        if (st.positional.size() == 1 && st.positional[0] == "none" && st.keys.empty()) {
            lastCarrier->hasVref = false;
            lastCarrier->vrefValues.clear();
            return;
        }
        expectPositional(st, 0);
        for (const auto &[key, value] : st.keys) {
            if (key == "values") {
                lastCarrier->vrefValues = parseList(key, value);
                if (lastCarrier->vrefValues.size() > 32)
                    throw ConfigError("vref values= takes at most 32 values");
                lastCarrier->hasVref = true;
            } else if (key == "output") {
                lastCarrier->initVrefOutput(parseReal(key, value));
            } else {
                unknownKey(key);
            }
        }
    }

    void signal(const Statement &st)
    {
        if (!lastCarrier || lastCard == 0)
            throw ConfigError("'signal' needs an fc statement before it");
        expectPositional(st, 0);
        CardSpec &card = *const_cast<CardSpec *>(lastCarrier->card(lastCard));
        std::vector<int> channels = parseChannels("all");
        for (const auto &[key, value] : st.keys)
            if (key == "ch")
                channels = parseChannels(value);
        for (int ch : channels) {
            SignalSpec &s = card.signals[ch - 1];
            for (const auto &[key, value] : st.keys) {
                if (key == "ch")
                    continue;
                if (key == "freq")
                    s.freqHz = parseFrequency(value);
                else if (key == "amp")
                    s.amplitude = parseReal(key, value);
                else if (key == "offset")
                    s.offset = parseReal(key, value);
                else if (key == "phase")
                    s.phaseDeg = parseReal(key, value);
                else if (key == "noise")
                    s.noiseRms = std::fabs(parseReal(key, value));
                else if (key == "wave")
                    s.wave = parseWave(value);
                else if (key.size() == 2 && key[0] == 'h' && key[1] >= '2' && key[1] <= '9')
                    s.harmonics[key[1] - '0'] = parseReal(key, value);
                else
                    unknownKey(key);
            }
        }
    }

    void resource(const Statement &st)
    {
        expectPositional(st, 1);
        PlainResource r;
        r.descriptor = checkedDescriptor(st.positional[0]);
        for (const auto &[key, value] : st.keys) {
            if (key == "open" && (value == "fail" || value == "ok"))
                r.openFails = value == "fail";
            else if (key == "open")
                throw ConfigError("open= must be fail or ok");
            else
                unknownKey(key);
        }
        config.resources.push_back(r);
        config.listing.push_back(r.descriptor);
    }

    void fail(const Statement &st)
    {
        expectPositional(st, 0);
        FailRule rule;
        bool haveStatus = false;
        for (const auto &[key, value] : st.keys) {
            if (key == "call") {
                if (!isKnownCallName(value))
                    throw ConfigError("call=" + value + " is not a call of the simulated libraries");
                rule.call = value;
            } else if (key == "status") {
                rule.status = parseStatus(value);
                haveStatus = true;
            } else if (!ruleTiming(rule, key, value)) {
                unknownKey(key);
            }
        }
        if (rule.call.empty() || !haveStatus)
            throw ConfigError("'fail' needs call=NAME and status=S");
        config.failRules.push_back(rule);
    }

    // count= and after= of 'fail' and 'short'.
    static bool ruleTiming(FailRule &rule, const std::string &key, const std::string &value)
    {
        if (key == "count") {
            if (value == "once")
                rule.count = 1;
            else if (value == "always")
                rule.count = -1;
            else
                rule.count = parseInteger(key, value, 1, 1LL << 40);
        } else if (key == "after") {
            rule.after = parseInteger(key, value, 0, 1LL << 40);
        } else {
            return false;
        }
        return true;
    }

    // A read that succeeds with fewer scans than asked for.
    void shortRead(const Statement &st)
    {
        expectPositional(st, 0);
        FailRule rule;
        for (const auto &[key, value] : st.keys) {
            if (key == "call") {
                if (value != "nv6842_readMultAcquisition" && value != "nv6842_readMultAcquisitionEx")
                    throw ConfigError("call=" + value + " is not a read call");
                rule.call = value;
            } else if (key == "scans") {
                rule.maxScans = static_cast<int32_t>(parseInteger(key, value, 1, INT32_MAX));
            } else if (!ruleTiming(rule, key, value)) {
                unknownKey(key);
            }
        }
        if (rule.call.empty() || rule.maxScans < 0)
            throw ConfigError("'short' needs call=NAME and scans=N");
        config.failRules.push_back(rule);
    }

    void setting(const Statement &st)
    {
        expectPositional(st, 0);
        if (st.keys.empty())
            throw ConfigError("'" + st.keyword + "' needs a key=value word");
        Settings &s = config.settings;
        for (const auto &[key, value] : st.keys) {
            const std::string &k = st.keyword;
            if (k == "clock" && key == "utc")
                s.utcOffset = static_cast<int32_t>(parseInteger(key, value, -86400, 86400));
            else if (k == "fifo" && key == "scans")
                s.fifoScans = parseInteger(key, value, 1, 1LL << 34);
            else if (k == "calibration" && key == "ms")
                s.calibrationMs = static_cast<int>(parseInteger(key, value, 0, 600000));
            else if (k == "arm" && key == "ms")
                s.armMs = static_cast<int>(parseInteger(key, value, 0, 600000));
            else if (k == "trigger" && key == "period")
                s.triggerPeriodMs = static_cast<int>(parseInteger(key, value, 0, 3600000));
            else if (k == "noise" && key == "seed")
                s.noiseSeed = static_cast<uint64_t>(parseInteger(key, value, 0, INT64_MAX));
            else
                unknownKey(key);
        }
    }

    static void parseRate(const std::string &value, CardSpec &card)
    {
        const auto colon = value.find(':');
        if (colon == std::string::npos)
            throw ConfigError("rate= must be MIN:MAX in Hz");
        card.minRateHz = parseReal("rate", value.substr(0, colon));
        card.maxRateHz = parseReal("rate", value.substr(colon + 1));
        if (card.minRateHz < minRateHz || card.maxRateHz < card.minRateHz || card.maxRateHz > maxRateHz)
            throw ConfigError("rate=" + value + " needs 0.001 <= MIN <= MAX <= 1e9");
    }

    // Together with the rate limits this keeps cycles per scan (freq/rate)
    // finite, which the generator turns into an integer phase step.
    static double parseFrequency(const std::string &value)
    {
        const double hz = parseReal("freq", value);
        if (std::fabs(hz) > maxFrequencyHz)
            throw ConfigError("freq=" + value + " is beyond 1e9 Hz");
        return hz;
    }

    static Wave parseWave(const std::string &value)
    {
        if (value == "sine")
            return Wave::Sine;
        if (value == "triangle")
            return Wave::Triangle;
        if (value == "square")
            return Wave::Square;
        if (value == "ramp")
            return Wave::Ramp;
        throw ConfigError("wave=" + value + " must be sine, triangle, square or ramp");
    }

    static std::string nonEmpty(const std::string &key, const std::string &value)
    {
        if (value.empty())
            throw ConfigError(key + "= needs a value");
        return value;
    }

    // Four dot-separated decimal numbers 0..255 of at most three digits each
    // (sscanf's %d would overflow silently on long digit runs).
    static std::string checkedIp(const std::string &value)
    {
        int dots = 0, digits = 0, number = 0;
        bool valid = true;
        for (char c : value) {
            if (c == '.' && digits > 0 && number <= 255 && dots < 3) {
                ++dots;
                digits = number = 0;
            } else if (std::isdigit(static_cast<unsigned char>(c)) && digits < 3) {
                number = number * 10 + (c - '0');
                ++digits;
            } else {
                valid = false;
                break;
            }
        }
        if (!valid || dots != 3 || digits == 0 || number > 255)
            throw ConfigError("ip=" + value + " is not an IPv4 address");
        return value;
    }

    static std::string checkedDescriptor(const std::string &value)
    {
        ParsedDescriptor parsed;
        if (!parseDescriptor(value, parsed))
            throw ConfigError("'" + value + "' is not a resource descriptor ending in ::INSTR");
        return value;
    }

    std::vector<int> explicitPositions;
};

} // namespace

std::string Carrier::descriptor() const
{
    if (kind == Kind::Vxi)
        return "VXI" + std::to_string(board) + "::" + std::to_string(logicalAddress) + "::INSTR";
    return "TCPIP" + std::to_string(board) + "::" + ip + "::INSTR";
}

const CardSpec *Carrier::card(int position) const
{
    for (const CardSpec &c : cards)
        if (c.position == position)
            return &c;
    return nullptr;
}

double Carrier::vrefOutput() const
{
    std::lock_guard<std::mutex> lock(outputMutex);
    return output;
}

void Carrier::setVrefOutput(double volts)
{
    std::lock_guard<std::mutex> lock(outputMutex);
    output = volts;
}

ParseResult parseConfig(const std::string &text)
{
    ParseResult result;
    Builder builder;
    int number = 0;
    try {
        const std::string source = trim(text).empty() ? std::string(defaultText) : text;
        for (const Statement &st : splitStatements(source)) {
            ++number;
            try {
                builder.apply(st);
            } catch (const ConfigError &e) {
                throw ConfigError("statement " + std::to_string(number) + " \"" + st.text + "\": " + e.what());
            }
        }
        builder.finish();
    } catch (const ConfigError &e) {
        result.error = e.what();
        return result;
    }
    result.config = std::make_shared<Config>(std::move(builder.config));
    return result;
}

ParseResult parseConfigValue(const std::string &value)
{
    if (!value.empty() && value[0] == '@') {
        const std::string path = trim(value.substr(1));
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            ParseResult failed;
            failed.error = "cannot read the file \"" + path + "\"";
            return failed;
        }
        std::stringstream content;
        content << in.rdbuf();
        return parseConfig(content.str());
    }
    return parseConfig(value);
}

const char *defaultConfigText()
{
    return defaultText;
}

bool isKnownCallName(const std::string &name)
{
    return std::find(std::begin(callNames), std::end(callNames), name) != std::end(callNames);
}

} // namespace trellin::sim
