#include "nv9471fp_descriptor.h"

#include <QStringList>
#include <algorithm>
#include <climits>

namespace {

// Index of the first character after the leading run of ASCII letters.
int prefixEnd(const QString &descriptor)
{
    int i = 0;
    while (i < descriptor.size()) {
        const ushort c = descriptor.at(i).unicode();
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            break;
        ++i;
    }
    return i;
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Reads the decimal number at position pos (advancing it); saturates instead
// of overflowing on absurdly long digit runs.
int readNumber(const QString &text, int &pos)
{
    long long value = 0;
    while (pos < text.size() && isDigit(text.at(pos))) {
        value = std::min<long long>(value * 10 + (text.at(pos).unicode() - '0'), INT_MAX);
        ++pos;
    }
    return int(value);
}

bool boardOrderedPrefix(const QString &prefix)
{
    static const QStringList prefixes = {QStringLiteral("VXI"),    QStringLiteral("GPIB"),
                                         QStringLiteral("SOCKET"), QStringLiteral("BACKPLANE"),
                                         QStringLiteral("PXI"),    QStringLiteral("ASRL")};
    return prefixes.contains(prefix);
}

struct CodeTranslation {
    ViUInt16 reported;
    ViUInt16 shown;
};

// Products whose reported code is not their catalogue number.
const CodeTranslation codeTranslations[] = {
    {0x6801, 0x6800}, // second build of the 6800 reports a new code
    {0x6571, 0x6570}, // 6570 with the extended memory option
    {1262, 1260},     // carrier variant shown as the standard carrier
};

} // namespace

QString descriptorPrefix(const QString &descriptor)
{
    return descriptor.left(prefixEnd(descriptor)).toUpper();
}

int descriptorBoard(const QString &descriptor)
{
    int pos = prefixEnd(descriptor);
    return readNumber(descriptor, pos);
}

std::array<int, 4> descriptorAddressNumbers(const QString &descriptor)
{
    const std::array<int, 4> none = {0, 0, 0, 0};
    int pos = prefixEnd(descriptor);
    readNumber(descriptor, pos);
    if (descriptor.midRef(pos, 2) != QLatin1String("::"))
        return none;
    pos += 2;
    std::array<int, 4> numbers = none;
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            if (pos >= descriptor.size() || descriptor.at(pos) != QLatin1Char('.'))
                return none;
            ++pos;
        }
        if (pos >= descriptor.size() || !isDigit(descriptor.at(pos)))
            return none;
        numbers[k] = readNumber(descriptor, pos);
    }
    // The address field must end here; "10.0.0.1.example.com" is a host name.
    if (pos < descriptor.size() && descriptor.at(pos) != QLatin1Char(':'))
        return none;
    return numbers;
}

QString descriptorGroupKey(const QString &descriptor)
{
    return descriptor.section(QLatin1Char(':'), 0, 0);
}

bool descriptorLess(const QString &a, const QString &b)
{
    const QString prefixA = descriptorPrefix(a);
    const QString prefixB = descriptorPrefix(b);
    if (prefixA != prefixB)
        return a < b;
    if (prefixA == QLatin1String("TCPIP")) {
        const std::array<int, 4> addressA = descriptorAddressNumbers(a);
        const std::array<int, 4> addressB = descriptorAddressNumbers(b);
        const std::array<int, 5> keyA = {descriptorBoard(a), addressA[0], addressA[1], addressA[2],
                                         addressA[3]};
        const std::array<int, 5> keyB = {descriptorBoard(b), addressB[0], addressB[1], addressB[2],
                                         addressB[3]};
        return keyA < keyB;
    }
    if (boardOrderedPrefix(prefixA))
        return descriptorBoard(a) < descriptorBoard(b);
    return a < b;
}

ViUInt16 translateModelCode(ViUInt16 rawCode)
{
    for (const CodeTranslation &row : codeTranslations) {
        if (row.reported == rawCode)
            return row.shown;
    }
    return rawCode;
}

QString lxiSystemText(const QString &address, ViUInt16 carrierCode)
{
    return QStringLiteral("%1 - %2 LXI").arg(address, QString::number(carrierCode));
}

QString vxiSystemText(int slot, ViUInt16 carrierCode)
{
    return QStringLiteral("Slot %1 - %2 MB").arg(slot).arg(carrierCode);
}

QString fcLabelText(int fcNumber)
{
    return QStringLiteral("FC %1").arg(fcNumber);
}

bool hasRevisionWord(ViUInt16 modelCode)
{
    return modelCode == 0x6842 || modelCode == 0x6851;
}

QString revisionSuffix(ViUInt16 revisionWord)
{
    QString suffix = QStringLiteral("-");
    const char high = char(revisionWord >> 8);
    const char low = char(revisionWord & 0xFF);
    if (high != 0) {
        suffix += QLatin1Char(high);
        if (low != 0)
            suffix += QLatin1Char(low);
    }
    return suffix;
}

QString fcModelText(ViUInt16 modelCode, const QString &suffix)
{
    return QStringLiteral("%1").arg(modelCode, 4, 16, QLatin1Char(' ')) + suffix;
}
