// Simulated block acquisition: stages, real-time pacing, software and
// external trigger, data equal to the simulator's formula, time stamps,
// over-range bits and timed starts.
#include "test_sim_helpers.h"

#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

struct Check {
    ViInt16 stage = -1;
    ViUInt16 errors = 0;
    ViInt32 backlog = -1;
};

Check check(ViSession vi)
{
    Check c;
    nv6842_checkMultAcquisition(vi, &c.stage, &c.errors, &c.backlog);
    return c;
}

// Polls until the block is complete, sending the software trigger whenever
// the card is ready, as the program does; last receives the final check.
bool triggerUntilEnd(ViSession vi, Check *last = nullptr)
{
    return pollUntil(
        [&] {
            const Check c = check(vi);
            if (last)
                *last = c;
            if (c.stage == nv6842_STAGE_READY)
                nv6842_generateITRI(vi, nv6842_PULSE);
            return c.stage == nv6842_STAGE_END;
        },
        5000);
}

struct EnabledChannel {
    const char *descriptor;
    int fc;
    int card;
    int channel; // 1..16
    int source;
    int gain;
};

// Compares a block channel after channel with the formula; reports the first difference.
QString compareWithFormula(const std::vector<EnabledChannel> &channels, double rate, double vref,
                           const std::vector<double> &data, int scans, int64_t firstScan = 0)
{
    std::vector<double> expected(static_cast<std::size_t>(scans));
    for (std::size_t o = 0; o < channels.size(); ++o) {
        const EnabledChannel &c = channels[o];
        if (trellinSimExpectedVolts(nullptr, c.descriptor, c.fc, c.channel, c.source, c.gain, vref, rate, firstScan,
                                    scans, expected.data()) < 0)
            return "no formula for channel " + QString::number(o);
        const double *got = data.data() + o * static_cast<std::size_t>(scans);
        if (std::memcmp(got, expected.data(), expected.size() * sizeof(double)) != 0) {
            for (int i = 0; i < scans; ++i)
                if (got[i] != expected[static_cast<std::size_t>(i)])
                    return QString("channel %1 scan %2: %3 != %4")
                        .arg(o)
                        .arg(i)
                        .arg(got[i], 0, 'g', 17)
                        .arg(expected[static_cast<std::size_t>(i)], 0, 'g', 17);
        }
    }
    return QString();
}

// The input of one channel as SIMULATOR.md documents it; harmonics[k] is h_k.
struct DocumentedSignal {
    double freq, amp, offset, phase;
    std::array<double, 10> harmonics;
    QByteArray wave = "sine";
    double noise = 0; // V RMS
};

// floor(frac(cycles) * 2^64), 0 where the product rounds up to 2^64.
uint64_t documentedPhase(double cycles)
{
    const long double scaled = std::ldexp(static_cast<long double>(cycles - std::floor(cycles)), 64);
    return scaled >= std::ldexp(1.0L, 64) ? 0 : static_cast<uint64_t>(scaled);
}

// The triangle, square and ramp of the top 32 bits u of the phase p.
double documentedWave(const QByteArray &wave, uint64_t p)
{
    const int64_t u = static_cast<int64_t>(p >> 32);
    if (wave == "triangle")
        return static_cast<double>((1LL << 30) - std::llabs((u + (1LL << 30)) % (1LL << 32) - (1LL << 31))) /
               static_cast<double>(1LL << 30);
    if (wave == "square")
        return u < (1LL << 31) ? 1.0 : -1.0;
    return static_cast<double>(u < (1LL << 31) ? u : u - (1LL << 32)) / static_cast<double>(1LL << 31);
}

// value(i) = gain * x(i), saturated at +-10 V, without the noise:
// x(i) = offset + amp sin(2 pi c) + sum h_k sin(2 pi k c), c = phase/360 + i f/fs;
// the other waves replace sin by their function w of the scan's integer phase.
double documentedVolts(const DocumentedSignal &s, int gain, double rate, int64_t i)
{
    if (s.wave != "sine") {
        const uint64_t p = documentedPhase(s.phase / 360.0) + static_cast<uint64_t>(i) * documentedPhase(s.freq / rate);
        double x = s.offset + s.amp * documentedWave(s.wave, p);
        for (uint64_t k = 2; k <= 9; ++k)
            if (s.harmonics[k] != 0)
                x += s.harmonics[k] * documentedWave(s.wave, k * p);
        return std::clamp(gain * x, -10.0, 10.0);
    }
    const double twoPi = 6.283185307179586;
    const double cycles = std::fmod(s.phase / 360.0 + static_cast<double>(i) * s.freq / rate, 1.0);
    double x = s.offset + s.amp * std::sin(twoPi * cycles);
    for (int k = 2; k <= 9; ++k)
        x += s.harmonics[static_cast<std::size_t>(k)] * std::sin(twoPi * std::fmod(k * cycles, 1.0));
    return std::clamp(gain * x, -10.0, 10.0);
}

} // namespace

