// sfpfile: stored data files without a display. Shows a binary file's header
// and converts a binary file, or a range of its blocks, to the program's CSV
// layout, streaming block by block in constant memory.
#include "datafile_writer.h"
#include "storedfile.h"
#include "storedfile_blockio.h"

#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

const char usageText[] =
    "Usage: sfpfile info FILE\n"
    "       sfpfile csv FILE OUT [--mv] [--timestamps | --no-timestamps] [--blocks FIRST:LAST]\n"
    "       sfpfile --help\n"
    "\n"
    "Stored data files (.bin6842) of the Trellin 6842 Soft Front Panel.\n"
    "\n"
    "  info FILE   Print the file's header as the panel reads it, with block\n"
    "              size and block count.\n"
    "  csv FILE OUT\n"
    "              Convert the file to CSV, in the same layout the panel writes\n"
    "              when it streams to a CSV file. OUT \"-\" writes to standard\n"
    "              output. Otherwise OUT appears only once the conversion has\n"
    "              succeeded; a failed or interrupted conversion leaves no OUT.\n"
    "    --mv             values in millivolts (\"Units: mV\", three decimals);\n"
    "                     default volts (\"Units: V\", six decimals)\n"
    "    --timestamps     include the time-stamp column (the file must have time\n"
    "                     stamps); this is the default when it has them\n"
    "    --no-timestamps  leave the time-stamp column out\n"
    "    --blocks FIRST:LAST\n"
    "                     convert blocks FIRST to LAST only, counted from 1 as on\n"
    "                     the panel's block slider, both included; \"FIRST:\" runs\n"
    "                     to the last block, \":LAST\" starts at the first, a single\n"
    "                     number converts one block\n"
    "\n"
    "Exit status: 0 success, 1 unreadable file or failed conversion, 2 usage error.\n"
    "Progress is shown on standard error when it is a terminal.\n";

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int)
{
    interrupted = 1;
}

int usageError(const char *message)
{
    std::fprintf(stderr, "sfpfile: %s\nTry 'sfpfile --help'.\n", message);
    return 2;
}

bool openStoredFile(const char *path, StoredFileInfo_t *info, uint64_t *trailing)
{
    if (readStoredFileHeaderQuiet(path, info, trailing) == 0)
        return true;
    std::fprintf(stderr, "sfpfile: cannot read '%s': %s\n", path, storedFileUnreadableReason(path).c_str());
    return false;
}

int showInfo(const char *path)
{
    StoredFileInfo_t info;
    uint64_t trailing = 0;
    if (!openStoredFile(path, &info, &trailing))
        return 1;
    std::printf("File:             %s\n", info.path);
    std::printf("Sample format:    %s\n", info.isReal64 ? "ViReal64 (8-byte doubles)" : "4-byte floats (no FORMAT line)");
    std::printf("Sampling rate:    %f Hz\n", info.rateHz);
    std::printf("Channels:         %u\n", info.channelCount);
    std::printf("Scans per block:  %d\n", info.scansPerBlock);
    std::printf("Function cards:   %d\n", info.fcCount);
    for (int card = 0; card < info.fcCount; ++card) {
        std::printf("  FC%-2d mask:      0x%04x", card + 1, info.channelMask[card]);
        const char *separator = "  (";
        for (int channel = 0; channel < 16; ++channel)
            if (info.channelMask[card] & (1u << channel)) {
                std::printf("%sCH%d", separator, channel + 1);
                separator = ", ";
            }
        std::printf("%s\n", info.channelMask[card] ? ")" : "  (none)");
    }
    std::printf("Time offset:      %f s\n", info.timeOffset);
    std::printf("Time stamps:      %s\n", info.hasTimestamps ? "yes" : "no");
    std::printf("Header bytes:     %llu\n", static_cast<unsigned long long>(info.dataOffset));
    std::printf("Data bytes:       %llu\n", static_cast<unsigned long long>(info.dataBytes));
    std::printf("Block size:       %llu bytes (samples %llu, time stamps %llu)\n",
                static_cast<unsigned long long>(info.blockBytes), static_cast<unsigned long long>(info.sampleBytes),
                static_cast<unsigned long long>(2 * info.stampBytes));
    std::printf("Blocks:           %llu\n", static_cast<unsigned long long>(info.blockCount));
    if (info.rateHz > 0)
        std::printf("Duration:         %f s\n", double(info.blockCount) * info.scansPerBlock / info.rateHz);
    if (trailing)
        std::printf("Warning:          %llu bytes behind the last whole block (a partial block, never shown)\n",
                    static_cast<unsigned long long>(trailing));
    if (storedMaskedChannelCount(info) != info.channelCount)
        std::printf("Warning:          the channel masks name %u channels, the blocks hold %u\n",
                    storedMaskedChannelCount(info), info.channelCount);
    return 0;
}

