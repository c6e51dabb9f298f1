// sfpplot: the panel's plot pictures of a stored data file without a
// display. One block is drawn by the same plot classes as the "Waveforms" or
// the "FFT Amplitude Spectrum" page, its spectra computed by the same
// analysis calls, with the same legend and caption, and saved as PNG, SVG
// or PDF. With --trend, one figure of a measurement trend log over time
// (sfpplot_trend.h).
#include "channelList.h"
#include "chLabel.h"
#include "chLabelFft.h"
#include "decimatedCurve.h"
#include "displaySpectrum.h"
#include "nv6842fp_daqRules.h"
#include "pictureCaption.h"
#include "plotPicture.h"
#include "plot_voltage.h"
#include "sfpplot_trend.h"
#include "storedfile.h"
#include "timePlot.h"
#include "trendlog.h"
#include "windowFunction.h"

#include <qwt_plot_marker.h>

#include <QApplication>
#include <QFileInfo>

#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

enum ExitCode { exitOk = 0, exitUsage = 1, exitInput = 2, exitOutput = 3 };

const char usageText[] =
    "Usage: sfpplot FILE --output OUT.png|OUT.svg|OUT.pdf [--spectrum] [--block N]\n"
    "               [--card N] [--channels LIST] [--window NAME] [--padding P]\n"
    "               [--width PX] [--title TEXT]\n"
    "       sfpplot --trend LOG --figure NAME --output OUT.png|OUT.svg|OUT.pdf\n"
    "               [--card N] [--channels LIST] [--width PX] [--title TEXT]\n"
    "       sfpplot --help\n"
    "\n"
    "Draws one block of a stored data file (.bin6842) of the Trellin 6842 Soft\n"
    "Front Panel as the panel's \"Waveforms\" page shows it, or with --spectrum as\n"
    "its \"FFT Amplitude Spectrum\" page does, with a legend of the channels and\n"
    "the panel's caption, and saves the picture. Needs no display.\n"
    "\n"
    "With --trend, draws one figure of a measurement trend log LOG (the\n"
    "NAME.trend.csv that a recording with a trend log writes) over the recording's\n"
    "time: a curve per channel in its colour on the panel, a legend, and a caption\n"
    "naming the channels, the figure and its unit, the time span, the blocks\n"
    "skipped and the log. Time is the rows' time_s, seconds since the recording's\n"
    "first scan: every row has it, it rises with the block number whatever the card\n"
    "clock was set to, and it reads the same for a log written without time stamps;\n"
    "the first card time stamp, when the log has one, is named in the caption. No\n"
    "line is drawn across a skipped block or a row whose figure could not be\n"
    "measured.\n"
    "\n"
    "  --output OUT     the picture; its extension chooses the type: .png, .svg or\n"
    "                   .pdf. OUT appears only once it is complete.\n"
    "  --spectrum       the amplitude spectra of the block instead of its waveforms\n"
    "  --block N        the block, counted from 1 as on the panel's block slider\n"
    "                   (default 1)\n"
    "  --card N         only the channels of function card N, from 1 (default\n"
    "                   every card of the file)\n"
    "  --channels LIST  only these channels of each card: a list from 1 (1,3,5-8),\n"
    "                   a mask (0x8001) or all (default all the file holds)\n"
    "  --window NAME    window of the spectra: rectangular (default), hann,\n"
    "                   hamming, blackman, 4-term-blackman-harris or\n"
    "                   7-term-blackman-harris\n"
    "  --padding P      zero padding of the spectra: 1 (default), 2, 5, 10, 20, 50\n"
    "                   or 100\n"
    "  --width PX       width of a PNG picture in pixels, 200 to 10000 (default\n"
    "                   1600); SVG and PDF pictures are drawings\n"
    "  --title TEXT     a heading above the plot\n"
    "  --trend LOG      draw a trend log instead of a data file; --card and\n"
    "                   --channels choose its channels FC<card>_CH<channel>\n"
    "  --figure NAME    the trend log's figure to draw: mean, RMS, min, max,\n"
    "                   frequency, amplitude, THD, SINAD, SNR, SFDR or ENOB (in\n"
    "                   any case)\n"
    "\n"
    "Exit status: 0 success, 1 usage error (also a block, card or channel the file\n"
    "does not have), 2 input missing, unreadable or damaged (a trend log's bad line\n"
    "is named by its number), 3 the picture could not be written.\n";

