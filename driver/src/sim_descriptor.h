// VISA resource descriptors as the simulator reads them: normalised
// comparison, carrier matching and the search expressions it supports.
#ifndef TRELLIN_SIM_DESCRIPTOR_H
#define TRELLIN_SIM_DESCRIPTOR_H

#include "sim_config.h"
#include "sim_export.h"

#include <string>
#include <vector>

namespace trellin::sim {

struct ParsedDescriptor {
    std::string interface;           // upper case letters, e.g. "VXI", "TCPIP", "GPIB-VXI"
    int board = 0;                   // number after the interface, 0 when absent
    std::vector<std::string> fields; // upper-case fields between the board and "INSTR"
};

TRELLIN_SIM_API std::string toUpper(std::string text);
TRELLIN_SIM_API std::string trim(const std::string &text);
// False unless the text has the form IFACE[board]::...::INSTR.
TRELLIN_SIM_API bool parseDescriptor(const std::string &text, ParsedDescriptor &out);
// Same resource: equal after upper-casing and supplying a missing board number.
TRELLIN_SIM_API bool sameResource(const std::string &a, const std::string &b);
// Whether a descriptor reaches the carrier: its own descriptor, an alias, or
// for LXI any TCPIP form naming its address or host name (and device).
TRELLIN_SIM_API bool reachesCarrier(const Carrier &carrier, const std::string &descriptor);
// VI_INTF_* of a descriptor's interface, 0 when unknown.
TRELLIN_SIM_API int interfaceType(const std::string &descriptor);

// Search expressions: '?' matches one character, '*' any run, compared
// without regard to case. Other regular-expression syntax is not supported.
TRELLIN_SIM_API bool supportedExpression(const std::string &expression);
TRELLIN_SIM_API bool expressionMatches(const std::string &expression, const std::string &text);

} // namespace trellin::sim

#endif
