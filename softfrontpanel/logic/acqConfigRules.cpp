#include "acqConfigRules.h"

#include "fileset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
const acqFormatItem formatItems[] = {
    {"Binary, ViReal64", 8},
    {"Text, CSV (V)", 27},
    {"Text, CSV (mV)", 27},
};
constexpr int formatItemCount = int(sizeof formatItems / sizeof formatItems[0]);

const acqRefreshItem refreshItems[] = {
    {"20 msec", 20},   {"50 msec", 50}, {"100 msec", 100}, {"200 msec", 200},
    {"500 msec", 500}, {"1 sec", 1000}, {"2 sec", 2000},
};
constexpr int refreshItemCount = int(sizeof refreshItems / sizeof refreshItems[0]);

const char settingsOrganisation[] = "Norvane Ltd.";
const char settingsApplication[] = "Trellin 6842 Soft Front Panel";
const char settingsGroup[] = "DataStorage";
} // namespace

int acqConfigFormatCount()
{
    return formatItemCount;
}

const acqFormatItem &acqConfigFormatAt(int format)
{
    return formatItems[acqConfigValidFormat(format)];
}

int acqConfigValidFormat(int format)
{
    return format >= 0 && format < formatItemCount ? format : int(acqFormatBinary);
}

bool acqConfigIsCsv(int format)
{
    return format == acqFormatCsvVolts || format == acqFormatCsvMillivolts;
}

int acqConfigRefreshCount()
{
    return refreshItemCount;
}

const acqRefreshItem &acqConfigRefreshAt(int index)
{
    return refreshItems[index >= 0 && index < refreshItemCount ? index
                                                               : acqConfigDefaultRefreshIndex];
}

qint64 acqConfigBytesPerSecond(int bytesPerValue, int samplesPerSecond)
{
    return qint64(bytesPerValue) * qint64(samplesPerSecond);
}

QString acqConfigRateText(qint64 bytesPerSecond)
{
    if (bytesPerSecond >= 1024 && bytesPerSecond > 1048575)
        return QString::asprintf("%.1f MB/s", double(bytesPerSecond) / 1048576.0);
    if (bytesPerSecond >= 1024)
        return QString::asprintf("%.1f kB/s", double(bytesPerSecond) / 1024.0);
    return QString::number(bytesPerSecond) + QStringLiteral(" B/s");
}

QString acqConfigRateLabel(int format, qint64 bytesPerSecond)
{
    const QString text = acqConfigRateText(bytesPerSecond);
    return acqConfigIsCsv(format) ? QStringLiteral("Data Rate: %1 (TEXT)").arg(text)
                                  : QStringLiteral("Data Rate: %1").arg(text);
}

QString acqConfigSuffix(int format)
{
    return acqConfigIsCsv(format) ? QStringLiteral("csv") : QStringLiteral("bin6842");
}

QString acqConfigPathForFormat(const QString &path, int format, bool *changed)
{
    const QFileInfo info(path);
    const QString suffix = acqConfigSuffix(format);
    const bool fits = info.suffix().toLower() == suffix;
    if (changed)
        *changed = !fits;
    if (fits)
        return path;
    // QDir joins without doubling the separator of the root directory.
    return QDir(info.absolutePath()).filePath(info.baseName() + QLatin1Char('.') + suffix);
}

QString acqConfigSplitUnitText(int unit)
{
    return unit == acqSplitMinutes ? QStringLiteral("minutes") : QStringLiteral("MB");
}

acqPathCheck acqConfigCheckPath(const QString &path, int format, bool fileSet, bool trendLog)
{
    acqPathCheck check;
    check.path = path;
    if (path.isEmpty()) {
        check.empty = true;
        return check;
    }
    const QFileInfo info(path);
    check.directory = info.path();
    check.directoryMissing = !QFileInfo(info.absolutePath()).isDir();
    check.path = acqConfigPathForFormat(path, format, &check.extensionChanged);
    const std::string used = QFile::encodeName(check.path).toStdString();
    check.exists = fileSet ? !fileSetMembersPresent(used).empty() : QFileInfo::exists(check.path);
    check.exists = check.exists || (trendLog && QFileInfo::exists(QFile::decodeName(trendLogPath(used).c_str())));
    return check;
}

QString acqConfigBrowseFilters()
{
    return QStringLiteral("Binary data (*.bin6842);;CSV data (*.csv)");
}

QString acqConfigBrowseFilter(const QString &path)
{
    return QFileInfo(path).suffix().toLower() == QLatin1String("csv")
               ? QStringLiteral("CSV data (*.csv)")
               : QStringLiteral("Binary data (*.bin6842)");
}

int acqConfigFormatForChosenFile(const QString &fileName, int currentFormat)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("csv") && !acqConfigIsCsv(currentFormat))
        return acqFormatCsvVolts;
    if (suffix == QLatin1String("bin6842"))
        return acqFormatBinary;
    return currentFormat;
}

QString acqConfigDefaultFileName()
{
    QString directory = qEnvironmentVariable("USERPROFILE");
    if (directory.isEmpty())
        directory = QDir::homePath();
    return QDir::toNativeSeparators(directory + QStringLiteral("/dump.bin6842"));
}

acqStorageSettings acqConfigReadSettings()
{
    QSettings store(QString::fromLatin1(settingsOrganisation),
                    QString::fromLatin1(settingsApplication));
    store.beginGroup(QString::fromLatin1(settingsGroup));
    acqStorageSettings settings;
    settings.fileName =
        store.value(QStringLiteral("FileName"), acqConfigDefaultFileName()).toString();
    settings.format = acqConfigValidFormat(store.value(QStringLiteral("Format"), 0).toInt());
    settings.timestamps = store.value(QStringLiteral("Timestamps"), false).toBool();
    settings.splitFiles = store.value(QStringLiteral("SplitFiles"), false).toBool();
    settings.splitEvery =
        qBound(1, store.value(QStringLiteral("SplitEvery"), acqSplitEveryDefault).toInt(), acqSplitEveryMax);
    settings.splitUnit =
        store.value(QStringLiteral("SplitUnit"), 0).toInt() == acqSplitMinutes ? acqSplitMinutes : acqSplitMegabytes;
    settings.trendLog = store.value(QStringLiteral("TrendLog"), false).toBool();
    return settings;
}

void acqConfigWriteSettings(const acqStorageSettings &settings)
{
    QSettings store(QString::fromLatin1(settingsOrganisation),
                    QString::fromLatin1(settingsApplication));
    store.beginGroup(QString::fromLatin1(settingsGroup));
    store.setValue(QStringLiteral("FileName"), settings.fileName);
    store.setValue(QStringLiteral("Format"), settings.format);
    store.setValue(QStringLiteral("Timestamps"), settings.timestamps);
    store.setValue(QStringLiteral("SplitFiles"), settings.splitFiles);
    store.setValue(QStringLiteral("SplitEvery"), settings.splitEvery);
    store.setValue(QStringLiteral("SplitUnit"), settings.splitUnit);
    store.setValue(QStringLiteral("TrendLog"), settings.trendLog);
}
