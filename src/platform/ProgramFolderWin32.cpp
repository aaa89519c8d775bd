#include "platform/ProgramFolder.h"

#include <windows.h>

namespace wordlark::platform {

std::string executableFolder()
{
    // The path is cut short, with no error, when the buffer is too small: grow it until it fits.
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    const auto slash = buffer.find_last_of(kPathSeparators);
    if (slash == std::string::npos) {
        return {};
    }
    buffer.resize(slash + 1);
    return buffer;
}

}  // namespace wordlark::platform
