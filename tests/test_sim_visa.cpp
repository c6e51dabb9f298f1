// Simulated VISA and common library: resource search over several
// configurations, attributes, carrier information, error texts, injected
// failures and the re-reading of TRELLIN_SIM.
#include "test_locale_helpers.h"
#include "test_sim_helpers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cstring>

class TestSimVisa : public QObject
{
    Q_OBJECT

private slots:
    void defaultSystemIsListed();
    void emptySystemFindsNothing();
    void severalCarriersInConfigurationOrder();
    void searchExpressions();
    void vxiAttributes();
    void lxiAliasReachesTheSameCarrier();
    void resourceThatIsNoCarrier();
    void carrierInformationAndRevisionWord();
    void malformedConfigurationFallsBackToDefault();
    void configurationValidity_data();
    void configurationValidity();
    void configurationIgnoresTheLocale();
    void configurationFromFileIsReRead();
    void openSessionsKeepTheirCarrier();
    void injectedFailures();
    void resourceFailuresNameTheResource_data();
    void resourceFailuresNameTheResource();
    void errorTexts();
    void delay();
    void closingTheResourceManagerClosesItsSessions();
};

void TestSimVisa::defaultSystemIsListed()
{
    ViStatus status = VI_ERROR;
    QCOMPARE(findResources("?*INSTR", &status), QStringList({"VXI0::2::INSTR", "TCPIP0::127.0.0.2::INSTR"}));
    QCOMPARE(status, VI_SUCCESS);

    ViSession rm;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    ViFindList list;
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    QCOMPARE(viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_SUCCESS);
    QCOMPARE(count, 2u);
    QCOMPARE(viFindNext(list, desc), VI_SUCCESS);
    QCOMPARE(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
    QCOMPARE(viClose(list), VI_SUCCESS);
    QCOMPARE(viClose(rm), VI_SUCCESS);
}

void TestSimVisa::emptySystemFindsNothing()
{
    SimConfig config("# a system without instruments");
    ViStatus status = VI_SUCCESS;
    QVERIFY(findResources("?*INSTR", &status).isEmpty());
    QCOMPARE(status, VI_ERROR_RSRC_NFOUND);
}

void TestSimVisa::severalCarriersInConfigurationOrder()
{
    SimConfig config("carrier vxi slot=5 board=1; fc 1\n"
                     "resource GPIB0::7::INSTR\n"
                     "carrier lxi ip=10.1.2.3; fc 2\n"
                     "carrier vxi slot=3 la=24 model=0x1234; fc 1 model=0x6851");
    QCOMPARE(findResources(), QStringList({"VXI1::5::INSTR", "GPIB0::7::INSTR", "TCPIP0::10.1.2.3::INSTR",
                                           "VXI0::24::INSTR"}));
}

void TestSimVisa::searchExpressions()
{
    QCOMPARE(findResources("VXI?*"), QStringList({"VXI0::2::INSTR"}));
    QCOMPARE(findResources("tcpip?*instr"), QStringList({"TCPIP0::127.0.0.2::INSTR"}));
    ViStatus status = VI_SUCCESS;
    QVERIFY(findResources("VXI[0-9]*::INSTR", &status).isEmpty());
    QCOMPARE(status, VI_ERROR_INV_EXPR);
    QVERIFY(findResources("ASRL?*", &status).isEmpty());
    QCOMPARE(status, VI_ERROR_RSRC_NFOUND);
}

void TestSimVisa::vxiAttributes()
{
    SimConfig config("carrier vxi slot=5 board=1 la=12 model=1404; fc 1");
    ViSession rm, vi;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    QCOMPARE(viOpen(rm, "vxi1::12::instr", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
    ViUInt16 type = 0, board = 0, model = 0;
    ViInt16 slot = 0, la = 0;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type), VI_SUCCESS);
    QCOMPARE(type, ViUInt16(VI_INTF_VXI));
    QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_NUM, &board), VI_SUCCESS);
    QCOMPARE(board, ViUInt16(1));
    QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    QCOMPARE(slot, ViInt16(5));
    QCOMPARE(viGetAttribute(vi, VI_ATTR_VXI_LA, &la), VI_SUCCESS);
    QCOMPARE(la, ViInt16(12));
    QCOMPARE(viGetAttribute(vi, VI_ATTR_MODEL_CODE, &model), VI_SUCCESS);
    QCOMPARE(model, ViUInt16(1404));
    ViChar text[256];
    QCOMPARE(viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, text), VI_ERROR_NSUP_ATTR);
    ViAddr user = reinterpret_cast<ViAddr>(0x1);
    QCOMPARE(viGetAttribute(vi, VI_ATTR_USER_DATA, &user), VI_SUCCESS);
    QCOMPARE(user, ViAddr(nullptr));
    QCOMPARE(viOpen(rm, "VXI0::12::INSTR", VI_NO_LOCK, 0, &vi), VI_ERROR_RSRC_NFOUND);
    QCOMPARE(viOpen(rm, "not a descriptor", VI_NO_LOCK, 0, &vi), VI_ERROR_INV_RSRC_NAME);
    viClose(rm);
}

