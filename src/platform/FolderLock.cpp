#include "platform/FolderLock.h"

#include <cerrno>

#include "platform/FileIo.h"

namespace wordlark::platform {

namespace {

// Another copy holds the lock exclusively only while it clears what no copy owns: a start waits
// that long, and no longer, for its shared hold.
constexpr int kSharedWaitMilliseconds = 5000;
constexpr int kStepMilliseconds = 10;

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
    const int fd = openLockFile(path);
    if (fd < 0) {
        return false;
    }
    // A link opened as itself, a FIFO or a device is no lock of ours.
    if (kindOf(fd) != FileKind::Regular) {
        closeFile(fd);
        errno = EINVAL;
        return false;
    }
    bool shared = false;
    if (tryLock(fd, true) == Try::Held) {
        whileAlone();
        shared = downgrade(fd);
    }
    for (int waited = 0; !shared; waited += kStepMilliseconds) {
        const Try got = tryLock(fd, false);
        shared = got == Try::Held;
        if (got == Try::Failed || (!shared && waited >= kSharedWaitMilliseconds)) {
            const int error = got == Try::Failed ? errno : EWOULDBLOCK;
            closeFile(fd);
            errno = error;
            return false;
        }
        if (!shared) {
            pause(kStepMilliseconds);
        }
    }
    fd_ = fd;
    return true;
}

}  // namespace wordlark::platform
