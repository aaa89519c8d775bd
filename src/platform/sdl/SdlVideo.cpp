#include "platform/sdl/SdlVideo.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/sdl/SdlDesktop.h"

namespace wordlark::platform::sdl {

SdlVideo::SdlVideo(SdlDesktop& desktop, std::int32_t emulatedDepth)
    : desktop_(desktop), emulatedDepth_(emulatedDepth)
{
}

SdlVideo::~SdlVideo()
{
    dropFrame();
}

void SdlVideo::dropFrame()
{
    if (frame_ != nullptr) {
        SDL_FreeSurface(frame_);
        frame_ = nullptr;
    }
    shown_.clear();
}

bool SdlVideo::changedArea(const Surface& surface, const PaletteColors* palette, SDL_Rect& area,
                           bool& whole)
{
    const std::size_t rowBytes = static_cast<std::size_t>(surface.width) *
                                 static_cast<std::size_t>(surface.bitsPerPixel / 8);
    const std::size_t size = rowBytes * static_cast<std::size_t>(surface.height);
    const FramePlacement placement = desktop_.framePlacement(window_);
    whole = shown_.size() != size || shownWidth_ != surface.width ||
            shownBitsPerPixel_ != surface.bitsPerPixel || shownExposures_ != desktop_.exposures() ||
            placement.x != shownPlacement_.x || placement.y != shownPlacement_.y ||
            placement.width != shownPlacement_.width ||
            placement.height != shownPlacement_.height ||
            placement.smooth != shownPlacement_.smooth;
    if (!whole && surface.bitsPerPixel == 8) {
        whole = (palette != nullptr) != shownWithPalette_ ||
                (palette != nullptr && !(*palette == shownPalette_));
    }
    const std::size_t pixelBytes = static_cast<std::size_t>(surface.bitsPerPixel / 8);
    std::int32_t top = surface.height;
    std::int32_t bottom = -1;
    std::size_t left = rowBytes;
    std::size_t right = 0;
    if (whole) {
        shown_.resize(size);
        top = 0;
        bottom = surface.height - 1;
        left = 0;
        right = rowBytes;
    }
    for (std::int32_t y = 0; y < surface.height; ++y) {
        std::uint8_t* shown = shown_.data() + rowBytes * static_cast<std::size_t>(y);
        const std::uint8_t* now = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        if (!whole) {
            if (std::memcmp(shown, now, rowBytes) == 0) {
                continue;
            }
            std::size_t first = 0;
            while (shown[first] == now[first]) {
                ++first;
            }
            std::size_t last = rowBytes;
            while (shown[last - 1] == now[last - 1]) {
                --last;
            }
            top = std::min(top, y);
            bottom = y;
            left = std::min(left, first);
            right = std::max(right, last);
        }
        std::memcpy(shown, now, rowBytes);
    }
    shownWidth_ = surface.width;
    shownBitsPerPixel_ = surface.bitsPerPixel;
    shownWithPalette_ = palette != nullptr;
    if (palette != nullptr) {
        shownPalette_ = *palette;
    }
    shownExposures_ = desktop_.exposures();
    shownPlacement_ = placement;
    if (bottom < top) {
        return false;
    }
    const auto firstPixel = static_cast<int>(left / pixelBytes);
    const auto endPixel = static_cast<int>((right + pixelBytes - 1) / pixelBytes);
    area = {firstPixel, top, endPixel - firstPixel, bottom - top + 1};
    return true;
}

void SdlVideo::convert(const Surface& surface, const PaletteColors* palette, const SDL_Rect& area)
{
    std::uint8_t* to = static_cast<std::uint8_t*>(frame_->pixels) +
                       static_cast<std::ptrdiff_t>(area.y) * frame_->pitch +
                       static_cast<std::ptrdiff_t>(area.x) * frame_->format->BytesPerPixel;
    const std::uint8_t* from = surface.pixels + static_cast<std::ptrdiff_t>(area.y) * surface.pitch;
    if (surface.bitsPerPixel != 8) {
        SDL_ConvertPixels(area.w, area.h, SDL_PIXELFORMAT_RGB565, from + area.x * 2, surface.pitch,
                          frame_->format->format, to, frame_->pitch);
        return;
    }
    // Without a selected palette the indices show as a grey ramp, as on a fresh desktop.
    converted_.resize(static_cast<std::size_t>(area.w));
    for (int y = 0; y < area.h; ++y) {
        const std::uint8_t* row = from + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        for (int x = 0; x < area.w; ++x) {
            const std::uint8_t index = row[area.x + x];
            std::uint32_t argb = 0xFF000000u;
            if (palette != nullptr) {
                const PaletteColor& c = (*palette)[index];
                argb |= (static_cast<std::uint32_t>(c.red) << 16) |
                        (static_cast<std::uint32_t>(c.green) << 8) | c.blue;
            } else {
                argb |= static_cast<std::uint32_t>(index) * 0x010101u;
            }
            converted_[static_cast<std::size_t>(x)] = argb;
        }
        SDL_ConvertPixels(area.w, 1, SDL_PIXELFORMAT_ARGB8888, converted_.data(), area.w * 4,
                          frame_->format->format,
                          to + static_cast<std::ptrdiff_t>(y) * frame_->pitch, frame_->pitch);
    }
}

bool SdlVideo::connect(WindowId window)
{
    if (desktop_.sdlWindow(window) == nullptr) {
        return false;
    }
    window_ = window;
    return true;
}

void SdlVideo::disconnect()
{
    dropFrame();
    window_ = kNoWindow;
    targetHeld_ = false;
}

bool SdlVideo::acquireWindowTarget(DesktopMode& mode)
{
    SDL_Window* window = desktop_.sdlWindow(window_);
    if (window == nullptr) {
        return false;
    }
    const int index = SDL_GetWindowDisplayIndex(window);
    SDL_DisplayMode display{};
    if (SDL_GetDesktopDisplayMode(index >= 0 ? index : 0, &display) != 0) {
        return false;
    }
    mode.width = display.w;
    mode.height = display.h;
    mode.bitsPerPixel = emulatedDepth_ != 0
                            ? emulatedDepth_
                            : static_cast<std::int32_t>(SDL_BITSPERPIXEL(display.format));
    if (mode.bitsPerPixel != 8 && mode.bitsPerPixel != 16 && mode.bitsPerPixel != 24) {
        mode.bitsPerPixel = 32;
    }
    targetHeld_ = true;
    return true;
}

void SdlVideo::releaseWindowTarget()
{
    targetHeld_ = false;
}

bool SdlVideo::createSurface(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                             std::int32_t minimumPitch, Surface& surface)
{
    surface = Surface{};
    if (window_ == kNoWindow) {
        return false;
    }
    return surfaces_.create(width, height, bitsPerPixel, minimumPitch, surface);
}

void SdlVideo::releaseSurface(Surface& surface)
{
    surfaces_.release(surface);
}

PaletteId SdlVideo::createPalette(const PaletteColors& colors)
{
    palettes_.push_back(colors);
    return static_cast<PaletteId>(palettes_.size());
}

PaletteId SdlVideo::selectPalette(PaletteId palette)
{
    const PaletteId previous = selected_;
    selected_ = palette;
    return previous;
}

void SdlVideo::setStaticSystemColors(bool)
{
    // The emulated 8-bit desktop has no system colours of its own to keep.
}

void SdlVideo::realizePalette()
{
    // The selected palette is applied at every presentation.
}

void SdlVideo::present(const Surface& surface)
{
    SDL_Window* window = desktop_.sdlWindow(window_);
    if (!targetHeld_ || window == nullptr || surface.pixels == nullptr || surface.width <= 0 ||
        surface.height <= 0 || (surface.bitsPerPixel != 8 && surface.bitsPerPixel != 16)) {
        return;
    }
    SDL_Surface* screen = SDL_GetWindowSurface(window);
    if (screen == nullptr) {
        return;
    }
    if (frame_ != nullptr && (frame_->w != surface.width || frame_->h != surface.height ||
                              frame_->format->format != screen->format->format)) {
        dropFrame();
    }
    if (frame_ == nullptr) {
        frame_ = SDL_CreateRGBSurfaceWithFormat(
            0, surface.width, surface.height, screen->format->BitsPerPixel, screen->format->format);
        if (frame_ == nullptr) {
            return;
        }
        SDL_SetSurfaceBlendMode(frame_, SDL_BLENDMODE_NONE);
    }
    const PaletteColors* palette =
        surface.bitsPerPixel == 8 && selected_ != kNoPalette && selected_ <= palettes_.size()
            ? &palettes_[selected_ - 1]
            : nullptr;
    SDL_Rect area{};
    bool whole = false;
    if (!changedArea(surface, palette, area, whole)) {
        return;
    }
    convert(surface, palette, area);

    const FramePlacement placement = shownPlacement_;
    const bool sameSize = placement.width == surface.width && placement.height == surface.height;
    // A smooth stretch mixes neighbouring pixels, so it is redone whole.
    SDL_Rect from = placement.smooth ? SDL_Rect{0, 0, surface.width, surface.height} : area;
    SDL_Rect to{placement.x + from.x * placement.width / surface.width,
                placement.y + from.y * placement.height / surface.height,
                from.w * placement.width / surface.width,
                from.h * placement.height / surface.height};
    if (placement.smooth) {
        to = {placement.x, placement.y, placement.width, placement.height};
    }
    if (whole && (placement.x > 0 || placement.y > 0 || placement.width < screen->w ||
                  placement.height < screen->h)) {
        // Around the frame the window is black.
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    }
    if (sameSize) {
        SDL_BlitSurface(frame_, &from, screen, &to);
    } else if (!placement.smooth || screen->format->BytesPerPixel != 4 ||
               SDL_SoftStretchLinear(frame_, &from, screen, &to) != 0) {
        SDL_BlitScaled(frame_, &from, screen, &to);
    }
    if (whole) {
        SDL_UpdateWindowSurface(window);
    } else {
        to = {placement.x + from.x * placement.width / surface.width,
              placement.y + from.y * placement.height / surface.height,
              from.w * placement.width / surface.width, from.h * placement.height / surface.height};
        SDL_UpdateWindowSurfaceRects(window, &to, 1);
    }
}

}  // namespace wordlark::platform::sdl
