#include "platform/FolderLock.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/DescriptorWin32.h"
#include "platform/ErrnoWin32.h"
#include "platform/FileIo.h"

namespace wordlark::platform {

namespace {

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

}  // namespace

int FolderLock::openLockFile(const std::string& path)
{
    // A link at the name is opened itself, not followed, and refused by the caller. Others may
    // delete the file: it only ever matters while it is held.
    const HANDLE handle =
        ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return descriptorOf(handle, _O_RDWR);
}

FolderLock::Try FolderLock::tryLock(int fd, bool exclusive)
{
    if (lockFirstByte(handleOf(fd), exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0)) {
        return Try::Held;
    }
    if (::GetLastError() == ERROR_LOCK_VIOLATION) {
        return Try::Busy;
    }
    setErrnoFromLastError();
    return Try::Failed;
}

bool FolderLock::downgrade(int fd)
{
    // The shared hold is taken over the exclusive one before that goes (the first unlock of a
    // byte locked both ways ends the exclusive lock), so the lock is never free on the way;
    // where the system refuses that, it is let go and the caller takes it again.
    const HANDLE handle = handleOf(fd);
    const bool shared = lockFirstByte(handle, 0);
    unlockFirstByte(handle);
    return shared;
}

void FolderLock::pause(int milliseconds)
{
    ::Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace wordlark::platform
