// The frame's surfaces, their presentation and GDI text into them, on both kinds of surface.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Text.h"
#include "platform/win32/DirectDrawVideo.h"
#include "platform/win32/GdiText.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/WindowHandle.h"

#include <windows.h>

namespace {

using namespace wordlark::platform;
using wordlark::platform::win32::DirectDrawVideo;
using wordlark::platform::win32::GdiText;
using wordlark::platform::win32::Win32Desktop;

// The style every screen writes in: black, transparent, 16 high and 6 wide.
TextStyle gameStyle()
{
    TextStyle style;
    style.font.height = 16;
    style.font.width = 6;
    style.font.weight = 400;
    style.font.charSet = 1;
    style.faceName = "Times New Roman Cyr";
    style.textColor = 0x000000;
    return style;
}

void fill(const Surface& surface, std::uint16_t color)
{
    for (std::int32_t y = 0; y < surface.height; ++y) {
        for (std::int32_t x = 0; x < surface.width; ++x) {
            surface.row16(y)[x] = color;
        }
    }
}

std::vector<std::uint16_t> pixelsOf(const Surface& surface)
{
    std::vector<std::uint16_t> pixels;
    for (std::int32_t y = 0; y < surface.height; ++y) {
        pixels.insert(pixels.end(), surface.row16(y), surface.row16(y) + surface.width);
    }
    return pixels;
}

// Each case runs on DirectDraw's surfaces (true) and on GDI's DIB sections (false).
class DirectDrawVideoTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        window = desktop.createWindow("Wordlark", 50, 40, 640, 480,
                                      [this](WindowId w, MessageId m, WParam wp, LParam lp) {
                                          return desktop.defaultProcedure(w, m, wp, lp);
                                      });
        ASSERT_NE(window, kNoWindow);
        desktop.showWindow(window, ShowCommand::Normal);
        ASSERT_TRUE(video.connect(window));
        ASSERT_TRUE(video.acquireWindowTarget(mode));
    }
    void TearDown() override
    {
        video.disconnect();
        desktop.destroyWindow(window);
    }

    Win32Desktop desktop;
    DirectDrawVideo video{GetParam()};
    WindowId window = kNoWindow;
    DesktopMode mode;
};

TEST_P(DirectDrawVideoTest, FrameKeepsItsLayoutAndReachesTheWindow)
{
    EXPECT_GT(mode.bitsPerPixel, 0);
    EXPECT_EQ(mode.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetParam(), video.directDrawInUse());

    Surface frame;
    ASSERT_TRUE(video.createSurface(640, 480, 16, 1280, frame));
    EXPECT_GE(frame.pitch, 1280);
    EXPECT_EQ(frame.bitsPerPixel, 16);
    Surface indexed;
    ASSERT_TRUE(video.createSurface(637, 10, 8, 637, indexed));
    EXPECT_GE(indexed.pitch, 640);
    EXPECT_EQ(indexed.pitch % 4, 0);
    Surface wide;
    ASSERT_TRUE(video.createSurface(10, 10, 16, 100, wide));
    EXPECT_GE(wide.pitch, 100);
    video.releaseSurface(wide);
    EXPECT_TRUE(wide.empty());
    Surface none;
    EXPECT_FALSE(video.createSurface(0, 480, 16, 0, none));
    EXPECT_FALSE(video.createSurface(640, 480, 24, 0, none));

    if (mode.bitsPerPixel > 8) {
        fill(frame, 0xF800);
        frame.row16(100)[200] = 0x07E0;
        video.present(frame);
        HWND handle = win32::windowHandleOf(window);
        HDC dc = GetDC(handle);
        EXPECT_EQ(GetPixel(dc, 10, 10) & 0xF0F0F0, RGB(0xF0, 0, 0));
        EXPECT_EQ(GetPixel(dc, 200, 100) & 0xF0F0F0, RGB(0, 0xF0, 0));
        ReleaseDC(handle, dc);
    }
    video.releaseSurface(indexed);
    video.releaseSurface(frame);
}

TEST_P(DirectDrawVideoTest, PalettesSelectAndComeBack)
{
    PaletteColors colors{};
    for (std::size_t i = 0; i < colors.size(); ++i) {
        colors[i] = {static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i), 0};
    }
    const PaletteId ours = video.createPalette(colors);
    ASSERT_NE(ours, kNoPalette);
    const PaletteId previous = video.selectPalette(ours);
    EXPECT_NE(previous, kNoPalette);
    EXPECT_NE(previous, ours);
    EXPECT_EQ(video.selectPalette(previous), ours);
    EXPECT_EQ(video.selectPalette(ours), previous);
}

