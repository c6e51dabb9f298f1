// VISA resource descriptors as the framework reads them: the few parts used
// to sort and group search results, and the texts with which carriers and
// function cards are shown. Descriptors themselves are never built here; they
// are passed on to the driver exactly as they were found or typed.
#ifndef NV9471FP_DESCRIPTOR_H
#define NV9471FP_DESCRIPTOR_H

#include "visa.h"

#include <QString>
#include <array>

// Leading run of ASCII letters, in upper case ("GPIB" for "GPIB-VXI0::3::INSTR").
QString descriptorPrefix(const QString &descriptor);
// Decimal number right after the prefix; 0 when there is none.
int descriptorBoard(const QString &descriptor);
// The four numbers of a dotted IPv4 address after "<prefix><board>::"; all
// four are 0 when the descriptor has no such address (e.g. a host name).
std::array<int, 4> descriptorAddressNumbers(const QString &descriptor);
// Text before the first ":" ("VXI0"); rows of one key share a tree group.
QString descriptorGroupKey(const QString &descriptor);

// Sort order of search results: numeric by board (and address for TCPIP)
// within a known interface type, plain string order otherwise.
bool descriptorLess(const QString &a, const QString &b);

// Display translation of a few model codes whose raw value differs from the
// catalogue number; all other codes, 0x6842 and 0x6851 included, pass unchanged.
ViUInt16 translateModelCode(ViUInt16 rawCode);

// "%1 - %2 LXI": TCP/IP address text, carrier model code in decimal.
QString lxiSystemText(const QString &address, ViUInt16 carrierCode);
// "Slot %1 - %2 MB": VXI slot and carrier model code, both in decimal.
QString vxiSystemText(int slot, ViUInt16 carrierCode);
// "FC %1" with the 1-based function-card number.
QString fcLabelText(int fcNumber);
// Only these card models carry a revision word at offset 252.
bool hasRevisionWord(ViUInt16 modelCode);
// "-" and the two characters of the revision word, high byte first; a zero
// byte ends the text ("6842-" for a zero word).
QString revisionSuffix(ViUInt16 revisionWord);
// Model code as four hex digits padded with spaces, then the suffix.
QString fcModelText(ViUInt16 modelCode, const QString &suffix);

#endif