void TestSimVisa::lxiAliasReachesTheSameCarrier()
{
    SimConfig config("carrier lxi ip=127.0.0.2 alias=TCPIP0::127.0.0.2::inst0::INSTR; fc 1");
    QCOMPARE(findResources(), QStringList({"TCPIP0::127.0.0.2::INSTR", "TCPIP0::127.0.0.2::inst0::INSTR"}));
    ViSession rm;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    QStringList addresses;
    for (const char *descriptor : {"TCPIP0::127.0.0.2::INSTR", "TCPIP0::127.0.0.2::inst0::INSTR"}) {
        ViSession vi;
        QCOMPARE(viOpen(rm, descriptor, VI_NO_LOCK, 0, &vi), VI_SUCCESS);
        ViUInt16 type = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type), VI_SUCCESS);
        QCOMPARE(type, ViUInt16(VI_INTF_TCPIP));
        ViInt16 slot;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &slot), VI_ERROR_NSUP_ATTR);
        ViChar address[256], host[256], device[256];
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, address), VI_SUCCESS);
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TCPIP_HOSTNAME, host), VI_SUCCESS);
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TCPIP_DEVICE_NAME, device), VI_SUCCESS);
        QCOMPARE(QString(host), QString("lxi-127-0-0-2"));
        QCOMPARE(QString(device), QString("inst0"));
        addresses << address;
    }
    QCOMPARE(addresses, QStringList({"127.0.0.2", "127.0.0.2"}));
    // The host name reaches it as well, as a typed address would.
    ViSession byName;
    QCOMPARE(viOpen(rm, "TCPIP::lxi-127-0-0-2::INSTR", VI_NO_LOCK, 0, &byName), VI_SUCCESS);
    viClose(rm);
}

void TestSimVisa::resourceThatIsNoCarrier()
{
    SimConfig config("resource ASRL1::INSTR; resource TCPIP0::10.0.0.9::INSTR open=fail");
    QCOMPARE(findResources(), QStringList({"ASRL1::INSTR", "TCPIP0::10.0.0.9::INSTR"}));
    ViSession rm, vi;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    QCOMPARE(viOpen(rm, "ASRL1::INSTR", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
    ViUInt16 type = 0;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type), VI_SUCCESS);
    QCOMPARE(type, ViUInt16(VI_INTF_ASRL));
    nv9471_carrier *handle = reinterpret_cast<nv9471_carrier *>(0x1);
    QCOMPARE(nv9471_carrierOpen(vi, &handle), nv9471_ERROR_NOT_A_CARRIER);
    QVERIFY(handle == nullptr);
    QCOMPARE(viOpen(rm, "TCPIP0::10.0.0.9::INSTR", VI_NO_LOCK, 0, &vi), VI_ERROR_TMO);
    viClose(rm);
}

