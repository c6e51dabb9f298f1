// sfpmeasure: the measurement panel's figures (sine fit and AC figures) of
// one card's channels for the blocks of a stored binary file, per block or
// averaged, as the panel's clipboard text (CSV) or as JSON.
#include "channelMeasurement.h"
#include "detailsText.h"
#include "measurementJson.h"
#include "measurementText.h"
#include "storedfile.h"
#include "storedfile_blockio.h"
#include "toolexit.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char usageText[] =
    "Usage: sfpmeasure FILE [--blocks FIRST[:LAST]] [--card N] [--padding P]\n"
    "                  [--iterations I] [--average] [--format csv|json] [--details]\n"
    "                  [--harmonics N|all] [--aliased] [--band LOW:HIGH]\n"
    "                  [--dc-bins B] [--harmonic-bins B] [--fundamental-bins B]\n"
    "                  [--start largest|interpolated]\n"
    "       sfpmeasure --help\n"
    "\n"
    "Measures the channels of one card in a stored data file (.bin6842) of the\n"
    "Trellin 6842 Soft Front Panel as its measurement panel does: amplitude,\n"
    "mean, RMS, frequency and phase from a sine fit, and THD, SINAD, SNR, SFDR\n"
    "and ENOB from the 7-term Blackman-Harris spectrum.\n"
    "\n"
    "  --blocks FIRST[:LAST]  blocks to measure, counted from 1 as on the panel's\n"
    "                         block slider, both included; \"FIRST:\" runs to the\n"
    "                         last block, \":LAST\" starts at the first; default all\n"
    "  --card N               function card, from 1 (default 1)\n"
    "  --padding P            FFT zero padding: 1, 2, 5, 10, 20, 50 or 100 (default 1)\n"
    "  --iterations I         0: 3-parameter sine fit (default); 1 ... 7:\n"
    "                         4-parameter fit with that many iterations\n"
    "  --average              one table with the mean of every figure over the\n"
    "                         blocks, instead of one table per block\n"
    "  --format csv|json      csv (default): per table a \"Block\" line, then the\n"
    "                         panel's clipboard text (Gain and Filter are not in\n"
    "                         the file and show \"-\", as does a figure that\n"
    "                         could not be measured); json: one object, figures\n"
    "                         that are not finite or not measured as null, and\n"
    "                         each channel's \"gain\" and \"filter\" null\n"
    "  --details              also the harmonic and spur details of every channel:\n"
    "                         per harmonic its frequency, dBc and dBFS, the worst\n"
    "                         other spur, noise floor, noise density and THD+N,\n"
    "                         with the settings used (csv: a second table after\n"
    "                         each table; json: a \"details\" object per channel)\n"
    "\n"
    "Analysis settings (the defaults are the panel's own rules; bins are\n"
    "unpadded bins, fs / N):\n"
    "  --harmonics N|all      highest harmonic counted, 2 to 30 (default all below\n"
    "                         the Nyquist frequency, at most 30)\n"
    "  --aliased              harmonics above the Nyquist frequency count, folded\n"
    "  --band LOW:HIGH        analysis band in Hz, HIGH may be \"nyquist\" (default\n"
    "                         0:nyquist): noise, spurs and harmonics in it only\n"
    "  --dc-bins B            bins 0 to B belong to DC, 0 to 100 (default 7)\n"
    "  --harmonic-bins B      half-span of each harmonic, 1 to 100 (default 7)\n"
    "  --fundamental-bins B   half-span of the fundamental, 1 to 100 (default 7)\n"
    "  --start largest|interpolated\n"
    "                         the fit's start frequency: the largest bin (default)\n"
    "                         or interpolated from the spectrum, with which the\n"
    "                         3-parameter fit reads a tone between bins right\n"
    "\n"
    "Only enabled channels are listed. Phases are relative to the card's first\n"
    "enabled channel. Analysis failures are reported on standard error; the\n"
    "figures of that block are then 0, as on the panel.\n"
    "\n"
    "Exit status: 0 success, 1 usage error (also a block or card the file does\n"
    "not have), 2 unreadable or damaged file, 3 the output could not be written.\n";

