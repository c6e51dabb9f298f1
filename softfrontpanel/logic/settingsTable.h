// The panel's whole configuration as one table of rows, saved to and loaded
// from a settings file (settingsIni.h), without widgets.
//
// Life of a save and a load:
//   1. The card window builds one table. Each page adds a group: how to read
//      its controls into plain settings of its own, and how to apply those
//      settings to the controls (and to the card where the page sends a
//      change at once). Then it adds the group's rows: section, key, how the
//      value is written from those settings, and how a text is checked
//      against this session's ranges and taken into them.
//   2. save(): every group reads its controls; every row writes its value.
//   3. plan(file): every group reads its controls, every row the file names
//      takes its text, and the plan lists what would change and what cannot
//      be applied (a value out of range, an unknown key, a card the session
//      lacks). A group whose settings must also agree with one another (a
//      band's two ends) checks them then, and a refusal keeps the whole
//      group as it is. Nothing has touched a control or a card yet.
//   4. Once the operator agrees, apply(plan) applies each group that changes,
//      in table order. Another plan or save reads the controls afresh.
// The rows' functions are the page's: they must not throw, and a take that
// refuses a text leaves the settings as they were.
#ifndef SETTINGSTABLE_H
#define SETTINGSTABLE_H

#include "settingsIni.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

struct settingsChange {
    QString section, key, from, to;
    QString text() const; // "Card 1 Channel 3, Gain: 1 → 10"
};

struct settingsPlan {
    QString refused;                 // the file is not loaded at all: why
    QVector<settingsChange> changes; // in table order
    QStringList problems;            // what is not applied, and why, one line each
    QVector<bool> groupChanged;      // per group
};

class settingsTable
{
public:
    using Read = std::function<void()>;
    using Apply = std::function<void()>;
    using Write = std::function<QString()>;
    // Empty when the text was taken, else why not ("outside this card's range ...").
    using Take = std::function<QString(const QString &text)>;
    // After the rows took the file's texts: empty when the group's settings
    // may be applied together, else the summary's line saying why not.
    using Check = std::function<QString()>;

    // program: the [File] section's Program value, which a loaded file must
    // have; format: the layout version written, the highest one read.
    settingsTable(const QString &program, int format);

    // Returns the group's number for addRow.
    int addGroup(Read read, Apply apply, Check check = nullptr);
    void addRow(int group, const QString &section, const QString &key, Write write, Take take);
    // A row whose refusal keeps its section and every section named
    // "SECTION ..." from loading (a card of another model).
    void addGuardRow(int group, const QString &section, const QString &key, Write write, Take take);
    // A setting this session does not have (an LXI carrier's PTP alarm on a
    // VXI carrier): not saved; a file that gives it is told why.
    void addAbsentRow(const QString &section, const QString &key, const QString &reason);
    // Why a section the table lacks is in the file ("this session has 2
    // function cards"); sections giving the same reason are reported once.
    void setUnknownSectionReason(std::function<QString(const QString &section)> reason);

    QByteArray save(const QString &comment);
    settingsPlan plan(const settingsIniFile &file);
    void apply(const settingsPlan &plan);

    int groupCount() const { return groups.size(); }

private:
    struct Group {
        Read read;
        Apply apply;
        Check check;
    };
    struct Row {
        int group = -1; // -1: absent
        QString section, key;
        Write write;
        Take take;
        bool guard = false;
        QString absentReason;
    };
    bool blocked(const QString &section, const QStringList &blockedSections) const;

    QString program;
    int format = 1;
    QVector<Group> groups;
    QVector<Row> rows;
    std::function<QString(const QString &)> unknownSectionReason;
};

// The [File] section every settings file starts with.
extern const char settingsFileSection[]; // "File"

#endif
