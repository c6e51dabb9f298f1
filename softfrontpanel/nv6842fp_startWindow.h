// The window start-up opens while the card-specific main window is not yet
// part of the program: it tells what the panel is working on.
#ifndef NV6842FP_STARTWINDOW_H
#define NV6842FP_STARTWINDOW_H

#include <QWidget>

class QLabel;
class nv9471fp_genFC;

class nv6842fp_StartWindow : public QWidget
{
    Q_OBJECT
public:
    nv6842fp_StartWindow(nv9471fp_genFC *card, int demoCardCount, bool fileLoaded,
                         QWidget *parent = nullptr);

    QLabel *summaryLabel = nullptr;
};

#endif
