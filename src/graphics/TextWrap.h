// TextWrap.h -- a text broken into the lines of a width, cut with an ellipsis when too long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wordlark::graphics {

// The ellipsis of the game's single-byte text (Windows-1252).
inline constexpr char kEllipsis = '\x85';

// Breaks a text at its spaces into at most maxLines lines each no wider than `width` by
// `measure`; a word wider than a line is broken where it must. When the text does not fit,
// the last line ends in the ellipsis, after the last whole word that leaves room for it.
std::vector<std::string> wrapText(std::string_view text, std::int32_t width, std::size_t maxLines,
                                  const std::function<std::int32_t(std::string_view)>& measure);

}  // namespace wordlark::graphics
