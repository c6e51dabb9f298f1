// libFuzzer target: resource descriptors as an operator may type them, one per
// line (UTF-8), through the parts read out of a descriptor, the sort order
// and the display texts. Besides crashes it checks the parts against a
// regular-expression reading, and the order's properties.
#include "nv9471fp_descriptor.h"

#include <QRegularExpression>
#include <QStringList>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// Decimal digits to int, saturating at INT_MAX; 0 for no digits.
int saturated(const QString &digits)
{
    QString significant = digits;
    while (significant.size() > 1 && significant.startsWith(QLatin1Char('0')))
        significant.remove(0, 1);
    if (significant.isEmpty() || significant.size() > 10)
        return significant.isEmpty() ? 0 : INT_MAX;
    const qlonglong value = significant.toLongLong();
    return value > INT_MAX ? INT_MAX : int(value);
}

void checkParts(const QString &d)
{
    static const QRegularExpression parts(QStringLiteral("\\A([A-Za-z]*)([0-9]*)"));
    static const QRegularExpression address(QStringLiteral(
        "\\A[A-Za-z]*[0-9]*::([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)(?::|\\z)"));

    const QRegularExpressionMatch m = parts.match(d);
    check(m.hasMatch(), "prefix expression");
    check(descriptorPrefix(d) == m.captured(1).toUpper(), "prefix");
    check(descriptorBoard(d) == saturated(m.captured(2)), "board number");

    const std::array<int, 4> numbers = descriptorAddressNumbers(d);
    const QRegularExpressionMatch a = address.match(d);
    for (int k = 0; k < 4; ++k)
        check(numbers[k] == (a.hasMatch() ? saturated(a.captured(k + 1)) : 0), "address number");

    const QString key = descriptorGroupKey(d);
    check(!key.contains(QLatin1Char(':')) && d.startsWith(key), "group key is a colon-free head");
    check(key.size() == d.size() || d.at(key.size()) == QLatin1Char(':'), "group key ends at a colon");
}

// Same prefix: a strict weak order. Pairwise different prefixes: plain string
// order. Mixed triples are knowingly not transitive (string order across
// prefixes, numbers within one).
void checkOrder(const QString &a, const QString &b, const QString &c)
{
    const QString triple[3] = {a, b, c};
    for (const QString &x : triple)
        check(!descriptorLess(x, x), "irreflexive");
    for (const QString &x : triple) {
        for (const QString &y : triple)
            check(!(descriptorLess(x, y) && descriptorLess(y, x)), "asymmetric");
    }
    const QString pa = descriptorPrefix(a), pb = descriptorPrefix(b), pc = descriptorPrefix(c);
    const bool samePrefix = pa == pb && pb == pc;
    const bool distinctPrefixes = pa != pb && pb != pc && pa != pc;
    if (!samePrefix && !distinctPrefixes)
        return;
    for (const QString &x : triple) {
        for (const QString &y : triple) {
            for (const QString &z : triple) {
                if (descriptorLess(x, y) && descriptorLess(y, z))
                    check(descriptorLess(x, z), "transitive");
                const bool xyEqual = !descriptorLess(x, y) && !descriptorLess(y, x);
                const bool yzEqual = !descriptorLess(y, z) && !descriptorLess(z, y);
                if (xyEqual && yzEqual)
                    check(!descriptorLess(x, z) && !descriptorLess(z, x), "equivalence transitive");
            }
        }
    }
    if (distinctPrefixes)
        check(descriptorLess(a, b) == (a < b), "string order across prefixes");
}

void checkTexts(const QString &text, ViUInt16 first, ViUInt16 second, int number)
{
    check(fcLabelText(number) == QStringLiteral("FC ") + QString::number(number), "FC label");
    check(vxiSystemText(number, first) ==
              QStringLiteral("Slot ") + QString::number(number) + QStringLiteral(" - ") +
                  QString::number(first) + QStringLiteral(" MB"),
          "VXI system text");
    // Typed text may hold "%1" and must come out as it went in.
    check(lxiSystemText(text, second) ==
              text + QStringLiteral(" - ") + QString::number(second) + QStringLiteral(" LXI"),
          "LXI system text");

    const char bytes[3] = {char(second >> 8), char(second & 0xFF), 0};
    const QString suffix = revisionSuffix(second);
    check(suffix == QLatin1Char('-') + QString::fromLatin1(bytes), "revision suffix");
    check(fcModelText(first, suffix) ==
              QString::number(first, 16).rightJustified(4, QLatin1Char(' ')) + suffix,
          "model text");
    check(translateModelCode(translateModelCode(first)) == translateModelCode(first),
          "translation is final");
    if (hasRevisionWord(first))
        check(translateModelCode(first) == first, "revision-word models pass unchanged");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    QStringList lines = input.split(QLatin1Char('\n'));
    while (lines.size() < 3)
        lines.append(QString());
    lines = lines.mid(0, 3);
    for (const QString &line : lines)
        checkParts(line);
    checkOrder(lines.at(0), lines.at(1), lines.at(2));

    const ViUInt16 first = ViUInt16(size > 1 ? data[0] << 8 | data[1] : 0x6842);
    const ViUInt16 second = ViUInt16(size > 3 ? data[2] << 8 | data[3] : 0);
    checkTexts(lines.at(0), first, second, descriptorBoard(lines.at(1)));
    return 0;
}
