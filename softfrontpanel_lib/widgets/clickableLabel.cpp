#include "clickableLabel.h"

#include <QMouseEvent>

clickableLabel::clickableLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    // Looks like a link so that the operator knows it can be clicked.
    setCursor(Qt::PointingHandCursor);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0x1a, 0x4f, 0xb0));
    setPalette(linkPalette);
}

void clickableLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}
