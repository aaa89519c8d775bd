#include <gtest/gtest.h>

#include <vector>

#include "graphics/Display.h"
#include "platform/headless/HeadlessVideo.h"
#include "support/TestBackends.h"

namespace wordlark::graphics {
namespace {

using platform::headless::PaletteEvent;

platform::headless::HeadlessVideo& backend()
{
    return wordlark::test::headlessVideo();
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display().close();
        backend().reset();
    }
    void TearDown() override
    {
        display().close();
        backend().reset();
    }
    static bool openOn(std::int32_t depth)
    {
        backend().setDesktop(depth, 1280, 1024);
        return display().open(7);
    }
};

TEST_F(DisplayTest, BuildsTheColorCube)
{
    const platform::PaletteColors cube = makeColorCubePalette();
    const int levels[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    for (int r = 0; r < 4; ++r) {
        for (int g = 0; g < 8; ++g) {
            for (int b = 0; b < 8; ++b) {
                const auto& c = cube[static_cast<std::size_t>(r * 64 + g * 8 + b)];
                ASSERT_EQ(c.red, r * 85);
                ASSERT_EQ(c.green, levels[g]);
                ASSERT_EQ(c.blue, levels[b]);
                ASSERT_EQ(c.flags, 0);
            }
        }
    }
    // The backend holds the palette object from construction, before any window exists.
    const platform::PaletteColors* made = backend().paletteColors(display().palette());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ((*made)[164].red, 170);
}

TEST_F(DisplayTest, ConvertsEveryValueToItsTopBits)
{
    EXPECT_EQ(paletteIndexOf(0x0000), 0);
    EXPECT_EQ(paletteIndexOf(0xFFFF), 255);
    EXPECT_EQ(paletteIndexOf(0xF800), 192);
    EXPECT_EQ(paletteIndexOf(0x07E0), 56);
    EXPECT_EQ(paletteIndexOf(0x001F), 7);
    EXPECT_EQ(paletteIndexOf(0x8410), 164);
    const platform::PaletteColors cube = makeColorCubePalette();
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        const unsigned red5 = (c >> 11) & 0x1F;
        const unsigned green6 = (c >> 5) & 0x3F;
        const unsigned blue5 = c & 0x1F;
        const auto& entry = cube[paletteIndexOf(static_cast<std::uint16_t>(c))];
        ASSERT_EQ(entry.red, (red5 >> 3) * 85) << c;
        ASSERT_EQ(entry.green, ((green6 >> 3) * 255 + 3) / 7) << c;
        ASSERT_EQ(entry.blue, ((blue5 >> 2) * 255 + 3) / 7) << c;
    }
}

TEST_F(DisplayTest, CloseIsHarmlessBeforeOpenAndTwice)
{
    EXPECT_FALSE(display().isReady());
    display().close();
    display().close();
    EXPECT_FALSE(display().present());
    EXPECT_EQ(backend().presentCount(), 0u);
    // Drawing without a frame does nothing.
    display().drawText(10, 10, "A");
    display().invertRect(0, 0, 10, 10);

    ASSERT_TRUE(openOn(32));
    display().close();
    display().close();
    EXPECT_FALSE(display().isReady());
    EXPECT_FALSE(display().present());
    EXPECT_EQ(backend().liveSurfaces(), 0u);
    EXPECT_FALSE(backend().connected());
    EXPECT_FALSE(backend().holdsWindowTarget());
}

TEST_F(DisplayTest, OpensTheFrameAndPresentsItDirectly)
{
    for (const std::int32_t depth : {16, 24, 32}) {
        SCOPED_TRACE(depth);
        ASSERT_TRUE(openOn(depth));
        EXPECT_TRUE(display().isReady());
        const platform::Surface& frame = display().backBuffer();
        EXPECT_EQ(frame.width, 640);
        EXPECT_EQ(frame.height, 480);
        EXPECT_EQ(frame.bitsPerPixel, 16);
        EXPECT_GE(frame.pitch, 1280);
        const platform::Surface& window = display().windowRecord();
        EXPECT_EQ(window.bitsPerPixel, depth);
        EXPECT_EQ(window.width, 1280);
        EXPECT_EQ(window.height, 1024);
        EXPECT_EQ(window.pitch, 1280 * (depth / 8));
        EXPECT_FALSE(display().hasConversionSurface());
        EXPECT_EQ(display().presentPath(), Display::PresentPath::Direct);
        // open leaves the text state as the screens expect to find it.
        EXPECT_EQ(display().fontParameter(0), 16);
        EXPECT_EQ(display().fontParameter(1), 8);
        EXPECT_EQ(display().textColor(), 0x00FFFFu);

        frame.row16(0)[0] = 0xF800;
        frame.row16(479)[639] = 0x07E0;
        ASSERT_TRUE(display().present());
        const auto& shown = backend().lastPresented();
        ASSERT_EQ(shown.bitsPerPixel, 16);
        EXPECT_EQ(shown.pixels16[0], 0xF800);
        EXPECT_EQ(shown.pixels16[479 * 640 + 639], 0x07E0);
        // Without an 8-bit desktop palette calls change nothing but the remembered palette.
        display().selectPalette();
        display().restorePalette();
        EXPECT_TRUE(backend().paletteEvents().empty());
        EXPECT_EQ(display().previousPalette(), platform::kNoPalette);
        display().close();
        backend().reset();
    }
}

TEST_F(DisplayTest, KeepsThePaletteOnAnEightBitDesktop)
{
    ASSERT_TRUE(openOn(8));
    EXPECT_TRUE(display().hasConversionSurface());
    EXPECT_EQ(display().presentPath(), Display::PresentPath::Converted);
    EXPECT_EQ(backend().selectedPalette(), display().palette());
    EXPECT_EQ(display().previousPalette(), backend().defaultPalette());
    EXPECT_FALSE(backend().staticSystemColors());
    EXPECT_EQ(backend().paletteEvents(),
              (std::vector<PaletteEvent>{PaletteEvent::NoStatic, PaletteEvent::Select,
                                         PaletteEvent::Realize}));

    // Losing the focus gives the desktop its colours back; regaining it takes them again.
    backend().clearPaletteEvents();
    display().restorePalette();
    EXPECT_TRUE(backend().staticSystemColors());
    EXPECT_EQ(backend().selectedPalette(), backend().defaultPalette());
    EXPECT_EQ(display().previousPalette(), platform::kNoPalette);
    EXPECT_EQ(backend().paletteEvents(),
              (std::vector<PaletteEvent>{PaletteEvent::Select, PaletteEvent::Static,
                                         PaletteEvent::Realize}));
    display().selectPalette();
    EXPECT_EQ(backend().selectedPalette(), display().palette());
    EXPECT_FALSE(backend().staticSystemColors());

    const platform::Surface& frame = display().backBuffer();
    frame.row16(0)[0] = 0x8410;
    frame.row16(0)[1] = 0xFFFF;
    frame.row16(479)[639] = 0x001F;
    ASSERT_TRUE(display().present());
    const auto& shown = backend().lastPresented();
    ASSERT_EQ(shown.bitsPerPixel, 8);
    EXPECT_EQ(shown.pixels8[0], 164);
    EXPECT_EQ(shown.pixels8[1], 255);
    EXPECT_EQ(shown.pixels8[2], 0);
    EXPECT_EQ(shown.pixels8[479 * 640 + 639], 7);
    EXPECT_EQ(shown.palette[164].green, 146);

    display().close();
    EXPECT_TRUE(backend().staticSystemColors());
    EXPECT_EQ(backend().liveSurfaces(), 0u);
}

TEST_F(DisplayTest, SwitchesPathsWhenTheDesktopDepthChanges)
{
    ASSERT_TRUE(openOn(8));
    std::uint8_t* const pixels = display().backBuffer().pixels;
    backend().setDesktop(32);
    EXPECT_EQ(display().reattachWindow(), 32);
    EXPECT_FALSE(display().hasConversionSurface());
    EXPECT_TRUE(backend().staticSystemColors());
    EXPECT_EQ(backend().liveSurfaces(), 1u);
    EXPECT_EQ(display().presentPath(), Display::PresentPath::Direct);
    ASSERT_TRUE(display().present());
    EXPECT_EQ(backend().lastPresented().bitsPerPixel, 16);

    backend().setDesktop(8);
    EXPECT_EQ(display().reattachWindow(), 8);
    EXPECT_TRUE(display().hasConversionSurface());
    EXPECT_EQ(backend().selectedPalette(), display().palette());
    ASSERT_TRUE(display().present());
    EXPECT_EQ(backend().lastPresented().bitsPerPixel, 8);
    // The frame never moves: image routines keep its address for the whole session.
    EXPECT_EQ(display().backBuffer().pixels, pixels);
}

TEST_F(DisplayTest, FailuresLeaveNothingHalfMade)
{
    backend().failConnect(true);
    EXPECT_FALSE(openOn(32));
    display().close();
    backend().reset();

    // No conversion surface on an 8-bit desktop: open fails and close releases the rest.
    backend().failSurfaces(1);
    EXPECT_FALSE(openOn(8));
    EXPECT_FALSE(display().isReady());
    EXPECT_FALSE(backend().holdsWindowTarget());
    display().close();
    EXPECT_EQ(backend().liveSurfaces(), 0u);
    EXPECT_FALSE(backend().connected());
    backend().reset();

    // A failed reattachment keeps the Display ready but showing nothing.
    ASSERT_TRUE(openOn(32));
    backend().setDesktop(8);
    backend().failSurfaces(1);
    EXPECT_EQ(display().reattachWindow(), 0);
    EXPECT_TRUE(display().isReady());
    EXPECT_FALSE(backend().holdsWindowTarget());
    EXPECT_TRUE(display().present());
    EXPECT_EQ(backend().presentCount(), 0u);
    EXPECT_EQ(display().reattachWindow(), 8);
    EXPECT_TRUE(display().present());
    EXPECT_EQ(backend().presentCount(), 1u);
}

TEST_F(DisplayTest, InvertingTwiceRestoresTheFrame)
{
    ASSERT_TRUE(openOn(16));
    const platform::Surface& frame = display().backBuffer();
    for (std::int32_t y = 0; y < 480; ++y) {
        for (std::int32_t x = 0; x < 640; ++x) {
            frame.row16(y)[x] = static_cast<std::uint16_t>(x * 97 + y * 31);
        }
    }
    frame.row16(10)[10] = 0x0000;
    frame.row16(10)[11] = 0xF800;
    std::vector<std::uint16_t> before(frame.row16(0), frame.row16(0) + 640 * 480);

    display().invertRect(10, 10, 2, 1);
    EXPECT_EQ(frame.row16(10)[10], 0xFFFF);
    EXPECT_EQ(frame.row16(10)[11], 0x07FF);
    EXPECT_EQ(frame.row16(10)[12], before[10 * 640 + 12]);
    display().invertRect(10, 10, 2, 1);

    // Rectangles reaching past every edge are clipped to the frame.
    display().invertRect(-20, -30, 700, 600);
    EXPECT_EQ(frame.row16(0)[0], static_cast<std::uint16_t>(~before[0]));
    EXPECT_EQ(frame.row16(479)[639], static_cast<std::uint16_t>(~before[479 * 640 + 639]));
    display().invertRect(-20, -30, 700, 600);
    display().invertRect(630, 470, 0x7FFFFFFF, 0x7FFFFFFF);
    display().invertRect(630, 470, 0x7FFFFFFF, 0x7FFFFFFF);
    display().invertRect(-5, 5, -10, 10);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), frame.row16(0)));
}

}  // namespace
}  // namespace wordlark::graphics