Q_DECLARE_METATYPE(DocumentedSignal)

class TestSimBlock : public QObject
{
    Q_OBJECT

private slots:
    void stagesAndPacing();
    void externalTrigger();
    void noExternalTriggerWithoutPeriod();
    void dataEqualsFormulaOnSeveralCards();
    void dataFollowsTheDocumentedSignal_data();
    void dataFollowsTheDocumentedSignal();
    void partialReads();
    void overRangeIsSaturatedAndReported();
    void timedStartWaitsForTheCardTime();
    void stopCancelsTimedStart();
};

void TestSimBlock::stagesAndPacing()
{
    SimConfig config("default; arm ms=250");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 1000, 0, 500, 0xFFFE, 0xFFFE), VI_SUCCESS);
    QCOMPARE(check(vi).stage, ViInt16(nv6842_STAGE_IDLE));
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);

    QList<int> seen;
    auto track = [&] {
        const int s = check(vi).stage;
        if (seen.isEmpty() || seen.last() != s)
            seen << s;
        return s;
    };
    QVERIFY(pollUntil([&] { return track() == nv6842_STAGE_READY; }, 3000));
    QCOMPARE(seen, QList<int>({1, 2, 3, 4}));

    // Without a trigger source the block waits in Ready for the software trigger.
    const int64_t readySince = cardNowNs(fcVi);
    QVERIFY(pollUntil(
        [&] {
            const Check c = check(vi);
            if (c.stage != nv6842_STAGE_READY || c.backlog != 0)
                return true;
            return cardNowNs(fcVi) > readySince + 300000000LL;
        },
        3000));
    QCOMPARE(check(vi).stage, ViInt16(nv6842_STAGE_READY));

    const int64_t beforeTrigger = cardNowNs(fcVi);
    QCOMPARE(nv6842_generateITRI(vi, nv6842_PULSE), VI_SUCCESS);
    const int64_t afterTrigger = cardNowNs(fcVi);
    struct Sample {
        int64_t before, after;
        Check c;
    };
    std::vector<Sample> samples;
    QVERIFY(pollUntil(
        [&] {
            Sample s;
            s.before = cardNowNs(fcVi);
            s.c = check(vi);
            s.after = cardNowNs(fcVi);
            samples.push_back(s);
            return s.c.stage == nv6842_STAGE_END;
        },
        5000));
    const int64_t endNs = samples.back().after;
    QVERIFY2(endNs - beforeTrigger >= 499000000LL, qPrintable(QString::number(endNs - beforeTrigger)));
    QCOMPARE(samples.back().c.backlog, 500);

    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    std::vector<double> data(500);
    std::vector<ViInt32> sec(500), ns(500);
    ViInt32 got = 0;
    QCOMPARE(nv6842_readMultAcquisitionEx(vi, 500, &got, data.data(), sec.data(), ns.data()), VI_SUCCESS);
    QCOMPARE(got, 500);
    const int64_t trigger = sec[0] * 1000000000LL + ns[0];
    QVERIFY(trigger >= beforeTrigger && trigger <= afterTrigger);

    // Scans accumulate exactly at the rate: the backlog seen at each check
    // lies between the scans completed before and after that check.
    int previousStage = nv6842_STAGE_READY;
    for (const Sample &s : samples) {
        const int64_t low = std::clamp<int64_t>((s.before - trigger) / 1000000, 0, 500);
        const int64_t high = std::clamp<int64_t>((s.after - trigger) / 1000000, 0, 500);
        QVERIFY2(s.c.backlog >= low && s.c.backlog <= high,
                 qPrintable(QString("%1 not in %2..%3").arg(s.c.backlog).arg(low).arg(high)));
        QVERIFY(s.c.stage >= previousStage);
        QVERIFY(s.c.stage == nv6842_STAGE_PRE_TRIG || s.c.stage == nv6842_STAGE_POST_TRIG ||
                s.c.stage == nv6842_STAGE_END);
        QCOMPARE(s.c.stage == nv6842_STAGE_PRE_TRIG, s.c.backlog == 0);
        previousStage = s.c.stage;
    }
    nv6842_multClose(vi);
}

