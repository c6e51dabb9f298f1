#include "storedfile_verify.h"

#include "storedfile_blockio.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int64_t toleranceNs = 1000;          // 1 us, the stamps' promise
constexpr uint64_t smallBlockBytes = 64 << 10; // read whole below this
constexpr uint64_t batchBytes = 4 << 20;

// Follows the stamps scan by scan and records what breaks their rhythm.
class StampFollower
{
public:
    StampFollower(StoredFileCheck *check, double periodNs) : check(check), periodNs(periodNs) {}

    void add(int64_t stamp)
    {
        const uint64_t scan = ++scans; // counted from 1
        if (scan == 1) {
            check->firstStampNs = latest = previous = stamp;
            return;
        }
        const double deviation = double(stamp - previous) - periodNs;
        if (std::fabs(deviation) <= toleranceNs) {
            if (duplicateFrom && stamp > latest + toleranceNs)
                endDuplicate(scan - 1);
        } else if (deviation > 0) {
            endDuplicate(scan - 1);
            record({StampFault::Gap, scan - 1, scan, int64_t(std::llround(deviation))});
            ++check->gaps;
        } else {
            endDuplicate(scan - 1);
            if (repeatsEarlierScan(stamp)) {
                duplicateFrom = scan;
            } else {
                record({StampFault::StepBack, scan - 1, scan, int64_t(std::llround(-deviation))});
                ++check->stepsBack;
            }
        }
        latest = std::max(latest, stamp);
        previous = stamp;
    }

    void finish()
    {
        endDuplicate(scans);
        check->lastStampNs = previous;
    }

private:
    // On the time of a scan already seen: within the file's span and a whole
    // number of periods before the latest stamp.
    bool repeatsEarlierScan(int64_t stamp) const
    {
        if (stamp < check->firstStampNs - toleranceNs || stamp > latest + toleranceNs)
            return false;
        const double behind = std::fmod(double(latest - stamp) + toleranceNs, periodNs);
        return behind <= 2 * toleranceNs;
    }

    void endDuplicate(uint64_t lastScan)
    {
        if (!duplicateFrom)
            return;
        const int64_t span = int64_t(std::llround(double(lastScan - duplicateFrom + 1) * periodNs));
        record({StampFault::Duplicate, duplicateFrom, lastScan, span});
        ++check->duplicates;
        duplicateFrom = 0;
    }

    void record(const StampFault &fault)
    {
        if (check->faults.size() < storedVerifyMaxFaults)
            check->faults.push_back(fault);
        ++check->faultCount;
    }

    StoredFileCheck *check;
    double periodNs;
    uint64_t scans = 0;
    int64_t previous = 0, latest = 0;
    uint64_t duplicateFrom = 0; // first scan of a run of duplicates, 0: none
};

bool readAll(int fd, void *buffer, size_t bytes, uint64_t position)
{
    char *next = static_cast<char *>(buffer);
    while (bytes > 0) {
        const ssize_t got = pread(fd, next, bytes, off_t(position));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = ENODATA;
            return false;
        }
        next += got;
        bytes -= size_t(got);
        position += uint64_t(got);
    }
    return true;
}

void addBlockStamps(StampFollower &follower, const unsigned char *stamps, uint64_t stampBytes, uint64_t scans)
{
    for (uint64_t s = 0; s < scans; ++s) {
        int32_t seconds, nanos;
        std::memcpy(&seconds, stamps + 4 * s, 4);
        std::memcpy(&nanos, stamps + stampBytes + 4 * s, 4);
        follower.add(int64_t(seconds) * 1000000000 + nanos);
    }
}

