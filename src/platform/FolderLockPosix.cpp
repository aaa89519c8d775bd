#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileIo.h"

namespace wordlark::platform {

namespace {

// Another copy holds the lock exclusively only while it clears what no copy owns: a start waits
// that long, and no longer, for its shared hold.
constexpr int kSharedWaitMilliseconds = 5000;
constexpr int kStepMilliseconds = 10;

bool holdShared(int fd)
{
    for (int waited = 0;; waited += kStepMilliseconds) {
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        if (waited >= kSharedWaitMilliseconds) {
            errno = EWOULDBLOCK;
            return false;
        }
        ::usleep(kStepMilliseconds * 1000);
    }
}

}  // namespace

FolderLock::~FolderLock()
{
    release();
}

void FolderLock::release()
{
    if (fd_ >= 0) {
        closeFile(fd_);
        fd_ = -1;
    }
}

bool FolderLock::acquire(const std::string& path, const std::function<void()>& whileAlone)
{
    release();
    // No link at the name is followed, and a FIFO there does not hold the open up.
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    if (kindOf(fd) != FileKind::Regular) {
        closeFile(fd);
        errno = EINVAL;
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        whileAlone();
    }
    // From exclusive to shared Linux may let go for a moment, and another copy may take it
    // exclusively then: the wait covers that too.
    if (!holdShared(fd)) {
        const int error = errno;
        closeFile(fd);
        errno = error;
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace wordlark::platform
