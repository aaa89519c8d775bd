// FileKindPosix.h -- what a POSIX file mode says a file is, for the POSIX implementations.
#pragma once

#include <sys/stat.h>

#include "platform/FileSystem.h"

namespace wordlark::platform {

inline FileKind fileKindOfMode(mode_t mode)
{
    if (S_ISREG(mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Folder;
    }
    if (S_ISLNK(mode)) {
        return FileKind::Link;
    }
    if (S_ISFIFO(mode)) {
        return FileKind::Fifo;
    }
    if (S_ISCHR(mode)) {
        return FileKind::CharacterDevice;
    }
    if (S_ISBLK(mode)) {
        return FileKind::BlockDevice;
    }
    if (S_ISSOCK(mode)) {
        return FileKind::Socket;
    }
    return FileKind::Other;
}

}  // namespace wordlark::platform