// Reads the stamps of every block: small blocks in batches of whole blocks,
// large ones just their two stamp arrays, so the samples stay on the disk.
bool followStamps(StoredFileCheck *check, std::string *error)
{
    const StoredFileInfo_t &info = check->info;
    FILE *file = openStoredFileStream(check->path.c_str());
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    const int fd = fileno(file);
    const bool wholeBlocks = info.blockBytes <= smallBlockBytes;
    posix_fadvise(fd, 0, 0, wholeBlocks ? POSIX_FADV_SEQUENTIAL : POSIX_FADV_RANDOM);
    const uint64_t perBatch = wholeBlocks ? std::max<uint64_t>(1, batchBytes / info.blockBytes) : 1;
    std::vector<unsigned char> buffer(size_t(wholeBlocks ? perBatch * info.blockBytes : 2 * info.stampBytes));
    StampFollower follower(check, 1e9 / info.rateHz);
    bool ok = true;
    for (uint64_t block = 0; ok && block < info.blockCount; block += perBatch) {
        const uint64_t count = std::min(perBatch, info.blockCount - block);
        const uint64_t position = info.dataOffset + block * info.blockBytes;
        ok = readAll(fd, buffer.data(), size_t(wholeBlocks ? count * info.blockBytes : 2 * info.stampBytes),
                     position);
        for (uint64_t b = 0; ok && b < count; ++b)
            addBlockStamps(follower, buffer.data() + b * (wholeBlocks ? info.blockBytes : 0), info.stampBytes,
                           uint64_t(info.scansPerBlock));
        if (!ok)
            *error = "cannot read the time stamps of block " + std::to_string(block + 1) + ": "
                     + std::strerror(errno);
    }
    follower.finish();
    std::fclose(file);
    return ok;
}

std::string seconds(int64_t nanoseconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6f s", double(nanoseconds) / 1e9);
    return text;
}

std::string fileName(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string counted(uint64_t count, const char *one, const char *many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

bool sameLayout(const StoredFileInfo_t &a, const StoredFileInfo_t &b)
{
    return a.rateHz == b.rateHz && a.isReal64 == b.isReal64 && a.channelCount == b.channelCount
           && a.scansPerBlock == b.scansPerBlock && a.fcCount == b.fcCount && a.hasTimestamps == b.hasTimestamps
           && std::equal(a.channelMask, a.channelMask + a.fcCount, b.channelMask);
}

} // namespace

double StoredFileCheck::durationSeconds() const
{
    return readable ? double(info.blockCount) * info.scansPerBlock / info.rateHz : 0;
}

StoredFileCheck verifyStoredFile(const std::string &path)
{
    StoredFileCheck check;
    check.path = path;
    if (readStoredFileHeaderQuiet(path.c_str(), &check.info, &check.trailingBytes) != 0) {
        check.unreadableReason = storedFileUnreadableReason(path.c_str());
        return check;
    }
    if (storedMaskedChannelCount(check.info) != check.info.channelCount) {
        check.unreadableReason = "damaged header: the channel masks name "
                                 + std::to_string(storedMaskedChannelCount(check.info))
                                 + " channels, the blocks hold " + std::to_string(check.info.channelCount);
        return check;
    }
    check.hasStamps = storedFileHasStamps(check.info);
    if (check.hasStamps && check.info.blockCount > 0 && !followStamps(&check, &check.unreadableReason))
        return check;
    check.readable = true;
    return check;
}

long storedSetFileNumber(const std::string &path, std::string *stem)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const size_t end = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? path.size() : dot;
    size_t digits = end;
    while (digits > 0 && path[digits - 1] >= '0' && path[digits - 1] <= '9')
        --digits;
    if (digits == end || end - digits > 9 || digits == 0 || path[digits - 1] != '_')
        return -1;
    *stem = path.substr(0, digits - 1);
    return std::stol(path.substr(digits, end - digits));
}

void checkStoredSetJoin(const StoredFileCheck &previous, StoredFileCheck *next)
{
    if (!previous.readable || !next->readable)
        return;
    const std::string before = fileName(previous.path);
    std::string stem, nextStem;
    const long number = storedSetFileNumber(previous.path, &stem);
    const long nextNumber = storedSetFileNumber(next->path, &nextStem);
    if (number >= 0 && nextNumber >= 0 && stem == nextStem && nextNumber != number + 1) {
        char missing[32];
        std::snprintf(missing, sizeof missing, "%04ld", number + 1);
        next->joinProblems.push_back(nextNumber > number ? "the set's file " + fileName(stem) + "_" + missing
                                                               + " is missing before it"
                                                         : "out of order: it comes before " + before + " in its set");
    }
    const StoredFileInfo_t &a = previous.info, &b = next->info;
    if (!sameLayout(a, b)) {
        next->joinProblems.push_back("its header describes another recording than " + before
                                     + " (rate, channels, scans per block or time stamps differ)");
        return;
    }
    const double expectedOffset = a.timeOffset + previous.durationSeconds();
    if (std::fabs(b.timeOffset - expectedOffset) > 1e-6 + 1e-9) {
        char text[160];
        std::snprintf(text, sizeof text, "TIME_OFFSET is %.6f s, %.6f s after %s would continue it", b.timeOffset,
                      expectedOffset, before.c_str());
        next->joinProblems.push_back(text);
    }
    if (previous.hasStamps && next->hasStamps && a.blockCount > 0 && b.blockCount > 0) {
        const double periodNs = 1e9 / a.rateHz;
        const double deviation = double(next->firstStampNs - previous.lastStampNs) - periodNs;
        if (deviation > toleranceNs)
            next->joinProblems.push_back("a gap after " + before + ": "
                                         + counted(uint64_t(std::llround(deviation / periodNs)), "scan", "scans")
                                         + " missing (" + seconds(std::llround(deviation)) + ")");
        else if (deviation < -toleranceNs)
            next->joinProblems.push_back("its time stamps start " + seconds(std::llround(-deviation))
                                         + " before the end of " + before + " (overlap or out of order)");
    }
}

