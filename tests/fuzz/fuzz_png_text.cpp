// The bytes as a PNG file (what picture import reads), and as text drawn with a hostile text
// state at random places of the frame.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "graphics/Display.h"
#include "platform/png/PngImage.h"

using namespace wordlark;

namespace {

std::int32_t take32(const std::uint8_t*& data, std::size_t& size)
{
    std::int32_t value = 0;
    for (int i = 0; i < 4 && size > 0; ++i, ++data, --size) {
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << 8 | *data);
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::PngImage image;
    if (platform::readPngMemory(data, size, image) &&
        image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
        __builtin_trap();
    }

    graphics::Display& d = graphics::display();
    if (!d.isReady() && !d.open(1)) {
        __builtin_trap();
    }
    // Sizes are kept to what text can be, so a run measures the drawing, not the rasteriser.
    const std::int32_t x = take32(data, size);
    const std::int32_t y = take32(data, size);
    const std::int32_t width = take32(data, size);
    const std::int32_t height = take32(data, size);
    const std::int32_t cell = take32(data, size) % 80;
    const std::int32_t average = take32(data, size) % 80;
    const std::int32_t flags = take32(data, size);
    // Now and then the sizes come unreduced, extremes included.
    const bool raw = (flags & 32) != 0;
    d.setFontParameter(0, raw ? flags : cell);
    d.setFontParameter(1, raw ? ~flags : average);
    d.setFontParameter(4, (flags & 1) != 0 ? 700 : 400);
    d.setFontParameter(5, flags & 2);
    d.setFontParameter(6, flags & 4);
    d.setFontParameter(7, flags & 8);
    d.setBackMode((flags & 16) != 0 ? graphics::kBackOpaque : graphics::kBackTransparent);
    d.setTextColor(static_cast<std::uint32_t>(flags));
    const std::string_view text(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
    d.drawText(x, y, text);
    d.drawTextBox(x, y, width, height, text, graphics::kTextCenter);
    d.invertRect(x, y, width, height);
    return 0;
}
