#include "csvformat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char digitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes exactly width decimal digits of value (< 10^width), zero padded.
char *writePadded(char *out, uint32_t value, int width)
{
    char *end = out + width;
    char *p = end;
    while (width >= 2) {
        p -= 2;
        std::memcpy(p, digitPairs + 2 * (value % 100), 2);
        value /= 100;
        width -= 2;
    }
    if (width == 1)
        *--p = static_cast<char>('0' + value % 10);
    return end;
}

char *writeUnsigned(char *out, uint64_t value)
{
    return std::to_chars(out, out + 20, value).ptr;
}

template <int Precision> struct DecimalScale;
template <> struct DecimalScale<3> { static constexpr double factor = 1e3; static constexpr uint64_t divisor = 1000; };
template <> struct DecimalScale<6> { static constexpr double factor = 1e6; static constexpr uint64_t divisor = 1000000; };

// Rounds |value| * 10^Precision to an integer the way printf does, from the
// exact product. The computed product p is off from the exact one by at most
// half an ulp, 2^-53 * p; when p lies closer than 2^-52 * p to a half, the
// direction is not certain (or is an exact tie, to go to even) and false is
// returned, as for magnitudes beyond exact integer arithmetic and non-finite
// values: the caller then takes the library conversion. That happens for
// a few values in a billion of the card's range.
template <int Precision>
bool roundScaled(double magnitude, uint64_t *scaled)
{
    const double p = magnitude * DecimalScale<Precision>::factor;
    if (!(p < 0x1p52))
        return false;
    const double whole = std::floor(p);
    // (p - whole) is exact, and so is subtracting 0.5 whenever the result is
    // near zero, the only place where it is compared with the margin.
    const double excess = (p - whole) - 0.5;
    const double margin = p * 0x1p-52;
    if (!(excess > margin || excess < -margin))
        return false;
    // Up or down is as random as the data: no branch on it.
    *scaled = static_cast<uint64_t>(whole) + (excess > margin);
    return true;
}

template <int Precision>
char *formatFixedFast(char *out, double value)
{
    uint64_t scaled = 0;
    if (!roundScaled<Precision>(std::fabs(value), &scaled))
        return nullptr;
    *out = '-';
    out += std::signbit(value); // no branch on the sign of a signal either
    const uint64_t divisor = DecimalScale<Precision>::divisor;
    out = writeUnsigned(out, scaled / divisor);
    *out++ = '.';
    return writePadded(out, static_cast<uint32_t>(scaled % divisor), Precision);
}

} // namespace

char *formatFixed(char *out, double value, int precision)
{
    char *end = nullptr;
    if (precision == 6)
        end = formatFixedFast<6>(out, value);
    else if (precision == 3)
        end = formatFixedFast<3>(out, value);
    if (end)
        return end;
    if (std::isnan(value)) { // to_chars and printf agree on "nan" but not on its sign everywhere
        if (std::signbit(value))
            *out++ = '-';
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    // Specified to print what printf prints in the C locale.
    return std::to_chars(out, out + maxFixedTextChars, value, std::chars_format::fixed, precision).ptr;
}

char *formatTimestamp(char *out, int32_t seconds, int32_t nanos)
{
    if (nanos < 0 || nanos > 999999999) { // not a time of day; printed as printf would, rarely
        const int length = std::snprintf(out, 32, "%d.%09d", seconds, nanos);
        return out + length;
    }
    out = std::to_chars(out, out + 12, seconds).ptr;
    *out++ = '.';
    return writePadded(out, static_cast<uint32_t>(nanos), 9);
}
