// Simulated 6842 sessions: opening cards (and why an open fails), session
// records, identity, settings calls, card clock and calibration.
#include "test_sim_helpers.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <cstring>

class TestSimSession : public QObject
{
    Q_OBJECT

private slots:
    void opensCardsOfSeveralCarriers();
    void openFailuresSayWhatIsWrong_data();
    void openFailuresSayWhatIsWrong();
    void injectedOpenFailure();
    void longErrorTextsStayInTheirBuffers();
    void cardSessionsAndAttributes();
    void lxiSessionAttributes();
    void voltageReferenceInterface();
    void carrierWithoutVoltageReference();
    void identity();
    void outputTriggersAndPolarity();
    void settingsAreValidated();
    void cardClock();
    void calibrationTakesTheConfiguredTime();
    void resetRestoresDefaults();
    void closedSessionIsInvalid();
};

void TestSimSession::opensCardsOfSeveralCarriers()
{
    ViSession vi = VI_NULL;
    QCOMPARE(openCards("VXI0::2::INSTR,VXI0::2::INSTR,TCPIP0::127.0.0.2::INSTR", {2, 1, 1}, &vi), VI_SUCCESS);
    QVERIFY(vi != VI_NULL);
    multEnv_t *env = nullptr;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_USER_DATA, &env), VI_SUCCESS);
    QVERIFY(env);
    QCOMPARE(env->cardCount, ViInt16(3));
    QCOMPARE(env->fcNumbers[0], ViInt16(2));
    QCOMPARE(env->fcNumbers[1], ViInt16(1));
    QCOMPARE(env->fcNumbers[2], ViInt16(1));
    QCOMPARE(env->interfaceType, ViInt16(VI_INTF_VXI));
    QCOMPARE(env->mode, 0); // two carriers
    ViInt16 slot = 0;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    QCOMPARE(slot, ViInt16(2));
    QCOMPARE(nv6842_multClose(vi), VI_SUCCESS);

    QCOMPARE(openCards("VXI0::2::INSTR,VXI0::2::INSTR", {1, 2}, &vi), VI_SUCCESS);
    QCOMPARE(viGetAttribute(vi, VI_ATTR_USER_DATA, &env), VI_SUCCESS);
    QCOMPARE(env->mode, 1); // one carrier
    QCOMPARE(nv6842_multClose(vi), VI_SUCCESS);
}

// Each reason is one sentence naming the descriptor in double quotes, and
// both error-text calls show it.
void TestSimSession::openFailuresSayWhatIsWrong_data()
{
    QTest::addColumn<QString>("descriptors");
    QTest::addColumn<int>("fc");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown descriptor") << "VXI0::9::INSTR" << 1 << int(nv6842_ERROR_RSRC_NFOUND)
                                        << R"(The resource "VXI0::9::INSTR" is not present in the system.)";
    QTest::newRow("malformed descriptor")
        << "not a descriptor" << 1 << int(nv6842_ERROR_RSRC_NFOUND)
        << R"(The resource "not a descriptor" is not a valid resource descriptor.)";
    QTest::newRow("other model") << "VXI0::2::INSTR" << 3 << int(nv6842_ERROR_NOT_SUPPORTED_CARD)
                                 << R"(FC 3 of "VXI0::2::INSTR" is a 6851 function card, not a 6842.)";
    QTest::newRow("beyond the carrier")
        << "VXI0::2::INSTR" << 9 << int(nv6842_ERROR_NO_FC)
        << R"(FC 9 does not exist on "VXI0::2::INSTR", which has 3 function-card position(s).)";
    QTest::newRow("empty position") << "VXI0::3::INSTR" << 2 << int(nv6842_ERROR_NO_FC)
                                    << R"(FC 2 of "VXI0::3::INSTR" is empty.)";
    QTest::newRow("no carrier") << "ASRL1::INSTR" << 1 << int(nv6842_ERROR_RSRC_NFOUND)
                                << R"(The resource "ASRL1::INSTR" is not a Trellin carrier.)";
    QTest::newRow("no answer") << "GPIB0::5::INSTR" << 1 << int(nv6842_ERROR_RSRC_NFOUND)
                               << R"(The resource "GPIB0::5::INSTR" does not answer.)";
    QTest::newRow("listed twice") << "VXI0::2::INSTR,vxi0::2::instr" << 1 << int(nv6842_ERROR_INV_PARAMETER)
                                  << R"(FC 1 of "vxi0::2::instr" is listed twice.)";
    QTest::newRow("empty entry") << "VXI0::2::INSTR," << 1 << int(nv6842_ERROR_INV_PARAMETER)
                                 << "Descriptor 2 of the list is empty.";
    QTest::newRow("empty list") << "" << 1 << int(nv6842_ERROR_INV_PARAMETER) << "The descriptor list is empty.";
    QTest::newRow("too many cards") << QVector<QString>(nv6842_MAX_CARDS + 1, "VXI0::2::INSTR").toList().join(',') << 1
                                    << int(nv6842_ERROR_TOO_MANY_CARDS)
                                    << "The list names 257 cards; at most 256 are supported.";
}

