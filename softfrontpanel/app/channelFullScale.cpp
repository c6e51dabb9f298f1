#include "channelFullScale.h"

#include "analysis/harmonicDetails.h"
#include "nv6842fp_App.h"
#include "nv6842fp_channelRules.h"
#include "nv6842fp_globals.h"

#include <QComboBox>

double nv6842fp_channelFullScale(nv6842fp_App &window, int chIdx)
{
    const nv6842fp_chCfg *panel = window.chPanels.value(chIdx);
    if (fileModeActive() || !panel)
        return defaultFullScaleVolts;
    // The subtype is read once for all panels (their threshold ranges read
    // it first); demo cards have none, as the panels assume.
    const int factor = window.demoMode ? 1
                                       : window.firstCardSubtype().factor(window.hostSession(),
                                                                          [&window](ViStatus status, const char *call) {
                                                                              window.displayError(status, call);
                                                                          });
    return nv6842fp::thresholdLimit(panel->gain->currentData().toInt(), factor);
}