void TestSimVisa::carrierInformationAndRevisionWord()
{
    SimConfig config("carrier vxi slot=4 model=0x24FF positions=6\n"
                     "fc 1 rev=C7\nfc 2 model=0x6851 rev=\nfc 5 model=0x7001");
    ViSession rm, vi;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    QCOMPARE(viOpen(rm, "VXI0::4::INSTR", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
    nv9471_carrier *handle = nullptr;
    QCOMPARE(nv9471_carrierOpen(vi, &handle), VI_SUCCESS);
    const nv9471_carrierData *info = nv9471_carrierInfo(handle);
    QVERIFY(info);
    QCOMPARE(info->fcCount, ViUInt16(6));
    QCOMPARE(info->carrierModel, ViUInt16(0x24FF));
    const ViUInt16 expected[6] = {0x6842, 0x6851, 0, 0, 0x7001, 0};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(info->fcModel[i], expected[i]);

    auto readWord = reinterpret_cast<nv9471_readFcWordFn>(nv9471_accessRoutine(handle, nv9471_ACCESS_READ_FC_WORD));
    QVERIFY(readWord);
    QVERIFY(nv9471_accessRoutine(handle, 2) == nullptr);
    ViUInt16 word = 0;
    QCOMPARE(readWord(handle, 1, 252, &word), VI_SUCCESS);
    QCOMPARE(word, ViUInt16(('C' << 8) | '7'));
    QCOMPARE(readWord(handle, 2, 252, &word), VI_SUCCESS);
    QCOMPARE(word, ViUInt16(0));
    QCOMPARE(readWord(handle, 3, 252, &word), nv9471_ERROR_INV_FC);
    QCOMPARE(readWord(handle, 1, 253, &word), nv9471_ERROR_INV_OFFSET);

    QCOMPARE(nv9471_carrierClose(handle), VI_SUCCESS);
    QCOMPARE(nv9471_carrierClose(handle), nv9471_ERROR_INV_HANDLE);
    QVERIFY(nv9471_carrierInfo(handle) == nullptr);
    viClose(rm);

    ViChar revision[256] = {};
    QCOMPARE(nv9471_revision(revision), VI_SUCCESS);
    QVERIFY(std::strlen(revision) > 0);
}

void TestSimVisa::malformedConfigurationFallsBackToDefault()
{
    const char *bad = "carrier vxi slott=3; fc 1";
    char reason[256] = {};
    QCOMPARE(trellinSimConfigError(bad, reason, sizeof reason), 1);
    QVERIFY2(QString(reason).contains("slott"), reason);
    SimConfig config(bad);
    QCOMPARE(findResources(), QStringList({"VXI0::2::INSTR", "TCPIP0::127.0.0.2::INSTR"}));
}

void TestSimVisa::configurationValidity_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("malformed");
    QTest::newRow("valid") << QByteArray("carrier vxi slot=3 # comment; fc 1\n  fc 2 ; signal ch=1-3 amp=2") << false;
    QTest::newRow("fc beyond 8") << QByteArray("carrier vxi slot=3; fc 9") << true;
    QTest::newRow("fc without carrier") << QByteArray("fc 1") << true;
    QTest::newRow("unknown call") << QByteArray("fail call=viOpn status=-1") << true;
    // Values the signal generator and the addresses cannot take.
    QTest::newRow("lowest and highest rate")
        << QByteArray("carrier vxi slot=1; fc 1 rate=0.001:1e9; signal freq=-1e9") << false;
    QTest::newRow("rate too low") << QByteArray("carrier vxi slot=1; fc 1 rate=1e-300:1") << true;
    QTest::newRow("rate too high") << QByteArray("carrier vxi slot=1; fc 1 rate=1:2e9") << true;
    QTest::newRow("frequency too high") << QByteArray("carrier vxi slot=1; fc 1; signal freq=1e10") << true;
    QTest::newRow("every wave")
        << QByteArray("carrier vxi slot=1; fc 1; signal ch=1 wave=sine; signal ch=2 wave=triangle\n"
                      "signal ch=3 wave=square; signal ch=4 wave=ramp") << false;
    QTest::newRow("unknown wave") << QByteArray("carrier vxi slot=1; fc 1; signal wave=sawtooth") << true;
    QTest::newRow("address") << QByteArray("carrier lxi ip=10.0.255.1") << false;
    QTest::newRow("address overflowing int") << QByteArray("carrier lxi ip=4294967297.0.0.1") << true;
    QTest::newRow("address part too big") << QByteArray("carrier lxi ip=10.256.0.1") << true;
    QTest::newRow("address with sign") << QByteArray("carrier lxi ip=+10.0.0.1") << true;
    QTest::newRow("address too short") << QByteArray("carrier lxi ip=10.0.1") << true;
    QTest::newRow("hex number") << QByteArray("clock utc=0x10") << false;
    QTest::newRow("hex number with sign") << QByteArray("clock utc=0x-1") << true;
}

void TestSimVisa::configurationValidity()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, malformed);
    char reason[256] = {};
    QVERIFY2(trellinSimConfigError(text.constData(), reason, sizeof reason) == int(malformed), reason);
    QCOMPARE(reason[0] != '\0', malformed);
}

