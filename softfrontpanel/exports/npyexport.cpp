// NumPy export: OUT holds the rows, OUT's ".time.npy" companion the stamps.
#include "atomicoutput.h"
#include "exports.h"
#include "scansource.h"

#include <cstring>

namespace {

ExportResult failed(ExportStatus status, const std::string &message)
{
    ExportResult result;
    result.status = status;
    result.message = message;
    return result;
}

void appendLittleEndian(std::string &text, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        text += char((value >> (8 * i)) & 0xFF);
}

} // namespace

std::string npyTimePath(const std::string &output)
{
    const std::string extension = ".npy";
    const size_t slash = output.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (output.size() > nameStart + extension.size()
        && output.compare(output.size() - extension.size(), extension.size(), extension) == 0)
        return output.substr(0, output.size() - extension.size()) + ".time.npy";
    return output + ".time.npy";
}

std::string npyHeader(const char *descr, const std::vector<uint64_t> &shape)
{
    std::string dictionary = std::string("{'descr': '") + descr + "', 'fortran_order': False, 'shape': (";
    for (size_t i = 0; i < shape.size(); ++i)
        dictionary += (i ? ", " : "") + std::to_string(shape[i]);
    dictionary += shape.size() == 1 ? ",), }" : "), }";
    // Version 1.0 counts the dictionary in 16 bits; 2.0 only when it must.
    const bool version2 = dictionary.size() + 1 + 64 > 0xFFFF;
    const size_t preamble = version2 ? 12 : 10;
    const size_t padded = (preamble + dictionary.size() + 1 + 63) / 64 * 64;
    dictionary.append(padded - preamble - dictionary.size() - 1, ' ');
    dictionary += '\n';
    std::string header = "\x93NUMPY";
    header += char(version2 ? 2 : 1);
    header += char(0);
    appendLittleEndian(header, dictionary.size(), version2 ? 4 : 2);
    return header + dictionary;
}

ExportResult exportStoredFileToNpy(const ExportRequest &request)
{
    StoredScanSource source;
    ExportResult result = source.open(request.input, request.firstBlock, request.lastBlock);
    if (result.status != ExportStatus::Ok)
        return result;

    std::string error;
    AtomicOutput data, time;
    const bool stamps = source.hasStamps();
    if (!data.open(request.output, AtomicOutput::Devices, &error)
        || (stamps && !time.open(npyTimePath(request.output), AtomicOutput::Devices, &error)))
        return failed(ExportStatus::WriteFailed, error);
    uint64_t done = 0;
    const auto interrupted = [&] { return request.progress && !request.progress(done, source.blocks()); };
    data.setInterruptCheck(interrupted);
    time.setInterruptCheck(interrupted);
    const std::string dataHeader = npyHeader("<f8", {source.rows(), source.channels()});
    const std::string timeHeader = npyHeader("<i8", {source.rows()});
    if (!data.write(dataHeader.data(), dataHeader.size(), &error)
        || (stamps && !time.write(timeHeader.data(), timeHeader.size(), &error)))
        return failed(ExportStatus::WriteFailed, error);

    for (;;) {
        const double *rows = nullptr;
        const int64_t *stampsNs = nullptr;
        const long blocks = source.next(&rows, &stampsNs, &error);
        if (blocks < 0)
            return failed(ExportStatus::BadInput, error);
        if (blocks == 0)
            break;
        const size_t scans = size_t(blocks) * source.scans();
        if (!data.write(rows, scans * source.channels() * sizeof(double), &error)
            || (stamps && !time.write(stampsNs, scans * sizeof(int64_t), &error)))
            return failed(ExportStatus::WriteFailed, error);
        data.startWriteback();
        time.startWriteback();
        done += uint64_t(blocks);
        if (interrupted())
            return failed(ExportStatus::WriteFailed, "interrupted");
    }
    if (!data.finish(&error) || (stamps && !time.finish(&error)) || !data.publish(&error))
        return failed(ExportStatus::WriteFailed, error);
    if (stamps && !time.publish(&error)) {
        data.withdraw();
        return failed(ExportStatus::WriteFailed, error);
    }
    result.rows = source.rows();
    return result;
}
