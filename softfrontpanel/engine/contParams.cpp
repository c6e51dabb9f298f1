#include "contParams.h"

#include "acqSetup.h"
#include "acqTexts.h"
#include "datafile_writer.h"
#include "fileset.h"
#include "nv9471.h"

#include <QFile>
#include <QMutexLocker>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Counts a callback from entry to return, so that nothing frees the ring
// under it.
class CallbackScope
{
public:
    explicit CallbackScope(std::atomic<int32_t> &c) : count(c) { ++count; }
    ~CallbackScope() { --count; }
    CallbackScope(const CallbackScope &) = delete;
    CallbackScope &operator=(const CallbackScope &) = delete;

private:
    std::atomic<int32_t> &count;
};

// Sleeps briefly every thousand rounds, so that a wait yields the core
// instead of spinning on it for ever.
void idleRound(int round, double pauseMs)
{
    nv9471_delay(0);
    if (round % 1000 == 999)
        nv9471_delay(pauseMs);
}

QString driverText(ViSession vi, ViStatus status)
{
    ViChar text[256] = {};
    nv6842_error_message(vi, status, text);
    return QString::fromLatin1(text);
}

void readFailed(contParams_t &p, const QString &reason)
{
    std::printf("nv6842_readMultAcquisitionEx failed due to [%s]\n\n", reason.toLocal8Bit().constData());
    std::fflush(stdout);
    p.setError(QStringLiteral("nv6842_readMultAcquisitionEx failed due to [%1]").arg(reason));
    p.running = false;
}

} // namespace

contParams_t::contParams_t()
{
    for (int i = 0; i < contRingSlots; ++i) {
        blockData[i] = nullptr;
        blockSeconds[i] = nullptr;
        blockNanos[i] = nullptr;
    }
}

contParams_t::~contParams_t()
{
    finish();
}

void contParams_t::freeBuffers()
{
    QMutexLocker lock(&copyLock);
    std::free(displayCopy);
    displayCopy = nullptr;
    copyValid = false;
    for (int i = 0; i < contRingSlots; ++i) {
        std::free(blockData[i]);
        std::free(blockSeconds[i]);
        std::free(blockNanos[i]);
        blockData[i] = nullptr;
        blockSeconds[i] = nullptr;
        blockNanos[i] = nullptr;
    }
}

QString contParams_t::errorText() const
{
    QMutexLocker lock(&errorLock);
    return errorMessage;
}

bool contParams_t::setError(const QString &text)
{
    QMutexLocker lock(&errorLock);
    if (!errorMessage.isEmpty())
        return false;
    errorMessage = text;
    failure = true;
    return true;
}

contPrepareResult contParams_t::prepare(const contStreamSettings &s)
{
    freeBuffers();
    {
        QMutexLocker lock(&errorLock);
        errorMessage.clear();
        failure = false;
    }
    copyRequested = false;
    copyValid = false;
    blocksStored = 0;
    diskAlmostFull = false;
    writeSlot = 0;
    readSlot = 0;
    writer.close();
    trend.close();

    sampleSize = 8;
    format = s.format;
    channels = acqEnabledChannels(s.chanMask);
    scans = copyScans = s.scans;

    const size_t values = size_t(channels) * size_t(scans);
    displayCopy = static_cast<double *>(std::calloc(values, sizeof(double)));
    bool allocated = displayCopy != nullptr;
    for (int i = 0; i < contRingSlots && allocated; ++i) {
        blockSeconds[i] = static_cast<int32_t *>(std::calloc(size_t(scans), sizeof(int32_t)));
        blockNanos[i] = static_cast<int32_t *>(std::calloc(size_t(scans), sizeof(int32_t)));
        blockData[i] = static_cast<double *>(std::calloc(values, sizeof(double)));
        allocated = blockSeconds[i] && blockNanos[i] && blockData[i];
    }
    if (!allocated) {
        freeBuffers();
        std::printf("Unable to allocate memory.\n");
        std::fflush(stdout);
        setError(QStringLiteral("Unable to allocate memory."));
        return contPrepareResult::NoMemory;
    }

    stopAfterFirst = s.stopAfterFirst;
    fileName = s.fileName;
    timestamps = s.timestamps;

    storing = false;
    openError = 0;
    openPath.clear();
    if (!fileName.isEmpty()) {
        contRecordingSetup setup;
        setup.path = QFile::encodeName(fileName).toStdString();
        setup.format = format;
        setup.layout.rateHz = s.freq;
        setup.layout.scans = scans;
        setup.layout.fcCount = int(s.chanMask.size());
        setup.layout.channelMask = s.chanMask.data();
        setup.layout.timestamps = timestamps;
        setup.split = s.split;
        setup.freeSpace = freeSpace;
        setup.ringSlots = contRingSlots;
        const QString tooSmall = contSplitTooSmallText(s.split, format, setup.layout);
        if (!tooSmall.isEmpty()) {
            freeBuffers();
            setError(tooSmall);
            return contPrepareResult::BadSplit;
        }
        std::string failedPath;
        if (!writer.open(setup)) {
            failedPath = writer.failedPath();
            openError = writer.openError();
        } else if (s.trendLog
                   && !trend.open(trendLogPath(setup.path), s.chanMask, s.freq, scans, timestamps, s.trendAnalysis)) {
            failedPath = trend.path();
            openError = trend.openError();
            writer.close();
        }
        if (!failedPath.empty()) {
            openPath = QFile::decodeName(QByteArray::fromStdString(failedPath));
            std::printf("Cannot open file: \"%s\" for writing.\n", failedPath.c_str());
            std::fflush(stdout);
            freeBuffers();
            return contPrepareResult::CannotOpen;
        }
        storing = true;
    }
    running = true;
    return contPrepareResult::Ok;
}