// A program that set a comma-decimal locale (as Qt does from the desktop's)
// still reads "amp=0.5" as written.
void TestSimVisa::configurationIgnoresTheLocale()
{
    QTemporaryDir dir;
    QString why;
    const QString locales = makeCommaLocale(dir.filePath("locales"), &why);
    if (locales.isEmpty() && why.startsWith(QLatin1String("localedef is missing")))
        QSKIP(qPrintable(why));
    QVERIFY2(!locales.isEmpty(), qPrintable(why));
    qputenv("LOCPATH", QFile::encodeName(locales));
    QVERIFY(std::setlocale(LC_ALL, commaLocaleName));
    char reason[256] = {};
    const int malformed = trellinSimConfigError("carrier vxi slot=1; fc 1; signal amp=0.5 offset=-0.25", reason, sizeof reason);
    std::setlocale(LC_ALL, "C");
    qunsetenv("LOCPATH");
    QVERIFY2(malformed == 0, reason);
}

void TestSimVisa::configurationFromFileIsReRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("system.sim");
    auto write = [&](const QByteArray &text) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    write("# first\ncarrier vxi slot=7\nfc 1\n");
    SimConfig config("@" + path.toLocal8Bit());
    QCOMPARE(findResources(), QStringList({"VXI0::7::INSTR"}));
    write("default\ncarrier vxi slot=9\n");
    QCOMPARE(findResources(), QStringList({"VXI0::2::INSTR", "TCPIP0::127.0.0.2::INSTR", "VXI0::9::INSTR"}));
}

void TestSimVisa::openSessionsKeepTheirCarrier()
{
    ViSession rm, vi;
    {
        SimConfig config("carrier vxi slot=6; fc 1");
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "VXI0::6::INSTR", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
    }
    QCOMPARE(findResources(), QStringList({"VXI0::2::INSTR", "TCPIP0::127.0.0.2::INSTR"}));
    ViInt16 slot = 0;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    QCOMPARE(slot, ViInt16(6));
    ViSession again;
    QCOMPARE(viOpen(rm, "VXI0::6::INSTR", VI_NO_LOCK, 0, &again), VI_ERROR_RSRC_NFOUND);
    viClose(rm);
}

