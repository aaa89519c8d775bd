#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Surface.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessText.h"
#include "platform/platform.h"

namespace wordlark::platform {
namespace {

TEST(Surface, AViewIsTheRectangleCutToTheSurface)
{
    std::vector<std::uint16_t> pixels(10 * 6);
    const Surface frame{reinterpret_cast<std::uint8_t*>(pixels.data()), 10, 6, 20, 16, 7};
    const Surface inside = frame.view(2, 1, 3, 4);
    EXPECT_EQ(inside.width, 3);
    EXPECT_EQ(inside.height, 4);
    EXPECT_EQ(inside.pitch, 20);
    EXPECT_EQ(inside.id, 0u);  // a view owns nothing
    inside.row16(1)[2] = 0xBEEF;
    EXPECT_EQ(frame.row16(2)[4], 0xBEEF);

    // Cut at every edge, including rectangles whose far edges overflow 32 bits.
    const Surface corner = frame.view(-4, -2, 6, 5);
    EXPECT_EQ(corner.pixels, frame.pixels);
    EXPECT_EQ(corner.width, 2);
    EXPECT_EQ(corner.height, 3);
    const Surface far = frame.view(8, 5, 0x7FFFFFFF, 0x7FFFFFFF);
    EXPECT_EQ(far.width, 2);
    EXPECT_EQ(far.height, 1);
    EXPECT_EQ(far.row16(0), frame.row16(5) + 8);
    EXPECT_TRUE(frame.view(10, 0, 5, 5).empty());
    EXPECT_TRUE(frame.view(-0x7FFFFFFF, 0, 5, 5).empty());
    EXPECT_TRUE(frame.view(0, 0, -3, 5).empty());
    EXPECT_TRUE(Surface{}.view(0, 0, 5, 5).empty());
}

TEST(FontParameters, AreSetAndReadByTheirPlaceInTheRequest)
{
    FontParameters font;
    for (int i = 0; i < FontParameters::kCount; ++i) {
        font.set(i, 100 + i);
    }
    EXPECT_EQ(font.height, 100);
    EXPECT_EQ(font.width, 101);
    EXPECT_EQ(font.weight, 104);
    EXPECT_EQ(font.italic, 105);
    EXPECT_EQ(font.underline, 106);
    EXPECT_EQ(font.strikeOut, 107);
    EXPECT_EQ(font.charSet, 108);
    EXPECT_EQ(font.pitchAndFamily, 112);
    EXPECT_EQ(font.get(3), 103);
    const FontParameters before = font;
    font.set(-1, 5);
    font.set(FontParameters::kCount, 5);
    EXPECT_EQ(font, before);
    EXPECT_EQ(font.get(13), 0);
}

TEST(HeadlessText, MeasuresCellsAndDrawsNothing)
{
    headless::HeadlessText text;
    TextStyle style;
    style.font.height = 20;
    EXPECT_EQ(text.metrics(style).height(), 20);
    EXPECT_EQ(text.lineWidth(style, "abcd"), 40);
    style.font.width = -7;
    EXPECT_EQ(text.lineWidth(style, "abcd"), 28);
    style.font.height = -16;
    EXPECT_EQ(text.metrics(style).height(), 20);

    std::uint16_t pixel = 0x1234;
    const Surface frame{reinterpret_cast<std::uint8_t*>(&pixel), 1, 1, 2, 16};
    style.opaque = true;
    EXPECT_EQ(text.drawLine(frame, 0, 0, "ab", style, {0, 0, 1, 1}), 14);
    EXPECT_EQ(pixel, 0x1234);
    EXPECT_EQ(text.linesDrawn(), 1);
    EXPECT_EQ(text.lastLine(), "ab");
}

using SeamDeathTest = ::testing::Test;

TEST_F(SeamDeathTest, UsingAHalfWithoutABackendIsReportedAndEndsTheProgram)
{
    EXPECT_DEATH(
        {
            setDesktop(nullptr);
            desktop();
        },
        "desktop was used before a backend was installed");
    EXPECT_DEATH(
        {
            setVideo(nullptr);
            video();
        },
        "video was used");
    EXPECT_DEATH(
        {
            setTextRenderer(nullptr);
            textRenderer();
        },
        "text was used");
}

}  // namespace
}  // namespace wordlark::platform