int usageError(const std::string &message)
{
    std::fprintf(stderr, "sfpplot: %s\nTry 'sfpplot --help'.\n", message.c_str());
    return exitUsage;
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
    std::string input;
    std::string output;
    bool spectrum = false;
    long long block = 1;
    int card = 0;           // from 1; 0: every card
    uint16_t channels = 0xFFFF;
    int window = windowRectangular;
    int padding = 1;
    int width = pictureDefaultWidth;
    QString title;
    std::string trend;       // the trend log, empty: a data file is drawn
    int figure = -1;         // index of trendFigureNames
    std::string blockOption; // the first option given that only a data file takes
};

std::string figureNameList()
{
    std::string list;
    for (int f = 0; f < trendFigureCount; ++f)
        list += std::string(f == 0 ? "" : f + 1 == trendFigureCount ? " or " : ", ") + trendFigureNames[f];
    return list;
}

// "4-Term Blackman-Harris" is named 4-term-blackman-harris on a command line.
QString commandLineName(const char *text)
{
    return QString::fromLatin1(text).toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

bool parseWindow(const std::string &text, int *window)
{
    for (const nv6842fp_codeItem &item : nv6842fp_fftWindowItems())
        if (commandLineName(item.text) == QString::fromStdString(text).toLower()) {
            *window = item.code;
            return true;
        }
    return false;
}

bool parsePadding(const std::string &text, int *padding)
{
    for (const nv6842fp_codeItem &item : nv6842fp_zeroPaddingItems())
        if (std::to_string(item.code) == text) {
            *padding = item.code;
            return true;
        }
    return false;
}

// Returns -1 when the options were understood, else the exit status.
int parseOptions(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        std::string text;
        auto value = [&] {
            if (i + 1 >= argc)
                return false;
            text = argv[++i];
            return true;
        };
        long long number = 0;
        if ((argument == "--spectrum" || argument == "--block" || argument == "--window" || argument == "--padding")
            && o.blockOption.empty())
            o.blockOption = argument;
        if (argument == "--help" || argument == "-h") {
            std::fputs(usageText, stdout);
            return exitOk;
        } else if (argument == "--output") {
            if (!value() || text.empty())
                return usageError("--output needs a file name ending in .png, .svg or .pdf");
            o.output = text;
        } else if (argument == "--spectrum") {
            o.spectrum = true;
        } else if (argument == "--block") {
            if (!value() || !parseNumber(text, 1, 1000000000000000000LL, &number))
                return usageError("--block needs a block number from 1");
            o.block = number;
        } else if (argument == "--card") {
            if (!value() || !parseNumber(text, 1, storedMaxCards, &number))
                return usageError("--card needs a card number from 1 to " + std::to_string(storedMaxCards));
            o.card = int(number);
        } else if (argument == "--channels") {
            if (!value() || !parseChannelSpec(QString::fromStdString(text), &o.channels) || !o.channels)
                return usageError("--channels needs channels from 1 to 16 (1,3,5-8), a mask (0x8001) or all");
        } else if (argument == "--window") {
            if (!value() || !parseWindow(text, &o.window))
                return usageError("--window needs rectangular, hann, hamming, blackman, "
                                  "4-term-blackman-harris or 7-term-blackman-harris");
        } else if (argument == "--padding") {
            if (!value() || !parsePadding(text, &o.padding))
                return usageError("--padding needs 1, 2, 5, 10, 20, 50 or 100");
        } else if (argument == "--width") {
            if (!value() || !parseNumber(text, pictureMinimumWidth, pictureMaximumWidth, &number))
                return usageError("--width needs " + std::to_string(pictureMinimumWidth) + " to "
                                  + std::to_string(pictureMaximumWidth) + " pixels");
            o.width = int(number);
        } else if (argument == "--title") {
            if (!value())
                return usageError("--title needs a text");
            o.title = QString::fromLocal8Bit(text.c_str());
        } else if (argument == "--trend") {
            if (!value() || text.empty())
                return usageError("--trend needs a trend log (NAME.trend.csv)");
            o.trend = text;
        } else if (argument == "--figure") {
            if (!value() || (o.figure = trendFigureIndex(text)) < 0)
                return usageError("--figure needs one of " + figureNameList());
        } else if (argument.size() > 1 && argument[0] == '-') {
            return usageError("unknown option '" + argument + "'");
        } else if (!o.input.empty()) {
            return usageError("only one FILE can be drawn");
        } else {
            o.input = argument;
        }
    }
    if (!o.trend.empty()) {
        if (!o.input.empty())
            return usageError("--trend draws the trend log: no FILE as well");
        if (!o.blockOption.empty())
            return usageError(o.blockOption + " draws a data file, not a trend log");
        if (o.figure < 0)
            return usageError("--trend needs --figure, one of " + figureNameList());
        o.input = o.trend;
    } else if (o.figure >= 0) {
        return usageError("--figure draws a trend log: give it with --trend");
    }
    if (o.input.empty())
        return usageError("no FILE given");
    if (o.output.empty())
        return usageError("no --output given");
    if (pictureFormatOf(QString::fromLocal8Bit(o.output.c_str())) == pictureFormat::unknown)
        return usageError("--output must end in .png, .svg or .pdf");
    struct stat in, out;
    if (stat(o.input.c_str(), &in) == 0 && stat(o.output.c_str(), &out) == 0 && in.st_dev == out.st_dev
        && in.st_ino == out.st_ino)
        return usageError("OUT is the input file itself");
    return -1;
}

