// sfprecord: streams from 6842 cards to a .bin6842 or CSV file without a
// display, through the same engine as the panel's continuous acquisition.
#include "acqBlock.h"
#include "acqSetup.h"
#include "acqState.h"
#include "acqTexts.h"
#include "channelList.h"
#include "contParams.h"
#include "fileset.h"
#include "nv6842.h"
#include "nv6842_fc.h"
#include "nv9471fp_resourceSearch.h"
#include "recordingHealth.h"
#include "toolexit.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <limits>
#include <unistd.h>
#include <vector>

namespace {

enum ExitCode {
    exitOk = toolExitOk,
    exitUsage = toolExitUsage,
    exitDriver = toolExitInput,     // the cards are this tool's input
    exitStreaming = toolExitOutput, // the file, or the stream into it
};

const char usageText[] =
    "Usage: sfprecord --output PATH [options]\n"
    "Streams every block of the 6842 cards to a file, gap-free, until the\n"
    "duration or block count is reached or Ctrl-C is pressed.\n"
    "\n"
    "  --output PATH          file to write (.bin6842 or .csv); overwritten\n"
    "  --format bin|csv|csvmv binary doubles, CSV in volts or in millivolts (default bin)\n"
    "  --cards N|LIST         the first N cards the resource search finds (default 1),\n"
    "                         or DESCRIPTOR:FC[,DESCRIPTOR:FC...], e.g. VXI0::2::INSTR:1\n"
    "  --channels SPEC[;SPEC] enabled channels per card: a mask (0x8001), a list\n"
    "                         (1,3,5-8) or all; one SPEC applies to every card (default 1)\n"
    "  --rate HZ              sampling rate (default 10000)\n"
    "  --scans N              scans per block (default 1024)\n"
    "  --timestamps           store the time stamp of every scan\n"
    "  --duration SECONDS     record the blocks of this time (rounded up to a whole block)\n"
    "  --blocks N             stop after N blocks\n"
    "  --split-mb MB          a set of files NAME_0001, NAME_0002 ... of at most MB each\n"
    "                         (2^20 bytes; a file holds at least one block)\n"
    "  --split-seconds S      a set of files of at most S seconds of samples each\n"
    "  --trend                write a measurement trend log NAME.trend.csv beside the data\n"
    "  --help                 this text\n"
    "\n"
    "Once a second it shows the time, blocks, size, scan backlog, data rate, ring\n"
    "backlog, the free space of the file's disk and the time it lasts. Storing\n"
    "ends before the disk is full, with every whole block in the file.\n"
    "\n"
    "Exit codes: 0 done, 1 usage error, 2 the cards could not be found, opened\n"
    "or set up, 3 the file could not be written or streaming failed (read,\n"
    "disk, time-out, FIFO overflow, no memory, blocks missing from the\n"
    "recording, the trend log stopped).\n";

std::atomic<bool> interrupted{false};

void onSigint(int)
{
    interrupted = true;
}

struct Options {
    QString output;
    int format = contBinary;
    int cardCount = 1;             // used when cards is empty
    QStringList cards;             // descriptors
    std::vector<ViInt16> fcNumbers;
    QStringList channelSpecs{QStringLiteral("1")};
    double rate = 10000;
    int scans = 1024;
    bool timestamps = false;
    double duration = 0;           // seconds, 0 = no limit
    int blocks = 0;                // 0 = no limit
    contSplitRule split;
    bool trend = false;
};

bool usageError(const QString &text)
{
    std::fprintf(stderr, "sfprecord: %s\nTry 'sfprecord --help'.\n", qPrintable(text));
    return false;
}

bool parseCards(const QString &value, Options &o)
{
    bool ok = false;
    const int count = value.toInt(&ok);
    if (ok) {
        o.cardCount = count;
        return count >= 1 && count <= nv6842_MAX_CARDS;
    }
    static const QRegularExpression entry(QStringLiteral("^(.*[^:]):([1-9][0-9]*)$"));
    for (const QString &item : value.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = entry.match(item.trimmed());
        if (!m.hasMatch())
            return false;
        o.cards << m.captured(1);
        o.fcNumbers.push_back(ViInt16(m.captured(2).toInt()));
    }
    return o.cards.size() <= nv6842_MAX_CARDS;
}

// Returns false (with the message printed) on a usage error; sets *help for --help.
bool parseOptions(const QStringList &args, Options &o, bool *help)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            *help = true;
            return true;
        }
        if (a == QLatin1String("--timestamps")) {
            o.timestamps = true;
            continue;
        }
        if (a == QLatin1String("--trend")) {
            o.trend = true;
            continue;
        }
        if (i + 1 >= args.size())
            return usageError(QStringLiteral("%1 needs a value").arg(a));
        const QString v = args[++i];
        bool ok = true;
        if (a == QLatin1String("--output")) {
            o.output = v;
            ok = !v.isEmpty();
        } else if (a == QLatin1String("--format")) {
            const QStringList names = {QStringLiteral("bin"), QStringLiteral("csv"), QStringLiteral("csvmv")};
            o.format = int(names.indexOf(v));
            ok = o.format >= 0;
        } else if (a == QLatin1String("--cards")) {
            ok = parseCards(v, o);
        } else if (a == QLatin1String("--channels")) {
            o.channelSpecs = v.split(QLatin1Char(';'));
        } else if (a == QLatin1String("--rate")) {
            o.rate = v.toDouble(&ok);
            ok = ok && o.rate > 0;
        } else if (a == QLatin1String("--scans")) {
            o.scans = v.toInt(&ok);
            ok = ok && o.scans > 0;
        } else if (a == QLatin1String("--duration")) {
            o.duration = v.toDouble(&ok);
            ok = ok && o.duration > 0;
        } else if (a == QLatin1String("--blocks")) {
            o.blocks = v.toInt(&ok);
            ok = ok && o.blocks > 0;
        } else if (a == QLatin1String("--split-mb")) {
            const double mb = v.toDouble(&ok);
            ok = ok && mb > 0 && mb < 1e12;
            o.split.maxBytes = ok ? uint64_t(std::ceil(mb * double(1 << 20))) : 0;
        } else if (a == QLatin1String("--split-seconds")) {
            o.split.maxSeconds = v.toDouble(&ok);
            ok = ok && o.split.maxSeconds > 0 && std::isfinite(o.split.maxSeconds);
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(a));
        }
        if (!ok)
            return usageError(QStringLiteral("bad value for %1: '%2'").arg(a, v));
    }
    if (o.output.isEmpty())
        return usageError(QStringLiteral("--output PATH is required"));
    return true;
}

