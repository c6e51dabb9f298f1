// Binary block writing against the disk's sequential write speed, measured
// with dd on the same directory in the same run.
//   bench_files_write [DIRECTORY] [MEGABYTES]
#include "datafile_writer.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double runDd(const std::string &path, int megabytes)
{
    const std::string command = "dd if=/dev/zero of='" + path + "' bs=1M count=" + std::to_string(megabytes)
                                + " conv=fdatasync status=none";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "dd failed\n");
        std::exit(1);
    }
    const double elapsed = seconds(start);
    unlink(path.c_str());
    return elapsed;
}

// As the storage task writes: header, then per block the two stamp arrays and
// the samples, one write each, a flush per block, and an fsync at the end.
double runWriter(const std::string &path, int megabytes)
{
    const int channels = 16, scans = 8192;
    const uint16_t masks[] = {0xFFFF};
    const StoredLayout layout{51200.0, scans, 1, masks, true};
    std::vector<double> samples(size_t(channels) * scans);
    std::vector<int32_t> stampSeconds(scans), stampNanos(scans);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 1e-3 * double(i % 20000);
    const size_t blockBytes = samples.size() * 8 + 2 * 4 * size_t(scans);
    const size_t blocks = size_t(megabytes) * 1024 * 1024 / blockBytes;

    const auto start = std::chrono::steady_clock::now();
    FILE *file = std::fopen(path.c_str(), "wb");
    bool ok = file && writeBinaryHeader(file, layout);
    for (size_t b = 0; b < blocks && ok; ++b) {
        ok = writeBinaryBlock(file, samples.data(), channels, scans, stampSeconds.data(), stampNanos.data());
        ok = ok && std::fflush(file) == 0;
    }
    ok = ok && fsync(fileno(file)) == 0;
    ok = std::fclose(file) == 0 && ok;
    const double elapsed = seconds(start);
    if (!ok) {
        std::fprintf(stderr, "writer failed\n");
        std::exit(1);
    }
    unlink(path.c_str());
    return elapsed * double(megabytes) * 1024 * 1024 / double(blocks * blockBytes); // per requested size
}

} // namespace

int main(int argc, char **argv)
{
    const std::string directory = argc > 1 ? argv[1] : ".";
    const int megabytes = argc > 2 ? std::atoi(argv[2]) : 1024;
    const std::string path = directory + "/bench_files_write.tmp";
    double ddBest = 1e9, writerBest = 1e9;
    for (int round = 0; round < 3; ++round) { // alternate, keep the best of each
        ddBest = std::min(ddBest, runDd(path, megabytes));
        writerBest = std::min(writerBest, runWriter(path, megabytes));
    }
    const double ddSpeed = megabytes / ddBest, writerSpeed = megabytes / writerBest;
    std::printf("size %d MiB, best of 3\n", megabytes);
    std::printf("dd (bs=1M, fdatasync):           %8.1f MiB/s\n", ddSpeed);
    std::printf("binary writer (flush, fsync):    %8.1f MiB/s\n", writerSpeed);
    std::printf("writer / dd:                     %8.1f %%\n", 100.0 * writerSpeed / ddSpeed);
    return 0;
}
