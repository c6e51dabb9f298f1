/* VISA declarations used by the front panel.
 * The types and constants follow the VISA standard so that a vendor VISA
 * library with the same declarations can replace the simulated one. */
#ifndef TRELLIN_VISA_H
#define TRELLIN_VISA_H

#include <stdint.h>

#if defined(__GNUC__)
#define TRELLIN_EXPORT __attribute__((visibility("default")))
#else
#define TRELLIN_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int8_t ViInt8;
typedef uint8_t ViUInt8;
typedef int16_t ViInt16;
typedef uint16_t ViUInt16;
typedef int32_t ViInt32;
typedef uint32_t ViUInt32;
typedef int64_t ViInt64;
typedef uint64_t ViUInt64;
typedef double ViReal64;
typedef float ViReal32;
typedef uint16_t ViBoolean;
typedef char ViChar;
typedef ViChar *ViString;
typedef const ViChar *ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef void *ViAddr;
typedef ViInt32 ViStatus;
typedef ViUInt32 ViObject;
typedef ViObject ViSession;
typedef ViObject ViFindList;
typedef ViUInt32 ViAttr;
typedef uint64_t ViAttrState;
typedef ViUInt32 ViAccessMode;
typedef ViUInt16 *ViPUInt16;
typedef ViSession *ViPSession;
typedef ViFindList *ViPFindList;
typedef ViUInt32 *ViPUInt32;

#define VI_TRUE ((ViBoolean)1)
#define VI_FALSE ((ViBoolean)0)
#define VI_NULL 0
#define VI_SUCCESS ((ViStatus)0)
#define VI_NO_LOCK ((ViAccessMode)0)

/* Completion and error codes (values from the VISA standard). */
#define VI_ERROR ((ViStatus)0xBFFF0000L) /* as signed: negative */
#define VI_ERROR_SYSTEM_ERROR ((ViStatus)(VI_ERROR + 0x0000L))
#define VI_ERROR_INV_OBJECT ((ViStatus)(VI_ERROR + 0x000EL))
#define VI_ERROR_RSRC_NFOUND ((ViStatus)(VI_ERROR + 0x0011L))
#define VI_ERROR_INV_RSRC_NAME ((ViStatus)(VI_ERROR + 0x0012L))
#define VI_ERROR_TMO ((ViStatus)(VI_ERROR + 0x0015L))
#define VI_ERROR_NSUP_ATTR ((ViStatus)(VI_ERROR + 0x001DL))
#define VI_ERROR_INV_EXPR ((ViStatus)(VI_ERROR + 0x0010L))
#define VI_ERROR_NSUP_OPER ((ViStatus)(VI_ERROR + 0x0067L))
#define VI_ERROR_ALLOC ((ViStatus)(VI_ERROR + 0x003CL))
#define VI_ERROR_INV_PARAMETER ((ViStatus)(VI_ERROR + 0x0078L))
#define VI_ERROR_RSRC_BUSY ((ViStatus)(VI_ERROR + 0x0072L))
/* Warning of an error-text call that does not know the status. */
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085L)

/* Attributes read by the front panel. */
#define VI_ATTR_USER_DATA ((ViAttr)0x3FFF0007UL)
#define VI_ATTR_INTF_NUM ((ViAttr)0x3FFF0176UL)
#define VI_ATTR_INTF_TYPE ((ViAttr)0x3FFF0171UL)
#define VI_ATTR_SLOT ((ViAttr)0x3FFF00E8UL)
#define VI_ATTR_VXI_LA ((ViAttr)0x3FFF00D5UL)
#define VI_ATTR_MANF_ID ((ViAttr)0x3FFF00D9UL)
#define VI_ATTR_MODEL_CODE ((ViAttr)0x3FFF00DFUL)
#define VI_ATTR_RSRC_NAME ((ViAttr)0xBFFF0002UL)
#define VI_ATTR_TCPIP_ADDR ((ViAttr)0xBFFF0195UL)
#define VI_ATTR_TCPIP_HOSTNAME ((ViAttr)0xBFFF0196UL)
#define VI_ATTR_TCPIP_DEVICE_NAME ((ViAttr)0xBFFF0199UL)

/* Interface types (VI_ATTR_INTF_TYPE). */
#define VI_INTF_GPIB 1
#define VI_INTF_VXI 2
#define VI_INTF_GPIB_VXI 3
#define VI_INTF_ASRL 4
#define VI_INTF_PXI 5
#define VI_INTF_TCPIP 6

#define VI_FIND_BUFLEN 256

TRELLIN_EXPORT ViStatus viOpenDefaultRM(ViSession *rm);
TRELLIN_EXPORT ViStatus viFindRsrc(ViSession rm, ViConstString expr, ViFindList *list,
                                   ViUInt32 *count, ViChar desc[]);
TRELLIN_EXPORT ViStatus viFindNext(ViFindList list, ViChar desc[]);
TRELLIN_EXPORT ViStatus viOpen(ViSession rm, ViConstRsrc name, ViAccessMode mode,
                               ViUInt32 timeout, ViSession *vi);
TRELLIN_EXPORT ViStatus viClose(ViObject vi);
/* Writes the attribute into attrState; the caller's buffer must fit the
 * attribute's type (ViUInt16, ViInt16, ViAddr or a 256-byte text). */
TRELLIN_EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attr, void *attrState);
TRELLIN_EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attr, ViAttrState attrState);

#ifdef __cplusplus
}
#endif

#endif
