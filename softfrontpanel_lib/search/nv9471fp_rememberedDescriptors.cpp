#include "nv9471fp_rememberedDescriptors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <memory>

const char nv9471fp_defaultDescriptor[] = "TCPIP::192.168.2.100::INSTR";

namespace {

QString descriptorKey(int row, int position)
{
    return QStringLiteral("%1.%2.Descriptor").arg(row).arg(position);
}

QString fcNumberKey(int row)
{
    return QStringLiteral("%1.FC_Number").arg(row);
}

// A number from the file, or the default when it is missing, not an integer
// or outside [low, high]. Read in 64 bits: QVariant's toInt() of a text cuts
// a larger number to 32 bits, so "4294967299" would pass as 3.
int numberInRange(const QVariant &stored, int low, int high, int fallback)
{
    bool ok = false;
    const qlonglong value = stored.toLongLong(&ok);
    return ok && value >= low && value <= high ? int(value) : fallback;
}

} // namespace

// Qt parses every section of the file, so the whole text is scanned:
// backslash escapes are decoded as Qt's INI reader decodes them; quotes and
// blanks are skipped, and every "=", "," and line break may start a value.
bool nv9471fp_iniMayHoldSerialisedValue(const QByteArray &text)
{
    static const char marker[] = "@Variant(";
    const int markerLength = int(sizeof marker) - 1;
    int matched = 0; // marker characters since a value start; -1: this value cannot match
    auto take = [&](uint character) {
        if (matched < 0)
            return false;
        matched = character == uchar(marker[matched]) ? matched + 1 : -1;
        return matched == markerLength;
    };
    auto digitValue = [](char c, int base) {
        const int value = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : 99;
        return value < base ? value : -1;
    };
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        const char c = text.at(i);
        if (c == '=' || c == ',' || c == '\n' || c == '\r') {
            matched = 0;
        } else if (c == '"' || (uchar(c) <= ' ')) {
            continue;
        } else if (c != '\\') {
            if (take(uchar(c)))
                return true;
        } else if (++i < size) {
            const char e = text.at(i);
            int decoded = -1; // none
            switch (e) {
            case 'a': decoded = '\a'; break;
            case 'b': decoded = '\b'; break;
            case 'f': decoded = '\f'; break;
            case 'n': decoded = '\n'; break;
            case 'r': decoded = '\r'; break;
            case 't': decoded = '\t'; break;
            case 'v': decoded = '\v'; break;
            case '"': case '\'': case '?': case '\\': decoded = uchar(e); break;
            default:
                if (e == 'x' || digitValue(e, 8) >= 0) {
                    // Any number of digits; Qt keeps the low 16 bits.
                    const int base = e == 'x' ? 16 : 8;
                    int j = e == 'x' ? i + 1 : i;
                    for (uint value = 0; j < size && digitValue(text.at(j), base) >= 0; ++j) {
                        value = value * uint(base) + uint(digitValue(text.at(j), base));
                        decoded = int(value & 0xFFFF);
                    }
                    i = j - 1;
                }
                // Any other escaped character, a line break included, is dropped.
                break;
            }
            if (decoded >= 0 && take(uint(decoded)))
                return true;
        }
    }
    return false;
}

namespace {

bool fileHoldsSerialisedValue(const QString &iniPath)
{
    QFile file(iniPath);
    return file.open(QIODevice::ReadOnly) && nv9471fp_iniMayHoldSerialisedValue(file.readAll());
}

} // namespace

nv9471fp_rememberedDescriptors nv9471fp_readRememberedDescriptors(const QString &iniPath,
                                                                  const QString &group,
                                                                  int rowCount)
{
    using Limits = nv9471fp_rememberedDescriptors;
    nv9471fp_rememberedDescriptors remembered;
    rowCount = std::max(0, std::min(rowCount, int(Limits::maxRows)));
    // A file that cannot be read safely counts as an unreadable one: defaults.
    std::unique_ptr<QSettings> file;
    if (!fileHoldsSerialisedValue(iniPath)) {
        file.reset(new QSettings(iniPath, QSettings::IniFormat));
        file->beginGroup(group);
    }
    const auto value = [&file](const QString &key) { return file ? file->value(key) : QVariant(); };
    for (int r = 1; r <= rowCount; ++r) {
        nv9471fp_rememberedRow row;
        for (int n = 1; n <= Limits::historyLength; ++n) {
            // Stray blanks from typing or hand-editing are not part of a
            // descriptor; untrimmed, one address would show up twice.
            QString descriptor = value(descriptorKey(r, n)).toString().trimmed();
            if (descriptor.isEmpty() && r == 1 && n == 1)
                descriptor = QLatin1String(nv9471fp_defaultDescriptor);
            if (!descriptor.isEmpty() && !row.history.contains(descriptor))
                row.history.append(descriptor);
        }
        row.fcNumber = numberInRange(value(fcNumberKey(r)), 0, Limits::maxFcNumber, 0);
        remembered.rows.append(row);
    }
    remembered.count = numberInRange(value(QStringLiteral("FC_Count")), 1, Limits::maxRows, 1);
    return remembered;
}

void nv9471fp_writeRememberedDescriptors(const QString &iniPath, const QString &group,
                                         const nv9471fp_rememberedDescriptors &remembered)
{
    using Limits = nv9471fp_rememberedDescriptors;
    QDir().mkpath(QFileInfo(iniPath).absolutePath());
    // QSettings parses every section before it writes and silently gives up
    // when that throws, so such a file would never be updated again: it is
    // replaced instead of merged.
    if (fileHoldsSerialisedValue(iniPath))
        QFile::remove(iniPath);
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(group);
    const int rowCount = std::min(remembered.rows.size(), int(Limits::maxRows));
    for (int r = 1; r <= rowCount; ++r) {
        const nv9471fp_rememberedRow &row = remembered.rows.at(r - 1);
        for (int n = 1; n <= Limits::historyLength; ++n)
            settings.setValue(descriptorKey(r, n), row.history.value(n - 1));
        settings.setValue(fcNumberKey(r), row.fcNumber);
    }
    settings.setValue(QStringLiteral("FC_Count"), remembered.count);
}

QStringList nv9471fp_rememberedHistory(const QString &current, const QStringList &earlier)
{
    QStringList history{current.trimmed()};
    for (const QString &entry : earlier) {
        if (history.size() >= nv9471fp_rememberedDescriptors::historyLength)
            break;
        const QString trimmed = entry.trimmed();
        if (!trimmed.isEmpty() && !history.contains(trimmed))
            history.append(trimmed);
    }
    return history;
}
