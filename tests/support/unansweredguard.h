// What a GUI test does with what nobody answers: a message box asked for
// without a MessageRecorder, a request to end the process, or a modal dialog
// left open. Each fails the running test at once and is closed, so that a
// fault ends the test within seconds instead of hanging it until CTest's
// time-out. Installed by itself when the application object is made; the
// recorder puts it back when it goes.
#ifndef UNANSWEREDGUARD_H
#define UNANSWEREDGUARD_H

namespace sfptest {

// Installs the guard as the message seam's responder and exit hook.
void guardUnanswered();

// Seconds a modal dialog may stay open before the guard fails the test and
// rejects it; whenModal() answers within about ten.
constexpr int modalDialogLimitSeconds = 20;

// For a test that needs the real boxes: while it lives, the seam shows them.
class RealMessageBoxes
{
public:
    RealMessageBoxes();
    ~RealMessageBoxes();
    RealMessageBoxes(const RealMessageBoxes &) = delete;
    RealMessageBoxes &operator=(const RealMessageBoxes &) = delete;
};

} // namespace sfptest

#endif
