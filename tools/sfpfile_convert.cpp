// sfpfile csv, npy and hdf5: a stored file, or a range of its blocks, to
// another format, block by block in constant memory.
#include "atomicoutput.h"
#include "datafile_writer.h"
#include "exports.h"
#include "sfpfile_common.h"
#include "storedfile.h"
#include "storedfile_blockio.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct ConvertOptions
{
    const char *input = nullptr;
    const char *output = nullptr;
    bool millivolts = false;
    int timestamps = -1; // -1: as the file has them
    bool compress = false;
    uint64_t first = 0; // 1-based, 0: from the first block
    uint64_t last = 0;  // 1-based, 0: to the last block
};

enum Format { Csv, Npy, Hdf5 };

// Returns 0 when the options were understood, else the exit status.
int parseOptions(Format format, int argc, char **argv, ConvertOptions *options)
{
    std::vector<const char *> positional;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (format == Csv && argument == "--mv")
            options->millivolts = true;
        else if (format == Csv && argument == "--timestamps")
            options->timestamps = 1;
        else if (format == Csv && argument == "--no-timestamps")
            options->timestamps = 0;
        else if (format == Hdf5 && argument == "--compress")
            options->compress = true;
        else if (argument == "--blocks") {
            if (i + 1 >= argc || !parseBlockRange(argv[++i], &options->first, &options->last))
                return usageError("--blocks needs FIRST:LAST, block numbers from 1");
        } else if (argument.compare(0, 9, "--blocks=") == 0) {
            if (!parseBlockRange(argv[i] + 9, &options->first, &options->last))
                return usageError("--blocks needs FIRST:LAST, block numbers from 1");
        } else if (argument.size() > 1 && argument[0] == '-')
            return usageError("unknown option '" + argument + "'");
        else
            positional.push_back(argv[i]);
    }
    if (positional.size() != 2)
        return usageError(std::string(argv[1]) + " needs an input FILE and an output OUT");
    options->input = positional[0];
    options->output = positional[1];
    if (format != Csv && std::strcmp(options->output, "-") == 0)
        return usageError(std::string(argv[1]) + " writes to a file, not to standard output");
    if (sameFile(options->input, options->output)
        || (format == Npy && sameFile(options->input, npyTimePath(options->output).c_str())))
        return usageError("OUT is the input file itself");
    installInterruptHandlers();
    return 0;
}

bool openStoredFile(const char *path, StoredFileInfo_t *info, uint64_t *trailing)
{
    if (readStoredFileHeaderQuiet(path, info, trailing) == 0)
        return true;
    printError("cannot read '" + std::string(path) + "': " + storedFileUnreadableReason(path));
    return false;
}

