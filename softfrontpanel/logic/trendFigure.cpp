#include "trendFigure.h"

#include "pictureCaption.h"
#include "trendlog.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

QString plain(double value)
{
    return QString::number(value, 'g', 12);
}

struct channelState
{
    trendChannelSeries series;
    int64_t lastBlock = -2; // the block of the last point added
};

} // namespace

bool readTrendFigure(const std::string &path, int figure, int card, uint16_t mask, trendFigureSeries *series,
                     std::string *why)
{
    *series = trendFigureSeries();
    if (figure < 0 || figure >= trendFigureCount) {
        *why = path + ": no such figure";
        return false;
    }
    TrendLogReader reader;
    if (!reader.open(path)) {
        *why = reader.error();
        return false;
    }
    std::map<int, channelState> byChannel; // key card * 16 + channel, both from 0: file order does not matter
    for (TrendEntry e; reader.next(e);) {
        if (e.kind == TrendEntry::Skip) {
            series->skippedBlocks += e.lastSkipped - e.firstSkipped + 1;
            continue;
        }
        const TrendRow &row = e.row;
        if ((card != 0 && row.card != card) || !((mask >> (row.channel - 1)) & 1))
            continue;
        if (series->rows == 0) {
            series->firstTime = row.timeSeconds;
            series->hasStamp = row.hasTimestamp;
            series->stampSeconds = row.stampSeconds;
            series->stampNanos = row.stampNanos;
        }
        ++series->rows;
        series->firstTime = std::min(series->firstTime, row.timeSeconds);
        series->lastTime = std::max(series->lastTime, row.timeSeconds);
        channelState &state = byChannel[(row.card - 1) * 16 + row.channel - 1];
        state.series.card = row.card;
        state.series.channel = row.channel;
        const double value = row.figures[figure];
        if (!std::isfinite(value)) {
            ++series->rowsWithoutValue;
            continue;
        }
        // A block missing between two points (skipped, or not measured) breaks the line.
        if (row.block != state.lastBlock + 1)
            state.series.stretchStarts.push_back(state.series.times.size());
        state.lastBlock = row.block;
        state.series.times.push_back(row.timeSeconds);
        state.series.values.push_back(value);
    }
    if (!reader.error().empty()) {
        *why = reader.error();
        return false;
    }
    series->unfinishedLine = reader.unfinishedLine();
    for (auto &entry : byChannel)
        series->channels.push_back(std::move(entry.second.series));
    return true;
}

QString trendFigureUnit(int figure)
{
    // In the order of trendFigureNames, as the log's column names give them.
    static const char *const units[trendFigureCount] = {"V",  "V",  "V",  "V",  "Hz",  "V",
                                                        "dB", "dB", "dB", "dB", "bits"};
    return figure >= 0 && figure < trendFigureCount ? QString::fromLatin1(units[figure]) : QString();
}

QString trendFigureAxisTitle(int figure)
{
    const QString name = figure >= 0 && figure < trendFigureCount ? QString::fromLatin1(trendFigureNames[figure])
                                                                   : QString();
    return QStringLiteral("%1 [%2]").arg(name, trendFigureUnit(figure));
}

QString trendPictureCaption(const trendFigureSeries &series, int figure, const QString &fileName)
{
    // The channels part reads as under a block's picture.
    pictureCaptionInput shown;
    for (const trendChannelSeries &c : series.channels) {
        if (c.values.empty())
            continue;
        if (shown.shownChannels.size() < size_t(c.card))
            shown.shownChannels.resize(size_t(c.card), 0);
        shown.shownChannels[size_t(c.card - 1)] |= uint16_t(1u << (c.channel - 1));
    }
    QStringList parts;
    const QString channels = pictureCaption(shown);
    if (!channels.isEmpty())
        parts << channels;
    parts << trendFigureAxisTitle(figure);
    if (series.rows > 0)
        parts << QStringLiteral("%1 to %2 s").arg(plain(series.firstTime), plain(series.lastTime));
    if (series.hasStamp)
        parts << QStringLiteral("first time stamp %1.%2 s")
                     .arg(series.stampSeconds)
                     .arg(series.stampNanos, 9, 10, QLatin1Char('0'));
    parts << (series.skippedBlocks == 0 ? QStringLiteral("no block skipped")
              : series.skippedBlocks == 1 ? QStringLiteral("1 block skipped")
                                          : QStringLiteral("%1 blocks skipped").arg(series.skippedBlocks));
    if (series.rowsWithoutValue == 1)
        parts << QStringLiteral("1 row without a value");
    else if (series.rowsWithoutValue > 1)
        parts << QStringLiteral("%1 rows without a value").arg(series.rowsWithoutValue);
    if (!fileName.isEmpty())
        parts << QStringLiteral("file ") + fileName;
    return parts.join(QStringLiteral(" | "));
}
