#include "platform/headless/HeadlessVideo.h"

#include <cstring>

namespace wordlark::platform::headless {

HeadlessVideo::HeadlessVideo()
{
    // A grey ramp stands in for the desktop's own palette.
    PaletteColors grey{};
    for (std::size_t i = 0; i < grey.size(); ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        grey[i] = PaletteColor{level, level, level, 0};
    }
    defaultPalette_ = createPalette(grey);
    selected_ = defaultPalette_;
}

HeadlessVideo::~HeadlessVideo() = default;

bool HeadlessVideo::connect(WindowId window)
{
    if (failConnect_ || window == kNoWindow) {
        return false;
    }
    connected_ = true;
    window_ = window;
    return true;
}

void HeadlessVideo::disconnect()
{
    connected_ = false;
    window_ = kNoWindow;
}

bool HeadlessVideo::acquireWindowTarget(DesktopMode& mode)
{
    if (failWindowTarget_) {
        return false;
    }
    windowTargetHeld_ = true;
    mode = desktop_;
    return true;
}

void HeadlessVideo::releaseWindowTarget()
{
    windowTargetHeld_ = false;
}

bool HeadlessVideo::createSurface(std::int32_t width, std::int32_t height,
                                  std::int32_t bitsPerPixel, std::int32_t minimumPitch,
                                  Surface& surface)
{
    surface = Surface{};
    if (!connected_ || failSurfaces_ > 0) {
        if (failSurfaces_ > 0) {
            --failSurfaces_;
        }
        return false;
    }
    return surfaces_.create(width, height, bitsPerPixel, minimumPitch, surface);
}

void HeadlessVideo::releaseSurface(Surface& surface)
{
    surfaces_.release(surface);
}

PaletteId HeadlessVideo::createPalette(const PaletteColors& colors)
{
    palettes_.push_back(colors);
    return static_cast<PaletteId>(palettes_.size());
}

PaletteId HeadlessVideo::selectPalette(PaletteId palette)
{
    events_.push_back(PaletteEvent::Select);
    const PaletteId previous = selected_;
    selected_ = palette;
    return previous;
}

void HeadlessVideo::setStaticSystemColors(bool keepStatic)
{
    events_.push_back(keepStatic ? PaletteEvent::Static : PaletteEvent::NoStatic);
    static_ = keepStatic;
}

void HeadlessVideo::realizePalette()
{
    events_.push_back(PaletteEvent::Realize);
}

const PaletteColors* HeadlessVideo::paletteColors(PaletteId id) const
{
    if (id == kNoPalette || id > palettes_.size()) {
        return nullptr;
    }
    return &palettes_[id - 1];
}

void HeadlessVideo::present(const Surface& surface)
{
    if (!windowTargetHeld_ || surface.pixels == nullptr ||
        (surface.bitsPerPixel != 8 && surface.bitsPerPixel != 16)) {
        return;
    }
    PresentedFrame frame;
    frame.bitsPerPixel = surface.bitsPerPixel;
    frame.width = surface.width;
    frame.height = surface.height;
    const std::size_t count =
        static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height);
    if (surface.bitsPerPixel == 16) {
        frame.pixels16.resize(count);
        for (std::int32_t y = 0; y < surface.height; ++y) {
            std::memcpy(frame.pixels16.data() + static_cast<std::size_t>(y) * surface.width,
                        surface.pixels + static_cast<std::size_t>(y) * surface.pitch,
                        static_cast<std::size_t>(surface.width) * 2);
        }
    } else {
        frame.pixels8.resize(count);
        for (std::int32_t y = 0; y < surface.height; ++y) {
            std::memcpy(frame.pixels8.data() + static_cast<std::size_t>(y) * surface.width,
                        surface.pixels + static_cast<std::size_t>(y) * surface.pitch,
                        static_cast<std::size_t>(surface.width));
        }
        if (const PaletteColors* colors = paletteColors(selected_)) {
            frame.palette = *colors;
        }
    }
    last_ = std::move(frame);
    ++presents_;
}

void HeadlessVideo::setDesktop(std::int32_t bitsPerPixel, std::int32_t width, std::int32_t height)
{
    desktop_ = DesktopMode{bitsPerPixel, width, height};
}

void HeadlessVideo::reset()
{
    desktop_ = DesktopMode{32, 1920, 1080};
    failConnect_ = false;
    failWindowTarget_ = false;
    failSurfaces_ = 0;
    connected_ = false;
    window_ = kNoWindow;
    windowTargetHeld_ = false;
    selected_ = defaultPalette_;
    static_ = true;
    events_.clear();
    last_ = PresentedFrame{};
    presents_ = 0;
}

}  // namespace wordlark::platform::headless
