// An 80-bit integer of five 16-bit words (word[0] least significant), signed
// (two's complement) or unsigned: the value of the digit control's integer mode.
#ifndef NV9471FP_INTXXL_H
#define NV9471FP_INTXXL_H

#include <QtGlobal>

struct intXXL {
    quint16 word[5] = {0, 0, 0, 0, 0};
    bool isSigned = false;

    static intXXL fromInt64(qint64 value);   // signed, sign-extended
    static intXXL fromUInt64(quint64 value); // unsigned
    quint64 low64() const;
    bool isNegative() const { return isSigned && (word[4] & 0x8000) != 0; }
    // The magnitude as an unsigned 80-bit value.
    intXXL magnitude() const;
    // Number of digits the magnitude needs in the radix (at least 1).
    int digitCount(int radix) const;
    // Adds a 64-bit signed amount, wrapping at 80 bits; keeps the signedness.
    intXXL plus(qint64 amount) const;
};

// -1, 0 or 1; compared as signed when a is signed.
int compare(const intXXL &a, const intXXL &b);
inline bool operator==(const intXXL &a, const intXXL &b) { return compare(a, b) == 0; }
inline bool operator!=(const intXXL &a, const intXXL &b) { return compare(a, b) != 0; }
inline bool operator<(const intXXL &a, const intXXL &b) { return compare(a, b) < 0; }
inline bool operator>(const intXXL &a, const intXXL &b) { return compare(a, b) > 0; }

#endif
