// Simulated continuous acquisition: one callback per block at real-time pace,
// gap-free data equal to the formula, FIFO overflow when the program does not
// read, and clean stops (from outside, from inside the callback, by close).
#include "test_sim_helpers.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// What the callback of a test does and records.
struct Stream {
    int scans = 0;
    int channels = 1;
    std::atomic<int> calls{0};
    std::atomic<bool> readBlocks{true};
    std::atomic<int> sleepMs{0};
    std::atomic<int> stopAtCall{-1};
    std::atomic<int> lingerAfterStopMs{0}; // the callback goes on this long after its own stop
    std::atomic<bool> stopReturned{false};
    std::atomic<int> callsAfterStop{0};
    std::atomic<int> failures{0};
    std::atomic<int> running{0}; // callbacks in progress
    std::atomic<ViStatus> stopStatus{VI_ERROR};
    std::mutex mutex;
    std::vector<std::vector<double>> blocks;
    std::vector<std::vector<int64_t>> stamps;
};

// Reads like the program's callback: waits for a whole block, then reads it with time stamps.
ViInt32 streamCallback(ViSession vi, ViAddr user)
{
    auto *s = static_cast<Stream *>(user);
    ++s->running;
    if (s->stopReturned)
        ++s->callsAfterStop;
    const int call = s->calls++;
    if (s->sleepMs > 0)
        QThread::msleep(static_cast<unsigned long>(s->sleepMs.load()));
    if (s->readBlocks) {
        ViInt32 backlog = 0;
        if (nv6842_checkMultAcquisition(vi, nullptr, nullptr, &backlog) != VI_SUCCESS || backlog < s->scans)
            ++s->failures;
        std::vector<double> data(static_cast<std::size_t>(s->channels * s->scans));
        std::vector<ViInt32> sec(static_cast<std::size_t>(s->scans)), ns(static_cast<std::size_t>(s->scans));
        ViInt32 got = 0;
        if (nv6842_readMultAcquisitionEx(vi, s->scans, &got, data.data(), sec.data(), ns.data()) != VI_SUCCESS ||
            got != s->scans)
            ++s->failures;
        std::vector<int64_t> t(static_cast<std::size_t>(s->scans));
        for (int i = 0; i < s->scans; ++i)
            t[static_cast<std::size_t>(i)] = sec[static_cast<std::size_t>(i)] * 1000000000LL + ns[static_cast<std::size_t>(i)];
        std::lock_guard<std::mutex> lock(s->mutex);
        s->blocks.push_back(std::move(data));
        s->stamps.push_back(std::move(t));
    }
    if (call == s->stopAtCall) {
        s->stopStatus = nv6842_stopMultAcquisition(vi);
        if (s->lingerAfterStopMs > 0)
            QThread::msleep(static_cast<unsigned long>(s->lingerAfterStopMs.load()));
    }
    --s->running;
    return 0;
}

// FC 1 of the default VXI carrier, free running at 50 kS/s.
ViStatus openOneCardAt50kHz(ViSession *vi)
{
    const ViStatus status = openCards("VXI0::2::INSTR", {1}, vi);
    if (status != VI_SUCCESS)
        return status;
    return nv6842_multConfig(*vi, nv6842_MB_SYNC_MODE, 50000, 0, 0, 0xFFFE, 0xFFFE);
}

// A failed check leaves a test early: the session is closed first, so no
// callback outlives the stream it writes to.
auto closeWhenLeaving(ViSession &vi)
{
    return qScopeGuard([&vi] { nv6842_multClose(vi); });
}

ViStatus triggerWhenReady(ViSession vi)
{
    ViInt16 stage = 0;
    if (!pollUntil(
            [&] {
                nv6842_checkMultAcquisition(vi, &stage, nullptr, nullptr);
                return stage == nv6842_STAGE_READY;
            },
            2000))
        return VI_ERROR;
    return nv6842_generateITRI(vi, nv6842_PULSE);
}

} // namespace

