#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileIo.h"

namespace wordlark::platform {

int FolderLock::openLockFile(const std::string& path)
{
    // No link at the name is followed, and a FIFO there does not hold the open up.
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
}

FolderLock::Try FolderLock::tryLock(int fd, bool exclusive)
{
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
        return Try::Held;
    }
    return errno == EWOULDBLOCK || errno == EINTR ? Try::Busy : Try::Failed;
}

bool FolderLock::downgrade(int fd)
{
    // Linux may let go for a moment on the way, and another copy may take it exclusively then:
    // the caller's wait covers that.
    return tryLock(fd, false) == Try::Held;
}

void FolderLock::pause(int milliseconds)
{
    ::usleep(static_cast<useconds_t>(milliseconds) * 1000);
}

}  // namespace wordlark::platform
