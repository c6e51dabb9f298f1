// One figure of a measurement trend log (trendlog.h) over time, as sfpplot
// draws it: per chosen channel the figure's values against the rows' time_s,
// cut into stretches of consecutive blocks so that nothing is drawn across a
// skipped block or a row whose figure could not be measured; and the caption
// line under such a picture. QtCore only.
//
//   trendFigureSeries series;
//   std::string why;
//   if (!readTrendFigure(path, trendFigureIndex("SNR"), 0, 0xFFFF, &series, &why))
//       fail(why);                        // "PATH: line N: why"
//   for (const trendChannelSeries &c : series.channels) draw(c);
//   caption = trendPictureCaption(series, figure, fileName);
//
// Times are the rows' time_s (seconds since the recording's first scan), not
// the card's time stamps: every row has one, they rise with the block number
// whatever the card clock was set to, and they read the same for a log made
// with stamps off. The first time stamp, when the log has one, is named in
// the caption so that the times can be placed on the card's clock.
#ifndef TRENDFIGURE_H
#define TRENDFIGURE_H

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

struct trendChannelSeries
{
    int card = 1, channel = 1;      // both from 1
    std::vector<double> times;      // s, time_s of the rows with a finite value
    std::vector<double> values;     // the figure, in trendFigureUnit
    // Index into times of the first point of each stretch of consecutive
    // blocks, from 0, rising; a line joins points of one stretch only.
    std::vector<size_t> stretchStarts;
};

struct trendFigureSeries
{
    // Channels that have rows in the log and were chosen, by card, then channel.
    std::vector<trendChannelSeries> channels;
    int64_t rows = 0;             // rows of the chosen channels
    int64_t rowsWithoutValue = 0; // of those, with a figure "nan" or infinite
    int64_t skippedBlocks = 0;    // blocks the log's skip rows name
    double firstTime = 0, lastTime = 0; // s, over the rows of the chosen channels
    bool hasStamp = false;        // the first of those rows carries a card time stamp
    int32_t stampSeconds = 0, stampNanos = 0;
    bool unfinishedLine = false;  // a last line being written was left out
};

// Reads figure (an index of trendFigureNames) of the rows of card (from 1;
// 0: every card) whose channel is in mask (bit i = channel i + 1). False,
// with *why "PATH: line N: why" or "PATH: why", when the file cannot be
// read or a line is damaged.
bool readTrendFigure(const std::string &path, int figure, int card, uint16_t mask, trendFigureSeries *series,
                     std::string *why);

// The unit of a figure: "V", "Hz", "dB" or "bits".
QString trendFigureUnit(int figure);
// "SNR [dB]", as the value axis is titled.
QString trendFigureAxisTitle(int figure);

// Parts joined by " | ":
//   FC1 Ch 1, 2; FC2 Ch 5        the channels drawn
//   SNR [dB]                     the figure and its unit
//   0 to 9.5 s                   the time span of their rows
//   first time stamp 1700000000.000000000 s   when the log has stamps
//   3 blocks skipped             or "no block skipped"
//   2 rows without a value       only when there are such rows
//   file run.trend.csv           the trend log's name, without its folder
QString trendPictureCaption(const trendFigureSeries &series, int figure, const QString &fileName);

#endif