class TestSimStream : public QObject
{
    Q_OBJECT

private slots:
    void callbackOncePerBlockGapFree();
    void overflowWhenTheProgramDoesNotRead();
    void stopWhileTheCallbackRuns();
    void stopFromInsideTheCallback();
    void stopFromOutsideWaitsForACallbackThatStoppedItself();
    void closeWhileStreaming();
    void timedContinuousStart();
};

void TestSimStream::callbackOncePerBlockGapFree()
{
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR,TCPIP0::127.0.0.2::INSTR", {2, 1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    QCOMPARE(nv6842_setMultChanConfig(vi, channelOf(0, 1), 0, 1, VI_FALSE), VI_SUCCESS);
    QCOMPARE(nv6842_setMultChanConfig(vi, channelOf(0, 5), 1, 2, VI_FALSE), VI_SUCCESS);
    QCOMPARE(nv6842_setMultChanConfig(vi, channelOf(1, 12), 1, 1, VI_FALSE), VI_SUCCESS);
    const double rate = 10000;
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, rate, 0, 0, 0xFFFE, 0xFFFE), VI_SUCCESS);
    Stream stream;
    const auto closeOnExit = closeWhenLeaving(vi);
    stream.scans = 1000;
    stream.channels = 2;
    QCOMPARE(nv6842_startMultAcquisitionEx(vi, stream.scans, &streamCallback, &stream), VI_SUCCESS);
    ViInt16 stage = 0;
    QCOMPARE(nv6842_checkMultAcquisition(vi, &stage, nullptr, nullptr), VI_SUCCESS);
    QCOMPARE(stage, ViInt16(nv6842_STAGE_READY));
    QCOMPARE(stream.calls.load(), 0);
    QCOMPARE(nv6842_generateITRI(vi, nv6842_PULSE), VI_SUCCESS);

    QVERIFY(pollUntil([&] { return stream.calls >= 12; }, 8000));
    const int64_t stopAt = cardNowNs(fcVi);
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    const int64_t stoppedAt = cardNowNs(fcVi);
    const int calls = stream.calls;
    QCOMPARE(stream.failures.load(), 0);

    std::lock_guard<std::mutex> lock(stream.mutex);
    QCOMPARE(int(stream.blocks.size()), calls);
    const int64_t trigger = stream.stamps[0][0];
    // One call per completed block: never ahead of the data, and behind it
    // only by the time the callback thread may wait for a processor.
    const int64_t completedBefore = (stopAt - trigger) / 100000000LL;
    const int64_t completedAfter = (stoppedAt - trigger) / 100000000LL;
    QVERIFY2(calls >= completedBefore - 2 && calls <= completedAfter,
             qPrintable(QString("%1 calls, %2..%3 blocks").arg(calls).arg(completedBefore).arg(completedAfter)));
    std::vector<double> expected(static_cast<std::size_t>(stream.scans));
    for (int b = 0; b < calls; ++b) {
        const int64_t first = int64_t(b) * stream.scans;
        for (int i = 0; i < stream.scans; ++i)
            QCOMPARE(stream.stamps[b][i] - trigger, trellinSimScanOffsetNs(rate, first + i));
        QVERIFY(trellinSimExpectedVolts(nullptr, "VXI0::2::INSTR", 2, 5, 1, 2, 0, rate, first, stream.scans,
                                        expected.data()) == 0);
        QVERIFY2(std::memcmp(stream.blocks[b].data(), expected.data(), expected.size() * sizeof(double)) == 0,
                 qPrintable(QString("block %1, first channel").arg(b)));
        QVERIFY(trellinSimExpectedVolts(nullptr, "TCPIP0::127.0.0.2::INSTR", 1, 12, 1, 1, 0, rate, first,
                                        stream.scans, expected.data()) == 0);
        QVERIFY2(std::memcmp(stream.blocks[b].data() + stream.scans, expected.data(),
                             expected.size() * sizeof(double)) == 0,
                 qPrintable(QString("block %1, second channel").arg(b)));
    }
    nv6842_multClose(vi);
}

