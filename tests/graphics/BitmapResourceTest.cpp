#include "graphics/BitmapResource.h"

#include <gtest/gtest.h>

#include "PictureFixture.h"
#include "archive/FourCC.h"

namespace wordlark::graphics {
namespace {

using heaptool::PictureBuilder;
using heaptool::PicturePlacement;
using test::kBackground;
using test::TestFrame;

constexpr int kSourceWidth = 64;
constexpr int kSourceHeight = 32;
constexpr int kBlackIndex = 7;  // source pixel (7, 0) is black

// The colour of source pixel (x, y) of "scene" (fon0) and of "backdrop" (fon6).
std::uint16_t sceneColour(int x, int y)
{
    return test::distinctPalette(
        {kBlackIndex})[static_cast<std::size_t>((y * kSourceWidth + x) & 0xFF)];
}
std::uint16_t backdropColour(int x, int y)
{
    return static_cast<std::uint16_t>(0x9000 + y * kSourceWidth + x);
}

// One byte a pixel, non-zero inside the shape, from a predicate on (column, row).
template <typename Inside>
std::vector<std::uint8_t> shape(int width, int height, Inside inside)
{
    std::vector<std::uint8_t> bytes;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            bytes.push_back(inside(column, row) ? 1 : 0);
        }
    }
    return bytes;
}

// Frame pixels that differ from: source colour where drawn(x, y), background elsewhere.
template <typename Drawn, typename Colour>
int mismatches(const TestFrame& frame, Drawn drawn, Colour colour)
{
    int wrong = 0;
    for (int y = 0; y < TestFrame::kHeight; ++y) {
        for (int x = 0; x < TestFrame::kWidth; ++x) {
            wrong += frame.at(x, y) != (drawn(x, y) ? colour(x, y) : kBackground);
        }
    }
    return wrong + (frame.paddingIntact() ? 0 : 1000000);
}

class BitmapResourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pictures_.add(
            "scene", "fon0",
            PictureBuilder::palettised("fon0", {}, kSourceWidth, kSourceHeight,
                                       test::distinctPalette({kBlackIndex}),
                                       test::countingIndices(kSourceWidth, kSourceHeight)));
        std::vector<std::uint16_t> direct;
        for (int y = 0; y < kSourceHeight; ++y) {
            for (int x = 0; x < kSourceWidth; ++x) {
                direct.push_back(backdropColour(x, y));
            }
        }
        pictures_.add("backdrop", "fon6",
                      PictureBuilder::direct({}, kSourceWidth, kSourceHeight, direct));
    }

    void addMask(std::string_view name, std::string_view tag, const PicturePlacement& placement,
                 int width, int height, const std::vector<std::uint8_t>& inside,
                 std::string_view source = "scene")
    {
        pictures_.add(name, tag,
                      PictureBuilder::mask(tag, placement, width, height, inside, source));
    }

    ImageResource* source(std::string_view name)
    {
        auto* picture = pictures_.make<ImageResource>(name);
        EXPECT_NE(picture, nullptr);
        picture->load();
        return picture;
    }
    BitmapResource* mask(std::string_view name)
    {
        auto* bitmap = pictures_.make<BitmapResource>(name);
        EXPECT_NE(bitmap, nullptr);
        bitmap->load();
        return bitmap;
    }

    test::PictureArchive pictures_;
    TestFrame frame_;
};

TEST_F(BitmapResourceTest, MaskBitsChooseDrawnAndHitPixels)
{
    // Rows of 0xF0: only the four right-hand pixels are in the shape. x + dx = 10, y + dy = 5.
    addMask("half", "bitm", {8, 6, 2, -1}, 8, 2, shape(8, 2, [](int c, int) { return c >= 4; }));
    pictures_.open();
    source("scene");
    BitmapResource* half = mask("half");
    ASSERT_TRUE(half->isLoaded());
    half->drawTo(frame_.record());
    EXPECT_EQ(
        mismatches(
            frame_, [](int x, int y) { return x >= 14 && x < 18 && y >= 5 && y < 7; }, sceneColour),
        0);
    EXPECT_EQ(half->hitTest(14, 5), half);
    EXPECT_EQ(half->hitTest(17, 6), half);
    EXPECT_EQ(half->hitTest(13, 5), nullptr);
    EXPECT_EQ(half->hitTest(18, 5), nullptr);
    EXPECT_EQ(half->hitTest(14, 7), nullptr);
}

