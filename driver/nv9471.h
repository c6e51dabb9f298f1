/* Trellin common library (nv9471_64): carrier information, error texts,
 * revision and delays shared by all function-card drivers. */
#ifndef TRELLIN_NV9471_H
#define TRELLIN_NV9471_H

#include "visa.h"

#ifdef __cplusplus
extern "C" {
#endif

#define nv9471_MAX_FC_POSITIONS 8

/* Status codes of the common library (negative = error). */
#define nv9471_ERROR_BASE ((ViStatus)0xBFFC0100L)
#define nv9471_ERROR_NOT_A_CARRIER ((ViStatus)(nv9471_ERROR_BASE + 1))
#define nv9471_ERROR_INV_HANDLE ((ViStatus)(nv9471_ERROR_BASE + 2))
#define nv9471_ERROR_INV_FC ((ViStatus)(nv9471_ERROR_BASE + 3))
#define nv9471_ERROR_INV_OFFSET ((ViStatus)(nv9471_ERROR_BASE + 4))
#define nv9471_ERROR_INV_PARAMETER ((ViStatus)(nv9471_ERROR_BASE + 5))

/* What a carrier tells about itself (read-only for the caller). */
typedef struct nv9471_carrierData {
    ViUInt16 fcCount;                          /* function-card positions */
    ViUInt16 carrierModel;                     /* carrier model code */
    ViUInt16 fcModel[nv9471_MAX_FC_POSITIONS]; /* model code per position, 0 = empty */
} nv9471_carrierData;

typedef struct nv9471_carrier nv9471_carrier; /* opaque handle */

/* Access routine 1: reads the 16-bit word at a byte offset of function card
 * fc (1-based). Offset 252 holds the card's two revision characters, high
 * byte first. */
typedef ViStatus (*nv9471_readFcWordFn)(nv9471_carrier *handle, ViInt16 fc, ViUInt32 offset,
                                        ViUInt16 *value);
#define nv9471_ACCESS_READ_FC_WORD 1

/* Ordinal 1: the library's revision text (buffer of at least 256 bytes). */
TRELLIN_EXPORT ViStatus nv9471_revision(ViChar revision[]);
/* Ordinal 2: carrier information of an open VISA session; negative status on failure. */
TRELLIN_EXPORT ViStatus nv9471_carrierOpen(ViSession vi, nv9471_carrier **handle);
/* Ordinal 3: releases a handle of nv9471_carrierOpen. */
TRELLIN_EXPORT ViStatus nv9471_carrierClose(nv9471_carrier *handle);
TRELLIN_EXPORT const nv9471_carrierData *nv9471_carrierInfo(const nv9471_carrier *handle);
/* Returns the access routine with the given index, or null. Index 1 is a nv9471_readFcWordFn. */
TRELLIN_EXPORT void *nv9471_accessRoutine(const nv9471_carrier *handle, ViInt32 index);
/* Ordinal 6: error text of a status (VISA or common library); buffer of 1024 bytes. */
TRELLIN_EXPORT ViStatus nv9471_errorText(ViStatus status, ViChar text[]);
/* Ordinal 7: sleeps the calling thread; 0 only yields. */
TRELLIN_EXPORT ViStatus nv9471_delay(ViReal64 milliseconds);

#ifdef __cplusplus
}
#endif

#endif
