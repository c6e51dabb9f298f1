#include "nv6842_session.h"

#include "sim_descriptor.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace trellin::sim {

namespace {

const int gainTable[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000};

std::string hex4(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

ViStatus setVoltRefOutput(ViAddr libEnv, ViReal64 volts)
{
    auto *carrier = static_cast<Carrier *>(libEnv);
    char line[64];
    std::snprintf(line, sizeof line, "setVoltRefOutput(%d, %.17g)", carrier ? carrier->ordinal : -1, volts);
    journalLine(line);
    TRELLIN_SIM_INJECT("setVoltRefOutput");
    if (!carrier || !carrier->hasVref)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The carrier has no voltage reference.");
    // Only the table's values can be selected.
    for (double value : carrier->vrefValues) {
        if (std::fabs(value - volts) <= 1e-9 * std::max(1.0, std::fabs(value))) {
            carrier->setVrefOutput(value);
            return VI_SUCCESS;
        }
    }
    std::ostringstream text;
    text << volts << " V is not a value of the carrier's voltage-reference table.";
    return failWith(nv6842_ERROR_INV_PARAMETER, text.str());
}

ViStatus getVoltRefOutput(ViAddr libEnv, ViReal64 *volts)
{
    TRELLIN_SIM_INJECT("getVoltRefOutput");
    auto *carrier = static_cast<Carrier *>(libEnv);
    if (!carrier || !volts)
        return failWith(nv6842_ERROR_INV_PARAMETER, "The library environment or the result pointer is null.");
    *volts = carrier->vrefOutput();
    return VI_SUCCESS;
}

std::vector<std::string> splitList(const std::string &list)
{
    std::vector<std::string> items;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ','))
        items.push_back(trim(item));
    if (!list.empty() && list.back() == ',')
        items.push_back(std::string());
    return items;
}

} // namespace

bool isValidGain(int gain)
{
    for (int g : gainTable)
        if (g == gain)
            return true;
    return false;
}

ViStatus failWith(ViStatus status, const std::string &detail)
{
    setStatusDetail(status, detail);
    return status;
}

MultSession::~MultSession() = default;

void MultSession::resetSettings()
{
    for (auto &card : cards) {
        card->channels = {};
        card->analogTriggers = {};
        card->outputTriggers = {};
        card->polarities = {nv6842_HIGH, nv6842_HIGH, nv6842_HIGH};
    }
    cards.front()->channels[0].source = 1;
    trigSource = 0;
    detection = 0;
    syncMode = nv6842_MB_SYNC_MODE;
    rateHz = 10000;
    mode = 0;
    scansPerTrigger = 1024;
    synchA = synchB = 0xFFFE;
}

AcquisitionSetup MultSession::makeSetup()
{
    AcquisitionSetup setup;
    setup.rateHz = rateHz;
    setup.scansPerTrigger = scansPerTrigger;
    setup.trigSource = trigSource;
    setup.cardCount = static_cast<int>(cards.size());
    setup.settings = config->settings;
    auto plans = std::make_shared<std::vector<ChannelPlan>>();
    for (std::size_t k = 0; k < cards.size(); ++k) {
        const CardState &card = *cards[k];
        const double vref = card.carrier->vrefOutput();
        for (int ch = 0; ch < channelsPerCard; ++ch) {
            const ChannelSettings &s = card.channels[static_cast<std::size_t>(ch)];
            if (s.source == 0)
                continue;
            ChannelPlan plan = makeChannelPlan(card.spec->signals[static_cast<std::size_t>(ch)],
                                               card.carrier->ordinal, card.spec->position, ch, s.source,
                                               s.gain, vref, rateHz, config->settings.noiseSeed);
            plan.cardIndex = static_cast<int>(k);
            plans->push_back(plan);
        }
    }
    setup.plans = plans;
    return setup;
}

ViStatus MultSession::getAttribute(ViAttr attribute, void *state)
{
    if (attribute == VI_ATTR_USER_DATA) {
        *static_cast<ViAddr *>(state) = &multEnv;
        return VI_SUCCESS;
    }
    const CardState &first = *cards.front();
    return carrierAttribute(*first.carrier, first.descriptor, attribute, state);
}

CardSession::CardSession(std::shared_ptr<MultSession> p, int i) : parent(std::move(p)), index(i) {}

ViStatus CardSession::getAttribute(ViAttr attribute, void *state)
{
    CardState &c = card();
    if (attribute == VI_ATTR_USER_DATA) {
        *static_cast<ViAddr *>(state) = &c.instEnv;
        return VI_SUCCESS;
    }
    return carrierAttribute(*c.carrier, c.descriptor, attribute, state);
}

