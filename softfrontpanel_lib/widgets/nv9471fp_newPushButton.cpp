#include "nv9471fp_newPushButton.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>

nv9471fp_newPushButton::nv9471fp_newPushButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
}

void nv9471fp_newPushButton::contextMenuEvent(QContextMenuEvent *event)
{
    if (!baseMenu) {
        QPushButton::contextMenuEvent(event);
        return;
    }
    baseMenu->popup(QCursor::pos());
    event->accept();
}
