// Lines.h -- lines and filled rectangles drawn straight into an RGB565 surface, clipped to it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Surface.h"

namespace wordlark::graphics {

struct LineEnds {
    std::int64_t x0 = 0;
    std::int64_t y0 = 0;
    std::int64_t x1 = 0;
    std::int64_t y1 = 0;
    bool operator==(const LineEnds&) const = default;
};

// The part of the line from (x0, y0) to (x1, y1) inside columns 0..width-1 and rows
// 0..height-1, its ends rounded to the nearest pixel on the line; none when nothing of it is
// inside. Coordinates are 64-bit so that ends far outside cannot overflow the arithmetic.
std::optional<LineEnds> clipLine(LineEnds line, std::int64_t width, std::int64_t height);

// A one-pixel line, both ends included; what lies outside the surface is not drawn.
void drawLine(const platform::Surface& surface, std::int64_t x0, std::int64_t y0, std::int64_t x1,
              std::int64_t y1, std::uint16_t color);

// The rectangle filled, cut to the surface.
void fillRect(const platform::Surface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
              std::int32_t height, std::uint16_t color);

// The rectangle mixed towards color by alpha/256 (0 keeps it, 256 paints it), cut to the
// surface: a faint tint that lets what is under it show.
void tintRect(const platform::Surface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
              std::int32_t height, std::uint16_t color, std::uint32_t alpha);

}  // namespace wordlark::graphics
