#include "nv9471fp_messages.h"

#include "nv9471fp_genFC.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

namespace {
const nv9471fp_genFC *messageCard = nullptr;
sfp::MessageResponder responder;
sfp::ExitHook exitHook;
const void *shutdownOwner = nullptr;
sfp::ShutdownHandler shutdownHandler;
bool shuttingDown = false;

QString frameworkTitle(const char *ending)
{
    return QStringLiteral("Trellin ") + sfp::messageModelText() + QLatin1String(ending);
}

sfp::MessageAnswer frameworkBox(QMessageBox::Icon icon, const char *ending, const QString &text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    sfp::MessageRequest request;
    request.icon = icon;
    request.title = frameworkTitle(ending);
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return sfp::ask(request);
}

// QMessageBox sizes itself from its text, and a window manager cuts a title
// wider than the window: an empty row as wide as the title in a bold
// title-bar font, with room for the window's icon and buttons beside it,
// keeps the whole title readable.
void keepRoomForTitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid || box.windowTitle().isEmpty())
        return;
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(box.windowTitle()) + 6 * metrics.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}
} // namespace

void showInfo(const QString &text)
{
    frameworkBox(QMessageBox::Information, " SFP Info message", text, QMessageBox::Ok);
}

void showWarning(const QString &text)
{
    frameworkBox(QMessageBox::Warning, " SFP Warning message", text, QMessageBox::Ok);
}

void showError(const QString &text)
{
    const sfp::MessageAnswer answer =
        frameworkBox(QMessageBox::Critical, " SFP Error message",
                     text + QStringLiteral("\nDo you want to exit?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No); // Enter must not end the program
    if (answer.standard == QMessageBox::Yes)
        sfp::endProcess(0);
}

void centreOnScreen(QWidget *widget)
{
    if (!widget)
        return;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Centre the size the window will be shown with: its layout's minimum
    // applies now, and a window nobody has sized yet takes its size hint,
    // as show() would give it.
    if (!widget->testAttribute(Qt::WA_Resized)) {
        widget->adjustSize();
        widget->setAttribute(Qt::WA_Resized, false); // still free to follow its contents
    } else if (QLayout *layout = widget->layout()) {
        layout->activate();
    }
    // Only the available size counts: the result is used as screen
    // coordinates as it stands, without the available area's origin.
    const QRect available = screen->availableGeometry();
    const QSize own = widget->geometry().size();
    widget->move((available.width() - own.width()) / 2, (available.height() - own.height()) / 2);
}

namespace sfp {

void setMessageCard(const nv9471fp_genFC *card)
{
    messageCard = card;
}

QString messageModelText()
{
    return messageCard ? nv9471fp_modelText(messageCard->modelCode) : QString();
}

MessageAnswer ask(const MessageRequest &request)
{
    if (responder)
        return responder(request);

    QWidget *parent = request.parent;
    if (!parent && request.useActiveWindowAsParent)
        parent = QApplication::activeWindow();
    QMessageBox box(request.icon, request.title, request.text, QMessageBox::NoButton, parent);
    if (!request.windowIcon.isNull())
        box.setWindowIcon(request.windowIcon);
    if (!request.detailedText.isEmpty())
        box.setDetailedText(request.detailedText);
    QList<QPushButton *> custom;
    for (int i = 0; i < request.customButtons.size(); ++i) {
        const QMessageBox::ButtonRole role = i < request.customRoles.size()
                                                 ? request.customRoles.at(i)
                                                 : QMessageBox::ActionRole;
        custom.append(box.addButton(request.customButtons.at(i), role));
    }
    box.setStandardButtons(request.buttons);
    if (request.defaultCustom >= 0 && request.defaultCustom < custom.size())
        box.setDefaultButton(custom.at(request.defaultCustom));
    else if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    keepRoomForTitle(box);
    box.exec();

    MessageAnswer answer;
    QAbstractButton *clicked = box.clickedButton();
    const int index = custom.indexOf(qobject_cast<QPushButton *>(clicked));
    if (index >= 0)
        answer.custom = index;
    else if (clicked)
        answer.standard = box.standardButton(clicked);
    return answer;
}

void setMessageResponder(MessageResponder newResponder)
{
    responder = std::move(newResponder);
}

void endProcess(int exitCode)
{
    if (shutdownHandler && !shuttingDown) {
        shuttingDown = true;
        const ShutdownHandler handler = shutdownHandler; // it may install another
        handler();
        shuttingDown = false;
    }
    if (exitHook) {
        exitHook(exitCode);
        return;
    }
    // Once the handler has ended what runs, at once, like the process exit the
    // operator asked for; Qt objects are not torn down, so no close
    // confirmation can appear on the way out.
    std::exit(exitCode);
}

void setExitHook(ExitHook hook)
{
    exitHook = std::move(hook);
}

void setShutdownHandler(const void *owner, ShutdownHandler handler)
{
    shutdownOwner = owner;
    shutdownHandler = std::move(handler);
}

void clearShutdownHandler(const void *owner)
{
    if (owner != shutdownOwner)
        return;
    shutdownOwner = nullptr;
    shutdownHandler = ShutdownHandler();
}

} // namespace sfp
