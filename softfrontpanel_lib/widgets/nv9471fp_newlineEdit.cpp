#include "nv9471fp_newlineEdit.h"

#include <QFocusEvent>

nv9471fp_newlineEdit::nv9471fp_newlineEdit(QWidget *parent) : QLineEdit(parent) {}

void nv9471fp_newlineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    setCursorPosition(3);
}

void nv9471fp_newlineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    emit returnPressed();
}
