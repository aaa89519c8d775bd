#include "archive/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace wordlark::archive {

namespace {

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a plain file";
}

std::string notRegular(const std::string& path, mode_t mode)
{
    return path + " is not a regular file (it is " + kindOf(mode) + ")";
}

void setReason(std::string* reason, std::string text)
{
    if (reason) {
        *reason = std::move(text);
    }
}

}  // namespace

std::string readFailure(const std::string& path, int error)
{
    return "cannot read " + path + ": " + std::strerror(error);
}

int openRegularFile(const std::string& path, std::string* reason)
{
    int descriptor = -1;
    do {
        descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        const int error = errno;
        // A socket cannot be opened at all; saying what it is helps more than "no such device".
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            setReason(reason, notRegular(path, info.st_mode));
        } else {
            setReason(reason, "cannot open " + path + ": " + std::strerror(error));
        }
        return -1;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) {
        setReason(reason, readFailure(path, errno));
        ::close(descriptor);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        setReason(reason, notRegular(path, info.st_mode));
        ::close(descriptor);
        return -1;
    }
    // Reads of a regular file never wait anyway; clearing the flag keeps a file system that
    // honours it from answering "try again" in the middle of a read.
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags >= 0) {
        ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
    }
    return descriptor;
}

bool readRegularFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* reason)
{
    bytes->clear();
    const int descriptor = openRegularFile(path, reason);
    if (descriptor < 0) {
        return false;
    }
    std::uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(descriptor, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            setReason(reason, readFailure(path, errno));
            ok = false;
            break;
        }
        if (n == 0) {
            break;
        }
        bytes->insert(bytes->end(), chunk, chunk + n);
    }
    ::close(descriptor);
    return ok;
}

}  // namespace wordlark::archive