int usageError(const std::string &message)
{
    std::fprintf(stderr, "sfpmeasure: %s\nTry 'sfpmeasure --help'.\n", message.c_str());
    return toolExitUsage;
}

bool parseNumber(const std::string &text, long long minimum, long long maximum, long long *number)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *number = std::atoll(text.c_str());
    return *number >= minimum && *number <= maximum;
}

struct Options
{
    const char *path = nullptr;
    long long first = 0; // 1-based; 0: from the first block
    long long last = 0;  // 1-based; 0: to the last block
    int card = 1;
    int padding = 1;
    int iterations = 0;
    bool average = false;
    bool json = false;
    bool details = false;
    AnalysisSettings settings;
};

bool parseBlocks(const std::string &range, Options &options)
{
    const long long most = 1000000000000000000LL;
    const size_t colon = range.find(':');
    if (colon == std::string::npos) {
        if (!parseNumber(range, 1, most, &options.first))
            return false;
        options.last = options.first;
        return true;
    }
    const std::string from = range.substr(0, colon), to = range.substr(colon + 1);
    return (from.empty() || parseNumber(from, 1, most, &options.first))
           && (to.empty() || parseNumber(to, 1, most, &options.last)) && !(from.empty() && to.empty());
}

// Returns 0 when the options were understood, else the exit status.
int parseOptions(int argc, char **argv, Options &options, bool *help)
{
    *help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&](std::string *text) {
            if (i + 1 >= argc)
                return false;
            *text = argv[++i];
            return true;
        };
        std::string text;
        long long number = 0;
        if (argument == "--help" || argument == "-h") {
            *help = true;
            return 0;
        } else if (argument == "--average") {
            options.average = true;
        } else if (argument == "--details") {
            options.details = true;
        } else if (argument == "--aliased") {
            options.settings.aliasedHarmonics = true;
        } else if (argument == "--harmonics") {
            if (!value(&text))
                return usageError("--harmonics needs 2 to 30, or all");
            if (text == "all")
                options.settings.harmonics = 0;
            else if (parseNumber(text, 0, 1000, &number) && number != 0)
                options.settings.harmonics = int(number);
            else
                return usageError("--harmonics needs 2 to 30, or all");
        } else if (argument == "--band") {
            if (!value(&text) || !parseAnalysisBand(text, options.settings.bandLowHz, options.settings.bandHighHz))
                return usageError("--band needs LOW:HIGH in Hz, HIGH a number or nyquist");
        } else if (argument == "--dc-bins" || argument == "--harmonic-bins" || argument == "--fundamental-bins") {
            if (!value(&text) || !parseNumber(text, 0, 1000, &number))
                return usageError(argument + " needs a number of bins");
            int &bins = argument == "--dc-bins"         ? options.settings.dcBins
                        : argument == "--harmonic-bins" ? options.settings.harmonicBins
                                                        : options.settings.fundamentalBins;
            bins = int(number);
        } else if (argument == "--start") {
            if (!value(&text) || (text != "largest" && text != "interpolated"))
                return usageError("--start needs largest or interpolated");
            options.settings.fitStart = text == "interpolated" ? FitStart::interpolated : FitStart::largestBin;
        } else if (argument == "--blocks") {
            if (!value(&text) || !parseBlocks(text, options))
                return usageError("--blocks needs FIRST[:LAST], block numbers from 1");
        } else if (argument == "--card") {
            if (!value(&text) || !parseNumber(text, 1, storedMaxCards, &number))
                return usageError("--card needs a card number from 1 to " + std::to_string(storedMaxCards));
            options.card = int(number);
        } else if (argument == "--padding") {
            const std::vector<std::string> factors = {"1", "2", "5", "10", "20", "50", "100"};
            if (!value(&text) || std::find(factors.begin(), factors.end(), text) == factors.end())
                return usageError("--padding needs 1, 2, 5, 10, 20, 50 or 100");
            number = std::atoll(text.c_str());
            options.padding = int(number);
        } else if (argument == "--iterations") {
            if (!value(&text) || !parseNumber(text, 0, 7, &number))
                return usageError("--iterations needs 0 to 7");
            options.iterations = int(number);
        } else if (argument == "--format") {
            if (!value(&text) || (text != "csv" && text != "json"))
                return usageError("--format needs csv or json");
            options.json = text == "json";
        } else if (argument.size() > 1 && argument[0] == '-') {
            return usageError("unknown option '" + argument + "'");
        } else if (options.path) {
            return usageError("only one FILE can be measured");
        } else {
            options.path = argv[i];
        }
    }
    if (!options.path)
        return usageError("no FILE given");
    const std::string refused = checkAnalysisSettings(options.settings);
    if (!refused.empty())
        return usageError(refused);
    return 0;
}

