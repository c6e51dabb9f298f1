// The main window start-up opens until the 6842 panels (waveforms, spectrum,
// channels, acquisition) are part of the program: the connected frame with
// its connection dialog, About box and Reset, and a page that tells what the
// panel is working on.
#ifndef NV6842FP_STARTWINDOW_H
#define NV6842FP_STARTWINDOW_H

#include "nv9471fp_AppFC.h"

class QLabel;

class nv6842fp_StartWindow : public nv9471fp_AppFC
{
    Q_OBJECT
public:
    nv6842fp_StartWindow(nv9471fp_genFC *card, int demoCardCount, bool fileLoaded,
                         QWidget *parent = nullptr);

    QLabel *summaryLabel = nullptr;

private:
    QString sessionSummary() const;
};

#endif
