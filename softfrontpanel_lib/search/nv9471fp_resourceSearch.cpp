#include "nv9471fp_resourceSearch.h"

#include "nv9471.h"
#include "nv9471fp_descriptor.h"
#include "nv9471fp_genFC.h"

#include <QThreadPool>
#include <QtConcurrent>
#include <algorithm>
#include <atomic>

namespace {

const ViUInt32 revisionOffset = 252;
const int maxProbeThreads = 128;

// The items reach the pool threads and come back through Qt's map kernel and
// future, which synchronise inside Qt where thread checkers cannot see. This
// atomic of our own carries the hand-overs instead: released by the search
// before the probes start and by every probe as it ends, acquired by every
// probe as it starts and by the search before it reads the records.
std::atomic<unsigned> probeHandOver{0};

// Releases the hand-over when a probe ends, on every way out.
struct ProbeEnd {
    ~ProbeEnd() { probeHandOver.fetch_add(1, std::memory_order_acq_rel); }
};

QString fromBuffer(const ViChar *buffer, size_t size)
{
    return QString::fromLatin1(buffer, int(qstrnlen(buffer, uint(size))));
}

void readCarrier(getResourceInfo_params_t &item, ViSession vi, nv9471_carrier *handle)
{
    resourceInfo &info = item.info;
    const nv9471_carrierData *data = nv9471_carrierInfo(handle);
    if (!data)
        return;
    info.carrierCode = translateModelCode(data->carrierModel);

    ViUInt16 interfaceType = 0;
    viGetAttribute(vi, VI_ATTR_INTF_TYPE, &interfaceType);
    if (interfaceType == VI_INTF_TCPIP) {
        ViChar address[256] = {};
        ViChar deviceName[256] = {};
        viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, address);
        viGetAttribute(vi, VI_ATTR_TCPIP_DEVICE_NAME, deviceName);
        info.networkAddress = fromBuffer(address, sizeof address);
        info.systemTexts = QStringList{lxiSystemText(info.networkAddress, info.carrierCode)};
    } else {
        ViInt16 slot = 0;
        ViInt16 logicalAddress = 0;
        viGetAttribute(vi, VI_ATTR_SLOT, &slot);
        viGetAttribute(vi, VI_ATTR_VXI_LA, &logicalAddress);
        info.systemTexts = QStringList{vxiSystemText(slot, info.carrierCode)};
    }

    const auto readWord = reinterpret_cast<nv9471_readFcWordFn>(
        nv9471_accessRoutine(handle, nv9471_ACCESS_READ_FC_WORD));
    const int positions = std::min<int>(data->fcCount, nv9471_MAX_FC_POSITIONS);
    for (int i = 0; i < positions; ++i) {
        const ViUInt16 reported = data->fcModel[i];
        const ViUInt16 shown = translateModelCode(reported);
        QString suffix;
        if (hasRevisionWord(shown)) {
            ViUInt16 word = 0;
            if (!readWord || readWord(handle, ViInt16(i + 1), revisionOffset, &word) < VI_SUCCESS)
                word = 0;
            suffix = revisionSuffix(word);
        }
        info.fcRows.append(QStringList{fcLabelText(i + 1), fcModelText(shown, suffix)});
        const bool supported = item.card && item.card->isSupportedModel(reported);
        info.fcNumbers.append(supported ? i + 1 : 0);
    }
}

bool isNetworkResource(const QString &descriptor)
{
    return descriptor.toUpper().contains(QLatin1String("TCPIP"));
}

} // namespace

void probeResource(getResourceInfo_params_t &item)
{
    probeHandOver.load(std::memory_order_acquire);
    const ProbeEnd end;
    if (item.done)
        return;
    item.done = true;
    const QByteArray descriptor = item.info.descriptor.toLatin1();
    ViSession vi = 0;
    if (viOpen(item.defaultRM, descriptor.constData(), VI_NO_LOCK, 0, &vi) < VI_SUCCESS)
        return;
    nv9471_carrier *handle = nullptr;
    if (nv9471_carrierOpen(vi, &handle) < VI_SUCCESS || !handle) {
        viClose(vi);
        return;
    }
    readCarrier(item, vi, handle);
    nv9471_carrierClose(handle);
    viClose(vi);
}

nv9471fp_resourceSearch::nv9471fp_resourceSearch(nv9471fp_genFC *card) : card(card) {}

nv9471fp_resourceSearch::~nv9471fp_resourceSearch()
{
    close();
}

bool nv9471fp_resourceSearch::findResources()
{
    close();
    items.clear();
    if (viOpenDefaultRM(&defaultRM) < VI_SUCCESS)
        return false;
    managerOpen = true;

    ViChar descriptor[VI_FIND_BUFLEN] = {};
    ViUInt32 count = 0;
    if (viFindRsrc(defaultRM, "?*INSTR", &findList, &count, descriptor) < VI_SUCCESS) {
        close();
        return false;
    }
    listOpen = true;
    auto append = [this, &descriptor]() {
        getResourceInfo_params_t item;
        item.card = card;
        item.defaultRM = defaultRM;
        item.info.descriptor = fromBuffer(descriptor, sizeof descriptor);
        items.append(item);
    };
    append();
    for (ViUInt32 found = 1; found < count; ++found) {
        std::fill(std::begin(descriptor), std::end(descriptor), ViChar(0));
        if (viFindNext(findList, descriptor) < VI_SUCCESS)
            break;
        append();
    }
    return true;
}

void nv9471fp_resourceSearch::probeLocalResources()
{
    for (getResourceInfo_params_t &item : items) {
        if (!isNetworkResource(item.info.descriptor))
            probeResource(item);
    }
}

QFuture<void> nv9471fp_resourceSearch::probeNetworkResources()
{
    QThreadPool::globalInstance()->setMaxThreadCount(std::clamp(items.size(), 1, maxProbeThreads));
    probeHandOver.fetch_add(1, std::memory_order_acq_rel);
    return QtConcurrent::map(items, probeResource);
}

QList<resourceInfo> nv9471fp_resourceSearch::results() const
{
    probeHandOver.load(std::memory_order_acquire);
    QList<resourceInfo> list;
    for (const getResourceInfo_params_t &item : items)
        list.append(item.info);
    list = withoutDuplicateAddresses(list);
    sortResources(list);
    return list;
}

void nv9471fp_resourceSearch::close()
{
    if (listOpen)
        viClose(findList);
    if (managerOpen)
        viClose(defaultRM);
    listOpen = false;
    managerOpen = false;
    findList = 0;
    defaultRM = 0;
}

QList<resourceInfo> withoutDuplicateAddresses(const QList<resourceInfo> &resources)
{
    QList<resourceInfo> kept;
    QStringList addresses;
    for (const resourceInfo &resource : resources) {
        if (!resource.networkAddress.isEmpty()) {
            if (addresses.contains(resource.networkAddress))
                continue;
            addresses.append(resource.networkAddress);
        }
        kept.append(resource);
    }
    return kept;
}

void sortResources(QList<resourceInfo> &resources)
{
    std::stable_sort(resources.begin(), resources.end(),
                     [](const resourceInfo &a, const resourceInfo &b) {
                         return descriptorLess(a.descriptor, b.descriptor);
                     });
}

QList<resourceInfo> searchResources(nv9471fp_genFC *card)
{
    nv9471fp_resourceSearch search(card);
    if (!search.findResources())
        return {};
    search.probeLocalResources();
    search.probeNetworkResources().waitForFinished();
    const QList<resourceInfo> list = search.results();
    search.close();
    return list;
}
