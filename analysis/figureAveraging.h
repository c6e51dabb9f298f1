// "Average over N blocks" of the measurement page: the mean of every
// figure over the last N blocks measured, with its standard deviation.
//
// Use, per measured block of the selected card:
//     FigureAverager averager;          // lives with the panel
//     averager.setCount(n);             // 1 ... 1000; a change restarts
//     averager.add(measurement);        // after settleCardMeasurement
//     cell: averager.statistics(channel, column).mean, tool tip its
//     standardDeviation; "count reached": averager.countReached()
//     restart() on a change of card, channels or settings.
// Kept per figure: a running sum and sum of squares, and the last N values
// (16 x 10 x N doubles, never the blocks' samples), so the oldest block can
// be taken out again. With N = 1 the mean is the block's own figure.
#ifndef FIGUREAVERAGING_H
#define FIGUREAVERAGING_H

#include "channelMeasurement.h"

#include <vector>

constexpr int figureAveragingMaxCount = 1000;

struct FigureStatistics
{
    // NaN when a block in the window lacked the figure (it shows "-") or
    // there is none yet.
    double mean;
    double standardDeviation; // sample standard deviation; NaN below 2 blocks
    int count;                // blocks in the window
};

class FigureAverager
{
public:
    FigureAverager();

    // n is clamped into 1 ... figureAveragingMaxCount.
    void setCount(int n);
    int count() const { return window; }
    void restart();

    // Adds one block's figures (all 16 channels); a block that was not
    // computed, or whose analysis failed, is not added.
    void add(const CardMeasurement &measurement);

    int countReached() const { return filled; }
    FigureStatistics statistics(int channel, int column) const;
    // The means as a table row, missing where the mean is NaN.
    ChannelFigures meanFigures(int channel) const;

private:
    void recompute();

    static constexpr int figures = measurementChannelCount * measurementColumnCount;
    int window = 1;
    int filled = 0;   // values in the ring
    int oldest = 0;   // ring index of the oldest value
    int sinceRecompute = 0;
    std::vector<double> ring; // window x figures; NaN: missing
    // Of value - shift: shifted by a value of the window, the sum of squares
    // keeps the digits of a small spread on a large mean (a frequency).
    double shift[figures];
    double sum[figures];
    double squares[figures];
    int missing[figures];
};

#endif
