// RecordingImage.h -- a picture stand-in that remembers its frame and where it was drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "archive/FileHandleCache.h"
#include "archive/FourCC.h"
#include "graphics/ImageResource.h"
#include "support/TestArchive.h"

namespace wordlark::panels::test {

struct DrawCall {
    std::int32_t frame;
    std::int32_t x;
    std::int32_t y;
    bool operator==(const DrawCall&) const = default;
};

// Frames are selected with "Faze" (clamped to the count, as an animation does) and reported
// by "GetN"; every drawAt is recorded with the frame shown.
class RecordingImage : public graphics::ImageResource {
public:
    RecordingImage(archive::Archive& archive, std::int32_t frameCount)
        : ImageResource("fake", archive), frameCount_(frameCount)
    {
    }

    std::int32_t command(std::uint32_t code, std::int32_t value) override
    {
        if (code == archive::commandCode("Faze")) {
            frame_ = value < 0 ? 0 : (value >= frameCount_ ? frameCount_ - 1 : value);
        } else if (code == archive::commandCode("GetN")) {
            return frameCount_;
        }
        return 0;
    }
    void drawAt(std::int32_t x, std::int32_t y) override { draws.push_back({frame_, x, y}); }

    std::vector<DrawCall> draws;

private:
    std::int32_t frameCount_;
    std::int32_t frame_ = 0;
};

// An archive the stand-ins can name as theirs.
class RecordingArchive {
public:
    RecordingArchive()
    {
        wordlark::test::writeArchive(dir_, "fake.heap",
                                     {{"fake", "gla0", wordlark::test::bytesOf("x")}});
        archive_ = archive::Archive::open(dir_.file("fake.heap"), files_);
    }
    archive::Archive& archive() { return *archive_; }

private:
    wordlark::test::TempDir dir_;
    archive::FileHandleCache files_;
    std::unique_ptr<archive::Archive> archive_;
};

}  // namespace wordlark::panels::test