TEST_F(BitmapResourceTest, NegativeLeftEdgeAndShift)
{
    // Odd mask columns are in the shape; the rectangle starts at x = -3, so frame column 0 is
    // mask column 3 (in) and source column 0, frame column 1 mask column 4 (out).
    addMask("left", "bitm", {-3, 0, 0, 2}, 8, 3, shape(8, 3, [](int c, int) { return c % 2; }));
    // Wholly in the shape, for the shift: rectangle x 20..27, y 10..13.
    addMask("solid", "bitm", {20, 10, 0, 0}, 8, 4, shape(8, 4, [](int, int) { return true; }));
    pictures_.open();
    source("scene");
    BitmapResource* left = mask("left");
    left->drawTo(frame_.record());
    EXPECT_EQ(frame_.at(0, 2), sceneColour(0, 2));
    EXPECT_EQ(frame_.at(1, 2), kBackground);
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x < 5 && x % 2 == 0 && y >= 2 && y < 5; },
                  sceneColour),
              0);
    EXPECT_EQ(left->hitTest(-2, 2), left);
    EXPECT_EQ(left->hitTest(-3, 2), nullptr);

    frame_.clear();
    BitmapResource* solid = mask("solid");
    solid->setPosition(10, 0);
    solid->drawTo(frame_.record());
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x >= 30 && x < 38 && y >= 10 && y < 14; },
                  [](int x, int y) { return sceneColour(x - 10, y); }),
              0);
    EXPECT_EQ(solid->hitTest(20, 10), solid);
    EXPECT_EQ(solid->hitTest(35, 10), nullptr);
    // moveBy adds to the shift; a shifted pixel outside the frame is not written.
    solid->moveBy(-35, 0);
    EXPECT_EQ(solid->shiftX(), -25);
    frame_.clear();
    solid->drawTo(frame_.record());
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x < 3 && y >= 10 && y < 14; },
                  [](int x, int y) { return sceneColour(x + 25, y); }),
              0);
    solid->setPosition(0, 475);
    frame_.clear();
    solid->drawTo(frame_.record());
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x >= 20 && x < 28 && y >= 485; }, sceneColour),
              0);
}

TEST_F(BitmapResourceTest, BlackSourcePixelsAndSixteenBitSources)
{
    // Pixel (7, 0) of the scene is 0x0000 and is drawn where the mask is clear.
    addMask("black", "bitm", {4, 0, 0, 0}, 8, 1, shape(8, 1, [](int, int) { return true; }));
    addMask("deep", "bit6", {30, 20, 0, 0}, 10, 3,
            shape(10, 3, [](int c, int r) { return c != r; }), "backdrop");
    // A "bitm" over a 16-bit source, and an unknown content tag: drawn by neither.
    addMask("wrongkind", "bitm", {0, 0, 0, 0}, 8, 1, shape(8, 1, [](int, int) { return true; }),
            "backdrop");
    addMask("other", "bitx", {0, 0, 0, 0}, 8, 1, shape(8, 1, [](int c, int) { return c < 2; }));
    pictures_.add("alias", "bitm",
                  PictureBuilder::mask("bitx", {0, 0, 0, 0}, 8, 1,
                                       shape(8, 1, [](int c, int) { return c < 2; }), "scene"));
    pictures_.open();
    source("scene");
    source("backdrop");
    mask("black")->drawTo(frame_.record());
    EXPECT_EQ(frame_.at(7, 0), 0x0000);
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x >= 4 && x < 12 && y == 0; }, sceneColour),
              0);

    frame_.clear();
    BitmapResource* deep = mask("deep");
    deep->drawTo(frame_.record());
    EXPECT_EQ(
        mismatches(
            frame_,
            [](int x, int y) { return x >= 30 && x < 40 && y >= 20 && y < 23 && x - 30 != y - 20; },
            backdropColour),
        0);

    frame_.clear();
    BitmapResource* wrong = mask("wrongkind");
    BitmapResource* alias = mask("alias");
    ASSERT_TRUE(wrong->isLoaded());
    ASSERT_TRUE(alias->isLoaded());
    wrong->drawTo(frame_.record());
    alias->drawTo(frame_.record());
    EXPECT_EQ(mismatches(
                  frame_, [](int, int) { return false; }, sceneColour),
              0);
    EXPECT_EQ(alias->hitTest(1, 0), alias);
    EXPECT_EQ(alias->hitTest(2, 0), nullptr);
}