ViStatus openSession(const char *descriptors, const ViInt16 fcNumbers[], ViSession *vi)
{
    System &system = System::instance();
    const auto config = system.refresh();
    if (!vi || !descriptors || !fcNumbers)
        return failWith(nv6842_ERROR_INV_PARAMETER,
                        "The descriptor list, the FC-number array or the session pointer is null.");
    *vi = VI_NULL;
    const std::vector<std::string> list = splitList(descriptors);
    if (list.empty() || (list.size() == 1 && list[0].empty()))
        return failWith(nv6842_ERROR_INV_PARAMETER, "The descriptor list is empty.");
    if (list.size() > nv6842_MAX_CARDS)
        return failWith(nv6842_ERROR_TOO_MANY_CARDS, "The list names " + std::to_string(list.size()) +
                                                         " cards; at most " + std::to_string(nv6842_MAX_CARDS) +
                                                         " are supported.");
    auto session = std::make_shared<MultSession>();
    session->config = config;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string &descriptor = list[i];
        const int fc = fcNumbers[i];
        if (descriptor.empty())
            return failWith(nv6842_ERROR_INV_PARAMETER,
                            "Descriptor " + std::to_string(i + 1) + " of the list is empty.");
        std::shared_ptr<Carrier> carrier;
        for (const auto &c : config->carriers) {
            if (reachesCarrier(*c, descriptor)) {
                carrier = c;
                break;
            }
        }
        if (!carrier) {
            for (const PlainResource &r : config->resources)
                if (sameResource(r.descriptor, descriptor))
                    return failWith(nv6842_ERROR_RSRC_NFOUND,
                                    "The resource " + quoted(descriptor) +
                                        (r.openFails ? " does not answer." : " is not a Trellin carrier."));
            ParsedDescriptor parsed;
            if (!parseDescriptor(descriptor, parsed))
                return failWith(nv6842_ERROR_RSRC_NFOUND,
                                "The resource " + quoted(descriptor) + " is not a valid resource descriptor.");
            return failWith(nv6842_ERROR_RSRC_NFOUND,
                            "The resource " + quoted(descriptor) + " is not present in the system.");
        }
        const std::string fcName = "FC " + std::to_string(fc);
        if (fc < 1 || fc > carrier->positions)
            return failWith(nv6842_ERROR_NO_FC, fcName + " does not exist on " + quoted(descriptor) + ", which has " +
                                                    std::to_string(carrier->positions) + " function-card position(s).");
        const CardSpec *spec = carrier->card(fc);
        if (!spec)
            return failWith(nv6842_ERROR_NO_FC, fcName + " of " + quoted(descriptor) + " is empty.");
        if (spec->model != nv6842_MODEL_CODE)
            return failWith(nv6842_ERROR_NOT_SUPPORTED_CARD, fcName + " of " + quoted(descriptor) + " is a " +
                                                                 hex4(spec->model) + " function card, not a 6842.");
        for (const auto &other : session->cards)
            if (other->carrier == carrier && other->spec == spec)
                return failWith(nv6842_ERROR_INV_PARAMETER, fcName + " of " + quoted(descriptor) + " is listed twice.");
        auto card = std::make_unique<CardState>();
        card->carrier = carrier;
        card->spec = spec;
        card->descriptor = descriptor;
        session->cards.push_back(std::move(card));
    }

    multEnv_t &env = session->multEnv;
    env.cardCount = static_cast<ViInt16>(session->cards.size());
    env.interfaceType = session->cards.front()->carrier->kind == Carrier::Kind::Lxi ? VI_INTF_TCPIP : VI_INTF_VXI;
    env.mode = 1;
    for (std::size_t i = 0; i < session->cards.size(); ++i) {
        CardState &card = *session->cards[i];
        env.fcNumbers[i] = static_cast<ViInt16>(card.spec->position);
        if (card.carrier != session->cards.front()->carrier)
            env.mode = 0; // cards on several carriers must be synchronised between them
        if (card.carrier->hasVref) {
            card.vrefIf.count = &card.carrier->vrefCount;
            card.vrefIf.values = card.carrier->vrefValues.data();
            card.vrefIf.setVoltRefOutput = &setVoltRefOutput;
            card.vrefIf.getVoltRefOutput = &getVoltRefOutput;
            card.instEnv.head.ifVref = &card.vrefIf;
        }
        card.instEnv.head.libEnv = card.carrier.get();
        card.instEnv.subtype = card.spec->subtype;
        card.instEnv.minRateHz = card.spec->minRateHz;
        card.instEnv.maxRateHz = card.spec->maxRateHz;
        card.instEnv.fcNumber = static_cast<ViInt16>(card.spec->position);
        card.instEnv.scuModel = card.spec->scuModel;
    }
    session->resetSettings();
    session->acquisition = std::make_shared<Acquisition>(static_cast<int>(session->cards.size()));

    *vi = system.add(session);
    for (std::size_t i = 0; i < session->cards.size(); ++i)
        session->cards[i]->sessionId = system.add(std::make_shared<CardSession>(session, static_cast<int>(i)));
    return VI_SUCCESS;
}

ViStatus closeSession(ViSession vi)
{
    System &system = System::instance();
    const auto session = system.findAs<MultSession>(vi);
    if (!session)
        return failWith(nv6842_ERROR_INV_SESSION, "The session is not an open multi-card session.");
    system.remove(vi);
    for (const auto &card : session->cards)
        system.remove(card->sessionId);
    session->acquisition->stop();
    return VI_SUCCESS;
}

} // namespace trellin::sim
