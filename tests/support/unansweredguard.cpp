#include "unansweredguard.h"

#include "nv9471fp_messages.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>

namespace sfptest {
namespace {

// Once per test function: the program goes on after an unanswered box (a
// refresh timer asks again and again), and the first report says it all.
void failTest(const QString &what)
{
    static QByteArray reported;
    const QByteArray function = QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    if (function == reported)
        return;
    reported = function;
    QTest::qFail(QFile::encodeName(what).constData(), __FILE__, __LINE__);
}

sfp::MessageAnswer unansweredBox(const sfp::MessageRequest &request)
{
    failTest(QStringLiteral("a message box nobody answers: [%1] %2").arg(request.title, request.text));
    return sfp::MessageAnswer(); // as Escape would close it
}

void unexpectedExit(int code)
{
    failTest(QStringLiteral("the program asked to end with exit code %1").arg(code));
}

} // namespace

// Watches the modal stack once a second from whatever event loop runs.
class ModalWatchdog : public QObject
{
public:
    explicit ModalWatchdog(QObject *parent) : QObject(parent)
    {
        timer.setInterval(1000);
        connect(&timer, &QTimer::timeout, this, &ModalWatchdog::look);
        timer.start();
    }

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != current) {
            current = modal;
            seconds = 0;
            return;
        }
        if (!modal || ++seconds < modalDialogLimitSeconds)
            return;
        failTest(QStringLiteral("a modal %1 \"%2\" nobody closes")
                     .arg(QLatin1String(modal->metaObject()->className()), modal->windowTitle()));
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        seconds = 0;
    }

    QTimer timer;
    QPointer<QWidget> current;
    int seconds = 0;
};

void guardUnanswered()
{
    sfp::setMessageResponder(unansweredBox);
    sfp::setExitHook(unexpectedExit);
}

RealMessageBoxes::RealMessageBoxes()
{
    sfp::setMessageResponder(nullptr);
    sfp::setExitHook(nullptr);
}

RealMessageBoxes::~RealMessageBoxes()
{
    guardUnanswered();
}

} // namespace sfptest

namespace {

void installGuardAtStart()
{
    sfptest::guardUnanswered();
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        new sfptest::ModalWatchdog(QCoreApplication::instance());
}

} // namespace

// When the application object is made: after static initialisation, so the
// seam's own globals exist by then.
Q_COREAPP_STARTUP_FUNCTION(installGuardAtStart)
