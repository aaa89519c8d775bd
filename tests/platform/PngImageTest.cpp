#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Surface.h"
#include "platform/headless/HeadlessShots.h"
#include "platform/headless/HeadlessVideo.h"
#include "platform/png/PngImage.h"
#include "support/TempDir.h"

namespace wordlark::platform {
namespace {

PngImage gradient(std::int32_t width, std::int32_t height)
{
    PngImage image(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 7);
            p[1] = static_cast<std::uint8_t>(y * 11);
            p[2] = static_cast<std::uint8_t>(x ^ y);
            p[3] = static_cast<std::uint8_t>((x + y) % 3 == 0 ? 0 : 255 - x);
        }
    }
    return image;
}

TEST(PngImage, WritesAndReadsRgbaExactly)
{
    test::TempDir dir;
    const PngImage original = gradient(37, 5);
    std::string error;
    ASSERT_TRUE(writePng(dir.file("a.png"), original, &error)) << error;
    PngImage back;
    ASSERT_TRUE(readPng(dir.file("a.png"), back, &error)) << error;
    EXPECT_EQ(back.width, 37);
    EXPECT_EQ(back.height, 5);
    EXPECT_EQ(back.rgba, original.rgba);

    const std::vector<std::uint8_t> bytes = dir.read("a.png");
    PngImage fromMemory;
    ASSERT_TRUE(readPngMemory(bytes.data(), bytes.size(), fromMemory, &error)) << error;
    EXPECT_EQ(fromMemory.rgba, original.rgba);

    EXPECT_FALSE(writePng(dir.file("empty.png"), PngImage(), &error));
    EXPECT_FALSE(writePng(dir.file("missing/dir.png"), original, &error));
    EXPECT_NE(error.find("missing/dir.png"), std::string::npos);
}

TEST(PngImage, RefusesDamagedFilesWithAReason)
{
    test::TempDir dir;
    ASSERT_TRUE(writePng(dir.file("a.png"), gradient(64, 64)));
    const std::vector<std::uint8_t> bytes = dir.read("a.png");
    PngImage image;
    std::string error;

    // Cut anywhere, or with flipped bytes after the signature: a reason, never a crash.
    for (std::size_t cut = 0; cut < bytes.size(); cut += 7) {
        const std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        EXPECT_FALSE(readPngMemory(part.data(), part.size(), image, &error)) << cut;
        EXPECT_FALSE(error.empty());
    }
    for (std::size_t at = 8; at < bytes.size(); at += 13) {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[at] ^= 0x5A;
        readPngMemory(damaged.data(), damaged.size(), image, &error);
    }
    // A header claiming a huge image is refused before anything that size is allocated.
    std::vector<std::uint8_t> huge = bytes;
    huge[16] = 0x7F;  // width, big-endian, in the IHDR chunk
    EXPECT_FALSE(readPngMemory(huge.data(), huge.size(), image, &error));

    EXPECT_FALSE(readPng(dir.file("none.png"), image, &error));
    dir.writeText("text.png", "not a picture at all");
    EXPECT_FALSE(readPng(dir.file("text.png"), image, &error));
    EXPECT_NE(error.find("text.png"), std::string::npos);
}

TEST(PngImage, ConvertsRgb565BothWays)
{
    std::uint8_t r = 0, g = 0, b = 0;
    rgb565ToRgb(0x07E0, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 0);
    // Expanding then reducing gives every value back.
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        rgb565ToRgb(static_cast<std::uint16_t>(c), r, g, b);
        ASSERT_EQ(rgbTo565(r, g, b), c);
    }
}

TEST(HeadlessVideo, CapturesTheLastPresentedFrame)
{
    headless::HeadlessVideo video;
    Surface surface;
    EXPECT_FALSE(video.createSurface(4, 2, 16, 8, surface));  // not connected
    ASSERT_TRUE(video.connect(5));
    ASSERT_TRUE(video.createSurface(3, 2, 16, 0, surface));
    EXPECT_EQ(surface.pitch, 8);  // rows on 4-byte boundaries
    auto* row1 = reinterpret_cast<std::uint16_t*>(surface.pixels + surface.pitch);
    row1[2] = 0xF800;

    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(headless::writeShot(video, dir.file("none.png"), &error));
    video.present(surface);  // no window target: nothing shown
    EXPECT_EQ(video.presentCount(), 0u);
    DesktopMode mode;
    ASSERT_TRUE(video.acquireWindowTarget(mode));
    video.present(surface);
    row1[2] = 0x001F;  // later drawing does not change what was shown
    ASSERT_TRUE(headless::writeShot(video, dir.file("shot.png"), &error)) << error;
    PngImage shot;
    ASSERT_TRUE(readPng(dir.file("shot.png"), shot));
    ASSERT_EQ(shot.width, 3);
    ASSERT_EQ(shot.height, 2);
    EXPECT_EQ(shot.pixel(2, 1)[0], 255);
    EXPECT_EQ(shot.pixel(2, 1)[2], 0);
    EXPECT_EQ(shot.pixel(0, 0)[0], 0);
    EXPECT_EQ(shot.pixel(0, 0)[3], 255);

    // An indexed frame is captured through the palette selected when it was shown.
    Surface indexed;
    ASSERT_TRUE(video.createSurface(2, 1, 8, 0, indexed));
    PaletteColors colors{};
    colors[9] = PaletteColor{10, 20, 30, 0};
    video.selectPalette(video.createPalette(colors));
    indexed.pixels[1] = 9;
    video.present(indexed);
    colors[9] = PaletteColor{};
    const PngImage frame = headless::frameImage(video.lastPresented());
    EXPECT_EQ(frame.pixel(1, 0)[0], 10);
    EXPECT_EQ(frame.pixel(1, 0)[1], 20);
    EXPECT_EQ(frame.pixel(1, 0)[2], 30);
    video.releaseSurface(surface);
    video.releaseSurface(indexed);
    EXPECT_EQ(video.liveSurfaces(), 0u);
}

TEST(HeadlessVideo, ACaptureReplacesALinkAtItsNameNotWhatItPointsTo)
{
    headless::HeadlessVideo video;
    Surface surface;
    ASSERT_TRUE(video.connect(5));
    ASSERT_TRUE(video.createSurface(2, 2, 16, 0, surface));
    DesktopMode mode;
    ASSERT_TRUE(video.acquireWindowTarget(mode));
    video.present(surface);

    test::TempDir dir;
    dir.writeText("precious.txt", "keep");
    std::filesystem::create_symlink("precious.txt", dir.file("shot.png"));
    std::string error;
    ASSERT_TRUE(headless::writeShot(video, dir.file("shot.png"), &error)) << error;
    const std::vector<std::uint8_t> kept = dir.read("precious.txt");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(dir.file("shot.png")));
    PngImage shot;
    EXPECT_TRUE(readPng(dir.file("shot.png"), shot));
    // Nothing of the write is left beside it, nor after one that fails.
    std::filesystem::create_directory(dir.file("taken.png"));
    EXPECT_FALSE(headless::writeShot(video, dir.file("taken.png"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.folder()),
                            std::filesystem::directory_iterator()),
              3);
    video.releaseSurface(surface);
}

}  // namespace
}  // namespace wordlark::platform