void TestSimSession::openFailuresSayWhatIsWrong()
{
    QFETCH(QString, descriptors);
    QFETCH(int, fc);
    QFETCH(int, status);
    QFETCH(QString, text);
    SimConfig config("default; carrier vxi slot=3; fc 1; fc 3; resource ASRL1::INSTR\n"
                     "resource GPIB0::5::INSTR open=fail");
    ViSession vi = 42;
    const QByteArray list = descriptors.toLatin1();
    QCOMPARE(openCards(list.constData(), std::vector<ViInt16>(nv6842_MAX_CARDS + 1, ViInt16(fc)), &vi),
             ViStatus(status));
    QCOMPARE(vi, ViSession(VI_NULL));
    QVERIFY(status < 0);
    QCOMPARE(driverText(status), text);
    ViChar common[1024] = {};
    QCOMPARE(nv9471_errorText(status, common), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(common), text);
}

void TestSimSession::injectedOpenFailure()
{
    SimConfig config("default; fail call=nv6842_multInit status=0xBFFC080A");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), nv6842_ERROR_INJECTED);
    QVERIFY(driverText(nv6842_ERROR_INJECTED).contains("TRELLIN_SIM"));
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    nv6842_multClose(vi);
}

// The driver's text fills at most 256 bytes and the common library's at most
// 1024, however long the reason (here a long descriptor) is.
void TestSimSession::longErrorTextsStayInTheirBuffers()
{
    const QByteArray descriptor = "VXI0::" + QByteArray(1200, '7') + "::INSTR";
    ViSession vi;
    QCOMPARE(openCards(descriptor.constData(), {1}, &vi), nv6842_ERROR_RSRC_NFOUND);

    std::vector<ViChar> text(1500, 'x');
    QCOMPARE(nv6842_error_message(VI_NULL, nv6842_ERROR_RSRC_NFOUND, text.data()), VI_SUCCESS);
    QCOMPARE(std::strlen(text.data()), std::size_t(255));
    QVERIFY(QByteArray(text.data()).startsWith("The resource \"VXI0::777"));
    QVERIFY(std::all_of(text.begin() + 256, text.end(), [](ViChar c) { return c == 'x'; }));

    std::fill(text.begin(), text.end(), 'x');
    QCOMPARE(nv9471_errorText(nv6842_ERROR_RSRC_NFOUND, text.data()), VI_SUCCESS);
    QCOMPARE(std::strlen(text.data()), std::size_t(1023));
    QVERIFY(std::all_of(text.begin() + 1024, text.end(), [](ViChar c) { return c == 'x'; }));
}

