#include "platform/win32/DirectDrawVideo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/win32/DibSection.h"
#include "platform/win32/ScaledFrame.h"
#include "platform/win32/WindowHandle.h"

#include <windows.h>

#include <ddraw.h>

namespace wordlark::platform::win32 {

namespace {

constexpr std::int32_t kMaxSide = 8192;
constexpr DWORD kRedMask = 0xF800;
constexpr DWORD kGreenMask = 0x07E0;
constexpr DWORD kBlueMask = 0x001F;

}  // namespace

DirectDrawVideo::DirectDrawVideo(bool useDirectDraw) : useDirectDraw_(useDirectDraw) {}

DirectDrawVideo::~DirectDrawVideo()
{
    disconnect();
    for (const PaletteRecord& palette : palettes_) {
        if (palette.owned) {
            DeleteObject(palette.handle);
        }
    }
}

bool DirectDrawVideo::connect(WindowId window)
{
    disconnect();
    HWND handle = windowHandleOf(window);
    if (!IsWindow(handle)) {
        return false;
    }
    window_ = handle;
    if (!useDirectDraw_) {
        return true;
    }
    IDirectDraw* directDraw = nullptr;
    HRESULT result = DirectDrawCreate(nullptr, &directDraw, nullptr);
    const char* step = "DirectDrawCreate";
    if (SUCCEEDED(result)) {
        // Windowed co-operation: no exclusive mode and no change of the desktop's mode.
        result = directDraw->SetCooperativeLevel(handle, DDSCL_NORMAL);
        step = "SetCooperativeLevel";
        if (FAILED(result)) {
            directDraw->Release();
            directDraw = nullptr;
        }
    }
    if (directDraw == nullptr) {
        std::fprintf(stderr,
                     "wordlark: DirectDraw is not available (%s failed, 0x%08lx); the frame is "
                     "drawn through GDI\n",
                     step, static_cast<unsigned long>(result));
        toldFallback_ = true;
        return true;
    }
    directDraw_ = directDraw;
    return true;
}

void DirectDrawVideo::disconnect()
{
    releaseWindowTarget();
    for (auto& [id, record] : surfaces_) {
        freeSurface(record);
    }
    surfaces_.clear();
    if (directDraw_ != nullptr) {
        directDraw_->Release();
        directDraw_ = nullptr;
    }
    window_ = nullptr;
}

bool DirectDrawVideo::acquireWindowTarget(DesktopMode& mode)
{
    releaseWindowTarget();
    if (window_ == nullptr) {
        return false;
    }
    windowDc_ = GetDC(window_);
    if (windowDc_ == nullptr) {
        return false;
    }
    mode.bitsPerPixel = GetDeviceCaps(windowDc_, BITSPIXEL) * GetDeviceCaps(windowDc_, PLANES);
    mode.width = GetDeviceCaps(windowDc_, HORZRES);
    mode.height = GetDeviceCaps(windowDc_, VERTRES);
    return true;
}

void DirectDrawVideo::releaseWindowTarget()
{
    if (windowDc_ != nullptr) {
        ReleaseDC(window_, windowDc_);
        windowDc_ = nullptr;
    }
    selected_ = kNoPalette;
}

bool DirectDrawVideo::createSurface(std::int32_t width, std::int32_t height,
                                    std::int32_t bitsPerPixel, std::int32_t minimumPitch,
                                    Surface& surface)
{
    surface = Surface{};
    if (window_ == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        (bitsPerPixel != 8 && bitsPerPixel != 16) || minimumPitch > kMaxSide * 4) {
        return false;
    }
    // Rows start on 4-byte boundaries, as both kinds of surface lay them out.
    const std::int32_t rowBytes = width * (bitsPerPixel / 8);
    const std::int32_t pitch = (std::max(rowBytes, minimumPitch) + 3) & ~3;
    SurfaceRecord record;
    bool made = false;
    if (directDraw_ != nullptr) {
        made = createDirectDrawSurface(width, height, bitsPerPixel, pitch, surface, record);
        if (!made && !toldFallback_) {
            std::fprintf(stderr,
                         "wordlark: DirectDraw cannot make a %dx%d surface of %d bits with rows "
                         "%d bytes apart in system memory; such surfaces are GDI DIB sections\n",
                         width, height, bitsPerPixel, pitch);
            toldFallback_ = true;
        }
    }
    if (!made) {
        made = createDibSection(width, height, bitsPerPixel, pitch, surface, record);
    }
    if (!made) {
        surface = Surface{};
        return false;
    }
    surface.id = nextSurface_++;
    surfaces_.emplace(surface.id, record);
    return true;
}

bool DirectDrawVideo::createDirectDrawSurface(std::int32_t width, std::int32_t height,
                                              std::int32_t bitsPerPixel, std::int32_t pitch,
                                              Surface& surface, SurfaceRecord& record)
{
    DDSURFACEDESC description{};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    description.dwWidth = static_cast<DWORD>(width);
    description.dwHeight = static_cast<DWORD>(height);
    description.lPitch = pitch;
    DDPIXELFORMAT& format = description.ddpfPixelFormat;
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = static_cast<DWORD>(bitsPerPixel);
    if (bitsPerPixel == 16) {
        format.dwRBitMask = kRedMask;
        format.dwGBitMask = kGreenMask;
        format.dwBBitMask = kBlueMask;
    } else {
        format.dwFlags |= DDPF_PALETTEINDEXED8;
    }
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;

    IDirectDrawSurface* made = nullptr;
    if (FAILED(directDraw_->CreateSurface(&description, &made, nullptr))) {
        return false;
    }
    // Locked once, only to learn where the pixels are: a surface in system memory keeps them
    // there for its life, so the frame is written directly from then on.
    DDSURFACEDESC locked{};
    locked.dwSize = sizeof(locked);
    if (FAILED(made->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr))) {
        made->Release();
        return false;
    }
    auto* pixels = static_cast<std::uint8_t*>(locked.lpSurface);
    const bool usable =
        pixels != nullptr && static_cast<std::int32_t>(locked.dwWidth) == width &&
        static_cast<std::int32_t>(locked.dwHeight) == height && locked.lPitch >= pitch &&
        static_cast<std::int32_t>(locked.ddpfPixelFormat.dwRGBBitCount) == bitsPerPixel;
    if (usable) {
        for (std::int32_t y = 0; y < height; ++y) {
            std::memset(pixels + static_cast<std::ptrdiff_t>(y) * locked.lPitch, 0,
                        static_cast<std::size_t>(width * (bitsPerPixel / 8)));
        }
    }
    if (FAILED(made->Unlock(locked.lpSurface)) || !usable) {
        made->Release();
        return false;
    }
    HDC dc = nullptr;
    if (FAILED(made->GetDC(&dc))) {
        dc = nullptr;  // text then goes through a copy (see GdiText)
    }
    record.surface = made;
    record.dc = dc;
    record.pixels = pixels;
    record.bitsPerPixel = bitsPerPixel;
    surface.pixels = pixels;
    surface.width = width;
    surface.height = height;
    surface.pitch = locked.lPitch;
    surface.bitsPerPixel = bitsPerPixel;
    return true;
}

