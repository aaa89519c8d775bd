// TextRenderer.h -- GDI-like text into an RGB565 frame: FreeType glyphs, fontconfig's face.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace wordlark::platform {

// A 16-bit RGB565 drawing target.
struct Frame16 {
    std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;
};

// A rectangle, right and bottom exclusive.
struct TextRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Everything a call draws with, as it is at the moment of the call.
struct TextStyle {
    // The thirteen numeric font arguments: height, width, escapement, orientation, weight,
    // italic, underline, strike-out, character set, output precision, clipping precision,
    // quality, pitch and family.
    std::array<std::int32_t, 13> font{};
    std::string faceName;
    std::uint32_t textColor = 0xFFFFFF;  // 0x00BBGGRR
    std::uint32_t backColor = 0;
    bool opaque = false;  // fill each text cell with backColor first
};

// Metrics of the font a style selects, in pixels.
struct TextMetrics {
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t averageWidth = 0;
    std::int32_t height() const { return ascent + descent; }
};

// Draws Windows-1252 text. Height is the cell height (ascent plus descent from the face's
// Windows metrics) and width the average character width, as GDI reads them. Faces and
// glyphs are cached; what a call draws depends only on its arguments.
class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // False when no usable face was found; then nothing is drawn.
    bool available();
    // The file of the face in use (empty when none).
    std::string facePath();

    TextMetrics metrics(const TextStyle& style);
    // Width of one line: the sum of the glyph advances.
    std::int32_t lineWidth(const TextStyle& style, std::string_view text);

    // Draws one line with the top-left of its first cell at (x, y), clipped to `clip` and the
    // frame. Returns the line's width.
    std::int32_t drawLine(Frame16& frame, std::int32_t x, std::int32_t y, std::string_view text,
                          const TextStyle& style, const TextRect& clip);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The renderer the backends share.
TextRenderer& textRenderer();

// 0x00BBGGRR to RGB565.
inline std::uint16_t colorRefTo565(std::uint32_t color)
{
    const unsigned r = color & 0xFF;
    const unsigned g = (color >> 8) & 0xFF;
    const unsigned b = (color >> 16) & 0xFF;
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

}  // namespace wordlark::platform