struct CsvOptions
{
    const char *input = nullptr;
    const char *output = nullptr;
    bool millivolts = false;
    int timestamps = -1; // -1: as the file has them
    long long first = 0; // 1-based, 0: from the first block
    long long last = 0;  // 1-based, 0: to the last block
};

bool parseBlockNumber(const std::string &text, long long *number)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18)
        return false;
    *number = std::atoll(text.c_str());
    return *number >= 1;
}

bool parseBlockRange(const char *text, CsvOptions *options)
{
    const std::string range = text;
    const size_t colon = range.find(':');
    if (colon == std::string::npos) {
        if (!parseBlockNumber(range, &options->first))
            return false;
        options->last = options->first;
        return true;
    }
    const std::string from = range.substr(0, colon);
    const std::string to = range.substr(colon + 1);
    if (!from.empty() && !parseBlockNumber(from, &options->first))
        return false;
    if (!to.empty() && !parseBlockNumber(to, &options->last))
        return false;
    return true;
}

// Shows how far the conversion has come, a few times a second at most.
class Progress
{
public:
    explicit Progress(uint64_t total) : total(total), shown(isatty(STDERR_FILENO)) {}
    void update(uint64_t done)
    {
        if (!shown)
            return;
        const std::time_t now = std::time(nullptr);
        if (now == lastShown && done != total)
            return;
        lastShown = now;
        std::fprintf(stderr, "\rsfpfile: block %llu of %llu (%d%%)", static_cast<unsigned long long>(done),
                     static_cast<unsigned long long>(total), total ? int(done * 100 / total) : 100);
    }
    ~Progress()
    {
        if (shown)
            std::fprintf(stderr, "\n");
    }

private:
    uint64_t total;
    bool shown;
    std::time_t lastShown = 0;
};

// The output: a hidden temporary file beside OUT, renamed to OUT only when
// everything was written, so that a partial CSV never looks complete.
class CsvOutput
{
public:
    ~CsvOutput()
    {
        if (file && file != stdout)
            std::fclose(file);
        if (!temporaryPath.empty())
            unlink(temporaryPath.c_str());
    }

    bool open(const char *path)
    {
        if (std::strcmp(path, "-") == 0) {
            file = stdout;
            return true;
        }
        finalPath = path;
        const size_t slash = finalPath.rfind('/');
        const std::string directory = slash == std::string::npos ? std::string() : finalPath.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
        std::string pattern = directory + "." + name + ".XXXXXX.part";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const int fd = mkstemps(buffer.data(), 5);
        if (fd < 0)
            return failed("cannot create a file beside", path);
        temporaryPath = buffer.data();
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask); // as if OUT had been created directly
        file = fdopen(fd, "w");
        if (!file) {
            close(fd);
            return failed("cannot write", path);
        }
        return true;
    }

    FILE *stream() const { return file; }

    bool commit()
    {
        if (file == stdout)
            return std::fflush(stdout) == 0 || failed("cannot write", "standard output");
        const bool closed = std::fclose(file) == 0;
        file = nullptr;
        if (!closed)
            return failed("cannot write", finalPath.c_str());
        if (std::rename(temporaryPath.c_str(), finalPath.c_str()) != 0)
            return failed("cannot create", finalPath.c_str());
        temporaryPath.clear();
        return true;
    }

private:
    bool failed(const char *what, const char *path)
    {
        std::fprintf(stderr, "sfpfile: %s '%s': %s\n", what, path, std::strerror(errno));
        return false;
    }

    FILE *file = nullptr;
    std::string finalPath;
    std::string temporaryPath;
};

