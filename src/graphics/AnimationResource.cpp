#include "graphics/AnimationResource.h"

#include <algorithm>
#include <limits>
#include <new>

#include "archive/Archive.h"
#include "archive/Endian.h"
#include "archive/FourCC.h"

namespace wordlark::graphics {

namespace {

constexpr std::uint32_t kCountOffset = 8;
constexpr std::uint32_t kTableOffset = 12;
constexpr std::uint32_t kFrameRecordSize = 12;

std::int32_t negated(std::int32_t value)
{
    return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(value));
}

}  // namespace

AnimationResource::AnimationResource(std::string_view entryName, archive::Archive& archive)
    : ImageResource(entryName, archive)
{
    if (const archive::DirectoryRecord* record = archive.findEntry(this->entryName())) {
        // Unsigned, as the table's size is read: a record shorter than the table's start
        // gives a large count, which the content's own count replaces on loading.
        frameCount_ =
            static_cast<std::int32_t>((record->unpackedSize - kTableOffset) / kFrameRecordSize);
    }
}

AnimationResource::~AnimationResource() = default;

std::int32_t AnimationResource::command(std::uint32_t code, std::int32_t value)
{
    switch (code) {
        case archive::commandCode("Faze"):
            setFrame(value == -1 ? frameCount_ - 1 : value);
            return 0;
        case archive::commandCode("FGet"):
            return currentFrame_ == frameCount_ - 1 ? -1 : currentFrame_;
        case archive::commandCode("GetN"):
            return frameCount_;
        case archive::commandCode("Next"):
            advance();
            return 0;
        case archive::commandCode("Step"):
            step_ = value;
            return 0;
        case archive::commandCode("Cicl"):
            cycleMode_ = value;
            return 0;
        default:
            return ImageResource::command(code, value);
    }
}

void AnimationResource::unload()
{
    freeFrames();
    // The table is given back whenever it is held, also when no frame could be read.
    if (content_) {
        archive_->unloadEntry(entryName());
    }
    content_ = nullptr;
    clearPicture();
    loaded_ = false;
}

void AnimationResource::load()
{
    if (loaded_ || !prepareFrames()) {
        return;
    }
    currentFrame_ = clampIndex(currentFrame_);
    if (!loadFrame(currentFrame_)) {
        return;
    }
    drawRoutine_ = DrawRoutine::Transparent;
    hitRoutine_ = HitRoutine::PixelExact;
    showFrame((*frames_)[static_cast<std::size_t>(currentFrame_)]);
    tag_ = archive::fileTag("ani0");
    loaded_ = true;
}

bool AnimationResource::prepareFrames()
{
    if (frames_) {
        return true;
    }
    if (!archive_) {
        return false;
    }
    std::uint32_t tag = 0;
    std::uint32_t size = 0;
    const std::uint8_t* content = fetchContent(kTableOffset, tag, size);
    if (!content) {
        return false;
    }
    const auto count = static_cast<std::int32_t>(archive::readLe32(content + kCountOffset));
    if (count <= 0) {
        archive_->unloadEntry(entryName());
        return false;
    }
    const std::uint32_t held = (size - kTableOffset) / kFrameRecordSize;
    const std::uint32_t slots = std::min(static_cast<std::uint32_t>(count), held);
    // Slot buffers are allocated when a frame is first read, so that a table naming many
    // large frames costs nothing until they are shown.
    auto frames =
        std::unique_ptr<std::vector<FrameSlot>>(new (std::nothrow) std::vector<FrameSlot>());
    if (!frames) {
        archive_->unloadEntry(entryName());
        return false;
    }
    frames->resize(slots);
    for (std::uint32_t i = 0; i < slots; ++i) {
        const std::uint8_t* record = content + kTableOffset + i * kFrameRecordSize;
        FrameSlot& slot = (*frames)[i];
        slot.offset = archive::readLe32(record);
        slot.size = archive::readLe32(record + 4);
        slot.storedSize = archive::readLe32(record + 8);
    }
    frameCount_ = count;
    content_ = content;
    frames_ = std::move(frames);
    return true;
}

bool AnimationResource::loadFrame(std::int32_t index)
{
    if (!prepareFrames()) {
        return false;
    }
    const auto i = static_cast<std::size_t>(clampIndex(index));
    if (i >= frames_->size()) {
        return false;
    }
    FrameSlot& slot = (*frames_)[i];
    if (slot.loaded) {
        return true;
    }
    // A frame too small for a palettised picture, or larger than any entry may be, is as
    // unreadable as one whose bytes are missing.
    if (slot.size < kIndexedPixelsOffset || slot.size > archive::kMaxUnpackedSize) {
        return false;
    }
    if (!slot.data) {
        slot.data.reset(new (std::nothrow) std::uint8_t[slot.size]);
        if (!slot.data) {
            return false;
        }
    }
    if (archive_->readEntry(slot.offset, slot.data.get(), slot.size, slot.storedSize) !=
        slot.size) {
        return false;
    }
    const ImageHeader header(slot.data.get() + kImageHeaderOffset);
    if (kIndexedPixelsOffset + header.area() > slot.size) {
        return false;
    }
    slot.loaded = true;
    return true;
}

void AnimationResource::setFrame(std::int32_t index)
{
    if (index == currentFrame_) {
        return;
    }
    currentFrame_ = clampIndex(index);
    if (loaded_ && loadFrame(currentFrame_)) {
        showFrame((*frames_)[static_cast<std::size_t>(currentFrame_)]);
    }
}

void AnimationResource::advance()
{
    const std::int64_t count = frameCount_;
    std::int64_t next = std::int64_t{currentFrame_} + step_;
    switch (cycleMode_) {
        case kCycleStop:
            next = std::clamp<std::int64_t>(next, 0, std::max<std::int64_t>(count - 1, 0));
            break;
        case kCycleWrap:
            if (next >= count) {
                next -= count;
            }
            if (next < 0) {
                next += count;
            }
            break;
        case kCycleBounce:
            if (next >= count) {
                next = 2 * count - next;
                step_ = negated(step_);
            }
            if (next < 0) {
                step_ = negated(step_);
                next = -next;
            }
            break;
        default:
            break;
    }
    setFrame(static_cast<std::int32_t>(std::clamp<std::int64_t>(
        next, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())));
}

bool AnimationResource::frameLoaded(std::int32_t index) const
{
    return frames_ && index >= 0 && static_cast<std::size_t>(index) < frames_->size() &&
           (*frames_)[static_cast<std::size_t>(index)].loaded;
}

std::int32_t AnimationResource::clampIndex(std::int64_t index) const
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(index, 0, std::max<std::int32_t>(frameCount_ - 1, 0)));
}

void AnimationResource::showFrame(const FrameSlot& slot)
{
    header_ = ImageHeader(slot.data.get() + kImageHeaderOffset);
    palette_ = slot.data.get() + kPaletteOffset;
    pixels_ = slot.data.get() + kIndexedPixelsOffset;
}

void AnimationResource::freeFrames()
{
    frames_.reset();
}

}  // namespace wordlark::graphics
