// An output file that appears only when it is complete. It is written under
// a hidden temporary name beside the final one (".NAME.XXXXXX.part", same
// directory, so the rename cannot cross file systems), flushed to disk, and
// renamed over the final name at the end; until then an earlier file of that
// name stays as it was. Destroying the object before publish() removes the
// temporary file, so a failed or interrupted export leaves nothing behind.
//
// A path that already exists and is no regular file (a device such as
// /dev/null or /dev/full, a named pipe) is written directly when the caller
// allows it: there is nothing to rename and no partial file to remove, and a
// device node must never be replaced by a file. "-" is standard output when
// the caller allows it. Directories are refused.
//
// Errors come back as one line naming the final path, for example
// "cannot write 'run.npy': No space left on device".
#ifndef ATOMICOUTPUT_H
#define ATOMICOUTPUT_H

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

class AtomicOutput
{
public:
    AtomicOutput() = default;
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput &) = delete;
    AtomicOutput &operator=(const AtomicOutput &) = delete;

    enum Allow { RegularFileOnly = 0, Devices = 1, StandardOutput = 2 };

    // Creates the temporary file (or opens the device) for path. allow is an
    // or of Allow values.
    bool open(const std::string &path, int allow, std::string *error);

    const std::string &path() const { return finalPath; }
    // The file being written: the temporary one, or path() when direct.
    const std::string &writePath() const { return temporaryPath.empty() ? finalPath : temporaryPath; }
    bool direct() const { return temporaryPath.empty(); }
    int descriptor() const { return fd; }

    // Writes all bytes at the current position; false with *error set when
    // the disk is full or the write fails otherwise.
    bool write(const void *data, size_t bytes, std::string *error);
    // Asked when a write comes back early, as a signal makes it do (one into
    // a pipe nobody reads could wait for ever); true ends the write as
    // "interrupted".
    void setInterruptCheck(std::function<bool()> check) { interruptCheck = std::move(check); }
    // Starts writing back to disk what was written so far, without waiting,
    // so that the final flush has little left to do.
    void startWriteback();

    // For a library that opens the file by its name (HDF5): closes the
    // descriptor and keeps the temporary file for finish() and publish().
    void releaseDescriptor();
    // Stdio on the descriptor, for text writers; owned, closed by finish().
    FILE *stream();

    // Flushes everything to disk and closes. false with *error set when a
    // write is found to have failed.
    bool finish(std::string *error);
    // Renames the finished file over path(). Direct outputs need nothing.
    bool publish(std::string *error);
    // Removes a file that publish() has put in place: when one of two
    // outputs that belong together fails after the other was published.
    void withdraw();

    // "cannot write 'PATH': REASON" from errno.
    static std::string failure(const char *what, const std::string &path);

private:
    void closeDescriptor();

    std::string finalPath;
    std::string temporaryPath;
    int fd = -1;
    FILE *file = nullptr;
    bool standardOutput = false;
    bool published = false;
    long long writebackStart = 0; // bytes already handed to the disk
    long long written = 0;
    std::function<bool()> interruptCheck;
};

#endif
