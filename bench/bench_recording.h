// The recording the file benchmarks convert: 16 channels x 8192 scans per
// block at 51200 Hz with time stamps, samples spread over +-10.24 V so that
// their texts have every length, as many whole blocks as fit in megabytes.
#ifndef BENCH_RECORDING_H
#define BENCH_RECORDING_H

#include "datafile_writer.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr int benchChannels = 16, benchScans = 8192;

inline bool writeBenchRecording(const std::string &path, int megabytes)
{
    static const uint16_t masks[] = {0xFFFF};
    const StoredLayout layout{51200.0, benchScans, 1, masks, true};
    std::vector<double> samples(size_t(benchChannels) * benchScans);
    std::vector<int32_t> seconds(benchScans, 1700000000), nanos(benchScans);
    for (int s = 0; s < benchScans; ++s)
        nanos[size_t(s)] = s * 19531;
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 10.24 * double(int64_t(i * 2654435761u % 2000001) - 1000000) / 1e6;
    const size_t blockBytes = samples.size() * 8 + 8 * size_t(benchScans);
    const size_t blocks = size_t(megabytes) * 1024 * 1024 / blockBytes;
    FILE *file = std::fopen(path.c_str(), "wb");
    bool ok = file && writeBinaryHeader(file, layout);
    for (size_t b = 0; b < blocks && ok; ++b)
        ok = writeBinaryBlock(file, samples.data(), benchChannels, benchScans, seconds.data(), nanos.data());
    return file && std::fclose(file) == 0 && ok;
}

#endif
