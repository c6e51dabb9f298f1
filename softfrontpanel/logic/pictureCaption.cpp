#include "pictureCaption.h"

#include "channelList.h"
#include "nv6842fp_daqRules.h"

#include <QStringList>

#include <cmath>

namespace {

// QString::number writes in the C locale, unlike printf under LC_NUMERIC.
QString plain(double value)
{
    return QString::number(value, 'g', 12);
}

QString channelsPart(const std::vector<uint16_t> &masks)
{
    QStringList cards;
    for (size_t k = 0; k < masks.size(); ++k)
        if (masks[k])
            cards << QStringLiteral("FC%1 Ch %2").arg(k + 1).arg(channelListText(masks[k]));
    return cards.join(QStringLiteral("; "));
}

QString blockPart(const pictureCaptionInput &in)
{
    QString text = QStringLiteral("block %1").arg(in.block);
    if (in.blockCount > 0)
        text += QStringLiteral(" of %1").arg(in.blockCount);
    if (in.hasStamp)
        text += QStringLiteral(", first time stamp %1.%2 s")
                    .arg(in.stampSeconds)
                    .arg(in.stampNanos, 9, 10, QLatin1Char('0'));
    else if (in.acquired.isValid())
        text += QStringLiteral(", acquired ") + in.acquired.toString(Qt::ISODate);
    return text;
}

} // namespace

QString pictureCaption(const pictureCaptionInput &in)
{
    QStringList parts;
    const QString channels = channelsPart(in.shownChannels);
    if (!channels.isEmpty())
        parts << channels;
    if (in.rateHz > 0)
        parts << plain(in.rateHz) + QStringLiteral(" Hz");
    if (in.scans > 0)
        parts << QStringLiteral("%1 scans per block").arg(in.scans);
    if (in.block > 0)
        parts << blockPart(in);
    if (!in.fileName.isEmpty())
        parts << QStringLiteral("file ") + in.fileName;
    if (in.spectrum) {
        const QString padding = in.padding > 1 ? QStringLiteral("%1 x").arg(in.padding) : QStringLiteral("off");
        parts << QStringLiteral("%1 window, zero padding %2").arg(in.windowName, padding);
        if (!in.spectrumMode.isEmpty())
            parts << in.spectrumMode;
    }
    if (in.customUnit)
        parts << QStringLiteral("unit %1 = (V %2 %3 V) x %4")
                     .arg(in.unitName, in.unitOffset < 0 ? QStringLiteral("+") : QStringLiteral("-"),
                          plain(std::fabs(in.unitOffset)), plain(in.unitMultiplier));
    return parts.join(QStringLiteral(" | "));
}

QString pictureWindowName(int windowType)
{
    const QVector<nv6842fp_codeItem> items = nv6842fp_fftWindowItems();
    for (const nv6842fp_codeItem &item : items)
        if (item.code == windowType)
            return QString::fromLatin1(item.text);
    return QString::fromLatin1(items.front().text);
}
