// sfpfile CSV conversion of large binary files: time and peak memory of the
// converting process, for several file sizes. The files are deleted after.
//   bench_files_convert [DIRECTORY] [MEGABYTES...]   (default 256 1024)
#include "bench_recording.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    const std::string directory = argc > 1 ? argv[1] : ".";
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {256, 1024};
    const std::string input = directory + "/bench_files_convert.bin6842";
    const std::string output = directory + "/bench_files_convert.csv";
    for (int megabytes : sizes) {
        if (!writeBenchRecording(input, megabytes)) {
            std::fprintf(stderr, "cannot write %s\n", input.c_str());
            return 1;
        }
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execl(SFPFILE_PATH, "sfpfile", "csv", input.c_str(), output.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        struct rusage usage = {};
        wait4(child, &status, 0, &usage);
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        FILE *csv = std::fopen(output.c_str(), "rb");
        long long csvBytes = -1;
        if (csv) {
            std::fseek(csv, 0, SEEK_END);
            csvBytes = std::ftell(csv);
            std::fclose(csv);
        }
        std::printf("binary %5d MiB -> CSV %6.0f MiB: exit %d, %.1f s (%.0f MiB/s of binary), peak memory %ld kB\n",
                    megabytes, double(csvBytes) / 1048576.0, WIFEXITED(status) ? WEXITSTATUS(status) : -1, elapsed,
                    megabytes / elapsed, usage.ru_maxrss);
        unlink(input.c_str());
        unlink(output.c_str());
    }
    return 0;
}
