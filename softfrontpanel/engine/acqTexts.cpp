#include "acqTexts.h"

const char *const stateNames[8] = {"Idle",  "HW Arm",   "DDS Upd",   "Sync",
                                   "Ready", "Pre-Trig", "Post-Trig", "End"};

QString acqStageText(int state)
{
    if (state >= 0 && state < 8)
        return QString::fromLatin1(stateNames[state]);
    // The driver defines no other codes; show the number rather than nothing.
    return QStringLiteral("Stage %1").arg(state);
}

uint32_t acqStageRgba(int state, uint16_t errors)
{
    // Qt::black, gray, darkMagenta, magenta, darkYellow, (255, 150, 50), green, blue.
    static const uint32_t colours[8] = {0xFF000000u, 0xFFA0A0A4u, 0xFF800080u, 0xFFFF00FFu,
                                        0xFF808000u, 0xFFFF9632u, 0xFF00FF00u, 0xFF0000FFu};
    if (errors != 0)
        return 0xFFFF0000u;
    return state >= 0 && state < 8 ? colours[state] : colours[0];
}

QString acqErrorText(uint16_t errors, bool *fatal)
{
    const bool stop = (errors & ~1u) != 0;
    if (fatal)
        *fatal = stop;
    if (stop) {
        if (errors & 0x0040u)
            return QStringLiteral("FIFO overflow");
        if (errors & 0x0080u)
            return QStringLiteral("FIFO underflow");
        return QString::asprintf("Hardware error %04X", unsigned(errors));
    }
    if (errors & 1u)
        return QStringLiteral("Input Signal Out Of Range");
    return QString();
}

QString acqFileSizeText(uint64_t bytes)
{
    const double b = double(bytes);
    if (bytes >= (uint64_t(1) << 30))
        return QString::asprintf("%.2f GB", b / double(uint64_t(1) << 30));
    if (bytes >= (uint64_t(1) << 20))
        return QString::asprintf("%.1f MB", b / double(uint64_t(1) << 20));
    if (bytes < 1024)
        return QString::asprintf("%d B", int(bytes));
    return QString::asprintf("%.1f kB", b / 1024.0);
}

QString acqStorageInfoText(uint64_t bytes, int32_t scanBacklog)
{
    return QStringLiteral("File size: %1, scan backlog: %2").arg(acqFileSizeText(bytes)).arg(scanBacklog);
}

bool acqBacklogHigh(int32_t scanBacklog)
{
    return scanBacklog > 16384;
}

QString acqStoringStoppedText(int64_t blocks, uint64_t bytes)
{
    return QStringLiteral("Storing stopped: %1 blocks (%2) are in the file.").arg(blocks).arg(acqFileSizeText(bytes));
}

QString acqDiskAlmostFullText(int64_t blocks, uint64_t bytes)
{
    return QStringLiteral("The disk is almost full: storing stopped after %1 blocks (%2).")
        .arg(blocks)
        .arg(acqFileSizeText(bytes));
}

QString acqOverflowLostText(bool storing, int64_t blocksInFile)
{
    if (!storing)
        return QStringLiteral("Acquired data was lost in a FIFO overflow.");
    return QStringLiteral("Acquired data was lost in a FIFO overflow: the file holds the %1 blocks written before it.")
        .arg(blocksInFile);
}

QString acqShortBlockText(int32_t got, int32_t scans)
{
    return QStringLiteral("%1 of %2 scans were read").arg(got).arg(scans);
}

QString acqSetupFailedText()
{
    return QStringLiteral("Not started: the set-up failed");
}

QString acqStartTimePassedText()
{
    return QStringLiteral("The PTP alarm time has already passed: the acquisition was not started. "
                          "Set a start time in the future.");
}
