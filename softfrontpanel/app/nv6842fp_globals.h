// Process-wide state owned by start-up: the store-calibration flag, the record
// of an opened stored file and the card count used without hardware.
#ifndef NV6842FP_GLOBALS_H
#define NV6842FP_GLOBALS_H

#include "acqSetup.h"
#include "storedfile.h"

#include <cstddef>
#include <cstdint>

// Set when the first argument is "storeCalib".
extern bool storeCalibMode;
// The opened stored file; dataBytes > 0 means offline file mode.
extern StoredFileInfo_t StoredFileInfo;
// Cards assumed without a hardware session. The same storage as
// StoredFileInfo.fcCount: reading a file replaces it with the file's count.
extern uint16_t &demoCardCount;

// Sample values one block may hold (the waveform panel's buffers).
constexpr size_t waveformBufferValues = blockBufferValues;

inline bool fileModeActive()
{
    return StoredFileInfo.dataBytes > 0;
}

#endif
