// sfpfile verify against `cat FILE > /dev/null` on one large recording with
// time stamps (16 channels x 8192 scans per block), both from the disk (the
// file's pages dropped from the page cache before each run) and from the
// page cache. verify reads the header, the size and the stamps only, so it
// must take less time than cat in both cases. The file is deleted after.
//   bench_files_verify [DIRECTORY] [MEGABYTES]   (default . 15360; mind `df -h`)
#include "datafile_writer.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int channels = 16, scans = 8192;

bool writeRecording(const std::string &path, long megabytes)
{
    const uint16_t masks[] = {0xFFFF};
    const StoredLayout layout{51200.0, scans, 1, masks, true};
    std::vector<double> samples(size_t(channels) * scans, 0.25);
    std::vector<int32_t> seconds(scans), nanos(scans);
    const size_t blockBytes = samples.size() * 8 + 8 * size_t(scans);
    const size_t blocks = size_t(megabytes) * 1024 * 1024 / blockBytes;
    FILE *file = std::fopen(path.c_str(), "wb");
    bool ok = file && writeBinaryHeader(file, layout);
    for (size_t b = 0; b < blocks && ok; ++b) {
        for (int s = 0; s < scans; ++s) {
            // 51200 Hz: 19531.25 ns per scan, rounded as the card does.
            const int64_t t = 1700000000LL * 1000000000 + (int64_t(b) * scans + s) * 78125 / 4;
            seconds[size_t(s)] = int32_t(t / 1000000000);
            nanos[size_t(s)] = int32_t(t % 1000000000);
        }
        ok = writeBinaryBlock(file, samples.data(), channels, scans, seconds.data(), nanos.data());
    }
    ok = file && std::fflush(file) == 0 && fsync(fileno(file)) == 0 && ok;
    return file && std::fclose(file) == 0 && ok;
}

void dropFromCache(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
}

double timed(const char *shellCommand, const std::string &path, int *exitCode)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", shellCommand, SFPFILE_PATH, path.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    const std::string directory = argc > 1 ? argv[1] : ".";
    const long megabytes = argc > 2 ? std::atol(argv[2]) : 15360;
    const std::string path = directory + "/bench_files_verify.bin6842";
    std::printf("writing %ld MiB ...\n", megabytes);
    if (!writeRecording(path, megabytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        unlink(path.c_str());
        return 1;
    }
    const char *cat = "cat \"$1\" > /dev/null";
    const char *verify = "exec \"$0\" verify \"$1\" > /dev/null";
    int catExit = 0, verifyExit = 0;
    dropFromCache(path);
    const double catCold = timed(cat, path, &catExit);
    dropFromCache(path);
    const double verifyCold = timed(verify, path, &verifyExit);
    // Warm: cat has read the file into the cache (as far as it fits).
    timed(cat, path, &catExit);
    const double catWarm = timed(cat, path, &catExit);
    const double verifyWarm = timed(verify, path, &verifyExit);
    unlink(path.c_str());
    std::printf("%ld MiB recording with time stamps:\n", megabytes);
    std::printf("  from the disk:       cat %7.2f s, sfpfile verify %6.2f s (exit %d): %5.1f %% of cat's time\n",
                catCold, verifyCold, verifyExit, 100.0 * verifyCold / catCold);
    std::printf("  from the page cache: cat %7.2f s, sfpfile verify %6.2f s (exit %d): %5.1f %% of cat's time\n",
                catWarm, verifyWarm, verifyExit, 100.0 * verifyWarm / catWarm);
    return catExit == 0 && verifyExit == 0 ? 0 : 1;
}
