// Exports of stored data files (".bin6842") for outside tools: NumPy ".npy"
// files and HDF5 files that numpy, h5py and MATLAB open without any code of
// ours. Plain C++ (and the HDF5 C library); the file tool calls it.
//
// Use:
//   ExportRequest r;  r.input = "run.bin6842";  r.output = "run.npy";
//   r.firstBlock = 10; r.lastBlock = 20;        // 1-based, both included; 0: the file's ends
//   r.progress = [](uint64_t done, uint64_t total) { ...; return !interrupted; };
//   ExportResult e = exportStoredFileToNpy(r);  // or exportStoredFileToHdf5(r)
//   e.status: Ok, or why not (the message says it in one line); e.warning: a
//   torn tail left out, for example.
//
// What comes out, for both formats: the samples as float64 volts of shape
// (scans in total, channels), row-major: one row per scan, the channels in
// the file's order (by card, then by channel number). The file's blocks hold
// channel after channel; they are transposed a batch of blocks at a time, so
// memory stays a few megabytes whatever the file's size (a single block of
// more is read whole). Time stamps, when the file has them, are int64
// nanoseconds on the card's clock: seconds * 1e9 + nanoseconds.
//   NPY:  OUT (float64, shape (rows, channels), C order, version 1.0 header,
//         data at a multiple of 64 bytes) and, with stamps, npyTimePath(OUT)
//         (int64, shape (rows,)).
//   HDF5: "/data" (float64, (rows, channels), chunks of whole blocks, with
//         compress shuffled and deflated), "/time" (int64, (rows,)) with
//         stamps, and on the root group the attributes listed in
//         hdf5export.cpp (rate, scans per block, channel names and masks,
//         time offset, device, source file name).
//
// Outputs appear only when complete: they are written beside OUT under a
// hidden temporary name, flushed to disk, and renamed at the end. A failure
// or an interruption (progress returning false) removes them and leaves an
// earlier OUT as it was.
#ifndef EXPORTS_H
#define EXPORTS_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Why an export did not complete. The numbers are the tools' exit codes.
enum class ExportStatus {
    Ok = 0,
    BadRequest = 1,  // blocks the file does not have
    BadInput = 2,    // input missing, unreadable or damaged
    WriteFailed = 3, // output not writable, disk full, or interrupted
};

struct ExportResult
{
    ExportStatus status = ExportStatus::Ok;
    std::string message; // one line, without a trailing line end; empty when Ok
    std::string warning; // a note on an export that still succeeded
    uint64_t rows = 0;   // scans exported
};

struct ExportRequest
{
    std::string input;
    std::string output;
    uint64_t firstBlock = 0; // 1-based; 0: the first block
    uint64_t lastBlock = 0;  // 1-based, included; 0: the last block
    bool compress = false;   // HDF5 only: shuffle and deflate the samples
    // Called after every batch of blocks with the blocks done so far and the
    // total, and when a signal interrupts a write; returning false ends the
    // export as interrupted. May be empty.
    std::function<bool(uint64_t done, uint64_t total)> progress;
};

ExportResult exportStoredFileToNpy(const ExportRequest &request);
ExportResult exportStoredFileToHdf5(const ExportRequest &request);

// Where the time stamps of an NPY export go: "run.npy" -> "run.time.npy",
// any other name gets ".time.npy" appended.
std::string npyTimePath(const std::string &output);

// The header of a version 1.0 ".npy" file: magic, version, length and the
// dictionary, padded with blanks and a line end so that the data starts at a
// multiple of 64 bytes. descr is a NumPy type string such as "<f8".
std::string npyHeader(const char *descr, const std::vector<uint64_t> &shape);

#endif
