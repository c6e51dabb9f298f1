#include "storedfile_blockio.h"

#include <sys/types.h>

#include <cstdint>

bool storedFileHasStamps(const StoredFileInfo_t &info)
{
    return info.hasTimestamps && info.scansPerBlock > 0
           && info.stampBytes == 4 * static_cast<uint64_t>(info.scansPerBlock);
}

int readStoredBlockFrom(FILE *file, const StoredFileInfo_t &info, int64_t k, void *samples,
                        int32_t *seconds, int32_t *nanos)
{
    // info comes by value from callers we do not control: check every size
    // before it becomes a file position or a read length.
    if (!samples || k < 0 || static_cast<uint64_t>(k) >= info.blockCount || info.sampleBytes == 0
        || info.blockBytes < info.sampleBytes + 2 * info.stampBytes)
        return -1;
    uint64_t position = 0;
    if (__builtin_mul_overflow(static_cast<uint64_t>(k), info.blockBytes, &position)
        || __builtin_add_overflow(position, info.dataOffset, &position)
        || position > static_cast<uint64_t>(INT64_MAX) - info.blockBytes)
        return -1;
    const bool withStamps = seconds && nanos;
    if (withStamps && !storedFileHasStamps(info))
        return -1;
    if (!withStamps)
        position += 2 * info.stampBytes; // the time stamps lie in front of the samples
    if (fseeko(file, static_cast<off_t>(position), SEEK_SET) != 0)
        return -1;
    if (withStamps) {
        if (std::fread(seconds, info.stampBytes, 1, file) != 1
            || std::fread(nanos, info.stampBytes, 1, file) != 1)
            return 0;
    }
    return static_cast<int>(std::fread(samples, info.sampleBytes, 1, file));
}
