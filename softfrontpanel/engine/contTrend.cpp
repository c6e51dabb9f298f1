#include "contTrend.h"

#include "analysisPool.h"
#include "channelMeasurement.h"
#include "trendlog.h"

#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

#include <stdio_ext.h>
#include <unistd.h>

namespace {

int64_t steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Mean, RMS, minimum, maximum and whether a sample reached the full scale.
void addStatistics(const double *x, int n, TrendRow &row)
{
    double sum = 0, squares = 0;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (int i = 0; i < n; ++i) {
        sum += x[i];
        squares += x[i] * x[i];
        low = std::min(low, x[i]);
        high = std::max(high, x[i]);
    }
    row.figures[0] = sum / n;
    row.figures[1] = std::sqrt(squares / n);
    row.figures[2] = low;
    row.figures[3] = high;
    // The card clips at its full scale: a sample there was over range.
    row.overRange = high >= defaultFullScaleVolts || low <= -defaultFullScaleVolts;
}

void addFigures(const CardMeasurement &m, int channel, TrendRow &row)
{
    const ChannelFigures &f = m.figures[channel];
    const double values[7] = {f.frequency, f.amplitude, f.thdDb, f.sinad, f.snr, f.sfdr, f.enob};
    const bool measured = m.computed && m.error.empty();
    for (int i = 0; i < 7; ++i)
        row.figures[4 + i] = measured ? values[i] : std::nan("");
}

} // namespace

std::string contTrendStoppedText(const std::string &path, int error)
{
    return "The trend log \"" + path + "\" stopped: " + std::strerror(error) + ". The recording goes on.";
}

contTrend::~contTrend()
{
    close();
}

bool contTrend::open(const std::string &name, const std::vector<uint16_t> &cardMasks, double rateHz, int blockScans,
                     bool stamps, const contTrendAnalysis &settings)
{
    close();
    logPath = name;
    masks = cardMasks;
    rate = rateHz;
    scans = blockScans;
    timestamps = stamps;
    analysis = settings;
    channels = 0;
    for (uint16_t mask : masks)
        channels += __builtin_popcount(mask);
    samples.assign(size_t(channels) * size_t(scans), 0.0);
    nextUnaccounted = 0;
    lastOffered = -1;
    restUntil = 0;
    closing = false;
    stopped = false;
    blocksAnalysed = 0;
    blocksSkipped = 0;
    goodSize = 0;
    {
        std::lock_guard<std::mutex> lock(errorLock);
        why.clear();
    }
    errno = 0;
    file = std::fopen(name.c_str(), "wb");
    openErrno = file ? 0 : errno;
    if (file)
        writeText(trendLogHeaderText());
    return file != nullptr;
}

std::string contTrend::errorText() const
{
    std::lock_guard<std::mutex> lock(errorLock);
    return why;
}

void contTrend::fail(int error)
{
    {
        std::lock_guard<std::mutex> lock(errorLock);
        why = contTrendStoppedText(logPath, error);
    }
    // Whole lines only: what stdio still holds would go out at the close.
    __fpurge(file);
    if (ftruncate(fileno(file), off_t(goodSize)) == 0)
        fseeko(file, off_t(goodSize), SEEK_SET);
    stopped = true;
}

void contTrend::writeText(const std::string &text)
{
    if (stopped)
        return;
    errno = 0;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fflush(file) != 0 || !ok)
        fail(errno ? errno : EIO);
    else
        goodSize += text.size();
}

void contTrend::offer(int64_t number, const double *data, const int32_t *seconds, const int32_t *nanos)
{
    if (!file || stopped || closing)
        return;
    lastOffered = number;
    if (busy.load(std::memory_order_acquire) || steadyNs() < restUntil.load()) {
        ++blocksSkipped;
        return;
    }
    std::copy(data, data + samples.size(), samples.begin());
    block = number;
    stampSeconds = seconds ? seconds[0] : 0;
    stampNanos = nanos ? nanos[0] : 0;
    skipFirst = nextUnaccounted < number ? nextUnaccounted : -1;
    skipLast = number - 1;
    nextUnaccounted = number + 1;
    busy.store(true, std::memory_order_release);
    run = analysisRun::start(1, [this](int) { analyse(); });
}

void contTrend::analyse()
{
    while (analysisStalled && !closing)
        QThread::msleep(1);
    const int64_t began = steadyNs();
    std::string text;
    if (skipFirst >= 0)
        appendTrendSkip(text, skipFirst, skipLast);
    TrendRow row;
    row.block = block;
    row.timeSeconds = double(block) * scans / rate;
    row.hasTimestamp = timestamps;
    row.stampSeconds = stampSeconds;
    row.stampNanos = stampNanos;
    for (int card = 0; card < int(masks.size()); ++card) {
        if (masks[size_t(card)] == 0)
            continue;
        CardMeasurementInput in;
        in.scans = scans;
        in.rateHz = rate;
        in.padding = analysis.padding;
        in.iterations = analysis.iterations;
        in.settings = analysis.settings;
        in.threads = 1; // the trend takes one core at most
        locateCardSamples(samples.data(), scans, masks.data(), card, in);
        const CardMeasurement m = measureCard(in);
        for (int c = 0; c < measurementChannelCount; ++c) {
            if (!in.samples[c])
                continue;
            row.card = card + 1;
            row.channel = c + 1;
            addStatistics(in.samples[c], scans, row);
            addFigures(m, c, row);
            appendTrendRow(text, row);
        }
    }
    writeText(text);
    ++blocksAnalysed;
    const int64_t ended = steadyNs();
    restUntil = ended + (ended - began);
    busy.store(false, std::memory_order_release);
}

void contTrend::close()
{
    if (!file)
        return;
    closing = true;
    while (busy.load(std::memory_order_acquire))
        QThread::msleep(1);
    run.reset();
    if (lastOffered >= nextUnaccounted) {
        std::string text;
        appendTrendSkip(text, nextUnaccounted, lastOffered);
        writeText(text);
    }
    errno = 0;
    if (std::fclose(file) != 0 && !stopped) {
        std::lock_guard<std::mutex> lock(errorLock);
        why = contTrendStoppedText(logPath, errno ? errno : EIO);
        stopped = true;
    }
    file = nullptr;
}
