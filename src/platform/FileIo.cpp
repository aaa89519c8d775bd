#include "platform/FileIo.h"

namespace wordlark::platform {

bool writeAll(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const std::ptrdiff_t n = writeSome(fd, bytes, size);
        if (n <= 0) {
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::size_t readUpTo(int fd, void* data, std::size_t size)
{
    auto* bytes = static_cast<unsigned char*>(data);
    std::size_t total = 0;
    while (total < size) {
        const std::ptrdiff_t n = readSome(fd, bytes + total, size - total);
        if (n <= 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    return total;
}

}  // namespace wordlark::platform