void TestSimVisa::injectedFailures()
{
    {
        SimConfig config("default; fail call=viOpen status=0xBFFF0015");
        ViSession rm, vi;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "VXI0::2::INSTR", VI_NO_LOCK, 0, &vi), VI_ERROR_TMO);
        QVERIFY(VI_ERROR_TMO < 0);
        QCOMPARE(viOpen(rm, "VXI0::2::INSTR", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
        viClose(rm);
    }
    {
        SimConfig config("default; fail call=nv9471_carrierOpen status=-7 count=2\n"
                         "fail call=viOpenDefaultRM status=42 count=always");
        ViSession rm = VI_NULL, vi;
        QCOMPARE(viOpenDefaultRM(&rm), ViStatus(42));
        QCOMPARE(viOpenDefaultRM(&rm), ViStatus(42));
        qputenv("TRELLIN_SIM", "default; fail call=nv9471_carrierOpen status=-7 count=2");
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "VXI0::2::INSTR", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
        nv9471_carrier *handle = nullptr;
        QCOMPARE(nv9471_carrierOpen(vi, &handle), ViStatus(-7));
        QCOMPARE(nv9471_carrierOpen(vi, &handle), ViStatus(-7));
        QCOMPARE(nv9471_carrierOpen(vi, &handle), VI_SUCCESS);
        nv9471_carrierClose(handle);
        viClose(rm);
    }
    {
        // An injected status carries no reason left by an earlier real failure.
        ViSession vi;
        QCOMPARE(openCards("VXI0::9::INSTR", {1}, &vi), nv6842_ERROR_RSRC_NFOUND);
        QCOMPARE(driverText(nv6842_ERROR_RSRC_NFOUND),
                 QString(R"(The resource "VXI0::9::INSTR" is not present in the system.)"));
        SimConfig config("default; fail call=viOpen status=0xBFFC0804");
        ViSession rm;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "VXI0::2::INSTR", VI_NO_LOCK, 0, &vi), nv6842_ERROR_RSRC_NFOUND);
        QCOMPARE(driverText(nv6842_ERROR_RSRC_NFOUND), QString("The resource was not found."));
        viClose(rm);
    }
}

// A failure naming a resource says which one, in double quotes, in one sentence.
void TestSimVisa::resourceFailuresNameTheResource_data()
{
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("absent") << QByteArray("VXI0::9::INSTR") << int(VI_ERROR_RSRC_NFOUND)
                            << R"(The resource "VXI0::9::INSTR" is not present in the system.)";
    QTest::newRow("malformed") << QByteArray("not a descriptor") << int(VI_ERROR_INV_RSRC_NAME)
                               << R"(The resource "not a descriptor" is not a valid resource descriptor.)";
    QTest::newRow("silent") << QByteArray("GPIB0::5::INSTR") << int(VI_ERROR_TMO)
                            << R"(The resource "GPIB0::5::INSTR" did not answer in time (time-out).)";
    QTest::newRow("no carrier") << QByteArray("ASRL1::INSTR") << int(nv9471_ERROR_NOT_A_CARRIER)
                                << R"(The resource "ASRL1::INSTR" is not a Trellin carrier (no carrier information).)";
    QTest::newRow("search") << QByteArray("NOTHING*") << int(VI_ERROR_RSRC_NFOUND)
                            << R"(No resource matches the search expression "NOTHING*".)";
}

void TestSimVisa::resourceFailuresNameTheResource()
{
    QFETCH(QByteArray, descriptor);
    QFETCH(int, status);
    QFETCH(QString, text);
    SimConfig config("default; resource ASRL1::INSTR; resource GPIB0::5::INSTR open=fail");
    ViSession rm, vi = VI_NULL;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    if (descriptor.contains('*')) {
        ViStatus found = VI_SUCCESS;
        QVERIFY(findResources(descriptor.constData(), &found).isEmpty());
        QCOMPARE(found, ViStatus(status));
    } else if (status == nv9471_ERROR_NOT_A_CARRIER) {
        QCOMPARE(viOpen(rm, descriptor.constData(), VI_NO_LOCK, 0, &vi), VI_SUCCESS);
        nv9471_carrier *handle = nullptr;
        QCOMPARE(nv9471_carrierOpen(vi, &handle), ViStatus(status));
    } else {
        QCOMPARE(viOpen(rm, descriptor.constData(), VI_NO_LOCK, 0, &vi), ViStatus(status));
    }
    viClose(rm);
    ViChar shown[1024] = {};
    QCOMPARE(nv9471_errorText(status, shown), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(shown), text);
    if (status != nv9471_ERROR_NOT_A_CARRIER) {
        QCOMPARE(nv6842_error_message(VI_NULL, status, shown), VI_SUCCESS);
        QCOMPARE(QString::fromLatin1(shown), text);
    }
}

