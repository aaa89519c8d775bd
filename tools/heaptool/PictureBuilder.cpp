#include "heaptool/PictureBuilder.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "archive/Endian.h"
#include "heaptool/Quantiser.h"
#include "platform/Surface.h"

namespace wordlark::heaptool {

namespace {

using archive::writeLe16;
using archive::writeLe32;

constexpr std::size_t kHeaderOffset = 8;
constexpr std::size_t kPaletteOffset = 32;
constexpr std::size_t kIndexedPixelsOffset = 544;
constexpr std::size_t kMaskStrideOffset = 32;
constexpr std::size_t kMaskSourceOffset = 36;
constexpr std::size_t kMaskRowsOffset = 52;
constexpr std::uint16_t kTransparent = 0x0000;
// The darkest green step: the nearest colour to black that a palettised picture can show.
constexpr std::uint16_t kVisibleBlack = 0x0020;

std::size_t pixelCount(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// Tag, 4 zero bytes and the six header integers; the rest of the content zeroed.
std::vector<std::uint8_t> startContent(std::string_view tag, const PicturePlacement& placement,
                                       int width, int height, std::size_t totalSize)
{
    std::vector<std::uint8_t> content(totalSize, 0);
    std::memcpy(content.data(), tag.data(), std::min<std::size_t>(tag.size(), 4));
    const std::int32_t fields[6] = {placement.x,  placement.y, placement.dx,
                                    placement.dy, width,       height};
    for (int i = 0; i < 6; ++i) {
        writeLe32(content.data() + kHeaderOffset + 4 * i, static_cast<std::uint32_t>(fields[i]));
    }
    return content;
}

std::uint16_t visibleColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const std::uint16_t colour = rgb565(r, g, b);
    return colour == kTransparent ? kVisibleBlack : colour;
}

// Palette and indices of a picture with at most 256 colours after conversion; false when
// it holds more.
bool exactPalette(const RgbaView& image, std::vector<std::uint16_t>* palette,
                  std::vector<std::uint8_t>* indices)
{
    const std::size_t count = pixelCount(image.width, image.height);
    std::map<std::uint16_t, std::uint8_t> slots;
    palette->clear();
    indices->assign(count, 0);
    bool anyTransparent = false;
    for (std::size_t i = 0; i < count; ++i) {
        anyTransparent = anyTransparent || image.pixels[4 * i + 3] == 0;
    }
    if (anyTransparent) {
        // Index 0 is the transparent colour, so the table reads naturally in a hex dump.
        slots[kTransparent] = 0;
        palette->push_back(kTransparent);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = image.pixels + 4 * i;
        const std::uint16_t colour = p[3] == 0 ? kTransparent : visibleColour(p[0], p[1], p[2]);
        auto found = slots.find(colour);
        if (found == slots.end()) {
            if (palette->size() == 256) {
                return false;
            }
            found = slots.emplace(colour, static_cast<std::uint8_t>(palette->size())).first;
            palette->push_back(colour);
        }
        (*indices)[i] = found->second;
    }
    return true;
}

bool quantisedPalette(const RgbaView& image, std::vector<std::uint16_t>* palette,
                      std::vector<std::uint8_t>* indices, std::string* error)
{
    const std::size_t count = pixelCount(image.width, image.height);
    // Only full transparency exists in the game's pictures: every other pixel is opaque.
    std::vector<std::uint8_t> cleaned(image.pixels, image.pixels + 4 * count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = cleaned.data() + 4 * i;
        if (p[3] == 0) {
            p[0] = p[1] = p[2] = 0;
        } else {
            p[3] = 255;
        }
    }
    std::vector<QuantisedColour> colours;
    if (!quantise(RgbaView{cleaned.data(), image.width, image.height}, &colours, indices, error)) {
        return false;
    }
    palette->clear();
    for (const QuantisedColour& c : colours) {
        palette->push_back(c.a < 128 ? kTransparent : visibleColour(c.r, c.g, c.b));
    }
    return true;
}

}  // namespace

std::uint16_t rgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return platform::rgbTo565(r, g, b);
}

void rgb888(std::uint16_t colour, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b)
{
    platform::rgb565ToRgb(colour, *r, *g, *b);
}

std::vector<std::uint8_t> PictureBuilder::palettised(std::string_view tag,
                                                     const PicturePlacement& placement, int width,
                                                     int height,
                                                     const std::vector<std::uint16_t>& palette,
                                                     const std::vector<std::uint8_t>& indices)
{
    const std::size_t count = pixelCount(width, height);
    std::vector<std::uint8_t> content =
        startContent(tag, placement, width, height, kIndexedPixelsOffset + count);
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
        writeLe16(content.data() + kPaletteOffset + 2 * i, palette[i]);
    }
    std::copy_n(indices.begin(), std::min(count, indices.size()),
                content.begin() + kIndexedPixelsOffset);
    return content;
}

