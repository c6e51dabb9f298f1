// Simulated VISA: a resource manager over the configured resources.
#include "visa.h"

#include "sim_descriptor.h"
#include "sim_system.h"

#include <deque>

using namespace trellin::sim;

namespace {

class ResourceManager : public SimObject
{
public:
    ViStatus getAttribute(ViAttr attribute, void *state) override
    {
        if (attribute != VI_ATTR_USER_DATA)
            return VI_ERROR_NSUP_ATTR;
        *static_cast<ViAddr *>(state) = userData;
        return VI_SUCCESS;
    }
    ViStatus setAttribute(ViAttr attribute, ViAttrState state) override
    {
        if (attribute != VI_ATTR_USER_DATA)
            return VI_ERROR_NSUP_ATTR;
        userData = reinterpret_cast<ViAddr>(static_cast<uintptr_t>(state));
        return VI_SUCCESS;
    }
    bool closableByVisa() const override { return true; }

private:
    ViAddr userData = nullptr;
};

class FindList : public SimObject
{
public:
    explicit FindList(std::deque<std::string> r) : remaining(std::move(r)) {}
    bool closableByVisa() const override { return true; }

    std::mutex mutex;
    std::deque<std::string> remaining;
};

// Records the precise text of a failure (none: the status's own text) so
// that no earlier failure's reason is shown for it.
ViStatus fail(ViStatus status, const std::string &detail = std::string())
{
    setStatusDetail(status, detail);
    return status;
}

bool isResourceManager(ViSession rm)
{
    return System::instance().findAs<ResourceManager>(rm) != nullptr;
}

} // namespace

extern "C" {

ViStatus viOpenDefaultRM(ViSession *rm)
{
    System::instance().refresh();
    TRELLIN_SIM_INJECT("viOpenDefaultRM");
    if (!rm)
        return VI_ERROR_INV_PARAMETER;
    *rm = System::instance().add(std::make_shared<ResourceManager>());
    return VI_SUCCESS;
}

ViStatus viFindRsrc(ViSession rm, ViConstString expr, ViFindList *list, ViUInt32 *count, ViChar desc[])
{
    System &system = System::instance();
    const auto config = system.refresh();
    TRELLIN_SIM_INJECT("viFindRsrc");
    if (list)
        *list = VI_NULL;
    if (count)
        *count = 0;
    if (!isResourceManager(rm))
        return VI_ERROR_INV_OBJECT;
    if (!expr || !supportedExpression(expr))
        return VI_ERROR_INV_EXPR;
    std::deque<std::string> found;
    for (const std::string &descriptor : config->listing)
        if (expressionMatches(expr, descriptor))
            found.push_back(descriptor);
    if (found.empty())
        return fail(VI_ERROR_RSRC_NFOUND, "No resource matches the search expression " + quoted(expr) + ".");
    if (count)
        *count = static_cast<ViUInt32>(found.size());
    if (desc)
        copyText(found.front(), desc, VI_FIND_BUFLEN);
    found.pop_front();
    if (list)
        *list = system.add(std::make_shared<FindList>(std::move(found)), rm);
    return VI_SUCCESS;
}

ViStatus viFindNext(ViFindList list, ViChar desc[])
{
    TRELLIN_SIM_INJECT("viFindNext");
    const auto findList = System::instance().findAs<FindList>(list);
    if (!findList)
        return VI_ERROR_INV_OBJECT;
    std::lock_guard<std::mutex> lock(findList->mutex);
    if (findList->remaining.empty())
        return fail(VI_ERROR_RSRC_NFOUND, "The search list has no further resource.");
    if (desc)
        copyText(findList->remaining.front(), desc, VI_FIND_BUFLEN);
    findList->remaining.pop_front();
    return VI_SUCCESS;
}

ViStatus viOpen(ViSession rm, ViConstRsrc name, ViAccessMode, ViUInt32, ViSession *vi)
{
    System &system = System::instance();
    const auto config = system.refresh();
    TRELLIN_SIM_INJECT("viOpen");
    if (vi)
        *vi = VI_NULL;
    if (!isResourceManager(rm))
        return VI_ERROR_INV_OBJECT;
    if (!name || !vi)
        return VI_ERROR_INV_PARAMETER;
    ParsedDescriptor parsed;
    if (!parseDescriptor(name, parsed))
        return fail(VI_ERROR_INV_RSRC_NAME, "The resource " + quoted(name) + " is not a valid resource descriptor.");
    for (const auto &carrier : config->carriers) {
        if (reachesCarrier(*carrier, name)) {
            *vi = system.add(std::make_shared<InstrSession>(carrier, trim(name)), rm);
            return VI_SUCCESS;
        }
    }
    for (const PlainResource &resource : config->resources) {
        if (!sameResource(resource.descriptor, name))
            continue;
        // A listed device that does not answer.
        if (resource.openFails)
            return fail(VI_ERROR_TMO, "The resource " + quoted(name) + " did not answer in time (time-out).");
        *vi = system.add(std::make_shared<InstrSession>(nullptr, trim(name)), rm);
        return VI_SUCCESS;
    }
    return fail(VI_ERROR_RSRC_NFOUND, "The resource " + quoted(name) + " is not present in the system.");
}

ViStatus viClose(ViObject vi)
{
    TRELLIN_SIM_INJECT("viClose");
    System &system = System::instance();
    const auto object = system.find(vi);
    if (!object)
        return VI_ERROR_INV_OBJECT;
    if (!object->closableByVisa())
        return VI_ERROR_NSUP_OPER;
    system.remove(vi);
    // Closing a resource manager closes everything opened through it.
    if (dynamic_cast<ResourceManager *>(object.get()))
        system.removeOwnedBy(vi);
    return VI_SUCCESS;
}

ViStatus viGetAttribute(ViObject vi, ViAttr attr, void *attrState)
{
    TRELLIN_SIM_INJECT("viGetAttribute");
    const auto object = System::instance().find(vi);
    if (!object)
        return VI_ERROR_INV_OBJECT;
    if (!attrState)
        return VI_ERROR_INV_PARAMETER;
    return object->getAttribute(attr, attrState);
}

ViStatus viSetAttribute(ViObject vi, ViAttr attr, ViAttrState attrState)
{
    TRELLIN_SIM_INJECT("viSetAttribute");
    const auto object = System::instance().find(vi);
    if (!object)
        return VI_ERROR_INV_OBJECT;
    return object->setAttribute(attr, attrState);
}

} // extern "C"
