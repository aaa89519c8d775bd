// FrameClip.h -- the part of a picture's rectangle that lies inside the frame.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

namespace wordlark::graphics {

// Columns left..right and rows top..bottom of the frame (inclusive) receive the picture's
// columns from skipColumns and rows from skipRows on. Coordinates are 64-bit so that no sum
// of stored positions and displacements can overflow.
struct FrameClip {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    std::int64_t skipColumns = 0;
    std::int64_t skipRows = 0;

    std::int64_t columns() const { return right - left + 1; }
    std::int64_t rows() const { return bottom - top + 1; }
};

// None when the rectangle is empty or lies wholly outside a frame of frameWidth x frameHeight.
inline std::optional<FrameClip> clipToFrame(std::int64_t left, std::int64_t top, std::int64_t width,
                                            std::int64_t height, std::int64_t frameWidth,
                                            std::int64_t frameHeight)
{
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const std::int64_t right = left + width - 1;
    const std::int64_t bottom = top + height - 1;
    if (left > frameWidth - 1 || top > frameHeight - 1 || right < 0 || bottom < 0) {
        return std::nullopt;
    }
    FrameClip clip;
    clip.skipColumns = left < 0 ? -left : 0;
    clip.skipRows = top < 0 ? -top : 0;
    clip.left = std::max<std::int64_t>(left, 0);
    clip.top = std::max<std::int64_t>(top, 0);
    clip.right = std::min(right, frameWidth - 1);
    clip.bottom = std::min(bottom, frameHeight - 1);
    return clip;
}

// a + b wrapping instead of overflowing: a picture moved back and forth ends where it began.
inline std::int32_t addWrapping(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace wordlark::graphics
