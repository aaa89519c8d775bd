#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "graphics/Lines.h"

namespace wordlark::graphics {
namespace {

TEST(LinesTest, ClippingKeepsWhatIsInsideAndDropsWhatIsNot)
{
    // Inside: unchanged. Crossing: cut at the edges, on the line. Outside: nothing.
    EXPECT_EQ(clipLine({1, 2, 8, 6}, 10, 10), (LineEnds{1, 2, 8, 6}));
    EXPECT_EQ(clipLine({-10, 5, 20, 5}, 10, 10), (LineEnds{0, 5, 9, 5}));
    EXPECT_EQ(clipLine({-5, -5, 15, 15}, 10, 10), (LineEnds{0, 0, 9, 9}));
    EXPECT_EQ(clipLine({5, 20, 5, -20}, 10, 10), (LineEnds{5, 9, 5, 0}));
    EXPECT_FALSE(clipLine({-5, 0, -1, 9}, 10, 10));
    EXPECT_FALSE(clipLine({11, 11, 30, 40}, 10, 10));
    EXPECT_FALSE(clipLine({-3, 2, 2, -3}, 10, 10));  // passes the corner outside
    EXPECT_FALSE(clipLine({1, 1, 2, 2}, 0, 10));
    constexpr std::int64_t far = std::numeric_limits<std::int64_t>::max() / 2;
    const auto across = clipLine({-far, 4, far, 4}, 10, 10);
    ASSERT_TRUE(across);
    EXPECT_EQ(*across, (LineEnds{0, 4, 9, 4}));
}

TEST(LinesTest, DrawingStaysInsideTheSurfaceAndLinksBothEnds)
{
    constexpr int w = 16;
    constexpr int h = 8;
    // A guard row above and below: a stray write would land there.
    std::vector<std::uint16_t> pixels(w * (h + 2), 0);
    platform::Surface surface;
    surface.pixels = reinterpret_cast<std::uint8_t*>(pixels.data() + w);
    surface.width = w;
    surface.height = h;
    surface.pitch = w * 2;
    surface.bitsPerPixel = 16;
    drawLine(surface, -100, -50, 100, 50, 0xFFFF);
    drawLine(surface, 3, 1, 3, 1, 0x1234);
    drawLine(surface, 0, 7, 15, 7, 0x0F0F);
    fillRect(surface, 14, 6, 50, 50, 0x00FF);
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(pixels[x], 0);
        EXPECT_EQ(pixels[w * (h + 1) + x], 0);
    }
    EXPECT_EQ(pixels[w + 1 * w + 3], 0x1234);
    EXPECT_EQ(pixels[w + 7 * w + 0], 0x0F0F);
    EXPECT_EQ(pixels[w + 7 * w + 15], 0x00FF);
    // The long line goes through (0, 0) and (14, 7): every row it crosses holds one pixel
    // of it, one column after the other.
    int previous = -1;
    for (int y = 0; y < h; ++y) {
        int found = -1;
        for (int x = 0; x < w; ++x) {
            if (pixels[w + y * w + x] == 0xFFFF) {
                found = x;
            }
        }
        if (found >= 0) {
            EXPECT_GT(found, previous);
            previous = found;
        }
    }
    EXPECT_GE(previous, 0);
    // A tint half-way from black to white is the grey between.
    tintRect(surface, 15, 0, 1, 1, 0xFFFF, 128);
    EXPECT_EQ(pixels[w + 15], platform::rgbTo565(127, 127, 127));
}

}  // namespace
}  // namespace wordlark::graphics
