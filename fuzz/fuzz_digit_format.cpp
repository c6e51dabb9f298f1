// libFuzzer target of the digit control's display-format parser and the
// integer texts built from it. Input: one byte of type mask, 20 bytes of
// limits, 10 of value, 8 of a double, then the format text, a NUL, and a text
// typed by the operator. Beyond not crashing it checks that parsing is
// deterministic and bounded, that the rebuilt printf format parses back to
// the same pieces and never pairs a double with an integer conversion, and
// that every integer text shown is accepted by the validator and reads back
// as the same value, while anything the validator accepts reads as a value
// between the limits.
#include "nv9471fp_digitFormat.h"

#include <QRegExp>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// Fails loudly so that libFuzzer records the input.
void require(bool condition)
{
    if (!condition)
        std::abort();
}

intXXL wordsAt(const uint8_t *bytes, bool isSigned)
{
    intXXL value;
    for (int i = 0; i < 5; ++i)
        value.word[i] = quint16(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    value.isSigned = isSigned;
    return value;
}

bool anyBaseAllowed(int mask)
{
    for (int b = 0; b < nv9471fp_digitBaseCount(); ++b) {
        if (nv9471fp_digitBaseAllowed(b, mask))
            return true;
    }
    return false;
}

void checkParsed(const nv9471fp_displayFormat &parsed, int mask)
{
    require(parsed.flag == 0 || parsed.flag == '+' || parsed.flag == ' ');
    require(parsed.width >= -1 && parsed.width <= nv9471fp_digitFormatMaxNumber);
    require(parsed.precision >= -1 && parsed.precision <= nv9471fp_digitFormatMaxNumber);
    if (!anyBaseAllowed(mask)) {
        require(parsed.base == -1);
        return;
    }
    require(nv9471fp_digitBaseAllowed(parsed.base, mask));

    const bool integer = (mask & 4) == 0;
    const QString format = nv9471fp_printfFormat(parsed, integer);
    const nv9471fp_digitBase &info = nv9471fp_digitBaseAt(parsed.base);
    if (info.conversion == 0) {
        require(format.isEmpty());
        return;
    }
    const QString conversion = QString(QLatin1Char(info.conversion));
    const QRegExp shape(QStringLiteral("%[+ ]?\\d{0,2}(\\.\\d{1,2})?") +
                        (integer ? QStringLiteral("ll") : QString()) + conversion);
    require(shape.exactMatch(format));
    require(nv9471fp_parseDisplayFormat(format, mask) == parsed);
    if (mask == 4)
        require(QStringLiteral("fgeE").contains(conversion));
}

void checkFloatingText(const nv9471fp_displayFormat &parsed, double value)
{
    const QString format = nv9471fp_printfFormat(parsed, false);
    const QString text = QString::asprintf(format.toLatin1().constData(), value);
    // 99 places of width or precision on top of the 309 digits of DBL_MAX.
    require(text.size() <= 2 * nv9471fp_digitFormatMaxNumber + 320);
}

void checkInteger(nv9471fp_displayFormat parsed, bool isSigned, const uint8_t *bytes,
                  const QString &typed)
{
    intXXL minimum = wordsAt(bytes, isSigned);
    intXXL maximum = wordsAt(bytes + 10, isSigned);
    if (minimum > maximum)
        std::swap(minimum, maximum);
    intXXL value = wordsAt(bytes + 20, isSigned);
    if (value < minimum)
        value = minimum;
    else if (value > maximum)
        value = maximum;

    // Every base the control's button can reach, not only the parsed one.
    const int mask = isSigned ? 1 : 2;
    for (int base = 0; base < nv9471fp_digitBaseCount(); ++base) {
        if (!nv9471fp_digitBaseAllowed(base, mask))
            continue;
        parsed.base = base;
        const int radix = nv9471fp_digitBaseAt(base).radix;
        const QRegExp pattern(nv9471fp_integerPattern(parsed, minimum, maximum));
        require(pattern.isValid());

        const QString text = nv9471fp_integerText(value, parsed);
        require(text == nv9471fp_integerText(value, parsed));
        require(pattern.exactMatch(text));
        intXXL back;
        require(nv9471fp_readInteger(text, radix, minimum, maximum, back));
        require(back == value && back.isSigned == isSigned);
        for (const intXXL &limit : {minimum, maximum})
            require(pattern.exactMatch(nv9471fp_integerText(limit, parsed)));

        intXXL read;
        const bool ok = nv9471fp_readInteger(typed, radix, minimum, maximum, read);
        if (pattern.exactMatch(typed))
            require(ok);
        if (ok)
            require(!(read < minimum) && !(read > maximum) && read.isSigned == isSigned);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t head = 1 + 30 + 8;
    uint8_t fixed[head] = {};
    std::memcpy(fixed, data, size < head ? size : head);
    const int mask = fixed[0] & 7;
    double floating = 0;
    std::memcpy(&floating, fixed + 31, sizeof floating);

    const char *rest = reinterpret_cast<const char *>(data) + (size < head ? size : head);
    const size_t restSize = size < head ? 0 : size - head;
    const char *nul = static_cast<const char *>(std::memchr(rest, 0, restSize));
    const int formatSize = int(nul ? nul - rest : restSize);
    const QString formatText = QString::fromUtf8(rest, formatSize);
    const QString typed =
        nul ? QString::fromUtf8(nul + 1, int(restSize) - formatSize - 1) : QString();

    const nv9471fp_displayFormat parsed = nv9471fp_parseDisplayFormat(formatText, mask);
    require(nv9471fp_parseDisplayFormat(formatText, mask) == parsed);
    checkParsed(parsed, mask);
    if (parsed.base < 0)
        return 0;
    if (mask == 4)
        checkFloatingText(parsed, floating);
    else if (mask == 1 || mask == 2)
        checkInteger(parsed, mask == 1, fixed + 1, typed);
    return 0;
}
