// Address entry: defaults, the history per row, rows beyond the count, the
// INI file and its location.
#include "nv6842_fc.h"
#include "nv9471fp_fcEnterAddress.h"
#include "nv9471fp_fcEnterAddressFc.h"

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
// A card model that opens one card at a time.
class SingleCard : public nv9471fp_genFC
{
public:
    SingleCard() : nv9471fp_genFC(0x6800) {}
    bool isSupportedModel(ViUInt16 code) const override { return code == 0x6800; }
    QString description() const override { return QString(); }
    QString legalNotice() const override { return QString(); }
    QString version() const override { return QString(); }
    QString driverRevision() const override { return QString(); }
    QString errorMessage(ViStatus) const override { return QString(); }
    ViStatus multInit(ViRsrc, ViInt16[], ViBoolean, ViBoolean, ViSession *) override { return -1; }
    ViStatus multInitStore(ViRsrc, ViInt16[], ViInt16, ViBoolean, ViBoolean, ViSession *) override
    {
        return -1;
    }
    ViStatus multReinit(ViSession *) override { return -1; }
    ViStatus multClose(ViSession) override { return -1; }
    ViStatus multReset(ViSession) override { return -1; }
    ViStatus fcSession(ViSession, ViInt16, ViSession *) override { return -1; }
    QString fcSessionCallText() const override { return QString(); }
};

QStringList items(const QComboBox *box)
{
    QStringList result;
    for (int i = 0; i < box->count(); ++i)
        result.append(box->itemText(i));
    return result;
}

// What an operator does: the dialog is loaded, one row typed, and OK taken.
void typeAndTake(nv9471fp_fcEnterAddress &dialog, int row, const QString &descriptor)
{
    dialog.loadRemembered();
    dialog.rows[row]->descriptorBox->setEditText(descriptor);
    QStringList descriptors;
    QList<int> numbers;
    dialog.takeAddresses(descriptors, numbers);
}
} // namespace