// One table: the figures of the card's enabled channels.
struct Table
{
    std::string label; // "1" or "1:10" for an average
    unsigned long long block = 0; // from 1; 0 for an average
    uint16_t mask = 0;
    ChannelFigures figures[measurementChannelCount];
    SpectralDetails details[measurementChannelCount];
};

// The details summed over the blocks for --average: each figure, per
// harmonic order too, with the number of blocks that had it. A figure
// missing from any block has no mean, as with the table's figures.
struct DetailsSum
{
    static constexpr int tail = 9, perHarmonic = 3;
    double tailSum[tail] = {};
    int tailCount[tail] = {};
    double harmonicSum[analysisMaxHarmonics + 1][perHarmonic] = {};
    int harmonicCount[analysisMaxHarmonics + 1][perHarmonic] = {};
    bool aliased[analysisMaxHarmonics + 1] = {};
    bool inBand[analysisMaxHarmonics + 1] = {};

    static void add(double value, double &sum, int &count)
    {
        if (std::isfinite(value)) {
            sum += value;
            ++count;
        }
    }

    void add(const SpectralDetails &d)
    {
        const double values[tail] = {d.fundamentalHz, d.fundamentalDbfs, d.spurHz, d.spurDbc, d.noiseFloorDbfs,
                                     d.noiseDensityDbfsPerHz, d.noiseDensityVoltsPerRootHz, d.thdPlusNoiseDb,
                                     d.thdPlusNoisePercent};
        for (int i = 0; i < tail; ++i)
            add(values[i], tailSum[i], tailCount[i]);
        for (const HarmonicLevel &h : d.harmonics) {
            const double levels[perHarmonic] = {h.frequencyHz, h.dBc, h.dBFS};
            for (int i = 0; i < perHarmonic; ++i)
                add(levels[i], harmonicSum[h.order][i], harmonicCount[h.order][i]);
            aliased[h.order] = h.aliased;
            inBand[h.order] = h.inBand;
        }
    }

    SpectralDetails mean(int blocks) const
    {
        auto average = [blocks](double sum, int count) { return count == blocks ? sum / blocks : notMeasured; };
        double values[tail];
        for (int i = 0; i < tail; ++i)
            values[i] = average(tailSum[i], tailCount[i]);
        SpectralDetails d;
        d.fundamentalHz = values[0], d.fundamentalDbfs = values[1], d.spurHz = values[2], d.spurDbc = values[3];
        d.noiseFloorDbfs = values[4], d.noiseDensityDbfsPerHz = values[5], d.noiseDensityVoltsPerRootHz = values[6];
        d.thdPlusNoiseDb = values[7], d.thdPlusNoisePercent = values[8];
        for (int order = 2; order <= analysisMaxHarmonics; ++order)
            if (harmonicCount[order][0] > 0) {
                HarmonicLevel h;
                h.order = order;
                h.frequencyHz = average(harmonicSum[order][0], harmonicCount[order][0]);
                h.dBc = average(harmonicSum[order][1], harmonicCount[order][1]);
                h.dBFS = average(harmonicSum[order][2], harmonicCount[order][2]);
                h.aliased = aliased[order];
                h.inBand = inBand[order];
                d.harmonics.push_back(h);
            }
        return d;
    }
};

