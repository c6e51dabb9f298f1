/* Simulator formulas for tests and benchmarks only (target trellin_sim_formula).
 * The program never includes this header: it sees the simulated instrument
 * only through visa.h, nv9471.h and nv6842.h.
 *
 * Every sample the simulated 6842 delivers is a pure function of the
 * configuration, the card, the channel, its settings and the scan's index
 * since the trigger; these functions compute it with the simulator's own
 * code, so a test can compare a recording bit for bit. */
#ifndef TRELLIN_SIM_H
#define TRELLIN_SIM_H

#include "visa.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Expected volts of channel (1..16) of the card at FC fc behind descriptor,
 * for scans firstScan .. firstScan + count - 1 after the trigger.
 * config: TRELLIN_SIM text ("" = default system, "@file" = statements in a
 * file), or NULL for the current value of the TRELLIN_SIM environment variable.
 * source: 1 front panel, 2 motherboard voltage reference (vrefVolts is then
 * the reference output selected when the acquisition started). gain: the
 * channel's gain. rateHz: the session's sampling rate.
 * Returns the number of saturated samples (0 or more), or -1 when the
 * configuration is malformed or the card does not exist. */
TRELLIN_EXPORT int trellinSimExpectedVolts(const char *config, const char *descriptor, int fc, int channel,
                                           int source, int gain, double vrefVolts, double rateHz,
                                           int64_t firstScan, int32_t count, double *volts);

/* Nanoseconds from the trigger to scan number scan at rateHz: a scan's time
 * stamp is the trigger time on the card clock plus this offset. */
TRELLIN_EXPORT int64_t trellinSimScanOffsetNs(double rateHz, int64_t scan);

/* 1 when the configuration is malformed (the simulator then uses its default
 * system), with the reason in text; 0 when it is valid. */
TRELLIN_EXPORT int trellinSimConfigError(const char *config, char *text, int size);

/* The descriptor list the latest nv6842_multInit call received (empty for a
 * null list), cut to fit text[size]; returns its whole length. Unlike the
 * calls above it lives in the simulated driver (libnv6842_64), so a test that
 * links the driver reaches it without trellin_sim_formula. */
TRELLIN_EXPORT int trellinSimLastMultInitDescriptors(char *text, int size);

/* The configuring calls the simulated driver received since the last
 * trellinSimJournalClear, one line each as "name(arg, ...)" with the call's
 * value arguments in order (sessions as numbers, reals with 17 significant
 * digits): nv6842_multReset, setMultChanConfig, setMultATRIConfig,
 * setMultTrigConfig, multConfig, setOTRIConfig, setFPTrigPolarity, the
 * starts and stop, generateITRI, calibrateChannels (fcVi, mask, gain) and
 * storeCalibData. Recorded on entry, whatever the call then returns. Cut to
 * fit text[size]; returns the whole length. Lives in the simulated driver. */
TRELLIN_EXPORT int trellinSimJournal(char *text, int size);
TRELLIN_EXPORT void trellinSimJournalClear(void);

#ifdef __cplusplus
}
#endif

#endif
