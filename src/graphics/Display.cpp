#include "graphics/Display.h"

#include <algorithm>

#include "platform/Text.h"

namespace wordlark::graphics {

platform::PaletteColors makeColorCubePalette()
{
    platform::PaletteColors colors{};
    for (int r = 0; r < 4; ++r) {
        for (int g = 0; g < 8; ++g) {
            for (int b = 0; b < 8; ++b) {
                platform::PaletteColor& c = colors[static_cast<std::size_t>(r * 64 + g * 8 + b)];
                c.red = static_cast<std::uint8_t>(r * 85);
                c.green = static_cast<std::uint8_t>((g * 255 + 3) / 7);
                c.blue = static_cast<std::uint8_t>((b * 255 + 3) / 7);
                c.flags = 0;
            }
        }
    }
    return colors;
}

void convertFrame(const platform::Surface& frame, const platform::Surface& indexed)
{
    const std::int32_t width = std::min(frame.width, indexed.width);
    const std::int32_t height = std::min(frame.height, indexed.height);
    const std::uint8_t* source = frame.pixels;
    std::uint8_t* target = indexed.pixels;
    for (std::int32_t y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const std::uint16_t*>(source);
        for (std::int32_t x = 0; x < width; ++x) {
            target[x] = paletteIndexOf(in[x]);
        }
        source += frame.pitch;
        target += indexed.pitch;
    }
}

Display::Display() : paletteColors_(makeColorCubePalette())
{
    palette_ = platform::video().createPalette(paletteColors_);
}

Display::~Display()
{
    close();
}

bool Display::open(platform::WindowId window)
{
    platform::Video& video = platform::video();
    if (!video.connect(window)) {
        return false;
    }
    connected_ = true;
    if (attachWindow() == 0) {
        return false;
    }
    if (!createBackBuffer()) {
        return false;
    }
    font_.height = 16;
    font_.width = 8;
    textColor_ = 0x00FFFF;
    ready_ = true;
    return true;
}

void Display::close()
{
    detachWindow();
    releaseBackBuffer();
    if (connected_) {
        platform::video().disconnect();
        connected_ = false;
        ready_ = false;
    }
}

bool Display::createBackBuffer()
{
    return platform::video().createSurface(kFrameWidth, kFrameHeight, 16, kFrameWidth * 2,
                                           backBuffer_);
}

void Display::releaseBackBuffer()
{
    if (backBuffer_.id != 0) {
        platform::video().releaseSurface(backBuffer_);
    }
    backBuffer_ = platform::Surface{};
}

std::int32_t Display::attachWindow()
{
    platform::Video& video = platform::video();
    platform::DesktopMode mode;
    if (!video.acquireWindowTarget(mode)) {
        return 0;
    }
    windowTargetHeld_ = true;
    window_ = platform::Surface{};
    window_.width = mode.width;
    window_.height = mode.height;
    window_.pitch = mode.width * (mode.bitsPerPixel / 8);
    window_.bitsPerPixel = mode.bitsPerPixel;
    if (mode.bitsPerPixel == 8) {
        // The conversion surface's rows are the width rounded up to a multiple of 4.
        if (!video.createSurface(kFrameWidth, kFrameHeight, 8, (kFrameWidth + 3) & ~3,
                                 conversion_)) {
            detachWindow();
            return 0;
        }
        presentPath_ = PresentPath::Converted;
        selectPalette();
        return 8;
    }
    presentPath_ = PresentPath::Direct;
    return mode.bitsPerPixel;
}

void Display::detachWindow()
{
    // The video is asked for only when something is held: a display never opened, or closed
    // already, touches no backend (there may be none by then).
    if (conversion_.id != 0) {
        restorePalette();
        platform::video().releaseSurface(conversion_);
        conversion_ = platform::Surface{};
    }
    if (windowTargetHeld_) {
        platform::video().releaseWindowTarget();
        windowTargetHeld_ = false;
    }
}

std::int32_t Display::reattachWindow()
{
    detachWindow();
    return attachWindow();
}

void Display::selectPalette()
{
    if (!windowTargetHeld_ || conversion_.id == 0) {
        return;
    }
    platform::Video& video = platform::video();
    video.setStaticSystemColors(false);
    previousPalette_ = video.selectPalette(palette_);
    video.realizePalette();
}

void Display::restorePalette()
{
    if (!windowTargetHeld_) {
        return;
    }
    if (conversion_.id != 0) {
        platform::Video& video = platform::video();
        if (previousPalette_ != platform::kNoPalette) {
            video.selectPalette(previousPalette_);
        }
        video.setStaticSystemColors(true);
        video.realizePalette();
    }
    previousPalette_ = platform::kNoPalette;
}

bool Display::present()
{
    if (!ready_) {
        return false;
    }
    if (presentPath_ == PresentPath::Converted) {
        presentConverted();
    } else if (windowTargetHeld_) {
        platform::video().present(backBuffer_);
    }
    return true;
}

void Display::presentConverted()
{
    if (conversion_.id == 0) {
        return;
    }
    convertFrame(backBuffer_, conversion_);
    platform::video().present(conversion_);
}

platform::TextStyle Display::textStyle() const
{
    platform::TextStyle style;
    style.font = font_;
    style.faceName = faceName_;
    style.textColor = textColor_;
    style.backColor = backColor_;
    style.opaque = backMode_ == kBackOpaque;
    return style;
}

void Display::drawText(std::int32_t x, std::int32_t y, std::string_view text)
{
    if (!frameReadyForDrawing()) {
        return;
    }
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    if (drawLog_ != nullptr) {
        drawLog_->texts.push_back({std::string(text), x, y});
    }
    platform::textRenderer().drawLine(backBuffer_, x, y, text, textStyle(),
                                      {0, 0, backBuffer_.width, backBuffer_.height});
}

std::int32_t Display::textWidth(std::string_view text) const
{
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    return platform::textRenderer().lineWidth(textStyle(), text);
}

void Display::drawTextBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::string_view text, std::uint32_t format)
{
    if (!frameReadyForDrawing()) {
        return;
    }
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    if (drawLog_ != nullptr) {
        drawLog_->texts.push_back({std::string(text), x, y, width, height, true});
    }
    const platform::TextStyle style = textStyle();
    platform::TextRenderer& renderer = platform::textRenderer();
    // The box as 64-bit edges cut to the frame's neighbourhood, so no sum overflows.
    const auto edge = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -(1 << 24), 1 << 24));
    };
    const platform::TextRect clip{edge(x), edge(y), edge(std::int64_t{x} + width),
                                  edge(std::int64_t{y} + height)};
    const std::int32_t lineHeight = renderer.metrics(style).height();
    std::int32_t top = clip.top;
    // Lines break at CR LF, CR or LF, as the platform's text formatting does.
    std::size_t start = 0;
    while (start <= text.size() && top < clip.bottom) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        std::int32_t left = x;
        if ((format & kTextCenter) != 0) {
            left =
                edge(std::int64_t{x} + (std::int64_t{width} - renderer.lineWidth(style, line)) / 2);
        }
        renderer.drawLine(backBuffer_, left, top, line, style, clip);
        top += std::max(lineHeight, 1);
        if (end == text.size()) {
            break;
        }
        start =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

