#include "nv9471fp_intXXL.h"

intXXL intXXL::fromInt64(qint64 value)
{
    intXXL result = fromUInt64(quint64(value));
    result.isSigned = true;
    result.word[4] = value < 0 ? 0xFFFF : 0;
    return result;
}

intXXL intXXL::fromUInt64(quint64 value)
{
    intXXL result;
    for (int i = 0; i < 4; ++i)
        result.word[i] = quint16(value >> (16 * i));
    return result;
}

quint64 intXXL::low64() const
{
    quint64 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 16) | word[i];
    return value;
}

intXXL intXXL::magnitude() const
{
    intXXL result = *this;
    result.isSigned = false;
    if (!isNegative())
        return result;
    // Two's complement: invert and add one.
    quint32 carry = 1;
    for (quint16 &w : result.word) {
        const quint32 sum = quint32(quint16(~w)) + carry;
        w = quint16(sum);
        carry = sum >> 16;
    }
    return result;
}

int intXXL::digitCount(int radix) const
{
    intXXL rest = magnitude();
    int digits = 0;
    bool zero = false;
    while (!zero) {
        // Long division of the five words by the radix.
        quint32 remainder = 0;
        zero = true;
        for (int i = 4; i >= 0; --i) {
            const quint32 current = (remainder << 16) | rest.word[i];
            rest.word[i] = quint16(current / quint32(radix));
            remainder = current % quint32(radix);
            if (rest.word[i])
                zero = false;
        }
        ++digits;
    }
    return digits;
}

intXXL intXXL::plus(qint64 amount) const
{
    const intXXL addend = fromInt64(amount);
    intXXL result = *this;
    quint32 carry = 0;
    for (int i = 0; i < 5; ++i) {
        const quint32 sum = quint32(result.word[i]) + addend.word[i] + carry;
        result.word[i] = quint16(sum);
        carry = sum >> 16;
    }
    return result;
}

int compare(const intXXL &a, const intXXL &b)
{
    if (a.isSigned) {
        const bool aNegative = (a.word[4] & 0x8000) != 0;
        const bool bNegative = (b.word[4] & 0x8000) != 0;
        if (aNegative != bNegative)
            return aNegative ? -1 : 1;
    }
    for (int i = 4; i >= 0; --i) {
        if (a.word[i] != b.word[i])
            return a.word[i] < b.word[i] ? -1 : 1;
    }
    return 0;
}
