// Programming the cards for an acquisition from a plain description of the
// panels, without widgets.
//
// Use (startDAQ of the waveform panel, or a headless tool):
//   acqSettings s;  fill it from the panels (one chanMask and one
//                   outputTriggers entry per card of the session)
//   s.fixedSynch = acqFixedSynch(d_vi, s, report);        // hardware only
//   refuse the start when acqRateMissingText(freq) or
//   acqBlockTooLargeText(channels, scans) is not empty
//   if (!acqProgramCards(d_vi, s, report)) do not start;  // trigger, timing, synch, output triggers
//   then start the acquisition (block mode: nv6842_startMultAcquisition; storage
//   mode: contParams.h; timed: acqTimedStart.h).
// Every driver call is checked; a status other than VI_SUCCESS goes to the
// reporter with the call's source text and the set-up carries on with the
// next call.
#ifndef ACQSETUP_H
#define ACQSETUP_H

#include "acqState.h"
#include "visa.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// Values one displayed block may hold: the waveform panel's data and times
// buffers are allocated once with this many doubles each.
constexpr size_t blockBufferValues = 10240000;

// The two output triggers of a card's front panel: driver source codes
// (the combo boxes' item data) and whether each is negated (active low).
struct acqOutputTrigger {
    int source1 = 0;
    int source2 = 0;
    bool negate1 = false;
    bool negate2 = false;
};

// What the panels say about the next acquisition.
struct acqSettings {
    double freq = 0;                   // sampling rate, Hz
    int32_t scans = 0;                 // scans per block
    std::vector<uint16_t> chanMask;    // per card, bit i = channel i (0-based)
    uint16_t trigSource = 0;           // bits 0 ... 4: the trigger-source boxes 0 ... 4
    int trgLevel = 0;                  // detection: 0 edge, 1 level
    bool lxiCarrier = false;           // the "PTP Alarm" source and timed starts exist
    bool ptpAlarmChecked = false;      // the "PTP Alarm" source box is checked
    int syncMethod = -1;               // index of the synchronisation combo, -1 when it does not exist
    bool storage = false;              // continuous acquisition with storage
    bool contChecked = false;          // started with the repetitive button
    bool fixedSynch = true;            // result of acqFixedSynch (demo: not lxiCarrier)
    std::vector<acqOutputTrigger> outputTriggers; // per card
    int64_t startTime = 0;             // timed start, card seconds
};

// Steps of the trigger set-up derived from the settings.
struct acqTriggerMode {
    uint16_t trigSource = 0;
    int16_t mode = 0;     // 2 timed (PTP alarm), 1 triggered, 0 software trigger
    int32_t scansTrig = 0; // scans per trigger; 0 = until stopped (storage mode)
};

// Whether the synchronisation is fixed. Not on an LXI carrier; with a
// session whose mode value is 1 (all cards on one host): fixed unless the
// LXI carrier starts on the PTP alarm. The session record is read with
// viGetAttribute(VI_ATTR_USER_DATA); a failure is reported as
// "viGetAttribute(d_vi, VI_ATTR_USER_DATA, &multEnv)" and leaves the first answer.
bool acqFixedSynch(ViSession vi, const acqSettings &settings, const acqReporter &report);

acqTriggerMode acqTriggerModeOf(const acqSettings &settings);

// 0xFFFE when fixed; otherwise 0xFFFE only for synchronisation method 0
// ("LXI Triggers"), else 0xFFFF.
uint16_t acqSynchValue(bool fixedSynch, int syncMethod);

// A timed start: LXI carrier with the "PTP Alarm" source checked.
bool acqTimedStartWanted(const acqSettings &settings);

// Trigger configuration, timing and synchronisation, then every card's
// output triggers and their polarities (the third polarity is kept).
// Returns false when any of these calls failed (negative status; warnings
// do not count): the cards would then run with settings other than the
// panels show, so the caller must not start.
bool acqProgramCards(ViSession vi, const acqSettings &settings, const acqReporter &report);

// The output-trigger part of acqProgramCards: entry j programs card j's two
// output triggers and their polarities. Also used to restore them after a
// reset. Returns false when any call failed (negative status).
bool acqProgramOutputTriggers(ViSession vi, const std::vector<acqOutputTrigger> &outputTriggers,
                              const acqReporter &report);

// Enabled channels over all cards.
int32_t acqEnabledChannels(const std::vector<uint16_t> &chanMask);

// Empty when channels x scans fits the display buffer, else the warning
// that refuses the start.
QString acqBlockTooLargeText(int64_t channels, int64_t scans);

// Empty for a usable sampling rate (positive and finite), else the warning
// that refuses the start: an empty rate list selects no rate at all.
QString acqRateMissingText(double freq);

#endif
