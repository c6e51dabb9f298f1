// The connected main-panel frame: demo, offline, VXI and LXI cards, giving
// up, Reset Device, the labels of another card, the About box, closing the
// session, and where the windows of the conversation appear on the screen.
#include "messagerecorder.h"
#include "nv6842.h"
#include "nv6842_fc.h"
#include "nv6842fp_App.h"
#include "nv9471.h"
#include "nv9471fp_About.h"
#include "nv9471fp_AppFC.h"
#include "nv9471fp_fcEnterAddress.h"
#include "nv9471fp_fcEnterAddressFc.h"
#include "nv9471fp_fcSelect.h"
#include "nv9471fp_led.h"
#include "test_connect_modal.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

namespace {
const QString plainTitle = QStringLiteral("Trellin 6842 Soft Front Panel");

// Exposes the card-specific window's helper to the test.
class Panel : public nv9471fp_AppFC
{
public:
    using nv9471fp_AppFC::nv9471fp_AppFC;
    using nv9471fp_AppFC::tabChanged;
};

std::unique_ptr<Panel> makePanel(bool offline = false)
{
    return std::make_unique<Panel>(&gl_fc, true, offline, QStringLiteral("6.1.3"), true);
}

bool sessionIsOpen(ViSession vi)
{
    ViAddr record = nullptr;
    return viGetAttribute(vi, VI_ATTR_USER_DATA, &record) >= VI_SUCCESS;
}

// Types two cards into the address dialog when it appears.
std::shared_ptr<ModalWatch> whenAddressDialog()
{
    return whenModal<nv9471fp_fcEnterAddress>([](nv9471fp_fcEnterAddress *d) {
        d->countBox->setCurrentIndex(1);
        d->rows[0]->descriptorBox->setEditText(QStringLiteral("VXI0::5::INSTR"));
        d->rows[0]->fcNumberBox->setCurrentIndex(2);
        d->rows[1]->descriptorBox->setEditText(QStringLiteral("TCPIP0::10.0.0.4::INSTR"));
        d->rows[1]->fcNumberBox->setCurrentIndex(3);
        d->okButton->click();
    });
}

// 33 VXI carriers of 8 cards each: more cards than the panel can take.
QByteArray manyCardsSystem()
{
    QByteArray config;
    for (int slot = 1; slot <= 33; ++slot)
        config += "carrier vxi slot=" + QByteArray::number(slot) +
                  "\nfc 1\nfc 2\nfc 3\nfc 4\nfc 5\nfc 6\nfc 7\nfc 8\n";
    return config;
}

// What is wrong with a shown window on the smallest screen the panel is made
// for (1024 x 768): its frame is too large, or one of its buttons is hidden or
// sticks out of it. Empty when it fits.
QString fitProblem(const QWidget *window, const QList<const QWidget *> &buttons)
{
    const QSize frame = window->frameGeometry().size();
    if (frame.width() > 1024 || frame.height() > 768)
        return QStringLiteral("%1: frame of %2 x %3")
            .arg(window->windowTitle())
            .arg(frame.width())
            .arg(frame.height());
    for (const QWidget *button : buttons) {
        const QRect inWindow(button->mapTo(window, QPoint(0, 0)), button->size());
        if (!button->isVisible() || !window->rect().contains(inWindow))
            return QStringLiteral("%1: button \"%2\" not shown inside the window")
                .arg(window->windowTitle(), button->property("text").toString());
    }
    return QString();
}

// Where a window must stand to be centred in the primary screen's available
// area with the size it has while shown.
QPoint centredPosition(const QWidget *window)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = window->geometry().size();
    return QPoint((available.width() - size.width()) / 2, (available.height() - size.height()) / 2);
}

QString commonLibraryText(ViStatus status)
{
    ViChar text[1024] = {};
    nv9471_errorText(status, text);
    return QString::fromLatin1(text);
}
} // namespace

