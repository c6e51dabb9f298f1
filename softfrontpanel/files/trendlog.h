// The measurement trend log of a recording (NAME.trend.csv beside the data
// file, see fileset.h): one row per analysed block and enabled channel, and a
// row for every run of blocks the analysis skipped. Plain C++; the streaming
// engine writes it, the plotting tool and tests read it.
//
// Layout, lines ended by "\n", numbers in the C locale:
//   # Trellin 6842 measurement trend log
//   block,time_s,timestamp,channel,mean_V,rms_V,min_V,max_V,over_range,frequency_Hz,amplitude_V,thd_dB,sinad_dB,snr_dB,sfdr_dB,enob_bits
//   0,0,1700000037.000000000,FC1_CH1,0.25,1.4361406616345072,...
//   # skipped blocks 12 to 17
// block: the block's number in the recording, from 0 (across every file of
// a set); time_s: its first scan's time since the recording's first scan,
// block * scans / rate; timestamp: the first scan's card time stamp as
// "seconds.nanoseconds", empty when the recording has none; channel:
// FC<card>_CH<channel>, both from 1; mean, RMS, minimum and maximum of the
// block's samples; over_range 1 when a sample reached the card's full scale
// (+-10 V), else 0; then the measurement page's figures of the block (sine
// fit: frequency, amplitude; THD, SINAD, SNR, SFDR, ENOB). Every double is
// the shortest text that reads back to the same value; a figure that cannot
// be measured is "nan" (infinities "inf", "-inf"). A skip row names the
// first and last block (inclusive) that got no rows. Other lines starting
// with "#" are comments.
#ifndef TRENDLOG_H
#define TRENDLOG_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr int trendFigureCount = 11;

struct TrendRow
{
    int64_t block = 0;
    double timeSeconds = 0;
    bool hasTimestamp = false;
    int32_t stampSeconds = 0, stampNanos = 0;
    int card = 1, channel = 1; // both from 1
    bool overRange = false;
    // mean, RMS, minimum, maximum (V), frequency (Hz), amplitude (V), THD,
    // SINAD, SNR, SFDR (dB), ENOB (bits): the order of trendFigureNames.
    double figures[trendFigureCount] = {};
};

// "mean", "RMS", "min", "max", "frequency", "amplitude", "THD", "SINAD",
// "SNR", "SFDR", "ENOB": what a plot may ask for.
extern const char *const trendFigureNames[trendFigureCount];
// The index of a figure name (any case), -1 when there is none.
int trendFigureIndex(const std::string &name);

// The first two lines.
std::string trendLogHeaderText();
void appendTrendRow(std::string &text, const TrendRow &row);
void appendTrendSkip(std::string &text, int64_t firstBlock, int64_t lastBlock);

// One line of a trend log, as the reader sees it.
struct TrendEntry
{
    enum Kind { Row, Skip } kind = Row;
    TrendRow row;                        // Row
    int64_t firstSkipped = 0, lastSkipped = 0; // Skip
};

// Reads a trend log line by line in constant memory.
//   TrendLogReader reader;
//   if (!reader.open(path)) fail(reader.error());
//   TrendEntry e;
//   while (reader.next(e)) use(e);
//   if (!reader.error().empty()) fail(reader.error());   // else the end
class TrendLogReader
{
public:
    TrendLogReader() = default;
    ~TrendLogReader();
    TrendLogReader(const TrendLogReader &) = delete;
    TrendLogReader &operator=(const TrendLogReader &) = delete;

    // Opens the file and checks its two header lines.
    bool open(const std::string &path);
    // The next row or skip; false at the end or on a bad line (error() says
    // which). A last line without its line end is an unfinished write and
    // is left out (unfinishedLine() then says so).
    bool next(TrendEntry &entry);
    // "" while nothing is wrong, else "PATH: line N: why".
    const std::string &error() const { return why; }
    bool unfinishedLine() const { return unfinished; }

private:
    bool fail(const std::string &text);
    bool readLine(std::string &line, bool *ended);
    FILE *file = nullptr;
    std::string path, why;
    long long lineNumber = 0;
    bool unfinished = false;
};

// Parses one line without its line end: a row, a skip (true, entry set) or
// a comment (true, *comment set). False, with *why, for anything else.
bool parseTrendLine(const char *text, size_t size, TrendEntry &entry, bool *comment, std::string *why);

#endif