bool PictureBuilder::palettisedFromRgba(std::string_view tag, const PicturePlacement& placement,
                                        const RgbaView& image, std::vector<std::uint8_t>* content,
                                        std::string* error)
{
    if (image.width <= 0 || image.height <= 0 || !image.pixels) {
        *error = "the picture is empty";
        return false;
    }
    std::vector<std::uint16_t> palette;
    std::vector<std::uint8_t> indices;
    if (!exactPalette(image, &palette, &indices) &&
        !quantisedPalette(image, &palette, &indices, error)) {
        return false;
    }
    *content = palettised(tag, placement, image.width, image.height, palette, indices);
    return true;
}

std::vector<std::uint8_t> PictureBuilder::direct(const PicturePlacement& placement, int width,
                                                 int height,
                                                 const std::vector<std::uint16_t>& pixels)
{
    const std::size_t count = pixelCount(width, height);
    std::vector<std::uint8_t> content =
        startContent("fon6", placement, width, height, kPaletteOffset + 2 * count);
    for (std::size_t i = 0; i < count && i < pixels.size(); ++i) {
        writeLe16(content.data() + kPaletteOffset + 2 * i, pixels[i]);
    }
    return content;
}

std::vector<std::uint8_t> PictureBuilder::directFromRgba(const PicturePlacement& placement,
                                                         const RgbaView& image)
{
    const std::size_t count = pixelCount(image.width, image.height);
    std::vector<std::uint16_t> pixels(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = image.pixels + 4 * i;
        pixels[i] = rgb565(p[0], p[1], p[2]);
    }
    return direct(placement, image.width, image.height, pixels);
}

std::vector<std::uint8_t> PictureBuilder::mask(std::string_view tag,
                                               const PicturePlacement& placement, int width,
                                               int height, const std::vector<std::uint8_t>& shape,
                                               std::string_view sourceName, int stride)
{
    const int rowBytes = width > 0 ? (width + 7) / 8 : 0;
    if (stride <= 0) {
        stride = rowBytes;
    }
    const std::size_t rows = height > 0 ? static_cast<std::size_t>(height) : 0;
    std::vector<std::uint8_t> content = startContent(
        tag, placement, width, height, kMaskRowsOffset + rows * static_cast<std::size_t>(stride));
    writeLe32(content.data() + kMaskStrideOffset, static_cast<std::uint32_t>(stride));
    std::memcpy(content.data() + kMaskSourceOffset, sourceName.data(),
                std::min<std::size_t>(sourceName.size(), 15));
    std::uint8_t* bits = content.data() + kMaskRowsOffset;
    std::fill(bits, bits + rows * static_cast<std::size_t>(stride), 0xFF);
    // A stride narrower than the width (damaged masks in tests) keeps only what fits.
    const int storedWidth = std::min(width, stride * 8);
    for (std::size_t y = 0; y < rows; ++y) {
        std::uint8_t* row = bits + y * static_cast<std::size_t>(stride);
        for (int x = 0; x < storedWidth; ++x) {
            const std::size_t i = y * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            if (i < shape.size() && shape[i] != 0) {
                row[x / 8] = static_cast<std::uint8_t>(row[x / 8] & ~(0x80u >> (x % 8)));
            }
        }
    }
    return content;
}

std::vector<std::uint8_t> PictureBuilder::shapeFromRgba(const RgbaView& image)
{
    const std::size_t count = pixelCount(image.width, image.height);
    std::vector<std::uint8_t> shape(count);
    for (std::size_t i = 0; i < count; ++i) {
        shape[i] = image.pixels[4 * i + 3] >= 128 ? 1 : 0;
    }
    return shape;
}

void AnimationWriter::addFrame(std::vector<std::uint8_t> frame, Storage storage)
{
    FrameRecordValues record;
    record.size = static_cast<std::uint32_t>(frame.size());
    record.offset = archive_.addPiece(std::move(frame), storage, &record.storedSize);
    records_.push_back(record);
}

std::vector<std::uint8_t> AnimationWriter::table() const
{
    std::vector<std::uint8_t> content(12 + 12 * records_.size(), 0);
    std::memcpy(content.data(), "ani0", 4);
    writeLe32(content.data() + 8, static_cast<std::uint32_t>(records_.size()));
    for (std::size_t i = 0; i < records_.size(); ++i) {
        std::uint8_t* p = content.data() + 12 + 12 * i;
        writeLe32(p, records_[i].offset);
        writeLe32(p + 4, records_[i].size);
        writeLe32(p + 8, records_[i].storedSize);
    }
    return content;
}

void AnimationWriter::finish(std::string_view name, std::string_view tag, Storage storage)
{
    archive_.addEntry(name, tag, table(), storage);
}

}  // namespace wordlark::heaptool
