#include "nv6842fp_calibrationBox.h"

#include "nv9471fp_messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QLabel>
#include <QVBoxLayout>
#include <QtConcurrent>

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

} // namespace

ViStatus nv6842fp_runWithCalibrationBox(const nv6842fp_calibrationBox &box,
                                        const std::function<ViStatus()> &call)
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

    QFutureWatcher<ViStatus> watcher;
    QEventLoop wait;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &wait, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(call));
    if (!watcher.isFinished())
        wait.exec();
    watcher.waitForFinished();
    const ViStatus status = watcher.result();

    dialog.hide();
    QApplication::restoreOverrideCursor();
    return status;
}
