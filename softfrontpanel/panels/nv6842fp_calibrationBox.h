// The "please wait" box of a calibration. The driver's calibration blocks for
// a second or more: it runs on the thread pool while the modal box shows, so
// that the box is painted (and the windows repaint) meanwhile. When the
// call's status comes back the box and the cursor are gone again, so that a
// report is never shown under them.
#ifndef NV6842FP_CALIBRATIONBOX_H
#define NV6842FP_CALIBRATIONBOX_H

#include "visa.h"

#include <QString>
#include <Qt>

#include <functional>

class QWidget;

struct nv6842fp_calibrationBox {
    QWidget *owner = nullptr; // owns the box, which takes its window icon
    QString text;             // the box's one line
    int margin = -1;          // layout margin in pixels; -1: the style's
    bool fixedSize = false;   // fixed at the size that fits the text
    Qt::CursorShape cursor = Qt::WaitCursor; // while the box shows
};

// Shows the box titled "Trellin 6842 calibration", centred on the screen,
// runs call on the global thread pool (call must touch no widget) until it
// returns, then closes the box, restores the cursor and returns call's status.
ViStatus nv6842fp_runWithCalibrationBox(const nv6842fp_calibrationBox &box,
                                        const std::function<ViStatus()> &call);

#endif