void printFailure(const char *call, ViStatus status)
{
    std::fprintf(stderr, "sfprecord: %s failed due to [%s]\n", call, qPrintable(gl_fc.errorMessage(status)));
}

// The first cardCount 6842 cards of the resource search, in its order.
bool findCards(Options &o)
{
    const QList<resourceInfo> found = searchResources(&gl_fc);
    for (const resourceInfo &r : found)
        for (int fc : r.fcNumbers)
            if (fc > 0 && o.cards.size() < o.cardCount) {
                o.cards << r.descriptor;
                o.fcNumbers.push_back(ViInt16(fc));
            }
    if (o.cards.size() < o.cardCount) {
        std::fprintf(stderr, "sfprecord: %d card(s) asked for, the search found %d.\n", o.cardCount,
                     int(o.cards.size()));
        return false;
    }
    return true;
}

class Progress
{
public:
    explicit Progress(const contParams_t &record) : params(record), terminal(isatty(STDERR_FILENO))
    {
        clock.start();
        health.sample(0, 0, 0, params.writer.freeBytes);
    }
    void update(bool force = false)
    {
        const qint64 ms = clock.elapsed();
        if (!force && ms < next)
            return;
        next = ms + 1000;
        health.sample(ms, bytesWritten, contRingBacklog(params), params.writer.freeBytes);
        std::fprintf(stderr, "%s%7.1f s  %8d blocks  %s  scan backlog %d  %s%s", terminal ? "\r" : "",
                     double(ms) / 1000.0, blocksAcquired.load(), qPrintable(acqFileSizeText(bytesWritten)),
                     gl_scanBacklog.load(), qPrintable(health.text()), terminal ? "   " : "\n");
        std::fflush(stderr);
    }
    void finish()
    {
        update(true);
        if (terminal)
            std::fputc('\n', stderr);
    }
    // Time since the last block arrived, in ms.
    qint64 sinceLastBlock()
    {
        if (blocksAcquired != lastBlocks || !lastBlockClock.isValid()) {
            lastBlocks = blocksAcquired;
            lastBlockClock.restart();
        }
        return lastBlockClock.elapsed();
    }

private:
    const contParams_t &params;
    recordingHealth health{contRingSlots};
    QElapsedTimer clock;
    qint64 next = 1000; // the first line after one second
    bool terminal;
    int32_t lastBlocks = -1;
    QElapsedTimer lastBlockClock;
};

