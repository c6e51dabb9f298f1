// Verification of recordings: whether a stored file, or the files of a set
// in order, hold the whole recording. Plain C++; the file tool prints what
// it finds.
//
//   StoredFileCheck a = verifyStoredFile("run_0001.bin6842");
//   StoredFileCheck b = verifyStoredFile("run_0002.bin6842");
//   checkStoredSetJoin(a, &b);      // b.joinProblems: how b fails to continue a
//   storedCheckVerdict(b)           // "complete: ..." or "incomplete: ..."
//   storedCheckDetails(b)           // one line per problem found
//
// A file is checked for: a header the reader accepts and whose channel
// masks agree with its blocks (else it is unreadable); data that is a whole
// number of blocks (a torn tail is reported with its byte count); and, when
// it has time stamps, stamps that continue: each step one scan period
// (1 / SAMPLING_RATE_HZ) within 1 us. A step longer than that is a gap; a
// step back onto the time of earlier scans starts a run of duplicates, which
// lasts until the stamps pass the latest time seen before; any other step
// back is listed as such. Only the header, the file size and the stamps are
// read, never the samples.
//
// Consecutive files of a set join when they describe the same layout, their
// names (NAME_0001.bin6842, NAME_0002.bin6842, ...) count up by one, the
// later TIME_OFFSET is the earlier one plus the earlier file's duration to
// the 1 us the header holds, and the first stamp follows the earlier file's
// last one by one scan period.
//
// Scans and blocks are counted from 1, as on the panel's block slider.
#ifndef STOREDFILE_VERIFY_H
#define STOREDFILE_VERIFY_H

#include "storedfile.h"

#include <cstdint>
#include <string>
#include <vector>

// Listed faults per file; more are counted, not kept.
constexpr size_t storedVerifyMaxFaults = 1000;

struct StampFault
{
    enum Kind { Gap, Duplicate, StepBack };
    Kind kind = Gap;
    // Gap and step back: the scans on either side of the step. Duplicate:
    // the first and last scan whose stamps repeat earlier ones.
    uint64_t firstScan = 0, lastScan = 0;
    // Gap: the time missing; step back: how far the stamp lies before the
    // time it should have; duplicate: the time the repeated scans span.
    int64_t durationNs = 0;
};

struct StoredFileCheck
{
    std::string path;
    bool readable = false;
    std::string unreadableReason; // why not, when !readable
    StoredFileInfo_t info{};      // the header, when readable
    uint64_t trailingBytes = 0;   // torn tail
    bool hasStamps = false;
    std::vector<StampFault> faults; // the first storedVerifyMaxFaults
    uint64_t faultCount = 0;
    uint64_t gaps = 0, duplicates = 0, stepsBack = 0;
    int64_t firstStampNs = 0, lastStampNs = 0; // with stamps and blocks
    std::vector<std::string> joinProblems;     // set by checkStoredSetJoin

    bool complete() const { return readable && trailingBytes == 0 && faultCount == 0 && joinProblems.empty(); }
    double durationSeconds() const;
};

StoredFileCheck verifyStoredFile(const std::string &path);

// Adds to next->joinProblems what keeps next from continuing previous in a
// set. Nothing when either file is unreadable.
void checkStoredSetJoin(const StoredFileCheck &previous, StoredFileCheck *next);

// The part of a set's file name that counts: "run_0012.bin6842" -> 12, with
// *stem "run" (directories included). -1 when the name has no "_" and digits
// before its extension.
long storedSetFileNumber(const std::string &path, std::string *stem);

// "complete: 100 blocks, 102400 scans, 10.240000 s, time stamps continuous",
// "incomplete: 1 gap, a torn tail of 12 bytes", "unreadable: REASON".
std::string storedCheckVerdict(const StoredFileCheck &check);
// One line per problem: every listed fault with its scans, blocks and
// duration, the torn tail, the join problems.
std::vector<std::string> storedCheckDetails(const StoredFileCheck &check);

#endif
