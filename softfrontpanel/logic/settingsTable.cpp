#include "settingsTable.h"

#include <QSet>

const char settingsFileSection[] = "File";

namespace {

const char programKey[] = "Program";
const char formatKey[] = "Format";

// A value as a summary line shows it: a hand-edited file may hold a value
// of any length, which would push the rest of the summary off the screen.
QString shown(const QString &value)
{
    const int longest = 100;
    if (value.size() > longest)
        return value.left(longest - 1) + QChar(0x2026);
    return value.isEmpty() ? QStringLiteral("\"\"") : value;
}

QString problem(const QString &section, const QString &key, const QString &value, const QString &reason)
{
    return QStringLiteral("%1, %2 = %3: %4").arg(shown(section), shown(key), shown(value), reason);
}

} // namespace

QString settingsChange::text() const
{
    return QStringLiteral("%1, %2: %3 \u2192 %4").arg(section, key, shown(from), shown(to));
}

settingsTable::settingsTable(const QString &program_, int format_) : program(program_), format(format_) {}

int settingsTable::addGroup(Read read, Apply apply, Check check)
{
    groups.append({std::move(read), std::move(apply), std::move(check)});
    return groups.size() - 1;
}

void settingsTable::addRow(int group, const QString &section, const QString &key, Write write, Take take)
{
    Row row;
    row.group = group;
    row.section = section;
    row.key = key;
    row.write = std::move(write);
    row.take = std::move(take);
    rows.append(row);
}

void settingsTable::addGuardRow(int group, const QString &section, const QString &key, Write write, Take take)
{
    addRow(group, section, key, std::move(write), std::move(take));
    rows.last().guard = true;
}

void settingsTable::addAbsentRow(const QString &section, const QString &key, const QString &reason)
{
    Row row;
    row.section = section;
    row.key = key;
    row.absentReason = reason;
    rows.append(row);
}

void settingsTable::setUnknownSectionReason(std::function<QString(const QString &)> reason)
{
    unknownSectionReason = std::move(reason);
}

QByteArray settingsTable::save(const QString &comment)
{
    for (const Group &group : qAsConst(groups))
        group.read();
    settingsIniWriter writer;
    writer.comment(comment);
    QString section = QLatin1String(settingsFileSection);
    writer.section(section);
    writer.value(QLatin1String(programKey), program);
    writer.value(QLatin1String(formatKey), QString::number(format));
    for (const Row &row : qAsConst(rows)) {
        if (row.group < 0)
            continue;
        if (row.section != section) {
            section = row.section;
            writer.section(section);
        }
        writer.value(row.key, row.write());
    }
    return writer.text();
}

bool settingsTable::blocked(const QString &section, const QStringList &blockedSections) const
{
    for (const QString &name : blockedSections)
        if (section.compare(name, Qt::CaseInsensitive) == 0
            || section.startsWith(name + QLatin1Char(' '), Qt::CaseInsensitive))
            return true;
    return false;
}

settingsPlan settingsTable::plan(const settingsIniFile &file)
{
    settingsPlan plan;
    plan.groupChanged.fill(false, groups.size());
    if (!file.error.isEmpty()) {
        plan.refused = file.error;
        return plan;
    }
    const QString fileSection = QLatin1String(settingsFileSection);
    const settingsIniValue *programValue = file.find(fileSection, QLatin1String(programKey));
    if (!programValue || programValue->value != program) {
        plan.refused = QStringLiteral("it is not a settings file of the %1 (its [%2] section names another %3 or none)")
                           .arg(program, fileSection, QLatin1String(programKey));
        return plan;
    }
    const settingsIniValue *formatValue = file.find(fileSection, QLatin1String(formatKey));
    bool isNumber = false;
    const int fileFormat = formatValue ? formatValue->value.toInt(&isNumber) : 0;
    if (!isNumber || fileFormat < 1) {
        plan.refused = QStringLiteral("its [%1] section gives no %2 number").arg(fileSection, QLatin1String(formatKey));
        return plan;
    }
    if (fileFormat > format) {
        plan.refused = QStringLiteral("it was written in format %1 by a later version of the program; this one "
                                      "reads format %2 and earlier")
                           .arg(fileFormat)
                           .arg(format);
        return plan;
    }

    for (const Group &group : qAsConst(groups))
        group.read();
    QVector<int> changeGroups; // of plan.changes
    QVector<bool> used(file.values.size(), false);
    const auto use = [&](const settingsIniValue *value) { used[int(value - file.values.constData())] = true; };
    use(programValue);
    use(formatValue);

    // Guards first: a card of another model lends none of its rows.
    QStringList blockedSections;
    QSet<QString> knownSections{fileSection.toCaseFolded()};
    for (const Row &row : qAsConst(rows)) {
        knownSections.insert(row.section.toCaseFolded());
        const settingsIniValue *value = row.guard ? file.find(row.section, row.key) : nullptr;
        if (!value)
            continue;
        use(value);
        const QString reason = row.take(value->value);
        if (!reason.isEmpty()) {
            blockedSections << row.section;
            plan.problems << problem(row.section, row.key, value->value, reason);
        }
    }
    for (const Row &row : qAsConst(rows)) {
        if (row.guard || blocked(row.section, blockedSections))
            continue;
        const settingsIniValue *value = file.find(row.section, row.key);
        if (!value)
            continue;
        use(value);
        if (row.group < 0) {
            plan.problems << problem(row.section, row.key, value->value, row.absentReason);
            continue;
        }
        const QString before = row.write();
        const QString reason = row.take(value->value);
        if (!reason.isEmpty()) {
            plan.problems << problem(row.section, row.key, value->value, reason);
            continue;
        }
        const QString after = row.write();
        if (after != before) {
            plan.changes.append({row.section, row.key, before, after});
            changeGroups.append(row.group);
            plan.groupChanged[row.group] = true;
        }
    }
    for (int g = 0; g < groups.size(); ++g) {
        const QString reason = plan.groupChanged[g] && groups[g].check ? groups[g].check() : QString();
        if (reason.isEmpty())
            continue;
        plan.problems << reason;
        plan.groupChanged[g] = false;
        for (int i = changeGroups.size() - 1; i >= 0; --i)
            if (changeGroups[i] == g) {
                plan.changes.remove(i);
                changeGroups.remove(i);
            }
    }
    QSet<QString> sectionReasons;
    for (int i = 0; i < file.values.size(); ++i) {
        const settingsIniValue &value = file.values[i];
        if (used[i] || blocked(value.section, blockedSections))
            continue;
        if (knownSections.contains(value.section.toCaseFolded())) {
            plan.problems << problem(value.section, value.key, value.value, QStringLiteral("no such setting"));
            continue;
        }
        QString reason = unknownSectionReason ? unknownSectionReason(value.section) : QString();
        if (reason.isEmpty())
            reason = QStringLiteral("[%1]: no such section").arg(shown(value.section));
        if (!sectionReasons.contains(reason)) {
            sectionReasons.insert(reason);
            plan.problems << reason;
        }
    }
    return plan;
}

void settingsTable::apply(const settingsPlan &plan)
{
    for (int i = 0; i < groups.size() && i < plan.groupChanged.size(); ++i)
        if (plan.groupChanged[i])
            groups[i].apply();
}