TEST_F(BitmapResourceTest, LoadsOnlyOverALoadedSource)
{
    addMask("cut", "bitm", {0, 0, 0, 0}, 8, 1, shape(8, 1, [](int, int) { return true; }));
    addMask("orphan", "bitm", {0, 0, 0, 0}, 8, 1, shape(8, 1, [](int, int) { return true; }),
            "nowhere");
    pictures_.add("words", "wrds", {1, 2, 3});
    addMask("foreign", "bitm", {0, 0, 0, 0}, 8, 1, shape(8, 1, [](int, int) { return true; }),
            "words");
    archive::Archive& archive = pictures_.open();
    BitmapResource* cut = mask("cut");
    EXPECT_FALSE(cut->isLoaded());
    EXPECT_EQ(cut->hitTest(0, 0), nullptr);
    EXPECT_EQ(archive.entryReferences("cut"), 0);
    ASSERT_NE(cut->source(), nullptr);
    EXPECT_EQ(archive.objectReferences(cut->source()), 1);  // held by the mask alone

    ImageResource* scene = source("scene");
    EXPECT_EQ(scene, cut->source());
    EXPECT_EQ(archive.objectReferences(scene), 2);
    cut->load();
    ASSERT_TRUE(cut->isLoaded());
    EXPECT_EQ(archive.objectReferences(scene), 2);  // taken once
    cut->drawTo(frame_.record());
    EXPECT_EQ(frame_.at(3, 0), sceneColour(3, 0));

    // Unloading the source makes the mask draw nothing, though it is still hit.
    scene->unload();
    frame_.clear();
    cut->drawTo(frame_.record());
    EXPECT_EQ(frame_.at(3, 0), kBackground);
    EXPECT_EQ(cut->hitTest(3, 0), cut);

    // Giving the mask back releases its source reference.
    archive.releaseMadeObject(cut);
    EXPECT_EQ(archive.objectReferences(scene), 1);

    for (const char* name : {"orphan", "foreign"}) {
        BitmapResource* bitmap = mask(name);
        EXPECT_FALSE(bitmap->isLoaded()) << name;
        EXPECT_EQ(bitmap->source(), nullptr) << name;
        EXPECT_EQ(archive.entryReferences(name), 0) << name;
    }
}

TEST_F(BitmapResourceTest, DamagedMasksNeverReadOutside)
{
    // The rectangle reaches past the source's right and bottom edges: those pixels are skipped.
    addMask("over", "bitm", {60, 30, 0, 0}, 8, 4, shape(8, 4, [](int, int) { return true; }));
    addMask("over6", "bit6", {60, 30, 0, 0}, 8, 4, shape(8, 4, [](int, int) { return true; }),
            "backdrop");
    // Width 16 with a one-byte stride: the columns past the stored byte are skipped.
    auto narrow = PictureBuilder::mask("bitm", {0, 0, 0, 0}, 8, 2,
                                       shape(8, 2, [](int, int) { return true; }), "scene");
    archive::writeLe32(narrow.data() + 24, 16);
    pictures_.add("narrow", "bitm", narrow);
    // Rows declared beyond the content, a negative stride, and a content cut inside its header.
    auto tall = narrow;
    archive::writeLe32(tall.data() + 28, 3);
    pictures_.add("tall", "bitm", tall);
    auto negative = narrow;
    archive::writeLe32(negative.data() + 32, 0xFFFFFFFF);
    pictures_.add("negative", "bitm", negative);
    pictures_.add("cut", "bitm", {narrow.begin(), narrow.begin() + 51});
    archive::Archive& archive = pictures_.open();
    source("scene");
    source("backdrop");

    mask("over")->drawTo(frame_.record());
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x >= 60 && x < 64 && y >= 30 && y < 32; },
                  sceneColour),
              0);
    frame_.clear();
    mask("over6")->drawTo(frame_.record());
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x >= 60 && x < 64 && y >= 30 && y < 32; },
                  backdropColour),
              0);

    frame_.clear();
    BitmapResource* narrowMask = mask("narrow");
    ASSERT_TRUE(narrowMask->isLoaded());
    narrowMask->drawTo(frame_.record());
    EXPECT_EQ(mismatches(
                  frame_, [](int x, int y) { return x < 8 && y < 2; }, sceneColour),
              0);
    EXPECT_EQ(narrowMask->hitTest(7, 1), narrowMask);
    EXPECT_EQ(narrowMask->hitTest(8, 1), nullptr);

    for (const char* name : {"tall", "negative", "cut"}) {
        BitmapResource* bitmap = mask(name);
        EXPECT_FALSE(bitmap->isLoaded()) << name;
        EXPECT_EQ(archive.entryReferences(name), 0) << name;
    }
}

}  // namespace
}  // namespace wordlark::graphics
