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

}  // namespace wordlark::platform