void contParams_t::startStorage()
{
    if (!writer.isOpen())
        return;
    QThreadPool::globalInstance()->setMaxThreadCount(32);
    storageState = 1;
    storageFuture = QtConcurrent::run(storageTask, this);
    while (!storageFuture.isStarted())
        QThread::yieldCurrentThread();
}

QString contParams_t::finish()
{
    // A callback still running (one the driver started before it stopped) may
    // use the ring; it leaves at once since acqRunning is clear, and a later
    // one touches nothing.
    acqRunning = false;
    while (callbacksInProgress.load() > 0)
        QThread::msleep(1);
    running = false;
    storageFuture.waitForFinished();
    storageFuture = QFuture<void>();
    if (storageState.load() != 0)
        while (storageState.load() != 2)
            QThread::yieldCurrentThread();
    storageState = 0;
    writer.close(); // prepared, but the storage task never ran
    // The trend's last analysis may still read its copy, never the ring.
    trend.close();
    freeBuffers();
    return errorText();
}

ViInt32 dataCallback(ViSession vi, ViAddr user)
{
    contParams_t &p = *static_cast<contParams_t *>(user);
    // Counted before acqRunning is looked at: whoever clears acqRunning and
    // then sees no callback in progress knows that none will touch the ring.
    CallbackScope scope(p.callbacksInProgress);
    if (!acqRunning || (p.blockLimit > 0 && blocksAcquired >= p.blockLimit)) {
        callbackSawStop = true;
        return 0;
    }

    ViInt32 backlog = 0;
    while (nv6842_checkMultAcquisition(vi, nullptr, nullptr, &backlog) == VI_SUCCESS && backlog < p.scans) {
        if (!acqRunning) {
            callbackSawStop = true;
            return 0;
        }
    }

    const int w = p.writeSlot;
    ViInt32 got = 0;
    const ViStatus status =
        p.timestamps ? nv6842_readMultAcquisitionEx(vi, p.scans, &got, p.blockData[w], p.blockSeconds[w],
                                                    p.blockNanos[w])
                     : nv6842_readMultAcquisition(vi, p.scans, &got, p.blockData[w]);
    // A short block would put every channel after the first in the wrong place.
    const bool complete = status >= VI_SUCCESS && got == p.scans;
    if (complete)
        ++blocksAcquired;
    else if (status < VI_SUCCESS)
        readFailed(p, driverText(vi, status));
    else
        readFailed(p, QStringLiteral("%1 of %2 scans were read").arg(got).arg(p.scans));

    if (p.copyRequested || !p.copyValid) {
        acqPollStage(vi);
        if (complete) {
            QMutexLocker lock(&p.copyLock);
            std::memcpy(p.displayCopy, p.blockData[w], size_t(p.sampleSize) * size_t(p.copyScans) * size_t(p.channels));
            // The first stamp only: all a caption names, at no cost to the callback.
            if (p.timestamps && p.scans > 0) {
                p.displaySeconds = p.blockSeconds[w][0];
                p.displayNanos = p.blockNanos[w][0];
            }
            p.copyRequested = false;
            p.copyValid = true;
            displayedBlock = blocksAcquired - 1;
        }
    }

    // Only a complete block of a stream still running goes to the storage task.
    if (complete && p.running) {
        p.writeSlot = (w + 1) % contRingSlots;
        if (p.storing) {
            int round = 0;
            while ((p.writeSlot + 1) % contRingSlots == p.readSlot && p.running && acqRunning) {
                idleRound(round, 10);
                if (++round >= p.storageWaitRounds) {
                    p.setError(QStringLiteral("Timeout"));
                    p.running = false;
                }
            }
        }
    }

    if (p.stopAfterFirst)
        firstBlockDone = true;
    return 0;
}

