#include "graphics/BitmapResource.h"

#include <cstring>

#include "archive/Archive.h"
#include "archive/Endian.h"
#include "archive/FourCC.h"
#include "graphics/FrameClip.h"

namespace wordlark::graphics {

BitmapResource::BitmapResource(std::string_view entryName, archive::Archive& archive)
    : ImageResource(entryName, archive)
{
}

BitmapResource::~BitmapResource()
{
    // The source lives in the same archive. At shut-down it may already be gone; the
    // archive then no longer knows the address and ignores it.
    if (source_) {
        archive_->releaseMadeObject(source_);
    }
}

void BitmapResource::unload()
{
    if (!loaded_) {
        return;
    }
    ImageResource::unload();
    if (!loaded_) {
        maskBits_ = nullptr;
        maskStride_ = 0;
    }
}

void BitmapResource::setPosition(std::int32_t x, std::int32_t y)
{
    shiftX_ = x;
    shiftY_ = y;
}

void BitmapResource::moveBy(std::int32_t dx, std::int32_t dy)
{
    shiftX_ = addWrapping(shiftX_, dx);
    shiftY_ = addWrapping(shiftY_, dy);
}

void BitmapResource::load()
{
    if (loaded_ || !archive_) {
        return;
    }
    std::uint32_t tag = 0;
    std::uint32_t size = 0;
    const std::uint8_t* content = fetchContent(kMaskOffset, tag, size);
    if (!content) {
        return;
    }
    ImageHeader header(const_cast<std::uint8_t*>(content) + kImageHeaderOffset);
    const auto stride = static_cast<std::int32_t>(archive::readLe32(content + kStrideOffset));
    // Mask rows the header declares but the content does not hold would be read past its end.
    const std::int64_t rows = header.height() > 0 ? header.height() : 0;
    if (stride < 0 || kMaskOffset + rows * stride > size) {
        archive_->unloadEntry(entryName());
        return;
    }
    if (!source_) {
        const char* name = reinterpret_cast<const char*>(content + kSourceNameOffset);
        archive::ArchiveObject* object =
            archive_->makeObject(std::string_view(name, ::strnlen(name, archive::kNameField)));
        source_ = dynamic_cast<ImageResource*>(object);
        if (object && !source_) {
            archive_->releaseMadeObject(object);
        }
    }
    // Without a loaded source there is nothing to cut from: give the content back and let a
    // later load try again.
    if (!source_ || !source_->isLoaded()) {
        archive_->unloadEntry(entryName());
        return;
    }
    const std::uint32_t contentTag = archive::readLe32(content);
    if (contentTag == archive::fileTag("bitm")) {
        drawRoutine_ = DrawRoutine::MaskedIndexed;
    } else if (contentTag == archive::fileTag("bit6")) {
        drawRoutine_ = DrawRoutine::MaskedDirect;
    } else {
        drawRoutine_ = DrawRoutine::None;
    }
    hitRoutine_ = HitRoutine::Mask;
    tag_ = tag;
    content_ = content;
    header_ = header;
    maskStride_ = stride;
    maskBits_ = content + kMaskOffset;
    loaded_ = true;
}

bool BitmapResource::inShape(std::int64_t row, std::int64_t column) const
{
    const std::int64_t byte = column >> 3;
    if (byte >= maskStride_) {
        return false;
    }
    const std::uint8_t bits = maskBits_[row * maskStride_ + byte];
    return (bits & (0x80u >> (column & 7))) == 0;
}

void BitmapResource::runDrawRoutine(const platform::Surface& frame)
{
    if (drawRoutine_ != DrawRoutine::MaskedIndexed && drawRoutine_ != DrawRoutine::MaskedDirect) {
        return;
    }
    // The source must still be loaded and of the kind the mask expects; its current pixels
    // are taken at every drawing (an animation's change with its frame).
    if (!source_ || !source_->isLoaded()) {
        return;
    }
    const PixelSource source = source_->pixelSource();
    const bool direct = drawRoutine_ == DrawRoutine::MaskedDirect;
    if (!source.pixels || source.direct != direct || (!direct && !source.palette)) {
        return;
    }
    const std::int64_t left = header_.x() + std::int64_t{header_.dx()};
    const std::int64_t top = header_.y() + std::int64_t{header_.dy()};
    const auto clip =
        clipToFrame(left, top, header_.width(), header_.height(), frame.width, frame.height);
    if (!clip) {
        return;
    }
    // Rows and columns outside the source, or whose shifted place is outside the frame, are
    // skipped: only the overlap of all three is visited.
    const std::int64_t firstRow = std::max(clip->top, -std::int64_t{shiftY_});
    const std::int64_t lastRow = std::min(
        {clip->bottom, std::int64_t{source.height} - 1, frame.height - 1 - std::int64_t{shiftY_}});
    const std::int64_t firstColumn = std::max(clip->left, -std::int64_t{shiftX_});
    const std::int64_t lastColumn = std::min(
        {clip->right, std::int64_t{source.width} - 1, frame.width - 1 - std::int64_t{shiftX_}});
    for (std::int64_t y = firstRow; y <= lastRow; ++y) {
        const std::int64_t maskRow = y - top;
        std::uint16_t* destination = frame.row16(static_cast<std::int32_t>(y + shiftY_)) + shiftX_;
        const std::int64_t sourceRow = y * source.width;
        for (std::int64_t x = firstColumn; x <= lastColumn; ++x) {
            if (!inShape(maskRow, x - left)) {
                continue;
            }
            const std::int64_t index = sourceRow + x;
            destination[x] = direct ? archive::readLe16(source.pixels + 2 * index)
                                    : archive::readLe16(source.palette + 2 * source.pixels[index]);
        }
    }
}

bool BitmapResource::runHitRoutine(std::int64_t x, std::int64_t y)
{
    if (hitRoutine_ != HitRoutine::Mask || header_.area() == 0) {
        return false;
    }
    const std::int64_t column = x - (header_.x() + std::int64_t{header_.dx()});
    const std::int64_t row = y - (header_.y() + std::int64_t{header_.dy()});
    if (column < 0 || row < 0 || column >= header_.width() || row >= header_.height()) {
        return false;
    }
    return inShape(row, column);
}

}  // namespace wordlark::graphics
