// libFuzzer target: any bytes as a stored data file, through the header
// parser, the block readers and the verification of recordings. Besides
// crashes it checks what the parser and the verifier promise.
#include "storedfile.h"
#include "storedfile_verify.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

char filePath[256];
int fileHandle = -1;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// The stamps of any file: counts that add up, a verdict for every file, and
// a file that joins itself nowhere (it starts where it began).
void verifyRecording()
{
    const StoredFileCheck checked = verifyStoredFile(filePath);
    check(checked.faults.size() <= storedVerifyMaxFaults && checked.faults.size() <= checked.faultCount,
          "faults kept");
    check(checked.gaps + checked.duplicates + checked.stepsBack == checked.faultCount, "faults counted");
    check(!storedCheckVerdict(checked).empty(), "a verdict");
    check(checked.readable || storedCheckDetails(checked).empty(), "no details of an unreadable file");
    StoredFileCheck again = checked;
    checkStoredSetJoin(checked, &again);
    check(!checked.readable || checked.durationSeconds() <= 2e-6 || !again.joinProblems.empty(),
          "no join to itself");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *directory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::snprintf(filePath, sizeof filePath, "%s/sfp-fuzz-XXXXXX", directory);
    fileHandle = mkstemp(filePath);
    if (fileHandle < 0) {
        std::perror("mkstemp");
        std::abort();
    }
    // The corrupt-size warning goes to standard output; keep the log readable.
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    close(devNull);
    std::atexit([] { unlink(filePath); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (ftruncate(fileHandle, 0) != 0 || pwrite(fileHandle, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    verifyRecording();
    StoredFileInfo_t info;
    if (readStoredFileHeader(filePath, &info) != 0)
        return 0;

    check(std::strcmp(info.path, filePath) == 0, "path kept");
    check(info.dataOffset <= size && info.dataBytes == size - info.dataOffset, "data bytes");
    check(info.channelCount > 0 && info.scansPerBlock > 0, "block size not zero");
    check(info.rateHz > 0 && std::isfinite(info.rateHz), "positive finite rate");
    check(info.sampleBytes == (info.isReal64 ? 8u : 4u) * info.channelCount * uint64_t(info.scansPerBlock),
          "sample bytes");
    check(info.blockBytes == info.sampleBytes + 2 * info.stampBytes, "block bytes");
    check(info.blockCount == info.dataBytes / info.blockBytes, "block count");
    check(info.fcCount <= storedMaxCards, "card count");

    if (info.blockCount == 0) {
        char sink[8];
        check(readStoredBlock(info, sink, 0) == -1, "no block in an empty file");
        return 0;
    }
    std::vector<unsigned char> samples(info.sampleBytes);
    std::vector<int32_t> seconds(info.scansPerBlock), nanos(info.scansPerBlock);
    const int64_t last = static_cast<int64_t>(info.blockCount) - 1;
    check(readStoredBlock(info, samples.data(), 0) == 1, "first block");
    check(readStoredBlock(info, samples.data(), last) == 1, "last block");
    check(readStoredBlock(info, samples.data(), last + 1) == -1, "block behind the last");
    check(readStoredBlock(info, samples.data(), -1) == -1, "negative block");
    const int stamped = readStoredBlockStamps(info, samples.data(), seconds.data(), nanos.data(), last);
    check(stamped == (info.hasTimestamps ? 1 : -1), "time stamps");

    std::vector<double> volts(storedBlockValueCount(info));
    storedSamplesToVolts(info, samples.data(), volts.data(), volts.size());
    return 0;
}