void TestSimBlock::externalTrigger()
{
    SimConfig config("default; trigger period=250; arm ms=5");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    QCOMPARE(nv6842_setMultTrigConfig(vi, 0x0001, 0), VI_SUCCESS);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 2000, 1, 200, 0xFFFE, 0xFFFE), VI_SUCCESS);
    for (int block = 0; block < 2; ++block) {
        QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
        QVERIFY(pollUntil([&] { return check(vi).stage == nv6842_STAGE_END; }, 4000));
        QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
        std::vector<double> data(200);
        std::vector<ViInt32> sec(200), ns(200);
        ViInt32 got = 0;
        QCOMPARE(nv6842_readMultAcquisitionEx(vi, 200, &got, data.data(), sec.data(), ns.data()), VI_SUCCESS);
        QCOMPARE(got, 200);
        // Edges of the external trigger come at whole multiples of the period.
        const int64_t trigger = sec[0] * 1000000000LL + ns[0];
        QCOMPARE(trigger % 250000000LL, 0LL);
    }
    nv6842_multClose(vi);
}

void TestSimBlock::noExternalTriggerWithoutPeriod()
{
    SimConfig config("default; trigger period=0; arm ms=5");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    QCOMPARE(nv6842_setMultTrigConfig(vi, 0x0002, 0), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return check(vi).stage == nv6842_STAGE_READY; }, 2000));
    const int64_t until = cardNowNs(fcVi) + 300000000LL;
    QVERIFY(pollUntil([&] { return check(vi).stage != nv6842_STAGE_READY || cardNowNs(fcVi) > until; }, 3000));
    QCOMPARE(check(vi).stage, ViInt16(nv6842_STAGE_READY));
    // The software trigger still works with trigger sources configured.
    QCOMPARE(nv6842_generateITRI(vi, nv6842_PULSE), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return check(vi).stage == nv6842_STAGE_END; }, 4000));
    nv6842_multClose(vi);
}

void TestSimBlock::dataEqualsFormulaOnSeveralCards()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR,VXI0::2::INSTR,TCPIP0::127.0.0.2::INSTR", {1, 2, 1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 1);
    instEnv_t *inst = nullptr;
    QCOMPARE(viGetAttribute(fcVi, VI_ATTR_USER_DATA, &inst), VI_SUCCESS);
    QCOMPARE(inst->head.ifVref->setVoltRefOutput(inst->head.libEnv, 4.5), VI_SUCCESS);

    const std::vector<EnabledChannel> channels = {
        {"VXI0::2::INSTR", 1, 0, 1, 1, 1},
        {"VXI0::2::INSTR", 1, 0, 7, 1, 2},
        {"VXI0::2::INSTR", 2, 1, 2, 2, 2},
        {"VXI0::2::INSTR", 2, 1, 16, 1, 1},
        // The sine of FC 1 channel 1 on another carrier: same phase and frequency, its own noise.
        {"TCPIP0::127.0.0.2::INSTR", 1, 2, 1, 1, 2},
        {"TCPIP0::127.0.0.2::INSTR", 1, 2, 3, 1, 5},
    };
    for (const EnabledChannel &c : channels)
        QCOMPARE(nv6842_setMultChanConfig(vi, channelOf(c.card, c.channel), ViInt16(c.source), ViInt16(c.gain),
                                          VI_FALSE),
                 VI_SUCCESS);
    const double rate = 20000;
    const int scans = 4000;
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, rate, 0, scans, 0xFFFE, 0xFFFE), VI_SUCCESS);

    for (int block = 0; block < 2; ++block) {
        QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
        QVERIFY(triggerUntilEnd(vi));
        const int64_t endNs = cardNowNs(fcVi);
        QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
        std::vector<double> data(channels.size() * scans);
        std::vector<ViInt32> sec(scans), ns(scans);
        ViInt32 got = 0;
        QCOMPARE(nv6842_readMultAcquisitionEx(vi, scans, &got, data.data(), sec.data(), ns.data()), VI_SUCCESS);
        QCOMPARE(got, scans);
        const QString difference = compareWithFormula(channels, rate, 4.5, data, scans);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(data[2 * scans], 9.0); // the reference, 4.5 V at gain 2

        const int64_t first = sec[0] * 1000000000LL + ns[0];
        QVERIFY(first + trellinSimScanOffsetNs(rate, scans) <= endNs);
        for (int i = 0; i < scans; ++i) {
            const int64_t t = sec[i] * 1000000000LL + ns[i];
            QVERIFY(ns[i] >= 0 && ns[i] < 1000000000);
            QCOMPARE(t - first, trellinSimScanOffsetNs(rate, i));
        }
    }
    nv6842_multClose(vi);
}

