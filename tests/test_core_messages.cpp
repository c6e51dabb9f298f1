// The message seam: titles, buttons, the exit on Yes, and that a real box is
// never needed when a responder is installed.
#include "messagerecorder.h"
#include "unansweredguard.h"
#include "nv6842_fc.h"
#include "nv9471fp_messages.h"

#include <QApplication>
#include <QDialog>
#include <QLibrary>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QtTest>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {
// The work area of the X server that the centring test starts: panels take
// 100 pixels on the left and 60 at the top of its 1024 x 768 screen.
const QRect shiftedWorkArea(100, 60, 800, 600);
const char childVariable[] = "SFP_CENTRE_ON_X_SERVER";

// Announces a work area on an X display's root window, as a desktop with
// panels does (_NET_WORKAREA). libxcb is loaded at run time, so the test links
// no X library.
bool setWorkArea(const QByteArray &display, const QRect &area)
{
    QLibrary xcb(QStringLiteral("xcb"), 1);
    const auto connectTo = reinterpret_cast<decltype(&xcb_connect)>(xcb.resolve("xcb_connect"));
    const auto hasError = reinterpret_cast<decltype(&xcb_connection_has_error)>(
        xcb.resolve("xcb_connection_has_error"));
    const auto setup = reinterpret_cast<decltype(&xcb_get_setup)>(xcb.resolve("xcb_get_setup"));
    const auto roots = reinterpret_cast<decltype(&xcb_setup_roots_iterator)>(
        xcb.resolve("xcb_setup_roots_iterator"));
    const auto intern =
        reinterpret_cast<decltype(&xcb_intern_atom)>(xcb.resolve("xcb_intern_atom"));
    const auto internReply =
        reinterpret_cast<decltype(&xcb_intern_atom_reply)>(xcb.resolve("xcb_intern_atom_reply"));
    const auto change = reinterpret_cast<decltype(&xcb_change_property_checked)>(
        xcb.resolve("xcb_change_property_checked"));
    const auto check =
        reinterpret_cast<decltype(&xcb_request_check)>(xcb.resolve("xcb_request_check"));
    const auto disconnect =
        reinterpret_cast<decltype(&xcb_disconnect)>(xcb.resolve("xcb_disconnect"));
    if (!connectTo || !hasError || !setup || !roots || !intern || !internReply || !change ||
        !check || !disconnect)
        return false;
    xcb_connection_t *connection = connectTo(display.constData(), nullptr);
    bool done = false;
    if (!hasError(connection)) {
        const xcb_window_t root = roots(setup(connection)).data->root;
        const char name[] = "_NET_WORKAREA";
        xcb_intern_atom_reply_t *atom =
            internReply(connection, intern(connection, 0, sizeof name - 1, name), nullptr);
        if (atom) {
            const uint32_t values[4] = {uint32_t(area.x()), uint32_t(area.y()),
                                        uint32_t(area.width()), uint32_t(area.height())};
            // Waiting for the answer makes sure the server has it before Qt asks.
            xcb_generic_error_t *error =
                check(connection, change(connection, XCB_PROP_MODE_REPLACE, root, atom->atom,
                                         XCB_ATOM_CARDINAL, 32, 4, values));
            done = error == nullptr;
            std::free(error);
            std::free(atom);
        }
    }
    disconnect(connection);
    return done;
}

// Centres a dialog before it is shown, as the program does, and checks where
// it stands once shown. Runs on the X server of centreInTheWorkArea().
void checkCentredDialog()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(available, shiftedWorkArea);
    QDialog dialog;
    auto *content = new QWidget;
    content->setMinimumSize(500, 300);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(content);
    centreOnScreen(&dialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QSize size = dialog.geometry().size();
    // The origin (100,60) of the work area is not added.
    QCOMPARE(dialog.pos(), QPoint((available.width() - size.width()) / 2,
                                  (available.height() - size.height()) / 2));
}
} // namespace

