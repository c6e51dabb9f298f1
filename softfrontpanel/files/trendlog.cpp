#include "trendlog.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <system_error>

const char *const trendFigureNames[trendFigureCount] = {"mean",      "RMS",       "min",  "max",
                                                        "frequency", "amplitude", "THD",  "SINAD",
                                                        "SNR",       "SFDR",      "ENOB"};

namespace {

const char titleLine[] = "# Trellin 6842 measurement trend log";
const char columnLine[] = "block,time_s,timestamp,channel,mean_V,rms_V,min_V,max_V,over_range,frequency_Hz,"
                          "amplitude_V,thd_dB,sinad_dB,snr_dB,sfdr_dB,enob_bits";
const char skipPrefix[] = "# skipped blocks ";
constexpr int fieldCount = 5 + trendFigureCount;

void appendDouble(std::string &text, double value)
{
    char number[32];
    const std::to_chars_result r = std::to_chars(number, number + sizeof number, value);
    text.append(number, r.ptr);
}

void appendInteger(std::string &text, long long value)
{
    char number[24];
    const std::to_chars_result r = std::to_chars(number, number + sizeof number, value);
    text.append(number, r.ptr);
}

template <class T> bool wholeNumber(const char *begin, const char *end, T &value)
{
    if (begin == end || *begin == '+')
        return false;
    const std::from_chars_result r = std::from_chars(begin, end, value);
    return r.ec == std::errc() && r.ptr == end;
}

bool realNumber(const char *begin, const char *end, double &value)
{
    if (begin == end || *begin == '+')
        return false;
    const std::from_chars_result r = std::from_chars(begin, end, value);
    return r.ec == std::errc() && r.ptr == end;
}

// "seconds.nanoseconds" with nine digits after the point, as the data files write it.
bool timestamp(const char *begin, const char *end, int32_t &seconds, int32_t &nanos)
{
    const char *dot = std::find(begin, end, '.');
    return dot != end && end - dot == 10 && wholeNumber(begin, dot, seconds) && wholeNumber(dot + 1, end, nanos)
           && nanos >= 0 && std::all_of(dot + 1, end, [](char c) { return c >= '0' && c <= '9'; });
}

bool channelName(const char *begin, const char *end, int &card, int &channel)
{
    const std::string text(begin, end);
    const size_t underscore = text.find("_CH");
    if (text.compare(0, 2, "FC") != 0 || underscore == std::string::npos)
        return false;
    const char *s = text.c_str();
    return wholeNumber(s + 2, s + underscore, card) && wholeNumber(s + underscore + 3, s + text.size(), channel)
           && card >= 1 && card <= 256 && channel >= 1 && channel <= 16;
}

bool parseRow(const char *text, size_t size, TrendRow &row, std::string *why)
{
    const char *fields[fieldCount + 1];
    int count = 0;
    const char *end = text + size;
    fields[count++] = text;
    for (const char *p = text; p != end; ++p)
        if (*p == ',') {
            if (count == fieldCount) {
                *why = "more than 16 fields";
                return false;
            }
            fields[count++] = p + 1;
        }
    if (count != fieldCount) {
        *why = "fewer than 16 fields";
        return false;
    }
    fields[fieldCount] = end + 1;
    auto fieldEnd = [&](int i) { return fields[i + 1] - 1; };
    if (!wholeNumber(fields[0], fieldEnd(0), row.block) || row.block < 0) {
        *why = "the block number is not a whole number from 0";
        return false;
    }
    if (!realNumber(fields[1], fieldEnd(1), row.timeSeconds)) {
        *why = "the time is not a number";
        return false;
    }
    row.hasTimestamp = fields[2] != fieldEnd(2);
    if (row.hasTimestamp && !timestamp(fields[2], fieldEnd(2), row.stampSeconds, row.stampNanos)) {
        *why = "the time stamp is not seconds.nanoseconds";
        return false;
    }
    if (!channelName(fields[3], fieldEnd(3), row.card, row.channel)) {
        *why = "the channel is not FC<card>_CH<channel>";
        return false;
    }
    const std::string flag(fields[8], fieldEnd(8));
    if (flag != "0" && flag != "1") {
        *why = "over_range is neither 0 nor 1";
        return false;
    }
    row.overRange = flag == "1";
    // mean ... max before the flag, the figures after it.
    const int columns[trendFigureCount] = {4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15};
    for (int f = 0; f < trendFigureCount; ++f)
        if (!realNumber(fields[columns[f]], fieldEnd(columns[f]), row.figures[f])) {
            *why = std::string("the ") + trendFigureNames[f] + " is not a number";
            return false;
        }
    return true;
}

bool parseSkip(const char *text, size_t size, TrendEntry &entry)
{
    const size_t prefix = sizeof skipPrefix - 1;
    const std::string rest(text + prefix, size - prefix);
    const size_t to = rest.find(" to ");
    if (to == std::string::npos)
        return false;
    const char *s = rest.c_str();
    return wholeNumber(s, s + to, entry.firstSkipped) && wholeNumber(s + to + 4, s + rest.size(), entry.lastSkipped)
           && entry.firstSkipped >= 0 && entry.firstSkipped <= entry.lastSkipped;
}

} // namespace

