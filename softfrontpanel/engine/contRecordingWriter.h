// The files a stream writes: one stored file, or a set of them split at whole
// blocks by size or time (names in fileset.h), with the disk guard and the
// cut-back of a torn block. Plain C++ on stdio; the storage task drives it.
//
// Use:
//   contRecordingWriter w;                       // GUI thread, in prepare()
//   contRecordingSetup s{path, format, layout, split, freeSpace};
//   if (!w.open(s)) show contOpenFailedText(w.failedPath(), w.openError());
//   storage task, per block:
//     switch (w.write(samples, seconds, nanos)) {
//     Written:        bytes of it: w.lastBlockBytes()
//     DiskAlmostFull: nothing written; storing ends with contDiskAlmostFullText()
//     CannotOpen:     the next file of a set would not open (failedPath(), openError())
//     Failed:         a write failed; the file is cut back to its last whole block
//     }
//   w.close();                                   // the storage task, at its end
// A set starts a new file with the first block that would make the file pass
// split.maxBytes (header included) or hold more than split.maxSeconds of
// samples; its header's TIME_OFFSET is the time of its first block. The guard
// ends storing before a block when the disk's free space (freeSpace, asked
// before every block) would not hold two ring lengths more of blocks.
#ifndef CONTRECORDINGWRITER_H
#define CONTRECORDINGWRITER_H

#include "datafile_writer.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Bytes free for this user on the disk that holds the file at path; -1 when
// that cannot be told. The storage task asks it before every block.
using contFreeSpaceQuery = std::function<int64_t(const std::string &path)>;
// statvfs of the file's folder: the default.
int64_t contDiskFreeBytes(const std::string &path);

// When a new file of a set starts; 0 switches a rule off, both 0 is one file.
struct contSplitRule {
    uint64_t maxBytes = 0; // whole file, header included
    double maxSeconds = 0; // samples of the file, scans / rate per block
    bool active() const { return maxBytes > 0 || maxSeconds > 0; }
};

struct contRecordingSetup {
    std::string path;          // as the dialog names it; a set adds _0001 ...
    int format = 0;            // 0 binary, 1 CSV volts, 2 CSV millivolts
    StoredLayout layout;       // channelMask is copied
    contSplitRule split;
    contFreeSpaceQuery freeSpace; // empty: contDiskFreeBytes
    int ringSlots = 16;        // the guard keeps two ring lengths of blocks free
};

class contRecordingWriter
{
public:
    enum class Outcome { Written, DiskAlmostFull, CannotOpen, Failed };

    contRecordingWriter() = default;
    ~contRecordingWriter();
    contRecordingWriter(const contRecordingWriter &) = delete;
    contRecordingWriter &operator=(const contRecordingWriter &) = delete;

    // Opens the first file and writes its header; a set first removes the
    // members of an earlier set of that name, which it replaces. False when
    // the file cannot be opened (failedPath(), openError()).
    bool open(const contRecordingSetup &setup);
    Outcome write(const double *samples, const int32_t *seconds, const int32_t *nanos);
    // Closes the file; false when its last bytes could not be written.
    bool close();
    bool isOpen() const { return file != nullptr; }

    // The smallest split the layout allows (one block with its header, one
    // block's time), for the refusal of a smaller one.
    static uint64_t smallestSplitBytes(int format, const StoredLayout &layout);
    static double blockSeconds(const StoredLayout &layout);

    const std::string &failedPath() const { return openFailedPath; }
    int openError() const { return openErrno; }
    uint64_t lastBlockBytes() const { return blockBytes; }
    int64_t blocksWritten() const { return blocks; }

    // For the health line on any thread: the member being written (0 for a
    // single file) and the latest free space asked (-1 unknown).
    std::atomic<int> fileNumber{0};
    std::atomic<int64_t> freeBytes{-1};

private:
    bool openFile(const std::string &path, double timeOffset);
    bool splitBefore(uint64_t nextBlockBytes) const;
    void cutBack();

    contRecordingSetup setup;
    std::vector<uint16_t> masks;
    FILE *file = nullptr;
    std::string currentPath;
    bool headerWritten = false;
    std::string openFailedPath;
    int openErrno = 0;
    std::string csvText;         // a CSV block, built before it is written
    uint64_t goodSize = 0;       // the file's bytes up to its last whole block
    uint64_t blockBytes = 0;     // of the last block written
    int64_t blocks = 0;          // written, over every file
    int64_t fileFirstBlock = 0;  // the current file's first block
    int64_t blocksPerFile = 0;   // by the time rule; 0 none
};

#endif