void TestSimSession::cardSessionsAndAttributes()
{
    SimConfig config("carrier vxi slot=5; fc 2 subtype=V1 rate=20000:50000 scu=0x1234");
    ViSession vi;
    QCOMPARE(openCards("VXI0::5::INSTR", {2}, &vi), VI_SUCCESS);
    ViSession fcVi = VI_NULL;
    QCOMPARE(nv6842_getMultFCsession(vi, 0, &fcVi), VI_SUCCESS);
    QCOMPARE(nv6842_getMultFCsession(vi, 1, &fcVi), nv6842_ERROR_INV_PARAMETER);
    fcVi = cardSessionOf(vi, 0);
    instEnv_t *inst = nullptr;
    QCOMPARE(viGetAttribute(fcVi, VI_ATTR_USER_DATA, &inst), VI_SUCCESS);
    QVERIFY(inst);
    QCOMPARE(inst->subtype, ViUInt16(('V' << 8) | '1'));
    QCOMPARE(inst->minRateHz, 20000.0);
    QCOMPARE(inst->maxRateHz, 50000.0);
    QCOMPARE(inst->fcNumber, ViInt16(2));
    QCOMPARE(inst->scuModel, ViUInt16(0x1234));
    ViInt16 slot = 0;
    QCOMPARE(viGetAttribute(fcVi, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    QCOMPARE(slot, ViInt16(5));
    // A rate outside the card's range is refused with the range in the text.
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 10000, 0, 100, 0xFFFE, 0xFFFE), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(driverText(nv6842_ERROR_INV_PARAMETER),
             QString(R"(The sampling rate 10000 Hz is outside the range 20000..50000 Hz )"
                     R"(of FC 2 of "VXI0::5::INSTR".)"));
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 20000, 0, 100, 0xFFFE, 0xFFFE), VI_SUCCESS);
    nv6842_multClose(vi);
}

void TestSimSession::lxiSessionAttributes()
{
    SimConfig config("carrier lxi ip=192.168.2.60 host=crate7 device=inst1; fc 1; fc 2");
    ViSession vi;
    QCOMPARE(openCards("TCPIP0::192.168.2.60::INSTR,TCPIP::crate7::inst1::INSTR", {1, 2}, &vi), VI_SUCCESS);
    multEnv_t *env = nullptr;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_USER_DATA, &env), VI_SUCCESS);
    QCOMPARE(env->interfaceType, ViInt16(VI_INTF_TCPIP));
    QCOMPARE(env->mode, 1);
    for (ViSession s : {vi, cardSessionOf(vi, 1)}) {
        ViInt16 slot;
        QCOMPARE(viGetAttribute(s, VI_ATTR_SLOT, &slot), VI_ERROR_NSUP_ATTR);
        ViChar device[256], host[256];
        QCOMPARE(viGetAttribute(s, VI_ATTR_TCPIP_DEVICE_NAME, device), VI_SUCCESS);
        QCOMPARE(viGetAttribute(s, VI_ATTR_TCPIP_HOSTNAME, host), VI_SUCCESS);
        QCOMPARE(QString(device), QString("inst1"));
        QCOMPARE(QString(host), QString("crate7"));
    }
    nv6842_multClose(vi);
}

