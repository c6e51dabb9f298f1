// The full scale of a channel, for levels in dBFS: the peak of a full-scale
// sine is the channel's full-scale value as the channel panel's threshold
// limits state it for its gain and the first card's subtype
// (nv6842fp::thresholdLimit: 10 V at gain 1), and 10 V for a stored file,
// which holds no gain.
#ifndef CHANNELFULLSCALE_H
#define CHANNELFULLSCALE_H

class nv6842fp_App;

// chIdx = card * 16 + channel; volts, peak.
double nv6842fp_channelFullScale(nv6842fp_App &window, int chIdx);

#endif
