#include "settingsRowKinds.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace settingsRow {

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool parseNumber(const QString &text, double &value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok); // the C locale, whatever the desktop's
    return ok && std::isfinite(value);
}

bool parseTruth(const QString &text, bool &value)
{
    const QString word = text.trimmed().toLower();
    for (const char *yes : {"true", "yes", "on", "1"})
        if (word == QLatin1String(yes)) {
            value = true;
            return true;
        }
    for (const char *no : {"false", "no", "off", "0"})
        if (word == QLatin1String(no)) {
            value = false;
            return true;
        }
    return false;
}

namespace {

QString numbers(const QVector<double> &values, const QString &unit)
{
    QStringList list;
    for (double value : values)
        list << number(value);
    return list.join(QLatin1String(", ")) + unit;
}

} // namespace

void addTruth(settingsTable &table, int group, const QString &section, const QString &key, const BoolRef &ref,
              const Check &check)
{
    table.addRow(
        group, section, key, [ref] { return ref() ? QStringLiteral("true") : QStringLiteral("false"); },
        [ref, check](const QString &text) {
            bool value = false;
            if (!parseTruth(text, value))
                return QStringLiteral("neither true nor false");
            const QString refused = check ? check(value) : QString();
            if (refused.isEmpty())
                ref() = value;
            return refused;
        });
}

void addChoice(settingsTable &table, int group, const QString &section, const QString &key, const IntRef &ref,
               const QStringList &items)
{
    table.addRow(
        group, section, key, [ref, items] { return items.value(ref()); },
        [ref, items](const QString &text) {
            for (int i = 0; i < items.size(); ++i)
                if (items[i].compare(text.trimmed(), Qt::CaseInsensitive) == 0) {
                    ref() = i;
                    return QString();
                }
            return QStringLiteral("not one of: ") + items.join(QLatin1String(", "));
        });
}

void addListed(settingsTable &table, int group, const QString &section, const QString &key, const IntRef &ref,
               const QVector<double> &values, const QString &what, const QString &unit,
               const std::function<void()> &taken)
{
    table.addRow(
        group, section, key, [ref, values] { return number(values.value(ref())); },
        [ref, values, what, unit, taken](const QString &text) {
            double value = 0;
            if (parseNumber(text, value))
                for (int i = 0; i < values.size(); ++i)
                    // Written with every digit, so read back exactly; the
                    // margin only forgives a hand-typed rounding.
                    if (std::fabs(values[i] - value) <= 1e-9 * std::max(1.0, std::fabs(value))) {
                        ref() = i;
                        if (taken)
                            taken();
                        return QString();
                    }
            return QStringLiteral("not %1 (%2)").arg(what, numbers(values, unit));
        });
}

void addWhole(settingsTable &table, int group, const QString &section, const QString &key, const IntRef &ref,
              int lowest, int highest)
{
    table.addRow(
        group, section, key, [ref] { return QString::number(ref()); },
        [ref, lowest, highest](const QString &text) {
            double value = 0;
            if (!parseNumber(text, value) || value != std::floor(value) || value < lowest || value > highest)
                return QStringLiteral("not a whole number from %1 to %2").arg(lowest).arg(highest);
            ref() = int(value);
            return QString();
        });
}

} // namespace settingsRow