// The details table of one table, as --details prints it in CSV.
std::string detailsCsv(const Table &table, int scans, double rateHz, const AnalysisSettings &settings)
{
    CardMeasurement m;
    m.mask = table.mask;
    m.settings = settings;
    for (int k = 0; k < measurementChannelCount; ++k)
        m.details[k] = table.details[k];
    return detailsClipboardText(scans, rateHz, m);
}

void printCsv(const Table &table, int scans, double rateHz, bool average)
{
    std::vector<ClipboardRow> rows;
    for (int k = 0; k < measurementChannelCount; ++k)
        if ((table.mask >> k) & 1) {
            ClipboardRow row;
            row.channel = k + 1;
            row.figures = table.figures[k];
            rows.push_back(row);
        }
    std::printf("%s %s\n%s", average ? "Average of blocks" : "Block:", table.label.c_str(),
                measurementClipboardText(scans, rateHz, rows).c_str());
}

// The JSON table of the card's enabled channels: a file holds no gain or filter.
MeasurementJsonTable jsonTable(const Table &table, bool details)
{
    MeasurementJsonTable json;
    for (int k = 0; k < measurementChannelCount; ++k)
        if ((table.mask >> k) & 1) {
            MeasurementJsonChannel channel;
            channel.channel = k + 1;
            channel.figures = table.figures[k];
            channel.details = details ? &table.details[k] : nullptr;
            json.channels.push_back(channel);
        }
    return json;
}

