#include "channelList.h"

#include <QStringList>

bool parseChannelSpec(const QString &spec, uint16_t *mask)
{
    const QString s = spec.trimmed().toLower();
    bool ok = false;
    if (s == QLatin1String("all")) {
        *mask = 0xFFFF;
        return true;
    }
    if (s.startsWith(QLatin1String("0x"))) {
        const uint value = s.mid(2).toUInt(&ok, 16);
        *mask = uint16_t(value);
        return ok && value <= 0xFFFF;
    }
    *mask = 0;
    for (const QString &item : s.split(QLatin1Char(','))) {
        const QStringList range = item.split(QLatin1Char('-'));
        if (range.size() > 2)
            return false;
        bool okFirst = false, okLast = false;
        const int first = range[0].toInt(&okFirst);
        const int last = range.size() == 2 ? range[1].toInt(&okLast) : (okLast = okFirst, first);
        if (!okFirst || !okLast || first < 1 || last > 16 || first > last)
            return false;
        for (int c = first; c <= last; ++c)
            *mask |= uint16_t(1u << (c - 1));
    }
    return true;
}

QString channelListText(uint16_t mask)
{
    QStringList parts;
    for (int c = 0; c < 16; ++c) {
        if (!((mask >> c) & 1))
            continue;
        int last = c;
        while (last + 1 < 16 && ((mask >> (last + 1)) & 1))
            ++last;
        // Two neighbours read better as a pair than as a range.
        if (last - c >= 2) {
            parts << QStringLiteral("%1-%2").arg(c + 1).arg(last + 1);
        } else {
            for (int k = c; k <= last; ++k)
                parts << QString::number(k + 1);
        }
        c = last;
    }
    return parts.join(QStringLiteral(", "));
}
