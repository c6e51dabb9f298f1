// Block-mode steps of the refresh cycle that need no widget.
//
// Use, every refresh of a block acquisition:
//   if (acqPollStage(d_vi, report) < 0) stop the timer, end;
//   if (acqBlockReady(scans)) { acqFetchBlock(d_vi, scans, block, &got, report);
//       got == scans: show it; else show acqShortBlockText(got, scans) instead;
//       if (gl_errors & 1) acqReadOverRange(d_vi, chanMask, &marks, report);
//       re-arm with nv6842_startMultAcquisition or stop }
//   else if (gl_state == 4 && no trigger source) acqSoftwareTrigger(d_vi, report);
// Each helper reports a status other than VI_SUCCESS with the call's source
// text, stops at the first error (negative status) and returns it.
#ifndef ACQBLOCK_H
#define ACQBLOCK_H

#include "acqState.h"

#include <cstdint>
#include <vector>

// The published stage says a block is complete: stage "End" or a backlog of
// at least scans.
bool acqBlockReady(int32_t scans);

// Stops the acquisition and reads up to scans scans of every enabled channel
// into data (volts, channel after channel, each channel's run *got long).
// *got receives the count the driver delivered: fewer than scans is a short
// block, whose channels do not start where a whole block's do.
ViStatus acqFetchBlock(ViSession vi, int32_t scans, double *data, int32_t *got, const acqReporter &report);

// marks[j] = the enabled channels of card j that went out of range (read
// and cleared with nv6842_getDAQStatus). marks gets one entry per mask.
ViStatus acqReadOverRange(ViSession vi, const std::vector<uint16_t> &chanMask, std::vector<uint16_t> *marks,
                          const acqReporter &report);

// nv6842_generateITRI(d_vi, nv6842_PULSE).
ViStatus acqSoftwareTrigger(ViSession vi, const acqReporter &report);

#endif
