#include "sim_system.h"

#include "nv6842.h"
#include "nv9471.h"
#include "sim_descriptor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace trellin::sim {

SimObject::~SimObject() = default;

ViStatus SimObject::getAttribute(ViAttr, void *)
{
    return VI_ERROR_NSUP_ATTR;
}

ViStatus SimObject::setAttribute(ViAttr, ViAttrState)
{
    return VI_ERROR_NSUP_ATTR;
}

InstrSession::InstrSession(std::shared_ptr<Carrier> c, std::string d)
    : carrier(std::move(c)), descriptor(std::move(d))
{
}

InstrSession::~InstrSession() = default;

ViStatus InstrSession::getAttribute(ViAttr attribute, void *state)
{
    if (attribute == VI_ATTR_USER_DATA) {
        *static_cast<ViAddr *>(state) = userData;
        return VI_SUCCESS;
    }
    if (carrier)
        return carrierAttribute(*carrier, descriptor, attribute, state);
    switch (attribute) {
    case VI_ATTR_INTF_TYPE:
        *static_cast<ViUInt16 *>(state) = static_cast<ViUInt16>(interfaceType(descriptor));
        return VI_SUCCESS;
    case VI_ATTR_INTF_NUM: {
        ParsedDescriptor parsed;
        parseDescriptor(descriptor, parsed);
        *static_cast<ViUInt16 *>(state) = static_cast<ViUInt16>(parsed.board);
        return VI_SUCCESS;
    }
    case VI_ATTR_RSRC_NAME:
        copyText(descriptor, static_cast<ViChar *>(state));
        return VI_SUCCESS;
    default:
        return VI_ERROR_NSUP_ATTR;
    }
}

ViStatus InstrSession::setAttribute(ViAttr attribute, ViAttrState state)
{
    if (attribute != VI_ATTR_USER_DATA)
        return VI_ERROR_NSUP_ATTR;
    userData = reinterpret_cast<ViAddr>(static_cast<uintptr_t>(state));
    return VI_SUCCESS;
}

