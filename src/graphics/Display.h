// Display.h -- the one display: the RGB565 frame, its presentation, palette and text state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/DrawLog.h"
#include "platform/DisplayMode.h"
#include "platform/Surface.h"
#include "platform/Text.h"
#include "platform/platform.h"

namespace wordlark::graphics {

// The frame's size is the seam's: the desktop shows this frame, scaled.
using platform::kFrameHeight;
using platform::kFrameWidth;

// Colours of the text state are 0x00BBGGRR.
using ColorRef = std::uint32_t;

// The values of the background mode.
inline constexpr std::int32_t kBackTransparent = 1;
inline constexpr std::int32_t kBackOpaque = 2;

// drawTextBox's one format: each line centred, the first at the top, clipped to the box.
inline constexpr std::uint32_t kTextCenter = 1;

// The index of the 2-3-3 palette that shows an RGB565 value: its top two bits of red, three of
// green and three of blue.
inline std::uint8_t paletteIndexOf(std::uint16_t c)
{
    return static_cast<std::uint8_t>((c >> 14) * 64 + ((c >> 8) & 7) * 8 + ((c >> 2) & 7));
}

// One pass of the 8-bit conversion: width x height RGB565 pixels to palette indices.
void convertFrame(const platform::Surface& frame, const platform::Surface& indexed);

// The fixed 256-entry 2-3-3 colour cube.
platform::PaletteColors makeColorCubePalette();

class Display {
public:
    enum class PresentPath { Direct, Converted };

    // Builds the palette and the default text state; nothing is attached yet.
    Display();
    // Closes, as the process does at exit.
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Starts video for the window, attaches to its desktop and makes the frame. On false the
    // caller closes, which releases whatever was made.
    bool open(platform::WindowId window);
    // Releases everything; harmless when never opened or already closed.
    void close();

    // Binds to the window's desktop; returns its depth, 0 on failure.
    std::int32_t attachWindow();
    void detachWindow();
    // After a display-settings change: detach, then attach afresh.
    std::int32_t reattachWindow();

    // On an 8-bit desktop: give the window the fixed palette / put the previous one back.
    void selectPalette();
    void restorePalette();

    // Copies the whole frame to the window; false when not ready.
    bool present();
    bool isReady() const { return ready_; }

    // The frame every picture is drawn into: 640 x 480, RGB565, fixed address and pitch.
    platform::Surface& backBuffer() { return backBuffer_; }
    const platform::Surface& backBuffer() const { return backBuffer_; }

    // Text state and text drawing, into the frame in call order.
    void setTextColor(ColorRef color) { textColor_ = color; }
    void setBackColor(ColorRef color) { backColor_ = color; }
    void setBackMode(std::int32_t mode) { backMode_ = mode; }
    // The font by its parameters' index in the request (FontParameters' order).
    void setFontParameter(std::int32_t index, std::int32_t value) { font_.set(index, value); }
    // Text bytes are Windows-1252; a zero byte ends the text.
    void drawText(std::int32_t x, std::int32_t y, std::string_view text);
    void drawTextBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     std::string_view text, std::uint32_t format);
    // The width drawText would give the text with the current text state.
    std::int32_t textWidth(std::string_view text) const;
    // Complements every frame pixel of the rectangle (clipped to the frame).
    void invertRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    // Paints the one-pixel outline of the rectangle in the colour (clipped to the frame).
    void frameRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   ColorRef color);

    // Where drawing is recorded from now on (the pictures record themselves); null stops it.
    // The caller keeps the log and clears it at each frame.
    void setDrawLog(DrawLog* log) { drawLog_ = log; }
    DrawLog* drawLog() const { return drawLog_; }

    // Read access for tests and diagnostics.
    ColorRef textColor() const { return textColor_; }
    ColorRef backColor() const { return backColor_; }
    std::int32_t backMode() const { return backMode_; }
    std::int32_t fontParameter(std::int32_t index) const { return font_.get(index); }
    const platform::FontParameters& font() const { return font_; }
    const std::string& faceName() const { return faceName_; }
    // The window target's desktop: its size and depth (no pixels of its own).
    const platform::Surface& windowRecord() const { return window_; }
    bool hasConversionSurface() const { return conversion_.id != 0; }
    PresentPath presentPath() const { return presentPath_; }
    platform::PaletteId palette() const { return palette_; }
    platform::PaletteId previousPalette() const { return previousPalette_; }
    const platform::PaletteColors& paletteColors() const { return paletteColors_; }

private:
    bool createBackBuffer();
    void releaseBackBuffer();
    void presentConverted();
    bool frameReadyForDrawing() const { return backBuffer_.pixels != nullptr; }
    // The text state as the renderer takes it, at the moment of the call.
    platform::TextStyle textStyle() const;

    // Text state.
    ColorRef textColor_ = 0xFFFFFF;
    ColorRef backColor_ = 0x000000;
    std::int32_t backMode_ = kBackTransparent;
    platform::FontParameters font_{.height = 8, .width = 8, .weight = 400, .charSet = 1};
    std::string faceName_ = "Times New Roman Cyr";

    bool connected_ = false;
    bool windowTargetHeld_ = false;
    platform::Surface window_;
    platform::Surface backBuffer_;
    platform::Surface conversion_;
    platform::PaletteColors paletteColors_;
    platform::PaletteId palette_ = platform::kNoPalette;
    platform::PaletteId previousPalette_ = platform::kNoPalette;
    PresentPath presentPath_ = PresentPath::Direct;
    bool ready_ = false;
    DrawLog* drawLog_ = nullptr;
};

// The process's one Display; made on first use, closed when the process exits. Tests get a
// ready frame through the headless backend with display().open(any non-zero window id).
Display& display();

}  // namespace wordlark::graphics
