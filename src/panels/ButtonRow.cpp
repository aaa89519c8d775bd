#include "panels/ButtonRow.h"

#include <cstring>

namespace wordlark::panels {

std::string_view ButtonRow::name() const
{
    const void* end = std::memchr(imageName, '\0', kImageNameSize);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - imageName) : kImageNameSize;
    return {imageName, length};
}

}  // namespace wordlark::panels
