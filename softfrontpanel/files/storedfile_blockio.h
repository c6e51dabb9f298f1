// Block reading on an already opened file, shared by the one-shot block
// readers and the sequential reader of the file tool.
#ifndef STOREDFILE_BLOCKIO_H
#define STOREDFILE_BLOCKIO_H

#include "storedfile.h"

#include <cstdio>

// Opens path for binary reading, but only when it is a regular file: a FIFO
// or a device would block in the open or in the first read for ever, and has
// no size to cut into blocks. Returns null otherwise, with errno set.
FILE *openStoredFileStream(const char *path);

// True when every block of the file carries one seconds and one nanoseconds
// array of scansPerBlock int32 values.
bool storedFileHasStamps(const StoredFileInfo_t &info);

// Reads block k of an opened file: samples (info.sampleBytes bytes) and, when
// seconds and nanos are given, the time stamps. Returns 1 when everything was
// read, 0 on a short read, -1 when k or info does not describe a block.
int readStoredBlockFrom(FILE *file, const StoredFileInfo_t &info, int64_t k, void *samples,
                        int32_t *seconds, int32_t *nanos);

#endif
