#include "nv6842fp_globals.h"

bool storeCalibMode = false;
StoredFileInfo_t StoredFileInfo{};
uint8_t &demoCardCount = StoredFileInfo.fcCount;
