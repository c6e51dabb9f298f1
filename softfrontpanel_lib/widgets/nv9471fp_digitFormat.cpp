#include "nv9471fp_digitFormat.h"

namespace {
const nv9471fp_digitBase baseTable[] = {
    {"decimal", 10, 'd', "d", 1},
    {"unsigned decimal", 10, 'u', "d", 2},
    {"hexadecimal", 16, 'x', "h", 3},
    {"hexadecimal upper", 16, 'X', "H", 3},
    {"octal", 8, 'o', "o", 3},
    {"binary", 2, 0, "b", 3},
    {"float", 0, 'f', "f", 4},
    {"general", 0, 'g', "g", 4},
    {"exponent", 0, 'e', "e", 4},
    {"Exponent", 0, 'E', "E", 4},
};
constexpr int tableSize = int(sizeof baseTable / sizeof baseTable[0]);
constexpr int floatingMask = 4;

// Reads a run of decimal digits; -1 when there is none.
int readNumber(const QString &text, int &i)
{
    int number = -1;
    while (i < text.size() && text.at(i).isDigit()) {
        number = qMin((number < 0 ? 0 : number) * 10 + text.at(i).digitValue(),
                      nv9471fp_digitFormatMaxNumber);
        ++i;
    }
    return number;
}

bool isZero(const intXXL &value)
{
    for (quint16 word : value.word) {
        if (word)
            return false;
    }
    return true;
}

// Divides the unsigned 80-bit value by the radix in place; the remainder.
int divide(intXXL &value, int radix)
{
    quint32 remainder = 0;
    for (int i = 4; i >= 0; --i) {
        const quint32 current = (remainder << 16) | value.word[i];
        value.word[i] = quint16(current / quint32(radix));
        remainder = current % quint32(radix);
    }
    return int(remainder);
}

// value = value * radix + digit on 80 bits; false when it overflows.
bool multiplyAdd(intXXL &value, int radix, int digit)
{
    quint32 carry = quint32(digit);
    for (quint16 &word : value.word) {
        const quint32 product = quint32(word) * quint32(radix) + carry;
        word = quint16(product);
        carry = product >> 16;
    }
    return carry == 0;
}

// Sign and magnitude against a limit: -1, 0 or 1.
int compareToLimit(bool negative, const intXXL &magnitude, const intXXL &limit)
{
    if (isZero(magnitude))
        negative = false;
    const bool limitNegative = limit.isNegative();
    if (negative != limitNegative)
        return negative ? -1 : 1;
    const int order = compare(magnitude, limit.magnitude());
    return negative ? -order : order;
}
} // namespace

int nv9471fp_digitBaseCount()
{
    return tableSize;
}

const nv9471fp_digitBase &nv9471fp_digitBaseAt(int base)
{
    return baseTable[qBound(0, base, tableSize - 1)];
}

bool nv9471fp_digitBaseAllowed(int base, int typeMask)
{
    return base >= 0 && base < tableSize && (baseTable[base].kinds & typeMask) == typeMask;
}

nv9471fp_displayFormat nv9471fp_parseDisplayFormat(const QString &text, int typeMask)
{
    nv9471fp_displayFormat parsed;
    char conversion = 0;
    if (!text.startsWith(QLatin1Char('%'))) {
        conversion = (typeMask & floatingMask) ? 'g' : 'd';
    } else {
        int i = 1;
        if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char(' ')))
            parsed.flag = text.at(i++).toLatin1();
        parsed.width = readNumber(text, i);
        if (i < text.size() && text.at(i) == QLatin1Char('.')) {
            ++i;
            parsed.precision = readNumber(text, i);
        }
        // Length modifiers are the control's business ("ll" in integer mode).
        while (i < text.size() && QStringLiteral("hlLqjzt").contains(text.at(i)))
            ++i;
        if (i < text.size())
            conversion = text.at(i).toLatin1();
    }

    for (int b = tableSize - 1; b >= 0 && parsed.base < 0; --b) {
        if (conversion != 0 && nv9471fp_digitBaseAllowed(b, typeMask)
            && baseTable[b].conversion == conversion)
            parsed.base = b;
    }
    for (int b = 0; b < tableSize && parsed.base < 0; ++b) {
        if (nv9471fp_digitBaseAllowed(b, typeMask))
            parsed.base = b;
    }
    return parsed;
}

