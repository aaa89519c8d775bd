#include "graphics/Lines.h"

#include <algorithm>
#include <cstdlib>

namespace wordlark::graphics {

namespace {

enum Side : unsigned { kInside = 0, kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

unsigned sides(double x, double y, double right, double bottom)
{
    unsigned code = kInside;
    code |= x < 0 ? kLeft : (x > right ? kRight : kInside);
    code |= y < 0 ? kAbove : (y > bottom ? kBelow : kInside);
    return code;
}

bool is16Bit(const platform::Surface& surface)
{
    return !surface.empty() && surface.bitsPerPixel == 16;
}

}  // namespace

std::optional<LineEnds> clipLine(LineEnds line, std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    // Cut against each edge in turn, in floating point: the ends may be far outside, and the
    // cut points are rounded once at the end.
    const double right = static_cast<double>(width - 1);
    const double bottom = static_cast<double>(height - 1);
    double x0 = static_cast<double>(line.x0);
    double y0 = static_cast<double>(line.y0);
    double x1 = static_cast<double>(line.x1);
    double y1 = static_cast<double>(line.y1);
    unsigned code0 = sides(x0, y0, right, bottom);
    unsigned code1 = sides(x1, y1, right, bottom);
    for (int round = 0; round < 8 && (code0 | code1) != kInside; ++round) {
        if ((code0 & code1) != kInside) {
            return std::nullopt;
        }
        const unsigned out = code0 != kInside ? code0 : code1;
        double x = 0;
        double y = 0;
        if ((out & kAbove) != 0) {
            x = x0 + (x1 - x0) * (0 - y0) / (y1 - y0);
            y = 0;
        } else if ((out & kBelow) != 0) {
            x = x0 + (x1 - x0) * (bottom - y0) / (y1 - y0);
            y = bottom;
        } else if ((out & kLeft) != 0) {
            y = y0 + (y1 - y0) * (0 - x0) / (x1 - x0);
            x = 0;
        } else {
            y = y0 + (y1 - y0) * (right - x0) / (x1 - x0);
            x = right;
        }
        if (out == code0) {
            x0 = x;
            y0 = y;
            code0 = sides(x0, y0, right, bottom);
        } else {
            x1 = x;
            y1 = y;
            code1 = sides(x1, y1, right, bottom);
        }
    }
    // The rounding may step half a pixel out; the frame holds it.
    const auto pixel = [](double v, double last) {
        return static_cast<std::int64_t>(std::clamp(v + 0.5, 0.0, last + 0.49));
    };
    if ((code0 | code1) != kInside) {
        return std::nullopt;
    }
    return LineEnds{pixel(x0, right), pixel(y0, bottom), pixel(x1, right), pixel(y1, bottom)};
}

void drawLine(const platform::Surface& surface, std::int64_t x0, std::int64_t y0, std::int64_t x1,
              std::int64_t y1, std::uint16_t color)
{
    if (!is16Bit(surface)) {
        return;
    }
    const auto ends = clipLine({x0, y0, x1, y1}, surface.width, surface.height);
    if (!ends) {
        return;
    }
    // Bresenham's steps between the clipped ends, which lie inside the surface.
    std::int64_t x = ends->x0;
    std::int64_t y = ends->y0;
    const std::int64_t dx = std::abs(ends->x1 - x);
    const std::int64_t dy = -std::abs(ends->y1 - y);
    const std::int64_t stepX = x < ends->x1 ? 1 : -1;
    const std::int64_t stepY = y < ends->y1 ? 1 : -1;
    std::int64_t error = dx + dy;
    for (;;) {
        surface.row16(static_cast<std::int32_t>(y))[x] = color;
        if (x == ends->x1 && y == ends->y1) {
            break;
        }
        const std::int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void fillRect(const platform::Surface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
              std::int32_t height, std::uint16_t color)
{
    tintRect(surface, x, y, width, height, color, 256);
}

void tintRect(const platform::Surface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
              std::int32_t height, std::uint16_t color, std::uint32_t alpha)
{
    if (!is16Bit(surface)) {
        return;
    }
    alpha = std::min<std::uint32_t>(alpha, 256);
    const platform::Surface area = surface.view(x, y, width, height);
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    platform::rgb565ToRgb(color, r, g, b);
    const auto mixed = [alpha](std::uint32_t under, std::uint32_t over) {
        return static_cast<std::uint8_t>((under * (256 - alpha) + over * alpha) >> 8);
    };
    for (std::int32_t row = 0; row < area.height; ++row) {
        std::uint16_t* pixels = area.row16(row);
        for (std::int32_t col = 0; col < area.width; ++col) {
            if (alpha == 256) {
                pixels[col] = color;
                continue;
            }
            std::uint8_t ur = 0;
            std::uint8_t ug = 0;
            std::uint8_t ub = 0;
            platform::rgb565ToRgb(pixels[col], ur, ug, ub);
            pixels[col] = platform::rgbTo565(mixed(ur, r), mixed(ug, g), mixed(ub, b));
        }
    }
}

}  // namespace wordlark::graphics
