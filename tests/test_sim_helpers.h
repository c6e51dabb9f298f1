// Helpers shared by the simulator tests: configuration switching, searches,
// sessions and the driver's texts.
#ifndef TEST_SIM_HELPERS_H
#define TEST_SIM_HELPERS_H

#include "nv6842.h"
#include "nv9471.h"
#include "trellin_sim.h"
#include "visa.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QtGlobal>

#include <vector>

// Sets TRELLIN_SIM for one test and restores the default system afterwards.
class SimConfig
{
public:
    explicit SimConfig(const QByteArray &text) { qputenv("TRELLIN_SIM", text); }
    ~SimConfig() { qputenv("TRELLIN_SIM", QByteArray()); }
};

// Polls pred every 2 ms until it holds or the time-out passes.
template <class Pred> bool pollUntil(Pred pred, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

inline QStringList findResources(const char *expression = "?*INSTR", ViStatus *status = nullptr)
{
    QStringList found;
    ViSession rm = VI_NULL;
    if (viOpenDefaultRM(&rm) != VI_SUCCESS)
        return found;
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    const ViStatus s = viFindRsrc(rm, expression, &list, &count, desc);
    if (status)
        *status = s;
    if (s == VI_SUCCESS) {
        found << QString::fromLatin1(desc);
        for (ViUInt32 i = 1; i < count && viFindNext(list, desc) == VI_SUCCESS; ++i)
            found << QString::fromLatin1(desc);
    }
    viClose(rm);
    return found;
}

// The text the program shows for a failed open: the driver's, else the common library's.
inline QString driverText(ViStatus status)
{
    ViChar text[1024] = {};
    if (nv6842_error_message(VI_NULL, status, text) != VI_SUCCESS || text[0] == '\0')
        nv9471_errorText(status, text);
    return QString::fromLatin1(text);
}

inline ViStatus openCards(const char *descriptors, std::vector<ViInt16> fcNumbers, ViSession *vi)
{
    return nv6842_multInit(const_cast<ViRsrc>(descriptors), fcNumbers.data(), VI_TRUE, VI_TRUE, vi);
}

inline ViSession cardSessionOf(ViSession vi, int index)
{
    ViSession fcVi = VI_NULL;
    nv6842_getMultFCsession(vi, static_cast<ViInt16>(index), &fcVi);
    return fcVi;
}

inline int64_t cardNowNs(ViSession fcVi)
{
    ViInt64 seconds = 0;
    ViInt32 nanoseconds = 0;
    nv6842_getCurrentTimeEx(fcVi, &seconds, &nanoseconds, nullptr, nullptr);
    return seconds * 1000000000LL + nanoseconds;
}

// Channel of a multi-card call: card k (0-based), channel c (1..16).
inline ViInt16 channelOf(int card, int channel)
{
    return static_cast<ViInt16>(card * nv6842_CHANNELS + channel);
}

#endif