// Known answers from the documented closed form and defaults, computed here
// without the simulator's own generator (noise off).
void TestSimBlock::dataFollowsTheDocumentedSignal_data()
{
    QTest::addColumn<int>("fc");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("gain");
    QTest::addColumn<double>("rate");
    QTest::addColumn<DocumentedSignal>("signal");
    QTest::newRow("harmonics") << 1 << 3 << 2 << 10000.0
                               << DocumentedSignal{1000, 2, 0.25, 30, {0, 0, 0.1, -0.05, 0, 0, 0, 0, 0, 0.02}};
    QTest::newRow("phase and offset") << 1 << 1 << 1 << 1000.0 << DocumentedSignal{50, 1, -0.5, 90, {}};
    // Defaults of channel c on FC n: 50c + 5(n-1) Hz, 0.5 + 0.5((c-1) mod 4) V, 0.01c V.
    QTest::newRow("default FC 2 channel 7") << 2 << 7 << 1 << 20000.0 << DocumentedSignal{355, 1.5, 0.07, 0, {}};
    QTest::newRow("default saturated") << 2 << 16 << 5 << 50000.0 << DocumentedSignal{805, 2, 0.16, 0, {}};
    // The other waves are exact: they must match to the bit.
    QTest::newRow("triangle") << 1 << 5 << 1 << 50000.0 << DocumentedSignal{390.625, 1.5, 0.5, 0, {}, "triangle"};
    QTest::newRow("triangle harmonics")
        << 1 << 8 << 2 << 10000.0 << DocumentedSignal{1000, 1, 0.25, 30, {0, 0, 0.1, -0.05, 0, 0, 0, 0, 0, 0.02}, "triangle"};
    QTest::newRow("square saturated") << 1 << 6 << 5 << 10000.0 << DocumentedSignal{1000, 2, 0.16, 0, {}, "square"};
    QTest::newRow("ramp backwards") << 1 << 7 << 1 << 20000.0 << DocumentedSignal{-77.7, 3, 0, 45, {}, "ramp"};
    QTest::newRow("ramp harmonics") << 1 << 10 << 1 << 20000.0 << DocumentedSignal{333, 1, 0, 0, {0, 0, 0.5}, "ramp"};
    QTest::newRow("square noise") << 1 << 9 << 2 << 20000.0 << DocumentedSignal{50, 0.5, 0, 0, {}, "square", 0.01};
}

void TestSimBlock::dataFollowsTheDocumentedSignal()
{
    QFETCH(int, fc);
    QFETCH(int, channel);
    QFETCH(int, gain);
    QFETCH(double, rate);
    QFETCH(DocumentedSignal, signal);
    SimConfig config("carrier vxi slot=4; fc 1; signal noise=0\n"
                     "signal ch=3 freq=1000 amp=2 offset=0.25 phase=30 h2=0.1 h3=-0.05 h9=0.02\n"
                     "signal ch=1 freq=50 amp=1 offset=-0.5 phase=90\n"
                     "signal ch=5 wave=triangle freq=390.625 amp=1.5 offset=0.5\n"
                     "signal ch=6 wave=square freq=1000 amp=2 offset=0.16\n"
                     "signal ch=7 wave=ramp freq=-77.7 amp=3 offset=0 phase=45\n"
                     "signal ch=8 wave=triangle freq=1000 amp=1 offset=0.25 phase=30 h2=0.1 h3=-0.05 h9=0.02\n"
                     "signal ch=9 wave=square freq=50 amp=0.5 offset=0 noise=0.01\n"
                     "signal ch=10 wave=ramp freq=333 amp=1 offset=0 h2=0.5\n"
                     "fc 2; signal noise=0; arm ms=1");
    ViSession vi;
    QCOMPARE(openCards("VXI0::4::INSTR", {ViInt16(fc)}, &vi), VI_SUCCESS);
    const auto closeSession = qScopeGuard([vi] { nv6842_multClose(vi); });
    if (channel != 1)
        QCOMPARE(nv6842_setMultChanConfig(vi, 1, 0, 1, VI_FALSE), VI_SUCCESS);
    QCOMPARE(nv6842_setMultChanConfig(vi, ViInt16(channel), 1, ViInt16(gain), VI_FALSE), VI_SUCCESS);
    const int scans = 1500;
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, rate, 0, scans, 0xFFFE, 0xFFFE), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(triggerUntilEnd(vi));
    std::vector<double> data(scans);
    ViInt32 got = 0;
    QCOMPARE(nv6842_readMultAcquisition(vi, scans, &got, data.data()), VI_SUCCESS);
    QCOMPARE(got, scans);
    // The test's sin() of a rounded cycle count differs from the simulator's
    // in the last bits; the noise stays within +-2 sqrt(3) RMS.
    const double tolerance = (signal.wave == "sine" ? 1e-9 : 0) + 2 * std::sqrt(3.0) * signal.noise * gain;
    double squares = 0;
    for (int i = 0; i < scans; ++i) {
        const double expected = documentedVolts(signal, gain, rate, i);
        const double residual = data[static_cast<std::size_t>(i)] - expected;
        squares += residual * residual;
        QVERIFY2(std::fabs(residual) <= tolerance,
                 qPrintable(QString("scan %1: %2 != %3").arg(i).arg(data[static_cast<std::size_t>(i)], 0, 'g', 17)
                                .arg(expected, 0, 'g', 17)));
    }
    // 1500 draws estimate the RMS to within about 2 %.
    if (signal.noise > 0)
        QVERIFY2(std::fabs(std::sqrt(squares / scans) / (signal.noise * gain) - 1) < 0.1,
                 qPrintable(QString("noise RMS %1").arg(std::sqrt(squares / scans))));
}

