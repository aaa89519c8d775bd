#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/Display.h"
#include "platform/Text.h"
#include "platform/freetype/FreeTypeText.h"
#include "platform/headless/HeadlessVideo.h"
#include "support/TempDir.h"
#include "support/TestBackends.h"

namespace wordlark::graphics {
namespace {

constexpr std::uint16_t kPaper = 0x8410;

// The bounding box of the pixels that differ from the paper colour; empty when none.
struct Ink {
    std::int32_t left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display().close();
        wordlark::test::headlessVideo().reset();
        ASSERT_TRUE(display().open(3));
        ASSERT_TRUE(platform::textRenderer().available());
        // What the screens set before drawing.
        display().setTextColor(0x000000);
        display().setBackColor(0xFFFFFF);
        display().setBackMode(kBackTransparent);
        display().setFontParameter(0, 16);
        display().setFontParameter(1, 6);
        paper();
    }
    void TearDown() override { display().close(); }

    static void paper()
    {
        const platform::Surface& frame = display().backBuffer();
        for (std::int32_t y = 0; y < frame.height; ++y) {
            std::fill(frame.row16(y), frame.row16(y) + frame.width, kPaper);
        }
    }
    static Ink ink(std::uint16_t background = kPaper)
    {
        const platform::Surface& frame = display().backBuffer();
        Ink box;
        for (std::int32_t y = 0; y < frame.height; ++y) {
            for (std::int32_t x = 0; x < frame.width; ++x) {
                if (frame.row16(y)[x] != background) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
            }
        }
        return box;
    }
    static std::vector<std::uint16_t> snapshot()
    {
        const platform::Surface& frame = display().backBuffer();
        std::vector<std::uint16_t> pixels;
        for (std::int32_t y = 0; y < frame.height; ++y) {
            pixels.insert(pixels.end(), frame.row16(y), frame.row16(y) + frame.width);
        }
        return pixels;
    }
    static platform::TextStyle screenStyle()
    {
        platform::TextStyle style;
        style.font = {16, 6, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0};
        style.faceName = display().faceName();
        return style;
    }
};

TEST_F(TextTest, ReadsHeightAndWidthAsTheCellAndAverageWidth)
{
    platform::TextRenderer& renderer = platform::textRenderer();
    EXPECT_NE(renderer.facePath().find("LiberationSerif"), std::string::npos)
        << renderer.facePath();
    platform::TextStyle style = screenStyle();
    const platform::TextMetrics metrics = renderer.metrics(style);
    EXPECT_EQ(metrics.ascent, 13);
    EXPECT_EQ(metrics.descent, 3);
    EXPECT_EQ(metrics.averageWidth, 6);

    // Width 6 is the face's own width at this height: asking for it changes nothing, asking
    // for twice as much stretches the text.
    const std::string sample = "the quick brown fox jumps";
    style.font.width = 0;
    const std::int32_t natural = renderer.lineWidth(style, sample);
    style.font.width = 6;
    EXPECT_EQ(renderer.lineWidth(style, sample), natural);
    style.font.width = 12;
    EXPECT_NEAR(renderer.lineWidth(style, sample), 2 * natural, sample.size());

    style.font.height = 32;
    style.font.width = 0;
    EXPECT_EQ(renderer.metrics(style).height(), 32);
}

TEST_F(TextTest, TransparentModeTouchesOnlyTheGlyphs)
{
    display().drawText(100, 100, "Wordlark");
    const Ink box = ink();
    ASSERT_FALSE(box.empty());
    const std::int32_t width = platform::textRenderer().lineWidth(screenStyle(), "Wordlark");
    EXPECT_GE(box.left, 99);
    EXPECT_GE(box.top, 100);
    EXPECT_LE(box.right, 100 + width + 1);
    EXPECT_LE(box.bottom, 116);
    // Capitals reach near the top of the cell, and the paper shows between the letters.
    EXPECT_LE(box.top, 103);
    const platform::Surface& frame = display().backBuffer();
    int paperInside = 0;
    int dark = 0;
    for (std::int32_t y = 100; y < 116; ++y) {
        for (std::int32_t x = 100; x < 100 + width; ++x) {
            paperInside += frame.row16(y)[x] == kPaper;
            dark += (frame.row16(y)[x] >> 11) < 8;  // well below the paper's red of 16
        }
    }
    EXPECT_GT(paperInside, width * 8);
    EXPECT_GT(dark, 40);
}

TEST_F(TextTest, OpaqueModeFillsTheTextCell)
{
    display().setBackMode(kBackOpaque);
    display().setBackColor(0x00FF00);  // green, 0x07E0 in the frame
    display().drawText(50, 200, "ab");
    const std::int32_t width = platform::textRenderer().lineWidth(screenStyle(), "ab");
    const Ink box = ink();
    EXPECT_EQ(box.left, 50);
    EXPECT_EQ(box.top, 200);
    EXPECT_EQ(box.right, 50 + width);
    EXPECT_EQ(box.bottom, 216);
    const platform::Surface& frame = display().backBuffer();
    EXPECT_EQ(frame.row16(200)[50], 0x07E0);
    EXPECT_EQ(frame.row16(215)[50 + width - 1], 0x07E0);
}

TEST_F(TextTest, CentresInTheBoxAndClipsToIt)
{
    display().drawTextBox(520, 59, 40, 26, "7", kTextCenter);
    const Ink digit = ink();
    ASSERT_FALSE(digit.empty());
    EXPECT_NEAR((digit.left + digit.right) / 2.0, 540.0, 2.0);
    EXPECT_GE(digit.top, 59);
    EXPECT_LE(digit.bottom, 59 + 16);

    // Text longer than its box is cut at the box edges, on both sides.
    paper();
    display().setBackMode(kBackOpaque);
    display().drawTextBox(200, 300, 40, 10, "WWWWWWWWWWWW", kTextCenter);
    const Ink cut = ink();
    EXPECT_EQ(cut.left, 200);
    EXPECT_EQ(cut.right, 240);
    EXPECT_EQ(cut.top, 300);
    EXPECT_EQ(cut.bottom, 310);

    // A box at the frame's corner clips to the frame as well.
    paper();
    display().drawTextBox(620, 470, 100, 100, "Level 12", kTextCenter);
    display().drawTextBox(-60, -8, 100, 30, "Level 12", kTextCenter);
    const Ink corner = ink();
    EXPECT_FALSE(corner.empty());
}

TEST_F(TextTest, FollowsTheStateAtEachCall)
{
    display().drawText(10, 10, "H");
    const Ink small = ink();
    paper();
    display().setFontParameter(0, 32);
    display().setFontParameter(1, 0);
    display().setFontParameter(13, 99);  // not a parameter: ignored
    display().setTextColor(0x0000FF);    // red
    display().drawText(10, 10, "H");
    const Ink large = ink();
    EXPECT_GT(large.bottom - large.top, 3 * (small.bottom - small.top) / 2);
    int red = 0;
    for (std::int32_t y = large.top; y < large.bottom; ++y) {
        const std::uint16_t* row = display().backBuffer().row16(y);
        red += static_cast<int>(std::count(row + large.left, row + large.right, 0xF800));
    }
    EXPECT_GT(red, 40);
    EXPECT_EQ(display().fontParameter(13), 0);

    // The text ends at a zero byte; a Windows-1252 capital with an accent reaches higher.
    paper();
    display().setFontParameter(0, 16);
    display().setFontParameter(1, 6);
    display().drawText(10, 10, std::string("E\0EEEE", 6));
    const Ink plain = ink();
    paper();
    display().drawText(10, 10, "\xC9");
    const Ink accented = ink();
    EXPECT_EQ(accented.right - accented.left, plain.right - plain.left);
    EXPECT_LT(accented.top, plain.top);
}

TEST_F(TextTest, DrawsNothingWithoutAFrame)
{
    display().close();
    display().drawText(0, 0, "x");
    display().drawTextBox(0, 0, 10, 10, "x", kTextCenter);
    EXPECT_EQ(display().backBuffer().pixels, nullptr);
}

// The browser draws with the face files the game brings instead of fontconfig's: the same
// files give the same pixels, so its frames can be checked against these.
TEST(FreeTypeFolderTest, TheFacesInAFolderDrawAsTheSystemsSameFaces)
{
    platform::freetype::FreeTypeText system;
    const std::string regular = system.facePath();
    ASSERT_FALSE(regular.empty());
    test::TempDir dir;
    platform::freetype::FreeTypeText empty(dir.folder());
    EXPECT_FALSE(empty.available());
    std::filesystem::copy_file(regular, dir.file("LiberationSerif-Regular.ttf"));
    platform::freetype::FreeTypeText brought(dir.folder());
    ASSERT_TRUE(brought.available());
    EXPECT_EQ(brought.facePath(), dir.file("LiberationSerif-Regular.ttf"));

    // Italic is missing from the folder: the regular face stands in, as it does for
    // fontconfig's own lack.
    for (const std::int32_t italic : {0, 1}) {
        platform::TextStyle style;
        style.faceName = "Times New Roman Cyr";
        style.font.height = 22;
        style.font.italic = italic;
        style.textColor = 0x2040E0;
        std::vector<std::vector<std::uint16_t>> drawn;
        for (platform::TextRenderer* text : {static_cast<platform::TextRenderer*>(&system),
                                             static_cast<platform::TextRenderer*>(&brought)}) {
            std::vector<std::uint16_t> pixels(200 * 40, kPaper);
            platform::Surface frame;
            frame.pixels = reinterpret_cast<std::uint8_t*>(pixels.data());
            frame.width = 200;
            frame.height = 40;
            frame.pitch = 400;
            frame.bitsPerPixel = 16;
            text->drawLine(frame, 4, 4, "Wordlark: lay a word", style, {0, 0, 200, 40});
            drawn.push_back(pixels);
        }
        EXPECT_NE(drawn[0], std::vector<std::uint16_t>(200 * 40, kPaper));
        if (italic == 0) {
            EXPECT_EQ(drawn[0], drawn[1]);
        } else {
            EXPECT_NE(drawn[0], drawn[1]);
        }
    }
}

}  // namespace
}  // namespace wordlark::graphics
