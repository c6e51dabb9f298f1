// The digit control's text rules, free of widgets: the base table, the parser
// of the printf-style display format, the format rebuilt from its pieces, and
// the integer mode's text and validator pattern, which must agree with each
// other (whatever the control shows must be accepted when typed back).
#ifndef NV9471FP_DIGITFORMAT_H
#define NV9471FP_DIGITFORMAT_H

#include "nv9471fp_intXXL.h"

#include <QString>

struct nv9471fp_digitBase {
    const char *name;  // shown in the menu
    int radix;         // 0 for the floating notations
    char conversion;   // printf conversion, 0 for binary
    const char *label; // on the base button
    int kinds;         // type-mask bits it serves: 1 signed, 2 unsigned, 4 floating
};

int nv9471fp_digitBaseCount();
// Out-of-range indices give the nearest entry.
const nv9471fp_digitBase &nv9471fp_digitBaseAt(int base);
// A base is allowed when its kinds contain every bit of the type mask.
bool nv9471fp_digitBaseAllowed(int base, int typeMask);

// Width and precision are capped so that a silly format cannot make the text
// absurdly long.
constexpr int nv9471fp_digitFormatMaxNumber = 99;

struct nv9471fp_displayFormat {
    char flag = 0;      // '+', ' ' or none
    int width = -1;     // -1 when not given, else 0..99
    int precision = -1; // -1 when not given, else 0..99
    int base = -1;      // an allowed base; -1 only when the mask allows none
};

inline bool operator==(const nv9471fp_displayFormat &a, const nv9471fp_displayFormat &b)
{
    return a.flag == b.flag && a.width == b.width && a.precision == b.precision
           && a.base == b.base;
}

// "%" [flag] [width] ["." [precision]] [length modifiers] conversion; a text
// without "%" means "%g" (floating mask) or "%d". The base is the allowed one
// with that conversion, searched from the last entry down, else the first
// allowed one.
nv9471fp_displayFormat nv9471fp_parseDisplayFormat(const QString &text, int typeMask);

// The printf format of the pieces ("ll" for integers); empty for binary.
QString nv9471fp_printfFormat(const nv9471fp_displayFormat &format, bool integer);

// Integer text: a minus sign and the magnitude in the base's radix (all 80
// bits), zero-padded to the precision; a signed value that is not negative
// gets the flag; the whole is right-justified to the width with blanks.
QString nv9471fp_integerText(const intXXL &value, const nv9471fp_displayFormat &format);

// The validator's regular expression for integer texts between the limits:
// optional blanks when the text may be padded, a sign for signed values and
// for radix 10, then up to N digits, N being the precision or the digits of
// the larger-magnitude limit, whichever is more.
QString nv9471fp_integerPattern(const nv9471fp_displayFormat &format, const intXXL &minimum,
                                const intXXL &maximum);

// Reads an optionally signed integer in the radix (blanks around allowed).
// A number beyond a limit, however long, gives that limit. False when the
// text is no number.
bool nv9471fp_readInteger(const QString &text, int radix, const intXXL &minimum,
                          const intXXL &maximum, intXXL &value);

#endif