int measure(const Options &options)
{
    StoredFileInfo_t info;
    if (readStoredFileHeaderQuiet(options.path, &info, nullptr) != 0) {
        std::fprintf(stderr, "sfpmeasure: cannot read '%s': %s\n", options.path,
                     storedFileUnreadableReason(options.path).c_str());
        return toolExitInput;
    }
    if (storedMaskedChannelCount(info) != info.channelCount) {
        std::fprintf(stderr, "sfpmeasure: '%s' is damaged: its channel masks name %u channels, its blocks hold %u\n",
                     options.path, storedMaskedChannelCount(info), info.channelCount);
        return toolExitInput;
    }
    if (info.blockCount == 0) {
        std::fprintf(stderr, "sfpmeasure: '%s' holds no block\n", options.path);
        return toolExitInput;
    }
    if (options.card > info.fcCount)
        return usageError("card " + std::to_string(options.card) + " asked for, the file has "
                          + std::to_string(info.fcCount) + " card(s)");
    const unsigned long long first = options.first ? options.first : 1;
    const unsigned long long last = options.last ? options.last : info.blockCount;
    if (first > last || last > info.blockCount)
        return usageError("blocks " + std::to_string(first) + " to " + std::to_string(last)
                          + " asked for, the file has blocks 1 to " + std::to_string(info.blockCount));

    FILE *file = openStoredFileStream(options.path);
    if (!file) {
        std::fprintf(stderr, "sfpmeasure: cannot read '%s': %s\n", options.path, std::strerror(errno));
        return toolExitInput;
    }
    const int scans = info.scansPerBlock;
    const size_t values = storedBlockValueCount(info);
    std::vector<double> volts(values), times(static_cast<size_t>(scans));
    // Doubles are read straight into volts; 4-byte floats need a buffer.
    std::vector<char> floats(info.isReal64 ? 0 : info.sampleBytes);
    void *raw = info.isReal64 ? static_cast<void *>(volts.data()) : static_cast<void *>(floats.data());
    const int card = options.card - 1;

    std::vector<Table> tables;
    Table sum;
    sum.mask = info.channelMask[card];
    DetailsSum detailsSums[measurementChannelCount];
    bool messageFlag = false; // as the panel's, over the blocks in order
    for (unsigned long long block = first; block <= last; ++block) {
        if (readStoredBlockFrom(file, info, int64_t(block - 1), raw, nullptr, nullptr) != 1) {
            std::fprintf(stderr, "sfpmeasure: cannot read block %llu of '%s'\n", block, options.path);
            std::fclose(file);
            return toolExitInput;
        }
        if (!info.isReal64)
            storedSamplesToVolts(info, raw, volts.data(), values);
        // The offline viewer's time axis: the file's offset plus the scan's
        // position in the file.
        for (int i = 0; i < scans; ++i)
            times[static_cast<size_t>(i)] = info.timeOffset + (double(block - 1) * scans + i) / info.rateHz;

        CardMeasurementInput input;
        input.scans = scans;
        input.times = times.data();
        input.rateHz = info.rateHz;
        input.padding = options.padding;
        input.iterations = options.iterations;
        input.threads = 0; // channels on every core: batch runs over long files
        input.settings = options.settings;
        input.details = options.details;
        locateCardSamples(volts.data(), scans, info.channelMask, card, input);
        CardMeasurement m = measureCard(input);
        settleCardMeasurement(m, messageFlag);
        if (!m.computed)
            std::fprintf(stderr, "sfpmeasure: block %llu: fewer than 10 scans, no figures\n", block);
        if (!m.error.empty())
            std::fprintf(stderr, "sfpmeasure: block %llu: %s\n", block, m.error.c_str());
        if (m.fitFailed)
            std::fprintf(stderr, "sfpmeasure: block %llu: %s\n", block, measurementFitFailedText);

        Table table;
        table.label = std::to_string(block);
        table.block = block;
        table.mask = m.mask;
        for (int k = 0; k < measurementChannelCount; ++k) {
            table.figures[k] = m.figures[k];
            table.details[k] = m.details[k];
            if (options.details && options.average)
                detailsSums[k].add(m.details[k]);
            for (int column = 0; column < measurementColumnCount; ++column)
                setFigureColumn(sum.figures[k], column,
                                figureColumn(sum.figures[k], column) + figureColumn(m.figures[k], column));
            // A figure missing from one block has no mean: "-" in the average.
            sum.figures[k].missing |= m.figures[k].missing;
        }
        if (!options.average)
            tables.push_back(table);
    }
    std::fclose(file);

    if (options.average) {
        const double count = double(last - first + 1);
        for (ChannelFigures &figures : sum.figures)
            for (int column = 0; column < measurementColumnCount; ++column)
                setFigureColumn(figures, column, figureColumn(figures, column) / count);
        for (int k = 0; k < measurementChannelCount; ++k)
            sum.details[k] = detailsSums[k].mean(int(last - first + 1));
        sum.label = std::to_string(first) + ":" + std::to_string(last);
        tables.push_back(sum);
    }

    if (!options.json) {
        for (size_t i = 0; i < tables.size(); ++i) {
            if (i)
                std::printf("\n");
            printCsv(tables[i], scans, info.rateHz, options.average);
            if (options.details)
                std::printf("\n%s", detailsCsv(tables[i], scans, info.rateHz, options.settings).c_str());
        }
    } else {
        MeasurementJsonRun run;
        run.file = options.path;
        run.card = options.card;
        run.scans = scans;
        run.rateHz = info.rateHz;
        run.padding = options.padding;
        run.iterations = options.iterations;
        run.settings = options.details ? &options.settings : nullptr;
        run.average = options.average;
        run.first = first;
        run.last = last;
        std::vector<MeasurementJsonTable> json;
        for (const Table &table : tables) {
            json.push_back(jsonTable(table, options.details));
            if (table.block)
                json.back().block = (long long)table.block;
        }
        std::fputs(measurementJsonText(run, json).c_str(), stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "sfpmeasure: cannot write standard output: %s\n", std::strerror(errno));
        return toolExitOutput;
    }
    return toolExitOk;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    bool help = false;
    if (const int status = parseOptions(argc, argv, options, &help))
        return status;
    if (help) {
        std::fputs(usageText, stdout);
        return 0;
    }
    return measure(options);
}
