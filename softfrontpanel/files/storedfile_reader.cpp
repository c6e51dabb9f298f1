#include "storedfile.h"
#include "storedfile_blockio.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int maxLineChars = 254;
constexpr int maxHeaderLines = 1025;
constexpr int maxCards = storedMaxCards;

enum class LineResult { Line, End, Error };

// Reads one line of the header. Keeps its first maxLineChars characters and
// drops the rest up to and including the line end, so that the tail of an
// overlong line is never taken for a line of its own. The file is a regular
// file, so dropping always ends.
LineResult readHeaderLine(FILE *file, char (&line)[maxLineChars + 1])
{
    int length = 0;
    int c = getc(file);
    if (c == EOF)
        return ferror(file) ? LineResult::Error : LineResult::End;
    while (c != EOF && c != '\n') {
        if (length < maxLineChars)
            line[length++] = static_cast<char>(c);
        c = getc(file);
    }
    line[length] = '\0';
    return ferror(file) ? LineResult::Error : LineResult::Line;
}

// The numeric conversions below accept what the header's scanf conversions
// accept (a number at the start of the value, anything after it ignored),
// but never depend on the process locale, and reject numbers that do not fit
// their field instead of wrapping them.
bool parseInteger(const char *text, long long low, long long high, long long *out)
{
    long long value = 0;
    const char *end = text + std::strlen(text);
    auto result = std::from_chars(text, end, value, 10);
    if (result.ec != std::errc() || value < low || value > high)
        return false;
    *out = value;
    return true;
}

bool parseReal(const char *text, double *out)
{
    double value = 0;
    const char *end = text + std::strlen(text);
    auto result = std::from_chars(text, end, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

// "%hx": an optional "0x" prefix and hexadecimal digits. Masks are 16 bits;
// a negative or wider value is a corrupt header, not a mask to wrap.
bool parseMask(const char *text, uint16_t *out)
{
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const char c = text[2];
        const bool hexDigit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hexDigit) { // scanf reads "0x" without digits as the number 0
            *out = 0;
            return true;
        }
        text += 2;
    }
    unsigned long value = 0;
    const char *end = text + std::strlen(text);
    auto result = std::from_chars(text, end, value, 16);
    if (result.ec != std::errc() || value > 0xFFFF)
        return false;
    *out = static_cast<uint16_t>(value);
    return true;
}

constexpr char maskKeyPrefix[] = "CHANNEL_MASK_FC";

// Applies one "KEY=value" pair. Returns false when the header must be rejected.
bool applyHeaderEntry(StoredFileInfo_t *info, const char *key, const char *value)
{
    long long number = 0;
    if (std::strcmp(key, "FORMAT") == 0) {
        if (std::strcmp(value, "ViReal64") != 0)
            return false;
        info->isReal64 = 1;
    } else if (std::strcmp(key, "SAMPLING_RATE_HZ") == 0) {
        return parseReal(value, &info->rateHz);
    } else if (std::strcmp(key, "NUMBER_OF_CHANNELS") == 0) {
        if (!parseInteger(value, 0, INT32_MAX, &number))
            return false;
        info->channelCount = static_cast<uint32_t>(number);
    } else if (std::strcmp(key, "NUMBER_OF_SCANS_PER_BLOCK") == 0) {
        if (!parseInteger(value, 0, INT32_MAX, &number))
            return false;
        info->scansPerBlock = static_cast<int32_t>(number);
    } else if (std::strcmp(key, "NUMBER_OF_FUNCTION_CARDS") == 0) {
        if (!parseInteger(value, 0, maxCards, &number))
            return false;
        info->fcCount = static_cast<uint16_t>(number);
    } else if (std::strcmp(key, "TIME_OFFSET") == 0) {
        return parseReal(value, &info->timeOffset);
    } else if (std::strcmp(key, "TIMESTAMPS") == 0) {
        if (!parseInteger(value, INT8_MIN, INT8_MAX, &number))
            return false;
        info->hasTimestamps = static_cast<int8_t>(number);
    } else if (std::strncmp(key, maskKeyPrefix, sizeof maskKeyPrefix - 1) == 0) {
        // The card number must come after NUMBER_OF_FUNCTION_CARDS.
        if (!parseInteger(key + sizeof maskKeyPrefix - 1, 1, maxCards, &number)
            || number > info->fcCount)
            return false;
        return parseMask(value, &info->channelMask[number - 1]);
    }
    return true; // keys of other writers (DEVICE among them) carry nothing we need
}

// Reads the header lines; leaves dataOffset at 0 when the file has no "#" line.
bool parseHeaderLines(FILE *file, StoredFileInfo_t *info)
{
    char line[maxLineChars + 1];
    int lines = 0;
    for (;;) {
        const LineResult result = readHeaderLine(file, line);
        if (result == LineResult::Error)
            return false;
        if (result == LineResult::End)
            return true;
        if (line[0] == '#') {
            const off_t position = ftello(file);
            if (position < 0)
                return false;
            info->dataOffset = static_cast<uint64_t>(position);
            return true;
        }
        if (++lines > maxHeaderLines)
            return false;
        char key[65] = "";
        char value[65] = "";
        if (std::sscanf(line, "%64[A-Z_0-9]=%64[a-zA-Z0-9.-] \n", key, value) < 1)
            continue; // not a "KEY=" line
        if (!applyHeaderEntry(info, key, value))
            return false;
    }
}

