// What the engine benchmarks share: the process's CPU time, and the
// simulated cards opened and programmed for a recording of all their
// channels.
#ifndef BENCH_ENGINE_CARDS_H
#define BENCH_ENGINE_CARDS_H

#include "acqSetup.h"
#include "nv6842.h"

#include <sys/resource.h>

#include <string>
#include <vector>

inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Opens cards cards, 8 to a VXI carrier from slot 2, enables their 16
// channels each (gain 1, no filter) and programs them for storage at rate
// with scans per block into *s. VI_NULL when they cannot be opened;
// *setupFailed tells whether programming them failed.
inline ViSession benchOpenCards(int cards, double rate, int scans, acqSettings *s, bool *setupFailed)
{
    std::string list;
    std::vector<ViInt16> fcs;
    for (int k = 0; k < cards; ++k) {
        list += (k ? "," : "") + std::string("VXI0::") + std::to_string(2 + k / 8) + "::INSTR";
        fcs.push_back(ViInt16(k % 8 + 1));
    }
    ViSession vi = VI_NULL;
    if (nv6842_multInit(const_cast<ViRsrc>(list.c_str()), fcs.data(), VI_TRUE, VI_TRUE, &vi) != VI_SUCCESS)
        return VI_NULL;
    s->freq = rate;
    s->scans = scans;
    s->storage = true;
    s->chanMask.assign(size_t(cards), 0xFFFF);
    for (int ch = 1; ch <= cards * 16; ++ch)
        nv6842_setMultChanConfig(vi, ViInt16(ch), 1, 1, VI_FALSE);
    *setupFailed = false;
    acqProgramCards(vi, *s, [setupFailed](ViStatus, const char *) { *setupFailed = true; });
    return vi;
}

#endif
