// Descriptor parts, sort order, display texts, the merge and sort of search
// results, and the INI file of remembered descriptors.
#include "connect_test_helpers.h"
#include "nv9471fp_descriptor.h"
#include "nv9471fp_rememberedDescriptors.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
resourceInfo resource(const QString &descriptor, const QString &address = QString())
{
    resourceInfo r;
    r.descriptor = descriptor;
    r.networkAddress = address;
    return r;
}

const QString defaultDescriptor = QStringLiteral("TCPIP::192.168.2.100::INSTR");

// Each row's history as "r:first|second", rows without history left out.
QStringList histories(const nv9471fp_rememberedDescriptors &remembered)
{
    QStringList result;
    for (int r = 0; r < remembered.rows.size(); ++r) {
        if (!remembered.rows.at(r).history.isEmpty())
            result.append(QStringLiteral("%1:").arg(r + 1) +
                          remembered.rows.at(r).history.join(QLatin1Char('|')));
    }
    return result;
}

QList<int> fcNumbers(const nv9471fp_rememberedDescriptors &remembered)
{
    QList<int> result;
    for (const nv9471fp_rememberedRow &row : remembered.rows)
        result.append(row.fcNumber);
    return result;
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

    // Hand-written INI files; "-" stands for no file at all.
    void rememberedRead_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("expectedHistories");
        QTest::addColumn<QList<int>>("expectedNumbers");
        QTest::addColumn<int>("expectedCount");
        const QList<int> none = {0, 0, 0, 0, 0, 0, 0, 0};
        const QString defaultRow = QStringLiteral("1:") + defaultDescriptor;
        QTest::newRow("no file") << QByteArray("-") << QStringList{defaultRow} << none << 1;
        QTest::newRow("empty file") << QByteArray() << QStringList{defaultRow} << none << 1;
        QTest::newRow("other model only")
            << QByteArray("[6851]\n1.1.Descriptor=VXI0::7::INSTR\n1.FC_Number=2\nFC_Count=3\n")
            << QStringList{defaultRow} << none << 1;
        QTest::newRow("all in range")
            << QByteArray("[6842]\n1.1.Descriptor=VXI0::1::INSTR\n1.2.Descriptor=VXI0::2::INSTR\n"
                          "8.5.Descriptor=VXI1::8::INSTR\n1.FC_Number=1\n8.FC_Number=8\n"
                          "FC_Count=8\n")
            << QStringList({"1:VXI0::1::INSTR|VXI0::2::INSTR", "8:VXI1::8::INSTR"})
            << QList<int>({1, 0, 0, 0, 0, 0, 0, 8}) << 8;
        QTest::newRow("missing keys and gaps")
            << QByteArray("[6842]\n1.2.Descriptor=VXI0::2::INSTR\n3.4.Descriptor=VXI0::3::INSTR\n")
            << QStringList({defaultRow + "|VXI0::2::INSTR", "3:VXI0::3::INSTR"}) << none << 1;
        QTest::newRow("blanks around descriptors")
            << QByteArray("[6842]\n1.1.Descriptor=\" VXI0::2::INSTR \"\n1.2.Descriptor=VXI0::2::INSTR\n"
                          "1.3.Descriptor=\"\\tVXI0::3::INSTR\"\n2.1.Descriptor=\"   \"\n"
                          "2.2.Descriptor=\"VXI0::4::INSTR \"\n")
            << QStringList({"1:VXI0::2::INSTR|VXI0::3::INSTR", "2:VXI0::4::INSTR"}) << none << 1;
        QTest::newRow("blank newest of row 1")
            << QByteArray("[6842]\n1.1.Descriptor=\"  \"\n1.2.Descriptor=VXI0::5::INSTR\n")
            << QStringList{defaultRow + "|VXI0::5::INSTR"} << none << 1;
        QTest::newRow("duplicates")
            << QByteArray("[6842]\n2.1.Descriptor=VXI0::1::INSTR\n2.2.Descriptor=VXI0::1::INSTR\n"
                          "2.3.Descriptor=VXI0::5::INSTR\n2.4.Descriptor=VXI0::1::INSTR\n"
                          "1.2.Descriptor=TCPIP::192.168.2.100::INSTR\n")
            << QStringList({defaultRow, "2:VXI0::1::INSTR|VXI0::5::INSTR"}) << none << 1;
        QTest::newRow("history beyond five ignored")
            << QByteArray("[6842]\n4.6.Descriptor=VXI0::6::INSTR\n4.0.Descriptor=VXI0::0::INSTR\n")
            << QStringList{defaultRow} << none << 1;
        QTest::newRow("bad numbers")
            << QByteArray("[6842]\n1.FC_Number=abc\n2.FC_Number=-3\n3.FC_Number=9\n"
                          "4.FC_Number=8\n5.FC_Number=3.5\n6.FC_Number=1,2\n7.FC_Number=\n"
                          "8.FC_Number=4294967299\nFC_Count=0\n")
            << QStringList{defaultRow} << QList<int>({0, 0, 0, 8, 0, 0, 0, 0}) << 1;
        // 4294967299 wraps to 3 in 32 bits.
        QTest::newRow("huge count") << QByteArray("[6842]\nFC_Count=4294967299\n")
                                    << QStringList{defaultRow} << none << 1;
        QTest::newRow("count beyond the rows") << QByteArray("[6842]\nFC_Count=9\n")
                                               << QStringList{defaultRow} << none << 1;
        // Deserialised by Qt, these make it throw std::bad_alloc.
        QTest::newRow("serialised value")
            << QByteArray("[6842]\n1.1.Descriptor=VXI0::1::INSTR\n1.FC_Number=2\n"
                          "k=@Variant(\\0\\0\\0\\x31)_N)\n")
            << QStringList{defaultRow} << none << 1;
        QTest::newRow("serialised value, escaped at-sign")
            << QByteArray("[6842]\n1.1.Descriptor=VXI0::1::INSTR\n"
                          "k = \"\"\\x40Variant(\\0\\0\\0\\x31)_N)\n")
            << QStringList{defaultRow} << none << 1;
        QTest::newRow("serialised value, octal at-sign in a list")
            << QByteArray("[6842]\n1.1.Descriptor=VXI0::1::INSTR\n"
                          "k=x, \\100Variant(\\0\\0\\0\\x31)_N)\n")
            << QStringList{defaultRow} << none << 1;
        QTest::newRow("at-signs in texts")
            << QByteArray("[6842]\n1.1.Descriptor=@@Variant(x)\n1.2.Descriptor=a@Variant(b)\n")
            << QStringList{"1:@Variant(x)|a@Variant(b)"} << none << 1;
        QTest::newRow("not an INI file")
            << QByteArray("\x00\xff[[[=\n=\n[6842\nFC_Count=2\n", 23)
            << QStringList{defaultRow} << none << 1;
    }

    void rememberedRead()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, expectedHistories);
        QFETCH(QList<int>, expectedNumbers);
        QFETCH(int, expectedCount);
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("DefaultInstrDescr.ini"));
        if (ini != "-") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(ini), qint64(ini.size()));
        }
        const nv9471fp_rememberedDescriptors remembered =
            nv9471fp_readRememberedDescriptors(path, QStringLiteral("6842"), 8);
        QCOMPARE(remembered.rows.size(), 8);
        QCOMPARE(histories(remembered), expectedHistories);
        QCOMPARE(fcNumbers(remembered), expectedNumbers);
        QCOMPARE(remembered.count, expectedCount);

        const nv9471fp_rememberedDescriptors firstRow =
            nv9471fp_readRememberedDescriptors(path, QStringLiteral("6842"), 1);
        QCOMPARE(firstRow.rows.size(), 1);
        QCOMPARE(firstRow.rows.at(0).history, remembered.rows.at(0).history);
    }

    void rememberedWrite()
    {
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("Norvane/DefaultInstrDescr.ini"));
        nv9471fp_rememberedDescriptors remembered;
        remembered.rows.resize(2);
        remembered.rows[0].history = QStringList({QString(), "VXI0::1::INSTR"});
        remembered.rows[1].history = QStringList({"TCPIP0::10.0.0.1::INSTR", "VXI0::2::INSTR"});
        remembered.rows[1].fcNumber = 7;
        remembered.count = 2;
        nv9471fp_writeRememberedDescriptors(path, QStringLiteral("6842"), remembered);

        QSettings ini(path, QSettings::IniFormat);
        QCOMPARE(ini.value("6842/1.1.Descriptor").toString(), QString());
        QCOMPARE(ini.value("6842/1.2.Descriptor").toString(), QStringLiteral("VXI0::1::INSTR"));
        QCOMPARE(ini.value("6842/2.1.Descriptor").toString(),
                 QStringLiteral("TCPIP0::10.0.0.1::INSTR"));
        QVERIFY(ini.contains("6842/2.5.Descriptor"));
        QCOMPARE(ini.value("6842/2.5.Descriptor").toString(), QString());
        QCOMPARE(ini.value("6842/2.FC_Number").toInt(), 7);
        QCOMPARE(ini.value("6842/FC_Count").toInt(), 2);
        QVERIFY(!ini.contains("6842/3.FC_Number"));

        const nv9471fp_rememberedDescriptors back =
            nv9471fp_readRememberedDescriptors(path, QStringLiteral("6842"), 3);
        QCOMPARE(histories(back), QStringList({defaultRow() + "|VXI0::1::INSTR",
                                               "2:TCPIP0::10.0.0.1::INSTR|VXI0::2::INSTR"}));
        QCOMPARE(fcNumbers(back), QList<int>({0, 7, 0}));
        QCOMPARE(back.count, 2);
    }

    // Each "true" row is a text that Qt's INI reader turns into a value
    // starting with "@Variant(", each "false" row one it does not.
    void serialisedValueScan_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("flagged");
        QTest::newRow("plain file") << QByteArray("[6842]\n1.1.Descriptor=VXI0::1::INSTR\nFC_Count=2\n")
                                    << false;
        QTest::newRow("escaped at-sign of a text") << QByteArray("k=@@Variant(x)") << false;
        QTest::newRow("at-sign inside a text") << QByteArray("k=a@Variant(x)") << false;
        QTest::newRow("escaped quote first") << QByteArray("k=\\\"@Variant(x)") << false;
        QTest::newRow("two escaped at-signs") << QByteArray("k=\\x40\\x40Variant(x)") << false;
        QTest::newRow("plain") << QByteArray("k=@Variant(x)") << true;
        QTest::newRow("after blanks and quotes") << QByteArray("k = \"\"@Variant(x)") << true;
        QTest::newRow("list element") << QByteArray("k=a, @Variant(x)") << true;
        QTest::newRow("hex escape") << QByteArray("k=\\x40Variant(x)") << true;
        QTest::newRow("hex escape, low 16 bits") << QByteArray("k=\\x10040Variant(x)") << true;
        QTest::newRow("octal escape") << QByteArray("k=\\0100Variant(x)") << true;
        QTest::newRow("dropped escape") << QByteArray("k=@\\qVariant(x)") << true;
        QTest::newRow("line continuation") << QByteArray("k=\\\n@Variant(x)") << true;
        QTest::newRow("other section, end of file") << QByteArray("[6851]\nk=@Variant(") << true;
    }

    void serialisedValueScan()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, flagged);
        QCOMPARE(nv9471fp_iniMayHoldSerialisedValue(ini), flagged);
    }

    // QSettings parses every section before it writes and gives up silently
    // on a value it cannot deserialise; such a file is replaced, not merged.
    void rememberedWriteOverSerialisedValue()
    {
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("DefaultInstrDescr.ini"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[6842]\n1.1.Descriptor=VXI0::1::INSTR\n[6851]\n"
                       "k=@Variant(\\0\\0\\0\\x31)_N)\n");
        }
        nv9471fp_rememberedDescriptors remembered;
        remembered.rows.resize(1);
        remembered.rows[0].history = QStringList{"@Variant(1)"};
        remembered.rows[0].fcNumber = 4;
        nv9471fp_writeRememberedDescriptors(path, QStringLiteral("6842"), remembered);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("6851"));
        const nv9471fp_rememberedDescriptors back =
            nv9471fp_readRememberedDescriptors(path, QStringLiteral("6842"), 1);
        QCOMPARE(histories(back), QStringList{"1:@Variant(1)"});
        QCOMPARE(fcNumbers(back), QList<int>{4});
    }

    void rememberedHistory_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("new one first") << "VXI0::3::INSTR" << QStringList({"VXI0::1::INSTR"})
                                       << QStringList({"VXI0::3::INSTR", "VXI0::1::INSTR"});
        QTest::newRow("known one moves to the front")
            << "VXI0::2::INSTR" << QStringList({"VXI0::1::INSTR", "VXI0::2::INSTR"})
            << QStringList({"VXI0::2::INSTR", "VXI0::1::INSTR"});
        QTest::newRow("blanks do not make a new one")
            << " VXI0::2::INSTR\t" << QStringList({"VXI0::2::INSTR", "VXI0::1::INSTR "})
            << QStringList({"VXI0::2::INSTR", "VXI0::1::INSTR"});
        QTest::newRow("empty current kept, empty earlier dropped")
            << "  " << QStringList({"", " ", "VXI0::1::INSTR"})
            << QStringList({"", "VXI0::1::INSTR"});
        QTest::newRow("at most five") << "A"
                                      << QStringList({"B", "C", "D", "E", "F", "G"})
                                      << QStringList({"A", "B", "C", "D", "E"});
    }

    void rememberedHistory()
    {
        QFETCH(QString, current);
        QFETCH(QStringList, earlier);
        QFETCH(QStringList, expected);
        QCOMPARE(nv9471fp_rememberedHistory(current, earlier), expected);
    }

private:
    static QString defaultRow() { return QStringLiteral("1:") + defaultDescriptor; }
};

QTEST_APPLESS_MAIN(TestConnectDescriptor)
#include "test_connect_descriptor.moc"
