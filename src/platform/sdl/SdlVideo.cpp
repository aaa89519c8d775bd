#include "platform/sdl/SdlVideo.h"

#include <SDL.h>

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
    dropTexture();
}

void SdlVideo::dropTexture()
{
    if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
        texture_ = nullptr;
    }
    shown_.clear();
}

bool SdlVideo::alreadyShown(const Surface& surface, const PaletteColors* palette)
{
    const std::size_t rowBytes = static_cast<std::size_t>(surface.width) *
                                 static_cast<std::size_t>(surface.bitsPerPixel / 8);
    const std::size_t size = rowBytes * static_cast<std::size_t>(surface.height);
    bool same = shown_.size() == size && shownExposures_ == desktop_.exposures();
    if (same && surface.bitsPerPixel == 8) {
        same = (palette != nullptr) == shownWithPalette_ &&
               (palette == nullptr || *palette == shownPalette_);
    }
    for (std::int32_t y = 0; same && y < surface.height; ++y) {
        same = std::memcmp(shown_.data() + rowBytes * static_cast<std::size_t>(y),
                           surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.pitch,
                           rowBytes) == 0;
    }
    if (same) {
        return true;
    }
    shown_.resize(size);
    for (std::int32_t y = 0; y < surface.height; ++y) {
        std::memcpy(shown_.data() + rowBytes * static_cast<std::size_t>(y),
                    surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.pitch, rowBytes);
    }
    shownWithPalette_ = palette != nullptr;
    if (palette != nullptr) {
        shownPalette_ = *palette;
    }
    shownExposures_ = desktop_.exposures();
    return false;
}

bool SdlVideo::connect(WindowId window)
{
    if (desktop_.renderer(window) == nullptr) {
        return false;
    }
    window_ = window;
    return true;
}

void SdlVideo::disconnect()
{
    dropTexture();
    window_ = kNoWindow;
    targetHeld_ = false;
}

bool SdlVideo::acquireWindowTarget(DesktopMode& mode)
{
    if (desktop_.renderer(window_) == nullptr) {
        return false;
    }
    SDL_DisplayMode display{};
    if (SDL_GetDesktopDisplayMode(0, &display) != 0) {
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
    SDL_Renderer* renderer = desktop_.renderer(window_);
    if (!targetHeld_ || renderer == nullptr || surface.pixels == nullptr || surface.width <= 0 ||
        surface.height <= 0) {
        return;
    }
    const bool indexed = surface.bitsPerPixel == 8;
    const std::uint32_t format = indexed ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB565;
    if (texture_ == nullptr || textureFormat_ != format || textureWidth_ != surface.width ||
        textureHeight_ != surface.height) {
        dropTexture();
        texture_ = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, surface.width,
                                     surface.height);
        if (texture_ == nullptr) {
            return;
        }
        textureFormat_ = format;
        textureWidth_ = surface.width;
        textureHeight_ = surface.height;
    }
    if (indexed) {
        // Without a selected palette the indices show as a grey ramp, as on a fresh desktop.
        const PaletteColors* palette = selected_ != kNoPalette && selected_ <= palettes_.size()
                                           ? &palettes_[selected_ - 1]
                                           : nullptr;
        if (alreadyShown(surface, palette)) {
            return;
        }
        converted_.resize(static_cast<std::size_t>(surface.width) *
                          static_cast<std::size_t>(surface.height));
        std::size_t at = 0;
        for (std::int32_t y = 0; y < surface.height; ++y) {
            const std::uint8_t* row =
                surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.pitch;
            for (std::int32_t x = 0; x < surface.width; ++x) {
                const std::uint8_t index = row[x];
                std::uint32_t argb = 0xFF000000u;
                if (palette != nullptr) {
                    const PaletteColor& c = (*palette)[index];
                    argb |= (static_cast<std::uint32_t>(c.red) << 16) |
                            (static_cast<std::uint32_t>(c.green) << 8) | c.blue;
                } else {
                    argb |= static_cast<std::uint32_t>(index) * 0x010101u;
                }
                converted_[at++] = argb;
            }
        }
        SDL_UpdateTexture(texture_, nullptr, converted_.data(), surface.width * 4);
    } else {
        if (alreadyShown(surface, nullptr)) {
            return;
        }
        SDL_UpdateTexture(texture_, nullptr, surface.pixels, surface.pitch);
    }
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

}  // namespace wordlark::platform::sdl