void storageTask(contParams_t *params)
{
    contParams_t &p = *params;
    if (p.storageState.load() != 1) // not handed over by startStorage()
        return;
    if (!p.writer.isOpen()) {
        p.storageState = 2;
        return;
    }
    int round = 0;
    for (;;) {
        while (p.storageStalled && p.running)
            QThread::msleep(1);
        // running before writeSlot: once running is seen clear, no callback
        // hands over another block, so the writeSlot read next is final.
        const bool stillRunning = p.running;
        const int r = p.readSlot;
        if (r == p.writeSlot) {
            if (!stillRunning)
                break;
            idleRound(round, 1);
            round = (round + 1) % 1000;
            continue;
        }
        round = 0;
        const int32_t *seconds = p.timestamps ? p.blockSeconds[r] : nullptr;
        const int32_t *nanos = p.timestamps ? p.blockNanos[r] : nullptr;
        const contRecordingWriter::Outcome outcome = p.writer.write(p.blockData[r], seconds, nanos);
        if (outcome != contRecordingWriter::Outcome::Written) {
            if (outcome == contRecordingWriter::Outcome::DiskAlmostFull)
                p.diskAlmostFull = p.setError(acqDiskAlmostFullText(p.blocksStored, bytesWritten));
            else if (outcome == contRecordingWriter::Outcome::CannotOpen)
                p.setError(contOpenFailedText(QFile::decodeName(QByteArray::fromStdString(p.writer.failedPath())),
                                              p.writer.openError()));
            else
                p.setError(QStringLiteral("Disk write failed!"));
            p.running = false;
            break;
        }
        // The size shown is what reached the file: time stamps included, and
        // the real length of the CSV texts rather than an estimate.
        bytesWritten += p.writer.lastBlockBytes();
        p.trend.offer(p.blocksStored, p.blockData[r], seconds, nanos);
        ++p.blocksStored;
        p.readSlot = (r + 1) % contRingSlots;
    }
    if (!p.writer.close())
        p.setError(QStringLiteral("Disk write failed!"));
    p.storageState = 2;
}

void contArmCallbacks()
{
    callbackSawStop = false;
    firstBlockDone = false;
    acqRunning = true;
}

bool contLeaveCallbacks(contParams_t &params)
{
    const bool wasRunning = acqRunning.exchange(false);
    if (wasRunning) {
        for (int i = 0; i < 2000 && params.callbacksInProgress.load() > 0; ++i)
            QThread::msleep(1);
    }
    return wasRunning;
}

QString contEndStreaming(contParams_t &params, ViSession vi, const acqReporter &report)
{
    contLeaveCallbacks(params);
    const ViStatus status = nv6842_stopMultAcquisition(vi);
    if (status != VI_SUCCESS && report)
        report(status, "nv6842_stopMultAcquisition(d_vi)");
    return params.finish();
}

bool contTakeDisplayCopy(contParams_t &params, double *data, int32_t *block, contBlockStamp *stamp)
{
    QMutexLocker lock(&params.copyLock);
    if (!params.displayCopy || !params.copyValid)
        return false;
    // Read with the copy: once the lock is released the callback may copy
    // the next block and move the number on.
    if (block)
        *block = displayedBlock;
    if (stamp)
        *stamp = contBlockStamp{params.timestamps, params.displaySeconds, params.displayNanos};
    std::memcpy(data, params.displayCopy,
                size_t(params.sampleSize) * size_t(params.copyScans) * size_t(params.channels));
    params.copyRequested = true;
    return true;
}

QString contOpenFailedText(const QString &fileName, int error)
{
    const QString sentence = QStringLiteral("Cannot open file: \"%1\" for writing.").arg(fileName);
    if (error == 0)
        return sentence;
    return sentence + QLatin1Char('\n') + QString::fromLocal8Bit(std::strerror(error));
}

int contRingBacklog(const contParams_t &params)
{
    return (params.writeSlot - params.readSlot + contRingSlots) % contRingSlots;
}

QString contSplitTooSmallText(const contSplitRule &split, int format, const StoredLayout &layout)
{
    // Rounded up, so that the value named is one that is accepted.
    const auto upToThousandths = [](double value) { return QString::number(std::ceil(value * 1000 - 1e-9) / 1000, 'f', 3); };
    const uint64_t smallest = contRecordingWriter::smallestSplitBytes(format, layout);
    if (split.maxBytes > 0 && split.maxBytes < smallest)
        return QStringLiteral("The split size must be at least %1 MB (one block and the file header).")
            .arg(upToThousandths(double(smallest) / double(1 << 20)));
    const double block = contRecordingWriter::blockSeconds(layout);
    if (split.maxSeconds > 0 && split.maxSeconds < block)
        return QStringLiteral("The split time must be at least %1 s (one block).").arg(upToThousandths(block));
    return QString();
}
