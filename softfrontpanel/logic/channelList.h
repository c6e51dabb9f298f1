// Channel sets of one card as people type and read them: "1,3,5-8", "all" or
// a mask "0x8001" in, "1, 3, 5-8" out. Channels are numbered from 1 in the
// texts; bit i of a mask is channel i + 1.
#ifndef CHANNELLIST_H
#define CHANNELLIST_H

#include <QString>
#include <cstdint>

// Reads a mask ("0x8001"), a list of channels from 1 with ranges
// ("1,3,5-8") or "all" (any case, blanks around the text allowed) into
// *mask. False for anything else: a channel outside 1 ... 16, a range that
// runs backwards, an empty item.
bool parseChannelSpec(const QString &spec, uint16_t *mask);

// The channels of mask in rising order, runs of three or more as ranges:
// 0x00ED gives "1, 3, 4, 6-8"; "" for no channel.
QString channelListText(uint16_t mask);

#endif
