// What the sfpfile commands share: messages, block ranges, progress on a
// terminal and the interruption by a signal.
#ifndef SFPFILE_COMMON_H
#define SFPFILE_COMMON_H

#include "toolexit.h"

#include <csignal>
#include <cstdint>
#include <ctime>
#include <string>

extern volatile std::sig_atomic_t sfpfileInterrupted;

// Ctrl-C, a hang-up or a closed pipe end a conversion cleanly (no partial
// output); past a file size limit the write fails instead of the process.
void installInterruptHandlers();

// Prints "sfpfile: MESSAGE" and the hint to --help; returns toolExitUsage.
int usageError(const std::string &message);
// Prints "sfpfile: MESSAGE" on standard error.
void printError(const std::string &message);

// "FIRST:LAST", "FIRST:", ":LAST" or "N", block numbers from 1; 0 in *first
// or *last: that end is open.
bool parseBlockRange(const char *text, uint64_t *first, uint64_t *last);

// True when both paths name one existing file.
bool sameFile(const char *a, const char *b);

// Shows how far a conversion has come, a few times a second at most, when
// standard error is a terminal.
class Progress
{
public:
    explicit Progress(uint64_t total);
    ~Progress();
    void update(uint64_t done);
    void update(uint64_t done, uint64_t newTotal)
    {
        total = newTotal;
        update(done);
    }

private:
    uint64_t total;
    bool shown;
    std::time_t lastShown = 0;
};

int infoCommand(int argc, char **argv);
int csvCommand(int argc, char **argv);
int npyCommand(int argc, char **argv);
int hdf5Command(int argc, char **argv);
int verifyCommand(int argc, char **argv);

#endif
