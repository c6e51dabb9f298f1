// The text of a settings file: a small INI dialect of our own rather than
// QSettings, so that a damaged file is refused naming the line that is wrong
// (QSettings reads what it can and guesses the rest) and nothing is cached
// between reads.
//
//   ; a comment           whole lines only ("#" too): a value may hold ";"
//   [Card 1 Channel 3]    a section; the same section may come again
//   Gain=10               blanks around the key and the value are dropped
//   File="  x.bin6842"    quoted when the value has blanks at an end, starts
//                         with a quote or holds a control character, with
//                         \\ \" \n \r \t inside the quotes
//
// UTF-8 text (a byte-order mark is skipped), lines end with LF or CR LF.
// Sections and keys are matched without regard to case; a key given twice
// in one section makes the file damaged.
#ifndef SETTINGSINI_H
#define SETTINGSINI_H

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct settingsIniValue {
    QString section; // as written in its header
    QString key;
    QString value;   // unquoted
    int line = 0;    // from 1
};

struct settingsIniFile {
    // Why the text cannot be read ("line 7 is neither ..."); empty when it was.
    QString error;
    QVector<settingsIniValue> values; // in file order

    // The value of section/key (any case), null when the file lacks it.
    const settingsIniValue *find(const QString &section, const QString &key) const;

    QHash<QString, int> index; // folded section and key -> values
};

// Larger texts are refused unread: a session of 256 cards saves some 1.5 MB.
constexpr int settingsIniMaxBytes = 16 * 1024 * 1024;

settingsIniFile settingsParseIni(const QByteArray &text);

// Builds the text in the order of the calls.
class settingsIniWriter
{
public:
    void comment(const QString &text);
    void section(const QString &name);
    void value(const QString &key, const QString &value);
    const QByteArray &text() const { return bytes; }

private:
    QByteArray bytes;
};

// The folded form sections and keys are matched in.
QString settingsIniFold(const QString &section, const QString &key);

#endif