void copyText(const std::string &text, ViChar *buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return;
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

ViStatus carrierAttribute(const Carrier &carrier, const std::string &rsrcName, ViAttr attribute, void *state)
{
    if (!state)
        return VI_ERROR_INV_PARAMETER;
    const bool lxi = carrier.kind == Carrier::Kind::Lxi;
    switch (attribute) {
    case VI_ATTR_INTF_TYPE:
        *static_cast<ViUInt16 *>(state) = lxi ? VI_INTF_TCPIP : VI_INTF_VXI;
        return VI_SUCCESS;
    case VI_ATTR_INTF_NUM:
        *static_cast<ViUInt16 *>(state) = static_cast<ViUInt16>(carrier.board);
        return VI_SUCCESS;
    case VI_ATTR_MANF_ID:
        *static_cast<ViUInt16 *>(state) = 0x0F7E;
        return VI_SUCCESS;
    case VI_ATTR_MODEL_CODE:
        *static_cast<ViUInt16 *>(state) = carrier.model;
        return VI_SUCCESS;
    case VI_ATTR_RSRC_NAME:
        copyText(rsrcName, static_cast<ViChar *>(state));
        return VI_SUCCESS;
    case VI_ATTR_SLOT:
        if (lxi)
            return VI_ERROR_NSUP_ATTR;
        *static_cast<ViInt16 *>(state) = static_cast<ViInt16>(carrier.slot);
        return VI_SUCCESS;
    case VI_ATTR_VXI_LA:
        if (lxi)
            return VI_ERROR_NSUP_ATTR;
        *static_cast<ViInt16 *>(state) = static_cast<ViInt16>(carrier.logicalAddress);
        return VI_SUCCESS;
    case VI_ATTR_TCPIP_ADDR:
        if (!lxi)
            return VI_ERROR_NSUP_ATTR;
        copyText(carrier.ip, static_cast<ViChar *>(state));
        return VI_SUCCESS;
    case VI_ATTR_TCPIP_HOSTNAME:
        if (!lxi)
            return VI_ERROR_NSUP_ATTR;
        copyText(carrier.host, static_cast<ViChar *>(state));
        return VI_SUCCESS;
    case VI_ATTR_TCPIP_DEVICE_NAME:
        if (!lxi)
            return VI_ERROR_NSUP_ATTR;
        copyText(carrier.device, static_cast<ViChar *>(state));
        return VI_SUCCESS;
    default:
        return VI_ERROR_NSUP_ATTR;
    }
}

System::System() = default;

System &System::instance()
{
    static System system;
    return system;
}

std::shared_ptr<const Config> System::refresh()
{
    const char *raw = std::getenv("TRELLIN_SIM");
    const std::string value = raw ? raw : "";
    std::string content;
    if (!value.empty() && value[0] == '@') {
        std::ifstream in(trim(value.substr(1)), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        content = text.str();
    }
    std::lock_guard<std::mutex> lock(configMutex);
    if (!loaded || value != lastValue || content != lastContent)
        load(value, content);
    return config;
}

void System::load(const std::string &value, const std::string &content)
{
    lastValue = value;
    lastContent = content;
    loaded = true;
    ParseResult result = parseConfigValue(value);
    if (result.config) {
        error.clear();
    } else {
        error = result.error;
        // Reported once per faulty value, so that a polling program does not flood stderr.
        if (reportedError != value + '\n' + content) {
            reportedError = value + '\n' + content;
            std::fprintf(stderr,
                         "TRELLIN_SIM: %s\nTRELLIN_SIM: the configuration is ignored; the simulator "
                         "uses its default system instead.\n",
                         error.c_str());
            std::fflush(stderr);
        }
        result = parseConfig(std::string());
    }
    config = result.config;
    failRules = config->failRules;
    haveFailRules = !failRules.empty();
}

std::shared_ptr<const Config> System::current()
{
    {
        std::lock_guard<std::mutex> lock(configMutex);
        if (loaded)
            return config;
    }
    return refresh();
}

std::string System::configError()
{
    std::lock_guard<std::mutex> lock(configMutex);
    return error;
}

FailRule *System::takeRule(const char *call, bool shortRules)
{
    FailRule *taken = nullptr;
    for (FailRule &rule : failRules) {
        if (rule.call != call || (rule.maxScans >= 0) != shortRules || rule.count == 0)
            continue;
        // Every call counts towards each rule's after=, whichever rule applies.
        if (rule.after > 0) {
            --rule.after;
            continue;
        }
        if (!taken) {
            taken = &rule;
            if (rule.count > 0)
                --rule.count;
        }
    }
    return taken;
}

std::optional<ViStatus> System::injected(const char *call)
{
    if (!haveFailRules.load(std::memory_order_relaxed))
        return std::nullopt;
    std::lock_guard<std::mutex> lock(configMutex);
    if (const FailRule *rule = takeRule(call, false))
        return rule->status;
    return std::nullopt;
}

std::optional<int32_t> System::shortRead(const char *call)
{
    if (!haveFailRules.load(std::memory_order_relaxed))
        return std::nullopt;
    std::lock_guard<std::mutex> lock(configMutex);
    if (const FailRule *rule = takeRule(call, true))
        return rule->maxScans;
    return std::nullopt;
}

ViObject System::add(std::shared_ptr<SimObject> object, ViObject owner)
{
    std::lock_guard<std::mutex> lock(objectMutex);
    ViObject id = nextId++;
    if (nextId == 0)
        nextId = 0x1000;
    object->id = id;
    object->owner = owner;
    objects.emplace(id, std::move(object));
    return id;
}

std::shared_ptr<SimObject> System::find(ViObject id)
{
    std::lock_guard<std::mutex> lock(objectMutex);
    const auto it = objects.find(id);
    return it == objects.end() ? nullptr : it->second;
}

std::shared_ptr<SimObject> System::remove(ViObject id)
{
    std::lock_guard<std::mutex> lock(objectMutex);
    const auto it = objects.find(id);
    if (it == objects.end())
        return nullptr;
    auto object = it->second;
    objects.erase(it);
    return object;
}

std::vector<std::shared_ptr<SimObject>> System::removeOwnedBy(ViObject owner)
{
    std::vector<std::shared_ptr<SimObject>> removed;
    std::lock_guard<std::mutex> lock(objectMutex);
    for (auto it = objects.begin(); it != objects.end();) {
        if (it->second->owner == owner) {
            removed.push_back(it->second);
            it = objects.erase(it);
        } else {
            ++it;
        }
    }
    return removed;
}

namespace {

struct ClockBase {
    std::chrono::steady_clock::time_point steady = std::chrono::steady_clock::now();
    int64_t utcNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
};

const ClockBase &clockBase()
{
    static const ClockBase base;
    return base;
}

} // namespace

int64_t cardNowNs(int32_t utcOffset)
{
    const ClockBase &base = clockBase();
    const int64_t elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - base.steady)
            .count();
    return base.utcNs + elapsed + static_cast<int64_t>(utcOffset) * 1000000000LL;
}

std::chrono::steady_clock::time_point steadyAtCardNs(int64_t cardNs, int32_t utcOffset)
{
    const ClockBase &base = clockBase();
    const int64_t elapsed = cardNs - static_cast<int64_t>(utcOffset) * 1000000000LL - base.utcNs;
    return base.steady + std::chrono::nanoseconds(elapsed);
}

namespace {

struct StatusEntry {
    ViStatus status;
    const char *text;
    bool driver; // known to nv6842_error_message as well
};

const StatusEntry statusTable[] = {
    {VI_SUCCESS, "The operation completed successfully.", true},
    {VI_ERROR_SYSTEM_ERROR, "A VISA system error occurred.", true},
    {VI_ERROR_INV_OBJECT, "The session or object reference is not valid.", true},
    {VI_ERROR_RSRC_NFOUND, "The resource is not present in the system, or the search found nothing.", true},
    {VI_ERROR_INV_RSRC_NAME, "The resource descriptor cannot be parsed.", true},
    {VI_ERROR_TMO, "The device did not answer in time (time-out).", true},
    {VI_ERROR_NSUP_ATTR, "The attribute is not supported by this session.", true},
    {VI_ERROR_INV_EXPR, "The search expression is not supported (use ?*INSTR or another pattern of ? and *).", true},
    {VI_ERROR_NSUP_OPER, "The session does not support this operation.", true},
    {VI_ERROR_ALLOC, "There is not enough memory for the operation.", true},
    {VI_ERROR_INV_PARAMETER, "A parameter value is not valid.", true},
    {VI_ERROR_RSRC_BUSY, "The resource is busy.", true},
    {nv9471_ERROR_NOT_A_CARRIER, "The resource is not a Trellin carrier (no carrier information).", false},
    {nv9471_ERROR_INV_HANDLE, "The carrier handle is not valid.", false},
    {nv9471_ERROR_INV_FC, "There is no function card at this position of the carrier.", false},
    {nv9471_ERROR_INV_OFFSET, "The offset is outside the function card's identification area.", false},
    {nv9471_ERROR_INV_PARAMETER, "A parameter of the common library call is not valid.", false},
    {nv6842_ERROR_INV_SESSION, "The session is not a valid 6842 session.", true},
    {nv6842_ERROR_INV_PARAMETER, "A parameter value is out of range.", true},
    {nv6842_ERROR_NOT_SUPPORTED_CARD, "The function card is not a 6842.", true},
    {nv6842_ERROR_RSRC_NFOUND, "The resource was not found.", true},
    {nv6842_ERROR_NO_FC, "There is no function card at the given position.", true},
    {nv6842_ERROR_ACQ_RUNNING, "An acquisition is already running.", true},
    {nv6842_ERROR_ACQ_NOT_RUNNING, "No acquisition is running.", true},
    {nv6842_ERROR_NO_DATA, "No acquired data is available to read.", true},
    {nv6842_ERROR_FIFO_OVERFLOW, "Acquired data was lost in a FIFO overflow.", true},
    {nv6842_ERROR_INJECTED, "The simulator configuration (TRELLIN_SIM) injected this failure.", true},
    {nv6842_ERROR_TOO_MANY_CARDS, "There are too many function cards for one session.", true},
    {nv6842_ERROR_BUSY, "The function card is busy.", true},
    {nv6842_ERROR_ABORTED, "A stop or close cancelled the timed start.", true},
    {nv6842_WARN_CALIBRATION,
     "No calibration was made at this gain since the session was opened; the stored coefficients are unchanged.",
     true},
};

std::mutex detailMutex;
std::map<ViStatus, std::string> &details()
{
    static std::map<ViStatus, std::string> map;
    return map;
}

} // namespace

const char *statusText(ViStatus status)
{
    for (const StatusEntry &e : statusTable)
        if (e.status == status)
            return e.text;
    return nullptr;
}

bool driverKnowsStatus(ViStatus status)
{
    for (const StatusEntry &e : statusTable)
        if (e.status == status)
            return e.driver;
    return false;
}

void setStatusDetail(ViStatus status, const std::string &detail)
{
    std::lock_guard<std::mutex> lock(detailMutex);
    details()[status] = detail;
}

std::string statusDetail(ViStatus status)
{
    std::lock_guard<std::mutex> lock(detailMutex);
    const auto it = details().find(status);
    return it == details().end() ? std::string() : it->second;
}

std::string statusMessage(ViStatus status)
{
    const std::string detail = statusDetail(status);
    if (!detail.empty())
        return detail;
    const char *text = statusText(status);
    return text ? text : std::string();
}

void clearStatusDetails()
{
    std::lock_guard<std::mutex> lock(detailMutex);
    details().clear();
}

} // namespace trellin::sim
