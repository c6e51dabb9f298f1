#include "contRecordingWriter.h"

#include "fileset.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <mutex>

#include <stdio_ext.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// A file-size limit (ulimit -f) would end the whole process at the write
// that passes it; ignored, the write fails with EFBIG, and the file is cut
// back to its last whole block like after any failed write. A handler of
// the program's own is left alone.
void failWritesInsteadOfDying()
{
    static std::once_flag done;
    std::call_once(done, [] {
        struct sigaction current = {};
        if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGXFSZ, SIG_IGN);
    });
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The shortest text a CSV field can have: "0.000000, " in volts, "0.000, "
// in millivolts, "0.000000000, " for a time stamp.
uint64_t smallestCsvBlockBytes(int format, const StoredLayout &layout)
{
    const uint64_t field = format == 2 ? 7 : 10;
    const uint64_t row = uint64_t(enabledChannelCount(layout)) * field + (layout.timestamps ? 13 : 0) + 1;
    return row * uint64_t(layout.scans);
}

uint64_t binaryBlockBytes(const StoredLayout &layout)
{
    return uint64_t(layout.scans) * (8 * uint64_t(enabledChannelCount(layout)) + (layout.timestamps ? 8 : 0));
}

std::string headerText(int format, const StoredLayout &layout)
{
    if (format == 0)
        return binaryHeaderText(layout);
    return csvHeaderText(format == 2 ? CsvUnits::Millivolts : CsvUnits::Volts, layout);
}

} // namespace

int64_t contDiskFreeBytes(const std::string &path)
{
    struct statvfs disk = {};
    if (statvfs(folderOf(path).c_str(), &disk) != 0)
        return -1;
    return int64_t(disk.f_bavail) * int64_t(disk.f_frsize);
}

contRecordingWriter::~contRecordingWriter()
{
    close();
}

uint64_t contRecordingWriter::smallestSplitBytes(int format, const StoredLayout &layout)
{
    const uint64_t block = format == 0 ? binaryBlockBytes(layout) : smallestCsvBlockBytes(format, layout);
    return headerText(format, layout).size() + block;
}

double contRecordingWriter::blockSeconds(const StoredLayout &layout)
{
    return double(layout.scans) / layout.rateHz;
}

bool contRecordingWriter::open(const contRecordingSetup &s)
{
    close();
    failWritesInsteadOfDying();
    setup = s;
    masks.assign(s.layout.channelMask, s.layout.channelMask + (s.layout.channelMask ? s.layout.fcCount : 0));
    setup.layout.channelMask = masks.data();
    if (!setup.freeSpace)
        setup.freeSpace = contDiskFreeBytes;
    openFailedPath.clear();
    openErrno = 0;
    blocks = 0;
    fileFirstBlock = 0;
    blockBytes = 0;
    blocksPerFile = 0;
    if (setup.split.maxSeconds > 0) {
        // A whole number of blocks, against the rounding of a product such as 0.0512 s * 10 kHz.
        const double perFile = setup.split.maxSeconds / blockSeconds(setup.layout);
        blocksPerFile = std::max<int64_t>(1, int64_t(std::floor(perFile * (1 + 1e-12))));
    }
    fileNumber = setup.split.active() ? 1 : 0;
    if (setup.split.active())
        for (const std::string &earlier : fileSetMembersPresent(setup.path))
            std::remove(earlier.c_str());
    const bool opened = openFile(setup.split.active() ? fileSetMemberPath(setup.path, 1) : setup.path, 0.0);
    freeBytes = setup.freeSpace(setup.path);
    return opened;
}

bool contRecordingWriter::openFile(const std::string &path, double timeOffset)
{
    errno = 0;
    file = std::fopen(path.c_str(), setup.format == 0 ? "wb" : "w");
    if (!file) {
        openFailedPath = path;
        openErrno = errno;
        return false;
    }
    currentPath = path;
    setup.layout.timeOffset = timeOffset;
    const std::string header = headerText(setup.format, setup.layout);
    // A header that does not reach the disk fails the first block, which
    // then cuts the file back to nothing.
    headerWritten = std::fwrite(header.data(), 1, header.size(), file) == header.size() && std::fflush(file) == 0;
    goodSize = headerWritten ? header.size() : 0;
    if (!headerWritten)
        cutBack();
    return true;
}

bool contRecordingWriter::splitBefore(uint64_t nextBlockBytes) const
{
    if (blocks == fileFirstBlock) // a file holds at least one block
        return false;
    return (setup.split.maxBytes > 0 && goodSize + nextBlockBytes > setup.split.maxBytes)
           || (blocksPerFile > 0 && blocks - fileFirstBlock >= blocksPerFile);
}

void contRecordingWriter::cutBack()
{
    // What stdio still holds would go out at the close, behind the cut.
    __fpurge(file);
    if (ftruncate(fileno(file), off_t(goodSize)) == 0)
        fseeko(file, off_t(goodSize), SEEK_SET);
}

contRecordingWriter::Outcome contRecordingWriter::write(const double *samples, const int32_t *seconds,
                                                        const int32_t *nanos)
{
    if (!file)
        return Outcome::Failed;
    const StoredLayout &layout = setup.layout;
    const size_t channels = size_t(enabledChannelCount(layout));
    const size_t scans = size_t(layout.scans);
    uint64_t next = binaryBlockBytes(layout);
    if (setup.format != 0) {
        csvText.clear();
        appendCsvBlock(csvText, setup.format == 2 ? CsvUnits::Millivolts : CsvUnits::Volts, samples, channels, scans,
                       seconds, nanos);
        next = csvText.size();
    }
    const bool split = splitBefore(next);

    const int64_t free = setup.freeSpace(currentPath);
    freeBytes = free;
    const uint64_t header = split ? headerText(setup.format, layout).size() : 0;
    if (free >= 0 && uint64_t(free) < 2 * uint64_t(setup.ringSlots) * next + header)
        return Outcome::DiskAlmostFull;

    if (split) {
        const bool closed = std::fclose(file) == 0;
        file = nullptr;
        if (!closed)
            return Outcome::Failed;
        fileNumber = fileNumber + 1;
        if (!openFile(fileSetMemberPath(setup.path, fileNumber), double(blocks) * blockSeconds(layout)))
            return Outcome::CannotOpen;
        fileFirstBlock = blocks;
    }

    bool ok = headerWritten;
    if (ok && setup.format == 0)
        ok = writeBinaryBlock(file, samples, channels, scans, seconds, nanos);
    else if (ok)
        ok = std::fwrite(csvText.data(), 1, csvText.size(), file) == csvText.size();
    // A full disk often shows only when the buffer goes out.
    ok = std::fflush(file) == 0 && ok;
    if (!ok) {
        cutBack();
        return Outcome::Failed;
    }
    goodSize += next;
    blockBytes = next;
    ++blocks;
    return Outcome::Written;
}

bool contRecordingWriter::close()
{
    if (!file)
        return true;
    const bool ok = std::fclose(file) == 0;
    file = nullptr;
    // A later file of a set that got not even its header holds nothing.
    if (fileNumber > 1 && goodSize == 0)
        std::remove(currentPath.c_str());
    return ok;
}