void TestSimBlock::partialReads()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {2}, &vi), VI_SUCCESS);
    std::vector<double> data(4000);
    ViInt32 got = -1;
    QCOMPARE(nv6842_readMultAcquisition(vi, 100, &got, data.data()), nv6842_ERROR_NO_DATA);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 50000, 0, 3000, 0xFFFE, 0xFFFE), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(triggerUntilEnd(vi));
    QCOMPARE(nv6842_readMultAcquisition(vi, 1000, &got, data.data()), VI_SUCCESS);
    QCOMPARE(got, 1000);
    QCOMPARE(check(vi).backlog, 2000);
    QCOMPARE(nv6842_readMultAcquisition(vi, 4000, &got, data.data()), VI_SUCCESS);
    QCOMPARE(got, 2000);
    const std::vector<EnabledChannel> channels = {{"VXI0::2::INSTR", 2, 0, 1, 1, 1}};
    const QString difference = compareWithFormula(channels, 50000, 0, data, 2000, 1000);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(nv6842_readMultAcquisition(vi, 4000, &got, data.data()), nv6842_ERROR_NO_DATA);
    QCOMPARE(got, 0);
    nv6842_multClose(vi);
}

void TestSimBlock::overRangeIsSaturatedAndReported()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR,VXI0::2::INSTR", {1, 2}, &vi), VI_SUCCESS);
    // Channel 4 carries a 2 V sine: at gain 10 it exceeds the 10 V range.
    QCOMPARE(nv6842_setMultChanConfig(vi, channelOf(0, 4), 1, 10, VI_FALSE), VI_SUCCESS);
    QCOMPARE(nv6842_setMultChanConfig(vi, channelOf(1, 1), 1, 2, VI_FALSE), VI_SUCCESS);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 10000, 0, 1000, 0xFFFE, 0xFFFE), VI_SUCCESS);
    QCOMPARE(nv6842_startMultAcquisition(vi), VI_SUCCESS);
    Check last;
    QVERIFY(triggerUntilEnd(vi, &last));
    QCOMPARE(last.errors, ViUInt16(nv6842_ERR_OUT_OF_RANGE));
    ViUInt16 chErrors = 0xFFFF;
    QCOMPARE(nv6842_getDAQStatus(cardSessionOf(vi, 1), nullptr, nullptr, &chErrors), VI_SUCCESS);
    QCOMPARE(chErrors, ViUInt16(0));
    QCOMPARE(nv6842_getDAQStatus(cardSessionOf(vi, 0), nullptr, nullptr, &chErrors), VI_SUCCESS);
    QCOMPARE(chErrors, ViUInt16(1u << 3));
    QCOMPARE(nv6842_getDAQStatus(cardSessionOf(vi, 0), nullptr, nullptr, &chErrors), VI_SUCCESS);
    QCOMPARE(chErrors, ViUInt16(0));
    QCOMPARE(check(vi).errors, ViUInt16(0));

    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    std::vector<double> data(3 * 1000);
    ViInt32 got = 0;
    QCOMPARE(nv6842_readMultAcquisition(vi, 1000, &got, data.data()), VI_SUCCESS);
    const std::vector<EnabledChannel> channels = {{"VXI0::2::INSTR", 1, 0, 1, 1, 1},
                                                  {"VXI0::2::INSTR", 1, 0, 4, 1, 10},
                                                  {"VXI0::2::INSTR", 2, 1, 1, 1, 2}};
    const QString difference = compareWithFormula(channels, 10000, 0, data, 1000);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    std::vector<double> expected(1000);
    QVERIFY(trellinSimExpectedVolts(nullptr, "VXI0::2::INSTR", 1, 4, 1, 10, 0, 10000, 0, 1000, expected.data()) > 0);
    const auto [low, high] = std::minmax_element(data.begin() + 1000, data.begin() + 2000);
    QCOMPARE(*low, -10.0);
    QCOMPARE(*high, 10.0);
    // Reading the saturated samples reports them again.
    QCOMPARE(nv6842_getDAQStatus(cardSessionOf(vi, 0), nullptr, nullptr, &chErrors), VI_SUCCESS);
    QCOMPARE(chErrors, ViUInt16(1u << 3));
    nv6842_multClose(vi);
}