class TestConnectAddress : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        base.reset(new QTemporaryDir);
        qputenv("ALLUSERSPROFILE", base->path().toLocal8Bit());
    }

    void iniLocation()
    {
        QCOMPARE(nv9471fp_rememberedDescriptorsPath(),
                 base->path() + QStringLiteral("/Norvane/DefaultInstrDescr.ini"));
        qputenv("ALLUSERSPROFILE", QByteArray());
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        QCOMPARE(nv9471fp_rememberedDescriptorsPath(),
                 config.path() + QStringLiteral("/Norvane/DefaultInstrDescr.ini"));
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        QStringList descriptors;
        QList<int> numbers;
        dialog.takeAddresses(descriptors, numbers);
        QVERIFY(QFile::exists(config.path() + QStringLiteral("/Norvane/DefaultInstrDescr.ini")));
    }

    void firstStart()
    {
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Trellin 6842 SFP: Enter Addresses of Function Cards"));
        QVERIFY(dialog.isMultiCard());
        QVERIFY(!dialog.okButton->autoDefault() && !dialog.okButton->isDefault());
        QVERIFY(!dialog.cancelButton->autoDefault());
        dialog.loadRemembered();
        QCOMPARE(items(dialog.rows[0]->descriptorBox), QStringList{"TCPIP::192.168.2.100::INSTR"});
        QCOMPARE(dialog.rows[0]->descriptorBox->currentText(),
                 QStringLiteral("TCPIP::192.168.2.100::INSTR"));
        for (int r = 0; r < nv9471fp_fcEnterAddress::maxRows; ++r) {
            QCOMPARE(dialog.rows[r]->fcNumberBox->currentText(), QStringLiteral("Select"));
            QCOMPARE(dialog.rows[r]->fcNumberBox->count(), 9);
            QCOMPARE(dialog.rows[r]->isEnabled(), r == 0);
            if (r > 0)
                QCOMPARE(dialog.rows[r]->descriptorBox->count(), 0);
        }
        QCOMPARE(dialog.countBox->currentText(), QStringLiteral("1"));
        QCOMPARE(dialog.rows[0]->fcNumberBox->itemText(8), QStringLiteral("FC 8"));
    }

    void singleCardModel()
    {
        SingleCard card;
        nv9471fp_fcEnterAddress dialog(&card);
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Trellin 6800 SFP: Enter Function Card Address"));
        QVERIFY(!dialog.isMultiCard());
        QVERIFY(dialog.countBox == nullptr);
        QVERIFY(dialog.rows[0] != nullptr);
        QVERIFY(dialog.rows[1] == nullptr);
        dialog.loadRemembered();
        dialog.rows[0]->fcNumberBox->setCurrentIndex(3);
        QStringList descriptors;
        QList<int> numbers;
        dialog.takeAddresses(descriptors, numbers);
        QCOMPARE(descriptors, QStringList{"TCPIP::192.168.2.100::INSTR"});
        QCOMPARE(numbers, QList<int>{3});
        QSettings ini(dialog.iniPath, QSettings::IniFormat);
        QCOMPARE(ini.value("6800/1.FC_Number").toInt(), 3);
        QCOMPARE(ini.value("6800/FC_Count").toInt(), 1);
    }

    void historyPushesOutTheOldest()
    {
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        for (int i = 1; i <= 6; ++i)
            typeAndTake(dialog, 1, QStringLiteral("VXI0::%1::INSTR").arg(i));
        dialog.loadRemembered();
        QCOMPARE(items(dialog.rows[1]->descriptorBox),
                 QStringList({"VXI0::6::INSTR", "VXI0::5::INSTR", "VXI0::4::INSTR",
                              "VXI0::3::INSTR", "VXI0::2::INSTR"}));
        // Row 1 was never typed into: still only the default.
        QCOMPARE(items(dialog.rows[0]->descriptorBox), QStringList{"TCPIP::192.168.2.100::INSTR"});

        // A descriptor from the history moves to the front, once.
        typeAndTake(dialog, 1, QStringLiteral("VXI0::3::INSTR"));
        dialog.loadRemembered();
        QCOMPARE(items(dialog.rows[1]->descriptorBox),
                 QStringList({"VXI0::3::INSTR", "VXI0::6::INSTR", "VXI0::5::INSTR",
                              "VXI0::4::INSTR", "VXI0::2::INSTR"}));
        QSettings ini(dialog.iniPath, QSettings::IniFormat);
        QCOMPARE(ini.value("6842/2.1.Descriptor").toString(), QStringLiteral("VXI0::3::INSTR"));
        QCOMPARE(ini.value("6842/2.5.Descriptor").toString(), QStringLiteral("VXI0::2::INSTR"));

        // Row 1 keeps its typed descriptor ahead of the default.
        typeAndTake(dialog, 0, QStringLiteral("TCPIP0::10.0.0.1::INSTR"));
        dialog.loadRemembered();
        QCOMPARE(items(dialog.rows[0]->descriptorBox),
                 QStringList({"TCPIP0::10.0.0.1::INSTR", "TCPIP::192.168.2.100::INSTR"}));
    }

    void rowsBeyondTheCountAreSavedButNotReturned()
    {
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        dialog.loadRemembered();
        dialog.countBox->setCurrentIndex(2);
        for (int r = 0; r < nv9471fp_fcEnterAddress::maxRows; ++r) {
            QCOMPARE(dialog.rows[r]->isEnabled(), r < 3);
            dialog.rows[r]->descriptorBox->setEditText(
                QStringLiteral("VXI0::%1::INSTR").arg(r + 1));
            dialog.rows[r]->fcNumberBox->setCurrentIndex(r + 1);
        }
        QStringList descriptors;
        QList<int> numbers;
        dialog.takeAddresses(descriptors, numbers);
        QCOMPARE(descriptors, QStringList({"VXI0::1::INSTR", "VXI0::2::INSTR", "VXI0::3::INSTR"}));
        QCOMPARE(numbers, QList<int>({1, 2, 3}));

        QSettings ini(dialog.iniPath, QSettings::IniFormat);
        QCOMPARE(ini.value("6842/FC_Count").toInt(), 3);
        QCOMPARE(ini.value("6842/8.1.Descriptor").toString(), QStringLiteral("VXI0::8::INSTR"));
        QCOMPARE(ini.value("6842/8.FC_Number").toInt(), 8);
        QCOMPARE(ini.value("6842/8.2.Descriptor").toString(), QString());

        // A fresh dialog (the next start of the program) restores everything.
        nv9471fp_fcEnterAddress again(&gl_fc);
        again.loadRemembered();
        QCOMPARE(again.countBox->currentIndex(), 2);
        QVERIFY(again.rows[2]->isEnabled());
        QVERIFY(!again.rows[3]->isEnabled());
        QCOMPARE(again.rows[7]->descriptorBox->currentText(), QStringLiteral("VXI0::8::INSTR"));
        QCOMPARE(again.rows[7]->fcNumberBox->currentIndex(), 8);
    }

    void hostileIniValues()
    {
        const QString path = nv9471fp_rememberedDescriptorsPath();
        {
            QSettings ini(path, QSettings::IniFormat);
            ini.setValue("6842/1.FC_Number", 12);
            ini.setValue("6842/2.FC_Number", -3);
            ini.setValue("6842/FC_Count", 40);
            ini.setValue("6842/3.2.Descriptor", "VXI0::9::INSTR"); // a gap at 3.1
            ini.setValue("6842/4.FC_Number", "4294967298");      // 2 when cut to 32 bits
        }
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        dialog.loadRemembered();
        QCOMPARE(dialog.rows[0]->fcNumberBox->currentIndex(), 0);
        QCOMPARE(dialog.rows[1]->fcNumberBox->currentIndex(), 0);
        QCOMPARE(dialog.rows[3]->fcNumberBox->currentIndex(), 0);
        QCOMPARE(dialog.countBox->currentIndex(), 0);
        QCOMPARE(items(dialog.rows[2]->descriptorBox), QStringList{"VXI0::9::INSTR"});
    }

    void typedDescriptorsAreTrimmed_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QStringList>("history");
        QTest::newRow("blanks around a remembered one")
            << " VXI0::2::INSTR " << "VXI0::2::INSTR"
            << QStringList({"VXI0::2::INSTR", "VXI0::1::INSTR"});
        QTest::newRow("tab and line break") << "\tVXI0::1::INSTR\n"
                                            << "VXI0::1::INSTR"
                                            << QStringList({"VXI0::1::INSTR", "VXI0::2::INSTR"});
        QTest::newRow("blanks only") << "   " << "" << QStringList({"VXI0::2::INSTR", "VXI0::1::INSTR"});
    }

    // What is opened and what is remembered is the descriptor without the
    // blanks around it, so one address never shows up twice in the history.
    void typedDescriptorsAreTrimmed()
    {
        QFETCH(QString, typed);
        QFETCH(QString, taken);
        QFETCH(QStringList, history);
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        typeAndTake(dialog, 1, QStringLiteral("VXI0::1::INSTR"));
        typeAndTake(dialog, 1, QStringLiteral("VXI0::2::INSTR"));

        dialog.loadRemembered();
        dialog.countBox->setCurrentIndex(1);
        dialog.rows[1]->descriptorBox->setEditText(typed);
        QStringList descriptors;
        QList<int> numbers;
        dialog.takeAddresses(descriptors, numbers);
        QCOMPARE(descriptors.value(1), taken);

        dialog.loadRemembered();
        QCOMPARE(items(dialog.rows[1]->descriptorBox), history);
        QSettings ini(dialog.iniPath, QSettings::IniFormat);
        QCOMPARE(ini.value("6842/2.1.Descriptor").toString(), taken);
    }

    void handEditedDescriptorsAreTrimmed()
    {
        {
            QSettings ini(nv9471fp_rememberedDescriptorsPath(), QSettings::IniFormat);
            ini.setValue("6842/1.1.Descriptor", " VXI0::2::INSTR ");
            ini.setValue("6842/1.2.Descriptor", "VXI0::2::INSTR");
            ini.setValue("6842/1.3.Descriptor", "\tTCPIP0::10.0.0.1::INSTR");
            ini.setValue("6842/2.1.Descriptor", "  ");
        }
        nv9471fp_fcEnterAddress dialog(&gl_fc);
        dialog.loadRemembered();
        QCOMPARE(items(dialog.rows[0]->descriptorBox),
                 QStringList({"VXI0::2::INSTR", "TCPIP0::10.0.0.1::INSTR"}));
        QCOMPARE(dialog.rows[0]->descriptorBox->currentText(), QStringLiteral("VXI0::2::INSTR"));
        QCOMPARE(dialog.rows[1]->descriptorBox->count(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> base;
};

QTEST_MAIN(TestConnectAddress)
#include "test_connect_address.moc"
