// The card description: everything model-specific the framework needs, reached
// through one object so that the framework knows no particular card. Holders
// keep plain non-owning pointers; the one instance lives for the whole process.
#ifndef NV9471FP_GENFC_H
#define NV9471FP_GENFC_H

#include "visa.h"

#include <QString>

class nv9471fp_genFC
{
public:
    explicit nv9471fp_genFC(int code) : modelCode(code) {}
    virtual ~nv9471fp_genFC() = default;

    virtual bool isSupportedModel(ViUInt16 code) const = 0;
    virtual QString description() const = 0;
    virtual QString legalNotice() const = 0;
    virtual QString version() const = 0;
    virtual QString driverRevision() const = 0;
    virtual QString errorMessage(ViStatus status) const = 0;
    virtual ViStatus multInit(ViRsrc descriptors, ViInt16 fcNumbers[], ViBoolean idQuery,
                              ViBoolean reset, ViSession *session) = 0;
    virtual ViStatus multInitStore(ViRsrc descriptors, ViInt16 fcNumbers[], ViInt16 count,
                                   ViBoolean idQuery, ViBoolean reset, ViSession *session) = 0;
    virtual ViStatus multReinit(ViSession *session) = 0;
    virtual ViStatus multClose(ViSession session) = 0;
    virtual ViStatus multReset(ViSession session) = 0;
    // The session of one card (index 0-based, in session order) of a
    // multi-card session. The frame reports a failure as
    // "<fcSessionCallText()> failed due to [<errorMessage(status)>]".
    virtual ViStatus fcSession(ViSession session, ViInt16 index, ViSession *cardSession) = 0;
    virtual QString fcSessionCallText() const = 0;

    // The model number written as four hexadecimal digits (0x6842).
    int modelCode;
};

// The model code as the operator sees it: base 16, field width 4, padded with
// spaces ("6842"; a code below 0x1000 keeps leading blanks, not zeros).
inline QString nv9471fp_modelText(int modelCode)
{
    return QStringLiteral("%1").arg(modelCode, 4, 16, QLatin1Char(' '));
}

#endif
