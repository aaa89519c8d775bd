// fuzz_pictures.cpp -- loads arbitrary picture, animation and mask contents and draws them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "archive/Endian.h"
#include "archive/FourCC.h"
#include "fuzz/ScratchFolder.h"
#include "graphics/AnimationResource.h"
#include "graphics/BitmapResource.h"
#include "graphics/ImageResource.h"
#include "graphics/PictureClasses.h"
#include "heaptool/ArchiveWriter.h"

using namespace wordlark;
using fuzz::scratch;

namespace {

constexpr std::array<const char*, 7> kPictureTags = {"gla0", "fon0", "fon6", "fons",
                                                     "ani0", "bitm", "bit6"};
constexpr std::array<const char*, 4> kSourceTags = {"gla0", "fon0", "fon6", "ani0"};

// A frame with padding after each row, checked after every run: no routine may write it.
class Frame {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr int kRow = 648;

    Frame() : pixels_(static_cast<std::size_t>(kRow) * kHeight, 0xA5A5)
    {
        record_.pixels = reinterpret_cast<std::uint8_t*>(pixels_.data());
        record_.width = kWidth;
        record_.height = kHeight;
        record_.pitch = kRow * 2;
        record_.bitsPerPixel = 16;
    }
    const platform::Surface& record() const { return record_; }
    void checkPadding() const
    {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = kWidth; x < kRow; ++x) {
                if (pixels_[static_cast<std::size_t>(y * kRow + x)] != 0xA5A5) {
                    std::abort();
                }
            }
        }
    }

private:
    std::vector<std::uint16_t> pixels_;
    platform::Surface record_;
};

// Reads the input front to back; past the end everything is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::int32_t coordinate()
    {
        const auto low = byte();
        const auto high = byte();
        // Mostly near the frame, now and then anywhere.
        if (high == 0xFF) {
            return static_cast<std::int32_t>(0x80000000u + low * 0x01000000u);
        }
        return static_cast<std::int16_t>(low | high << 8) % 1024;
    }
    std::vector<std::uint8_t> block()
    {
        std::size_t length = byte() | std::size_t{byte()} << 8;
        length = std::min(length, size_ - std::min(at_, size_));
        std::vector<std::uint8_t> bytes(data_ + at_, data_ + at_ + length);
        at_ += length;
        return bytes;
    }
    bool done() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void exercise(graphics::ImageResource& picture, graphics::ImageResource& source, Input& input,
              const Frame& frame)
{
    auto* animation = dynamic_cast<graphics::AnimationResource*>(&picture);
    for (int op = 0; op < 64 && !input.done(); ++op) {
        const std::uint8_t code = input.byte();
        const std::int32_t x = input.coordinate();
        const std::int32_t y = input.coordinate();
        switch (code % 12) {
            case 0:
                picture.drawTo(frame.record());
                break;
            case 1:
                picture.setPosition(x, y);
                picture.drawTo(frame.record());
                break;
            case 2:
                picture.moveBy(x, y);
                break;
            case 3:
                picture.hitTest(x, y);
                break;
            case 4:
                picture.load();
                break;
            case 5:
                picture.unload();
                break;
            case 6:
                source.load();
                source.drawTo(frame.record());
                break;
            case 7:
                source.unload();
                break;
            case 8:
                picture.selectFrame(x);
                source.selectFrame(y);
                break;
            case 9:
                picture.command(archive::commandCode("Step"), x);
                picture.command(archive::commandCode("Cicl"), y % 4);
                picture.command(archive::commandCode("Next"), 0);
                break;
            case 10:
                if (animation) {
                    animation->loadFrame(x);
                }
                picture.selectedFrame();
                break;
            default:
                source.moveBy(x, y);
                source.hitTest(x, y);
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (scratch().folder().empty()) {
        return 0;
    }
    graphics::registerPictureClasses();
    Input input(data, size);
    const std::uint8_t kinds = input.byte();
    const char* pictureTag = kPictureTags[(kinds & 0x0F) % kPictureTags.size()];
    const char* sourceTag = kSourceTags[(kinds >> 4 & 3) % kSourceTags.size()];
    std::vector<std::uint8_t> picture = input.block();
    std::vector<std::uint8_t> source = input.block();
    std::vector<std::uint8_t> piece = input.block();
    // Random bytes rarely make a usable picture: on request, name the source properly (so
    // that masks get past their lookup) and make sizes small enough for the content to hold.
    const std::uint8_t repairs = input.byte();
    if ((repairs & 1) && picture.size() >= 52) {
        std::memset(picture.data() + 36, 0, 16);
        std::memcpy(picture.data() + 36, "src", 3);
    }
    for (auto* content : {&picture, &source}) {
        if ((repairs & 2) && content->size() >= 32) {
            content->data()[24] %= 40;
            content->data()[28] %= 40;
            std::memset(content->data() + 25, 0, 3);
            std::memset(content->data() + 29, 0, 3);
        }
    }
    // An animation table: a small count and records pointing into the piece.
    if ((repairs & 4) && picture.size() >= 24) {
        const auto count = static_cast<std::uint32_t>((picture.size() - 12) / 12);
        archive::writeLe32(picture.data() + 8, std::min<std::uint32_t>(count, 1 + repairs / 8));
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t* record = picture.data() + 12 + 12 * i;
            const std::uint32_t limit = static_cast<std::uint32_t>(piece.size()) + 1;
            archive::writeLe32(record, archive::readLe32(record) % limit);
            archive::writeLe32(record + 4, archive::readLe32(record + 4) % (2 * limit));
            if (!(kinds & 0x80)) {
                archive::writeLe32(record + 8, archive::readLe32(record + 4));
            }
        }
    }

    heaptool::ArchiveWriter writer;
    writer.setDirectoryStorage(heaptool::Storage::Plain);
    std::uint32_t stored = 0;
    writer.addPiece(piece, (kinds & 0x80) ? heaptool::Storage::Method1 : heaptool::Storage::Plain,
                    &stored);
    writer.addEntry("pic", pictureTag, picture, heaptool::Storage::Plain);
    writer.addEntry("src", sourceTag, source, heaptool::Storage::Plain);
    const std::vector<std::uint8_t> bytes = writer.build("f.heap");
    scratch().write("f.heap", bytes.data(), bytes.size());

    static const Frame frame;
    {
        archive::ArchiveRegistry registry(scratch().folder());
        archive::Archive* archive = registry.openArchive("f.heap");
        if (!archive) {
            return 0;
        }
        auto* sourceObject = dynamic_cast<graphics::ImageResource*>(archive->makeObject("src"));
        auto* pictureObject = dynamic_cast<graphics::ImageResource*>(archive->makeObject("pic"));
        if (!sourceObject || !pictureObject) {
            std::abort();
        }
        sourceObject->load();
        exercise(*pictureObject, *sourceObject, input, frame);
        archive->releaseMadeObject(pictureObject);
        archive->releaseMadeObject(sourceObject);
    }
    frame.checkPadding();
    return 0;
}
