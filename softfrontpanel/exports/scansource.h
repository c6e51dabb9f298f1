// The blocks of a stored file, read in order a batch of whole blocks at a
// time and handed out scan by scan: each row holds one scan's value of every
// channel (float64 volts), the layout of the exports. The file holds channel
// after channel per block; next() transposes. Time stamps come as int64
// nanoseconds, seconds * 1e9 + nanoseconds.
//
// Memory: one batch of raw blocks, its rows and stamps, about 4 MB of raw
// data per batch (at least one block), whatever the file's size.
#ifndef SCANSOURCE_H
#define SCANSOURCE_H

#include "exports.h"
#include "storedfile.h"

#include <cstdint>
#include <string>
#include <vector>

class StoredScanSource
{
public:
    StoredScanSource() = default;
    ~StoredScanSource();
    StoredScanSource(const StoredScanSource &) = delete;
    StoredScanSource &operator=(const StoredScanSource &) = delete;

    // Opens path and checks the block range (1-based, both included; 0 for
    // either end: the file's). A file whose channel masks disagree with its
    // blocks is damaged. A torn tail is left out, with result.warning saying
    // so. A batch holds a multiple of batchMultiple blocks (the last one
    // excepted), so that a writer's chunks of that many blocks are whole.
    ExportResult open(const std::string &path, uint64_t firstBlock, uint64_t lastBlock,
                      uint64_t batchMultiple = 1);

    const StoredFileInfo_t &info() const { return fileInfo; }
    uint64_t blocks() const { return blockTotal; }
    uint64_t rows() const { return blockTotal * scans(); }
    uint64_t scans() const { return uint64_t(fileInfo.scansPerBlock); }
    uint64_t channels() const { return fileInfo.channelCount; }
    bool hasStamps() const { return stamps; }
    // Most blocks one batch holds.
    uint64_t batchBlocks() const { return blocksPerBatch; }
    // "FC1/CH3", ... in row order.
    std::vector<std::string> channelNames() const;

    // Reads the next batch. Returns its number of blocks, 0 after the last;
    // *rows then points at blocks * scans() rows of channels() values, and
    // *stampsNs (when the file has stamps) at their blocks * scans() stamps,
    // both valid until the next call. Returns -1 with *error set when the
    // file cannot be read any more (it shrank, or a read failed).
    long next(const double **rows, const int64_t **stampsNs, std::string *error);

private:
    void transpose(const unsigned char *block, double *rowsOut) const;

    StoredFileInfo_t fileInfo{};
    int fd = -1;
    bool stamps = false;
    uint64_t firstIndex = 0; // 0-based
    uint64_t blockTotal = 0;
    uint64_t blocksDone = 0;
    uint64_t blocksPerBatch = 1;
    std::vector<unsigned char> raw; // a batch of raw blocks
    std::vector<double> rowBuffer;
    std::vector<int64_t> stampBuffer;
};

#endif
