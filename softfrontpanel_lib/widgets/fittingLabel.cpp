#include "fittingLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

fittingLabel::fittingLabel(int maxLines_, QWidget *parent) : QLabel(parent), maxLines(std::max(1, maxLines_))
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(maxLines > 1);
    setSizePolicy(policy);
}

QStringList fittingLabel::linesFor(int width, int lines, bool *cut) const
{
    const QString whole = text();
    QStringList shown;
    bool left = false;
    QTextLayout layout(whole, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        if (int(shown.size()) == lines - 1) {
            // The last line room is left for takes the rest, cut to fit.
            const QString rest = whole.mid(line.textStart());
            const QString fitted = fontMetrics().elidedText(rest, Qt::ElideRight, width);
            left = fitted != rest;
            shown << fitted;
            break;
        }
        shown << whole.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (cut)
        *cut = left;
    return shown;
}

QRect fittingLabel::textArea() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

int fittingLabel::linesInArea() const
{
    return std::max(1, std::min(maxLines, textArea().height() / std::max(1, fontMetrics().lineSpacing())));
}

QSize fittingLabel::sizeHint() const
{
    // The whole text on one line, as far as the layout can give it.
    const QMargins m = contentsMargins();
    const int w = fontMetrics().horizontalAdvance(text()) + 2 * margin() + m.left() + m.right();
    const int h = fontMetrics().height() + 2 * margin() + m.top() + m.bottom();
    return QSize(std::max(w, minimumSizeHint().width()), h);
}

QSize fittingLabel::minimumSizeHint() const
{
    // Room for a hint of the text; the layout gives more when there is more.
    const QMargins m = contentsMargins();
    const int w = fontMetrics().horizontalAdvance(QStringLiteral("Xx...")) + 2 * margin() + m.left() + m.right();
    const int h = fontMetrics().height() + 2 * margin() + m.top() + m.bottom();
    return QSize(w, h);
}

bool fittingLabel::hasHeightForWidth() const
{
    return maxLines > 1;
}

int fittingLabel::heightForWidth(int width) const
{
    const QMargins m = contentsMargins();
    const int textWidth = width - 2 * margin() - m.left() - m.right();
    const int lines = std::max(1, int(linesFor(textWidth, maxLines).size()));
    return (lines - 1) * fontMetrics().lineSpacing() + fontMetrics().height() + 2 * margin() + m.top() + m.bottom();
}

bool fittingLabel::isCut() const
{
    bool cut = false;
    linesFor(textArea().width(), linesInArea(), &cut);
    return cut;
}

QString fittingLabel::shownToolTip() const
{
    const QString own = toolTip();
    if (text().isEmpty() || own == text() || !isCut())
        return own;
    return own.isEmpty() ? text() : text() + QStringLiteral("\n\n") + own;
}

bool fittingLabel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString tip = shownToolTip();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), tip, this);
        return true;
    }
    return QLabel::event(event);
}

void fittingLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = textArea();
    const QStringList lines = linesFor(area.width(), linesInArea());
    const int spacing = fontMetrics().lineSpacing();
    const int height = (int(lines.size()) - 1) * spacing + fontMetrics().height();
    // The block of lines sits where the alignment puts one line.
    int top = area.top();
    if (alignment() & Qt::AlignVCenter)
        top += (area.height() - height) / 2;
    else if (alignment() & Qt::AlignBottom)
        top += area.height() - height;
    const int horizontal = int(alignment() & Qt::AlignHorizontal_Mask);
    for (const QString &line : lines) {
        const QRect lineRect(area.left(), top, area.width(), fontMetrics().height());
        style()->drawItemText(&painter, lineRect, horizontal | Qt::AlignVCenter, palette(), isEnabled(), line,
                              foregroundRole());
        top += spacing;
    }
}
