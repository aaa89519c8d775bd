// SdlVideo.h -- presentation through SDL2: the frame to a streaming texture, 8-bit emulation.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/SurfaceStore.h"
#include "platform/platform.h"

struct SDL_Texture;

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
    void dropTexture();
    // True when this frame (and palette) is what the window already shows; remembers it
    // otherwise. An idle game composes the same frame twenty times a second, and copying it
    // to the screen again is most of what an idle window would cost.
    bool alreadyShown(const Surface& surface, const PaletteColors* palette);

    SdlDesktop& desktop_;
    std::int32_t emulatedDepth_ = 0;
    WindowId window_ = kNoWindow;
    bool targetHeld_ = false;
    SurfaceStore surfaces_;
    std::vector<PaletteColors> palettes_;  // id n is palettes_[n - 1]
    PaletteId selected_ = kNoPalette;
    SDL_Texture* texture_ = nullptr;
    std::uint32_t textureFormat_ = 0;
    std::int32_t textureWidth_ = 0;
    std::int32_t textureHeight_ = 0;
    std::vector<std::uint32_t> converted_;  // an indexed frame as ARGB
    std::vector<std::uint8_t> shown_;       // the rows last shown, without padding
    PaletteColors shownPalette_{};
    bool shownWithPalette_ = false;
    std::uint64_t shownExposures_ = 0;
};

}  // namespace wordlark::platform::sdl
