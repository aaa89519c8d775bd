#include "platform/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <limits>

#include "platform/FileKindPosix.h"

namespace wordlark::platform {

static_assert(sizeof(off_t) >= sizeof(std::int64_t), "reads at any offset up to kMaxFileOffset");

int openForReading(const std::string& path, bool followLinks)
{
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        // Reads of a regular file never wait anyway; clearing the flag keeps a file system that
        // honours it from answering "try again" in the middle of a read.
        const int status = ::fcntl(fd, F_GETFL);
        if (status >= 0) {
            ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
        }
    }
    return fd;
}

int openForAppending(const std::string& path)
{
    return ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                  0600);
}

int createTemporaryFile(std::string& path)
{
    // mkstemp makes the file readable by its owner alone, fit for a file with a password.
    return ::mkostemp(path.data(), O_CLOEXEC);
}

FileKind kindOf(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? fileKindOfMode(info.st_mode) : FileKind::Missing;
}

std::ptrdiff_t readSome(int fd, void* data, std::size_t size)
{
    ssize_t n = 0;
    do {
        n = ::read(fd, data, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

std::ptrdiff_t writeSome(int fd, const void* data, std::size_t size)
{
    ssize_t n = 0;
    do {
        n = ::write(fd, data, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

std::ptrdiff_t readAt(int fd, void* data, std::size_t size, std::uint64_t offset)
{
    const std::size_t chunk = std::min<std::size_t>(size, std::numeric_limits<ssize_t>::max());
    ssize_t n = 0;
    do {
        n = ::pread(fd, data, chunk, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    return n;
}

std::optional<std::uint64_t> fileSize(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

bool syncFile(int fd)
{
    return ::fsync(fd) == 0;
}

bool closeFile(int fd)
{
    return ::close(fd) == 0;
}

}  // namespace wordlark::platform
