// Start-up steps that do not need the main window: reading the command line
// and opening a stored file for offline viewing.
#ifndef NV6842FP_STARTUP_H
#define NV6842FP_STARTUP_H

#include <QString>
#include <QStringList>

struct StartupArguments {
    bool storeCalib = false;  // first argument "storeCalib"
    bool acperf = false;      // "-acperf" anywhere on the command line
    bool fileGiven = false;   // the first argument is neither of the words
    QString filePath;         // that argument, possibly empty
};

// arguments[0] is the program. Only the first argument is examined for the
// mode; comparisons are exact and case-sensitive.
StartupArguments interpretArguments(const QStringList &arguments);

// Reads the header of a stored file into the global record. A file that cannot
// be read (or that could only be shown as garbage) is reported as
// "Cannot read '%1'." and ends the process with exit code -1; false is returned
// then. A header-only file counts as no file: the program starts normally.
bool openStoredFile(const QString &path);

// Resets the record to "no file" with the default card count of 2.
void clearStoredFile();

#endif