std::string storedCheckVerdict(const StoredFileCheck &check)
{
    if (!check.readable)
        return "unreadable: " + check.unreadableReason;
    if (check.complete())
        return "complete: " + counted(check.info.blockCount, "block", "blocks") + ", "
               + counted(check.info.blockCount * uint64_t(check.info.scansPerBlock), "scan", "scans") + ", "
               + seconds(std::llround(check.durationSeconds() * 1e9))
               + (check.info.blockCount == 0 ? ", nothing more to check"
                  : check.hasStamps            ? ", time stamps continuous"
                                               : ", no time stamps");
    std::vector<std::string> parts;
    if (check.gaps)
        parts.push_back(counted(check.gaps, "gap", "gaps"));
    if (check.duplicates)
        parts.push_back(counted(check.duplicates, "run of duplicates", "runs of duplicates"));
    if (check.stepsBack)
        parts.push_back(counted(check.stepsBack, "step back", "steps back"));
    if (check.trailingBytes)
        parts.push_back("a torn tail of " + counted(check.trailingBytes, "byte", "bytes"));
    if (!check.joinProblems.empty())
        parts.push_back("does not join the file before it");
    std::string text = "incomplete: ";
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? ", " : "") + parts[i];
    return text;
}

std::vector<std::string> storedCheckDetails(const StoredFileCheck &check)
{
    std::vector<std::string> lines;
    if (!check.readable)
        return lines;
    const uint64_t scans = uint64_t(check.info.scansPerBlock);
    const auto block = [scans](uint64_t scan) { return std::to_string((scan - 1) / scans + 1); };
    const double periodNs = 1e9 / check.info.rateHz;
    for (const StampFault &fault : check.faults) {
        const std::string from = std::to_string(fault.firstScan), to = std::to_string(fault.lastScan);
        switch (fault.kind) {
        case StampFault::Gap:
            lines.push_back("gap between scans " + from + " and " + to + " (blocks " + block(fault.firstScan)
                            + " and " + block(fault.lastScan) + "): "
                            + counted(uint64_t(std::llround(double(fault.durationNs) / periodNs)), "scan", "scans")
                            + " missing (" + seconds(fault.durationNs) + ")");
            break;
        case StampFault::Duplicate:
            lines.push_back("duplicates: scans " + from + " to " + to + " (blocks " + block(fault.firstScan) + " to "
                            + block(fault.lastScan) + ") repeat earlier time stamps (" + seconds(fault.durationNs)
                            + ")");
            break;
        case StampFault::StepBack:
            lines.push_back("step back between scans " + from + " and " + to + " (blocks " + block(fault.firstScan)
                            + " and " + block(fault.lastScan) + "): the time stamps go back "
                            + seconds(fault.durationNs));
            break;
        }
    }
    if (check.faultCount > check.faults.size())
        lines.push_back("... and " + std::to_string(check.faultCount - check.faults.size()) + " more");
    if (check.trailingBytes)
        lines.push_back("torn tail: " + counted(check.trailingBytes, "byte", "bytes") + " behind block "
                        + std::to_string(check.info.blockCount) + ", less than a block");
    for (const std::string &problem : check.joinProblems)
        lines.push_back(problem);
    return lines;
}
