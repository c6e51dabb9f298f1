// The check of a recording's trend log shared by the engine and panel tests:
// every block once, as rows of each enabled channel or inside a skip row.
#ifndef TEST_TREND_HELPERS_H
#define TEST_TREND_HELPERS_H

#include "trendlog.h"

#include <QString>
#include <QtTest>

#include <utility>
#include <vector>

// Blocks 0 ... blocks-1 of the log, each once: rows of the channels (card,
// channel, both from 1) in file order, or inside a skip row.
inline void verifyTrendCoverage(const QString &path, int blocks, const std::vector<std::pair<int, int>> &channels,
                                std::vector<TrendRow> *rows = nullptr, std::vector<TrendEntry> *skips = nullptr)
{
    TrendLogReader reader;
    QVERIFY2(reader.open(path.toStdString()), reader.error().c_str());
    int64_t next = 0; // the next block expected
    size_t channel = 0; // its next channel ordinal
    for (TrendEntry e; reader.next(e);) {
        if (e.kind == TrendEntry::Skip) {
            QVERIFY(channel == 0 && e.firstSkipped == next);
            next = e.lastSkipped + 1;
            if (skips)
                skips->push_back(e);
            continue;
        }
        QCOMPARE(e.row.block, next);
        QCOMPARE(std::make_pair(e.row.card, e.row.channel), channels[channel]);
        if (rows)
            rows->push_back(e.row);
        channel = (channel + 1) % channels.size();
        next += channel == 0 ? 1 : 0;
    }
    QVERIFY2(reader.error().empty() && !reader.unfinishedLine(), reader.error().c_str());
    QCOMPARE(channel, size_t(0));
    QCOMPARE(next, int64_t(blocks));
}

#endif
