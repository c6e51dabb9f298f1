#include "atomicoutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

std::string AtomicOutput::failure(const char *what, const std::string &path)
{
    return std::string(what) + " '" + path + "': " + std::strerror(errno);
}

AtomicOutput::~AtomicOutput()
{
    closeDescriptor();
    if (!temporaryPath.empty() && !published)
        unlink(temporaryPath.c_str());
}

void AtomicOutput::closeDescriptor()
{
    if (file) {
        if (standardOutput)
            std::fflush(file);
        else
            std::fclose(file); // also closes fd
        file = nullptr;
        fd = -1;
    }
    if (fd >= 0 && !standardOutput)
        close(fd);
    fd = -1;
}

bool AtomicOutput::open(const std::string &path, int allow, std::string *error)
{
    finalPath = path;
    if (path == "-" && (allow & StandardOutput)) {
        standardOutput = true;
        fd = STDOUT_FILENO;
        return true;
    }
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        if (S_ISDIR(status.st_mode) || !(allow & Devices)) {
            *error = S_ISDIR(status.st_mode) ? failure("cannot write", path)
                                             : "cannot write '" + path + "': not a regular file";
            return false;
        }
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            *error = failure("cannot write", path);
            return false;
        }
        return true;
    }
    const size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string pattern = directory + "." + name + ".XXXXXX.part";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    fd = mkostemps(buffer.data(), 5, O_CLOEXEC);
    if (fd < 0) {
        *error = failure("cannot create a file beside", path);
        return false;
    }
    temporaryPath = buffer.data();
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask); // as if path had been created directly
    return true;
}

bool AtomicOutput::write(const void *data, size_t bytes, std::string *error)
{
    const char *next = static_cast<const char *>(data);
    while (bytes > 0) {
        const ssize_t done = ::write(fd, next, bytes);
        // A signal ends a blocked write early, with EINTR or a short count.
        if ((done < 0 ? errno == EINTR : size_t(done) < bytes) && interruptCheck && interruptCheck()) {
            *error = "interrupted";
            return false;
        }
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = ENOSPC;
            *error = failure("cannot write", finalPath);
            return false;
        }
        next += done;
        bytes -= size_t(done);
        written += done;
    }
    return true;
}

void AtomicOutput::startWriteback()
{
    if (direct() || fd < 0 || written <= writebackStart)
        return;
    // Only a hint: a kernel or file system without it flushes in finish().
    sync_file_range(fd, writebackStart, written - writebackStart, SYNC_FILE_RANGE_WRITE);
    writebackStart = written;
}

void AtomicOutput::releaseDescriptor()
{
    closeDescriptor();
}

FILE *AtomicOutput::stream()
{
    if (!file && fd >= 0)
        file = standardOutput ? stdout : fdopen(fd, "w");
    return file;
}

bool AtomicOutput::finish(std::string *error)
{
    bool ok = true;
    if (file) {
        ok = std::fflush(file) == 0 && !std::ferror(file);
        if (!standardOutput) {
            // fsync before fclose, which would give the descriptor up.
            ok = ok && (direct() || fsync(fd) == 0);
            ok = std::fclose(file) == 0 && ok;
            fd = -1;
        }
        file = nullptr;
    } else if (fd >= 0) {
        ok = direct() || fsync(fd) == 0;
        if (!standardOutput)
            ok = close(fd) == 0 && ok;
        fd = -1;
    } else if (!direct()) { // released to a library that has closed it
        const int flushFd = ::open(temporaryPath.c_str(), O_RDONLY | O_CLOEXEC);
        ok = flushFd >= 0 && fsync(flushFd) == 0;
        if (flushFd >= 0)
            close(flushFd);
    }
    if (!ok)
        *error = failure("cannot write", standardOutput ? std::string("standard output") : finalPath);
    return ok;
}

bool AtomicOutput::publish(std::string *error)
{
    if (direct())
        return true;
    if (std::rename(temporaryPath.c_str(), finalPath.c_str()) != 0) {
        *error = failure("cannot create", finalPath);
        return false;
    }
    published = true;
    return true;
}

void AtomicOutput::withdraw()
{
    if (published && !direct())
        unlink(finalPath.c_str());
}
