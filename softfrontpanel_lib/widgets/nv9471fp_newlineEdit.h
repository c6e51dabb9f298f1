// The digit control's edit: leaving the field commits the text like Return.
#ifndef NV9471FP_NEWLINEEDIT_H
#define NV9471FP_NEWLINEEDIT_H

#include <QLineEdit>

class nv9471fp_newlineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit nv9471fp_newlineEdit(QWidget *parent = nullptr);

protected:
    // Cursor at position 3: behind a sign and the first digits of the text.
    void focusInEvent(QFocusEvent *event) override;
    // Emits returnPressed(), so that the owner commits the typed text.
    void focusOutEvent(QFocusEvent *event) override;
};

#endif
