// Start-up steps that do not need the main window: reading the command line
// and opening a stored file for offline viewing.
#ifndef NV6842FP_STARTUP_H
#define NV6842FP_STARTUP_H

#include <QString>
#include <QStringList>

struct StartupArguments {
    bool storeCalib = false;  // first argument "storeCalib"
    bool acperf = false;      // "-acperf" anywhere on the command line
    bool help = false;        // first argument "-h" or "--help"
    bool version = false;     // first argument "--version"
    bool fileGiven = false;   // the first argument is none of the words
    QString filePath;         // that argument, possibly empty
};

// arguments[0] is the program. Only the first argument is examined for the
// mode; comparisons are exact and case-sensitive, so a file named like a word
// is given with its directory ("./--help").
StartupArguments interpretArguments(const QStringList &arguments);

// The command line summary printed for "--help"; README.md shows the same lines.
QString commandLineSummary();
// Program version and the versions of Qt (run time), Qwt, the card driver and
// the common library, one per line, for "--version".
QString versionReport();
// Prints the summary or the versions on standard output when the arguments
// ask for one; true then, and the program ends with exit code 0. Needs no
// application object, so that it works without a display.
bool printRequestedInformation(const StartupArguments &arguments);

// Reads the header of a stored file into the global record. A file that cannot
// be read (or that could only be shown as garbage, or whose blocks do not fit
// into the waveform panel's buffers) is reported as "Cannot read '%1'." and
// ends the process with exit code -1; false is returned then. The reason is
// printed on standard output and shown on the box's second line. A
// header-only file counts as no file: the program starts normally.
bool openStoredFile(const QString &path);

// Resets the record to "no file" with the default card count of 2.
void clearStoredFile();

#endif
