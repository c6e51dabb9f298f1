// sfpfile: stored data files without a display. Shows a binary file's header,
// converts a file, or a range of its blocks, to CSV, NumPy or HDF5, streaming
// block by block in constant memory, and verifies recordings.
#include "sfpfile_common.h"
#include "storedfile.h"

#include <cstdio>
#include <string>

namespace {

const char usageText[] =
    "Usage: sfpfile info FILE\n"
    "       sfpfile csv FILE OUT [--mv] [--timestamps | --no-timestamps] [--blocks FIRST:LAST]\n"
    "       sfpfile npy FILE OUT.npy [--blocks FIRST:LAST]\n"
    "       sfpfile hdf5 FILE OUT.h5 [--blocks FIRST:LAST] [--compress]\n"
    "       sfpfile verify FILE...\n"
    "       sfpfile --help\n"
    "\n"
    "Stored data files (.bin6842) of the Trellin 6842 Soft Front Panel.\n"
    "\n"
    "  info FILE   Print the file's header as the panel reads it, with block\n"
    "              size and block count.\n"
    "  csv FILE OUT\n"
    "              Convert the file to CSV, in the same layout the panel writes\n"
    "              when it streams to a CSV file. OUT \"-\" writes to standard\n"
    "              output.\n"
    "    --mv             values in millivolts (\"Units: mV\", three decimals);\n"
    "                     default volts (\"Units: V\", six decimals)\n"
    "    --timestamps     include the time-stamp column (the file must have time\n"
    "                     stamps); this is the default when it has them\n"
    "    --no-timestamps  leave the time-stamp column out\n"
    "    --blocks FIRST:LAST\n"
    "                     convert blocks FIRST to LAST only, counted from 1 as on\n"
    "                     the panel's block slider, both included; \"FIRST:\" runs\n"
    "                     to the last block, \":LAST\" starts at the first, a single\n"
    "                     number converts one block (csv, npy and hdf5)\n"
    "  npy FILE OUT.npy\n"
    "              Export to NumPy: OUT.npy holds the samples in volts, float64\n"
    "              of shape (scans, channels), one row per scan, channels in the\n"
    "              file's order; with time stamps OUT.time.npy holds them as\n"
    "              int64 nanoseconds on the card's clock. numpy.load(OUT.npy,\n"
    "              mmap_mode=\"r\") maps it.\n"
    "  hdf5 FILE OUT.h5\n"
    "              Export to HDF5: dataset /data as for npy, /time with the time\n"
    "              stamps, and the header (rate, scans per block, channel names\n"
    "              and masks, time offset, device, source file) as attributes of\n"
    "              the root group.\n"
    "    --compress       shuffle and deflate the datasets\n"
    "  verify FILE...\n"
    "              Check that a recording, or the files of a set in order, is\n"
    "              complete: a whole number of blocks, time stamps one scan\n"
    "              period apart within 1 us (every gap, run of duplicates and\n"
    "              step back listed), each file continuing the one before. One\n"
    "              verdict line per file, its problems indented below it, and a\n"
    "              total for a set. Scans and blocks count from 1.\n"
    "\n"
    "Outputs of csv, npy and hdf5 appear only once the conversion has succeeded;\n"
    "a failed or interrupted conversion leaves none. Progress is shown on\n"
    "standard error when it is a terminal.\n"
    "\n"
    "Exit status: 0 success (verify: complete), 1 usage error (also blocks or\n"
    "time stamps the file does not have), 2 input missing, unreadable or\n"
    "damaged, 3 output could not be written (unwritable path, full disk) or the\n"
    "conversion was interrupted, 4 a recording found incomplete or out of order\n"
    "(verify).\n";

int showInfo(const char *path)
{
    StoredFileInfo_t info;
    uint64_t trailing = 0;
    if (readStoredFileHeaderQuiet(path, &info, &trailing) != 0) {
        printError("cannot read '" + std::string(path) + "': " + storedFileUnreadableReason(path));
        return toolExitInput;
    }
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
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("cannot write standard output");
        return toolExitOutput;
    }
    return toolExitOk;
}

} // namespace

int infoCommand(int argc, char **argv)
{
    if (argc != 3)
        return usageError("info needs exactly one FILE");
    return showInfo(argv[2]);
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return usageError("no command given");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(usageText, stdout);
        return toolExitOk;
    }
    if (command == "info")
        return infoCommand(argc, argv);
    if (command == "csv")
        return csvCommand(argc, argv);
    if (command == "npy")
        return npyCommand(argc, argv);
    if (command == "hdf5")
        return hdf5Command(argc, argv);
    if (command == "verify")
        return verifyCommand(argc, argv);
    return usageError("unknown command '" + command + "'");
}
