// The simulated system shared by the three simulated libraries: the current
// configuration (re-read when TRELLIN_SIM changes), injected failures, the
// table of open objects (VISA and driver sessions) and the card clock.
#ifndef TRELLIN_SIM_SYSTEM_H
#define TRELLIN_SIM_SYSTEM_H

#include "sim_config.h"
#include "sim_export.h"
#include "visa.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace trellin::sim {

// Anything a ViObject can name.
class TRELLIN_SIM_API SimObject
{
public:
    virtual ~SimObject();
    virtual ViStatus getAttribute(ViAttr attribute, void *state);
    virtual ViStatus setAttribute(ViAttr attribute, ViAttrState state);
    // True for objects that viClose may close (VISA sessions and find lists).
    virtual bool closableByVisa() const { return false; }

    ViObject id = 0;
    ViObject owner = 0; // resource manager that opened it, 0 for none
};

// A VISA INSTR session on a configured resource.
class TRELLIN_SIM_API InstrSession : public SimObject
{
public:
    InstrSession(std::shared_ptr<Carrier> carrier, std::string descriptor);
    ~InstrSession() override;
    ViStatus getAttribute(ViAttr attribute, void *state) override;
    ViStatus setAttribute(ViAttr attribute, ViAttrState state) override;
    bool closableByVisa() const override { return true; }

    const std::shared_ptr<Carrier> carrier; // null for a resource that is no carrier
    const std::string descriptor;

private:
    ViAddr userData = nullptr;
};

// Attributes a session on a carrier answers (interface, slot, address, names).
TRELLIN_SIM_API ViStatus carrierAttribute(const Carrier &carrier, const std::string &rsrcName,
                                          ViAttr attribute, void *state);
// Copies text into a caller's 256-byte attribute buffer.
TRELLIN_SIM_API void copyText(const std::string &text, ViChar *buffer, std::size_t size = 256);

class TRELLIN_SIM_API System
{
public:
    static System &instance();

    // Re-reads TRELLIN_SIM (and the file it names) when it changed and
    // returns the configuration in force.
    std::shared_ptr<const Config> refresh();
    std::shared_ptr<const Config> current();
    // The error of the last malformed configuration, empty when it was valid.
    std::string configError();

    // A status to return instead of doing the call, from the 'fail' rules.
    std::optional<ViStatus> injected(const char *call);
    // The most scans a read may deliver now, from the 'short' rules.
    std::optional<int32_t> shortRead(const char *call);

    ViObject add(std::shared_ptr<SimObject> object, ViObject owner = 0);
    std::shared_ptr<SimObject> find(ViObject id);
    std::shared_ptr<SimObject> remove(ViObject id);
    // Removes and returns everything a resource manager opened.
    std::vector<std::shared_ptr<SimObject>> removeOwnedBy(ViObject owner);

    template <class T> std::shared_ptr<T> findAs(ViObject id)
    {
        return std::dynamic_pointer_cast<T>(find(id));
    }

private:
    System();
    void load(const std::string &value, const std::string &content);
    // The first rule of the call (of 'short' rules or of the others) whose
    // turn has come, with its count taken; null when none applies.
    FailRule *takeRule(const char *call, bool shortRules);

    std::mutex configMutex;
    std::shared_ptr<const Config> config;
    std::string lastValue;
    std::string lastContent;
    bool loaded = false;
    std::string error;
    std::string reportedError;
    std::vector<FailRule> failRules;
    std::atomic<bool> haveFailRules{false};

    std::mutex objectMutex;
    std::unordered_map<ViObject, std::shared_ptr<SimObject>> objects;
    ViObject nextId = 0x1000;
};

// Card clock: card time = UTC + utcOffset, advancing with the steady clock so
// that pacing and time stamps never disagree.
TRELLIN_SIM_API int64_t cardNowNs(int32_t utcOffset);
TRELLIN_SIM_API std::chrono::steady_clock::time_point steadyAtCardNs(int64_t cardNs, int32_t utcOffset);

// Texts of every status the simulated libraries know; null when unknown.
TRELLIN_SIM_API const char *statusText(ViStatus status);
// Whether the driver's error-message call knows the status (VISA and own codes).
TRELLIN_SIM_API bool driverKnowsStatus(ViStatus status);
// A more precise text for the last failure with this status (e.g. which
// descriptor was not found), a whole sentence; empty when there is none.
TRELLIN_SIM_API void setStatusDetail(ViStatus status, const std::string &detail);
TRELLIN_SIM_API std::string statusDetail(ViStatus status);
// What the error-text calls show: the precise text when there is one, else
// the status's own text; empty for an unknown status.
TRELLIN_SIM_API std::string statusMessage(ViStatus status);
// A descriptor (or other name) as the texts show it: in double quotes.
inline std::string quoted(const std::string &name)
{
    return '"' + name + '"';
}
TRELLIN_SIM_API void clearStatusDetails();

// Makes an exported call return the status a 'fail' rule injects before it
// does anything else; the status then carries no reason of an earlier failure.
#define TRELLIN_SIM_INJECT(name)                                                                            \
    if (const auto injectedStatus = ::trellin::sim::System::instance().injected(name)) {                   \
        ::trellin::sim::setStatusDetail(*injectedStatus, std::string());                                    \
        return *injectedStatus;                                                                             \
    }

} // namespace trellin::sim

#endif