void TestSimStream::overflowWhenTheProgramDoesNotRead()
{
    SimConfig config("default; fifo scans=3000");
    ViSession vi;
    QCOMPARE(openCards("VXI0::2::INSTR", {1}, &vi), VI_SUCCESS);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 20000, 0, 0, 0xFFFE, 0xFFFE), VI_SUCCESS);
    Stream stream;
    const auto closeOnExit = closeWhenLeaving(vi);
    stream.scans = 500;
    stream.readBlocks = false;
    QCOMPARE(nv6842_startMultAcquisitionEx(vi, stream.scans, &streamCallback, &stream), VI_SUCCESS);
    QCOMPARE(triggerWhenReady(vi), VI_SUCCESS);
    ViUInt16 errors = 0;
    ViInt32 backlog = 0;
    QVERIFY(pollUntil(
        [&] {
            nv6842_checkMultAcquisition(vi, nullptr, &errors, &backlog);
            return errors != 0;
        },
        4000));
    QCOMPARE(errors, ViUInt16(nv6842_ERR_FIFO_OVERFLOW));
    QCOMPARE(backlog, 3000);
    // The card halts: the callbacks end with the last block the FIFO holds.
    QVERIFY(pollUntil([&] { return stream.calls >= 6; }, 2000));
    QCOMPARE(stream.calls.load(), 6);
    // What the FIFO holds is still gap-free.
    std::vector<double> data(3000);
    ViInt32 got = 0;
    QCOMPARE(nv6842_readMultAcquisition(vi, 3000, &got, data.data()), VI_SUCCESS);
    QCOMPARE(got, 3000);
    std::vector<double> expected(3000);
    QCOMPARE(trellinSimExpectedVolts(nullptr, "VXI0::2::INSTR", 1, 1, 1, 1, 0, 20000, 0, 3000, expected.data()), 0);
    QVERIFY(std::memcmp(data.data(), expected.data(), sizeof(double) * 3000) == 0);
    QCOMPARE(nv6842_readMultAcquisition(vi, 500, &got, data.data()), nv6842_ERROR_FIFO_OVERFLOW);
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    QCOMPARE(stream.calls.load(), 6);
    nv6842_multClose(vi);
}

void TestSimStream::stopWhileTheCallbackRuns()
{
    ViSession vi;
    QCOMPARE(openOneCardAt50kHz(&vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    Stream stream;
    const auto closeOnExit = closeWhenLeaving(vi);
    stream.scans = 500; // 10 ms blocks
    stream.sleepMs = 40; // a slow callback: blocks pile up behind it
    QCOMPARE(nv6842_startMultAcquisitionEx(vi, stream.scans, &streamCallback, &stream), VI_SUCCESS);
    QCOMPARE(triggerWhenReady(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return stream.calls >= 3 && stream.running > 0; }, 4000));
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    // The stop waited for the running callback to return.
    QCOMPARE(stream.running.load(), 0);
    stream.stopReturned = true;
    const int calls = stream.calls;
    const int64_t until = cardNowNs(fcVi) + 150000000LL;
    QVERIFY(pollUntil([&] { return stream.calls != calls || cardNowNs(fcVi) > until; }, 2000));
    QCOMPARE(stream.calls.load(), calls);
    QCOMPARE(stream.callsAfterStop.load(), 0);
    QCOMPARE(stream.failures.load(), 0);
    // The session starts again after the stop.
    stream.sleepMs = 0;
    stream.stopReturned = false;
    QCOMPARE(nv6842_startMultAcquisitionEx(vi, stream.scans, &streamCallback, &stream), VI_SUCCESS);
    QCOMPARE(triggerWhenReady(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return stream.calls >= calls + 3; }, 4000));
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    QCOMPARE(stream.failures.load(), 0);
    nv6842_multClose(vi);
}

