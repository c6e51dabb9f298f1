#include "datafile_writer.h"

#include "csvformat.h"

#include <cstring>

namespace {

void appendFormatted(std::string &text, const char *format, int a, int b)
{
    char line[64];
    const int length = std::snprintf(line, sizeof line, format, a, b);
    text.append(line, static_cast<size_t>(length));
}

// "%lf": six decimals, independent of the process locale.
void appendFixed(std::string &text, double value)
{
    char number[maxFixedTextChars];
    text.append(number, formatFixed(number, value, 6));
}

bool writeText(FILE *file, const std::string &text)
{
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

int cardCount(const StoredLayout &layout)
{
    return layout.channelMask ? layout.fcCount : 0;
}

} // namespace

int32_t enabledChannelCount(const StoredLayout &layout)
{
    int32_t channels = 0;
    for (int card = 0; card < cardCount(layout); ++card)
        channels += __builtin_popcount(layout.channelMask[card]);
    return channels;
}

std::string binaryHeaderText(const StoredLayout &layout)
{
    std::string text = "DEVICE=Trellin 6842\nFORMAT=ViReal64\nSAMPLING_RATE_HZ=";
    appendFixed(text, layout.rateHz);
    text += '\n';
    appendFormatted(text, "NUMBER_OF_CHANNELS=%d\n", enabledChannelCount(layout), 0);
    appendFormatted(text, "NUMBER_OF_SCANS_PER_BLOCK=%d\n", layout.scans, 0);
    appendFormatted(text, "NUMBER_OF_FUNCTION_CARDS=%d\n", layout.fcCount, 0);
    for (int card = 0; card < cardCount(layout); ++card)
        appendFormatted(text, "CHANNEL_MASK_FC%d=0x%04hx\n", card + 1, layout.channelMask[card]);
    // "%lf": the microsecond is the finest step the header holds.
    text += "TIME_OFFSET=";
    appendFixed(text, layout.timeOffset);
    text += '\n';
    appendFormatted(text, "TIMESTAMPS=%d\n", layout.timestamps ? 1 : 0, 0);
    text += "#\n";
    return text;
}

bool writeBinaryHeader(FILE *file, const StoredLayout &layout)
{
    return writeText(file, binaryHeaderText(layout));
}

bool writeBinaryBlock(FILE *file, const double *samples, size_t channels, size_t scans,
                      const int32_t *seconds, const int32_t *nanos)
{
    if (seconds && nanos) {
        if (std::fwrite(seconds, scans * sizeof(int32_t), 1, file) != 1
            || std::fwrite(nanos, scans * sizeof(int32_t), 1, file) != 1)
            return false;
    }
    const size_t bytes = channels * scans * sizeof(double);
    return bytes == 0 || std::fwrite(samples, bytes, 1, file) == 1;
}

std::string csvHeaderText(CsvUnits units, const StoredLayout &layout)
{
    std::string text = units == CsvUnits::Millivolts ? "Units: mV\nSampling rate: " : "Units: V\nSampling rate: ";
    appendFixed(text, layout.rateHz);
    text += " Hz\n";
    if (layout.timestamps)
        text += "Timestamp, ";
    for (int card = 0; card < cardCount(layout); ++card)
        for (int channel = 0; channel < 16; ++channel)
            if (layout.channelMask[card] & (1u << channel))
                appendFormatted(text, "FC%d_CH%d, ", card + 1, channel + 1);
    text += '\n';
    return text;
}

bool writeCsvHeader(FILE *file, CsvUnits units, const StoredLayout &layout)
{
    return writeText(file, csvHeaderText(units, layout));
}

bool writeCsvBlock(FILE *file, CsvUnits units, const double *samples, size_t channels, size_t scans,
                   const int32_t *seconds, const int32_t *nanos)
{
    // Rows are built in a local buffer and handed to stdio in large pieces.
    constexpr size_t bufferSize = 64 * 1024;
    constexpr size_t fieldRoom = maxFixedTextChars + 3;
    char buffer[bufferSize];
    char *out = buffer;
    const bool millivolts = units == CsvUnits::Millivolts;
    const bool stamps = seconds && nanos;
    for (size_t scan = 0; scan < scans; ++scan) {
        if (stamps) {
            out = formatTimestamp(out, seconds[scan], nanos[scan]);
            *out++ = ',';
            *out++ = ' ';
        }
        for (size_t channel = 0; channel < channels; ++channel) {
            if (static_cast<size_t>(buffer + bufferSize - out) < fieldRoom) {
                if (std::fwrite(buffer, 1, out - buffer, file) != static_cast<size_t>(out - buffer))
                    return false;
                out = buffer;
            }
            const double volts = samples[channel * scans + scan];
            out = millivolts ? formatFixed(out, volts * 1000.0, 3) : formatFixed(out, volts, 6);
            *out++ = ',';
            *out++ = ' ';
        }
        *out++ = '\n';
        if (static_cast<size_t>(buffer + bufferSize - out) < fieldRoom + 32) {
            if (std::fwrite(buffer, 1, out - buffer, file) != static_cast<size_t>(out - buffer))
                return false;
            out = buffer;
        }
    }
    const size_t rest = static_cast<size_t>(out - buffer);
    return rest == 0 || std::fwrite(buffer, 1, rest, file) == rest;
}

void appendCsvBlock(std::string &text, CsvUnits units, const double *samples, size_t channels, size_t scans,
                    const int32_t *seconds, const int32_t *nanos)
{
    char field[maxFixedTextChars + 3];
    const bool millivolts = units == CsvUnits::Millivolts;
    const bool stamps = seconds && nanos;
    text.reserve(text.size() + scans * (channels * 12 + (stamps ? 22 : 0) + 1));
    for (size_t scan = 0; scan < scans; ++scan) {
        if (stamps) {
            char *end = formatTimestamp(field, seconds[scan], nanos[scan]);
            text.append(field, end);
            text += ", ";
        }
        for (size_t channel = 0; channel < channels; ++channel) {
            const double volts = samples[channel * scans + scan];
            char *end = millivolts ? formatFixed(field, volts * 1000.0, 3) : formatFixed(field, volts, 6);
            *end++ = ',';
            *end++ = ' ';
            text.append(field, end);
        }
        text += '\n';
    }
}
