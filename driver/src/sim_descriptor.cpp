#include "sim_descriptor.h"

#include "visa.h"

#include <cctype>
#include <cstdlib>

namespace trellin::sim {

std::string toUpper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string trim(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

namespace {

std::vector<std::string> splitFields(const std::string &text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto pos = text.find("::", start);
        parts.push_back(text.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
        if (pos == std::string::npos)
            break;
        start = pos + 2;
    }
    return parts;
}

} // namespace

bool parseDescriptor(const std::string &text, ParsedDescriptor &out)
{
    const std::vector<std::string> parts = splitFields(toUpper(trim(text)));
    if (parts.size() < 2 || parts.back() != "INSTR")
        return false;
    const std::string &head = parts.front();
    std::size_t i = 0;
    while (i < head.size() && (std::isalpha(static_cast<unsigned char>(head[i])) || head[i] == '-'))
        ++i;
    if (i == 0)
        return false;
    out.interface = head.substr(0, i);
    const std::string digits = head.substr(i);
    for (char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    if (digits.size() > 6)
        return false;
    out.board = digits.empty() ? 0 : std::atoi(digits.c_str());
    out.fields.assign(parts.begin() + 1, parts.end() - 1);
    for (const std::string &field : out.fields)
        if (field.empty())
            return false;
    return true;
}

bool sameResource(const std::string &a, const std::string &b)
{
    ParsedDescriptor pa, pb;
    if (!parseDescriptor(a, pa) || !parseDescriptor(b, pb))
        return toUpper(trim(a)) == toUpper(trim(b));
    return pa.interface == pb.interface && pa.board == pb.board && pa.fields == pb.fields;
}

bool reachesCarrier(const Carrier &carrier, const std::string &descriptor)
{
    if (sameResource(carrier.descriptor(), descriptor))
        return true;
    for (const std::string &alias : carrier.aliases)
        if (sameResource(alias, descriptor))
            return true;
    ParsedDescriptor parsed;
    if (!parseDescriptor(descriptor, parsed) || parsed.board != carrier.board)
        return false;
    if (carrier.kind == Carrier::Kind::Vxi) {
        if (parsed.interface != "VXI" || parsed.fields.size() != 1)
            return false;
        const std::string &la = parsed.fields[0];
        for (char c : la)
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return false;
        return la.size() < 6 && std::atoi(la.c_str()) == carrier.logicalAddress;
    }
    if (parsed.interface != "TCPIP" || parsed.fields.empty() || parsed.fields.size() > 2)
        return false;
    const std::string &address = parsed.fields[0];
    if (address != toUpper(carrier.ip) && address != toUpper(carrier.host))
        return false;
    return parsed.fields.size() == 1 || parsed.fields[1] == toUpper(carrier.device);
}

int interfaceType(const std::string &descriptor)
{
    ParsedDescriptor parsed;
    if (!parseDescriptor(descriptor, parsed))
        return 0;
    const std::string &i = parsed.interface;
    if (i == "GPIB")
        return VI_INTF_GPIB;
    if (i == "VXI")
        return VI_INTF_VXI;
    if (i == "GPIB-VXI")
        return VI_INTF_GPIB_VXI;
    if (i == "ASRL")
        return VI_INTF_ASRL;
    if (i == "PXI")
        return VI_INTF_PXI;
    if (i == "TCPIP")
        return VI_INTF_TCPIP;
    if (i == "USB")
        return 7;
    return 0;
}

bool supportedExpression(const std::string &expression)
{
    if (expression.empty())
        return false;
    for (char c : expression)
        if (std::string("[]{}()|\\+^$!&=").find(c) != std::string::npos)
            return false;
    return true;
}

bool expressionMatches(const std::string &expression, const std::string &text)
{
    const std::string p = toUpper(expression), t = toUpper(text);
    // Iterative glob matching with one back-tracking point for the last '*'.
    std::size_t pi = 0, ti = 0, star = std::string::npos, mark = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == t[ti])) {
            ++pi;
            ++ti;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ti;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

} // namespace trellin::sim
