// Surface.h -- a drawing target in memory: the frame, the 8-bit conversion, or a part of one.
#pragma once

#include <algorithm>
#include <cstdint>

namespace wordlark::platform {

// Pixel (x, y) starts at byte y * pitch + x * bitsPerPixel / 8. 16 bits per pixel is RGB565
// (red 0xF800, green 0x07E0, blue 0x001F); 8 bits per pixel holds indices into the selected
// palette. A backend's surface keeps its address and pitch from creation to release, so
// drawing writes the pixels directly, without locking.
struct Surface {
    std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;  // bytes from one row to the next
    std::int32_t bitsPerPixel = 0;
    // The backend's surface these pixels belong to; 0 for none, and for a view, which owns
    // nothing.
    std::uint32_t id = 0;

    bool empty() const { return pixels == nullptr; }

    std::uint8_t* row8(std::int32_t y) const
    {
        return pixels + static_cast<std::intptr_t>(y) * pitch;
    }
    std::uint16_t* row16(std::int32_t y) const { return reinterpret_cast<std::uint16_t*>(row8(y)); }

    // The part of the surface inside the rectangle at (x, y), cut to the surface: its pixel
    // (0, 0) is this one's (x, y) when that lies inside, and it shares the pixels and pitch.
    // Empty when nothing of the rectangle is on the surface.
    Surface view(std::int32_t x, std::int32_t y, std::int32_t viewWidth,
                 std::int32_t viewHeight) const
    {
        // 64-bit edges: a rectangle far outside must not wrap around into the surface.
        const std::int64_t left = std::clamp<std::int64_t>(x, 0, width);
        const std::int64_t top = std::clamp<std::int64_t>(y, 0, height);
        const std::int64_t right =
            std::clamp<std::int64_t>(std::int64_t{x} + std::max(viewWidth, 0), left, width);
        const std::int64_t bottom =
            std::clamp<std::int64_t>(std::int64_t{y} + std::max(viewHeight, 0), top, height);
        if (pixels == nullptr || right == left || bottom == top) {
            return {};
        }
        Surface part;
        part.pixels = pixels + top * pitch + left * (bitsPerPixel / 8);
        part.width = static_cast<std::int32_t>(right - left);
        part.height = static_cast<std::int32_t>(bottom - top);
        part.pitch = pitch;
        part.bitsPerPixel = bitsPerPixel;
        return part;
    }
};

// The RGB565 conversions every user of the format needs: reduce by truncation, expand with
// bit replication.
inline std::uint16_t rgbTo565(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
inline void rgb565ToRgb(std::uint16_t c, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b)
{
    const unsigned r5 = (c >> 11) & 0x1F;
    const unsigned g6 = (c >> 5) & 0x3F;
    const unsigned b5 = c & 0x1F;
    r = static_cast<std::uint8_t>((r5 << 3) | (r5 >> 2));
    g = static_cast<std::uint8_t>((g6 << 2) | (g6 >> 4));
    b = static_cast<std::uint8_t>((b5 << 3) | (b5 >> 2));
}
// A colour as the text state keeps it, 0x00BBGGRR, to RGB565.
inline std::uint16_t colorRefTo565(std::uint32_t color)
{
    const unsigned r = color & 0xFF;
    const unsigned g = (color >> 8) & 0xFF;
    const unsigned b = (color >> 16) & 0xFF;
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

}  // namespace wordlark::platform
