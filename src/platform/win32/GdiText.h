// GdiText.h -- text on Windows: GDI fonts and glyphs drawn into the frame through a context.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Text.h"

struct HDC__;
struct HFONT__;
struct HBITMAP__;

namespace wordlark::platform::win32 {

class DeviceContextSource;

// The font is GDI's own answer to the thirteen numbers and the face name (an absent face is
// mapped by the system to its nearest), so height is the cell height and width the average
// character width natively. A line is drawn through the frame's own device context when the
// video has one; any other surface gets its affected rows copied into a DIB section, drawn
// there and copied back. Fonts are kept by their request.
class GdiText final : public TextRenderer {
public:
    // `contexts` may be null: then every line goes through the copy.
    explicit GdiText(DeviceContextSource* contexts = nullptr);
    ~GdiText() override;
    GdiText(const GdiText&) = delete;
    GdiText& operator=(const GdiText&) = delete;

    bool available() override;
    // GDI names no font file.
    std::string facePath() override { return {}; }
    TextMetrics metrics(const TextStyle& style) override;
    std::int32_t lineWidth(const TextStyle& style, std::string_view text) override;
    std::int32_t drawLine(const Surface& frame, std::int32_t x, std::int32_t y,
                          std::string_view text, const TextStyle& style,
                          const TextRect& clip) override;

    // The face the system chose for a style, for checks and diagnostics.
    std::string faceChosen(const TextStyle& style);

private:
    using FontKey = std::pair<std::array<std::int32_t, FontParameters::kCount>, std::string>;

    HFONT__* fontFor(const TextStyle& style);
    // Draws the line into `dc`, clipped to the rectangle, in the style's colours and mode.
    void drawInto(HDC__* dc, std::int32_t x, std::int32_t y, std::string_view text,
                  const TextStyle& style, const TextRect& clip);
    std::int32_t extent(HDC__* dc, std::string_view text);
    bool ensureScratch(std::int32_t width, std::int32_t height);

    DeviceContextSource* contexts_ = nullptr;
    bool ansiIs1252_ = true;
    HDC__* measuring_ = nullptr;  // a memory context for metrics and widths
    std::map<FontKey, HFONT__*> fonts_;
    HDC__* scratchDc_ = nullptr;
    HBITMAP__* scratch_ = nullptr;
    void* scratchPrevious_ = nullptr;
    std::uint16_t* scratchPixels_ = nullptr;
    std::int32_t scratchWidth_ = 0;  // pixels, which with 16 bits per pixel is pitch / 2
    std::int32_t scratchHeight_ = 0;
};

}  // namespace wordlark::platform::win32
