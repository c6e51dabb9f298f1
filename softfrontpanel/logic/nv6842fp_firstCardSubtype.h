// The threshold range of every channel panel widens with the subtype of the
// session's first card (nv6842fp::subtypeFactor). The card window keeps one
// of these for all its panels: the driver is asked once, a failing read is
// reported once, and every panel takes the same answer.
#ifndef NV6842FP_FIRSTCARDSUBTYPE_H
#define NV6842FP_FIRSTCARDSUBTYPE_H

#include "visa.h"

#include <functional>

class nv6842fp_firstCardSubtype
{
public:
    // Gets a driver status that is not VI_SUCCESS, with the call's text.
    using Reporter = std::function<void(ViStatus status, const char *call)>;

    // The factor of card 0 of the multi-card session vi. The first call reads
    // it (nv6842_getMultFCsession, then nv6842_getSubType) and hands every
    // failure to report; a failed read counts as factor 1. Later calls
    // return that answer without a driver call or a report.
    int factor(ViSession vi, const Reporter &report);

private:
    int answer = 0; // 0: not read yet
};

#endif