// The window's scale: the largest whole number whose frame fits the usable area, never 0,
// and a scale asked for is lowered to it, never raised.
TEST(DisplayModeTest, ScaleFitsTheWorkArea)
{
    using wordlark::platform::DisplayMode;
    using wordlark::platform::fittingScale;
    using wordlark::platform::Point;
    using wordlark::platform::windowScale;
    EXPECT_EQ(fittingScale(Point{1920, 1080}), 2);
    EXPECT_EQ(fittingScale(Point{1920, 1040}), 2);  // a task bar takes 40
    EXPECT_EQ(fittingScale(Point{3840, 2160}), 4);
    EXPECT_EQ(fittingScale(Point{1024, 768}), 1);
    EXPECT_EQ(fittingScale(Point{1280, 959}), 1);
    EXPECT_EQ(fittingScale(Point{320, 200}), 1);
    EXPECT_EQ(fittingScale(Point{0, 0}), 1);
    EXPECT_EQ(fittingScale(Point{16384, 16384}), 8);
    EXPECT_EQ(windowScale(DisplayMode{}, Point{3840, 2160}), 4);
    EXPECT_EQ(windowScale(DisplayMode{.scale = 3}, Point{1920, 1080}), 2);
    EXPECT_EQ(windowScale(DisplayMode{.scale = 1}, Point{3840, 2160}), 1);
}

// The full screen shows the frame by whole pixels centred on black, or smoothly as tall as the
// screen; a pointer anywhere maps to the frame pixel under it and each frame pixel maps back.
TEST(DisplayModeTest, FramePlacementMapsBothWays)
{
    using wordlark::platform::placeFrame;
    using wordlark::platform::Point;
    const auto sharp = placeFrame(Point{1920, 1080}, false);
    EXPECT_EQ(sharp.x, 320);
    EXPECT_EQ(sharp.y, 60);
    EXPECT_EQ(sharp.width, 1280);
    EXPECT_EQ(sharp.height, 960);
    const auto smooth = placeFrame(Point{1920, 1080}, true);
    EXPECT_EQ(smooth.x, 240);
    EXPECT_EQ(smooth.y, 0);
    EXPECT_EQ(smooth.width, 1440);
    EXPECT_EQ(smooth.height, 1080);
    const auto narrow = placeFrame(Point{1280, 1024}, true);  // 5:4: as wide as the screen
    EXPECT_EQ(narrow.width, 1280);
    EXPECT_EQ(narrow.height, 960);
    EXPECT_EQ(narrow.y, 32);
    for (const auto& placement : {sharp, smooth, narrow, placeFrame(Point{3840, 2160}, false)}) {
        for (const Point frame : {Point{0, 0}, Point{639, 479}, Point{607, 187}, Point{5, 5}}) {
            const Point back = placement.toFrame(placement.fromFrame(frame));
            EXPECT_EQ(back.x, frame.x);
            EXPECT_EQ(back.y, frame.y);
        }
        const Point beforeCorner = placement.toFrame(Point{placement.x - 1, placement.y - 1});
        EXPECT_EQ(beforeCorner.x, -1);
        EXPECT_EQ(beforeCorner.y, -1);
    }
    EXPECT_EQ(sharp.toFrame(Point{320 + 1279, 60}).x, 639);
    EXPECT_EQ(sharp.toFrame(Point{320 + 1280, 60}).x, 640);
    EXPECT_EQ(wordlark::platform::scaleLoweredNote({.scale = 3}, Point{1920, 1040}),
              "scale 3 does not fit the screen's usable area (1920x1040); showing scale 2");
    EXPECT_EQ(wordlark::platform::scaleLoweredNote({}, Point{1024, 768}), "");
}
