// The message seam: titles, buttons, the exit on Yes, and that a real box is
// never needed when a responder is installed.
#include "messagerecorder.h"
#include "nv6842_fc.h"
#include "nv9471fp_messages.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

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
        QVERIFY(recorder.exitCodes.isEmpty());

        recorder.answerStandard(QMessageBox::Yes);
        showError(QStringLiteral("again"));
        QCOMPARE(recorder.exitCodes, QList<int>{0});
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
    // shows that ask() reports the clicked custom button.
    void realBoxReportsTheClickedButton()
    {
        sfp::MessageRequest request;
        request.title = QStringLiteral("t");
        request.text = QStringLiteral("question");
        request.customButtons = QStringList{QStringLiteral("Auto Find"), QStringLiteral("Other")};
        request.buttons = QMessageBox::Cancel;
        request.defaultCustom = 0;
        bool seen = false;
        QString defaultText;
        QTimer::singleShot(0, [&seen, &defaultText] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->defaultButton())
                return; // left to the watchdog below
            seen = true;
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
    }

    void centreIgnoresTheScreenOrigin()
    {
        QMainWindow window;
        window.resize(300, 200);
        centreOnScreen(&window);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window.pos(), QPoint((available.width() - window.geometry().width()) / 2,
                                      (available.height() - window.geometry().height()) / 2));
    }
};

QTEST_MAIN(TestCoreMessages)
#include "test_core_messages.moc"
