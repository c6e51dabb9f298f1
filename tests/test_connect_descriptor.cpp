// Descriptor parts, sort order, display texts, and the merge and sort of
// search results.
#include "connect_test_helpers.h"
#include "nv9471fp_descriptor.h"

#include <QtTest>

namespace {
resourceInfo resource(const QString &descriptor, const QString &address = QString())
{
    resourceInfo r;
    r.descriptor = descriptor;
    r.networkAddress = address;
    return r;
}
} // namespace

class TestConnectDescriptor : public QObject
{
    Q_OBJECT
private slots:
    void parts()
    {
        QCOMPARE(descriptorPrefix(QStringLiteral("GPIB-VXI0::3::INSTR")), QStringLiteral("GPIB"));
        QCOMPARE(descriptorPrefix(QStringLiteral("tcpip0::1.2.3.4::INSTR")),
                 QStringLiteral("TCPIP"));
        QCOMPARE(descriptorBoard(QStringLiteral("VXI12::1::INSTR")), 12);
        QCOMPARE(descriptorBoard(QStringLiteral("TCPIP::192.168.2.60::INSTR")), 0);
        QCOMPARE(descriptorGroupKey(QStringLiteral("VXI0::1::INSTR")), QStringLiteral("VXI0"));
        const std::array<int, 4> address = {192, 168, 2, 60};
        QVERIFY(descriptorAddressNumbers(QStringLiteral("TCPIP0::192.168.2.60::INSTR")) == address);
        QVERIFY(descriptorAddressNumbers(QStringLiteral("TCPIP::192.168.2.60::inst0::INSTR")) ==
                address);
        const std::array<int, 4> zeros = {0, 0, 0, 0};
        QVERIFY(descriptorAddressNumbers(QStringLiteral("TCPIP0::myhost::INSTR")) == zeros);
        QVERIFY(descriptorAddressNumbers(QStringLiteral("TCPIP0::10.0.0.1.example.com::INSTR")) ==
                zeros);
        QVERIFY(descriptorAddressNumbers(QStringLiteral("TCPIP0::10.0.0::INSTR")) == zeros);
    }

