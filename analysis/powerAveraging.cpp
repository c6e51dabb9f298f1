#include "powerAveraging.h"

#include <algorithm>

bool AveragingKey::operator==(const AveragingKey &other) const
{
    return channelMasks == other.channelMasks && rateHz == other.rateHz && scans == other.scans
           && window == other.window && padding == other.padding;
}

void SpectrumAverager::setMode(AveragingMode mode, int count)
{
    count = std::clamp(count, averagingMinCount, averagingMaxCount);
    if (mode == averaging && count == blocks)
        return;
    averaging = mode;
    blocks = count;
    restart();
}

void SpectrumAverager::restart()
{
    for (Running &running : channels) {
        running.blocks = 0;
        // The memory goes too: a long spectrum at a large padding is MBs.
        std::vector<double>().swap(running.power);
    }
}

void SpectrumAverager::beginBlock(const AveragingKey &key, int count)
{
    if (!haveKey || key != last)
        restart();
    last = key;
    haveKey = true;
    if (count >= 0 && static_cast<size_t>(count) != channels.size())
        channels.resize(static_cast<size_t>(count));
}

void SpectrumAverager::add(int channel, std::vector<double> &power)
{
    if (averaging == AveragingMode::off || channel < 0 || static_cast<size_t>(channel) >= channels.size())
        return;
    Running &running = channels[static_cast<size_t>(channel)];
    if (running.power.size() != power.size()) {
        running.blocks = 0;
        running.power.assign(power.size(), 0.0);
    }
    double *sum = running.power.data();
    const size_t bins = power.size();
    const int k = running.blocks + 1;
    switch (averaging) {
    case AveragingMode::linear:
        if (running.blocks >= blocks)
            break; // full: held until the restart
        for (size_t b = 0; b < bins; ++b)
            sum[b] += (power[b] - sum[b]) / k;
        running.blocks = k;
        break;
    case AveragingMode::exponential: {
        const double weight = 1.0 / std::min(k, blocks);
        for (size_t b = 0; b < bins; ++b)
            sum[b] += (power[b] - sum[b]) * weight;
        running.blocks = std::min(k, blocks);
        break;
    }
    case AveragingMode::peakHold:
        for (size_t b = 0; b < bins; ++b)
            sum[b] = running.blocks == 0 ? power[b] : std::max(sum[b], power[b]);
        running.blocks = k;
        break;
    case AveragingMode::off:
        break;
    }
    std::copy(running.power.begin(), running.power.end(), power.begin());
}

int SpectrumAverager::countReached() const
{
    if (averaging == AveragingMode::off)
        return 0;
    int reached = 0;
    for (const Running &running : channels)
        reached = std::max(reached, running.blocks);
    return reached;
}

std::string averagingCountText(AveragingMode mode, int reached, int count)
{
    switch (mode) {
    case AveragingMode::linear:
    case AveragingMode::exponential:
        return std::to_string(reached) + " of " + std::to_string(count);
    case AveragingMode::peakHold:
        return std::to_string(reached);
    case AveragingMode::off:
        break;
    }
    return std::string();
}

std::string averagingModeName(AveragingMode mode)
{
    switch (mode) {
    case AveragingMode::off:
        return "Off";
    case AveragingMode::linear:
        return "Linear";
    case AveragingMode::exponential:
        return "Exponential";
    case AveragingMode::peakHold:
        return "Peak hold";
    }
    return std::string();
}
