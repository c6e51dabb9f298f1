#include "nv6842fp_startup.h"

#include "nv6842_fc.h"
#include "nv6842fp_globals.h"
#include "nv9471.h"
#include "nv9471fp_messages.h"

#include <QFile>
#include <qwt_global.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
const int defaultDemoCardCount = 2;

// The same lines as the "Command line" section of README.md.
const char summaryText[] =
    "nv6842fp                          normal start: connection dialog, real cards or demo mode\n"
    "nv6842fp storeCalib               also offers \"Store calibration coefs to EEPROM\"\n"
    "nv6842fp -acperf                  also offers sine fitting and the measurement panel\n"
    "nv6842fp FILE.bin6842 [-acperf]   offline viewer of a stored binary file\n"
    "nv6842fp -h | --help              this summary\n"
    "nv6842fp --version                versions of the program, Qt, Qwt, card driver and common library\n";

// Why the blocks of a readable file cannot be shown; empty when they can.
// A file whose masks do not add up to its channel count would be shown with
// channels shifted into one another; one without cards cannot be shown at all.
std::string unshowableReason(const StoredFileInfo_t &info)
{
    if (info.blockCount == 0)
        return "less than one whole block of data";
    if (info.fcCount < 1 || info.fcCount > storedMaxCards)
        return "no function card in the header";
    if (storedMaskedChannelCount(info) != info.channelCount)
        return "the channel masks name " + std::to_string(storedMaskedChannelCount(info))
               + " channels, the blocks hold " + std::to_string(info.channelCount);
    if (storedBlockValueCount(info) > waveformBufferValues)
        return "blocks of " + std::to_string(storedBlockValueCount(info))
               + " values, more than the panel's " + std::to_string(waveformBufferValues);
    return std::string();
}

// The reason goes to standard output, for whoever started the program from
// a terminal or a script, and on a line of its own below the sentence.
void reportUnreadable(const QString &path, const std::string &reason)
{
    std::printf("Cannot read '%s': %s\n", QFile::encodeName(path).constData(), reason.c_str());
    std::fflush(stdout);
    QString reasonLine = QString::fromLocal8Bit(reason.c_str());
    if (!reasonLine.isEmpty())
        reasonLine[0] = reasonLine[0].toUpper();
    sfp::MessageRequest request;
    request.icon = QMessageBox::Critical;
    request.title = QStringLiteral("Trellin 6842 SFP");
    request.text = QStringLiteral("Cannot read '%1'.").arg(path) + QLatin1Char('\n') + reasonLine;
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
    if (first == QLatin1String("-h") || first == QLatin1String("--help")) {
        result.help = true;
        return result;
    }
    if (first == QLatin1String("--version")) {
        result.version = true;
        return result;
    }
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

QString commandLineSummary()
{
    return QString::fromLatin1(summaryText);
}

QString versionReport()
{
    QString driver = gl_fc.driverRevision();
    if (driver.isEmpty())
        driver = QStringLiteral("unknown");
    ViChar common[256] = {};
    QString library = QStringLiteral("unknown");
    if (nv9471_revision(common) >= 0) {
        common[sizeof common - 1] = '\0';
        library = QString::fromLatin1(common);
    }
    return QStringLiteral("Trellin 6842 Soft Front Panel " SFP_PROGRAM_VERSION "\n"
                          "Qt: %1\n"
                          "Qwt: " QWT_VERSION_STR "\n"
                          "Card driver (nv6842): %2\n"
                          "Common library (nv9471): %3\n")
        .arg(QString::fromLatin1(qVersion()), driver, library);
}

bool printRequestedInformation(const StartupArguments &arguments)
{
    if (!arguments.help && !arguments.version)
        return false;
    const QString text = arguments.help ? commandLineSummary() : versionReport();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    return true;
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
        reportUnreadable(path, storedFileUnreadableReason(nativePath.constData()));
        return false;
    }
    if (StoredFileInfo.dataBytes == 0) {
        clearStoredFile(); // a header-only file: start as without a file
        return true;
    }
    // Data that holds not one whole block, blocks the header cannot describe
    // or blocks too big for the panel's buffers would only fail later, in
    // the middle of viewing.
    const std::string reason = unshowableReason(StoredFileInfo);
    if (!reason.empty()) {
        clearStoredFile();
        reportUnreadable(path, reason);
        return false;
    }
    return true;
}
