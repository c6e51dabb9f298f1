// The framework's only channel for talking to the operator: every message
// box, question and request to end the process goes through here, so that a
// test can answer boxes and observe exits through one seam.
#ifndef NV9471FP_MESSAGES_H
#define NV9471FP_MESSAGES_H

#include <QIcon>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class nv9471fp_genFC;

// Framework message boxes; titles are "Trellin " + model text + a fixed ending.
void showInfo(const QString &text);
void showWarning(const QString &text);
// Appends "\nDo you want to exit?"; Yes ends the process with exit code 0.
// No is the default button.
void showError(const QString &text);
// Moves the widget to the middle of the primary screen's available size
// (without adding the available area's origin), for the size it will be shown
// with: its layout is applied first, and a window not yet sized gets its size
// hint, as show() would give it.
void centreOnScreen(QWidget *widget);

namespace sfp {

// The card description whose model text names the framework's boxes. Set once
// by main before anything can report.
void setMessageCard(const nv9471fp_genFC *card);
// "6842" for the registered card, empty before one is registered.
QString messageModelText();

// One box as the program asks for it.
struct MessageRequest {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    // Behind the box's "Show Details..." button when not empty: the whole of
    // a list the text shortens.
    QString detailedText;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // Buttons with own texts, placed before the standard ones, each with its role.
    QStringList customButtons;
    QList<QMessageBox::ButtonRole> customRoles;
    int defaultCustom = -1; // index into customButtons, -1 for none
    QWidget *parent = nullptr;
    bool useActiveWindowAsParent = true;
    QIcon windowIcon; // empty = the application's icon
};

// What the operator chose: a standard button, or the index of a custom button
// (standard = NoButton then). Closing the box with Escape gives Cancel/NoButton
// and custom = -1, as a real QMessageBox reports it.
struct MessageAnswer {
    QMessageBox::StandardButton standard = QMessageBox::NoButton;
    int custom = -1;
};

// Shows the box modally (or hands it to the installed responder) and returns the answer.
MessageAnswer ask(const MessageRequest &request);

// Tests install a responder that answers instead of showing a box; an empty
// function restores the real boxes.
using MessageResponder = std::function<MessageAnswer(const MessageRequest &)>;
void setMessageResponder(MessageResponder responder);

// Ends the process with the given code. The shutdown handler runs first;
// then, with an exit hook installed (tests), the hook is called instead and
// endProcess returns: callers must return after it as if the process had
// ended.
void endProcess(int exitCode);
using ExitHook = std::function<void(int)>;
void setExitHook(ExitHook hook);

// Run by endProcess before the process ends, so that the card window can end
// a running acquisition in order (the blocks acquired reach the file, which
// is closed). A request to end the process made while the handler runs (a
// box it raises, answered Yes) ends it without running the handler again.
// One handler at a time, installed by its owner; clearing with another
// owner leaves it in place.
using ShutdownHandler = std::function<void()>;
void setShutdownHandler(const void *owner, ShutdownHandler handler);
void clearShutdownHandler(const void *owner);

} // namespace sfp

#endif
