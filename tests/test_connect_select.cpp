// The selection tree and the whole connection conversation, against simulator
// configurations; message boxes are answered through the recorder, modal
// dialogs by polling the modal stack.
#include "messagerecorder.h"
#include "nv6842.h"
#include "nv6842_fc.h"
#include "nv9471.h"
#include "nv9471fp_fcEnterAddress.h"
#include "nv9471fp_fcEnterAddressFc.h"
#include "nv9471fp_fcSelect.h"
#include "test_connect_modal.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <memory>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
const QString selectTitle = QStringLiteral("Trellin 6842 SFP: Select Function Card");
const QString howToConnect = QStringLiteral("How to connect to 6842 Function Card?");
const QString noneFound = QStringLiteral("No 6842 Function Card found on your system.");

QTreeWidgetItem *findRow(QTreeWidget *tree, const QString &system, const QString &fc)
{
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = tree->topLevelItem(g);
        for (int s = 0; s < group->childCount(); ++s) {
            QTreeWidgetItem *carrier = group->child(s);
            if (carrier->text(0) != system)
                continue;
            for (int r = 0; r < carrier->childCount(); ++r) {
                if (carrier->child(r)->text(0) == fc)
                    return carrier->child(r);
            }
        }
    }
    return nullptr;
}

// multEnv of an open session: what the driver really opened.
multEnv_t sessionRecord(ViSession vi)
{
    ViAddr record = nullptr;
    if (viGetAttribute(vi, VI_ATTR_USER_DATA, &record) < VI_SUCCESS || !record)
        return multEnv_t{};
    return *static_cast<const multEnv_t *>(record);
}

QString commonLibraryText(ViStatus status)
{
    ViChar text[1024] = {};
    nv9471_errorText(status, text);
    return QString::fromLatin1(text);
}
} // namespace

