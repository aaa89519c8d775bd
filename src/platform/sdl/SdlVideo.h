// SdlVideo.h -- presentation through SDL2: the frame into the window's own surface, enlarged
// there, only what changed sent to the screen; 8-bit emulation.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/DisplayMode.h"
#include "platform/SurfaceStore.h"
#include "platform/platform.h"

struct SDL_Surface;
struct SDL_Rect;

namespace wordlark::platform::sdl {

class SdlDesktop;

class SdlVideo final : public Video {
public:
    // `emulatedDepth` 8 reports a 256-colour desktop so the game takes its indexed path;
    // 0 reports the real desktop.
    SdlVideo(SdlDesktop& desktop, std::int32_t emulatedDepth);
    ~SdlVideo() override;
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;

    bool connect(WindowId window) override;
    void disconnect() override;
    bool acquireWindowTarget(DesktopMode& mode) override;
    void releaseWindowTarget() override;
    bool createSurface(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                       std::int32_t minimumPitch, Surface& surface) override;
    void releaseSurface(Surface& surface) override;
    PaletteId createPalette(const PaletteColors& colors) override;
    PaletteId selectPalette(PaletteId palette) override;
    void setStaticSystemColors(bool keepStatic) override;
    void realizePalette() override;
    void present(const Surface& surface) override;

private:
    void dropFrame();
    // The part of this frame (and palette) that differs from what the window shows, in frame
    // pixels, remembered as shown; false when nothing does. `whole` when the window must be
    // drawn afresh (exposed, resized, another palette). An idle game composes the same
    // frame twenty times a second, and sending it to the screen again would be most of what
    // an idle window costs; a frame that changes a little sends only that little.
    bool changedArea(const Surface& surface, const PaletteColors* palette, SDL_Rect& area,
                     bool& whole);
    // Copies that part of the game's frame into frame_, in the window's pixel format.
    void convert(const Surface& surface, const PaletteColors* palette, const SDL_Rect& area);

    SdlDesktop& desktop_;
    std::int32_t emulatedDepth_ = 0;
    WindowId window_ = kNoWindow;
    bool targetHeld_ = false;
    SurfaceStore surfaces_;
    std::vector<PaletteColors> palettes_;  // id n is palettes_[n - 1]
    PaletteId selected_ = kNoPalette;
    SDL_Surface* frame_ = nullptr;          // the frame as the window's pixels, unscaled
    std::vector<std::uint32_t> converted_;  // a row of an indexed frame as ARGB
    std::vector<std::uint8_t> shown_;       // the rows last shown, without padding
    std::int32_t shownWidth_ = 0;
    std::int32_t shownBitsPerPixel_ = 0;
    PaletteColors shownPalette_{};
    bool shownWithPalette_ = false;
    std::uint64_t shownExposures_ = 0;
    FramePlacement shownPlacement_;
};

}  // namespace wordlark::platform::sdl
