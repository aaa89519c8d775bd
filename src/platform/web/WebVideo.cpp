#include "platform/web/WebVideo.h"

#include <emscripten.h>

#include <algorithm>

#include "platform/DisplayMode.h"
#include "platform/Surface.h"

namespace wordlark::platform::web {

WebVideo::WebVideo() = default;
WebVideo::~WebVideo() = default;

bool WebVideo::connect(WindowId window)
{
    if (window == kNoWindow) {
        return false;
    }
    window_ = window;
    return true;
}

void WebVideo::disconnect()
{
    window_ = kNoWindow;
}

bool WebVideo::acquireWindowTarget(DesktopMode& mode)
{
    targetHeld_ = true;
    mode = DesktopMode{32, kFrameWidth, kFrameHeight};
    return true;
}

void WebVideo::releaseWindowTarget()
{
    targetHeld_ = false;
}

bool WebVideo::createSurface(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                             std::int32_t minimumPitch, Surface& surface)
{
    surface = Surface{};
    if (window_ == kNoWindow) {
        return false;
    }
    return surfaces_.create(width, height, bitsPerPixel, minimumPitch, surface);
}

void WebVideo::releaseSurface(Surface& surface)
{
    surfaces_.release(surface);
}

PaletteId WebVideo::selectPalette(PaletteId palette)
{
    const PaletteId previous = selected_;
    selected_ = palette;
    return previous;
}

void WebVideo::present(const Surface& surface)
{
    if (!targetHeld_ || surface.pixels == nullptr || surface.bitsPerPixel != 16 ||
        surface.width <= 0 || surface.height <= 0) {
        return;
    }
    const std::int32_t width = surface.width;
    const std::int32_t height = surface.height;
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const bool whole = width != shownWidth_ || height != shownHeight_;
    if (whole) {
        shown_.assign(count, 0);
        rgba_.assign(count * 4, 255);
        shownWidth_ = width;
        shownHeight_ = height;
    }
    // An idle game composes the same frame twenty times a second; the canvas gets only the
    // rectangle that differs from what it shows.
    std::int32_t left = width;
    std::int32_t top = height;
    std::int32_t right = -1;
    std::int32_t bottom = -1;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint16_t* row = surface.row16(y);
        std::uint16_t* was = shown_.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* out = rgba_.data() + static_cast<std::size_t>(y) * width * 4;
        for (std::int32_t x = 0; x < width; ++x) {
            if (!whole && row[x] == was[x]) {
                continue;
            }
            was[x] = row[x];
            rgb565ToRgb(row[x], out[x * 4], out[x * 4 + 1], out[x * 4 + 2]);
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0) {
        return;
    }
    EM_ASM({ Module.wordlark.present($0, $1, $2, $3, $4, $5, $6); }, rgba_.data(), width, height,
           left, top, right - left + 1, bottom - top + 1);
}

}  // namespace wordlark::platform::web