// One block of the file in volts, with its first time stamp.
struct Block
{
    std::vector<double> volts;
    bool hasStamp = false;
    int32_t seconds = 0, nanos = 0;
};

int readBlock(const Options &o, StoredFileInfo_t *info, Block *block)
{
    const char *path = o.input.c_str();
    if (readStoredFileHeaderQuiet(path, info, nullptr) != 0) {
        std::fprintf(stderr, "sfpplot: cannot read '%s': %s\n", path, storedFileUnreadableReason(path).c_str());
        return exitInput;
    }
    if (storedMaskedChannelCount(*info) != info->channelCount) {
        std::fprintf(stderr, "sfpplot: '%s' is damaged: its channel masks name %u channels, its blocks hold %u\n",
                     path, storedMaskedChannelCount(*info), info->channelCount);
        return exitInput;
    }
    if (info->blockCount == 0) {
        std::fprintf(stderr, "sfpplot: '%s' holds no whole block\n", path);
        return exitInput;
    }
    if (uint64_t(o.block) > info->blockCount)
        return usageError("block " + std::to_string(o.block) + " asked for, '" + o.input + "' has blocks 1 to "
                          + std::to_string(info->blockCount));
    if (o.card > info->fcCount)
        return usageError("card " + std::to_string(o.card) + " asked for, '" + o.input + "' has cards 1 to "
                          + std::to_string(info->fcCount));
    std::vector<char> samples(info->sampleBytes);
    const size_t scans = size_t(info->scansPerBlock);
    block->hasStamp = info->stampBytes > 0;
    std::vector<int32_t> seconds(block->hasStamp ? scans : 0), nanos(seconds.size());
    const int read = block->hasStamp
                         ? readStoredBlockStamps(*info, samples.data(), seconds.data(), nanos.data(), o.block - 1)
                         : readStoredBlock(*info, samples.data(), o.block - 1);
    if (read != 1) {
        std::fprintf(stderr, "sfpplot: cannot read block %lld of '%s'\n", o.block, path);
        return exitInput;
    }
    block->volts.resize(storedBlockValueCount(*info));
    storedSamplesToVolts(*info, samples.data(), block->volts.data(), block->volts.size());
    if (block->hasStamp) {
        block->seconds = seconds[0];
        block->nanos = nanos[0];
    }
    return -1;
}

// The curves a picture keeps: the asked channels of the asked cards that the file holds.
std::vector<uint16_t> shownChannels(const Options &o, const StoredFileInfo_t &info)
{
    std::vector<uint16_t> shown(info.fcCount, 0);
    for (int k = 0; k < info.fcCount; ++k)
        if (o.card == 0 || o.card == k + 1)
            shown[size_t(k)] = info.channelMask[k] & o.channels;
    return shown;
}

bool isShown(const std::vector<uint16_t> &shown, int g)
{
    return size_t(g / 16) < shown.size() && ((shown[size_t(g / 16)] >> (g % 16)) & 1);
}

// The "Waveforms" page: times and the time axis as the viewer sets them.
void drawTime(timePlot &view, QVector<decimatedCurve *> &curves, const StoredFileInfo_t &info, const Options &o,
              const Block &block, const std::vector<uint16_t> &shown)
{
    const int scans = info.scansPerBlock;
    const double lower = double(o.block - 1) * scans / info.rateHz + info.timeOffset;
    std::vector<double> times(static_cast<size_t>(scans));
    for (int i = 0; i < scans; ++i)
        times[size_t(i)] = i / info.rateHz + lower;
    for (int g = 0; g < info.fcCount * 16; ++g)
        curves.append(view.addChannelCurve(g, QPen(channelColour(g), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin)));
    timePlot::showBlock(curves, std::vector<uint16_t>(info.channelMask, info.channelMask + info.fcCount),
                        times.data(), block.volts.data(), scans);
    for (int g = 0; g < curves.size(); ++g)
        if (!isShown(shown, g))
            curves[g]->setSamples(QVector<QPointF>());
    view.setAxisScale(QwtPlot::xBottom, lower, double(o.block) * scans / info.rateHz + info.timeOffset);
    view.replot();
}

