#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "PictureFixture.h"
#include "archive/FourCC.h"
#include "graphics/AnimationResource.h"
#include "graphics/BitmapResource.h"
#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "platform/Surface.h"
#include "platform/headless/HeadlessShots.h"
#include "platform/headless/HeadlessVideo.h"
#include "platform/png/PngImage.h"
#include "support/TestBackends.h"

// Composes one scene of every kind of picture and both text modes, and compares the frame with
// the expected images in tests/data/golden. WORDLARK_UPDATE_GOLDEN=1 rewrites those images; on
// a mismatch the frame is written to the current folder as golden-actual-NAME.png.

namespace wordlark::graphics {
namespace {

using archive::commandCode;
using heaptool::AnimationWriter;
using heaptool::PictureBuilder;
using heaptool::PicturePlacement;
using platform::PngImage;
using platform::rgbTo565;

constexpr int kTileWidth = 40;
constexpr int kTileHeight = 42;

// A letter tile: transparent corners, a dark bevel, a pale face, a black bar that must show
// in "fon0" and vanish in "gla0" (palette colour 0x0000), and the given ink colour as a stripe.
std::vector<std::uint8_t> tileIndices()
{
    std::vector<std::uint8_t> indices(kTileWidth * kTileHeight);
    for (int y = 0; y < kTileHeight; ++y) {
        for (int x = 0; x < kTileWidth; ++x) {
            std::uint8_t index = 2;
            const bool corner = (x < 3 || x >= kTileWidth - 3) && (y < 3 || y >= kTileHeight - 3);
            if (corner) {
                index = 0;
            } else if (x < 3 || y < 3 || x >= kTileWidth - 3 || y >= kTileHeight - 3) {
                index = 1;
            } else if (y >= 18 && y < 24 && x >= 8 && x < 32) {
                index = 0;
            } else if (x >= 17 && x < 23 && y >= 8 && y < 34) {
                index = 3;
            }
            indices[static_cast<std::size_t>(y * kTileWidth + x)] = index;
        }
    }
    return indices;
}

std::vector<std::uint16_t> tilePalette(std::uint16_t ink)
{
    std::vector<std::uint16_t> palette(256, 0x0000);
    palette[1] = rgbTo565(90, 60, 30);
    palette[2] = rgbTo565(235, 210, 160);
    palette[3] = ink;
    return palette;
}

class GoldenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display().close();
        wordlark::test::headlessVideo().reset();
    }
    void TearDown() override
    {
        display().close();
        wordlark::test::headlessVideo().reset();
    }

    void buildArchive()
    {
        // An indigo background with a faint diagonal texture, as a full-frame "fon6".
        std::vector<std::uint16_t> back(640 * 480);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const int texture = ((x + y) % 9 == 0) ? 24 : 0;
                back[static_cast<std::size_t>(y * 640 + x)] =
                    rgbTo565(static_cast<std::uint8_t>(40 + texture + x / 16),
                             static_cast<std::uint8_t>(30 + y / 12),
                             static_cast<std::uint8_t>(110 + texture));
            }
        }
        pictures_.add("back", "fon6", PictureBuilder::direct({0, 0, 0, 0}, 640, 480, back),
                      heaptool::Storage::Automatic);
        const auto indices = tileIndices();
        pictures_.add("tile", "gla0",
                      PictureBuilder::palettised("gla0", {30, 40, 0, 0}, kTileWidth, kTileHeight,
                                                 tilePalette(rgbTo565(0, 150, 140)), indices));
        pictures_.add("card", "fon0",
                      PictureBuilder::palettised("fon0", {520, 300, 0, 0}, kTileWidth, kTileHeight,
                                                 tilePalette(rgbTo565(240, 110, 90)), indices));
        // Three frames of a button whose ink changes from frame to frame.
        AnimationWriter button(pictures_.writer());
        for (const std::uint16_t ink :
             {rgbTo565(255, 255, 0), rgbTo565(255, 128, 0), rgbTo565(128, 128, 128)}) {
            button.addFrame(PictureBuilder::palettised("gla0", {300, 400, 0, 0}, kTileWidth,
                                                       kTileHeight, tilePalette(ink), indices));
        }
        button.finish("button");
        // A disc cut from the background, to hide whatever was drawn over it.
        std::vector<std::uint8_t> disc(60 * 60);
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 60; ++x) {
                disc[static_cast<std::size_t>(y * 60 + x)] =
                    (x - 30) * (x - 30) + (y - 30) * (y - 30) < 28 * 28;
            }
        }
        pictures_.add("disc", "bit6",
                      PictureBuilder::mask("bit6", {100, 120, 0, 0}, 60, 60, disc, "back"));
        pictures_.open();
    }

    void composeScene()
    {
        auto* back = pictures_.make<ImageResource>("back");
        auto* tile = pictures_.make<ImageResource>("tile");
        auto* card = pictures_.make<ImageResource>("card");
        auto* button = pictures_.make<AnimationResource>("button");
        auto* disc = pictures_.make<BitmapResource>("disc");
        ASSERT_TRUE(back && tile && card && button && disc);
        for (ImageResource* picture :
             std::initializer_list<ImageResource*>{back, tile, card, button}) {
            picture->load();
            ASSERT_TRUE(picture->isLoaded());
        }
        disc->load();
        ASSERT_TRUE(disc->isLoaded());
        back->draw();
        // A row of tiles and one cut by each edge of the frame.
        for (int i = 0; i < 12; ++i) {
            tile->drawAt(16 + 42 * i, 120);
        }
        tile->drawAt(-20, 200);
        tile->drawAt(620, 260);
        tile->drawAt(300, -25);
        tile->drawAt(400, 460);
        card->draw();
        button->command(commandCode("Faze"), 1);
        button->draw();
        // The disc restores the background over two of the tiles.
        disc->draw();

        Display& d = display();
        d.setTextColor(0x000000);
        d.setBackColor(0xFFFFFF);
        d.setBackMode(kBackTransparent);
        d.setFontParameter(0, 16);
        d.setFontParameter(1, 6);
        d.drawText(20, 20, "Wordlark: transparent text");
        d.setBackMode(kBackOpaque);
        d.drawText(20, 44, "Opaque text \xC9t\xE9");
        d.drawTextBox(520, 59, 40, 26, "7", kTextCenter);
        d.setBackMode(kBackTransparent);
        d.setTextColor(0x00FFFF);
        d.drawTextBox(200, 330, 90, 19, "clipped to the box", kTextCenter);
        d.invertRect(16, 162, 126, 20);
    }

    test::PictureArchive pictures_;
};

