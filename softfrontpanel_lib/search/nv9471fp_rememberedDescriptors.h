// The descriptors remembered by the address-entry dialog, per card model, in
// the INI file "DefaultInstrDescr.ini" shared by all users of the computer.
// The file may have been edited by hand or written by another program, so
// reading it yields values the dialog can always show. No widgets here.
#ifndef NV9471FP_REMEMBEREDDESCRIPTORS_H
#define NV9471FP_REMEMBEREDDESCRIPTORS_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct nv9471fp_rememberedRow {
    // Newest first. As read: trimmed, not empty, no duplicates, at most
    // historyLength entries. As written: the first entry is the row's current
    // text and may be empty.
    QStringList history;
    int fcNumber = 0; // index of the FC-number box: 0 (none chosen) to 8
};

struct nv9471fp_rememberedDescriptors {
    static const int maxRows = 8;
    static const int historyLength = 5;
    static const int maxFcNumber = 8;

    QVector<nv9471fp_rememberedRow> rows; // row 1 first
    int count = 1;                        // rows in use, 1 to maxRows
};

// Offered in row 1 when it has no newest descriptor of its own.
extern const char nv9471fp_defaultDescriptor[];

// Reads rows 1 to rowCount (at most maxRows) of the group (the model text).
// Missing, empty or unusable values give the defaults: no history (row 1:
// the default descriptor first), FC number 0, count 1; so does a whole file
// that may hold a serialised value (below).
nv9471fp_rememberedDescriptors nv9471fp_readRememberedDescriptors(const QString &iniPath,
                                                                  const QString &group,
                                                                  int rowCount);

// Writes every row given (up to maxRows), empty strings for unused history
// positions, and the count, keeping the rest of the file; a file that may
// hold a serialised value is replaced instead. Creates the file's directory
// when missing. Write failures are not reported.
void nv9471fp_writeRememberedDescriptors(const QString &iniPath, const QString &group,
                                         const nv9471fp_rememberedDescriptors &remembered);

// Whether a value of the INI text may reach QSettings' "@Variant(...)"
// decoding, which deserialises arbitrary types: from a foreign or damaged file
// Qt can throw std::bad_alloc there and end the program. Our own files never
// hold one (a text's leading "@" is written as "@@"). Errs on "yes"; the
// reader then gives the defaults and the writer replaces the file.
bool nv9471fp_iniMayHoldSerialisedValue(const QByteArray &iniText);

// A row's history after the operator took a descriptor: the current text
// first, then the earlier entries, all trimmed, empty and repeated ones
// dropped (the current one is kept even when empty), at most historyLength.
QStringList nv9471fp_rememberedHistory(const QString &current, const QStringList &earlier);

#endif
