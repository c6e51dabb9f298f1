// The "please wait" box of a calibration. The driver's calibration blocks for
// a second or more: it runs on a thread of its own while the modal box shows,
// so that the box is painted (and the windows repaint) meanwhile. When the
// call's statuses come back the box and the cursor are gone again, so that a
// report is never shown under them.
#ifndef NV6842FP_CALIBRATIONBOX_H
#define NV6842FP_CALIBRATIONBOX_H

#include "visa.h"

#include <QString>
#include <Qt>


class QWidget;

struct nv6842fp_calibrationBox {
    QWidget *owner = nullptr; // owns the box, which takes its window icon
    QString text;             // the box's one line
    int margin = -1;          // layout margin in pixels; -1: the style's
    bool fixedSize = false;   // fixed at the size that fits the text
    Qt::CursorShape cursor = Qt::WaitCursor; // while the box shows
};

// What to calibrate: the channels of mask (bit c = channel c) of card
// `card` of the session, at a gain. In demo mode the call waits 2 s instead.
struct nv6842fp_calibration {
    ViSession session = 0;
    int card = 0;
    ViInt16 mask = 0;
    ViInt16 gain = 1;
    bool demo = false;
};

// The statuses of the card's own session and of the calibration call.
struct nv6842fp_calibrationResult {
    ViStatus sessionStatus = VI_SUCCESS; // nv6842_getMultFCsession; the call is not made when it fails
    ViStatus status = VI_SUCCESS;        // nv6842_calibrateChannels
    bool succeeded() const { return sessionStatus == VI_SUCCESS && status == VI_SUCCESS; }
};

// Shows the box titled "Trellin 6842 calibration", centred on the screen,
// calibrates on a thread of its own until the driver returns, then closes
// the box, restores the cursor and returns the statuses.
nv6842fp_calibrationResult nv6842fp_runWithCalibrationBox(const nv6842fp_calibrationBox &box,
                                                          const nv6842fp_calibration &calibration);

#endif
