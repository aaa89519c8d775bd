#include "platform/FolderLock.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/ErrnoWin32.h"
#include "platform/FileIo.h"

namespace wordlark::platform {

namespace {

// Another copy holds the lock exclusively only while it clears what no copy owns: a start waits
// that long, and no longer, for its shared hold.
constexpr int kSharedWaitMilliseconds = 5000;
constexpr int kStepMilliseconds = 10;

// Every lock covers the file's first byte, which need not exist.
bool lockFirstByte(HANDLE handle, DWORD flags)
{
    OVERLAPPED at{};
    return ::LockFileEx(handle, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != FALSE;
}

void unlockFirstByte(HANDLE handle)
{
    OVERLAPPED at{};
    ::UnlockFileEx(handle, 0, 1, 0, &at);
}

bool holdShared(HANDLE handle)
{
    for (int waited = 0;; waited += kStepMilliseconds) {
        if (lockFirstByte(handle, 0)) {
            return true;
        }
        if (::GetLastError() != ERROR_LOCK_VIOLATION) {
            setErrnoFromLastError();
            return false;
        }
        if (waited >= kSharedWaitMilliseconds) {
            errno = EWOULDBLOCK;
            return false;
        }
        ::Sleep(kStepMilliseconds);
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
    // A link at the name is opened itself, not followed, and refused below. Others may delete
    // the file: it only ever matters while it is held.
    const HANDLE handle =
        ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        setErrnoFromLastError();
        return false;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
        return false;
    }
    if (kindOf(fd) != FileKind::Regular) {
        closeFile(fd);
        errno = EINVAL;
        return false;
    }
    bool shared = false;
    if (lockFirstByte(handle, LOCKFILE_EXCLUSIVE_LOCK)) {
        whileAlone();
        // The shared hold is taken over the exclusive one before that goes, so the lock is never
        // free on the way; where the system refuses that, it is let go and taken again.
        shared = lockFirstByte(handle, 0);
        unlockFirstByte(handle);
    }
    if (!shared && !holdShared(handle)) {
        const int error = errno;
        closeFile(fd);
        errno = error;
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace wordlark::platform
