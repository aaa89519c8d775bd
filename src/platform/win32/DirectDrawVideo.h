// DirectDrawVideo.h -- the frame on Windows: DirectDraw surfaces in system memory, GDI to show.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/DeviceContextSource.h"

struct HWND__;
struct HDC__;
struct HPALETTE__;
struct HBITMAP__;
struct IDirectDraw;
struct IDirectDrawSurface;

namespace wordlark::platform::win32 {

// Surfaces are DirectDraw's, in system memory, in the windowed co-operation that changes
// nothing of the desktop; each is locked once to learn its address, which stays valid for its
// life, and keeps a device context onto its pixels for text and for presenting. The window is
// drawn through GDI: a block copy from the surface's context to the window's, with the palette
// selected and realised on a 256-colour desktop. Where DirectDraw cannot be had, surfaces are
// GDI DIB sections of the same layout, and that is said once on stderr.
class DirectDrawVideo final : public Video, public DeviceContextSource {
public:
    // `useDirectDraw` false makes every surface a DIB section (for systems whose DirectDraw
    // misbehaves, and to check that path).
    explicit DirectDrawVideo(bool useDirectDraw = true);
    ~DirectDrawVideo() override;
    DirectDrawVideo(const DirectDrawVideo&) = delete;
    DirectDrawVideo& operator=(const DirectDrawVideo&) = delete;

    // False only when `window` is not a window; DirectDraw that fails falls back to GDI.
    bool connect(WindowId window) override;
    // Also frees the surfaces still alive, as releasing DirectDraw takes its surfaces with it.
    void disconnect() override;
    bool acquireWindowTarget(DesktopMode& mode) override;
    void releaseWindowTarget() override;
    bool createSurface(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                       std::int32_t minimumPitch, Surface& surface) override;
    void releaseSurface(Surface& surface) override;
    PaletteId createPalette(const PaletteColors& colors) override;
    // The palette the window's context had before is given an id too, so it can be selected
    // back; an unknown id selects the desktop's default palette.
    PaletteId selectPalette(PaletteId palette) override;
    void setStaticSystemColors(bool keepStatic) override;
    void realizePalette() override;
    void present(const Surface& surface) override;

    HDC__* deviceContext(const Surface& surface) override;

    // Whether DirectDraw serves this window (known once connected); false on the GDI path.
    bool directDrawInUse() const { return directDraw_ != nullptr; }

private:
    struct SurfaceRecord {
        IDirectDrawSurface* surface = nullptr;  // null for a DIB section
        HBITMAP__* bitmap = nullptr;            // the DIB section, when there is no surface
        void* previousBitmap = nullptr;         // what the DIB's context held before it
        HDC__* dc = nullptr;
        std::uint8_t* pixels = nullptr;
        std::int32_t bitsPerPixel = 0;
        // For 8 bits per pixel: the palette the context's colour table shows.
        PaletteId colorTable = kNoPalette;
    };
    struct PaletteRecord {
        HPALETTE__* handle = nullptr;
        bool owned = false;  // made here (deleted at the end) or the system's
    };

    bool createDirectDrawSurface(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                                 std::int32_t pitch, Surface& surface, SurfaceRecord& record);
    bool createDibSection(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                          std::int32_t minimumPitch, Surface& surface, SurfaceRecord& record);
    void freeSurface(SurfaceRecord& record);
    PaletteId paletteIdOf(HPALETTE__* handle);
    // Makes an 8-bit surface's colour table the selected palette's, so the block copy shows
    // its indices in the colours the window's palette gives them.
    void matchColorTable(SurfaceRecord& record);

    bool useDirectDraw_ = true;
    bool toldFallback_ = false;
    HWND__* window_ = nullptr;
    IDirectDraw* directDraw_ = nullptr;
    HDC__* windowDc_ = nullptr;
    std::map<std::uint32_t, SurfaceRecord> surfaces_;
    std::uint32_t nextSurface_ = 1;
    std::vector<PaletteRecord> palettes_;  // id n is palettes_[n - 1]
    PaletteId selected_ = kNoPalette;
};

}  // namespace wordlark::platform::win32
