// Simulated common library: carrier information, error texts, revision, delay.
#include "nv9471.h"

#include "sim_system.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

using namespace trellin::sim;

struct nv9471_carrier {
    nv9471_carrierData data{};
    std::shared_ptr<Carrier> carrier;
};

namespace {

std::mutex handleMutex;
std::set<const nv9471_carrier *> &liveHandles()
{
    static std::set<const nv9471_carrier *> handles;
    return handles;
}

bool isLive(const nv9471_carrier *handle)
{
    std::lock_guard<std::mutex> lock(handleMutex);
    return handle && liveHandles().count(handle) != 0;
}

// The identification words of a function card, as routine 1 reads them.
ViStatus readFcWord(nv9471_carrier *handle, ViInt16 fc, ViUInt32 offset, ViUInt16 *value)
{
    TRELLIN_SIM_INJECT("nv9471_readFcWord");
    if (!isLive(handle))
        return nv9471_ERROR_INV_HANDLE;
    if (!value)
        return nv9471_ERROR_INV_PARAMETER;
    const CardSpec *card = handle->carrier->card(fc);
    if (!card)
        return nv9471_ERROR_INV_FC;
    if (offset % 2 != 0 || offset >= 256)
        return nv9471_ERROR_INV_OFFSET;
    switch (offset) {
    case 0:
        *value = 0x0F7E; // manufacturer
        break;
    case 2:
        *value = card->model;
        break;
    case 4:
        *value = static_cast<ViUInt16>(card->serial >> 16);
        break;
    case 6:
        *value = static_cast<ViUInt16>(card->serial & 0xFFFF);
        break;
    case 252:
        *value = card->revision;
        break;
    default:
        *value = 0;
        break;
    }
    return VI_SUCCESS;
}

} // namespace

extern "C" {

ViStatus nv9471_revision(ViChar revision[])
{
    TRELLIN_SIM_INJECT("nv9471_revision");
    if (!revision)
        return nv9471_ERROR_INV_PARAMETER;
    copyText("nv9471 common library 5.2.1 (simulated)", revision);
    return VI_SUCCESS;
}

ViStatus nv9471_carrierOpen(ViSession vi, nv9471_carrier **handle)
{
    TRELLIN_SIM_INJECT("nv9471_carrierOpen");
    if (!handle)
        return nv9471_ERROR_INV_PARAMETER;
    *handle = nullptr;
    const auto session = System::instance().findAs<InstrSession>(vi);
    if (!session)
        return VI_ERROR_INV_OBJECT;
    if (!session->carrier) {
        setStatusDetail(nv9471_ERROR_NOT_A_CARRIER, "The resource " + quoted(session->descriptor) +
                                                        " is not a Trellin carrier (no carrier information).");
        return nv9471_ERROR_NOT_A_CARRIER;
    }
    auto *h = new nv9471_carrier;
    h->carrier = session->carrier;
    h->data.fcCount = static_cast<ViUInt16>(h->carrier->positions);
    h->data.carrierModel = h->carrier->model;
    for (const CardSpec &card : h->carrier->cards)
        h->data.fcModel[card.position - 1] = card.model;
    {
        std::lock_guard<std::mutex> lock(handleMutex);
        liveHandles().insert(h);
    }
    *handle = h;
    return VI_SUCCESS;
}

ViStatus nv9471_carrierClose(nv9471_carrier *handle)
{
    TRELLIN_SIM_INJECT("nv9471_carrierClose");
    {
        std::lock_guard<std::mutex> lock(handleMutex);
        if (!handle || liveHandles().erase(handle) == 0)
            return nv9471_ERROR_INV_HANDLE;
    }
    delete handle;
    return VI_SUCCESS;
}

const nv9471_carrierData *nv9471_carrierInfo(const nv9471_carrier *handle)
{
    return isLive(handle) ? &handle->data : nullptr;
}

void *nv9471_accessRoutine(const nv9471_carrier *handle, ViInt32 index)
{
    if (!isLive(handle) || index != nv9471_ACCESS_READ_FC_WORD)
        return nullptr;
    return reinterpret_cast<void *>(&readFcWord);
}

ViStatus nv9471_errorText(ViStatus status, ViChar text[])
{
    TRELLIN_SIM_INJECT("nv9471_errorText");
    if (!text)
        return nv9471_ERROR_INV_PARAMETER;
    if (statusText(status)) {
        copyText(statusMessage(status), text, 1024);
        return VI_SUCCESS;
    }
    char unknown[96];
    std::snprintf(unknown, sizeof unknown, "The %s status code 0x%08X (%d) is unknown.",
                  status < 0 ? "error" : "warning", static_cast<unsigned>(status), static_cast<int>(status));
    copyText(unknown, text, 1024);
    return VI_WARN_UNKNOWN_STATUS;
}

ViStatus nv9471_delay(ViReal64 milliseconds)
{
    TRELLIN_SIM_INJECT("nv9471_delay");
    if (!(milliseconds > 0)) {
        std::this_thread::yield();
        return VI_SUCCESS;
    }
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(std::min(milliseconds, 3.6e6)));
    return VI_SUCCESS;
}

} // extern "C"
