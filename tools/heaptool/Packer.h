// Packer.h -- writes packed streams of every method the game can decode.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace wordlark::heaptool {

// A complete packed stream: the method byte (1, 2 or 3), the 32-bit little-endian output
// size, then the coded data of that method. Methods 1 and 3 share one format. Another
// method, or data of 4 GiB or more, gives an empty vector.
std::vector<std::uint8_t> packStream(int method, std::span<const std::uint8_t> data);

}  // namespace wordlark::heaptool
