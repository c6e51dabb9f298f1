#include "nv6842fp_globals.h"

bool storeCalibMode = false;
StoredFileInfo_t StoredFileInfo{};
uint16_t &demoCardCount = StoredFileInfo.fcCount;
