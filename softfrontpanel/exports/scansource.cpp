#include "scansource.h"

#include "storedfile_blockio.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored files and exports are little-endian");

namespace {

constexpr uint64_t batchBytes = 4u << 20;

// One block's samples, channel after channel, into rows of every channel.
// Tiles of a few channels by a few dozen scans keep both sides in the cache
// for any channel count. memcpy: the raw bytes have no declared type.
template <typename Sample>
void transposeSamples(const unsigned char *samples, size_t channels, size_t scans, double *rows)
{
    constexpr size_t scanTile = 64, channelTile = 16;
    for (size_t c0 = 0; c0 < channels; c0 += channelTile) {
        const size_t c1 = std::min(channels, c0 + channelTile);
        for (size_t s0 = 0; s0 < scans; s0 += scanTile) {
            const size_t s1 = std::min(scans, s0 + scanTile);
            for (size_t c = c0; c < c1; ++c) {
                const unsigned char *from = samples + c * scans * sizeof(Sample);
                double *to = rows + c;
                for (size_t s = s0; s < s1; ++s) {
                    Sample value;
                    std::memcpy(&value, from + s * sizeof(Sample), sizeof value);
                    to[s * channels] = double(value);
                }
            }
        }
    }
}

std::string quoted(const std::string &path)
{
    return "'" + path + "'";
}

ExportResult failed(ExportStatus status, const std::string &message)
{
    ExportResult result;
    result.status = status;
    result.message = message;
    return result;
}

} // namespace

StoredScanSource::~StoredScanSource()
{
    if (fd >= 0)
        close(fd);
}

ExportResult StoredScanSource::open(const std::string &path, uint64_t firstBlock, uint64_t lastBlock,
                                    uint64_t batchMultiple)
{
    uint64_t trailing = 0;
    if (readStoredFileHeaderQuiet(path.c_str(), &fileInfo, &trailing) != 0)
        return failed(ExportStatus::BadInput,
                      "cannot read " + quoted(path) + ": " + storedFileUnreadableReason(path.c_str()));
    if (storedMaskedChannelCount(fileInfo) != fileInfo.channelCount)
        return failed(ExportStatus::BadInput, "cannot convert " + quoted(path) + ": its channel masks name "
                                                  + std::to_string(storedMaskedChannelCount(fileInfo))
                                                  + " channels, its blocks hold "
                                                  + std::to_string(fileInfo.channelCount));
    const uint64_t first = firstBlock ? firstBlock : 1;
    const uint64_t last = lastBlock ? lastBlock : fileInfo.blockCount;
    if ((firstBlock || lastBlock) && (first > last || last > fileInfo.blockCount))
        return failed(ExportStatus::BadRequest, "blocks " + std::to_string(first) + " to " + std::to_string(last)
                                                    + " asked for, " + quoted(path) + " has blocks 1 to "
                                                    + std::to_string(fileInfo.blockCount));
    FILE *file = openStoredFileStream(path.c_str());
    if (!file)
        return failed(ExportStatus::BadInput, "cannot read " + quoted(path) + ": " + std::strerror(errno));
    fd = dup(fileno(file));
    std::fclose(file);
    if (fd < 0)
        return failed(ExportStatus::BadInput, "cannot read " + quoted(path) + ": " + std::strerror(errno));
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    stamps = storedFileHasStamps(fileInfo);
    firstIndex = first - 1;
    blockTotal = last >= first ? last - first + 1 : 0;
    batchMultiple = std::max<uint64_t>(1, batchMultiple);
    blocksPerBatch = std::max(batchMultiple, batchBytes / fileInfo.blockBytes / batchMultiple * batchMultiple);
    blocksPerBatch = std::max<uint64_t>(1, std::min(blockTotal, blocksPerBatch));
    raw.resize(blocksPerBatch * fileInfo.blockBytes);
    rowBuffer.resize(blocksPerBatch * scans() * channels());
    stampBuffer.resize(stamps ? blocksPerBatch * scans() : 0);

    ExportResult result;
    if (trailing)
        result.warning = quoted(path) + " ends in a partial block of " + std::to_string(trailing)
                         + " bytes, which is left out";
    return result;
}

std::vector<std::string> StoredScanSource::channelNames() const
{
    std::vector<std::string> names;
    for (int card = 0; card < fileInfo.fcCount; ++card)
        for (int channel = 0; channel < 16; ++channel)
            if (fileInfo.channelMask[card] & (1u << channel))
                names.push_back("FC" + std::to_string(card + 1) + "/CH" + std::to_string(channel + 1));
    return names;
}

void StoredScanSource::transpose(const unsigned char *block, double *rowsOut) const
{
    const unsigned char *samples = block + 2 * fileInfo.stampBytes;
    if (fileInfo.isReal64)
        transposeSamples<double>(samples, channels(), scans(), rowsOut);
    else
        transposeSamples<float>(samples, channels(), scans(), rowsOut);
}

long StoredScanSource::next(const double **rows, const int64_t **stampsNs, std::string *error)
{
    const uint64_t count = std::min(blocksPerBatch, blockTotal - blocksDone);
    if (count == 0)
        return 0;
    const uint64_t blockIndex = firstIndex + blocksDone;
    const size_t bytes = size_t(count * fileInfo.blockBytes);
    const uint64_t position = fileInfo.dataOffset + blockIndex * fileInfo.blockBytes;
    size_t done = 0;
    while (done < bytes) {
        const ssize_t got = pread(fd, raw.data() + done, bytes - done, off_t(position + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            const uint64_t block = blockIndex + done / fileInfo.blockBytes + 1;
            *error = "cannot read block " + std::to_string(block) + " of " + quoted(fileInfo.path) + ": "
                     + (got == 0 ? "the file ended early" : std::strerror(errno));
            return -1;
        }
        done += size_t(got);
    }
    const size_t blockRows = size_t(scans());
    for (uint64_t b = 0; b < count; ++b) {
        const unsigned char *block = raw.data() + b * fileInfo.blockBytes;
        transpose(block, rowBuffer.data() + b * blockRows * channels());
        if (!stamps)
            continue;
        int64_t *to = stampBuffer.data() + b * blockRows;
        for (size_t s = 0; s < blockRows; ++s) {
            int32_t seconds, nanos;
            std::memcpy(&seconds, block + 4 * s, 4);
            std::memcpy(&nanos, block + fileInfo.stampBytes + 4 * s, 4);
            to[s] = int64_t(seconds) * 1000000000 + nanos;
        }
    }
    blocksDone += count;
    *rows = rowBuffer.data();
    *stampsNs = stamps ? stampBuffer.data() : nullptr;
    return long(count);
}
