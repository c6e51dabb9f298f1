// Number texts of the CSV files, byte for byte what printf prints in the C
// locale, but several times faster: the streaming engine writes every sample
// of a continuous acquisition through these.
#ifndef CSVFORMAT_H
#define CSVFORMAT_H

#include <cstddef>
#include <cstdint>

// Room one call below may need: printf("%.6f", -DBL_MAX) is 317 characters.
constexpr size_t maxFixedTextChars = 320;

// Writes value as printf("%.*f", precision, value) would in the C locale
// (rounding the exact binary value, ties to even; "-0.000000" for negative
// zero; "nan", "-nan", "inf", "-inf"). precision 0 ... 6; 3 and 6 take a fast
// path. Writes no terminating zero; returns the end of the text.
// out must hold maxFixedTextChars characters.
char *formatFixed(char *out, double value, int precision);

// Writes printf("%d.%09d", seconds, nanos). out must hold 32 characters.
char *formatTimestamp(char *out, int32_t seconds, int32_t nanos);

#endif
