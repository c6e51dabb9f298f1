// The VISA search for carriers and their function cards, without widgets:
// lists every instrument resource, probes each one for carrier information
// (network resources concurrently on the global thread pool), merges network
// resources that reach the same carrier and sorts the result. The selection
// dialog drives it and shows its progress; tests and tools can run it headless.
#ifndef NV9471FP_RESOURCESEARCH_H
#define NV9471FP_RESOURCESEARCH_H

#include "visa.h"

#include <QFuture>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class nv9471fp_genFC;

// One VISA resource found by the search. Empty apart from the descriptor when
// the resource could not be opened or is not a carrier.
struct resourceInfo {
    QString descriptor;
    QStringList systemTexts;   // one entry: "Slot %1 - %2 MB" or "%1 - %2 LXI"
    ViUInt16 carrierCode = 0;  // after display translation
    QList<QStringList> fcRows; // per position: "FC %1" and the card's model text
    QList<int> fcNumbers;      // per position: 1-based FC number, 0 when not supported
    QString networkAddress;    // TCP/IP address of a network carrier, else empty
};

// One work item of the concurrent probe. The probe reads and writes only its
// own item, so items need no locking.
struct getResourceInfo_params_t {
    nv9471fp_genFC *card = nullptr; // non-owning
    ViSession defaultRM = 0;
    resourceInfo info;
    bool done = false;
};

// Opens the item's resource and fills its record from the carrier information.
void probeResource(getResourceInfo_params_t &item);

class nv9471fp_resourceSearch
{
public:
    explicit nv9471fp_resourceSearch(nv9471fp_genFC *card);
    ~nv9471fp_resourceSearch(); // closes the search list and the resource manager
    nv9471fp_resourceSearch(const nv9471fp_resourceSearch &) = delete;
    nv9471fp_resourceSearch &operator=(const nv9471fp_resourceSearch &) = delete;

    // Opens the default resource manager and lists every "?*INSTR" resource.
    // False (nothing to probe) when the manager or the search fails.
    bool findResources();
    int resourceCount() const { return items.size(); }

    // Probes every resource that is not a network resource, one after the
    // other in the calling thread, and marks it done.
    void probeLocalResources();
    // Caps the global thread pool at the number of resources (at most 128)
    // and starts probing the remaining items on it. The items must not be
    // touched until the returned future has finished.
    QFuture<void> probeNetworkResources();

    // After the probes: the records in search order, without later resources
    // that reach an already kept network address, sorted with descriptorLess.
    QList<resourceInfo> results() const;

    void close();

private:
    nv9471fp_genFC *card;
    ViSession defaultRM = 0;
    ViFindList findList = 0;
    bool managerOpen = false;
    bool listOpen = false;
    QVector<getResourceInfo_params_t> items;
};

// Drops every resource whose non-empty network address was already kept.
QList<resourceInfo> withoutDuplicateAddresses(const QList<resourceInfo> &resources);
// Stable sort with descriptorLess. Stable, so that equal keys keep the order
// of the search; a merge sort also stays in bounds for descriptors whose case
// makes the order inconsistent (tcpip0 against TCPIP0 against VXI0).
void sortResources(QList<resourceInfo> &resources);

// The whole search without a progress display: find, probe, wait, merge, sort.
QList<resourceInfo> searchResources(nv9471fp_genFC *card);

#endif
