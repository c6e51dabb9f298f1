#include "recordingHealth.h"

#include "acqTexts.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool recordingHealth::sample(int64_t ms, uint64_t bytes, int ringBacklog, int64_t freeBytes)
{
    if (!points.empty() && ms - points.back().ms < 1000)
        return false;
    points.push_back({ms, bytes});
    // Five seconds: steady enough to read, and still follows a change.
    while (points.size() > 2 && ms - points[1].ms >= 5000)
        points.pop_front();
    backlog = ringBacklog;
    free = freeBytes;
    return points.size() >= 2;
}

double recordingHealth::bytesPerSecond() const
{
    if (points.size() < 2 || points.back().bytes < points.front().bytes)
        return 0;
    const double span = double(points.back().ms - points.front().ms) / 1000.0;
    return double(points.back().bytes - points.front().bytes) / span;
}

double recordingHealth::secondsLeft() const
{
    if (free < 0)
        return -1;
    const double rate = bytesPerSecond();
    return rate > 0 ? double(free) / rate : std::numeric_limits<double>::infinity();
}

QString recordingHealth::text() const
{
    QString text = QStringLiteral("%1/s, ring backlog %2/%3 blocks")
                       .arg(acqFileSizeText(uint64_t(std::llround(bytesPerSecond()))))
                       .arg(backlog)
                       .arg(ringLength);
    if (free < 0)
        return text;
    text += QStringLiteral(", %1 free").arg(acqFileSizeText(uint64_t(free)));
    const double left = secondsLeft();
    if (std::isfinite(left))
        text += QStringLiteral(", %1 left").arg(acqDurationText(left));
    return text;
}

QString acqDurationText(double seconds)
{
    const int64_t s = seconds > 0 ? int64_t(std::min(seconds, 1e12)) : 0;
    const auto two = [](int64_t value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    if (s < 60)
        return QStringLiteral("%1 s").arg(s);
    if (s < 3600)
        return QStringLiteral("%1 min %2 s").arg(s / 60).arg(two(s % 60));
    if (s < 86400)
        return QStringLiteral("%1 h %2 min").arg(s / 3600).arg(two(s / 60 % 60));
    return QStringLiteral("%1 d %2 h").arg(s / 86400).arg(two(s / 3600 % 24));
}