void TestSimSession::voltageReferenceInterface()
{
    SimConfig config("carrier vxi slot=2; vref values=0,2.5,-2.5 output=2.5; fc 1; fc 2");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR,VXI0::2::INSTR", {1, 2}, &vi), VI_SUCCESS);
    instEnv_t *first = nullptr, *second = nullptr;
    QCOMPARE(viGetAttribute(cardSessionOf(vi, 0), VI_ATTR_USER_DATA, &first), VI_SUCCESS);
    QCOMPARE(viGetAttribute(cardSessionOf(vi, 1), VI_ATTR_USER_DATA, &second), VI_SUCCESS);
    const nv6842_vrefIf *vref = first->head.ifVref;
    QVERIFY(vref && vref->count && vref->values);
    QCOMPARE(*vref->count, ViInt16(3));
    QCOMPARE(vref->values[2], -2.5);
    ViReal64 volts = 0;
    QCOMPARE(vref->getVoltRefOutput(first->head.libEnv, &volts), VI_SUCCESS);
    QCOMPARE(volts, 2.5);
    QCOMPARE(vref->setVoltRefOutput(first->head.libEnv, -2.5), VI_SUCCESS);
    // Both cards sit on the one motherboard with its one reference.
    QCOMPARE(second->head.ifVref->getVoltRefOutput(second->head.libEnv, &volts), VI_SUCCESS);
    QCOMPARE(volts, -2.5);
    QCOMPARE(vref->setVoltRefOutput(first->head.libEnv, 1.0), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(driverText(nv6842_ERROR_INV_PARAMETER),
             QString("1 V is not a value of the carrier's voltage-reference table."));
    // A later failure with the same status says its own reason, not the last one.
    QCOMPARE(vref->getVoltRefOutput(first->head.libEnv, nullptr), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(driverText(nv6842_ERROR_INV_PARAMETER), QString("The library environment or the result pointer is null."));
    QCOMPARE(vref->getVoltRefOutput(first->head.libEnv, &volts), VI_SUCCESS);
    QCOMPARE(volts, -2.5);
    nv6842_multClose(vi);
}

void TestSimSession::carrierWithoutVoltageReference()
{
    SimConfig config("carrier vxi slot=2; vref none; fc 1");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    instEnv_t *inst = nullptr;
    QCOMPARE(viGetAttribute(cardSessionOf(vi, 0), VI_ATTR_USER_DATA, &inst), VI_SUCCESS);
    QVERIFY(inst->head.ifVref == nullptr);
    nv6842_multClose(vi);
}

void TestSimSession::identity()
{
    SimConfig config("carrier vxi slot=2; fc 1 subtype=B7 serial=0x00ABCDEF firmware=2.0.4.1");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    ViChar subtype[3] = {'x', 'x', 'x'};
    QCOMPARE(nv6842_getSubType(fcVi, subtype), VI_SUCCESS);
    QCOMPARE(QString(subtype), QString("B7"));
    ViUInt32 serial = 0;
    QCOMPARE(nv6842_getSerNum(fcVi, &serial), VI_SUCCESS);
    QCOMPARE(serial, ViUInt32(0x00ABCDEF));
    ViChar driver[64] = {}, firmware[256] = {};
    QCOMPARE(nv6842_revision_query(fcVi, driver, firmware), VI_SUCCESS);
    QCOMPARE(QString(firmware), QString("2.0.4.1"));
    ViChar driverOnly[64] = {};
    QCOMPARE(nv6842_revision_query(VI_NULL, driverOnly, nullptr), VI_SUCCESS);
    QVERIFY(std::strlen(driverOnly) > 0);
    QCOMPARE(QString(driverOnly), QString(driver));
    QCOMPARE(nv6842_getSubType(12345, subtype), nv6842_ERROR_INV_SESSION);
    nv6842_multClose(vi);
}

void TestSimSession::outputTriggersAndPolarity()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    ViInt16 s[7] = {9, 9, 9, 9, 9, 9, 9};
    QCOMPARE(nv6842_getOTRIConfig(fcVi, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6]), VI_SUCCESS);
    for (ViInt16 v : s)
        QCOMPARE(v, ViInt16(0));
    QCOMPARE(nv6842_setOTRIConfig(fcVi, 1, 2, 6, 5, 3, 4, 7), VI_SUCCESS);
    QCOMPARE(nv6842_getOTRIConfig(fcVi, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6]), VI_SUCCESS);
    QCOMPARE(QList<ViInt16>({s[0], s[1], s[2], s[3], s[4], s[5], s[6]}), QList<ViInt16>({1, 2, 6, 5, 3, 4, 7}));
    QCOMPARE(nv6842_setOTRIConfig(fcVi, 1, 2, 16, 5, 3, 4, 7), nv6842_ERROR_INV_PARAMETER);

    ViInt16 pol3 = -1;
    QCOMPARE(nv6842_getFPTrigPolarity(fcVi, nullptr, nullptr, &pol3), VI_SUCCESS);
    QCOMPARE(pol3, ViInt16(nv6842_HIGH));
    QCOMPARE(nv6842_setFPTrigPolarity(fcVi, nv6842_LOW, nv6842_HIGH, nv6842_LOW), VI_SUCCESS);
    ViInt16 pol1 = -1, pol2 = -1;
    QCOMPARE(nv6842_getFPTrigPolarity(fcVi, &pol1, &pol2, &pol3), VI_SUCCESS);
    QCOMPARE(QList<ViInt16>({pol1, pol2, pol3}), QList<ViInt16>({nv6842_LOW, nv6842_HIGH, nv6842_LOW}));
    QCOMPARE(nv6842_setFPTrigPolarity(fcVi, nv6842_PULSE, nv6842_HIGH, nv6842_LOW), nv6842_ERROR_INV_PARAMETER);
    nv6842_multClose(vi);
}

