// HDF5 export through the library's C API. The layout, for h5py, MATLAB's
// h5read/h5readatt and any other HDF5 reader:
//   /data   float64 (rows, channels), attribute "units" = "V"
//   /time   int64 (rows,), attribute "units" = "ns"; only with time stamps
//   /       attributes "device" ("Trellin 6842"), "source_file" (the input's
//           file name), "sampling_rate_hz", "scans_per_block",
//           "first_block" (1-based, of the input), "time_offset_s" (the
//           input's TIME_OFFSET), "channel_names" ("FC1/CH3", ...),
//           "channel_masks" (uint16 per card, bit i = channel i+1)
// Chunks hold whole blocks, about 1 MB of samples each (a larger block is a
// chunk of its own), so that a reader of one block touches one chunk.
#include "atomicoutput.h"
#include "exports.h"
#include "scansource.h"

#include <hdf5.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace {

constexpr uint64_t chunkTargetBytes = 1u << 20;
constexpr uint64_t chunkMaxBytes = 0xFFFFFFFFu; // HDF5's limit
constexpr unsigned deflateLevel = 4;

// Closes an HDF5 object when it goes out of scope.
class Handle
{
public:
    Handle(hid_t id, herr_t (*closer)(hid_t)) : id(id), closer(closer) {}
    ~Handle() { reset(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    operator hid_t() const { return id; }
    bool valid() const { return id >= 0; }
    // Closes now; false when closing failed (for the file: its last writes).
    // Never retried: the library leaves a file whose close failed half
    // closed, and a second close crashes.
    bool reset()
    {
        const bool ok = id < 0 || closer(id) >= 0;
        id = -1;
        return ok;
    }

private:
    hid_t id;
    herr_t (*closer)(hid_t);
};

ExportResult failed(ExportStatus status, const std::string &message)
{
    ExportResult result;
    result.status = status;
    result.message = message;
    return result;
}

// The library reports through its own error stack; errno tells the cause of
// a failed write (a full disk) when there is one.
std::string writeFailure(const std::string &path, const char *what)
{
    return "cannot write '" + path + "': " + (errno ? std::strerror(errno) : what);
}

bool writeAttribute(hid_t object, const char *name, hid_t fileType, hid_t memoryType, const void *values,
                    hsize_t count, bool scalar = false)
{
    Handle space(scalar ? H5Screate(H5S_SCALAR) : H5Screate_simple(1, &count, nullptr), H5Sclose);
    if (!space.valid())
        return false;
    Handle attribute(H5Acreate2(object, name, fileType, space, H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
    return attribute.valid() && H5Awrite(attribute, memoryType, values) >= 0;
}

bool writeStrings(hid_t object, const char *name, const std::vector<std::string> &texts, bool scalar = false)
{
    Handle type(H5Tcopy(H5T_C_S1), H5Tclose);
    if (!type.valid() || H5Tset_size(type, H5T_VARIABLE) < 0 || H5Tset_cset(type, H5T_CSET_UTF8) < 0)
        return false;
    std::vector<const char *> pointers;
    for (const std::string &text : texts)
        pointers.push_back(text.c_str());
    return writeAttribute(object, name, type, type, pointers.data(), pointers.size(), scalar);
}

bool writeFileAttributes(hid_t file, const StoredScanSource &source, const ExportRequest &request)
{
    const StoredFileInfo_t &info = source.info();
    const size_t slash = request.input.rfind('/');
    const std::string sourceName = slash == std::string::npos ? request.input : request.input.substr(slash + 1);
    const int32_t scans = info.scansPerBlock;
    const int64_t firstBlock = int64_t(request.firstBlock ? request.firstBlock : 1);
    return writeStrings(file, "device", {"Trellin 6842"}, true)
           && writeStrings(file, "source_file", {sourceName}, true)
           && writeAttribute(file, "sampling_rate_hz", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, &info.rateHz, 1, true)
           && writeAttribute(file, "scans_per_block", H5T_STD_I32LE, H5T_NATIVE_INT32, &scans, 1, true)
           && writeAttribute(file, "first_block", H5T_STD_I64LE, H5T_NATIVE_INT64, &firstBlock, 1, true)
           && writeAttribute(file, "time_offset_s", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, &info.timeOffset, 1, true)
           && writeStrings(file, "channel_names", source.channelNames())
           && writeAttribute(file, "channel_masks", H5T_STD_U16LE, H5T_NATIVE_UINT16, info.channelMask,
                             hsize_t(info.fcCount));
}

// A dataset of rows x columns (columns 0: one dimension), chunked by
// chunkRows rows, or contiguous when it has no rows. Uncompressed chunks that
// are written whole go straight to the file, past the chunk cache.
hid_t createDataset(hid_t file, const char *name, hid_t type, uint64_t rows, uint64_t columns, uint64_t chunkRows,
                    bool compress)
{
    const int rank = columns ? 2 : 1;
    const hsize_t dims[2] = {rows, columns};
    Handle space(H5Screate_simple(rank, dims, nullptr), H5Sclose);
    Handle create(H5Pcreate(H5P_DATASET_CREATE), H5Pclose);
    Handle access(H5Pcreate(H5P_DATASET_ACCESS), H5Pclose);
    if (!space.valid() || !create.valid() || !access.valid())
        return -1;
    if (rows > 0) {
        const hsize_t chunk[2] = {chunkRows, columns};
        if (H5Pset_chunk(create, rank, chunk) < 0 || H5Pset_fill_time(create, H5D_FILL_TIME_NEVER) < 0)
            return -1;
        if (compress && (H5Pset_shuffle(create) < 0 || H5Pset_deflate(create, deflateLevel) < 0))
            return -1;
        const size_t chunkBytes = size_t(chunkRows * std::max<uint64_t>(columns, 1) * 8);
        if (H5Pset_chunk_cache(access, 521, compress ? 2 * chunkBytes : 0, 1.0) < 0)
            return -1;
    }
    return H5Dcreate2(file, name, type, space, H5P_DEFAULT, create, access);
}

bool writeUnits(hid_t dataset, const char *units)
{
    return writeStrings(dataset, "units", {units}, true);
}

// Rows [row, row + count) of a dataset with columns columns (0: one dimension).
bool writeRows(hid_t dataset, hid_t memoryType, uint64_t row, uint64_t count, uint64_t columns, const void *values)
{
    const int rank = columns ? 2 : 1;
    const hsize_t start[2] = {row, 0};
    const hsize_t size[2] = {count, columns};
    Handle fileSpace(H5Dget_space(dataset), H5Sclose);
    Handle memorySpace(H5Screate_simple(rank, size, nullptr), H5Sclose);
    return fileSpace.valid() && memorySpace.valid()
           && H5Sselect_hyperslab(fileSpace, H5S_SELECT_SET, start, nullptr, size, nullptr) >= 0
           && H5Dwrite(dataset, memoryType, memorySpace, fileSpace, H5P_DEFAULT, values) >= 0;
}

// Hands what was written so far to the disk without waiting, as the NPY
// export does, so that the flush at the end has little left.
void startWriteback(hid_t file)
{
    void *handle = nullptr;
    if (H5Fget_vfd_handle(file, H5P_DEFAULT, &handle) >= 0 && handle)
        sync_file_range(*static_cast<int *>(handle), 0, 0, SYNC_FILE_RANGE_WRITE);
}

} // namespace

ExportResult exportStoredFileToHdf5(const ExportRequest &request)
{
    // After a failed write (a full disk) closing the file fails, and this
    // library version then keeps a half-closed file that its shutdown at exit
    // would close again and crash on; the process's end frees everything
    // anyway. Only effective before the library's first use.
    H5dont_atexit();
    // Messages are ours; the library's stack would print on standard error.
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    if (request.compress && (H5Zfilter_avail(H5Z_FILTER_DEFLATE) <= 0 || H5Zfilter_avail(H5Z_FILTER_SHUFFLE) <= 0))
        return failed(ExportStatus::WriteFailed, "this HDF5 library cannot compress (no deflate filter)");

    // Chunks of whole blocks; the source's batches are whole chunks.
    StoredFileInfo_t header;
    uint64_t chunkBlocks = 1;
    if (readStoredFileHeaderQuiet(request.input.c_str(), &header, nullptr) == 0 && header.channelCount > 0) {
        const uint64_t blockSampleBytes = uint64_t(header.scansPerBlock) * header.channelCount * 8;
        chunkBlocks = std::max<uint64_t>(1, chunkTargetBytes / blockSampleBytes);
    }
    StoredScanSource source;
    ExportResult result = source.open(request.input, request.firstBlock, request.lastBlock, chunkBlocks);
    if (result.status != ExportStatus::Ok)
        return result;
    const uint64_t rowBytes = source.channels() * 8;
    const uint64_t chunkRows = std::max<uint64_t>(
        1, std::min({chunkBlocks * source.scans(), source.rows(), chunkMaxBytes / rowBytes}));

    std::string error;
    AtomicOutput output;
    if (!output.open(request.output, AtomicOutput::RegularFileOnly, &error))
        return failed(ExportStatus::WriteFailed, error);
    output.releaseDescriptor();
    errno = 0;
    Handle file(H5Fcreate(output.writePath().c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT), H5Fclose);
    if (!file.valid())
        return failed(ExportStatus::WriteFailed, writeFailure(request.output, "the HDF5 library cannot create it"));
    const bool stamps = source.hasStamps();
    Handle data(createDataset(file, "data", H5T_IEEE_F64LE, source.rows(), source.channels(), chunkRows,
                              request.compress),
                H5Dclose);
    Handle time(stamps ? createDataset(file, "time", H5T_STD_I64LE, source.rows(), 0, chunkRows, request.compress)
                       : hid_t(-1),
                H5Dclose);
    if (!data.valid() || (stamps && !time.valid()) || !writeFileAttributes(file, source, request)
        || !writeUnits(data, "V") || (stamps && !writeUnits(time, "ns")))
        return failed(ExportStatus::WriteFailed, writeFailure(request.output, "the HDF5 library failed"));

    uint64_t row = 0, done = 0;
    for (;;) {
        const double *rows = nullptr;
        const int64_t *stampsNs = nullptr;
        const long blocks = source.next(&rows, &stampsNs, &error);
        if (blocks < 0)
            return failed(ExportStatus::BadInput, error);
        if (blocks == 0)
            break;
        const uint64_t count = uint64_t(blocks) * source.scans();
        errno = 0;
        if (!writeRows(data, H5T_NATIVE_DOUBLE, row, count, source.channels(), rows)
            || (stamps && !writeRows(time, H5T_NATIVE_INT64, row, count, 0, stampsNs)))
            return failed(ExportStatus::WriteFailed, writeFailure(request.output, "the HDF5 library failed to write"));
        startWriteback(file);
        row += count;
        done += uint64_t(blocks);
        if (request.progress && !request.progress(done, source.blocks()))
            return failed(ExportStatus::WriteFailed, "interrupted");
    }
    errno = 0;
    // Datasets first: closing the file writes what they still hold.
    bool closed = time.reset();
    closed = data.reset() && closed;
    closed = file.reset() && closed;
    if (!closed)
        return failed(ExportStatus::WriteFailed, writeFailure(request.output, "the HDF5 library failed to write"));
    if (!output.finish(&error) || !output.publish(&error))
        return failed(ExportStatus::WriteFailed, error);
    result.rows = source.rows();
    return result;
}