// The "FFT Amplitude Spectrum" page: the spectra as the waveform panel computes them.
void drawSpectrum(plot_voltage &spectrum, const StoredFileInfo_t &info, const Options &o, const Block &block,
                  const std::vector<uint16_t> &shown)
{
    const int scans = info.scansPerBlock;
    std::vector<double> window(static_cast<size_t>(scans));
    windowFunction(o.window, scans, window.data());
    const std::vector<double> f = spectrumFrequencies(scans, o.padding, info.rateHz);
    std::vector<double> dB;
    int ordinal = 0;
    for (int g = 0; g < info.fcCount * 16; ++g) {
        if (!((info.channelMask[g / 16] >> (g % 16)) & 1))
            continue;
        const double *samples = block.volts.data() + size_t(ordinal++) * size_t(scans);
        if (!isShown(shown, g) || !amplitudeSpectrumDb(samples, window.data(), scans, o.padding, dB))
            continue;
        QwtPlotCurve *curve = spectrum.curves[g];
        curve->setSamples(f.data(), dB.data(), int(f.size()));
        curve->setPen(QPen(spectrum.labels[g]->colour(), 1, Qt::SolidLine));
        curve->attach(spectrum.plot);
    }
    // Nobody placed a marker: none is drawn.
    for (QwtPlotMarker *marker : spectrum.marker)
        marker->hide();
    if (!f.empty())
        spectrum.setFrequencyRange(f.front(), f.back(), true);
}

pictureCaptionInput captionOf(const Options &o, const StoredFileInfo_t &info, const Block &block,
                              const std::vector<uint16_t> &shown)
{
    pictureCaptionInput in;
    in.shownChannels = shown;
    in.rateHz = info.rateHz;
    in.scans = info.scansPerBlock;
    in.block = o.block;
    in.blockCount = int64_t(info.blockCount);
    in.hasStamp = block.hasStamp;
    in.stampSeconds = block.seconds;
    in.stampNanos = block.nanos;
    in.fileName = QFileInfo(QString::fromLocal8Bit(o.input.c_str())).fileName();
    in.spectrum = o.spectrum;
    in.windowName = pictureWindowName(o.window);
    in.padding = o.padding;
    return in;
}

// Without a display, the offscreen platform; a platform the user chose stays.
void choosePlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    const int parsed = parseOptions(argc, argv, options);
    if (parsed >= 0)
        return parsed;
    if (!options.trend.empty()) {
        choosePlatform();
        QApplication app(argc, argv);
        std::signal(SIGXFSZ, SIG_IGN);
        return saveTrendPicture({options.trend, options.figure, options.card, options.channels, options.output,
                                 options.width, options.title});
    }
    StoredFileInfo_t info;
    Block block;
    const int read = readBlock(options, &info, &block);
    if (read >= 0)
        return read;
    const std::vector<uint16_t> shown = shownChannels(options, info);
    bool any = false;
    for (uint16_t mask : shown)
        any = any || mask;
    if (!any)
        return usageError("none of the channels asked for is in '" + options.input + "'");

    choosePlatform();
    QApplication app(argc, argv);
    // Past a file size limit, let the write fail and the partial picture be removed.
    std::signal(SIGXFSZ, SIG_IGN);

    pictureContent content;
    content.title = options.title;
    content.caption = pictureCaption(captionOf(options, info, block, shown));
    std::unique_ptr<timePlot> view;
    QVector<decimatedCurve *> curves; // attached to view, which deletes them
    std::unique_ptr<plot_voltage> spectrum;
    if (options.spectrum) {
        spectrum = std::make_unique<plot_voltage>(info.fcCount, nullptr, QStringLiteral("Hz"),
                                                  QStringLiteral("Magnitude [dB]"), 1);
        spectrum->plot->resize(pictureLogicalWidth, pictureLogicalPlotHeight);
        drawSpectrum(*spectrum, info, options, block, shown);
        content.plot = spectrum->plot;
        content.legend = pictureLegendOf(pictureCurves(spectrum->curves));
    } else {
        view = std::make_unique<timePlot>();
        view->resize(pictureLogicalWidth, pictureLogicalPlotHeight);
        drawTime(*view, curves, info, options, block, shown);
        content.plot = view.get();
        content.legend = pictureLegendOf(pictureCurves(curves));
    }
    if (content.isEmpty())
        return usageError("nothing to draw: no spectrum can be made of blocks of fewer than 2 scans");
    QString error;
    if (!savePicture(content, QString::fromLocal8Bit(options.output.c_str()), options.width, &error)) {
        std::fprintf(stderr, "sfpplot: cannot write '%s': %s\n", options.output.c_str(), qPrintable(error));
        return exitOutput;
    }
    return exitOk;
}
