// LzssEncoder.h -- method 2: LZSS over a 4096-byte ring addressed by absolute positions.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace wordlark::heaptool {

class LzssEncoder {
public:
    static constexpr unsigned kWindow = 4096;
    static constexpr unsigned kMaxMatch = 273;

    // The coded data of method 2 (without the stream header): groups of eight items behind a
    // flag byte (bit 0 first, 1 = match); a literal is one byte, a match two (ring position,
    // length - 3) plus one more when the length is 18 or above.
    static std::vector<std::uint8_t> encode(std::span<const std::uint8_t> data);
};

}  // namespace wordlark::heaptool
