// The resource search without widgets, against simulator configurations.
#include "connect_test_helpers.h"
#include "nv6842_fc.h"

#include <QThreadPool>
#include <QtTest>

class TestConnectSearch : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qputenv("TRELLIN_SIM", QByteArray()); }

    void defaultSystem()
    {
        const QList<resourceInfo> list = searchResources(&gl_fc);
        QCOMPARE(descriptors(list), QStringList({"TCPIP0::127.0.0.2::INSTR", "VXI0::2::INSTR"}));

        const resourceInfo &lxi = list.at(0);
        QCOMPARE(lxi.systemTexts, QStringList{"127.0.0.2 - 9480 LXI"});
        QCOMPARE(lxi.networkAddress, QStringLiteral("127.0.0.2"));
        QCOMPARE(lxi.fcNumbers, QList<int>({1}));
        QCOMPARE(lxi.fcRows.at(0).at(0), QStringLiteral("FC 1"));
        QVERIFY(lxi.fcRows.at(0).at(1).startsWith(QStringLiteral("6842-")));

        const resourceInfo &vxi = list.at(1);
        QCOMPARE(vxi.systemTexts, QStringList{"Slot 2 - 9471 MB"});
        QVERIFY(vxi.networkAddress.isEmpty());
        QCOMPARE(vxi.carrierCode, ViUInt16(9471));
        QCOMPARE(vxi.fcNumbers, QList<int>({1, 2, 0}));
        QCOMPARE(vxi.fcRows.size(), 3);
        QCOMPARE(vxi.fcRows.at(1).at(0), QStringLiteral("FC 2"));
        QVERIFY(vxi.fcRows.at(2).at(1).startsWith(QStringLiteral("6851-")));
    }

    void revisionAndModelTexts()
    {
        qputenv("TRELLIN_SIM",
                "carrier vxi slot=4 model=1262\n"
                "fc 1 rev=B3\nfc 2 rev=\nfc 3 model=0x6801\nfc 5 model=0x6851 rev=C");
        const QList<resourceInfo> list = searchResources(&gl_fc);
        QCOMPARE(list.size(), 1);
        const resourceInfo &r = list.at(0);
        QCOMPARE(r.systemTexts, QStringList{"Slot 4 - 1260 MB"}); // translated carrier code
        QCOMPARE(r.fcRows.size(), 5);
        QCOMPARE(r.fcRows.at(0), QStringList({"FC 1", "6842-B3"}));
        QCOMPARE(r.fcRows.at(1), QStringList({"FC 2", "6842-"}));
        QCOMPARE(r.fcRows.at(2), QStringList({"FC 3", "6800"}));
        QCOMPARE(r.fcRows.at(3), QStringList({"FC 4", "   0"})); // empty position
        QCOMPARE(r.fcRows.at(4), QStringList({"FC 5", "6851-C"}));
        QCOMPARE(r.fcNumbers, QList<int>({1, 2, 0, 0, 0}));
    }

    void nothingFound()
    {
        qputenv("TRELLIN_SIM", "# no instruments at all");
        QVERIFY(searchResources(&gl_fc).isEmpty());
        qputenv("TRELLIN_SIM", "fail call=viOpenDefaultRM status=0xBFFF0000 count=always\n"
                               "carrier vxi slot=2\nfc 1");
        QVERIFY(searchResources(&gl_fc).isEmpty());
        qputenv("TRELLIN_SIM", "fail call=viFindRsrc status=0xBFFF0011 count=always\n"
                               "carrier vxi slot=2\nfc 1");
        QVERIFY(searchResources(&gl_fc).isEmpty());
    }

    void resourcesThatAreNoCarriers()
    {
        qputenv("TRELLIN_SIM", "resource ASRL1::INSTR\n"
                               "resource TCPIP0::10.9.9.9::INSTR open=fail\n"
                               "carrier vxi slot=3\nfc 2");
        const QList<resourceInfo> list = searchResources(&gl_fc);
        QCOMPARE(descriptors(list),
                 QStringList({"ASRL1::INSTR", "TCPIP0::10.9.9.9::INSTR", "VXI0::3::INSTR"}));
        QVERIFY(list.at(0).fcRows.isEmpty());
        QVERIFY(list.at(0).systemTexts.isEmpty());
        QVERIFY(list.at(1).fcRows.isEmpty());
        QCOMPARE(list.at(2).fcNumbers, QList<int>({0, 2}));
    }

    void aliasOfOneCarrierIsMerged()
    {
        qputenv("TRELLIN_SIM", "carrier lxi ip=10.0.0.7 alias=TCPIP0::lab7::INSTR\nfc 1\n"
                               "carrier vxi slot=1\nfc 1\ncarrier vxi slot=1 board=1\nfc 1");
        const QList<resourceInfo> list = searchResources(&gl_fc);
        // One row for the two names of the LXI carrier; VXI resources are never merged.
        QCOMPARE(descriptors(list),
                 QStringList({"TCPIP0::10.0.0.7::INSTR", "VXI0::1::INSTR", "VXI1::1::INSTR"}));
    }

    void manyNetworkCarriersConcurrently()
    {
        QByteArray config;
        for (int i = 130; i >= 1; --i)
            config += "carrier lxi ip=10.0." + QByteArray::number(i / 100) + "." +
                      QByteArray::number(i % 100) + "\nfc 1\n";
        qputenv("TRELLIN_SIM", config);
        const QList<resourceInfo> list = searchResources(&gl_fc);
        QCOMPARE(list.size(), 130);
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), 128);
        for (int i = 1; i <= 130; ++i) {
            const QString address = QStringLiteral("10.0.%1.%2").arg(i / 100).arg(i % 100);
            // Numeric address order, and every record filled by its own probe.
            QCOMPARE(list.at(i - 1).networkAddress, address);
            QCOMPARE(list.at(i - 1).fcNumbers, QList<int>({1}));
        }
    }

    void failingOpenLeavesRecordEmpty()
    {
        qputenv("TRELLIN_SIM", "fail call=nv9471_carrierOpen status=0xBFFC0101 count=1\n"
                               "carrier vxi slot=2\nfc 1\ncarrier vxi slot=3\nfc 1");
        const QList<resourceInfo> list = searchResources(&gl_fc);
        QCOMPARE(list.size(), 2);
        // The first probe fails, the second one reads its carrier.
        QVERIFY(list.at(0).fcRows.isEmpty());
        QCOMPARE(list.at(1).fcNumbers, QList<int>({1}));
    }
};

QTEST_GUILESS_MAIN(TestConnectSearch)
#include "test_connect_search.moc"