void TestSimVisa::errorTexts()
{
    ViChar text[1024];
    // Every status the libraries know reads as a sentence.
    const ViStatus known[] = {VI_SUCCESS, VI_ERROR_SYSTEM_ERROR, VI_ERROR_INV_OBJECT, VI_ERROR_RSRC_NFOUND,
                              VI_ERROR_INV_RSRC_NAME, VI_ERROR_TMO, VI_ERROR_NSUP_ATTR, VI_ERROR_INV_EXPR,
                              VI_ERROR_NSUP_OPER, VI_ERROR_ALLOC, VI_ERROR_INV_PARAMETER, VI_ERROR_RSRC_BUSY,
                              nv9471_ERROR_NOT_A_CARRIER, nv9471_ERROR_INV_HANDLE, nv9471_ERROR_INV_FC,
                              nv9471_ERROR_INV_OFFSET, nv9471_ERROR_INV_PARAMETER, nv6842_ERROR_INV_SESSION,
                              nv6842_ERROR_INV_PARAMETER, nv6842_ERROR_NOT_SUPPORTED_CARD, nv6842_ERROR_RSRC_NFOUND,
                              nv6842_ERROR_NO_FC, nv6842_ERROR_ACQ_RUNNING, nv6842_ERROR_ACQ_NOT_RUNNING,
                              nv6842_ERROR_NO_DATA, nv6842_ERROR_FIFO_OVERFLOW, nv6842_ERROR_INJECTED,
                              nv6842_ERROR_TOO_MANY_CARDS, nv6842_ERROR_BUSY, nv6842_ERROR_ABORTED,
                              nv6842_WARN_CALIBRATION, ViStatus(0xBFFA1234), ViStatus(0x3FFA1234)};
    for (ViStatus status : known) {
        nv9471_errorText(status, text);
        const QString sentence = QString::fromLatin1(text);
        QVERIFY2(sentence.size() > 1 && sentence.at(0).isUpper() && sentence.endsWith('.'), text);
    }
    QCOMPARE(nv9471_errorText(nv6842_ERROR_FIFO_OVERFLOW, text), VI_SUCCESS);
    QVERIFY(QString(text).contains("FIFO overflow"));
    QCOMPARE(nv9471_errorText(ViStatus(0xBFFA1234), text), VI_WARN_UNKNOWN_STATUS);
    QCOMPARE(QString(text), QString("The error status code 0xBFFA1234 (-1074130380) is unknown."));
    QCOMPARE(nv9471_errorText(ViStatus(0x3FFA1234), text), VI_WARN_UNKNOWN_STATUS);
    QCOMPARE(QString(text), QString("The warning status code 0x3FFA1234 (1073353268) is unknown."));

    // The driver leaves statuses it does not know to the common library.
    std::memset(text, 'x', sizeof text);
    QVERIFY(nv6842_error_message(VI_NULL, nv9471_ERROR_NOT_A_CARRIER, text) != VI_SUCCESS);
    QCOMPARE(text[0], '\0');
    QCOMPARE(nv6842_error_message(VI_NULL, nv6842_ERROR_NO_DATA, text), VI_SUCCESS);
    QVERIFY(QString(text).contains("No acquired data"));
    QCOMPARE(nv6842_error_message(VI_NULL, VI_ERROR_TMO, text), VI_SUCCESS);
    QVERIFY(QString(text).contains("time-out"));
}

void TestSimVisa::delay()
{
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(nv9471_delay(0), VI_SUCCESS);
    QCOMPARE(nv9471_delay(60), VI_SUCCESS);
    QVERIFY(timer.elapsed() >= 59);
}

void TestSimVisa::closingTheResourceManagerClosesItsSessions()
{
    ViSession rm, vi;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    QCOMPARE(viOpen(rm, "VXI0::2::INSTR", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
    QCOMPARE(viClose(rm), VI_SUCCESS);
    ViUInt16 type;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type), VI_ERROR_INV_OBJECT);
    QCOMPARE(viClose(vi), VI_ERROR_INV_OBJECT);
    ViFindList list;
    ViUInt32 count;
    ViChar desc[VI_FIND_BUFLEN];
    QCOMPARE(viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_ERROR_INV_OBJECT);
}

QTEST_GUILESS_MAIN(TestSimVisa)
#include "test_sim_visa.moc"
