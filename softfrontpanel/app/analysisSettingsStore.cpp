#include "analysisSettingsStore.h"

#include <QSettings>

namespace {

const char analysisGroup[] = "Analysis";

QSettings programSettings()
{
    return QSettings(QStringLiteral("Norvane Ltd."), QStringLiteral("Trellin 6842 Soft Front Panel"));
}

} // namespace

AnalysisSettings nv6842fp_readAnalysisSettings(QString *why)
{
    QSettings store = programSettings();
    store.beginGroup(QLatin1String(analysisGroup));
    AnalysisSettingsValues values;
    for (const QString &key : store.childKeys())
        values.emplace_back(key.toStdString(), store.value(key).toString().toStdString());
    AnalysisSettings settings;
    const std::string refused = readAnalysisSettingsValues(values, settings);
    if (why)
        *why = QString::fromStdString(refused);
    return settings;
}

void nv6842fp_writeAnalysisSettings(const AnalysisSettings &settings)
{
    QSettings store = programSettings();
    store.beginGroup(QLatin1String(analysisGroup));
    for (const auto &[name, text] : analysisSettingsValues(settings))
        store.setValue(QString::fromStdString(name), QString::fromStdString(text));
}