void TestSimSession::settingsAreValidated()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR,VXI0::2::INSTR", {1, 2}, &vi), VI_SUCCESS);
    trellinSimJournalClear();
    QCOMPARE(nv6842_setMultChanConfig(vi, 32, 1, 2000, VI_TRUE), VI_SUCCESS);
    QCOMPARE(nv6842_setMultChanConfig(vi, 33, 1, 1, VI_FALSE), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(nv6842_setMultChanConfig(vi, 1, 3, 1, VI_FALSE), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(nv6842_setMultChanConfig(vi, 1, 1, 3, VI_FALSE), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(driverText(nv6842_ERROR_INV_PARAMETER), QString("Gain 3 is not supported."));
    QCOMPARE(nv6842_setMultATRIConfig(vi, 16, 2, 1, 1, 0.5, -0.5), VI_SUCCESS);
    QCOMPARE(nv6842_setMultATRIConfig(vi, 17, 1, 0, 0, 0, 0), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(nv6842_setMultTrigConfig(vi, 0x1F, 1), VI_SUCCESS);
    QCOMPARE(nv6842_setMultTrigConfig(vi, 0x20, 0), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 100.1, 1, 2048, 0xFFFF, 0xFFFF), VI_SUCCESS);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 60000, 1, 2048, 0xFFFF, 0xFFFF), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(nv6842_generateITRI(vi, 5), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(nv6842_generateITRI(vi, nv6842_PULSE), VI_SUCCESS);
    // The journal holds every call as received, refused ones included.
    const QString v = QString::number(vi);
    const QStringList expected = {
        "nv6842_setMultChanConfig(" + v + ", 32, 1, 2000, 1)",
        "nv6842_setMultChanConfig(" + v + ", 33, 1, 1, 0)",
        "nv6842_setMultChanConfig(" + v + ", 1, 3, 1, 0)",
        "nv6842_setMultChanConfig(" + v + ", 1, 1, 3, 0)",
        "nv6842_setMultATRIConfig(" + v + ", 16, 2, 1, 1, 0.5, -0.5)",
        "nv6842_setMultATRIConfig(" + v + ", 17, 1, 0, 0, 0, 0)",
        "nv6842_setMultTrigConfig(" + v + ", 31, 1)",
        "nv6842_setMultTrigConfig(" + v + ", 32, 0)",
        "nv6842_multConfig(" + v + ", " + QString::number(nv6842_MB_SYNC_MODE) +
            ", 100.09999999999999, 1, 2048, 65535, 65535)",
        "nv6842_multConfig(" + v + ", " + QString::number(nv6842_MB_SYNC_MODE) +
            ", 60000, 1, 2048, 65535, 65535)",
        "nv6842_generateITRI(" + v + ", 5)",
        "nv6842_generateITRI(" + v + ", " + QString::number(nv6842_PULSE) + ")"};
    char journal[4096] = {};
    const int length = trellinSimJournal(journal, sizeof journal);
    QCOMPARE(QString::fromLatin1(journal).split('\n', Qt::SkipEmptyParts), expected);
    QCOMPARE(length, int(std::strlen(journal)));
    nv6842_multClose(vi);
}

void TestSimSession::cardClock()
{
    for (int offset : {37, -5}) {
        SimConfig config(offset == 37 ? QByteArray() : "default; clock utc=-5");
        ViSession vi;
        QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
        ViInt64 seconds = 0;
        ViInt32 utcOffset = 0;
        QCOMPARE(nv6842_getCurrentTimeEx(cardSessionOf(vi, 0), &seconds, VI_NULL, &utcOffset, nullptr), VI_SUCCESS);
        QCOMPARE(utcOffset, offset);
        const qint64 utc = QDateTime::currentSecsSinceEpoch();
        QVERIFY2(qAbs(seconds - utc - offset) <= 2, qPrintable(QString::number(seconds - utc)));
        nv6842_multClose(vi);
    }
}

void TestSimSession::calibrationTakesTheConfiguredTime()
{
    SimConfig config("default; calibration ms=300");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    ViReal64 offsets[16], gains[16];
    std::fill(std::begin(offsets), std::end(offsets), -1.0);
    std::fill(std::begin(gains), std::end(gains), -1.0);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(nv6842_calibrateChannels(fcVi, 0x0008, 100, offsets, gains, VI_NULL), VI_SUCCESS);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= 299 && elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(offsets[3], 0.0);
    QCOMPARE(gains[3], 1.0);
    QCOMPARE(gains[2], -1.0);
    QCOMPARE(nv6842_calibrateChannels(fcVi, 0, 100, VI_NULL, VI_NULL, VI_NULL), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(nv6842_storeCalibData(fcVi, 10), nv6842_WARN_CALIBRATION);
    QCOMPARE(nv6842_storeCalibData(fcVi, 100), VI_SUCCESS);
    QCOMPARE(nv6842_storeCalibData(fcVi, 100), nv6842_WARN_CALIBRATION);
    QCOMPARE(nv6842_storeCalibData(fcVi, 7), nv6842_ERROR_INV_PARAMETER);
    nv6842_multClose(vi);
}

void TestSimSession::resetRestoresDefaults()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    // Default: channel 1 of the first card only; disabling it leaves nothing to acquire.
    QCOMPARE(nv6842_setMultChanConfig(vi, 1, 0, 1, VI_FALSE), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), nv6842_ERROR_INV_PARAMETER);
    QCOMPARE(driverText(nv6842_ERROR_INV_PARAMETER),
             QString("No channel is enabled (configure one with a non-zero source)."));
    QCOMPARE(nv6842_multReset(vi, 1), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QCOMPARE(nv6842_multReset(vi, 1), VI_SUCCESS);
    ViInt16 stage = -1;
    QCOMPARE(nv6842_checkMultAcquisition(vi, &stage, nullptr, nullptr), VI_SUCCESS);
    QCOMPARE(stage, ViInt16(nv6842_STAGE_IDLE));
    nv6842_multClose(vi);
}

void TestSimSession::closedSessionIsInvalid()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    QCOMPARE(nv6842_multClose(vi), VI_SUCCESS);
    QCOMPARE(nv6842_multClose(vi), nv6842_ERROR_INV_SESSION);
    QCOMPARE(nv6842_checkMultAcquisition(vi, nullptr, nullptr, nullptr), nv6842_ERROR_INV_SESSION);
    ViUInt32 serial;
    QCOMPARE(nv6842_getSerNum(fcVi, &serial), nv6842_ERROR_INV_SESSION);
    multEnv_t *env;
    QCOMPARE(viGetAttribute(vi, VI_ATTR_USER_DATA, &env), VI_ERROR_INV_OBJECT);
}

QTEST_GUILESS_MAIN(TestSimSession)
#include "test_sim_session.moc"