QString nv9471fp_printfFormat(const nv9471fp_displayFormat &format, bool integer)
{
    const nv9471fp_digitBase &info = nv9471fp_digitBaseAt(format.base);
    if (info.conversion == 0)
        return QString();
    QString text = QStringLiteral("%");
    if (format.flag)
        text += QLatin1Char(format.flag);
    if (format.width != -1)
        text += QString::number(format.width);
    if (format.precision != -1)
        text += QLatin1Char('.') + QString::number(format.precision);
    if (integer)
        text += QStringLiteral("ll");
    return text + QLatin1Char(info.conversion);
}

QString nv9471fp_integerText(const intXXL &value, const nv9471fp_displayFormat &format)
{
    const nv9471fp_digitBase &info = nv9471fp_digitBaseAt(format.base);
    const int radix = info.radix > 1 ? info.radix : 10;
    const char *const digitSet = info.conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    intXXL rest = value.magnitude();
    QString digits;
    do
        digits.prepend(QLatin1Char(digitSet[divide(rest, radix)]));
    while (!isZero(rest));
    if (format.precision > digits.size())
        digits = digits.rightJustified(format.precision, QLatin1Char('0'));
    if (value.isNegative())
        digits.prepend(QLatin1Char('-'));
    else if (value.isSigned && format.flag)
        digits.prepend(QLatin1Char(format.flag));
    return format.width > digits.size() ? digits.rightJustified(format.width, QLatin1Char(' '))
                                        : digits;
}

QString nv9471fp_integerPattern(const nv9471fp_displayFormat &format, const intXXL &minimum,
                                const intXXL &maximum)
{
    const int radix = nv9471fp_digitBaseAt(format.base).radix;
    QString pattern;
    if (format.width > 0 || format.flag == ' ')
        pattern += QStringLiteral(" *");
    if (radix == 10 || minimum.isSigned)
        pattern += QStringLiteral("[+-]?");
    pattern += QStringLiteral("[0-");
    pattern += radix == 16 ? QStringLiteral("9a-fA-F") : QString::number(radix - 1);
    const int digits = qMax(format.precision,
                            qMax(minimum.digitCount(radix), maximum.digitCount(radix)));
    return pattern + QStringLiteral("]{1,%1}").arg(digits);
}

bool nv9471fp_readInteger(const QString &text, int radix, const intXXL &minimum,
                          const intXXL &maximum, intXXL &value)
{
    const QString trimmed = text.trimmed();
    const QChar first = trimmed.isEmpty() ? QChar() : trimmed.at(0);
    const bool negative = first == QLatin1Char('-');
    int i = negative || first == QLatin1Char('+') ? 1 : 0;
    if (i == trimmed.size())
        return false;
    intXXL magnitude;
    bool overflow = false;
    for (; i < trimmed.size(); ++i) {
        const ushort c = trimmed.at(i).toLower().unicode();
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : -1;
        if (digit < 0 || digit >= radix)
            return false;
        // Past 80 bits only the side of the range matters.
        if (!overflow && !multiplyAdd(magnitude, radix, digit))
            overflow = true;
    }
    if ((overflow && negative) || (!overflow && compareToLimit(negative, magnitude, minimum) < 0)) {
        value = minimum;
    } else if (overflow || compareToLimit(negative, magnitude, maximum) > 0) {
        value = maximum;
    } else {
        // Within the limits, so representable in their signedness.
        value = magnitude;
        if (negative) {
            quint32 carry = 1;
            for (quint16 &word : value.word) {
                const quint32 sum = quint32(quint16(~word)) + carry;
                word = quint16(sum);
                carry = sum >> 16;
            }
        }
        value.isSigned = minimum.isSigned;
    }
    return true;
}
