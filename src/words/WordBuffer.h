// WordBuffer.h -- the fixed 16-byte buffer in which every word of the game travels.
#pragma once

#include <cstddef>

namespace wordlark::words {

// A word of at most 15 single-byte characters followed by its NUL.
inline constexpr std::size_t kWordSize = 16;
inline constexpr std::size_t kMaxWordLength = kWordSize - 1;

using WordBuffer = char[kWordSize];

}  // namespace wordlark::words