class TestConnectAppFC : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        sfp::setMessageCard(&gl_fc);
        QApplication::setQuitOnLastWindowClosed(false);
        iniBase.reset(new QTemporaryDir);
        qputenv("ALLUSERSPROFILE", iniBase->path().toLocal8Bit());
    }

    void cleanup() { qputenv("TRELLIN_SIM", QByteArray()); }

    void demoMode()
    {
        MessageRecorder recorder;
        recorder.answerCustomText("Run In Demo Mode");
        auto panel = makePanel();
        QCOMPARE(recorder.count(), 1);
        QVERIFY(!panel->connectionAbandoned());
        QCOMPARE(panel->demoMode, 1);
        QCOMPARE(panel->d_vi, ViSession(0));
        QCOMPARE(panel->cardCount, 1);
        QCOMPARE(panel->fcNumbers[0], 1);
        QVERIFY(!panel->lxiCarrier);
        QCOMPARE(panel->activeLed->value(), 0);
        QVERIFY(panel->slotLabel->isHidden());
        QVERIFY(panel->fcLabel->isHidden());
        QCOMPARE(panel->windowTitle(), plainTitle);
        QCOMPARE(panel->titleLabel->text(),
                 QStringLiteral("<html>Trellin 6842<br><font size='2'>16-Channel, 24-bit "
                                "Sigma-Delta ADC Function Card</font></html>"));

        // Reset in demo mode reaches no driver and shows nothing.
        qputenv("TRELLIN_SIM", "fail call=nv6842_multReset status=0xBFFC0801 count=always\n"
                               "carrier vxi slot=2\nfc 1");
        recorder.clear();
        panel->resetDevice();
        QCOMPARE(recorder.count(), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // Nor does a tab change.
        panel->tabChanged(0);
        QCOMPARE(panel->windowTitle(), plainTitle);
        QVERIFY(panel->fcLabel->isHidden());
    }

    void offline()
    {
        MessageRecorder recorder;
        auto panel = makePanel(true);
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(panel->demoMode, 1);
        QCOMPARE(panel->d_vi, ViSession(0));
        QCOMPARE(panel->activeLed->value(), 0);
        QVERIFY(panel->slotLabel->isHidden());
        QVERIFY(panel->fcLabel->isHidden());
        QCOMPARE(panel->windowTitle(), plainTitle);
    }

    void realVxiCard()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 2");
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        auto panel = makePanel();
        QCOMPARE(panel->demoMode, 0);
        QVERIFY(panel->d_vi != 0);
        QCOMPARE(panel->cardCount, 1);
        QCOMPARE(panel->fcNumbers[0], 2);
        QVERIFY(!panel->lxiCarrier);
        QCOMPARE(panel->activeLed->value(), 1);
        QVERIFY(!panel->slotLabel->isHidden());
        QCOMPARE(panel->slotLabel->text(), QStringLiteral("Slot 5"));
        QCOMPARE(panel->slotLabel->whatsThis(),
                 QStringLiteral("Shows which VXI module is connected to the Soft Front Panel"));
        QCOMPARE(panel->fcLabel->text(), QStringLiteral("FC 2"));
        QCOMPARE(panel->fcLabel->whatsThis(),
                 QStringLiteral("Shows which function card is connected to the Soft Front Panel"));
        QCOMPARE(panel->windowTitle(), plainTitle);

        panel->tabChanged(0);
        QCOMPARE(panel->fcLabel->text(), QStringLiteral("FC #2"));
        QCOMPARE(panel->slotLabel->text(), QStringLiteral("Slot 5"));
        QCOMPARE(panel->windowTitle(), plainTitle + QStringLiteral(": "));

        // Destroying the panel closes its session.
        const ViSession vi = panel->d_vi;
        QVERIFY(sessionIsOpen(vi));
        panel.reset();
        QVERIFY(!sessionIsOpen(vi));
    }

    void realLxiCard()
    {
        qputenv("TRELLIN_SIM", "carrier lxi ip=10.1.2.3 host=bench7 device=inst3\nfc 4");
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        auto panel = makePanel();
        QCOMPARE(panel->demoMode, 0);
        QVERIFY(panel->lxiCarrier);
        QCOMPARE(panel->slotLabel->text(), QStringLiteral("inst3"));
        QCOMPARE(panel->slotLabel->whatsThis(),
                 QStringLiteral("Shows which LXI module is connected to the Soft Front Panel"));
        QCOMPARE(panel->fcLabel->text(), QStringLiteral("FC 4"));
        QCOMPARE(panel->windowTitle(), plainTitle + QStringLiteral(": bench7"));
    }

    void tabOfAnotherCard()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 2\ncarrier lxi ip=10.0.0.4 host=far\nfc 3");
        MessageRecorder recorder;
        recorder.answerCustomText("Enter Address");
        auto watch = whenAddressDialog();
        auto panel = makePanel();
        QCOMPARE(panel->cardCount, 2);
        QCOMPARE(panel->slotLabel->text(), QStringLiteral("Slot 5"));
        panel->tabChanged(1);
        QCOMPARE(panel->slotLabel->text(), QStringLiteral("inst0"));
        QCOMPARE(panel->fcLabel->text(), QStringLiteral("FC #3"));
        QCOMPARE(panel->windowTitle(), plainTitle + QStringLiteral(": far"));
        QCOMPARE(recorder.count(), 1);

        // A card index the session does not have: the driver's error is shown
        // and the operator may stay.
        recorder.answerStandard(QMessageBox::No);
        panel->tabChanged(7);
        QCOMPARE(recorder.count(), 2);
        QVERIFY(recorder.last().text.startsWith(
            QStringLiteral("nv6842_getMultFCsession(d_vi, index, &fc_vi) failed due to [")));
        QVERIFY(recorder.last().text.endsWith(QStringLiteral("]\nDo you want to exit?")));
        QVERIFY(recorder.exitCodes.isEmpty());
    }

    void givingUpEndsTheProcess()
    {
        MessageRecorder recorder;
        recorder.answerStandard(QMessageBox::Cancel);
        auto panel = makePanel();
        QCOMPARE(recorder.exitCodes, QList<int>{0});
        QVERIFY(panel->connectionAbandoned());
        QCOMPARE(panel->demoMode, 1);
        QCOMPARE(panel->d_vi, ViSession(0));
        QVERIFY(panel->aboutDialog == nullptr);
    }

    void resetWarningAndError()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 2");
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        auto panel = makePanel();
        recorder.clear();

        panel->resetDevice(); // succeeds quietly
        QCOMPARE(recorder.count(), 0);

        const ViStatus warning = ViStatus(0x3FFC0800);
        const ViStatus error = ViStatus(0xBFFC0801);
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 2\n"
                               "fail call=nv6842_multReset status=0x3FFC0800 count=1\n"
                               "fail call=nv6842_multReset status=0xBFFC0801 count=2");
        // The simulator reads its configuration again when a resource manager opens.
        ViSession manager = 0;
        QCOMPARE(viOpenDefaultRM(&manager), VI_SUCCESS);
        viClose(manager);

        panel->resetDevice();
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP Warning message"));
        QCOMPARE(recorder.last().text,
                 QStringLiteral("Warning [") + commonLibraryText(warning) + QStringLiteral("]"));

        recorder.answerStandard(QMessageBox::No);
        panel->resetDevice();
        QCOMPARE(recorder.count(), 2);
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP Error message"));
        QCOMPARE(recorder.last().text, QStringLiteral("Function Call failed due to [") +
                                           commonLibraryText(error) +
                                           QStringLiteral("]\nDo you want to exit?"));
        QVERIFY(recorder.exitCodes.isEmpty());

        recorder.answerStandard(QMessageBox::Yes);
        panel->resetDevice();
        QCOMPARE(recorder.exitCodes, QList<int>{0});
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The state does not change.
        QCOMPARE(panel->demoMode, 0);
        QVERIFY(sessionIsOpen(panel->d_vi));
    }

    void aboutBox()
    {
        MessageRecorder recorder;
        auto panel = makePanel(true);
        nv9471fp_About *about = panel->aboutDialog;
        QVERIFY(about != nullptr);
        QCOMPARE(about->parent(), panel.get());
        ViChar revision[256] = {};
        nv9471_revision(revision);
        QVERIFY(revision[0] != '\0');
        QCOMPARE(about->commonLibraryLabel->text(), QString::fromLatin1(revision));
        QCOMPARE(about->driverLabel->text(), gl_fc.driverRevision());
        QCOMPARE(about->panelLabel->text(), QStringLiteral("4.3.16.12460"));
        QVERIFY(!about->isVisible());
        panel->show();
        panel->aboutButton->click();
        QVERIFY(about->isVisible());
        about->hide();
    }

    void closingAsksFirst()
    {
        MessageRecorder recorder;
        auto panel = makePanel(true);
        panel->show();
        recorder.answerStandard(QMessageBox::No);
        QVERIFY(!panel->close());
        QVERIFY(panel->isVisible());
        QCOMPARE(recorder.last().text, QStringLiteral("Do you really want to exit?"));
        recorder.answerStandard(QMessageBox::Yes);
        QVERIFY(panel->close());
    }

    // With every card of a crowded system chosen, the selection dialog and the
    // card window are centred as they are shown and fit a small screen with
    // all their buttons reachable.
    void manyCardsFitTheScreen()
    {
        qputenv("TRELLIN_SIM", manyCardsSystem());
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        QString selectProblem = QStringLiteral("selection dialog not shown");
        QPoint selectPos;
        QPoint selectCentre;
        bool selectOnScreen = false;
        auto watch = whenModal<nv9471fp_fcSelect>([&](nv9471fp_fcSelect *d) {
            selectProblem = fitProblem(d, {d->tree, d->okButton, d->cancelButton});
            selectPos = d->pos();
            selectCentre = centredPosition(d);
            selectOnScreen =
                QGuiApplication::primaryScreen()->availableGeometry().contains(d->frameGeometry());
            d->tree->selectAll();
            d->okButton->click();
        });
        nv6842fp_App window(&gl_fc, 2, false);
        QVERIFY2(selectProblem.isEmpty(), qPrintable(selectProblem));
        QCOMPARE(selectPos, selectCentre);
        QVERIFY(selectOnScreen); // the offscreen screen is only 800 x 600
        QCOMPARE(window.cardCount, 256);
        QCOMPARE(window.cards(), 256);

        // As the program places it.
        centreOnScreen(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString problem = fitProblem(
            &window, {window.closeButton, window.aboutButton, window.resetButton});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(window.pos(), centredPosition(&window));
        window.hide();
    }

    // Eight rows of typed addresses still fit.
    void addressDialogFitsTheScreen()
    {
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        dialog.countBox->setCurrentIndex(nv9471fp_fcEnterAddress::maxRows - 1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString problem = fitProblem(&dialog, {dialog.okButton, dialog.cancelButton,
                                                     dialog.rows[7]->fcNumberBox});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        dialog.hide();
    }

private:
    std::unique_ptr<QTemporaryDir> iniBase;
};

QTEST_MAIN(TestConnectAppFC)
#include "test_connect_appfc.moc"
