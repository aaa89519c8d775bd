// Text.h -- the text half of the platform seam: GDI-like text into an RGB565 surface.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Surface.h"

namespace wordlark::platform {

// The font a text asks for: the thirteen numbers of a GDI font request, in its order (the
// game sets them by that index; see get and set).
struct FontParameters {
    std::int32_t height = 0;  // the cell's height; negative: the em size; 0: the default
    std::int32_t width = 0;   // the average character width; 0: the face's own
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;  // 400 regular, 600 and above bold
    std::int32_t italic = 0;
    std::int32_t underline = 0;
    std::int32_t strikeOut = 0;
    std::int32_t charSet = 0;
    std::int32_t outPrecision = 0;
    std::int32_t clipPrecision = 0;
    std::int32_t quality = 0;
    std::int32_t pitchAndFamily = 0;

    static constexpr int kCount = 13;

    // The parameter at `index` of the request; 0 outside it.
    std::int32_t get(int index) const;
    // Sets the parameter at `index`; nothing outside the request.
    void set(int index, std::int32_t value);

    bool operator==(const FontParameters&) const = default;
};

inline constexpr std::array<std::int32_t FontParameters::*, FontParameters::kCount>
    kFontParameterFields{
        &FontParameters::height,        &FontParameters::width,         &FontParameters::escapement,
        &FontParameters::orientation,   &FontParameters::weight,        &FontParameters::italic,
        &FontParameters::underline,     &FontParameters::strikeOut,     &FontParameters::charSet,
        &FontParameters::outPrecision,  &FontParameters::clipPrecision, &FontParameters::quality,
        &FontParameters::pitchAndFamily};

inline std::int32_t FontParameters::get(int index) const
{
    return index >= 0 && index < kCount ? this->*kFontParameterFields[index] : 0;
}

inline void FontParameters::set(int index, std::int32_t value)
{
    if (index >= 0 && index < kCount) {
        this->*kFontParameterFields[index] = value;
    }
}

// A rectangle, right and bottom exclusive.
struct TextRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Everything a call draws with, as it is at the moment of the call.
struct TextStyle {
    FontParameters font;
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

// Draws Windows-1252 text as GDI would: height is the cell height and width the average
// character width. What a call draws depends only on its arguments. One is current at a time
// (see textRenderer()); every call runs on the thread that owns the main window.
class TextRenderer {
public:
    virtual ~TextRenderer() = default;

    // False when no usable face was found; then nothing is drawn.
    virtual bool available() = 0;
    // The file of the face in use (empty when none or when the backend has no files).
    virtual std::string facePath() = 0;

    virtual TextMetrics metrics(const TextStyle& style) = 0;
    // Width of one line: the sum of the glyph advances.
    virtual std::int32_t lineWidth(const TextStyle& style, std::string_view text) = 0;

    // Draws one line with the top-left of its first cell at (x, y), clipped to `clip` and the
    // surface (16 bits per pixel). Returns the line's width.
    virtual std::int32_t drawLine(const Surface& frame, std::int32_t x, std::int32_t y,
                                  std::string_view text, const TextStyle& style,
                                  const TextRect& clip) = 0;
};

// The current text backend. Start-up installs one before anything draws; using the seam with
// none installed is a programming error, reported on stderr before the process aborts.
TextRenderer& textRenderer();
// Installs a backend (null: none). The caller keeps ownership and must keep it alive while it
// is current.
void setTextRenderer(TextRenderer* backend);

}  // namespace wordlark::platform
