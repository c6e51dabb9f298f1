#include "nv6842fp_calibrationBox.h"

#include "nv6842.h"
#include "nv9471.h"
#include "nv9471fp_messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <thread>

namespace {

// The card calibrates until the call returns: neither Escape nor the window's
// close button may take the box away and free the window meanwhile.
class WaitBox : public QDialog
{
public:
    using QDialog::QDialog;
    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

// Runs on the calibration's own thread: touches no widget.
nv6842fp_calibrationResult calibrate(const nv6842fp_calibration &c)
{
    nv6842fp_calibrationResult result;
    if (c.demo) {
        nv9471_delay(2000);
        return result;
    }
    ViSession fc_vi = 0;
    result.sessionStatus = nv6842_getMultFCsession(c.session, ViInt16(c.card), &fc_vi);
    if (result.sessionStatus >= VI_SUCCESS)
        result.status = nv6842_calibrateChannels(fc_vi, c.mask, c.gain, VI_NULL, VI_NULL, VI_NULL);
    return result;
}

} // namespace

nv6842fp_calibrationResult nv6842fp_runWithCalibrationBox(const nv6842fp_calibrationBox &box,
                                                          const nv6842fp_calibration &calibration)
{
    QApplication::setOverrideCursor(QCursor(box.cursor));
    WaitBox dialog(box.owner);
    dialog.setModal(true);
    dialog.setWindowTitle(QStringLiteral("Trellin 6842 calibration"));
    if (box.owner)
        dialog.setWindowIcon(box.owner->windowIcon());
    auto *layout = new QVBoxLayout(&dialog);
    if (box.margin >= 0)
        layout->setContentsMargins(box.margin, box.margin, box.margin, box.margin);
    layout->addWidget(new QLabel(box.text, &dialog));
    dialog.adjustSize();
    centreOnScreen(&dialog);
    if (box.fixedSize)
        dialog.setFixedSize(dialog.size());
    dialog.show();

    // A thread of its own rather than a pool's: no pool setting can queue
    // it behind other work, and the join hands the result over.
    nv6842fp_calibrationResult result;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = calibrate(calibration);
        done = true;
    });
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        if (done)
            wait.quit();
    });
    poll.start(20);
    if (!done)
        wait.exec();
    worker.join();

    dialog.hide();
    QApplication::restoreOverrideCursor();
    return result;
}