bool DirectDrawVideo::createDibSection(std::int32_t width, std::int32_t height,
                                       std::int32_t bitsPerPixel, std::int32_t pitch,
                                       Surface& surface, SurfaceRecord& record)
{
    // A DIB's rows are as long as its width, so the pitch asked for is made by a wider DIB.
    void* bits = nullptr;
    HBITMAP bitmap =
        win32::createDibSection(pitch / (bitsPerPixel / 8), height, bitsPerPixel, &bits);
    if (bitmap == nullptr) {
        return false;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        DeleteObject(bitmap);
        return false;
    }
    record.bitmap = bitmap;
    record.previousBitmap = SelectObject(dc, bitmap);
    record.dc = dc;
    record.pixels = static_cast<std::uint8_t*>(bits);
    record.bitsPerPixel = bitsPerPixel;
    surface.pixels = record.pixels;
    surface.width = width;
    surface.height = height;
    surface.pitch = pitch;
    surface.bitsPerPixel = bitsPerPixel;
    return true;
}

void DirectDrawVideo::releaseSurface(Surface& surface)
{
    const auto it = surfaces_.find(surface.id);
    if (it != surfaces_.end()) {
        freeSurface(it->second);
        surfaces_.erase(it);
    }
    surface = Surface{};
}

void DirectDrawVideo::freeSurface(SurfaceRecord& record)
{
    if (record.surface != nullptr) {
        if (record.dc != nullptr) {
            record.surface->ReleaseDC(record.dc);
        }
        record.surface->Release();
    } else {
        if (record.dc != nullptr) {
            SelectObject(record.dc, static_cast<HGDIOBJ>(record.previousBitmap));
            DeleteDC(record.dc);
        }
        if (record.bitmap != nullptr) {
            DeleteObject(record.bitmap);
        }
    }
    record = SurfaceRecord{};
}

HDC DirectDrawVideo::deviceContext(const Surface& surface)
{
    const auto it = surfaces_.find(surface.id);
    // A view shares the pixels but not the corner the context draws from.
    if (it == surfaces_.end() || it->second.pixels != surface.pixels) {
        return nullptr;
    }
    return it->second.dc;
}

