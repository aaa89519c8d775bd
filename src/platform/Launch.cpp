#include "platform/Launch.h"

#include <cerrno>
#include <cstring>

#include "platform/FileIo.h"

namespace wordlark::platform {

std::string helpPageProblem(const std::string& path)
{
    // Opened rather than looked at: the open never waits, and what is measured is what opened.
    const int fd = openForReading(path);
    if (fd < 0) {
        return path + ": " + std::strerror(errno);
    }
    const FileKind kind = kindOf(fd);
    const std::optional<std::uint64_t> size = fileSize(fd);
    closeFile(fd);
    if (kind != FileKind::Regular) {
        return path + ": not a regular file";
    }
    if (!size || *size > kMaxHelpPageSize) {
        return path + ": larger than 1 MiB";
    }
    return {};
}

}  // namespace wordlark::platform
