// Where the analysis settings of the measurement page are kept between runs:
// the program's QSettings (organisation "Norvane Ltd.", application "Trellin
// 6842 Soft Front Panel"), group "Analysis", one key per setting as
// analysisSettingsValues() names and writes them.
#ifndef ANALYSISSETTINGSSTORE_H
#define ANALYSISSETTINGSSTORE_H

#include "analysis/analysisSettings.h"

#include <QString>

// The stored settings; the defaults when none are stored. Stored values that
// are unreadable or out of range give the defaults and, in why, the reason;
// the store itself is left as it is, so that nothing is lost.
AnalysisSettings nv6842fp_readAnalysisSettings(QString *why);
void nv6842fp_writeAnalysisSettings(const AnalysisSettings &settings);

#endif
