// The 6842 card description: model code, texts and the driver's session
// operations, handed to the framework through one global instance, gl_fc.
#ifndef NV6842_FC_H
#define NV6842_FC_H

#include "nv9471fp_genFC.h"

class nv6842_fc : public nv9471fp_genFC
{
public:
    nv6842_fc();

    bool isSupportedModel(ViUInt16 code) const override;
    QString description() const override;
    QString legalNotice() const override;
    QString version() const override;
    QString driverRevision() const override;
    QString errorMessage(ViStatus status) const override;
    ViStatus multInit(ViRsrc descriptors, ViInt16 fcNumbers[], ViBoolean idQuery, ViBoolean reset,
                      ViSession *session) override;
    ViStatus multInitStore(ViRsrc descriptors, ViInt16 fcNumbers[], ViInt16 count,
                           ViBoolean idQuery, ViBoolean reset, ViSession *session) override;
    ViStatus multReinit(ViSession *session) override;
    ViStatus multClose(ViSession session) override;
    ViStatus multReset(ViSession session) override;
    ViStatus fcSession(ViSession session, ViInt16 index, ViSession *cardSession) override;
    QString fcSessionCallText() const override;

    // The set of cards given to the last multInitStore, for multReinit.
    char lastDescriptor[2048];
    ViInt16 lastFcNumbers[256];
};

extern nv6842_fc gl_fc;

#endif
