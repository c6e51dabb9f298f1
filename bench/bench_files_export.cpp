// sfpfile npy and hdf5 exports against dd in the same run: a 1 GiB
// recording (16 channels x 8192 scans per block, with time stamps), in the
// page cache for every contender, copied by `dd bs=1M conv=fsync` and
// exported by sfpfile (which flushes its outputs to disk at the end); the
// rates, their ratio to dd's, and the peak memory (getrusage) of each
// process. Then a sparse 4 GiB input exported to NPY, for the peak memory
// whatever the file's size. Every file is deleted afterwards.
//   bench_files_export [DIRECTORY] [MEGABYTES] [SPARSE_MEGABYTES]   (default . 1024 4096)
#include "bench_recording.h"
#include "datafile_writer.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int channels = benchChannels, scans = benchScans;
const uint16_t masks[] = {0xFFFF};

// A header and a hole: the blocks read as zeros without taking disk space.
bool writeSparse(const std::string &path, int megabytes)
{
    const StoredLayout layout{51200.0, scans, 1, masks, false};
    FILE *file = std::fopen(path.c_str(), "wb");
    const bool ok = file && writeBinaryHeader(file, layout);
    const long header = file ? std::ftell(file) : 0;
    const off_t blockBytes = off_t(channels) * scans * 8;
    const off_t size = header + off_t(megabytes) * 1024 * 1024 / blockBytes * blockBytes;
    return file && std::fclose(file) == 0 && ok && truncate(path.c_str(), size) == 0;
}

void readIntoCache(const std::string &path)
{
    std::vector<char> buffer(1 << 20);
    const int fd = open(path.c_str(), O_RDONLY);
    while (fd >= 0 && read(fd, buffer.data(), buffer.size()) > 0) {
    }
    if (fd >= 0)
        close(fd);
}

struct Run
{
    int exit = -1;
    double seconds = 0;
    long peakKiB = 0;
};

Run runProgram(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    wait4(child, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    return run;
}

void report(const char *what, const Run &run, double megabytes, const Run *reference)
{
    std::printf("%-28s exit %d  %6.2f s  %7.0f MiB/s", what, run.exit, run.seconds, megabytes / run.seconds);
    if (reference)
        std::printf("  %5.1f %% of dd", 100.0 * reference->seconds / run.seconds);
    std::printf("  peak memory %6ld kB\n", run.peakKiB);
}

} // namespace

int main(int argc, char **argv)
{
    const std::string directory = argc > 1 ? argv[1] : ".";
    const int megabytes = argc > 2 ? std::atoi(argv[2]) : 1024;
    const int sparseMegabytes = argc > 3 ? std::atoi(argv[3]) : 4096;
    const std::string input = directory + "/bench_files_export.bin6842";
    const std::string copy = directory + "/bench_files_export.copy";
    const std::string npy = directory + "/bench_files_export.npy";
    const std::string npyTime = directory + "/bench_files_export.time.npy";
    const std::string h5 = directory + "/bench_files_export.h5";
    if (!writeBenchRecording(input, megabytes)) {
        std::fprintf(stderr, "cannot write %s\n", input.c_str());
        return 1;
    }
    // Three rounds, interleaved, so that a busy moment of the machine falls
    // on every contender alike; the best of each counts.
    Run dd, toNpy, toHdf5, compressed;
    for (int round = 0; round < 3; ++round) {
        readIntoCache(input);
        const Run d = runProgram({"/bin/dd", "if=" + input, "of=" + copy, "bs=1M", "conv=fsync", "status=none"});
        unlink(copy.c_str());
        readIntoCache(input);
        const Run n = runProgram({SFPFILE_PATH, "npy", input, npy});
        unlink(npy.c_str());
        unlink(npyTime.c_str());
        readIntoCache(input);
        const Run h = runProgram({SFPFILE_PATH, "hdf5", input, h5});
        unlink(h5.c_str());
        if (round == 0 || d.seconds < dd.seconds)
            dd = d;
        if (round == 0 || n.seconds < toNpy.seconds)
            toNpy = n;
        if (round == 0 || h.seconds < toHdf5.seconds)
            toHdf5 = h;
    }
    readIntoCache(input);
    compressed = runProgram({SFPFILE_PATH, "hdf5", input, h5, "--compress"});
    unlink(h5.c_str());
    unlink(input.c_str());

    std::printf("%d MiB recording, input in the page cache, best of 3:\n", megabytes);
    report("dd bs=1M conv=fsync", dd, megabytes, nullptr);
    report("sfpfile npy", toNpy, megabytes, &dd);
    report("sfpfile hdf5", toHdf5, megabytes, &dd);
    report("sfpfile hdf5 --compress", compressed, megabytes, &dd);

    if (sparseMegabytes > 0) {
        if (!writeSparse(input, sparseMegabytes)) {
            std::fprintf(stderr, "cannot write %s\n", input.c_str());
            return 1;
        }
        const Run sparse = runProgram({SFPFILE_PATH, "npy", input, npy});
        unlink(npy.c_str());
        unlink(input.c_str());
        std::printf("%d MiB sparse input:\n", sparseMegabytes);
        report("sfpfile npy", sparse, sparseMegabytes, nullptr);
    }
    return 0;
}