void TestSimStream::stopFromInsideTheCallback()
{
    ViSession vi;
    QCOMPARE(openOneCardAt50kHz(&vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    Stream stream;
    const auto closeOnExit = closeWhenLeaving(vi);
    stream.scans = 1000;
    stream.stopAtCall = 2;
    QCOMPARE(nv6842_startMultAcquisitionEx(vi, stream.scans, &streamCallback, &stream), VI_SUCCESS);
    QCOMPARE(triggerWhenReady(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return stream.stopStatus != VI_ERROR; }, 4000));
    QCOMPARE(stream.stopStatus.load(), VI_SUCCESS);
    const int64_t until = cardNowNs(fcVi) + 100000000LL;
    QVERIFY(pollUntil([&] { return stream.calls > 3 || cardNowNs(fcVi) > until; }, 2000));
    QCOMPARE(stream.calls.load(), 3);
    ViInt16 stage = -1;
    QCOMPARE(nv6842_checkMultAcquisition(vi, &stage, nullptr, nullptr), VI_SUCCESS);
    QCOMPARE(stage, ViInt16(nv6842_STAGE_IDLE));
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    nv6842_multClose(vi);
}

void TestSimStream::stopFromOutsideWaitsForACallbackThatStoppedItself()
{
    ViSession vi;
    QCOMPARE(openOneCardAt50kHz(&vi), VI_SUCCESS);
    Stream stream;
    const auto closeOnExit = closeWhenLeaving(vi);
    stream.scans = 500;
    stream.stopAtCall = 1;
    stream.lingerAfterStopMs = 300;
    QCOMPARE(nv6842_startMultAcquisitionEx(vi, stream.scans, &streamCallback, &stream), VI_SUCCESS);
    QCOMPARE(triggerWhenReady(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return stream.stopStatus != VI_ERROR; }, 4000));
    // The program's stop meets a callback that has stopped the card itself
    // and is still running: the stop must still wait for it.
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    QCOMPARE(stream.running.load(), 0);
    QCOMPARE(stream.calls.load(), 2);
    QCOMPARE(stream.failures.load(), 0);
    nv6842_multClose(vi);
}

void TestSimStream::closeWhileStreaming()
{
    ViSession vi;
    QCOMPARE(openOneCardAt50kHz(&vi), VI_SUCCESS);
    Stream stream;
    const auto closeOnExit = closeWhenLeaving(vi);
    stream.scans = 250;
    QCOMPARE(nv6842_startMultAcquisitionEx(vi, stream.scans, &streamCallback, &stream), VI_SUCCESS);
    QCOMPARE(triggerWhenReady(vi), VI_SUCCESS);
    QVERIFY(pollUntil([&] { return stream.calls >= 2; }, 4000));
    QCOMPARE(nv6842_multClose(vi), VI_SUCCESS);
    QCOMPARE(stream.running.load(), 0);
    stream.stopReturned = true;
    const int calls = stream.calls;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(pollUntil([&] { return stream.calls != calls || timer.elapsed() > 100; }, 2000));
    QCOMPARE(stream.calls.load(), calls);
    QCOMPARE(stream.failures.load(), 0);
}

void TestSimStream::timedContinuousStart()
{
    ViSession vi;
    QCOMPARE(openCards("TCPIP0::127.0.0.2::INSTR", {1}, &vi), VI_SUCCESS);
    const ViSession fcVi = cardSessionOf(vi, 0);
    QCOMPARE(nv6842_multConfig(vi, nv6842_MB_SYNC_MODE, 5000, 2, 0, 0xFFFF, 0xFFFF), VI_SUCCESS);
    Stream stream;
    const auto closeOnExit = closeWhenLeaving(vi);
    stream.scans = 500;
    const ViInt64 startTime = cardNowNs(fcVi) / 1000000000LL + 2;
    QCOMPARE(nv6842_startMultAcquisitionTimed64Ex(vi, stream.scans, &streamCallback, &stream, startTime, 0),
             VI_SUCCESS);
    QVERIFY(cardNowNs(fcVi) >= startTime * 1000000000LL);
    QVERIFY(pollUntil([&] { return stream.calls >= 2; }, 4000));
    QCOMPARE(nv6842_stopMultAcquisition(vi), VI_SUCCESS);
    std::lock_guard<std::mutex> lock(stream.mutex);
    QCOMPARE(stream.stamps[0][0], startTime * 1000000000LL);
    QCOMPARE(stream.stamps[1][0], startTime * 1000000000LL + 100000000LL);
    nv6842_multClose(vi);
}

QTEST_GUILESS_MAIN(TestSimStream)
#include "test_sim_stream.moc"