int trendFigureIndex(const std::string &name)
{
    for (int f = 0; f < trendFigureCount; ++f) {
        const char *known = trendFigureNames[f];
        if (name.size() == std::strlen(known)
            && std::equal(name.begin(), name.end(), known, [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               }))
            return f;
    }
    return -1;
}

std::string trendLogHeaderText()
{
    return std::string(titleLine) + '\n' + columnLine + '\n';
}

void appendTrendRow(std::string &text, const TrendRow &row)
{
    appendInteger(text, row.block);
    text += ',';
    appendDouble(text, row.timeSeconds);
    text += ',';
    if (row.hasTimestamp) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%d.%09d", int(row.stampSeconds), int(row.stampNanos));
        text += stamp;
    }
    text += ",FC";
    appendInteger(text, row.card);
    text += "_CH";
    appendInteger(text, row.channel);
    for (int f = 0; f < trendFigureCount; ++f) {
        if (f == 4)
            text += row.overRange ? ",1" : ",0";
        text += ',';
        appendDouble(text, row.figures[f]);
    }
    text += '\n';
}

void appendTrendSkip(std::string &text, int64_t firstBlock, int64_t lastBlock)
{
    text += skipPrefix;
    appendInteger(text, firstBlock);
    text += " to ";
    appendInteger(text, lastBlock);
    text += '\n';
}

bool parseTrendLine(const char *text, size_t size, TrendEntry &entry, bool *comment, std::string *why)
{
    *comment = false;
    const size_t prefix = sizeof skipPrefix - 1;
    if (size >= prefix && std::memcmp(text, skipPrefix, prefix) == 0) {
        entry.kind = TrendEntry::Skip;
        if (parseSkip(text, size, entry))
            return true;
        *why = "a skip row must read \"# skipped blocks FIRST to LAST\"";
        return false;
    }
    if (size > 0 && text[0] == '#') {
        *comment = true;
        return true;
    }
    entry.kind = TrendEntry::Row;
    return parseRow(text, size, entry.row, why);
}

TrendLogReader::~TrendLogReader()
{
    if (file)
        std::fclose(file);
}

bool TrendLogReader::fail(const std::string &text)
{
    why = path + ": " + (lineNumber > 0 ? "line " + std::to_string(lineNumber) + ": " : std::string()) + text;
    return false;
}

bool TrendLogReader::readLine(std::string &line, bool *ended)
{
    line.clear();
    *ended = false;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\n') {
            *ended = true;
            break;
        }
        // A line of a real log is a few hundred characters.
        if (line.size() >= 4096)
            return fail("a line is longer than 4096 characters");
        line += char(c);
    }
    if (std::ferror(file))
        return fail(std::strerror(errno));
    if (*ended || !line.empty())
        ++lineNumber;
    return *ended || !line.empty();
}

bool TrendLogReader::open(const std::string &name)
{
    path = name;
    why.clear();
    lineNumber = 0;
    unfinished = false;
    if (file)
        std::fclose(file);
    file = std::fopen(name.c_str(), "rb");
    if (!file)
        return fail(std::strerror(errno));
    std::string line;
    bool ended = false;
    if (!readLine(line, &ended) || !ended || line != titleLine)
        return why.empty() ? fail(std::string("not a trend log: the first line must be \"") + titleLine + "\"")
                           : false;
    if (!readLine(line, &ended) || !ended || line != columnLine)
        return why.empty() ? fail("the column line is not that of a trend log") : false;
    return true;
}

bool TrendLogReader::next(TrendEntry &entry)
{
    if (!file || !why.empty())
        return false;
    std::string line;
    bool ended = false;
    while (readLine(line, &ended)) {
        bool comment = false;
        std::string reason;
        const bool parsed = parseTrendLine(line.data(), line.size(), entry, &comment, &reason);
        if (!ended) {
            // The last line was still being written when the file was read.
            unfinished = true;
            return false;
        }
        if (!parsed)
            return fail(reason);
        if (!comment)
            return true;
    }
    return false;
}
