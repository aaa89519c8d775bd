#include "graphics/ImageResource.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "archive/Archive.h"
#include "archive/Endian.h"
#include "archive/FourCC.h"
#include "graphics/Display.h"
#include "graphics/FrameClip.h"

namespace wordlark::graphics {

namespace {

bool isFrame16(const platform::Surface& frame)
{
    return frame.pixels && frame.bitsPerPixel == 16 && frame.width > 0 && frame.height > 0;
}

std::uint16_t paletteColour(const std::uint8_t* palette, std::uint8_t index)
{
    return archive::readLe16(palette + 2 * index);
}

}  // namespace

ImageResource::ImageResource(std::string_view entryName, archive::Archive& archive)
    : ArchiveObject(entryName, archive.header().name), archive_(&archive)
{
}

ImageResource::~ImageResource() = default;

std::int32_t ImageResource::command(std::uint32_t code, std::int32_t value)
{
    switch (code) {
        case archive::commandCode("Show"):
            load();
            return 0;
        case archive::commandCode("Hide"):
            unload();
            return 0;
        case archive::commandCode("GzPl"):
            return storedValue_;
        case archive::commandCode("SzPl"):
            storedValue_ = value;
            return 0;
        default:
            return 0;
    }
}

void ImageResource::drawAt(std::int32_t x, std::int32_t y)
{
    if (!loaded_) {
        return;
    }
    // Written into the header itself (not through setPosition, which a mask overrides), so
    // every kind of picture draws from the given place and keeps its own afterwards.
    const std::int32_t storedX = header_.x();
    const std::int32_t storedY = header_.y();
    header_.setX(x);
    header_.setY(y);
    draw();
    header_.setX(storedX);
    header_.setY(storedY);
}

void ImageResource::draw()
{
    Display& target = display();
    if (DrawLog* log = target.drawLog(); log != nullptr && loaded_) {
        log->pictures.push_back({entryName(), header_.x(), header_.y(), drawnFrame()});
    }
    drawTo(target.backBuffer());
}

void ImageResource::drawTo(const platform::Surface& frame)
{
    if (loaded_ && isFrame16(frame)) {
        runDrawRoutine(frame);
    }
}

void ImageResource::unload()
{
    if (!loaded_) {
        return;
    }
    if (archive_->unloadEntry(entryName())) {
        content_ = nullptr;
        clearPicture();
        loaded_ = false;
    }
}

ImageResource* ImageResource::hitTest(std::int32_t x, std::int32_t y)
{
    return loaded_ && runHitRoutine(x, y) ? this : nullptr;
}

void ImageResource::setPosition(std::int32_t x, std::int32_t y)
{
    if (loaded_) {
        header_.setX(x);
        header_.setY(y);
    }
}

void ImageResource::moveBy(std::int32_t dx, std::int32_t dy)
{
    offsetX_ = addWrapping(offsetX_, dx);
    offsetY_ = addWrapping(offsetY_, dy);
}

void ImageResource::load()
{
    if (loaded_ || !archive_) {
        return;
    }
    std::uint32_t tag = 0;
    std::uint32_t size = 0;
    const std::uint8_t* content = fetchContent(kImageHeaderOffset + kImageHeaderSize, tag, size);
    if (!content) {
        return;
    }
    // The archive allocates every entry's bytes writable; the header is shared on purpose,
    // so that a position set by one user is seen by all until the content is freed.
    ImageHeader header(const_cast<std::uint8_t*>(content) + kImageHeaderOffset);
    DrawRoutine draw = DrawRoutine::None;
    HitRoutine hit = HitRoutine::None;
    const std::uint8_t* palette = nullptr;
    const std::uint8_t* pixels = nullptr;
    std::int64_t needed = 0;
    const std::uint32_t contentTag = archive::readLe32(content);
    if (contentTag == archive::fileTag("gla0") || contentTag == archive::fileTag("fon0")) {
        const bool transparent = contentTag == archive::fileTag("gla0");
        draw = transparent ? DrawRoutine::Transparent : DrawRoutine::Opaque;
        hit = transparent ? HitRoutine::PixelExact : HitRoutine::Rectangle;
        palette = content + kPaletteOffset;
        pixels = content + kIndexedPixelsOffset;
        needed = kIndexedPixelsOffset + header.area();
    } else if (contentTag == archive::fileTag("fon6")) {
        draw = DrawRoutine::Direct;
        hit = HitRoutine::Rectangle;
        pixels = content + kDirectPixelsOffset;
        needed = kDirectPixelsOffset + 2 * header.area();
    }
    // Content shorter than its header declares would be read past its end: it stays unloaded.
    if (needed > size) {
        archive_->unloadEntry(entryName());
        return;
    }
    tag_ = tag;
    content_ = content;
    header_ = header;
    palette_ = palette;
    pixels_ = pixels;
    drawRoutine_ = draw;
    hitRoutine_ = hit;
    loaded_ = true;
}

PixelSource ImageResource::pixelSource() const
{
    PixelSource source;
    if (!loaded_ || !pixels_) {
        return source;
    }
    if (drawRoutine_ == DrawRoutine::Direct) {
        source.direct = true;
    } else if (drawRoutine_ == DrawRoutine::Opaque || drawRoutine_ == DrawRoutine::Transparent) {
        source.palette = palette_;
    } else {
        return source;
    }
    source.pixels = pixels_;
    source.width = header_.area() > 0 ? header_.width() : 0;
    source.height = header_.area() > 0 ? header_.height() : 0;
    return source;
}

void ImageResource::runDrawRoutine(const platform::Surface& frame)
{
    if (drawRoutine_ == DrawRoutine::None || !pixels_) {
        return;
    }
    const std::int64_t width = header_.width();
    const auto clip =
        clipToFrame(left(), top(), width, header_.height(), frame.width, frame.height);
    if (!clip) {
        return;
    }
    const std::int64_t columns = clip->columns();
    if (drawRoutine_ == DrawRoutine::Direct) {
        for (std::int64_t row = 0; row < clip->rows(); ++row) {
            const std::uint8_t* source =
                pixels_ + 2 * ((clip->skipRows + row) * width + clip->skipColumns);
            std::uint16_t* destination =
                frame.row16(static_cast<std::int32_t>(clip->top + row)) + clip->left;
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(destination, source, static_cast<std::size_t>(columns) * 2);
            } else {
                for (std::int64_t column = 0; column < columns; ++column) {
                    destination[column] = archive::readLe16(source + 2 * column);
                }
            }
        }
        return;
    }
    const bool transparent = drawRoutine_ == DrawRoutine::Transparent;
    for (std::int64_t row = 0; row < clip->rows(); ++row) {
        const std::uint8_t* source = pixels_ + (clip->skipRows + row) * width + clip->skipColumns;
        std::uint16_t* destination =
            frame.row16(static_cast<std::int32_t>(clip->top + row)) + clip->left;
        for (std::int64_t column = 0; column < columns; ++column) {
            const std::uint16_t colour = paletteColour(palette_, source[column]);
            if (colour != 0 || !transparent) {
                destination[column] = colour;
            }
        }
    }
}

