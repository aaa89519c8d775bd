#include "heaptool/PictureDecoder.h"

#include <cstring>

#include "archive/Endian.h"
#include "platform/Surface.h"

namespace wordlark::heaptool {

namespace {

using archive::readLe16;
using archive::readLe32;

constexpr std::size_t kHeaderEnd = 32;
constexpr std::size_t kIndexedPixelsOffset = 544;
constexpr std::size_t kMaskRowsOffset = 52;
constexpr std::uint8_t kUncoveredGrey = 0x80;
// Far beyond any picture of the game (640 x 480 at most): a mask's size is not bounded by its
// content (a narrow stride may cover any width), so the decoded image is bounded here.
constexpr std::uint64_t kMaxPixels = 16u << 20;

std::string tagOf(const std::uint8_t* content, std::size_t size)
{
    std::string tag;
    for (std::size_t i = 0; i < 4 && i < size; ++i) {
        const char c = static_cast<char>(content[i]);
        tag += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return tag;
}

// Header fields and the pixel count; false when the header is missing or the size is not
// positive in both directions.
bool readHeader(const std::uint8_t* content, std::size_t size, DecodedPicture* picture,
                std::uint64_t* pixels, std::string* error)
{
    if (size < kHeaderEnd) {
        *error = "content of " + std::to_string(size) + " bytes has no picture header";
        return false;
    }
    picture->contentTag = tagOf(content, size);
    const auto field = [content](int i) {
        return static_cast<std::int32_t>(readLe32(content + 8 + 4 * i));
    };
    PictureHeaderValues& h = picture->header;
    h.x = field(0);
    h.y = field(1);
    h.dx = field(2);
    h.dy = field(3);
    h.width = field(4);
    h.height = field(5);
    if (h.width <= 0 || h.height <= 0) {
        *error = "picture size " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                 " is empty";
        return false;
    }
    *pixels = static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height);
    if (h.width > platform::kPngMaxSide || h.height > platform::kPngMaxSide ||
        *pixels > kMaxPixels) {
        *error = "picture size " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                 " is too large";
        return false;
    }
    return true;
}

bool holds(std::size_t size, std::size_t offset, std::uint64_t needed, std::string* error)
{
    if (size < offset || size - offset < needed) {
        *error = "content of " + std::to_string(size) + " bytes is shorter than its header says";
        return false;
    }
    return true;
}

void putColour(std::uint8_t* pixel, std::uint16_t colour, std::uint8_t alpha)
{
    platform::rgb565ToRgb(colour, pixel[0], pixel[1], pixel[2]);
    pixel[3] = alpha;
}

}  // namespace

PictureDecoder::Kind PictureDecoder::kindOf(const std::uint8_t* content, std::size_t size)
{
    if (size < 4) {
        return Kind::Other;
    }
    const std::string tag(reinterpret_cast<const char*>(content), 4);
    if (tag == "gla0" || tag == "fon0") {
        return Kind::Palettised;
    }
    if (tag == "fon6") {
        return Kind::Direct;
    }
    if (tag == "bitm" || tag == "bit6") {
        return Kind::Mask;
    }
    return Kind::Other;
}

bool PictureDecoder::palettised(const std::uint8_t* content, std::size_t size, bool transparent,
                                DecodedPicture* picture, std::string* error)
{
    std::uint64_t count = 0;
    if (!readHeader(content, size, picture, &count, error) ||
        !holds(size, kIndexedPixelsOffset, count, error)) {
        return false;
    }
    picture->image = platform::PngImage(picture->header.width, picture->header.height);
    const std::uint8_t* palette = content + kHeaderEnd;
    const std::uint8_t* indices = content + kIndexedPixelsOffset;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint16_t colour = readLe16(palette + 2 * indices[i]);
        const bool clear = transparent && colour == 0x0000;
        putColour(picture->image.rgba.data() + 4 * i, colour, clear ? 0 : 255);
    }
    return true;
}

bool PictureDecoder::direct(const std::uint8_t* content, std::size_t size, DecodedPicture* picture,
                            std::string* error)
{
    std::uint64_t count = 0;
    if (!readHeader(content, size, picture, &count, error) ||
        !holds(size, kHeaderEnd, 2 * count, error)) {
        return false;
    }
    picture->image = platform::PngImage(picture->header.width, picture->header.height);
    for (std::uint64_t i = 0; i < count; ++i) {
        putColour(picture->image.rgba.data() + 4 * i, readLe16(content + kHeaderEnd + 2 * i), 255);
    }
    return true;
}

bool PictureDecoder::mask(const std::uint8_t* content, std::size_t size,
                          const platform::PngImage* source, DecodedPicture* picture,
                          std::string* error)
{
    std::uint64_t count = 0;
    if (!readHeader(content, size, picture, &count, error) ||
        !holds(size, kMaskRowsOffset, 0, error)) {
        return false;
    }
    const auto stride = static_cast<std::int32_t>(readLe32(content + 32));
    if (stride < 0) {
        *error = "mask row stride " + std::to_string(stride) + " is negative";
        return false;
    }
    const PictureHeaderValues& h = picture->header;
    if (!holds(size, kMaskRowsOffset,
               static_cast<std::uint64_t>(h.height) * static_cast<std::uint64_t>(stride), error)) {
        return false;
    }
    picture->maskStride = stride;
    char name[16] = {};
    std::memcpy(name, content + 36, 15);
    picture->sourceName = name;
    picture->image = platform::PngImage(h.width, h.height);
    const std::uint8_t* bits = content + kMaskRowsOffset;
    // Rectangle corners in the source's coordinates, in 64 bits so that no sum overflows.
    const std::int64_t left = static_cast<std::int64_t>(h.x) + h.dx;
    const std::int64_t top = static_cast<std::int64_t>(h.y) + h.dy;
    const std::int64_t reach = static_cast<std::int64_t>(stride) * 8;
    for (std::int32_t row = 0; row < h.height; ++row) {
        const std::uint8_t* maskRow = bits + static_cast<std::size_t>(row) * stride;
        for (std::int32_t column = 0; column < h.width && column < reach; ++column) {
            if (maskRow[column / 8] & (0x80u >> (column % 8))) {
                continue;  // outside the shape
            }
            std::uint8_t* out = picture->image.pixel(column, row);
            const std::int64_t sx = left + column;
            const std::int64_t sy = top + row;
            if (source && sx >= 0 && sy >= 0 && sx < source->width && sy < source->height) {
                std::memcpy(
                    out,
                    source->pixel(static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy)), 3);
            } else {
                out[0] = out[1] = out[2] = kUncoveredGrey;
            }
            out[3] = 255;
        }
    }
    return true;
}

}  // namespace wordlark::heaptool