// Block sizes. A block of no bytes cannot be read, and sample sizes beyond
// 32 bits would wrap in every reader that counts them in an int. Every time
// axis divides by the rate, so a file without a positive one has no blocks
// to show either.
bool computeBlockSizes(StoredFileInfo_t *info)
{
    if (info->channelCount == 0 || info->scansPerBlock <= 0 || !(info->rateHz > 0))
        return false;
    const uint64_t sampleSize = info->isReal64 ? 8 : 4;
    const uint64_t sampleBytes = sampleSize * info->channelCount * static_cast<uint64_t>(info->scansPerBlock);
    if (sampleBytes > INT32_MAX)
        return false;
    info->sampleBytes = sampleBytes;
    info->stampBytes = info->hasTimestamps ? 4 * static_cast<uint64_t>(info->scansPerBlock) : 0;
    info->blockBytes = info->sampleBytes + 2 * info->stampBytes;
    return true;
}

int parseStoredFile(const char *path, StoredFileInfo_t *info, uint64_t *trailingBytes)
{
    if (trailingBytes)
        *trailingBytes = 0;
    if (!path || !info)
        return -1;
    FILE *file = openStoredFileStream(path);
    if (!file)
        return -1;
    std::memset(info, 0, sizeof *info);

    StoredFileInfo_t parsed;
    std::memset(&parsed, 0, sizeof parsed);
    struct stat status;
    bool ok = std::strlen(path) < sizeof parsed.path
              && parseHeaderLines(file, &parsed)
              && computeBlockSizes(&parsed);
    if (ok) {
        // fstat again: the file may still be growing while it is written
        ok = fstat(fileno(file), &status) == 0
             && static_cast<uint64_t>(status.st_size) >= parsed.dataOffset;
    }
    std::fclose(file);
    if (!ok)
        return -1;

    std::strcpy(parsed.path, path);
    parsed.dataBytes = static_cast<uint64_t>(status.st_size) - parsed.dataOffset;
    parsed.blockCount = parsed.dataBytes / parsed.blockBytes;
    if (trailingBytes)
        *trailingBytes = parsed.dataBytes % parsed.blockBytes;
    *info = parsed;
    return 0;
}

} // namespace

int readStoredFileHeaderQuiet(const char *path, StoredFileInfo_t *info, uint64_t *trailingBytes)
{
    return parseStoredFile(path, info, trailingBytes);
}

int readStoredFileHeader(const char *path, StoredFileInfo_t *info)
{
    uint64_t trailing = 0;
    if (parseStoredFile(path, info, &trailing) != 0)
        return -1;
    if (trailing != 0) {
        std::printf("Warning. The binary data seems corrupt.\n");
        std::fflush(stdout);
    }
    return 0;
}

int readStoredBlock(StoredFileInfo_t info, void *samples, int64_t k)
{
    return readStoredBlockStamps(info, samples, nullptr, nullptr, k);
}

int readStoredBlockStamps(StoredFileInfo_t info, void *samples, int32_t *seconds, int32_t *nanos,
                          int64_t k)
{
    const bool withStamps = seconds || nanos;
    if (withStamps && (!seconds || !nanos || !storedFileHasStamps(info)))
        return -1;
    info.path[sizeof info.path - 1] = '\0';
    FILE *file = openStoredFileStream(info.path);
    if (!file)
        return -1;
    const int result = readStoredBlockFrom(file, info, k, samples, seconds, nanos);
    std::fclose(file);
    return result;
}

std::string storedFileUnreadableReason(const char *path)
{
    if (!path)
        return "no path";
    struct stat status;
    if (stat(path, &status) != 0)
        return std::strerror(errno);
    if (S_ISDIR(status.st_mode))
        return "is a directory";
    if (!S_ISREG(status.st_mode))
        return "not a regular file";
    if (access(path, R_OK) != 0)
        return std::strerror(errno);
    if (std::strlen(path) >= sizeof(StoredFileInfo_t::path))
        return "path longer than 259 characters";
    return "not a stored data file, or its header is damaged";
}

uint32_t storedMaskedChannelCount(const StoredFileInfo_t &info)
{
    const int cards = info.fcCount < maxCards ? info.fcCount : maxCards;
    uint32_t channels = 0;
    for (int card = 0; card < cards; ++card)
        channels += static_cast<uint32_t>(__builtin_popcount(info.channelMask[card]));
    return channels;
}

size_t storedBlockValueCount(const StoredFileInfo_t &info)
{
    return static_cast<size_t>(info.channelCount) * static_cast<size_t>(info.scansPerBlock > 0 ? info.scansPerBlock : 0);
}

void storedSamplesToVolts(const StoredFileInfo_t &info, const void *samples, double *volts, size_t count)
{
    if (info.isReal64) {
        std::memcpy(volts, samples, count * sizeof(double));
        return;
    }
    const unsigned char *bytes = static_cast<const unsigned char *>(samples);
    for (size_t i = 0; i < count; ++i) {
        float value;
        std::memcpy(&value, bytes + i * sizeof value, sizeof value); // the buffer need not be float-aligned
        volts[i] = value;
    }
}
