// Writers of the stored data files: the binary ".bin6842" layout and the CSV
// layouts in volts or millivolts. Plain C++ on stdio, shared by the streaming
// engine (one call per ring slot), the file tool and the tests.
//
// Samples are doubles in volts, channel after channel: all scans of the first
// enabled channel, then all of the next; channels ordered by card, then by
// channel number. Time stamps are per scan: whole seconds and nanoseconds.
// The functions borrow every pointer for the call only and never close or
// flush the FILE; the caller opens it (binary mode for the binary layout,
// text mode for CSV) and owns it.
#ifndef DATAFILE_WRITER_H
#define DATAFILE_WRITER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// What a file's header describes.
struct StoredLayout
{
    double rateHz = 0;                       // sampling rate, Hz
    int32_t scans = 0;                       // scans per block
    int fcCount = 0;                         // cards of the session, 0 ... 256
    const uint16_t *channelMask = nullptr;   // fcCount masks, bit i = channel i+1
    bool timestamps = false;                 // every block carries time stamps
    // TIME_OFFSET, seconds: the time of the file's first sample. A file of a
    // set (fileset.h) continues the time of the one before it.
    double timeOffset = 0;
};

// Enabled channels over all cards of the layout.
int32_t enabledChannelCount(const StoredLayout &layout);

// The binary header, from "DEVICE=Trellin 6842\n" to "#\n".
std::string binaryHeaderText(const StoredLayout &layout);
bool writeBinaryHeader(FILE *file, const StoredLayout &layout);

// Writes one block: with time stamps (seconds and nanos both given) the
// seconds array, then the nanoseconds array, then channels * scans samples,
// one fwrite per array. Returns false when any write did not complete (a full
// disk); what went out before stays in the file.
bool writeBinaryBlock(FILE *file, const double *samples, size_t channels, size_t scans,
                      const int32_t *seconds, const int32_t *nanos);

// CSV value units; the numbers are the streaming engine's format indices.
enum class CsvUnits { Volts = 1, Millivolts = 2 };

// The CSV header: units line, rate line and column titles.
std::string csvHeaderText(CsvUnits units, const StoredLayout &layout);
bool writeCsvHeader(FILE *file, CsvUnits units, const StoredLayout &layout);

// Writes one block as CSV rows, one per scan: with time stamps the
// "seconds.nanoseconds, " field, then every channel's value ("%.6lf, " in
// volts or "%.3lf, " of value * 1000.0 in millivolts), then the line end.
// Returns false when a write did not complete.
bool writeCsvBlock(FILE *file, CsvUnits units, const double *samples, size_t channels, size_t scans,
                   const int32_t *seconds, const int32_t *nanos);
// The same rows appended to text, for a writer that must know a block's
// size before it writes it (a file set split by size).
void appendCsvBlock(std::string &text, CsvUnits units, const double *samples, size_t channels, size_t scans,
                    const int32_t *seconds, const int32_t *nanos);

#endif
