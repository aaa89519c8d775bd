// PictureFixture.h -- small picture archives and a private frame for the picture tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"
#include "graphics/PictureClasses.h"
#include "heaptool/ArchiveWriter.h"
#include "heaptool/PictureBuilder.h"
#include "platform/Surface.h"
#include "support/TempDir.h"

namespace wordlark::graphics::test {

inline constexpr std::uint16_t kBackground = 0x5AAA;
inline constexpr std::uint16_t kPadding = 0xBEEF;

// A 640 x 480 RGB565 frame whose rows are longer than its width, so that a routine that
// steps by the width instead of the pitch shows up; the padding must never be written.
class TestFrame {
public:
    static constexpr std::int32_t kWidth = 640;
    static constexpr std::int32_t kHeight = 480;
    static constexpr std::int32_t kRowPixels = 656;

    TestFrame() : storage_(static_cast<std::size_t>(kRowPixels) * kHeight, kPadding)
    {
        record_.pixels = reinterpret_cast<std::uint8_t*>(storage_.data());
        record_.width = kWidth;
        record_.height = kHeight;
        record_.pitch = kRowPixels * 2;
        record_.bitsPerPixel = 16;
        clear();
    }

    void clear()
    {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::int32_t x = 0; x < kWidth; ++x) {
                storage_[static_cast<std::size_t>(y * kRowPixels + x)] = kBackground;
            }
        }
    }
    const platform::Surface& record() const { return record_; }
    std::uint16_t at(std::int32_t x, std::int32_t y) const
    {
        return storage_[static_cast<std::size_t>(y * kRowPixels + x)];
    }
    bool paddingIntact() const
    {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::int32_t x = kWidth; x < kRowPixels; ++x) {
                if (at(x, y) != kPadding) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    std::vector<std::uint16_t> storage_;
    platform::Surface record_;
};

// Entries are added through the archive writer; open() writes the file and opens it through
// a registry with the picture classes installed.
class PictureArchive {
public:
    PictureArchive() { registerPictureClasses(); }

    heaptool::ArchiveWriter& writer() { return writer_; }
    void add(std::string_view name, std::string_view tag, std::vector<std::uint8_t> content,
             heaptool::Storage storage = heaptool::Storage::Plain)
    {
        writer_.addEntry(name, tag, std::move(content), storage);
    }

    archive::Archive& open()
    {
        dir_.write("pics.heap", writer_.build("pics.heap"));
        registry_ = std::make_unique<archive::ArchiveRegistry>(dir_.folder());
        archive_ = registry_->openArchive("pics.heap");
        return *archive_;
    }
    archive::Archive& archive() { return *archive_; }

    template <typename Picture>
    Picture* make(std::string_view name)
    {
        return dynamic_cast<Picture*>(archive_->makeObject(name));
    }

private:
    wordlark::test::TempDir dir_;
    heaptool::ArchiveWriter writer_;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    archive::Archive* archive_ = nullptr;
};

// A palette whose every index has its own non-zero colour, except those listed as black.
inline std::vector<std::uint16_t> distinctPalette(std::vector<int> blackIndices = {})
{
    std::vector<std::uint16_t> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x1000 + 3 * i);
    }
    for (int i : blackIndices) {
        palette[static_cast<std::size_t>(i)] = 0x0000;
    }
    return palette;
}

// Indices numbering the pixels row by row (modulo 256).
inline std::vector<std::uint8_t> countingIndices(int width, int height)
{
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < indices.size(); ++i) {
        indices[i] = static_cast<std::uint8_t>(i);
    }
    return indices;
}

}  // namespace wordlark::graphics::test
