#include "platform/ProgramFolder.h"

#include <unistd.h>

namespace wordlark::platform {

std::string executableFolder()
{
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) {
        return {};
    }
    buffer.resize(static_cast<std::size_t>(n));
    const auto slash = buffer.rfind(kPathSeparator);
    if (slash == std::string::npos) {
        return {};
    }
    buffer.resize(slash + 1);
    return buffer;
}

std::string withTrailingSeparator(std::string folder)
{
    while (folder.size() > 1 && folder.back() == kPathSeparator &&
           folder[folder.size() - 2] == kPathSeparator) {
        folder.pop_back();
    }
    if (!folder.empty() && folder.back() != kPathSeparator) {
        folder += kPathSeparator;
    }
    return folder;
}

}  // namespace wordlark::platform