void Display::invertRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (!frameReadyForDrawing() || width <= 0 || height <= 0) {
        return;
    }
    if (drawLog_ != nullptr) {
        drawLog_->inverted.push_back({x, y, width, height});
    }
    const platform::Surface area = backBuffer_.view(x, y, width, height);
    for (std::int32_t row = 0; row < area.height; ++row) {
        std::uint16_t* pixels = area.row16(row);
        for (std::int32_t col = 0; col < area.width; ++col) {
            pixels[col] = static_cast<std::uint16_t>(pixels[col] ^ 0xFFFF);
        }
    }
}

void Display::frameRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        ColorRef color)
{
    if (!frameReadyForDrawing() || width <= 0 || height <= 0) {
        return;
    }
    const auto channel = [color](int shift) { return (color >> shift) & 0xFF; };
    const auto pixel = static_cast<std::uint16_t>(((channel(0) >> 3) << 11) |
                                                  ((channel(8) >> 2) << 5) | (channel(16) >> 3));
    const auto fill = [&](std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h) {
        const platform::Surface area = backBuffer_.view(left, top, w, h);
        for (std::int32_t row = 0; row < area.height; ++row) {
            std::uint16_t* pixels = area.row16(row);
            std::fill(pixels, pixels + area.width, pixel);
        }
    };
    fill(x, y, width, 1);
    fill(x, y + height - 1, width, 1);
    fill(x, y, 1, height);
    fill(x + width - 1, y, 1, height);
}

Display& display()
{
    static Display instance;
    return instance;
}

}  // namespace wordlark::graphics
