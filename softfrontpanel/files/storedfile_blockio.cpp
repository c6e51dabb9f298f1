#include "storedfile_blockio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

FILE *openStoredFileStream(const char *path)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer before the type
    // can be checked.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status;
    int reason = 0;
    if (fstat(fd, &status) != 0)
        reason = errno;
    else if (!S_ISREG(status.st_mode))
        reason = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    if (reason != 0) {
        close(fd);
        errno = reason;
        return nullptr;
    }
    const int flags = fcntl(fd, F_GETFL);
    FILE *file = flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? fdopen(fd, "rb") : nullptr;
    if (!file)
        close(fd);
    return file;
}

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
