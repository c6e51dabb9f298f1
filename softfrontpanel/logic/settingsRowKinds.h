// The kinds of rows a settings table (settingsTable.h) is made of, over a
// page's plain values: a truth value, a combo's choice by its item text, a
// number of a list, a whole number of a range. Numbers are written with
// every digit and read in the C locale, whatever the desktop's; truth values
// are written "true" or "false" (yes/no, on/off and 1/0 are read). A take
// that refuses a text names the values allowed and leaves the value alone.
#ifndef SETTINGSROWKINDS_H
#define SETTINGSROWKINDS_H

#include "settingsTable.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace settingsRow {

using BoolRef = std::function<bool &()>;
using IntRef = std::function<int &()>;
// Of a truth value taken: empty to keep it, else why not.
using Check = std::function<QString(bool)>;

QString number(double value);
bool parseNumber(const QString &text, double &value); // false for anything but a finite number
bool parseTruth(const QString &text, bool &value);

void addTruth(settingsTable &table, int group, const QString &section, const QString &key, const BoolRef &ref,
              const Check &check = nullptr);
// A combo's choice (ref: the item index), written as its item text, read in any case.
void addChoice(settingsTable &table, int group, const QString &section, const QString &key, const IntRef &ref,
               const QStringList &items);
// A combo of numbers (ref: the item index), written as the number; taken
// runs after a text was taken.
void addListed(settingsTable &table, int group, const QString &section, const QString &key, const IntRef &ref,
               const QVector<double> &values, const QString &what, const QString &unit,
               const std::function<void()> &taken = nullptr);
// A spin box's whole number, lowest ... highest.
void addWhole(settingsTable &table, int group, const QString &section, const QString &key, const IntRef &ref,
              int lowest, int highest);

} // namespace settingsRow

#endif
