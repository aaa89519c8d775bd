// FolderLock.h -- an advisory lock that every copy of the game using a folder holds on it for its
// whole run, so that one copy can tell whether another is using the folder. The system's locks
// have one implementation per kind of system (FolderLockPosix, FolderLockWin32).
#pragma once

#include <functional>
#include <string>

namespace wordlark::platform {

// The lock is a file that only the copies of the game open: every holder holds it shared, and
// a holder that finds it free (exclusive for a moment) is alone in the folder. Advisory only:
// it keeps copies of the game apart, nothing else.
class FolderLock {
public:
    FolderLock() = default;
    // Lets go of the lock; the file stays, for the next holder.
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Opens the lock file at `path`, creating it readable and writable by its owner alone; a
    // link, a folder or anything but a regular file there is refused, and nothing waits on it.
    // When no other holder has it, `whileAlone` runs while this one holds it exclusively. Then
    // it is held shared until destruction. False (errno says why) when the file cannot be
    // opened or locked: nothing is held then, and `whileAlone` has not run.
    bool acquire(const std::string& path, const std::function<void()>& whileAlone);

    bool held() const { return fd_ >= 0; }

private:
    enum class Try { Held, Busy, Failed };

    void release();
    // The system's part. Opens (or makes) the lock file without following a link or waiting
    // (-1, errno says why).
    static int openLockFile(const std::string& path);
    // One try at the lock, never waiting.
    static Try tryLock(int fd, bool exclusive);
    // From exclusive to shared, never free on the way where the system allows; false when the
    // shared hold has to be waited for.
    static bool downgrade(int fd);
    static void pause(int milliseconds);

    int fd_ = -1;  // the C runtime's descriptor, as FileIo's are
};

}  // namespace wordlark::platform