class TestConnectSelect : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { sfp::setMessageCard(&gl_fc); }

    void init()
    {
        // Remembered descriptors start afresh in every test.
        iniBase.reset(new QTemporaryDir);
        qputenv("ALLUSERSPROFILE", iniBase->path().toLocal8Bit());
    }

    void cleanup() { qputenv("TRELLIN_SIM", QByteArray()); }

    void dialogLayout()
    {
        nv9471fp_fcSelect several(&gl_fc, true);
        QCOMPARE(several.windowTitle(), selectTitle);
        QCOMPARE(several.tree->headerItem()->text(0), QStringLiteral("System"));
        QCOMPARE(several.tree->headerItem()->text(1), QStringLiteral("FC Model"));
        QCOMPARE(several.tree->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(!several.windowIcon().isNull());
        nv9471fp_fcSelect single(&gl_fc, false);
        QCOMPARE(single.tree->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void treeOfSeveralCarriers()
    {
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QCOMPARE(dialog.searchCards(), 3);
        QTreeWidget *tree = dialog.tree;
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem *lxiGroup = tree->topLevelItem(0);
        QTreeWidgetItem *vxiGroup = tree->topLevelItem(1);
        QCOMPARE(lxiGroup->text(0), QStringLiteral("TCPIP0"));
        QCOMPARE(vxiGroup->text(0), QStringLiteral("VXI0"));
        for (QTreeWidgetItem *group : {lxiGroup, vxiGroup}) {
            QCOMPARE(group->flags(), Qt::ItemFlags(Qt::ItemIsEnabled));
            QVERIFY(group->isExpanded());
            QCOMPARE(group->childCount(), 1);
        }
        QTreeWidgetItem *lxi = lxiGroup->child(0);
        QTreeWidgetItem *vxi = vxiGroup->child(0);
        QCOMPARE(lxi->text(0), QStringLiteral("127.0.0.2 - 9480 LXI"));
        QCOMPARE(vxi->text(0), QStringLiteral("Slot 2 - 9471 MB"));
        QCOMPARE(vxi->flags(), Qt::ItemFlags(Qt::ItemIsEnabled));
        QVERIFY(vxi->isExpanded());
        QVERIFY(lxi->isExpanded());
        QCOMPARE(vxi->childCount(), 3);

        QTreeWidgetItem *fc2 = vxi->child(1);
        QCOMPARE(fc2->text(0), QStringLiteral("FC 2"));
        QVERIFY(fc2->text(1).startsWith(QStringLiteral("6842-")));
        QCOMPARE(fc2->flags(), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QCOMPARE(fc2->data(0, Qt::StatusTipRole), QVariant(2));
        QCOMPARE(fc2->data(1, Qt::StatusTipRole).toString(), QStringLiteral("VXI0::2::INSTR"));
        QTreeWidgetItem *other = vxi->child(2);
        QVERIFY(other->text(1).startsWith(QStringLiteral("6851")));
        QCOMPARE(other->flags(), Qt::ItemFlags(Qt::NoItemFlags));
        QCOMPARE(other->data(0, Qt::StatusTipRole), QVariant(0));
        QCOMPARE(lxi->child(0)->data(1, Qt::StatusTipRole).toString(),
                 QStringLiteral("TCPIP0::127.0.0.2::INSTR"));

        // The last selectable row is the current choice.
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::2::INSTR"));
        QCOMPARE(int(dialog.fcNumbers[0]), 2);

        // A second search starts from an empty tree.
        QCOMPARE(dialog.searchCards(), 3);
        QCOMPARE(tree->topLevelItemCount(), 2);
    }

    void okTakesTheSelectionInOrder()
    {
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QCOMPARE(dialog.searchCards(), 3);
        dialog.okPressed(); // nothing selected: nothing happens
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        findRow(dialog.tree, "Slot 2 - 9471 MB", "FC 2")->setSelected(true);
        findRow(dialog.tree, "127.0.0.2 - 9480 LXI", "FC 1")->setSelected(true);
        dialog.okPressed();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.cardCount, 2);
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::2::INSTR,TCPIP0::127.0.0.2::INSTR"));
        QCOMPARE(int(dialog.fcNumbers[0]), 2);
        QCOMPARE(int(dialog.fcNumbers[1]), 1);
    }

    // The tree never selects a greyed row, so the rule is checked where the
    // rows are taken: one greyed row among the chosen ones keeps the dialog open.
    void okRefusesGreyedRows()
    {
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QCOMPARE(dialog.searchCards(), 3);
        QTreeWidgetItem *fc2 = findRow(dialog.tree, "Slot 2 - 9471 MB", "FC 2");
        QTreeWidgetItem *greyed = findRow(dialog.tree, "Slot 2 - 9471 MB", "FC 3");
        QTreeWidgetItem *system = fc2->parent();
        const char hint[] = "Select one available function card and then click \"OK\" \n"
                            "or click \"Cancel\" to quit";
        for (const QList<QTreeWidgetItem *> &rows :
             {QList<QTreeWidgetItem *>{fc2, greyed}, QList<QTreeWidgetItem *>{greyed},
              QList<QTreeWidgetItem *>{system, fc2}}) {
            QTest::ignoreMessage(QtDebugMsg, hint);
            QVERIFY(!dialog.takeItems(rows));
        }
        QVERIFY(!dialog.takeItems({}));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        QVERIFY(dialog.takeItems({findRow(dialog.tree, "Slot 2 - 9471 MB", "FC 1"), fc2}));
        QCOMPARE(dialog.cardCount, 2);
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::2::INSTR,VXI0::2::INSTR"));
        QCOMPARE(int(dialog.fcNumbers[0]), 1);
        QCOMPARE(int(dialog.fcNumbers[1]), 2);
    }

    void doubleClick()
    {
        nv9471fp_fcSelect dialog(&gl_fc, true);
        dialog.searchCards();
        QTreeWidgetItem *greyed = findRow(dialog.tree, "Slot 2 - 9471 MB", "FC 3");
        QTreeWidgetItem *fc1 = findRow(dialog.tree, "Slot 2 - 9471 MB", "FC 1");
        QTreeWidgetItem *lxi = findRow(dialog.tree, "127.0.0.2 - 9480 LXI", "FC 1");
        dialog.dblClick(greyed);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.tree->setCurrentItem(dialog.tree->topLevelItem(0)); // a group: not a card
        dialog.dblClick(fc1);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.tree->setCurrentItem(lxi);
        dialog.dblClick(lxi);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.cardCount, 1);
        QCOMPARE(dialog.descriptorList, QStringLiteral("TCPIP0::127.0.0.2::INSTR"));
        QCOMPARE(int(dialog.fcNumbers[0]), 1);
    }

    void unsupportedCardsAreGreyedAndNotCounted()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=3\nfc 1 model=0x6851\nfc 2 model=0x6851\n"
                               "resource ASRL1::INSTR");
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QCOMPARE(dialog.searchCards(), 0);
        QCOMPARE(dialog.tree->topLevelItemCount(), 2); // "ASRL1" and "VXI0"
        QCOMPARE(dialog.tree->topLevelItem(0)->childCount(), 0);
        QTreeWidgetItem *carrier = dialog.tree->topLevelItem(1)->child(0);
        QVERIFY(!carrier->isExpanded());
        QCOMPARE(carrier->childCount(), 2);
        QCOMPARE(carrier->child(0)->flags(), Qt::ItemFlags(Qt::NoItemFlags));
    }

    void moreThan256Cards()
    {
        QByteArray config;
        for (int slot = 1; slot <= 33; ++slot)
            config += "carrier vxi slot=" + QByteArray::number(slot) +
                      "\nfc 1\nfc 2\nfc 3\nfc 4\nfc 5\nfc 6\nfc 7\nfc 8\n";
        qputenv("TRELLIN_SIM", config);
        MessageRecorder recorder;
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QCOMPARE(dialog.searchCards(), 256);
        QCOMPARE(recorder.count(), 1);
        const sfp::MessageRequest &box = recorder.last();
        QCOMPARE(box.title, selectTitle);
        QCOMPARE(box.text, QStringLiteral("Found more Function Cards than supported by this "
                                          "SoftFrontPanel. Only first 256 are available.\nPlease "
                                          "contact Norvane's support if you need support for more "
                                          "cards."));
        QCOMPARE(box.customButtons, QStringList{"Continue"});
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::NoButton));
        QCOMPARE(box.icon, QMessageBox::Question);
        // Filling stopped with the 256th card: 32 full carriers.
        QCOMPARE(dialog.tree->topLevelItem(0)->childCount(), 32);
    }

    void givingUpAtTheFirstQuestion()
    {
        MessageRecorder recorder;
        recorder.answerStandard(QMessageBox::Cancel);
        recorder.answerStandard(QMessageBox::NoButton); // box closed
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QVERIFY(!dialog.chooseConnection());
        QVERIFY(!dialog.chooseConnection());
        QCOMPARE(recorder.count(), 2);
        const sfp::MessageRequest &box = recorder.boxes.at(0);
        QCOMPARE(box.title, selectTitle);
        QCOMPARE(box.text, howToConnect);
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.customButtons,
                 QStringList({"Auto Find", "Run In Demo Mode", "Enter Address"}));
        QCOMPARE(box.customRoles,
                 QList<QMessageBox::ButtonRole>(
                     {QMessageBox::ActionRole, QMessageBox::ActionRole, QMessageBox::ActionRole}));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Cancel));
        QCOMPARE(box.defaultCustom, 0);
        QVERIFY(!box.windowIcon.isNull());
        QCOMPARE(dialog.session, ViSession(0));
    }

    void demoMode()
    {
        MessageRecorder recorder;
        recorder.answerCustomText("Run In Demo Mode");
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QVERIFY(dialog.chooseConnection());
        QCOMPARE(dialog.demoMode, 1);
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::1::INSTR"));
        QCOMPARE(dialog.cardCount, 1);
        QCOMPARE(int(dialog.fcNumbers[0]), 1);
        QCOMPARE(dialog.session, ViSession(0));
    }

    void nothingFound()
    {
        qputenv("TRELLIN_SIM", "# an empty system");
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        recorder.answerCustomText("Try Again"); // back to the first question
        recorder.answerCustomText("Auto Find");
        recorder.answerStandard(QMessageBox::Cancel);
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QVERIFY(!dialog.chooseConnection());
        QCOMPARE(recorder.texts(), QStringList({howToConnect, noneFound, howToConnect, noneFound}));
        const sfp::MessageRequest &box = recorder.boxes.at(1);
        QCOMPARE(box.title, selectTitle);
        QCOMPARE(box.customButtons, QStringList({"Try Again", "Run In Demo Mode"}));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Cancel));
        QCOMPARE(box.defaultCustom, 0);

        recorder.clear();
        recorder.answerCustomText("Auto Find");
        recorder.answerCustomText("Run In Demo Mode");
        QVERIFY(dialog.chooseConnection());
        QCOMPARE(dialog.demoMode, 1);
        QCOMPARE(recorder.count(), 2);
    }

    void exactlyOneCardOpensWithoutTree()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 2\nfc 3 model=0x6851");
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        nv9471fp_fcSelect dialog(&gl_fc, true);
        auto watch = whenModal<nv9471fp_fcSelect>([](nv9471fp_fcSelect *d) { d->reject(); });
        QVERIFY(dialog.chooseConnection());
        QCOMPARE(watch->acted, 0);
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(dialog.demoMode, 0);
        QCOMPARE(dialog.cardCount, 1);
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::5::INSTR"));
        QCOMPARE(int(dialog.fcNumbers[0]), 2);
        QVERIFY(dialog.session != 0);
        const multEnv_t record = sessionRecord(dialog.session);
        QCOMPARE(int(record.cardCount), 1);
        QCOMPARE(int(record.fcNumbers[0]), 2);
        QCOMPARE(nv6842_multClose(dialog.session), VI_SUCCESS);
    }

    void severalCardsThroughTheTree()
    {
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        nv9471fp_fcSelect dialog(&gl_fc, true);
        auto watch = whenModal<nv9471fp_fcSelect>([](nv9471fp_fcSelect *d) {
            findRow(d->tree, "Slot 2 - 9471 MB", "FC 1")->setSelected(true);
            findRow(d->tree, "Slot 2 - 9471 MB", "FC 2")->setSelected(true);
            d->okButton->click();
        });
        QVERIFY(dialog.chooseConnection());
        QCOMPARE(watch->acted, 1);
        QCOMPARE(dialog.cardCount, 2);
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::2::INSTR,VXI0::2::INSTR"));
        const multEnv_t record = sessionRecord(dialog.session);
        QCOMPARE(int(record.cardCount), 2);
        QCOMPARE(int(record.fcNumbers[0]), 1);
        QCOMPARE(int(record.fcNumbers[1]), 2);
        QCOMPARE(nv6842_multClose(dialog.session), VI_SUCCESS);
    }

    void cancellingTheTreeGivesUp()
    {
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        nv9471fp_fcSelect dialog(&gl_fc, true);
        auto watch =
            whenModal<nv9471fp_fcSelect>([](nv9471fp_fcSelect *d) { d->cancelButton->click(); });
        QVERIFY(!dialog.chooseConnection());
        QCOMPARE(watch->acted, 1);
        QCOMPARE(dialog.session, ViSession(0));
    }

    void failingOpenOfOneCard()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 2\n"
                               "fail call=nv6842_multInit status=0xBFFC0801 count=once");
        MessageRecorder recorder;
        recorder.answerCustomText("Auto Find");
        recorder.answerCustomText("Try Again");
        recorder.answerCustomText("Auto Find");
        nv9471fp_fcSelect dialog(&gl_fc, true);
        QVERIFY(dialog.chooseConnection());
        QVERIFY(dialog.session != 0);
        QCOMPARE(recorder.count(), 3);
        const QString driverText = gl_fc.errorMessage(ViStatus(0xBFFC0801));
        QVERIFY(!driverText.isEmpty());
        const sfp::MessageRequest &box = recorder.boxes.at(1);
        QCOMPARE(box.text, QStringLiteral("Selected 6842 Function Card is unavailable.\nError: ") +
                               driverText);
        QCOMPARE(box.title, selectTitle);
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.customButtons, QStringList{"Try Again"});
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Cancel));
        QCOMPARE(recorder.boxes.at(2).text, howToConnect);
        QCOMPARE(nv6842_multClose(dialog.session), VI_SUCCESS);
    }

    void failingOpenOfThreeTypedCards()
    {
        // A status the driver cannot translate: the common library's text is shown.
        const ViStatus status = ViStatus(0xBFFC0101);
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 1\nfc 2\nfc 3\n"
                               "fail call=nv6842_multInit status=0xBFFC0101 count=always");
        MessageRecorder recorder;
        recorder.answerCustomText("Enter Address");
        recorder.answerStandard(QMessageBox::Cancel);
        nv9471fp_fcSelect dialog(&gl_fc, true);
        auto watch = whenModal<nv9471fp_fcEnterAddress>([](nv9471fp_fcEnterAddress *d) {
            d->countBox->setCurrentIndex(2);
            for (int r = 0; r < 3; ++r) {
                d->rows[r]->descriptorBox->setEditText(QStringLiteral("VXI0::5::INSTR"));
                d->rows[r]->fcNumberBox->setCurrentIndex(r + 1);
            }
            d->okButton->click();
        });
        QVERIFY(!dialog.chooseConnection());
        QCOMPARE(watch->acted, 1);
        QCOMPARE(dialog.cardCount, 3);
        QCOMPARE(dialog.descriptorList,
                 QStringLiteral("VXI0::5::INSTR,VXI0::5::INSTR,VXI0::5::INSTR"));
        QCOMPARE(recorder.count(), 2);
        QVERIFY(gl_fc.errorMessage(status).isEmpty());
        QVERIFY(!commonLibraryText(status).isEmpty());
        QCOMPARE(
            recorder.last().text,
            QStringLiteral("At least one selected 6842 Function Card is unavailable.\nError: ") +
                commonLibraryText(status));
        QCOMPARE(dialog.session, ViSession(0));
    }

    void typedAddressesAreOpened()
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=5\nfc 1\nfc 2\ncarrier lxi ip=10.0.0.3\nfc 4");
        MessageRecorder recorder;
        recorder.answerCustomText("Enter Address");
        nv9471fp_fcSelect dialog(&gl_fc, true);
        auto watch = whenModal<nv9471fp_fcEnterAddress>([](nv9471fp_fcEnterAddress *d) {
            d->countBox->setCurrentIndex(1);
            d->rows[0]->descriptorBox->setEditText(QStringLiteral("TCPIP0::10.0.0.3::INSTR"));
            d->rows[0]->fcNumberBox->setCurrentIndex(4);
            d->rows[1]->descriptorBox->setEditText(QStringLiteral("VXI0::5::INSTR"));
            d->rows[1]->fcNumberBox->setCurrentIndex(2);
            d->okButton->click();
        });
        QVERIFY(dialog.chooseConnection());
        QCOMPARE(dialog.descriptorList, QStringLiteral("TCPIP0::10.0.0.3::INSTR,VXI0::5::INSTR"));
        QCOMPARE(dialog.cardCount, 2);
        const multEnv_t record = sessionRecord(dialog.session);
        QCOMPARE(int(record.cardCount), 2);
        QCOMPARE(int(record.fcNumbers[0]), 4);
        QCOMPARE(int(record.fcNumbers[1]), 2);
        QCOMPARE(nv6842_multClose(dialog.session), VI_SUCCESS);
    }

    void incompleteAddressesAreWarnedAbout()
    {
        MessageRecorder recorder;
        recorder.answerCustomText("Enter Address");
        recorder.answerStandard(QMessageBox::Ok); // singular warning
        recorder.answerStandard(QMessageBox::Ok); // plural warning
        recorder.answerStandard(QMessageBox::Cancel);
        nv9471fp_fcSelect dialog(&gl_fc, true);
        int shown = 0;
        auto watch = whenModal<nv9471fp_fcEnterAddress>(
            [&shown](nv9471fp_fcEnterAddress *d) {
                ++shown;
                if (shown == 1) {
                    // One row without an FC number.
                    d->countBox->setCurrentIndex(0);
                    d->rows[0]->fcNumberBox->setCurrentIndex(0);
                    d->rows[0]->descriptorBox->setEditText(QStringLiteral("VXI0::2::INSTR"));
                    d->okButton->click();
                } else if (shown == 2) {
                    // Reloaded: the first row is remembered as typed.
                    QCOMPARE(d->rows[0]->descriptorBox->currentText(),
                             QStringLiteral("VXI0::2::INSTR"));
                    d->countBox->setCurrentIndex(1);
                    d->rows[0]->fcNumberBox->setCurrentIndex(1);
                    d->rows[1]->descriptorBox->setEditText(QString());
                    d->rows[1]->fcNumberBox->setCurrentIndex(2);
                    d->okButton->click();
                } else {
                    d->cancelButton->click(); // back to the first question
                }
            },
            3);
        QVERIFY(!dialog.chooseConnection());
        QCOMPARE(shown, 3);
        QCOMPARE(recorder.texts(),
                 QStringList(
                     {howToConnect,
                      "Please enter the resource descriptor and select the Function Card number.",
                      "Please enter the resource descriptors and select the Function Card numbers.",
                      howToConnect}));
        QCOMPARE(recorder.boxes.at(1).title, QStringLiteral("Trellin 6842 SFP Warning message"));
    }

    void addressWarningTexts()
    {
        const QString atLeastOne = QStringLiteral(
            "Please enter at least one resource descriptor and select the Function Card number.");
        QCOMPARE(nv9471fp_fcSelect::addressWarning({}, {}), atLeastOne);
        QCOMPARE(nv9471fp_fcSelect::addressWarning({"VXI0::1::INSTR"}, {}), atLeastOne);
        QCOMPARE(nv9471fp_fcSelect::addressWarning({"VXI0::1::INSTR"}, {1, 2}), atLeastOne);
        QCOMPARE(nv9471fp_fcSelect::addressWarning({""}, {1}),
                 QStringLiteral(
                     "Please enter the resource descriptor and select the Function Card number."));
        QCOMPARE(
            nv9471fp_fcSelect::addressWarning({"A", "B"}, {1, 0}),
            QStringLiteral(
                "Please enter the resource descriptors and select the Function Card numbers."));
        QVERIFY(nv9471fp_fcSelect::addressWarning({"A", "B"}, {1, 8}).isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> iniBase;
};

QTEST_MAIN(TestConnectSelect)
#include "test_connect_select.moc"