    void order_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("aLess");
        QTest::addColumn<bool>("bLess");
        QTest::newRow("board before device") << "VXI0::9::INSTR"
                                             << "VXI1::5::INSTR" << true << false;
        QTest::newRow("same board is equal") << "VXI0::9::INSTR"
                                             << "VXI0::1::INSTR" << false << false;
        QTest::newRow("numeric last octet") << "TCPIP0::192.168.2.60::INSTR"
                                            << "TCPIP0::192.168.2.100::INSTR" << true << false;
        QTest::newRow("numeric third octet") << "TCPIP0::192.168.9.200::INSTR"
                                             << "TCPIP0::192.168.10.1::INSTR" << true << false;
        QTest::newRow("TCPIP board first") << "TCPIP1::1.1.1.1::INSTR"
                                           << "TCPIP0::9.9.9.9::INSTR" << false << true;
        QTest::newRow("case-insensitive prefix") << "tcpip0::10.0.0.2::INSTR"
                                                 << "TCPIP0::10.0.0.10::INSTR" << true << false;
        QTest::newRow("host name counts as zeros") << "TCPIP0::zeta::INSTR"
                                                   << "TCPIP0::0.0.0.1::INSTR" << true << false;
        QTest::newRow("two host names are equal") << "TCPIP0::zeta::INSTR"
                                                  << "TCPIP0::alpha::INSTR" << false << false;
        QTest::newRow("different prefixes: string order") << "ASRL1::INSTR"
                                                          << "VXI0::1::INSTR" << true << false;
        QTest::newRow("ASRL by board") << "ASRL10::INSTR"
                                       << "ASRL9::INSTR" << false << true;
        QTest::newRow("GPIB-VXI board 0") << "GPIB-VXI0::3::INSTR"
                                          << "GPIB1::3::INSTR" << true << false;
        QTest::newRow("unknown prefix: string order") << "USB0::0x1::INSTR"
                                                      << "USB0::0x0::INSTR" << false << true;
    }

    void order()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, aLess);
        QFETCH(bool, bLess);
        QCOMPARE(descriptorLess(a, b), aLess);
        QCOMPARE(descriptorLess(b, a), bLess);
    }

    void displayTexts()
    {
        QCOMPARE(vxiSystemText(2, 1260), QStringLiteral("Slot 2 - 1260 MB"));
        QCOMPARE(lxiSystemText(QStringLiteral("10.1.2.3"), 9471),
                 QStringLiteral("10.1.2.3 - 9471 LXI"));
        QCOMPARE(fcLabelText(3), QStringLiteral("FC 3"));
        QCOMPARE(fcModelText(0x6842, revisionSuffix(0x4233)), QStringLiteral("6842-B3"));
        QCOMPARE(fcModelText(0x6842, revisionSuffix(0)), QStringLiteral("6842-"));
        QCOMPARE(revisionSuffix(0x4100), QStringLiteral("-A"));
        QCOMPARE(revisionSuffix(0x0041), QStringLiteral("-")); // a zero byte ends the text
        QCOMPARE(fcModelText(0x0851, QString()), QStringLiteral(" 851"));
        QVERIFY(hasRevisionWord(0x6842));
        QVERIFY(hasRevisionWord(0x6851));
        QVERIFY(!hasRevisionWord(0x6800));
        QCOMPARE(translateModelCode(0x6842), ViUInt16(0x6842));
        QCOMPARE(translateModelCode(0x6851), ViUInt16(0x6851));
        QCOMPARE(translateModelCode(0x6801), ViUInt16(0x6800));
        QCOMPARE(translateModelCode(1262), ViUInt16(1260));
    }

    void mergeAndSort()
    {
        QList<resourceInfo> found = {
            resource("VXI1::2::INSTR"),
            resource("TCPIP0::10.0.0.10::INSTR", "10.0.0.10"),
            resource("TCPIP0::lab-box::INSTR", "10.0.0.10"), // alias of the same carrier
            resource("VXI0::7::INSTR"),
            resource("VXI0::3::INSTR"), // same board as VXI0::7: keeps search order
            resource("TCPIP0::10.0.0.9::INSTR", "10.0.0.9"),
            resource("ASRL1::INSTR"),
        };
        QList<resourceInfo> list = withoutDuplicateAddresses(found);
        QCOMPARE(list.size(), 6);
        sortResources(list);
        QCOMPARE(descriptors(list),
                 QStringList({"ASRL1::INSTR", "TCPIP0::10.0.0.9::INSTR", "TCPIP0::10.0.0.10::INSTR",
                              "VXI0::7::INSTR", "VXI0::3::INSTR", "VXI1::2::INSTR"}));
    }

    void inconsistentCaseStillSorts()
    {
        // "tcpip0" groups with "TCPIP0" but string-sorts after "VXI0": the
        // order is cyclic, and the sort must stay in bounds and keep everything.
        QList<resourceInfo> list;
        for (int i = 0; i < 40; ++i) {
            list.append(resource(QStringLiteral("TCPIP0::10.0.0.%1::INSTR").arg(40 - i)));
            list.append(resource(QStringLiteral("VXI%1::%2::INSTR").arg(i % 3).arg(i)));
            list.append(resource(QStringLiteral("tcpip0::10.0.1.%1::INSTR").arg(i)));
        }
        sortResources(list);
        QCOMPARE(list.size(), 120);
        QSet<QString> unique;
        for (const resourceInfo &r : list)
            unique.insert(r.descriptor);
        QCOMPARE(unique.size(), 120);
    }
};

QTEST_APPLESS_MAIN(TestConnectDescriptor)
#include "test_connect_descriptor.moc"
