// libFuzzer target: any bytes as the INI file of remembered descriptors, read
// and then saved into as the address dialog does. Besides crashes it checks
// that what is read can be shown as it is, that saving it and reading it back
// changes nothing, and that no value the scan lets through is one that only
// Qt's "@Variant(...)" decoding makes. QSettings keeps parsed files in a
// process-wide cache, so the heap does not balance from one input to the
// next: run with -detect_leaks=0.
#include "nv9471fp_rememberedDescriptors.h"

#include <QDir>
#include <QFile>
#include <QRect>
#include <QSettings>
#include <QtGlobal>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using Limits = nv9471fp_rememberedDescriptors;

QString directory;
unsigned long serial = 0;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// QSettings keeps parsed files and re-reads one only when its size or time
// stamp (in milliseconds) changed, so every input gets a path of its own.
QString freshPath()
{
    return directory + QStringLiteral("/in-%1.ini").arg(++serial);
}

void checkShowable(const nv9471fp_rememberedDescriptors &remembered, int rowCount)
{
    check(remembered.rows.size() == rowCount, "one record per row");
    check(remembered.count >= 1 && remembered.count <= Limits::maxRows, "count in range");
    for (int r = 0; r < remembered.rows.size(); ++r) {
        const nv9471fp_rememberedRow &row = remembered.rows.at(r);
        check(row.fcNumber >= 0 && row.fcNumber <= Limits::maxFcNumber, "FC number in range");
        check(row.history.size() <= Limits::historyLength, "history length");
        QStringList unique = row.history;
        check(unique.removeDuplicates() == 0, "no repeated descriptor");
        for (const QString &entry : row.history)
            check(!entry.isEmpty() && entry == entry.trimmed(), "descriptor trimmed, not empty");
        if (r == 0)
            check(!row.history.isEmpty(), "row 1 offers a descriptor");
    }
}

// The types the INI reader makes by itself: texts, lists of them, and the
// "@ByteArray", "@Rect", "@Size" and "@Point" forms.
bool plainIniValue(const QVariant &value, bool topLevel)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QRect:
    case QMetaType::QSize:
    case QMetaType::QPoint:
        return true;
    case QMetaType::QStringList:
        return topLevel;
    case QMetaType::QVariantList:
        if (!topLevel)
            return false;
        for (const QVariant &element : value.toList()) {
            if (!plainIniValue(element, false))
                return false;
        }
        return true;
    default:
        return false;
    }
}

// Every value of every section, which makes Qt parse the whole file.
void checkEveryValuePlain(const QString &path)
{
    QSettings settings(path, QSettings::IniFormat);
    for (const QString &key : settings.allKeys())
        check(plainIniValue(settings.value(key), true), "no deserialised value past the scan");
}

bool holdsSerialisedValue(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && nv9471fp_iniMayHoldSerialisedValue(file.readAll());
}

bool sameRows(const nv9471fp_rememberedDescriptors &a, const nv9471fp_rememberedDescriptors &b)
{
    if (a.count != b.count || a.rows.size() != b.rows.size())
        return false;
    for (int r = 0; r < a.rows.size(); ++r) {
        if (a.rows.at(r).history != b.rows.at(r).history || a.rows.at(r).fcNumber != b.rows.at(r).fcNumber)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Keep the log readable. Qt's warning about constructing an invalid type
    // comes only from deserialising a value, which the scan must have kept away.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtFatalMsg || text.contains(QLatin1String("invalid type"))) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
            std::abort();
        }
    });
    const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    char pattern[256];
    std::snprintf(pattern, sizeof pattern, "%s/sfp-fuzz-ini-XXXXXX", base);
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        std::abort();
    }
    directory = QString::fromLocal8Bit(pattern);
    std::atexit([] { QDir(directory).removeRecursively(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = freshPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    const QString group = QStringLiteral("6842");
    const nv9471fp_rememberedDescriptors remembered =
        nv9471fp_readRememberedDescriptors(path, group, Limits::maxRows);
    checkShowable(remembered, Limits::maxRows);
    const nv9471fp_rememberedDescriptors single =
        nv9471fp_readRememberedDescriptors(path, group, 1);
    checkShowable(single, 1);
    check(single.rows.at(0).history == remembered.rows.at(0).history, "row 1 alone as in all rows");
    if (!holdsSerialisedValue(path))
        checkEveryValuePlain(path);

    // What the dialog shows, saved unchanged over the file (merged with the
    // rest of it, as the dialog saves), must read back the same, unless the
    // merged file now looks serialised to the scan, which errs on that side.
    nv9471fp_writeRememberedDescriptors(path, group, remembered);
    const nv9471fp_rememberedDescriptors again =
        nv9471fp_readRememberedDescriptors(path, group, Limits::maxRows);
    if (holdsSerialisedValue(path)) {
        nv9471fp_rememberedDescriptors defaults;
        defaults.rows.resize(Limits::maxRows);
        defaults.rows[0].history = QStringList{QLatin1String(nv9471fp_defaultDescriptor)};
        check(sameRows(again, defaults), "a file that looks serialised reads as the defaults");
    } else {
        check(sameRows(remembered, again), "saved rows read back unchanged");
    }
    QFile::remove(path);
    return 0;
}
