// The digit control's base button: its context menu is the control's base menu.
#ifndef NV9471FP_NEWPUSHBUTTON_H
#define NV9471FP_NEWPUSHBUTTON_H

#include <QPushButton>

class QMenu;

class nv9471fp_newPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit nv9471fp_newPushButton(const QString &text, QWidget *parent = nullptr);
    // Not owned: the digit control owns its menu.
    void setBaseMenu(QMenu *menu) { baseMenu = menu; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QMenu *baseMenu = nullptr;
};

#endif
