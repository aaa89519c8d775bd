// SurfaceRecord.h -- one drawing target: the frame (RGB565) or the 8-bit conversion surface.
#pragma once

#include <cstdint>

namespace wordlark::graphics {

// Pixel (x, y) of a 16-bit surface is the 16-bit value at byte offset y * pitch + 2 * x.
// The address and pitch never change while the surface lives.
struct SurfaceRecord {
    std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;  // bytes from one row to the next
    std::int32_t bitsPerPixel = 0;

    std::uint16_t* row16(std::int32_t y) const
    {
        return reinterpret_cast<std::uint16_t*>(pixels + static_cast<std::intptr_t>(y) * pitch);
    }
};

}  // namespace wordlark::graphics