int record(Options &o)
{
    if (o.cards.isEmpty() && !findCards(o))
        return exitDriver;
    QByteArray list = o.cards.join(QLatin1Char(',')).toLatin1();
    ViSession vi = VI_NULL;
    ViStatus status = gl_fc.multInit(list.data(), o.fcNumbers.data(), VI_TRUE, VI_TRUE, &vi);
    if (status < VI_SUCCESS) {
        printFailure("nv6842_multInit", status);
        return exitDriver;
    }
    struct Session {
        ViSession vi;
        ~Session() { gl_fc.multClose(vi); }
    } session{vi};

    const int cards = o.cards.size();
    acqSettings s;
    s.freq = o.rate;
    s.scans = o.scans;
    s.storage = true;
    s.contChecked = true;
    for (int k = 0; k < cards; ++k) {
        uint16_t mask = 0;
        const QString &spec = o.channelSpecs.size() == 1 ? o.channelSpecs[0] : o.channelSpecs.value(k, "0x0000");
        if (!parseChannelSpec(spec, &mask)) {
            usageError(QStringLiteral("bad channel list '%1'").arg(spec));
            return exitUsage;
        }
        s.chanMask.push_back(mask);
        for (int c = 0; c < 16; ++c) {
            // Enabled channels read the front panel at gain 1; the others are switched off.
            status = nv6842_setMultChanConfig(vi, ViInt16(k * 16 + c + 1), (mask >> c) & 1 ? 1 : 0, 1, VI_FALSE);
            if (status < VI_SUCCESS) {
                printFailure("nv6842_setMultChanConfig", status);
                return exitDriver;
            }
        }
    }
    if (s.chanMask[0] == 0) {
        std::fprintf(stderr, "sfprecord: at least one channel of the first card must be enabled.\n");
        return exitUsage;
    }

    bool setupFailed = false;
    const acqReporter report = [&](ViStatus st, const char *call) {
        std::fprintf(stderr, st < VI_SUCCESS ? "sfprecord: %s failed due to [%s]\n" : "sfprecord: %s: warning [%s]\n",
                     call, qPrintable(gl_fc.errorMessage(st)));
        setupFailed = setupFailed || st < VI_SUCCESS;
    };
    ViAddr record = nullptr;
    if (viGetAttribute(vi, VI_ATTR_USER_DATA, &record) == VI_SUCCESS && record)
        s.lxiCarrier = static_cast<const multEnv_t *>(record)->interfaceType == VI_INTF_TCPIP;
    s.fixedSynch = acqFixedSynch(vi, s, report);
    acqProgramCards(vi, s, report);
    if (setupFailed)
        return exitDriver;

    contParams_t params;
    contStreamSettings settings;
    settings.chanMask = s.chanMask;
    settings.freq = o.rate;
    settings.scans = o.scans;
    settings.format = o.format;
    settings.timestamps = o.timestamps;
    settings.fileName = o.output;
    settings.split = o.split;
    settings.trendLog = o.trend;
    switch (params.prepare(settings)) {
    case contPrepareResult::Ok:
        break;
    case contPrepareResult::NoMemory:
        std::fprintf(stderr, "sfprecord: %s\n", qPrintable(params.errorText()));
        return exitStreaming;
    case contPrepareResult::CannotOpen:
        std::fprintf(stderr, "sfprecord: %s\n", qPrintable(contOpenFailedText(params.openPath, params.openError)));
        return exitStreaming;
    case contPrepareResult::BadSplit:
        usageError(params.errorText());
        return exitUsage;
    }
    // A duration is recorded as the whole blocks that cover it, read to the
    // last one however far the callbacks lag behind the card.
    int limit = o.blocks;
    if (o.duration > 0) {
        const double covering = std::ceil(o.duration * o.rate / o.scans - 1e-9);
        const int byDuration = int(std::min(covering, double(std::numeric_limits<int>::max())));
        limit = limit > 0 ? std::min(limit, byDuration) : byDuration;
    }
    params.blockLimit = limit;
    params.startStorage();
    contArmCallbacks();
    status = nv6842_startMultAcquisitionEx(vi, o.scans, dataCallback, &params);
    if (status < VI_SUCCESS) {
        report(status, "nv6842_startMultAcquisitionEx(d_vi, scans, callback, (ViAddr)&contParams)");
        contEndStreaming(params, vi, acqReporter());
        return exitDriver;
    }

    Progress progress(params);
    QString hardwareError;
    bool triggered = false;
    bool trendReported = false;
    // Blocks stopped coming without an error bit: two blocks' time and ten
    // seconds, more than a busy machine holds a callback back.
    const qint64 silenceMs = qint64(2000.0 * o.scans / o.rate) + 10000;
    for (;;) {
        if (acqPollStage(vi, report) < VI_SUCCESS)
            break;
        // Without a trigger source the card waits for a software trigger.
        if (!triggered && gl_state == nv6842_STAGE_READY) {
            acqSoftwareTrigger(vi, report);
            triggered = true;
        }
        bool fatal = false;
        const QString errorText = acqErrorText(gl_errors, &fatal);
        if (fatal) {
            hardwareError = errorText;
            break;
        }
        if (params.trend.failed() && !trendReported) {
            // The recording goes on without it.
            std::fprintf(stderr, "%ssfprecord: %s\n", isatty(STDERR_FILENO) ? "\n" : "",
                         params.trend.errorText().c_str());
            trendReported = true;
        }
        if (interrupted || params.failed() || (limit > 0 && blocksAcquired >= limit)
            || (triggered && progress.sinceLastBlock() > silenceMs))
            break;
        progress.update();
        QThread::msleep(50);
    }
    const QString streamError = contEndStreaming(params, vi, report);
    progress.finish();
    const QString error = hardwareError.isEmpty() ? streamError : hardwareError;
    if (!error.isEmpty()) {
        if (error == streamError && params.diskAlmostFull)
            std::fprintf(stderr, "sfprecord: %s\n", qPrintable(error));
        else
            std::fprintf(stderr, "sfprecord: streaming failed: %s\n", qPrintable(error));
        return exitStreaming;
    }
    // After finish() the count is final; a Ctrl-C ends a recording early.
    const int64_t stored = params.blocksStored;
    if (!interrupted && limit > 0 && stored < limit) {
        std::fprintf(stderr, "sfprecord: blocks are missing: the recording holds %lld of its %d blocks.\n",
                     static_cast<long long>(stored), limit);
        return exitStreaming;
    }
    if (params.trend.failed()) {
        if (!trendReported)
            std::fprintf(stderr, "sfprecord: %s\n", params.trend.errorText().c_str());
        return exitStreaming;
    }
    QString written = o.output;
    if (o.split.active()) {
        const std::string path = QFile::encodeName(o.output).toStdString();
        const int files = params.writer.fileNumber;
        written = QStringLiteral("%1 files %2 ... %3")
                      .arg(files)
                      .arg(QFile::decodeName(fileSetMemberPath(path, 1).c_str()),
                           QFile::decodeName(fileSetMemberPath(path, files).c_str()));
    }
    std::fprintf(stderr, "sfprecord: %d blocks, %llu bytes written to %s\n", blocksAcquired.load(),
                 static_cast<unsigned long long>(bytesWritten.load()), qPrintable(written));
    return exitOk;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    Options options;
    bool help = false;
    if (!parseOptions(args, options, &help))
        return exitUsage;
    if (help) {
        std::fputs(usageText, stdout);
        return exitOk;
    }
    struct sigaction action = {};
    action.sa_handler = onSigint;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    return record(options);
}