void TestSimBlock::timedStartWaitsForTheCardTime()
{
    ViSession vi;
    QCOMPARE(openCards("TCPIP0::127.0.0.2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 1000, 2, 100, 0xFFFF, 0xFFFF), VI_SUCCESS);
    const ViInt64 startTime = cardNowNs(fcVi) / 1000000000LL + 2;
    std::atomic<bool> done{false};
    std::atomic<ViStatus> status{VI_ERROR};
    std::atomic<int64_t> returnedAt{0};
    std::thread starter([&] {
        status = nv6842_startMultAcquisitionTimed64(vi, startTime, 0);
        returnedAt = cardNowNs(fcVi);
        done = true;
    });
    // A failed check leaves early: the close cancels the timed start, then the thread is joined.
    const auto joinOnExit = qScopeGuard([&] {
        nv6842_multClose(vi);
        if (starter.joinable())
            starter.join();
    });
    QVERIFY(pollUntil([&] { return done.load(); }, 5000));
    starter.join();
    QCOMPARE(status.load(), VI_SUCCESS);
    QVERIFY(returnedAt.load() >= startTime * 1000000000LL);
    QVERIFY(pollUntil([&] { return check(vi).stage == nv6842_STAGE_END; }, 3000));
    std::vector<double> data(100);
    std::vector<ViInt32> sec(100), ns(100);
    ViInt32 got = 0;
    QCOMPARE(nv6842_readMultAcquisitionEx(vi, 100, &got, data.data(), sec.data(), ns.data()), VI_SUCCESS);
    QCOMPARE(ViInt64(sec[0]), startTime);
    QCOMPARE(ns[0], 0);
    QCOMPARE(ns[1], 1000000);
    nv6842_multClose(vi);
}

void TestSimBlock::stopCancelsTimedStart()
{
    ViSession vi;
    QCOMPARE(openCards("TCPIP0::127.0.0.2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViInt64 startTime = cardNowNs(cardSessionOf(vi, 0)) / 1000000000LL + 30;
    std::atomic<bool> done{false};
    std::atomic<ViStatus> status{VI_SUCCESS};
    std::thread starter([&] {
        status = nv6842_startMultAcquisitionTimed64(vi, startTime, 0);
        done = true;
    });
    // A failed check leaves early: the close cancels the timed start, then the thread is joined.
    const auto joinOnExit = qScopeGuard([&] {
        nv6842_multClose(vi);
        if (starter.joinable())
            starter.join();
    });
    QVERIFY(pollUntil([&] { return check(vi).stage == nv6842_STAGE_READY; }, 2000));
    QCOMPARE(nv6842_startMultAcquisition(vi), nv6842_ERROR_ACQ_RUNNING);
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return done.load(); }, 2000));
    starter.join();
    QCOMPARE(status.load(), nv6842_ERROR_ABORTED);
    QCOMPARE(check(vi).stage, ViInt16(nv6842_STAGE_IDLE));
    nv6842_multClose(vi);
}

QTEST_GUILESS_MAIN(TestSimBlock)
#include "test_sim_block.moc"
