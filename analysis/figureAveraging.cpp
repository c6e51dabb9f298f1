#include "figureAveraging.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

FigureAverager::FigureAverager()
{
    restart();
}

void FigureAverager::setCount(int n)
{
    n = std::clamp(n, 1, figureAveragingMaxCount);
    if (n == window)
        return;
    window = n;
    restart();
}

void FigureAverager::restart()
{
    filled = oldest = sinceRecompute = 0;
    ring.assign(static_cast<size_t>(window) * figures, notANumber);
    std::fill(std::begin(shift), std::end(shift), 0.0);
    std::fill(std::begin(sum), std::end(sum), 0.0);
    std::fill(std::begin(squares), std::end(squares), 0.0);
    std::fill(std::begin(missing), std::end(missing), 0);
}

void FigureAverager::add(const CardMeasurement &measurement)
{
    if (!measurement.computed || !measurement.error.empty())
        return;
    int slot;
    if (filled < window) {
        slot = (oldest + filled) % window;
        ++filled;
    } else {
        // The oldest block leaves the window.
        slot = oldest;
        oldest = (oldest + 1) % window;
        const double *leaving = ring.data() + static_cast<size_t>(slot) * figures;
        for (int i = 0; i < figures; ++i) {
            if (std::isnan(leaving[i])) {
                --missing[i];
            } else {
                const double x = leaving[i] - shift[i];
                sum[i] -= x;
                squares[i] -= x * x;
            }
        }
    }
    double *entering = ring.data() + static_cast<size_t>(slot) * figures;
    for (int k = 0; k < measurementChannelCount; ++k)
        for (int column = 0; column < measurementColumnCount; ++column) {
            const int i = k * measurementColumnCount + column;
            const double value = figureColumn(measurement.figures[k], column);
            // A figure that is missing, or infinite, has no mean.
            const bool usable = measurement.enabled(k) && !figureMissing(measurement.figures[k], column)
                                && std::isfinite(value);
            entering[i] = usable ? value : notANumber;
            if (usable && filled - 1 - missing[i] == 0) {
                // The first value of the window: it becomes the shift.
                shift[i] = value;
                sum[i] = squares[i] = 0.0;
            }
            if (usable) {
                const double x = value - shift[i];
                sum[i] += x;
                squares[i] += x * x;
            } else {
                ++missing[i];
            }
        }
    // Taking values out again leaves rounding behind; once per window the
    // sums are formed afresh from the values held.
    if (++sinceRecompute >= window)
        recompute();
}

void FigureAverager::recompute()
{
    sinceRecompute = 0;
    std::fill(std::begin(sum), std::end(sum), 0.0);
    std::fill(std::begin(squares), std::end(squares), 0.0);
    std::fill(std::begin(missing), std::end(missing), 0);
    const double *newest = ring.data() + static_cast<size_t>((oldest + filled - 1) % window) * figures;
    for (int i = 0; i < figures; ++i)
        shift[i] = std::isnan(newest[i]) ? 0.0 : newest[i];
    for (int b = 0; b < filled; ++b) {
        const double *values = ring.data() + static_cast<size_t>((oldest + b) % window) * figures;
        for (int i = 0; i < figures; ++i) {
            if (std::isnan(values[i])) {
                ++missing[i];
            } else {
                const double x = values[i] - shift[i];
                sum[i] += x;
                squares[i] += x * x;
            }
        }
    }
}

FigureStatistics FigureAverager::statistics(int channel, int column) const
{
    FigureStatistics s{notANumber, notANumber, filled};
    if (channel < 0 || channel >= measurementChannelCount || column < 0 || column >= measurementColumnCount
        || filled == 0)
        return s;
    const int i = channel * measurementColumnCount + column;
    if (missing[i] > 0)
        return s;
    const double shiftedMean = sum[i] / filled;
    s.mean = shift[i] + shiftedMean;
    if (filled >= 2) {
        // Clamped: rounding can leave a tiny negative variance for equal values.
        const double variance = std::max(0.0, (squares[i] - sum[i] * shiftedMean) / (filled - 1));
        s.standardDeviation = std::sqrt(variance);
    }
    return s;
}

ChannelFigures FigureAverager::meanFigures(int channel) const
{
    ChannelFigures figures;
    for (int column = 0; column < measurementColumnCount; ++column) {
        const double mean = statistics(channel, column).mean;
        if (std::isnan(mean))
            setFigureMissing(figures, column);
        else
            setFigureColumn(figures, column, mean);
    }
    return figures;
}
