// CSV value writing: the fast number texts against plain fprintf, side by
// side, both into /dev/null so that only the formatting is measured.
//   bench_files_csv [MILLION_VALUES]
#include "datafile_writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double runPrintf(FILE *out, const std::vector<double> &samples, size_t channels, size_t scans, bool millivolts)
{
    const auto start = std::chrono::steady_clock::now();
    for (size_t s = 0; s < scans; ++s) {
        for (size_t c = 0; c < channels; ++c) {
            if (millivolts)
                std::fprintf(out, "%.3lf, ", samples[c * scans + s] * 1000.0);
            else
                std::fprintf(out, "%.6lf, ", samples[c * scans + s]);
        }
        std::fprintf(out, "\n");
    }
    std::fflush(out);
    return seconds(start);
}

double runWriter(FILE *out, const std::vector<double> &samples, size_t channels, size_t scans, bool millivolts)
{
    const auto start = std::chrono::steady_clock::now();
    if (!writeCsvBlock(out, millivolts ? CsvUnits::Millivolts : CsvUnits::Volts, samples.data(), channels, scans,
                       nullptr, nullptr))
        std::exit(1);
    std::fflush(out);
    return seconds(start);
}

} // namespace

int main(int argc, char **argv)
{
    const size_t millions = argc > 1 ? size_t(std::atoi(argv[1])) : 8;
    const size_t channels = 16, scans = millions * 1000000 / channels;
    std::vector<double> samples(channels * scans);
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> volts(-10.24, 10.24);
    for (double &v : samples)
        v = volts(random);
    FILE *out = std::fopen("/dev/null", "w");
    const double values = double(samples.size());
    for (bool millivolts : {false, true}) {
        const double printfTime = runPrintf(out, samples, channels, scans, millivolts);
        const double writerTime = runWriter(out, samples, channels, scans, millivolts);
        std::printf("%s: fprintf %.1f M values/s, writer %.1f M values/s, %.1f times faster\n",
                    millivolts ? "millivolts (%.3lf)" : "volts (%.6lf)     ", values / printfTime / 1e6,
                    values / writerTime / 1e6, printfTime / writerTime);
    }
    std::fclose(out);
    return 0;
}
