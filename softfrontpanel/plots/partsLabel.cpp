#include "partsLabel.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {
QString rightTrimmed(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

// Parts [from, to) as one line.
QString joined(const QStringList &parts, int from, int to)
{
    QString line;
    for (int i = from; i < to; ++i)
        line += parts[i];
    return rightTrimmed(line);
}
} // namespace

partsLabel::partsLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void partsLabel::setParts(const QStringList &parts)
{
    shown = parts;
    setText(parts.join(QString()));
    update();
}

void partsLabel::setWidestParts(const QStringList &parts)
{
    widest = parts;
    updateGeometry();
}

int partsLabel::textWidth(const QString &line) const
{
    return fontMetrics().horizontalAdvance(line);
}

QVector<int> partsLabel::breaksAt(const QStringList &parts, int width) const
{
    QVector<int> breaks;
    int start = 0;
    for (int i = 1; i < parts.size(); ++i) {
        if (textWidth(joined(parts, start, i + 1)) > width) {
            breaks << i;
            start = i;
        }
    }
    return breaks;
}

int partsLabel::lineCountAt(int width) const
{
    return breaksAt(sizingParts(), width).size() + 1;
}

bool partsLabel::fits(const QStringList &parts, const QVector<int> &breaks, int width) const
{
    if (breaks.size() >= lineCountAt(width))
        return false;
    int start = 0;
    for (int i = 0; i <= breaks.size(); ++i) {
        const int end = i < breaks.size() ? breaks[i] : parts.size();
        if (textWidth(joined(parts, start, end)) > width)
            return false;
        start = end;
    }
    return true;
}

QStringList partsLabel::lines() const
{
    const int width = contentsRect().width();
    QVector<int> breaks;
    if (widest.size() == shown.size())
        breaks = breaksAt(widest, width);
    if (!fits(shown, breaks, width))
        breaks = breaksAt(shown, width);
    const int lineCount = lineCountAt(width);
    QStringList result;
    int start = 0;
    for (int i = 0; i <= breaks.size() && result.size() < lineCount - 1; ++i) {
        const int end = i < breaks.size() ? breaks[i] : shown.size();
        result << joined(shown, start, end);
        start = end;
    }
    if (start < shown.size())
        result << fontMetrics().elidedText(joined(shown, start, shown.size()), Qt::ElideRight,
                                           width);
    return result;
}

QSize partsLabel::sizeHint() const
{
    const QStringList &parts = sizingParts();
    const QMargins margins = contentsMargins();
    const int width = textWidth(joined(parts, 0, parts.size())) + margins.left() + margins.right();
    return QSize(width, heightForWidth(width));
}

QSize partsLabel::minimumSizeHint() const
{
    // The widest single part, each on a line of its own.
    const QStringList &parts = sizingParts();
    int least = 0;
    for (int i = 0; i < parts.size(); ++i)
        least = std::max(least, textWidth(joined(parts, i, i + 1)));
    const QMargins margins = contentsMargins();
    const int width = least + margins.left() + margins.right();
    return QSize(width, heightForWidth(width));
}

int partsLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    return lineCountAt(width - margins.left() - margins.right()) * fontMetrics().lineSpacing()
           + margins.top() + margins.bottom();
}

void partsLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    const QStringList text = lines();
    const int lineHeight = fontMetrics().lineSpacing();
    const int top = area.top() + (area.height() - text.size() * lineHeight) / 2;
    for (int i = 0; i < text.size(); ++i)
        style()->drawItemText(&painter,
                              QRect(area.left(), top + i * lineHeight, area.width(), lineHeight),
                              Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), text[i],
                              foregroundRole());
}
