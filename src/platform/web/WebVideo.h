// WebVideo.h -- the frame in the page's canvas: RGB565 made RGBA and put into the canvas, only
// the part that changed since the last one shown. The page enlarges the canvas itself.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/SurfaceStore.h"
#include "platform/platform.h"

namespace wordlark::platform::web {

class WebVideo final : public Video {
public:
    WebVideo();
    ~WebVideo() override;
    WebVideo(const WebVideo&) = delete;
    WebVideo& operator=(const WebVideo&) = delete;

    bool connect(WindowId window) override;
    void disconnect() override;
    // A browser shows true colour: the game draws its 16-bit frame.
    bool acquireWindowTarget(DesktopMode& mode) override;
    void releaseWindowTarget() override;
    bool createSurface(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                       std::int32_t minimumPitch, Surface& surface) override;
    void releaseSurface(Surface& surface) override;
    // Palettes belong to 256-colour desktops, which a page never is.
    PaletteId createPalette(const PaletteColors&) override { return ++palettes_; }
    PaletteId selectPalette(PaletteId palette) override;
    void setStaticSystemColors(bool) override {}
    void realizePalette() override {}
    void present(const Surface& surface) override;

private:
    WindowId window_ = kNoWindow;
    bool targetHeld_ = false;
    SurfaceStore surfaces_;
    PaletteId palettes_ = 0;
    PaletteId selected_ = kNoPalette;
    std::int32_t shownWidth_ = 0;
    std::int32_t shownHeight_ = 0;
    std::vector<std::uint16_t> shown_;  // the frame last put into the canvas
    std::vector<std::uint8_t> rgba_;    // the same as the canvas's RGBA
};

}  // namespace wordlark::platform::web
