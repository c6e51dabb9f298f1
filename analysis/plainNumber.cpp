#include "plainNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>

std::string plainFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return "-";
    // Fixed notation of the largest double takes 309 digits before the point.
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                      std::clamp(decimals, 0, 17));
    std::string written(text, result.ptr);
    // A small negative value rounded to zero reads "0.00", not "-0.00".
    if (written.find_first_not_of("-0.") == std::string::npos && written[0] == '-')
        written.erase(0, 1);
    return written;
}

std::string plainShortest(double value)
{
    if (!std::isfinite(value))
        return "-";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

bool parsePlainNumber(const std::string &text, double &value)
{
    if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string::npos)
        return false;
    double parsed = 0.0;
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}
