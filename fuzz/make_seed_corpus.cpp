// Writes a few small stored data files with the real writers, as the seed
// corpus of the header fuzzer: make_seed_corpus DIRECTORY
#include "datafile_writer.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool writeFile(const std::string &path, const StoredLayout &layout, int blocks, size_t extraBytes)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = writeBinaryHeader(file, layout);
    const size_t channels = enabledChannelCount(layout);
    const size_t scans = layout.scans;
    std::vector<double> samples(channels * scans);
    std::vector<int32_t> seconds(scans), nanos(scans);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.001 * static_cast<double>(i) - 1.0;
    for (size_t s = 0; s < scans; ++s) {
        seconds[s] = 1700000000;
        nanos[s] = static_cast<int32_t>(s * 1000);
    }
    for (int b = 0; b < blocks && ok; ++b)
        ok = writeBinaryBlock(file, samples.data(), channels, scans, layout.timestamps ? seconds.data() : nullptr,
                              layout.timestamps ? nanos.data() : nullptr);
    for (size_t i = 0; i < extraBytes && ok; ++i)
        ok = std::fputc(0x5a, file) != EOF;
    return std::fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus DIRECTORY\n");
        return 2;
    }
    const std::string directory = argv[1];
    const uint16_t oneCard[] = {0x0005};
    const uint16_t threeCards[] = {0x0001, 0x0000, 0x8001};
    bool ok = writeFile(directory + "/one-card", {1000.0, 4, 1, oneCard, false}, 2, 0);
    ok = writeFile(directory + "/stamps", {51200.0, 3, 3, threeCards, true}, 2, 0) && ok;
    ok = writeFile(directory + "/partial", {128.0, 2, 1, oneCard, false}, 1, 5) && ok;
    ok = writeFile(directory + "/header-only", {1.0, 1, 3, threeCards, true}, 0, 0) && ok;
    return ok ? 0 : 1;
}