PaletteId DirectDrawVideo::createPalette(const PaletteColors& colors)
{
    // LOGPALETTE declares one entry; the other 255 follow it.
    struct {
        LOGPALETTE header;
        PALETTEENTRY more[255];
    } logical{};
    logical.header.palVersion = 0x300;
    logical.header.palNumEntries = 256;
    PALETTEENTRY* entries = logical.header.palPalEntry;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        entries[i] = {colors[i].red, colors[i].green, colors[i].blue, colors[i].flags};
    }
    HPALETTE handle = CreatePalette(&logical.header);
    if (handle == nullptr) {
        return kNoPalette;
    }
    palettes_.push_back({handle, true});
    return static_cast<PaletteId>(palettes_.size());
}

PaletteId DirectDrawVideo::paletteIdOf(HPALETTE handle)
{
    if (handle == nullptr) {
        return kNoPalette;
    }
    for (std::size_t i = 0; i < palettes_.size(); ++i) {
        if (palettes_[i].handle == handle) {
            return static_cast<PaletteId>(i + 1);
        }
    }
    palettes_.push_back({handle, false});
    return static_cast<PaletteId>(palettes_.size());
}

PaletteId DirectDrawVideo::selectPalette(PaletteId palette)
{
    if (windowDc_ == nullptr) {
        return kNoPalette;
    }
    HPALETTE handle = palette != kNoPalette && palette <= palettes_.size()
                          ? palettes_[palette - 1].handle
                          : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    // As the foreground palette: the window takes the desktop's colours while it has the focus.
    HPALETTE previous = SelectPalette(windowDc_, handle, FALSE);
    selected_ = paletteIdOf(handle);
    return paletteIdOf(previous);
}

void DirectDrawVideo::setStaticSystemColors(bool keepStatic)
{
    if (windowDc_ != nullptr) {
        SetSystemPaletteUse(windowDc_, keepStatic ? SYSPAL_STATIC : SYSPAL_NOSTATIC);
    }
}

void DirectDrawVideo::realizePalette()
{
    if (windowDc_ != nullptr) {
        RealizePalette(windowDc_);
    }
}

void DirectDrawVideo::matchColorTable(SurfaceRecord& record)
{
    if (selected_ == kNoPalette || record.colorTable == selected_ || record.dc == nullptr) {
        return;
    }
    PALETTEENTRY entries[256] = {};
    const UINT count = GetPaletteEntries(palettes_[selected_ - 1].handle, 0, 256, entries);
    RGBQUAD table[256] = {};
    for (UINT i = 0; i < count && i < 256; ++i) {
        table[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    }
    if (count > 0 && SetDIBColorTable(record.dc, 0, count, table) == count) {
        record.colorTable = selected_;
    }
}

void DirectDrawVideo::present(const Surface& surface)
{
    const auto it = surfaces_.find(surface.id);
    if (windowDc_ == nullptr || it == surfaces_.end() || it->second.dc == nullptr) {
        return;
    }
    SurfaceRecord& record = it->second;
    if (record.bitsPerPixel == 8) {
        matchColorTable(record);
    }
    const std::optional<FramePlacement> placement = scaledFramePlacement(window_);
    if (!placement || (placement->x == 0 && placement->y == 0 &&
                       placement->width == surface.width && placement->height == surface.height)) {
        BitBlt(windowDc_, 0, 0, surface.width, surface.height, record.dc, 0, 0, SRCCOPY);
        return;
    }
    // Around the frame (the full screen) the window is black.
    RECT client{};
    GetClientRect(window_, &client);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bands[] = {
        {0, 0, client.right, placement->y},
        {0, placement->y + placement->height, client.right, client.bottom},
        {0, placement->y, placement->x, placement->y + placement->height},
        {placement->x + placement->width, placement->y, client.right,
         placement->y + placement->height},
    };
    for (const RECT& band : bands) {
        if (band.right > band.left && band.bottom > band.top) {
            FillRect(windowDc_, &band, black);
        }
    }
    // Whole pixels repeat for the sharp look; the smooth one averages them.
    if (placement->smooth) {
        SetStretchBltMode(windowDc_, HALFTONE);
        SetBrushOrgEx(windowDc_, 0, 0, nullptr);
    } else {
        SetStretchBltMode(windowDc_, COLORONCOLOR);
    }
    StretchBlt(windowDc_, placement->x, placement->y, placement->width, placement->height,
               record.dc, 0, 0, surface.width, surface.height, SRCCOPY);
}

}  // namespace wordlark::platform::win32