bool ImageResource::runHitRoutine(std::int64_t x, std::int64_t y)
{
    if (hitRoutine_ != HitRoutine::Rectangle && hitRoutine_ != HitRoutine::PixelExact) {
        return false;
    }
    const std::int64_t column = x - left();
    const std::int64_t row = y - top();
    if (header_.area() == 0 || column < 0 || row < 0 || column >= header_.width() ||
        row >= header_.height()) {
        return false;
    }
    if (hitRoutine_ == HitRoutine::Rectangle) {
        return true;
    }
    return paletteColour(palette_, pixels_[row * header_.width() + column]) != 0;
}

std::uint32_t ImageResource::entrySize() const
{
    const archive::DirectoryRecord* record = archive_->findEntry(entryName());
    return record ? record->unpackedSize : 0;
}

const std::uint8_t* ImageResource::fetchContent(std::uint32_t minimumSize, std::uint32_t& tag,
                                                std::uint32_t& size)
{
    const std::uint8_t* content = archive_->loadEntry(entryName(), &tag);
    if (!content) {
        return nullptr;
    }
    size = entrySize();
    if (size < minimumSize) {
        archive_->unloadEntry(entryName());
        return nullptr;
    }
    return content;
}

ImageResource::Bounds ImageResource::bounds() const
{
    if (!loaded_ || header_.area() == 0) {
        return {};
    }
    // Held to 16 bits, as window coordinates are, so sums of them cannot overflow.
    const auto held = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -0x8000, 0x7FFF));
    };
    return {held(left()), held(top()), held(header_.width()), held(header_.height())};
}

std::int64_t ImageResource::left() const
{
    return std::int64_t{header_.x()} + header_.dx() + offsetX_;
}

std::int64_t ImageResource::top() const
{
    return std::int64_t{header_.y()} + header_.dy() + offsetY_;
}

void ImageResource::clearPicture()
{
    header_ = ImageHeader();
    palette_ = nullptr;
    pixels_ = nullptr;
    drawRoutine_ = DrawRoutine::None;
    hitRoutine_ = HitRoutine::None;
}

}  // namespace wordlark::graphics