int convertToCsv(const CsvOptions &options)
{
    StoredFileInfo_t info;
    uint64_t trailing = 0;
    if (!openStoredFile(options.input, &info, &trailing))
        return 1;
    if (trailing)
        std::fprintf(stderr, "sfpfile: warning: '%s' ends in a partial block of %llu bytes, which is left out\n",
                     options.input, static_cast<unsigned long long>(trailing));
    if (storedMaskedChannelCount(info) != info.channelCount) {
        std::fprintf(stderr, "sfpfile: cannot convert '%s': its channel masks name %u channels, its blocks hold %u\n",
                     options.input, storedMaskedChannelCount(info), info.channelCount);
        return 1;
    }
    const bool stamps = options.timestamps < 0 ? info.hasTimestamps != 0 : options.timestamps == 1;
    if (stamps && !storedFileHasStamps(info)) {
        std::fprintf(stderr, "sfpfile: '%s' has no time stamps\n", options.input);
        return 1;
    }
    const uint64_t first = options.first ? uint64_t(options.first) : 1;
    const uint64_t last = options.last ? uint64_t(options.last) : info.blockCount;
    if ((options.first || options.last) && (first > last || last > info.blockCount)) {
        std::fprintf(stderr, "sfpfile: blocks %llu to %llu asked for, '%s' has blocks 1 to %llu\n",
                     static_cast<unsigned long long>(first), static_cast<unsigned long long>(last), options.input,
                     static_cast<unsigned long long>(info.blockCount));
        return 1;
    }

    FILE *input = openStoredFileStream(options.input);
    if (!input) {
        std::fprintf(stderr, "sfpfile: cannot read '%s': %s\n", options.input, std::strerror(errno));
        return 1;
    }
    std::vector<char> inputBuffer(1 << 20);
    setvbuf(input, inputBuffer.data(), _IOFBF, inputBuffer.size());
    CsvOutput output;
    if (!output.open(options.output)) {
        std::fclose(input);
        return 1;
    }
    std::vector<char> outputBuffer(1 << 20);
    setvbuf(output.stream(), outputBuffer.data(), _IOFBF, outputBuffer.size());

    const CsvUnits units = options.millivolts ? CsvUnits::Millivolts : CsvUnits::Volts;
    const StoredLayout layout{info.rateHz, info.scansPerBlock, info.fcCount, info.channelMask, stamps};
    const size_t scans = size_t(info.scansPerBlock);
    const size_t values = storedBlockValueCount(info);
    std::vector<double> volts(values);
    std::vector<float> floats(info.isReal64 ? 0 : values);
    std::vector<int32_t> seconds(stamps ? scans : 0), nanos(stamps ? scans : 0);
    void *samples = info.isReal64 ? static_cast<void *>(volts.data()) : static_cast<void *>(floats.data());

    bool ok = writeCsvHeader(output.stream(), units, layout);
    if (!ok)
        std::fprintf(stderr, "sfpfile: cannot write '%s': %s\n", options.output, std::strerror(errno));
    Progress progress(last - first + 1);
    for (uint64_t block = first; ok && block <= last && info.blockCount; ++block) {
        if (interrupted) {
            std::fprintf(stderr, "sfpfile: interrupted\n");
            ok = false;
            break;
        }
        if (readStoredBlockFrom(input, info, int64_t(block - 1), samples, stamps ? seconds.data() : nullptr,
                                stamps ? nanos.data() : nullptr)
            != 1) {
            std::fprintf(stderr, "sfpfile: cannot read block %llu of '%s'\n", static_cast<unsigned long long>(block),
                         options.input);
            ok = false;
            break;
        }
        if (!info.isReal64)
            storedSamplesToVolts(info, samples, volts.data(), values);
        if (!writeCsvBlock(output.stream(), units, volts.data(), info.channelCount, scans,
                           stamps ? seconds.data() : nullptr, stamps ? nanos.data() : nullptr)) {
            std::fprintf(stderr, "sfpfile: cannot write '%s': %s\n", options.output, std::strerror(errno));
            ok = false;
        }
        progress.update(block - first + 1);
    }
    std::fclose(input);
    return ok && output.commit() ? 0 : 1;
}

int csvCommand(int argc, char **argv)
{
    CsvOptions options;
    std::vector<const char *> positional;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--mv")
            options.millivolts = true;
        else if (argument == "--timestamps")
            options.timestamps = 1;
        else if (argument == "--no-timestamps")
            options.timestamps = 0;
        else if (argument == "--blocks") {
            if (i + 1 >= argc || !parseBlockRange(argv[++i], &options))
                return usageError("--blocks needs FIRST:LAST, block numbers from 1");
        } else if (argument.compare(0, 9, "--blocks=") == 0) {
            if (!parseBlockRange(argv[i] + 9, &options))
                return usageError("--blocks needs FIRST:LAST, block numbers from 1");
        } else if (argument.size() > 1 && argument[0] == '-')
            return usageError(("unknown option '" + argument + "'").c_str());
        else
            positional.push_back(argv[i]);
    }
    if (positional.size() != 2)
        return usageError("csv needs an input FILE and an output OUT");
    options.input = positional[0];
    options.output = positional[1];
    struct stat in, out;
    if (stat(options.input, &in) == 0 && stat(options.output, &out) == 0 && in.st_dev == out.st_dev
        && in.st_ino == out.st_ino)
        return usageError("OUT is the input file itself");

    struct sigaction action = {};
    action.sa_handler = onSignal;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaction(signal, &action, nullptr);
    // Past a file size limit, let the write fail and the partial output be removed.
    std::signal(SIGXFSZ, SIG_IGN);
    return convertToCsv(options);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usageError("no command given");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (command == "info") {
        if (argc != 3)
            return usageError("info needs exactly one FILE");
        return showInfo(argv[2]);
    }
    if (command == "csv")
        return csvCommand(argc, argv);
    return usageError(("unknown command '" + command + "'").c_str());
}
