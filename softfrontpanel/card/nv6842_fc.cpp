#include "nv6842_fc.h"

#include "nv6842.h"

#include <algorithm>
#include <cstring>

namespace {
const ViUInt16 supportedModels[] = {0x6842};
}

nv6842_fc gl_fc;

nv6842_fc::nv6842_fc() : nv9471fp_genFC(0x6842), lastDescriptor{}, lastFcNumbers{} {}

bool nv6842_fc::isSupportedModel(ViUInt16 code) const
{
    return std::find(std::begin(supportedModels), std::end(supportedModels), code) !=
           std::end(supportedModels);
}

QString nv6842_fc::description() const
{
    return QStringLiteral("16-Channel, 24-bit Sigma-Delta ADC Function Card");
}

QString nv6842_fc::legalNotice() const
{
    return QStringLiteral("Copyright (c) 2009-2026 Norvane Ltd. All rights reserved.");
}

QString nv6842_fc::version() const
{
    return QStringLiteral("4.3.16.12460");
}

QString nv6842_fc::driverRevision() const
{
    ViChar revision[64] = {};
    nv6842_revision_query(VI_NULL, revision, nullptr);
    revision[sizeof revision - 1] = '\0';
    return QString::fromLatin1(revision);
}

QString nv6842_fc::errorMessage(ViStatus status) const
{
    ViChar text[1024];
    std::memset(text, 0, sizeof text);
    if (nv6842_error_message(VI_NULL, status, text) != 0)
        return QString();
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text);
}

ViStatus nv6842_fc::multInit(ViRsrc descriptors, ViInt16 fcNumbers[], ViBoolean idQuery,
                             ViBoolean reset, ViSession *session)
{
    return nv6842_multInit(descriptors, fcNumbers, idQuery, reset, session);
}

ViStatus nv6842_fc::multInitStore(ViRsrc descriptors, ViInt16 fcNumbers[], ViInt16 count,
                                  ViBoolean idQuery, ViBoolean reset, ViSession *session)
{
    // Kept so that multReinit can reopen exactly this set of cards later.
    std::strncpy(lastDescriptor, descriptors ? descriptors : "", sizeof lastDescriptor - 1);
    lastDescriptor[sizeof lastDescriptor - 1] = '\0';
    const int kept = std::clamp<int>(count, 0, 256);
    if (fcNumbers)
        std::copy(fcNumbers, fcNumbers + kept, lastFcNumbers);
    return nv6842_multInit(descriptors, fcNumbers, idQuery, reset, session);
}

ViStatus nv6842_fc::multReinit(ViSession *session)
{
    return nv6842_multInit(lastDescriptor, lastFcNumbers, VI_TRUE, VI_TRUE, session);
}

ViStatus nv6842_fc::multClose(ViSession session)
{
    return nv6842_multClose(session);
}

ViStatus nv6842_fc::multReset(ViSession session)
{
    return nv6842_multReset(session, 1);
}

ViStatus nv6842_fc::fcSession(ViSession session, ViInt16 index, ViSession *cardSession)
{
    return nv6842_getMultFCsession(session, index, cardSession);
}

QString nv6842_fc::fcSessionCallText() const
{
    return QStringLiteral("nv6842_getMultFCsession(d_vi, index, &fc_vi)");
}
