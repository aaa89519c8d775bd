#include "heaptool/Packer.h"

#include "archive/Endian.h"
#include "heaptool/Lh5Encoder.h"
#include "heaptool/LzssEncoder.h"

namespace wordlark::heaptool {

std::vector<std::uint8_t> packStream(int method, std::span<const std::uint8_t> data)
{
    if (method < 1 || method > 3 || data.size() > 0xFFFFFFFFu) {
        return {};
    }
    std::vector<std::uint8_t> stream(5);
    stream[0] = static_cast<std::uint8_t>(method);
    archive::writeLe32(&stream[1], static_cast<std::uint32_t>(data.size()));
    const std::vector<std::uint8_t> coded =
        method == 2 ? LzssEncoder::encode(data) : Lh5Encoder::encode(data);
    stream.insert(stream.end(), coded.begin(), coded.end());
    return stream;
}

}  // namespace wordlark::heaptool
