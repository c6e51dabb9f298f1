#include "chLabelFft.h"

#include <QMouseEvent>

chLabelFft::chLabelFft(int chIdx, QWidget *parent) : chLabel(chIdx, parent)
{
    setText(QStringLiteral("%1").arg(chIdx % 16 + 1));
    refreshLook();
}

void chLabelFft::setSelected(bool on)
{
    selected = on;
    refreshLook();
    emit clicked();
}

void chLabelFft::setChEnabled(bool on)
{
    // Only a change is announced: every channel panel reports its state
    // once when it is built, and each announcement redoes every curve.
    const bool changed = on != isChEnabled();
    chLabel::setChEnabled(on);
    if (changed)
        emit clicked();
}

void chLabelFft::refreshLook()
{
    if (!enabled) {
        setFrameStyle(QFrame::WinPanel | QFrame::Plain);
        setTextColour(disabledChannelColour());
        return;
    }
    setFrameStyle(QFrame::WinPanel | (selected ? QFrame::Sunken : QFrame::Raised));
    setTextColour(chColour);
}

void chLabelFft::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        const QColor chosen = askColour();
        if (!chosen.isValid())
            return;
        setColour(chosen);
        emit clicked();
    } else if (event->button() == Qt::LeftButton) {
        setSelected(!selected);
    }
}
