/* Trellin 6842 instrument driver (nv6842_64): 16-channel, 24-bit sigma-delta
 * ADC function card. Multi-card calls address every card of a session opened
 * with nv6842_multInit; channels of multi-card calls are numbered from 1 over
 * all cards (card k, channel c -> k*16 + c + 1). Status: negative = error,
 * 0 = success, positive = warning. */
#ifndef TRELLIN_NV6842_H
#define TRELLIN_NV6842_H

#include "visa.h"

#ifdef __cplusplus
extern "C" {
#endif

#define nv6842_MODEL_CODE 0x6842
#define nv6842_CHANNELS 16
#define nv6842_MAX_CARDS 256

#define nv6842_MB_SYNC_MODE 0
#define nv6842_LOW 0
#define nv6842_HIGH 1
#define nv6842_PULSE 2

/* Acquisition stages reported by nv6842_checkMultAcquisition. */
#define nv6842_STAGE_IDLE 0
#define nv6842_STAGE_HW_ARM 1
#define nv6842_STAGE_DDS_UPD 2
#define nv6842_STAGE_SYNC 3
#define nv6842_STAGE_READY 4
#define nv6842_STAGE_PRE_TRIG 5
#define nv6842_STAGE_POST_TRIG 6
#define nv6842_STAGE_END 7

/* Error bits reported by nv6842_checkMultAcquisition. */
#define nv6842_ERR_OUT_OF_RANGE 0x0001
#define nv6842_ERR_FIFO_OVERFLOW 0x0040
#define nv6842_ERR_FIFO_UNDERFLOW 0x0080

/* Driver status codes (negative errors, positive warnings). */
#define nv6842_ERROR_BASE ((ViStatus)0xBFFC0800L)
#define nv6842_ERROR_INV_SESSION ((ViStatus)(nv6842_ERROR_BASE + 1))
#define nv6842_ERROR_INV_PARAMETER ((ViStatus)(nv6842_ERROR_BASE + 2))
#define nv6842_ERROR_NOT_SUPPORTED_CARD ((ViStatus)(nv6842_ERROR_BASE + 3))
#define nv6842_ERROR_RSRC_NFOUND ((ViStatus)(nv6842_ERROR_BASE + 4))
#define nv6842_ERROR_NO_FC ((ViStatus)(nv6842_ERROR_BASE + 5))
#define nv6842_ERROR_ACQ_RUNNING ((ViStatus)(nv6842_ERROR_BASE + 6))
#define nv6842_ERROR_ACQ_NOT_RUNNING ((ViStatus)(nv6842_ERROR_BASE + 7))
#define nv6842_ERROR_NO_DATA ((ViStatus)(nv6842_ERROR_BASE + 8))
#define nv6842_ERROR_FIFO_OVERFLOW ((ViStatus)(nv6842_ERROR_BASE + 9))
#define nv6842_ERROR_INJECTED ((ViStatus)(nv6842_ERROR_BASE + 10))
#define nv6842_ERROR_TOO_MANY_CARDS ((ViStatus)(nv6842_ERROR_BASE + 11))
#define nv6842_ERROR_BUSY ((ViStatus)(nv6842_ERROR_BASE + 12))
#define nv6842_ERROR_ABORTED ((ViStatus)(nv6842_ERROR_BASE + 13)) /* timed start cancelled by a stop */
#define nv6842_WARN_CALIBRATION ((ViStatus)0x3FFC0A02L)

/* Voltage-reference interface of the motherboard, reached through instEnv. */
typedef struct nv6842_vrefIf {
    const ViInt16 *count;    /* number of selectable values */
    const ViReal64 *values;  /* volts */
    ViStatus (*setVoltRefOutput)(ViAddr libEnv, ViReal64 volts);
    ViStatus (*getVoltRefOutput)(ViAddr libEnv, ViReal64 *volts); /* 0 = success */
} nv6842_vrefIf;

typedef struct nv6842_instHead {
    const nv6842_vrefIf *ifVref; /* null when the carrier has no voltage reference */
    ViAddr libEnv;               /* passed back to the interface's operations */
} nv6842_instHead;

/* Session record of one card (viGetAttribute(fc_vi, VI_ATTR_USER_DATA, &instEnv)). */
typedef struct instEnv_t {
    nv6842_instHead head;
    ViUInt16 subtype;     /* two characters, first in the high byte, e.g. 'A' 'A' */
    ViReal64 minRateHz;   /* sampling-rate range of the card */
    ViReal64 maxRateHz;
    ViInt16 fcNumber;     /* 1-based position on the carrier */
    ViUInt16 scuModel;    /* signal-conditioning unit fitted in front of the card, 0 = none */
} instEnv_t;

/* Session record of a multi-card session (viGetAttribute(d_vi, VI_ATTR_USER_DATA, &multEnv)). */
typedef struct multEnv_t {
    ViInt32 mode;          /* synchronisation mode value; 1 = all cards on one carrier (one host) */
    ViInt16 interfaceType; /* VI_INTF_VXI or VI_INTF_TCPIP of the first card */
    ViInt16 cardCount;
    ViInt16 fcNumbers[nv6842_MAX_CARDS];
} multEnv_t;

/* Called once per block on a driver thread in continuous mode. */
typedef ViInt32 (*nv6842_dataCallback)(ViSession vi, ViAddr userData);

/* Sessions */
TRELLIN_EXPORT ViStatus nv6842_multInit(ViRsrc descriptors, ViInt16 fcNumbers[], ViBoolean idQuery,
                                        ViBoolean reset, ViSession *vi);
TRELLIN_EXPORT ViStatus nv6842_multClose(ViSession vi);
TRELLIN_EXPORT ViStatus nv6842_multReset(ViSession vi, ViInt16 mode);
TRELLIN_EXPORT ViStatus nv6842_getMultFCsession(ViSession vi, ViInt16 index, ViSession *fcVi);

/* Identity and texts */
/* vi: a session or VI_NULL. Writes at most 64 bytes of driverRevision and at
 * most 256 of instrumentRevision (NULL allowed; empty without a session). */
TRELLIN_EXPORT ViStatus nv6842_revision_query(ViSession vi, ViChar driverRevision[],
                                              ViChar instrumentRevision[]);
/* subtype: two characters and a terminating NUL (buffer of at least 3 bytes). */
TRELLIN_EXPORT ViStatus nv6842_getSubType(ViSession fcVi, ViChar subtype[]);
TRELLIN_EXPORT ViStatus nv6842_getSerNum(ViSession fcVi, ViUInt32 *serialNumber);
/* text: at least 256 bytes; at most 256 are written, the NUL included. */
TRELLIN_EXPORT ViStatus nv6842_error_message(ViSession vi, ViStatus status, ViChar text[]);

/* Channels, triggers, timing */
TRELLIN_EXPORT ViStatus nv6842_setMultChanConfig(ViSession vi, ViInt16 channel, ViInt16 source,
                                                 ViInt16 gain, ViBoolean filter);
TRELLIN_EXPORT ViStatus nv6842_setMultATRIConfig(ViSession vi, ViInt16 channel, ViInt16 mode,
                                                 ViInt16 hysteresis, ViInt16 comparison,
                                                 ViReal64 threshold1, ViReal64 threshold2);
TRELLIN_EXPORT ViStatus nv6842_setMultTrigConfig(ViSession vi, ViUInt16 trigSource,
                                                 ViInt16 detection);
TRELLIN_EXPORT ViStatus nv6842_multConfig(ViSession vi, ViInt16 syncMode, ViReal64 freq,
                                          ViInt16 mode, ViInt32 scansPerTrigger, ViUInt16 synchA,
                                          ViUInt16 synchB);
TRELLIN_EXPORT ViStatus nv6842_getOTRIConfig(ViSession fcVi, ViInt16 *sourceMBA, ViInt16 *sourceMBB,
                                             ViInt16 *sourceFPOT1, ViInt16 *sourceFPOT2,
                                             ViInt16 *sourceFPOT3, ViInt16 *sourceDE,
                                             ViInt16 *sourceDI);
TRELLIN_EXPORT ViStatus nv6842_setOTRIConfig(ViSession fcVi, ViInt16 sourceMBA, ViInt16 sourceMBB,
                                             ViInt16 sourceFPOT1, ViInt16 sourceFPOT2,
                                             ViInt16 sourceFPOT3, ViInt16 sourceDE,
                                             ViInt16 sourceDI);
TRELLIN_EXPORT ViStatus nv6842_getFPTrigPolarity(ViSession fcVi, ViInt16 *polarity1,
                                                 ViInt16 *polarity2, ViInt16 *polarity3);
TRELLIN_EXPORT ViStatus nv6842_setFPTrigPolarity(ViSession fcVi, ViInt16 polarity1,
                                                 ViInt16 polarity2, ViInt16 polarity3);

/* Acquisition */
TRELLIN_EXPORT ViStatus nv6842_startMultAcquisition(ViSession vi);
TRELLIN_EXPORT ViStatus nv6842_stopMultAcquisition(ViSession vi);
TRELLIN_EXPORT ViStatus nv6842_startMultAcquisitionEx(ViSession vi, ViInt32 scans,
                                                      nv6842_dataCallback callback,
                                                      ViAddr userData);
/* Block until the card clock reaches startTime (card seconds), then start. */
TRELLIN_EXPORT ViStatus nv6842_startMultAcquisitionTimed64(ViSession vi, ViInt64 startTime,
                                                           ViInt32 reserved);
TRELLIN_EXPORT ViStatus nv6842_startMultAcquisitionTimed64Ex(ViSession vi, ViInt32 scans,
                                                             nv6842_dataCallback callback,
                                                             ViAddr userData, ViInt64 startTime,
                                                             ViInt32 reserved);
/* Any out pointer may be null. */
TRELLIN_EXPORT ViStatus nv6842_checkMultAcquisition(ViSession vi, ViInt16 *state,
                                                    ViUInt16 *errors, ViInt32 *scanBacklog);
/* data: volts, channel after channel (enabled channels ordered by card, then channel). */
TRELLIN_EXPORT ViStatus nv6842_readMultAcquisition(ViSession vi, ViInt32 scans, ViInt32 *scansRead,
                                                   ViReal64 data[]);
TRELLIN_EXPORT ViStatus nv6842_readMultAcquisitionEx(ViSession vi, ViInt32 scans,
                                                     ViInt32 *scansRead, ViReal64 data[],
                                                     ViInt32 seconds[], ViInt32 nanoseconds[]);
/* chErrors: bit i = channel i of this card went out of range (cleared by reading). */
TRELLIN_EXPORT ViStatus nv6842_getDAQStatus(ViSession fcVi, ViUInt16 *state, ViUInt16 *errors,
                                            ViUInt16 *chErrors);
TRELLIN_EXPORT ViStatus nv6842_generateITRI(ViSession vi, ViInt16 mode);

/* Card clock: card seconds = UTC seconds + utcOffset. Any out pointer may be null. */
TRELLIN_EXPORT ViStatus nv6842_getCurrentTimeEx(ViSession fcVi, ViInt64 *seconds,
                                                ViInt32 *nanoseconds, ViInt32 *utcOffset,
                                                ViInt16 *reserved);

/* Calibration (blocks about a second per call) */
TRELLIN_EXPORT ViStatus nv6842_calibrateChannels(ViSession fcVi, ViInt16 channelMask, ViInt16 gain,
                                                 ViReal64 *offsets, ViReal64 *gains,
                                                 ViInt32 *reserved);
TRELLIN_EXPORT ViStatus nv6842_storeCalibData(ViSession fcVi, ViInt16 gain);

#ifdef __cplusplus
}
#endif

#endif
