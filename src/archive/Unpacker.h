// Unpacker.h -- decoding of packed streams: raw copy, LZSS (method 2), static Huffman LZ77 (1, 3).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace wordlark::archive {

// Decodes the stored bytes src[0..srcSize) into dest[0..destSize) and returns the number of
// bytes produced. A first byte of 1, 2 or 3 starts a packed stream (method byte, 32-bit
// little-endian output size, coded data); any other first byte means the stored bytes are
// the data themselves and are copied. Whatever the stored bytes hold, nothing is read or
// written outside the two buffers and decoding always ends. No allocation.
std::size_t unpack(std::uint8_t* dest, std::size_t destSize, const std::uint8_t* src,
                   std::size_t srcSize);

// The output size a packed stream announces in its header; none when the bytes are not a
// packed stream (first byte not 1..3, or fewer than five bytes).
std::optional<std::uint32_t> packedOutputSize(const std::uint8_t* src, std::size_t srcSize);

}  // namespace wordlark::archive
