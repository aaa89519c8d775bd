// HeadlessVideo.h -- the in-memory video backend: settable desktop, recorded calls, last frame.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/SurfaceStore.h"
#include "platform/platform.h"

namespace wordlark::platform::headless {

// What happened to the palette, in call order, so tests can check the sequence.
enum class PaletteEvent {
    Select,    // selectPalette
    NoStatic,  // setStaticSystemColors(false)
    Static,    // setStaticSystemColors(true)
    Realize,   // realizePalette
};

// The last frame presented: a copy of its pixels (RGB565 values, or indices with the palette
// that was selected at that moment).
struct PresentedFrame {
    std::int32_t bitsPerPixel = 0;  // 0: nothing presented yet
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint16_t> pixels16;
    std::vector<std::uint8_t> pixels8;
    PaletteColors palette{};
};

class HeadlessVideo final : public Video {
public:
    HeadlessVideo();
    ~HeadlessVideo() override;

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

    // Test controls. The desktop depth may be 8, 16, 24 or 32; the change shows at the next
    // acquireWindowTarget, as a display-settings change does.
    void setDesktop(std::int32_t bitsPerPixel, std::int32_t width = 1920,
                    std::int32_t height = 1080);
    void failConnect(bool fail) { failConnect_ = fail; }
    void failWindowTarget(bool fail) { failWindowTarget_ = fail; }
    // The next `count` createSurface calls fail.
    void failSurfaces(int count) { failSurfaces_ = count; }

    // Observations.
    bool connected() const { return connected_; }
    WindowId window() const { return window_; }
    bool holdsWindowTarget() const { return windowTargetHeld_; }
    std::size_t liveSurfaces() const { return surfaces_.size(); }
    PaletteId selectedPalette() const { return selected_; }
    // The palette a fresh window has selected, as a desktop's default palette.
    PaletteId defaultPalette() const { return defaultPalette_; }
    bool staticSystemColors() const { return static_; }
    const PaletteColors* paletteColors(PaletteId id) const;
    const std::vector<PaletteEvent>& paletteEvents() const { return events_; }
    void clearPaletteEvents() { events_.clear(); }
    const PresentedFrame& lastPresented() const { return last_; }
    std::size_t presentCount() const { return presents_; }

    // Back to a fresh backend: a 32-bit desktop, nothing connected or recorded. Surfaces still
    // alive stay valid until released.
    void reset();

private:
    DesktopMode desktop_{32, 1920, 1080};
    bool failConnect_ = false;
    bool failWindowTarget_ = false;
    int failSurfaces_ = 0;
    bool connected_ = false;
    WindowId window_ = kNoWindow;
    bool windowTargetHeld_ = false;
    SurfaceStore surfaces_;
    std::vector<PaletteColors> palettes_;  // id n is palettes_[n - 1]
    PaletteId defaultPalette_ = kNoPalette;
    PaletteId selected_ = kNoPalette;
    bool static_ = true;
    std::vector<PaletteEvent> events_;
    PresentedFrame last_;
    std::size_t presents_ = 0;
};

}  // namespace wordlark::platform::headless
