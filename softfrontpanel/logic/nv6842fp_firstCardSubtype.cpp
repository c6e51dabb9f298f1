#include "nv6842fp_firstCardSubtype.h"

#include "nv6842.h"
#include "nv6842fp_channelRules.h"

int nv6842fp_firstCardSubtype::factor(ViSession vi, const Reporter &report)
{
    if (answer > 0)
        return answer;
    // Whatever happens now is the answer for the session: the subtype does
    // not change, and a read that failed once is not worth a box per panel.
    answer = 1;
    ViSession fc_vi = 0;
    ViStatus status = nv6842_getMultFCsession(vi, 0, &fc_vi);
    if (status != VI_SUCCESS)
        report(status, "nv6842_getMultFCsession(d_vi, 0, &fc_vi)");
    if (status < VI_SUCCESS)
        return answer;
    ViChar subtype[8] = {};
    status = nv6842_getSubType(fc_vi, subtype);
    if (status != VI_SUCCESS)
        report(status, "nv6842_getSubType(fc_vi, subtype)");
    if (status < VI_SUCCESS)
        return answer;
    subtype[sizeof subtype - 1] = '\0';
    answer = nv6842fp::subtypeFactor(subtype);
    return answer;
}
