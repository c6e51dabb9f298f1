// Reading stored binary data files (".bin6842"): the text header and single
// blocks. Plain C++, no Qt: start-up, the offline viewer, the file tool and
// the fuzzer all share it.
//
// A file is a header of "KEY=value" text lines ended by a line starting with
// "#", followed by blocks of equal size. A block holds, when the header says
// TIMESTAMPS=1, the seconds then the nanoseconds of every scan (int32 each),
// then the samples channel after channel (8-byte doubles with
// FORMAT=ViReal64, 4-byte floats without a FORMAT line), little-endian, volts.
#ifndef STOREDFILE_H
#define STOREDFILE_H

#include <cstddef>
#include <cstdint>
#include <string>

// Cards one file may describe: as many as a session may hold.
constexpr int storedMaxCards = 256;

// Description of one opened file. Plain old data: it is copied by value into
// every block read. Sizes are in bytes, positions from the start of the file.
struct StoredFileInfo_t
{
    char path[260];          // the file's path, at most 259 characters kept
    uint64_t dataBytes;      // file size minus dataOffset
    uint64_t dataOffset;     // position just behind the "#" line (0 without one)
    uint64_t blockBytes;     // sampleBytes + 2 * stampBytes
    uint64_t sampleBytes;    // bytes of samples in one block
    uint64_t stampBytes;     // bytes of one time-stamp array (seconds or nanos); 0 without
    uint64_t blockCount;     // whole blocks in the file
    double rateHz;           // SAMPLING_RATE_HZ
    int32_t isReal64;        // 1: samples are doubles; 0: 4-byte floats
    uint32_t channelCount;   // NUMBER_OF_CHANNELS
    int32_t scansPerBlock;   // NUMBER_OF_SCANS_PER_BLOCK
    uint16_t fcCount;        // NUMBER_OF_FUNCTION_CARDS, 0 ... storedMaxCards
    uint16_t channelMask[storedMaxCards]; // CHANNEL_MASK_FC1 ... FC256, bit i = channel i+1
    double timeOffset;       // TIME_OFFSET, seconds
    int8_t hasTimestamps;    // TIMESTAMPS
};

// Parses the header of the file at path into *info and sizes its blocks.
// Returns 0 on success. Returns -1 when the file cannot be opened or is not a
// regular file (*info is then untouched; a FIFO is refused without waiting
// for a writer), or when its path does not fit into path, or its header is
// rejected (*info is then all zero). A header is rejected among others when
// it gives no positive SAMPLING_RATE_HZ or a block of no bytes. When the
// data part is not a whole number of blocks, prints "Warning. The binary data
// seems corrupt.\n" on standard output and still succeeds; blockCount then
// counts the whole blocks only. A header-only file succeeds with blockCount 0.
int readStoredFileHeader(const char *path, StoredFileInfo_t *info);

// Same, but never prints; *trailingBytes (when not null) receives the bytes
// behind the last whole block. For callers whose standard output is data.
int readStoredFileHeaderQuiet(const char *path, StoredFileInfo_t *info,
                              uint64_t *trailingBytes);

// Why readStoredFileHeader refuses path, as precisely as can be told from
// outside: the system's reason, "is a directory", "not a regular file", ...
std::string storedFileUnreadableReason(const char *path);

// Reads the samples of block k (0-based) into samples, which must hold
// info.sampleBytes bytes. Opens and closes the file on every call.
// Returns 1 when the block was read; -1 when the file cannot be opened or k is
// not a block of the file; 0 when the read came up short.
int readStoredBlock(StoredFileInfo_t info, void *samples, int64_t k);

// Like readStoredBlock, but also reads the block's time stamps: seconds and
// nanos must each hold info.scansPerBlock int32 values. Returns -1 as well
// when the file has no time stamps.
int readStoredBlockStamps(StoredFileInfo_t info, void *samples, int32_t *seconds,
                          int32_t *nanos, int64_t k);

// Channels the card masks name: the set bits of channelMask[0 ... fcCount-1].
// A file whose blocks can be shown has exactly channelCount of them.
uint32_t storedMaskedChannelCount(const StoredFileInfo_t &info);

// Number of sample values in one block (channelCount * scansPerBlock).
size_t storedBlockValueCount(const StoredFileInfo_t &info);

// Widens (4-byte floats) or copies (doubles) the first count values of a
// block read by readStoredBlock into volts. count must not exceed
// storedBlockValueCount(info); callers that show fewer or more channels than
// the file holds clamp to it.
void storedSamplesToVolts(const StoredFileInfo_t &info, const void *samples, double *volts,
                          size_t count);

#endif