int convertToCsv(const ConvertOptions &options)
{
    StoredFileInfo_t info;
    uint64_t trailing = 0;
    if (!openStoredFile(options.input, &info, &trailing))
        return toolExitInput;
    const std::string input = options.input;
    if (trailing)
        printError("warning: '" + input + "' ends in a partial block of " + std::to_string(trailing)
                   + " bytes, which is left out");
    if (storedMaskedChannelCount(info) != info.channelCount) {
        printError("cannot convert '" + input + "': its channel masks name "
                   + std::to_string(storedMaskedChannelCount(info)) + " channels, its blocks hold "
                   + std::to_string(info.channelCount));
        return toolExitInput;
    }
    const bool stamps = options.timestamps < 0 ? info.hasTimestamps != 0 : options.timestamps == 1;
    if (stamps && !storedFileHasStamps(info)) {
        printError("'" + input + "' has no time stamps");
        return toolExitUsage;
    }
    const uint64_t first = options.first ? options.first : 1;
    const uint64_t last = options.last ? options.last : info.blockCount;
    if ((options.first || options.last) && (first > last || last > info.blockCount)) {
        printError("blocks " + std::to_string(first) + " to " + std::to_string(last) + " asked for, '" + input
                   + "' has blocks 1 to " + std::to_string(info.blockCount));
        return toolExitUsage;
    }

    FILE *file = openStoredFileStream(options.input);
    if (!file) {
        printError("cannot read '" + input + "': " + std::strerror(errno));
        return toolExitInput;
    }
    std::vector<char> inputBuffer(1 << 20);
    setvbuf(file, inputBuffer.data(), _IOFBF, inputBuffer.size());
    AtomicOutput output;
    std::string error;
    if (!output.open(options.output, AtomicOutput::Devices | AtomicOutput::StandardOutput, &error)) {
        std::fclose(file);
        printError(error);
        return toolExitOutput;
    }
    FILE *out = output.stream();
    std::vector<char> outputBuffer(1 << 20);
    setvbuf(out, outputBuffer.data(), _IOFBF, outputBuffer.size());

    const CsvUnits units = options.millivolts ? CsvUnits::Millivolts : CsvUnits::Volts;
    const StoredLayout layout{info.rateHz, info.scansPerBlock, info.fcCount, info.channelMask, stamps};
    const size_t scans = size_t(info.scansPerBlock);
    const size_t values = storedBlockValueCount(info);
    std::vector<double> volts(values);
    std::vector<float> floats(info.isReal64 ? 0 : values);
    std::vector<int32_t> seconds(stamps ? scans : 0), nanos(stamps ? scans : 0);
    void *samples = info.isReal64 ? static_cast<void *>(volts.data()) : static_cast<void *>(floats.data());

    const std::string writeFailed = "cannot write '" + std::string(options.output) + "'";
    int status = toolExitOk;
    if (!writeCsvHeader(out, units, layout)) {
        printError(writeFailed + ": " + std::strerror(errno));
        status = toolExitOutput;
    }
    Progress progress(last - first + 1);
    for (uint64_t block = first; status == toolExitOk && block <= last && info.blockCount; ++block) {
        if (sfpfileInterrupted) {
            printError("interrupted");
            status = toolExitOutput;
            break;
        }
        if (readStoredBlockFrom(file, info, int64_t(block - 1), samples, stamps ? seconds.data() : nullptr,
                                stamps ? nanos.data() : nullptr)
            != 1) {
            printError("cannot read block " + std::to_string(block) + " of '" + input + "'");
            status = toolExitInput;
            break;
        }
        if (!info.isReal64)
            storedSamplesToVolts(info, samples, volts.data(), values);
        if (!writeCsvBlock(out, units, volts.data(), info.channelCount, scans, stamps ? seconds.data() : nullptr,
                           stamps ? nanos.data() : nullptr)) {
            printError(writeFailed + ": " + std::strerror(errno));
            status = toolExitOutput;
        }
        progress.update(block - first + 1);
    }
    std::fclose(file);
    if (status == toolExitOk && !(output.finish(&error) && output.publish(&error))) {
        printError(error);
        status = toolExitOutput;
    }
    return status;
}

int exportTo(Format format, const ConvertOptions &options)
{
    ExportRequest request;
    request.input = options.input;
    request.output = options.output;
    request.firstBlock = options.first;
    request.lastBlock = options.last;
    request.compress = options.compress;
    Progress progress(0);
    request.progress = [&](uint64_t done, uint64_t total) {
        progress.update(done, total);
        return !sfpfileInterrupted;
    };
    const ExportResult result = format == Npy ? exportStoredFileToNpy(request) : exportStoredFileToHdf5(request);
    if (!result.warning.empty())
        printError("warning: " + result.warning);
    if (result.status != ExportStatus::Ok)
        printError(result.message);
    return int(result.status);
}

} // namespace

int csvCommand(int argc, char **argv)
{
    ConvertOptions options;
    if (const int status = parseOptions(Csv, argc, argv, &options))
        return status;
    return convertToCsv(options);
}

int npyCommand(int argc, char **argv)
{
    ConvertOptions options;
    if (const int status = parseOptions(Npy, argc, argv, &options))
        return status;
    return exportTo(Npy, options);
}

int hdf5Command(int argc, char **argv)
{
    ConvertOptions options;
    if (const int status = parseOptions(Hdf5, argc, argv, &options))
        return status;
    return exportTo(Hdf5, options);
}