class TestCoreMessages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { sfp::setMessageCard(&gl_fc); }

    void titlesNameTheModel()
    {
        MessageRecorder recorder;
        showInfo(QStringLiteral("info text"));
        showWarning(QStringLiteral("warning text"));
        QCOMPARE(recorder.count(), 2);
        QCOMPARE(recorder.boxes[0].title, QStringLiteral("Trellin 6842 SFP Info message"));
        QCOMPARE(recorder.boxes[0].icon, QMessageBox::Information);
        QCOMPARE(recorder.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(recorder.boxes[0].text, QStringLiteral("info text"));
        QCOMPARE(recorder.boxes[1].title, QStringLiteral("Trellin 6842 SFP Warning message"));
        QCOMPARE(recorder.boxes[1].icon, QMessageBox::Warning);
        QVERIFY(recorder.exitCodes.isEmpty());
    }

    void errorOffersToExit()
    {
        MessageRecorder recorder;
        recorder.answerStandard(QMessageBox::No);
        showError(QStringLiteral("call failed"));
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP Error message"));
        QCOMPARE(recorder.last().text, QStringLiteral("call failed\nDo you want to exit?"));
        QCOMPARE(recorder.last().icon, QMessageBox::Critical);
        QCOMPARE(recorder.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(recorder.last().defaultButton, QMessageBox::No); // Enter must not end the program
        QVERIFY(recorder.exitCodes.isEmpty());

        recorder.answerStandard(QMessageBox::Yes);
        showError(QStringLiteral("again"));
        QCOMPARE(recorder.exitCodes, QList<int>{0});
    }

    // The shutdown handler runs before the process ends, and once: a box it
    // raises, answered Yes, ends the process without a second round.
    void shutdownHandlerRunsFirstAndOnce()
    {
        MessageRecorder recorder;
        QStringList order;
        int owner = 0, other = 0;
        sfp::setExitHook([&](int code) { order << QStringLiteral("exit %1").arg(code); });
        sfp::setShutdownHandler(&owner, [&] {
            order << QStringLiteral("handler");
            recorder.answerStandard(QMessageBox::Yes);
            showError(QStringLiteral("stop failed"));
        });
        sfp::clearShutdownHandler(&other); // not its owner: it stays
        sfp::endProcess(3);
        QCOMPARE(order, (QStringList{"handler", "exit 0", "exit 3"}));
        sfp::clearShutdownHandler(&owner);
        order.clear();
        sfp::endProcess(1);
        QCOMPARE(order, QStringList{"exit 1"});
    }

    void modelTextPadsWithBlanks()
    {
        QCOMPARE(nv9471fp_modelText(0x6842), QStringLiteral("6842"));
        QCOMPARE(nv9471fp_modelText(0x842), QStringLiteral(" 842"));
        QCOMPARE(nv9471fp_modelText(0x6851), QStringLiteral("6851"));
    }

    void customButtonsReachTheResponder()
    {
        MessageRecorder recorder;
        recorder.answerCustomText(QStringLiteral("Second"));
        sfp::MessageRequest request;
        request.customButtons = QStringList{QStringLiteral("First"), QStringLiteral("Second")};
        request.buttons = QMessageBox::Cancel;
        const sfp::MessageAnswer answer = sfp::ask(request);
        QCOMPARE(answer.custom, 1);
        QCOMPARE(answer.standard, QMessageBox::NoButton);
    }

    // Without a responder a real, modal box appears; closing it from a timer
    // shows that ask() reports the clicked custom button. The box is wide
    // enough for its title in a bold title-bar font beside the window's icon
    // and three buttons, each at least a line high.
    void realBoxReportsTheClickedButton()
    {
        const sfptest::RealMessageBoxes real;
        sfp::MessageRequest request;
        request.title = QStringLiteral("Trellin 6842 SFP Error message");
        request.text = QStringLiteral("question");
        request.customButtons = QStringList{QStringLiteral("Auto Find"), QStringLiteral("Other")};
        request.buttons = QMessageBox::Cancel;
        request.defaultCustom = 0;
        bool seen = false;
        QString defaultText;
        int width = 0;
        QTimer::singleShot(0, [&seen, &defaultText, &width] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->defaultButton())
                return; // left to the watchdog below
            seen = true;
            width = box->width();
            defaultText = box->defaultButton()->text();
            box->defaultButton()->click();
        });
        // A box nobody answered would block for good; ending it lets the checks below fail.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *box = qobject_cast<QMessageBox *>(widget))
                    box->done(0);
        });
        watchdog.start(10000);
        const sfp::MessageAnswer answer = sfp::ask(request);
        QVERIFY(seen);
        QCOMPARE(defaultText, QStringLiteral("Auto Find"));
        QCOMPARE(answer.custom, 0);
        QFont font = QApplication::font("QMdiSubWindowTitleBar");
        font.setBold(true);
        const QFontMetrics metrics(font);
        QVERIFY2(width >= metrics.horizontalAdvance(request.title) + 4 * metrics.height(), qPrintable(QString::number(width)));
    }

    void centreKeepsTheSize()
    {
        QMainWindow window;
        window.resize(300, 200);
        centreOnScreen(&window);
        QCOMPARE(window.size(), QSize(300, 200));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window.pos(),
                 QPoint((available.width() - 300) / 2, (available.height() - 200) / 2));
    }

    // The offscreen screen starts at (0,0) and keeps no room for panels, so
    // this runs again in a child process on an X server of its own (Xvfb),
    // whose work area leaves room for panels on the left and at the top.
    void centreInTheWorkArea()
    {
        if (qEnvironmentVariableIsSet(childVariable)) {
            checkCentredDialog();
            return;
        }
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            QSKIP("Xvfb is not installed");
        QProcess server;
        // The server picks a free display and writes its number on standard output.
        server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0",
                            "1024x768x24"});
        QVERIFY(server.waitForStarted());
        QByteArray number;
        while (!number.contains('\n') && server.waitForReadyRead(10000))
            number += server.readAllStandardOutput();
        const QByteArray display = ':' + number.trimmed();
        QVERIFY2(number.contains('\n'), server.readAllStandardError().constData());
        QVERIFY(setWorkArea(display, shiftedWorkArea));

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QString::fromLatin1(childVariable), QStringLiteral("1"));
        // The X libraries keep memory to the end; leaks are looked for elsewhere.
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) +
                               QStringLiteral(":detect_leaks=0"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"centreInTheWorkArea"});
        const bool finished = child.waitForFinished(60000);
        const QByteArray output = child.readAll();
        server.terminate();
        server.waitForFinished(10000);
        QVERIFY2(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 output.constData());
        QVERIFY2(output.contains("PASS   : TestCoreMessages::centreInTheWorkArea()"),
                 output.constData());
    }
};

QTEST_MAIN(TestCoreMessages)
#include "test_core_messages.moc"