TEST_P(DirectDrawVideoTest, TextLandsInTheFrameLikeThroughACopy)
{
    Surface direct;
    Surface copied;
    ASSERT_TRUE(video.createSurface(640, 480, 16, 1280, direct));
    ASSERT_TRUE(video.createSurface(640, 480, 16, 1280, copied));
    // The frame's own context when the video gives one; a DIB section copy of the rows
    // otherwise. Both must give the same pixels.
    GdiText throughVideo(&video);
    GdiText throughCopy(nullptr);
    const std::uint16_t paper = 0xFFDE;
    fill(direct, paper);
    fill(copied, paper);
    const TextStyle style = gameStyle();
    const TextRect clip{100, 0, 200, 480};
    const std::int32_t width =
        throughVideo.drawLine(direct, 60, 50, "Level 4 WORDLARK", style, clip);
    EXPECT_EQ(throughCopy.drawLine(copied, 60, 50, "Level 4 WORDLARK", style, clip), width);
    EXPECT_EQ(width, throughVideo.lineWidth(style, "Level 4 WORDLARK"));

    const std::vector<std::uint16_t> a = pixelsOf(direct);
    EXPECT_TRUE(a == pixelsOf(copied));
    int inked = 0;
    for (std::int32_t y = 0; y < 480; ++y) {
        for (std::int32_t x = 0; x < 640; ++x) {
            const std::uint16_t pixel = a[static_cast<std::size_t>(y * 640 + x)];
            if (pixel == paper) {
                continue;
            }
            ++inked;
            EXPECT_TRUE(x >= clip.left && x < clip.right && y >= 50 && y < 66)
                << "ink at " << x << "," << y;
        }
    }
    EXPECT_GT(inked, 20);
    video.releaseSurface(copied);
    video.releaseSurface(direct);
}

INSTANTIATE_TEST_SUITE_P(Surfaces, DirectDrawVideoTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "DirectDraw" : "DibSection";
                         });

TEST(GdiTextTest, FontRequestIsReadAsGdiDoes)
{
    GdiText text;
    ASSERT_TRUE(text.available());
    TextStyle style = gameStyle();
    TextMetrics metrics = text.metrics(style);
    EXPECT_EQ(metrics.height(), 16);
    EXPECT_EQ(metrics.averageWidth, 6);
    EXPECT_EQ(text.lineWidth(style, ""), 0);
    EXPECT_LT(text.lineWidth(style, "WORD"), text.lineWidth(style, "WORDLARK"));

    style.font.height = 32;
    style.font.width = 0;
    EXPECT_EQ(text.metrics(style).height(), 32);
    // A negative height is the em size, so the cell is taller.
    style.font.height = -32;
    EXPECT_GT(text.metrics(style).height(), 32);
}

TEST(GdiTextTest, OpaqueModeFillsTheCellAndColoursApply)
{
    std::vector<std::uint16_t> memory(64 * 32, 0x001F);
    Surface surface;
    surface.pixels = reinterpret_cast<std::uint8_t*>(memory.data());
    surface.width = 64;
    surface.height = 32;
    surface.pitch = 128;
    surface.bitsPerPixel = 16;
    GdiText text;
    TextStyle style = gameStyle();
    style.textColor = 0x0000FF;  // red, as 0x00BBGGRR
    style.backColor = 0x00FF00;
    style.opaque = true;
    text.drawLine(surface, 0, 0, "II", style, {0, 0, 64, 32});
    int red = 0;
    int green = 0;
    int blue = 0;
    for (std::int32_t y = 0; y < 16; ++y) {
        for (std::int32_t x = 0; x < text.lineWidth(style, "II"); ++x) {
            const std::uint16_t pixel = surface.row16(y)[x];
            red += pixel == 0xF800 ? 1 : 0;
            green += pixel == 0x07E0 ? 1 : 0;
            blue += pixel == 0x001F ? 1 : 0;
        }
    }
    EXPECT_GT(red, 0);
    EXPECT_GT(green, red);
    EXPECT_EQ(blue, 0);
    // Below the cell the surface is as it was.
    EXPECT_EQ(surface.row16(20)[5], 0x001F);
}

}  // namespace
