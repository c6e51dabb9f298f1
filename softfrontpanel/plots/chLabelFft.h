// The channel legend of the spectrum plot: like the time plot's legend, plus
// a selected flag (left click) that decides, with the enabled flag, whether
// the channel's spectrum is shown. Every change ends with clicked().
#ifndef CHLABELFFT_H
#define CHLABELFFT_H

#include "chLabel.h"

class chLabelFft : public chLabel
{
    Q_OBJECT
public:
    chLabelFft(int chIdx, QWidget *parent = nullptr);

    bool isSelected() const { return selected; }
    void setSelected(bool on);
    void setChEnabled(bool on) override;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void refreshLook() override;

private:
    bool selected = false;
};

#endif