PngImage imageOf(const platform::Surface& frame)
{
    PngImage image(frame.width, frame.height);
    for (std::int32_t y = 0; y < frame.height; ++y) {
        for (std::int32_t x = 0; x < frame.width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            platform::rgb565ToRgb(frame.row16(y)[x], p[0], p[1], p[2]);
            p[3] = 0xFF;
        }
    }
    return image;
}

// Compares in RGB565 terms; false with the count of differing pixels in *differences.
void expectGolden(const std::string& name, const PngImage& actual)
{
    const std::string expectedPath = std::string(WORDLARK_TEST_DATA) + "/golden/" + name + ".png";
    const char* update = std::getenv("WORDLARK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::string error;
        ASSERT_TRUE(platform::writePng(expectedPath, actual, &error)) << error;
        return;
    }
    PngImage expected;
    std::string error;
    bool same = platform::readPng(expectedPath, expected, &error);
    long differences = 0;
    if (same) {
        same = expected.width == actual.width && expected.height == actual.height;
    }
    if (same) {
        for (std::int32_t y = 0; y < actual.height; ++y) {
            for (std::int32_t x = 0; x < actual.width; ++x) {
                const std::uint8_t* a = actual.pixel(x, y);
                const std::uint8_t* e = expected.pixel(x, y);
                differences += rgbTo565(a[0], a[1], a[2]) != rgbTo565(e[0], e[1], e[2]);
            }
        }
        same = differences == 0;
    }
    if (!same) {
        const std::string actualPath =
            (std::filesystem::current_path() / ("golden-actual-" + name + ".png")).string();
        platform::writePng(actualPath, actual);
        ADD_FAILURE() << name << ": " << (error.empty() ? "" : error + "; ") << differences
                      << " pixels differ; the frame is in " << actualPath
                      << " (WORDLARK_UPDATE_GOLDEN=1 rewrites the expected image)";
    }
}

TEST_F(GoldenTest, ComposedSceneOnADirectDesktop)
{
    ASSERT_TRUE(display().open(1));
    buildArchive();
    composeScene();
    ASSERT_TRUE(display().present());
    // What the window shows is the frame as composed.
    const PngImage frame = imageOf(display().backBuffer());
    EXPECT_EQ(platform::headless::frameImage(wordlark::test::headlessVideo().lastPresented()).rgba,
              frame.rgba);
    expectGolden("scene", frame);
}

TEST_F(GoldenTest, ComposedSceneThroughTheEightBitPalette)
{
    wordlark::test::headlessVideo().setDesktop(8);
    ASSERT_TRUE(display().open(1));
    buildArchive();
    composeScene();
    ASSERT_TRUE(display().present());
    expectGolden("scene-8bit",
                 platform::headless::frameImage(wordlark::test::headlessVideo().lastPresented()));
}

}  // namespace
}  // namespace wordlark::graphics
