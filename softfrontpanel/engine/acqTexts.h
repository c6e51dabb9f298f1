// Texts of the acquisition status row, without widgets: stage names, the
// error text of the driver's error bits, the file-size line of streaming and
// what a failure kept.
//
// Use: after each refresh the panel shows acqStageText(gl_state), followed by
// "  [" + text + "]" when acqErrorText(gl_errors, &fatal) is not empty, and
// stops the acquisition when fatal is set. In storage mode it shows
// acqStorageInfoText(bytesWritten, gl_scanBacklog), highlighted when
// acqBacklogHigh(gl_scanBacklog). Colours are plain 0xAARRGGBB values here
// (no QtGui); QColor::fromRgba() takes them as they are.
#ifndef ACQTEXTS_H
#define ACQTEXTS_H

#include <QString>

#include <cstdint>

// The driver's stage texts, indexed by stage code 0 ... 7.
extern const char *const stateNames[8];

// stateNames[state]; "Stage %1" with the code for any other value.
QString acqStageText(int state);

// Text colour of the stage label: red for any error bit, else the stage's
// colour (black for codes outside 0 ... 7).
uint32_t acqStageRgba(int state, uint16_t errors);

// Error bits: any bit other than bit 0 is fatal and gives "FIFO overflow"
// (bit 6), else "FIFO underflow" (bit 7), else "Hardware error %04X" with the
// whole word; bit 0 alone gives "Input Signal Out Of Range" (not fatal); no
// bit gives an empty text. *fatal (when given) says whether to stop.
QString acqErrorText(uint16_t errors, bool *fatal = nullptr);

// "%.2lf GB" from 2^30 bytes, "%.1lf MB" from 2^20, "%.1lf kB" from 1024,
// else "%d B".
QString acqFileSizeText(uint64_t bytes);

// "File size: %1, scan backlog: %2".
QString acqStorageInfoText(uint64_t bytes, int32_t scanBacklog);

// The backlog is shown highlighted (RGB 255, 128, 0) above 16384 scans.
bool acqBacklogHigh(int32_t scanBacklog);

// Streaming to the file ended by an error while the acquisition goes on:
// "Storing stopped: %1 blocks (%2) are in the file." (blocks written, the
// size text of the bytes written).
QString acqStoringStoppedText(int64_t blocks, uint64_t bytes);

// The disk guard ended storing before the disk was full: "The disk is almost
// full: storing stopped after %1 blocks (%2)." (blocks written, the size
// text of the bytes written).
QString acqDiskAlmostFullText(int64_t blocks, uint64_t bytes);

// The warning after a FIFO overflow. Storing to a file: "Acquired data was
// lost in a FIFO overflow: the file holds the %1 blocks written before it.";
// otherwise "Acquired data was lost in a FIFO overflow."
QString acqOverflowLostText(bool storing, int64_t blocksInFile);

// A block-mode read that delivered fewer scans than the block holds:
// "%1 of %2 scans were read" (got, scans), as streaming words it.
QString acqShortBlockText(int32_t got, int32_t scans);

// Why a start did not happen although the panels allowed it: a call that
// configures triggers or timing failed (the failure itself was reported).
QString acqSetupFailedText();

// A timed start whose PTP alarm time is no longer ahead of the card clock.
QString acqStartTimePassedText();

#endif
