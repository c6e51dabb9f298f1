#include "nv6842fp_startup.h"

#include "nv6842fp_globals.h"
#include "nv9471fp_messages.h"

#include <QFile>
#include <cstring>

namespace {
const int defaultDemoCardCount = 2;

// A file whose masks do not add up to its channel count would be shown with
// channels shifted into one another; one without cards cannot be shown at all.
bool headerDescribesBlocks(const StoredFileInfo_t &info)
{
    return info.fcCount >= 1 && info.fcCount <= 64
           && storedMaskedChannelCount(info) == info.channelCount;
}

void reportUnreadable(const QString &path)
{
    sfp::MessageRequest request;
    request.icon = QMessageBox::Critical;
    request.title = QStringLiteral("Trellin 6842 SFP");
    request.text = QStringLiteral("Cannot read '%1'.").arg(path);
    request.buttons = QMessageBox::Ok;
    sfp::ask(request);
    sfp::endProcess(-1);
}
} // namespace

StartupArguments interpretArguments(const QStringList &arguments)
{
    StartupArguments result;
    result.acperf = arguments.mid(1).contains(QStringLiteral("-acperf"));
    if (arguments.size() < 2)
        return result;
    const QString &first = arguments.at(1);
    if (first == QLatin1String("storeCalib")) {
        // The argument count is then taken as 1: nothing behind the word is a file name.
        result.storeCalib = true;
        return result;
    }
    if (first != QLatin1String("-acperf")) {
        result.fileGiven = true;
        result.filePath = first;
    }
    return result;
}

void clearStoredFile()
{
    std::memset(&StoredFileInfo, 0, sizeof StoredFileInfo);
    demoCardCount = defaultDemoCardCount;
}

bool openStoredFile(const QString &path)
{
    clearStoredFile();
    const QByteArray nativePath = QFile::encodeName(path);
    if (readStoredFileHeader(nativePath.constData(), &StoredFileInfo) != 0) {
        clearStoredFile();
        reportUnreadable(path);
        return false;
    }
    if (StoredFileInfo.dataBytes == 0) {
        clearStoredFile(); // a header-only file: start as without a file
        return true;
    }
    // Data that holds not one whole block, or blocks the header cannot
    // describe, would only fail later, in the middle of viewing.
    if (StoredFileInfo.blockCount == 0 || !headerDescribesBlocks(StoredFileInfo)) {
        clearStoredFile();
        reportUnreadable(path);
        return false;
    }
    return true;
}
