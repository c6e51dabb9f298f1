// The streaming settings dialog's rules, free of widgets: the format and
// refresh tables, the data-rate text, the extension a storage format needs,
// the checks of a chosen output path that need no widget, and the remembered
// "DataStorage" settings.
#ifndef ACQCONFIGRULES_H
#define ACQCONFIGRULES_H

#include <QString>
#include <QtGlobal>

// Storage formats, as the format combo's index and the stored "Format" key.
enum acqStorageFormat { acqFormatBinary = 0, acqFormatCsvVolts = 1, acqFormatCsvMillivolts = 2 };

struct acqFormatItem {
    const char *text;
    int bytesPerValue; // 8 for doubles; a text-size estimate per CSV value
};
int acqConfigFormatCount();
// Out-of-range indices give the binary entry.
const acqFormatItem &acqConfigFormatAt(int format);
// A stored format outside the table falls back to binary.
int acqConfigValidFormat(int format);
bool acqConfigIsCsv(int format);

struct acqRefreshItem {
    const char *text;
    int milliseconds;
};
int acqConfigRefreshCount();
const acqRefreshItem &acqConfigRefreshAt(int index);
constexpr int acqConfigDefaultRefreshIndex = 1; // 50 ms

// 64 bits: many cards in CSV mode pass 2^31 bytes per second.
qint64 acqConfigBytesPerSecond(int bytesPerValue, int samplesPerSecond);
// "%d B/s" below 1024, "%.1lf kB/s" below 2^20, else "%.1lf MB/s".
QString acqConfigRateText(qint64 bytesPerSecond);
// "Data Rate: TEXT", with " (TEXT)" appended for the CSV formats.
QString acqConfigRateLabel(int format, qint64 bytesPerSecond);

// "bin6842" for binary, "csv" for the text formats (no dot).
QString acqConfigSuffix(int format);
// The path with the format's extension: absolute directory, the name up to its
// first dot, then the extension. A suffix that already fits (in any case)
// leaves the path as it is and *changed false. Separators are Qt's "/".
QString acqConfigPathForFormat(const QString &path, int format, bool *changed = nullptr);

// The units of "Start a new file every ... MB / minutes": index 0 "MB"
// (2^20 bytes), 1 "minutes".
enum acqSplitUnit { acqSplitMegabytes = 0, acqSplitMinutes = 1 };
constexpr int acqSplitEveryDefault = 1024; // in the unit, 1 ... acqSplitEveryMax
constexpr int acqSplitEveryMax = 1000000;
QString acqConfigSplitUnitText(int unit);

// What the output-path check finds, before anybody is asked anything.
struct acqPathCheck {
    bool empty = false;            // no path: acquire without storing
    bool directoryMissing = false; // the directory does not exist (or is no directory)
    QString directory;             // the path's directory, as QFileInfo gives it
    QString path;                  // the path to use, maybe with a changed extension
    bool extensionChanged = false;
    bool exists = false;           // something exists under the path to use
};
// With fileSet the files a recording writes are the set's (fileset.h): any
// member present counts as existing, the path itself does not; with
// trendLog its trend log counts too.
acqPathCheck acqConfigCheckPath(const QString &path, int format, bool fileSet = false, bool trendLog = false);

// The save dialog's filters, and the one preselected for the current path.
QString acqConfigBrowseFilters();
QString acqConfigBrowseFilter(const QString &path);
// The format after a file was chosen: ".csv" asks for a text format (keeping
// millivolts), ".bin6842" for binary; other names keep the format.
int acqConfigFormatForChosenFile(const QString &fileName, int currentFormat);

// The remembered choices of the "DataStorage" group.
struct acqStorageSettings {
    QString fileName;
    int format = acqFormatBinary;
    bool timestamps = false;
    // "SplitFiles", "SplitEvery", "SplitUnit", "TrendLog": a set of files
    // instead of one, and the measurement trend log; off unless stored.
    bool splitFiles = false;
    int splitEvery = acqSplitEveryDefault;
    int splitUnit = acqSplitMegabytes;
    bool trendLog = false;
};
// dump.bin6842 in USERPROFILE, or in the home directory when that is unset,
// in native separators.
QString acqConfigDefaultFileName();
acqStorageSettings acqConfigReadSettings();
void acqConfigWriteSettings(const acqStorageSettings &settings);

#endif
