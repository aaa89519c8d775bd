#include "graphics/ImageResource.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "PictureFixture.h"
#include "archive/FourCC.h"
#include "graphics/AnimationResource.h"
#include "graphics/BitmapResource.h"
#include "graphics/Display.h"

namespace wordlark::graphics {
namespace {

using archive::commandCode;
using heaptool::PictureBuilder;
using heaptool::PicturePlacement;
using test::kBackground;
using test::TestFrame;

constexpr int kWidth = 16;
constexpr int kHeight = 8;

// Pixels of the frame that differ from a picture of kWidth x kHeight at (left, top), whose
// pixel (column, row) should show colourAt(column, row) (none: the frame stays as it was).
int mismatches(const TestFrame& frame, std::int64_t left, std::int64_t top,
               const std::function<std::optional<std::uint16_t>(int, int)>& colourAt)
{
    int wrong = 0;
    for (int y = 0; y < TestFrame::kHeight; ++y) {
        for (int x = 0; x < TestFrame::kWidth; ++x) {
            std::uint16_t expected = kBackground;
            const std::int64_t column = x - left;
            const std::int64_t row = y - top;
            if (column >= 0 && column < kWidth && row >= 0 && row < kHeight) {
                expected =
                    colourAt(static_cast<int>(column), static_cast<int>(row)).value_or(kBackground);
            }
            wrong += frame.at(x, y) != expected;
        }
    }
    return wrong + (frame.paddingIntact() ? 0 : 1000000);
}

class ImageResourceTest : public ::testing::Test {
protected:
    // "tile" (gla0) and "card" (fon0) share pixels and palette: index 5 is black (0x0000).
    // "back" is a fon6 picture whose pixel values number the pixels.
    void SetUp() override
    {
        const auto palette = test::distinctPalette({5});
        const auto indices = test::countingIndices(kWidth, kHeight);
        const PicturePlacement placement{100, 50, 3, -2};
        pictures_.add(
            "tile", "gla0",
            PictureBuilder::palettised("gla0", placement, kWidth, kHeight, palette, indices));
        pictures_.add(
            "card", "fon0",
            PictureBuilder::palettised("fon0", placement, kWidth, kHeight, palette, indices),
            heaptool::Storage::Method2);
        std::vector<std::uint16_t> direct(kWidth * kHeight);
        for (std::size_t i = 0; i < direct.size(); ++i) {
            direct[i] = static_cast<std::uint16_t>(0x8000 + i);
        }
        pictures_.add("back", "fon6", PictureBuilder::direct(placement, kWidth, kHeight, direct));
        // Directory and content tags disagree: the content's decides.
        pictures_.add(
            "mislabel", "fons",
            PictureBuilder::palettised("fon0", placement, kWidth, kHeight, palette, indices));
        auto fons = PictureBuilder::direct(placement, kWidth, kHeight, direct);
        std::copy_n("fons", 4, fons.begin());
        pictures_.add("plain", "fon6", fons);
        pictures_.open();
    }

    static std::optional<std::uint16_t> tileColour(int column, int row)
    {
        const std::uint16_t colour = test::distinctPalette({5})[(row * kWidth + column) & 0xFF];
        return colour ? std::optional(colour) : std::nullopt;
    }
    static std::optional<std::uint16_t> cardColour(int column, int row)
    {
        return test::distinctPalette({5})[(row * kWidth + column) & 0xFF];
    }
    static std::optional<std::uint16_t> backColour(int column, int row)
    {
        return static_cast<std::uint16_t>(0x8000 + row * kWidth + column);
    }

    ImageResource* loaded(std::string_view name)
    {
        auto* picture = pictures_.make<ImageResource>(name);
        EXPECT_NE(picture, nullptr);
        picture->load();
        EXPECT_TRUE(picture->isLoaded());
        return picture;
    }

    test::PictureArchive pictures_;
    TestFrame frame_;
};

TEST_F(ImageResourceTest, FactoryMakesTheClassOfEachTag)
{
    archive::Archive& archive = pictures_.archive();
    EXPECT_NE(dynamic_cast<ImageResource*>(archive.makeObject("tile")), nullptr);
    EXPECT_NE(dynamic_cast<ImageResource*>(archive.makeObject("plain")), nullptr);
    EXPECT_EQ(dynamic_cast<AnimationResource*>(archive.makeObject("tile")), nullptr);
    EXPECT_EQ(dynamic_cast<BitmapResource*>(archive.makeObject("back")), nullptr);
}

TEST_F(ImageResourceTest, PalettisedPicturesClipAtEveryEdge)
{
    ImageResource* tile = loaded("tile");
    ImageResource* card = loaded("card");
    // Stored placement (100, 50) with displacement (3, -2).
    tile->drawTo(frame_.record());
    EXPECT_EQ(mismatches(frame_, 103, 48, tileColour), 0);

    struct Place {
        std::int32_t x;
        std::int32_t y;
    };
    // x and y are the placement; the picture's top-left is 3 to the right and 2 up of it.
    const Place places[] = {
        {-13, 100}, {-3 - kWidth + 1, 100},
        {630, 200}, {640 - 3 - 1, 300},
        {300, -4},  {300, 2 - kHeight + 1},
        {200, 475}, {200, 480 + 2 - 1},
        {-8, -3},   {634, 476},
    };
    for (ImageResource* picture : {tile, card}) {
        const auto colour = picture == tile ? tileColour : cardColour;
        for (const Place& place : places) {
            frame_.clear();
            picture->setPosition(place.x, place.y);
            picture->drawTo(frame_.record());
            EXPECT_EQ(mismatches(frame_, place.x + 3, place.y - 2, colour), 0)
                << place.x << "," << place.y;
        }
    }
    // The eleventh column lands at frame column 0 when the left edge is at -10.
    frame_.clear();
    tile->setPosition(-13, 100);
    tile->drawTo(frame_.record());
    EXPECT_EQ(frame_.at(0, 98), tileColour(10, 0).value());

    // Wholly outside, including positions whose sums would overflow 32 bits.
    const Place outside[] = {{640 - 3, 100},
                             {-3 - kWidth, 100},
                             {100, 480 + 2},
                             {100, 2 - kHeight},
                             {std::numeric_limits<std::int32_t>::max(), 0},
                             {0, std::numeric_limits<std::int32_t>::min()}};
    for (const Place& place : outside) {
        frame_.clear();
        card->setPosition(place.x, place.y);
        card->drawTo(frame_.record());
        EXPECT_EQ(mismatches(frame_, -1000, -1000, cardColour), 0) << place.x << "," << place.y;
    }
}

TEST_F(ImageResourceTest, DirectPicturesCopyRowsAndClip)
{
    ImageResource* back = loaded("back");
    back->drawTo(frame_.record());
    EXPECT_EQ(mismatches(frame_, 103, 48, backColour), 0);
    for (auto [x, y] : {std::pair{-10, 10}, {630, 10}, {10, -5}, {10, 476}, {700, 10}}) {
        frame_.clear();
        back->setPosition(x, y);
        back->drawTo(frame_.record());
        EXPECT_EQ(mismatches(frame_, x + 3, y - 2, backColour), 0) << x << "," << y;
    }
}

TEST_F(ImageResourceTest, TransparencyAndHitTestsFollowTheContentTag)
{
    ImageResource* tile = loaded("tile");
    ImageResource* card = loaded("card");
    ImageResource* back = loaded("back");
    // Index 5 (column 5 of row 0, at frame (108, 48)) has the colour 0x0000.
    tile->drawTo(frame_.record());
    EXPECT_EQ(frame_.at(108, 48), kBackground);
    card->drawTo(frame_.record());
    EXPECT_EQ(frame_.at(108, 48), 0x0000);

    EXPECT_EQ(tile->hitTest(108, 48), nullptr);
    EXPECT_EQ(card->hitTest(108, 48), card);
    EXPECT_EQ(tile->hitTest(109, 48), tile);
    for (ImageResource* picture : {tile, card, back}) {
        EXPECT_EQ(picture->hitTest(103, 48), picture);
        EXPECT_EQ(picture->hitTest(103 + kWidth - 1, 48 + kHeight - 1), picture);
        EXPECT_EQ(picture->hitTest(102, 48), nullptr);
        EXPECT_EQ(picture->hitTest(103, 47), nullptr);
        EXPECT_EQ(picture->hitTest(103 + kWidth, 50), nullptr);
        EXPECT_EQ(picture->hitTest(110, 48 + kHeight), nullptr);
    }
    // Hit tests do not clip against the frame.
    card->setPosition(-13, -10);
    EXPECT_EQ(card->hitTest(-10, -12), card);
    EXPECT_EQ(card->hitTest(-11, -12), nullptr);
}

TEST_F(ImageResourceTest, DrawAtRestoresAndMoveByAccumulates)
{
    ImageResource* tile = loaded("tile");
    tile->drawAt(200, 300);
    tile->drawTo(frame_.record());
    EXPECT_EQ(tile->header().x(), 100);
    EXPECT_EQ(tile->header().y(), 50);
    EXPECT_EQ(mismatches(frame_, 103, 48, tileColour), 0);

    tile->moveBy(5, 0);
    tile->moveBy(5, 0);
    EXPECT_EQ(tile->offsetX(), 10);
    frame_.clear();
    tile->drawTo(frame_.record());
    EXPECT_EQ(mismatches(frame_, 113, 48, tileColour), 0);
    EXPECT_EQ(tile->hitTest(113, 48), tile);
    EXPECT_EQ(tile->hitTest(112, 48), nullptr);

    // A reload forgets the stored position but keeps the displacement.
    tile->setPosition(0, 0);
    tile->command(commandCode("Hide"), 0);
    EXPECT_FALSE(tile->isLoaded());
    tile->moveBy(-10, 1);
    tile->setPosition(300, 300);  // ignored while unloaded
    tile->command(commandCode("Show"), 0);
    ASSERT_TRUE(tile->isLoaded());
    EXPECT_EQ(tile->header().x(), 100);
    EXPECT_EQ(tile->hitTest(103, 49), tile);
}

TEST_F(ImageResourceTest, DrawAtDrawsIntoTheDisplayAtTheGivenPlace)
{
    ImageResource* card = loaded("card");
    platform::Surface& frame = display().backBuffer();
    if (!frame.pixels) {
        ASSERT_TRUE(display().open(1));
    }
    ASSERT_NE(frame.pixels, nullptr);
    card->drawAt(300, 200);
    EXPECT_EQ(frame.row16(198)[303], cardColour(0, 0).value());
    EXPECT_EQ(frame.row16(198 + kHeight - 1)[303 + kWidth - 1],
              cardColour(kWidth - 1, kHeight - 1).value());
    EXPECT_EQ(card->header().x(), 100);
}

TEST_F(ImageResourceTest, CommandsAndUnloadedState)
{
    auto* tile = pictures_.make<ImageResource>("tile");
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->command(commandCode("SzPl"), 7), 0);
    EXPECT_EQ(tile->command(commandCode("GzPl"), 0), 7);
    EXPECT_EQ(tile->command(commandCode("Faze"), 3), 0);
    EXPECT_EQ(tile->command(0, 0), 0);
    // Unloaded: nothing drawn, nothing hit.
    tile->drawTo(frame_.record());
    EXPECT_EQ(mismatches(frame_, -1000, -1000, tileColour), 0);
    EXPECT_EQ(tile->hitTest(110, 50), nullptr);
    tile->command(commandCode("Show"), 0);
    EXPECT_TRUE(tile->isLoaded());
    EXPECT_EQ(tile->tag(), archive::fileTag("gla0"));
    EXPECT_EQ(tile->command(commandCode("GzPl"), 0), 7);
}

TEST_F(ImageResourceTest, ContentTagChoosesTheRoutines)
{
    ImageResource* mislabel = loaded("mislabel");
    EXPECT_EQ(mislabel->tag(), archive::fileTag("fons"));
    mislabel->drawTo(frame_.record());
    EXPECT_EQ(mismatches(frame_, 103, 48, cardColour), 0);

    ImageResource* plain = loaded("plain");
    frame_.clear();
    plain->drawTo(frame_.record());
    EXPECT_EQ(mismatches(frame_, -1000, -1000, cardColour), 0);
    EXPECT_EQ(plain->hitTest(105, 50), nullptr);
}

TEST_F(ImageResourceTest, UnloadWhileHeldElsewhereStaysLoaded)
{
    ImageResource* tile = loaded("tile");
    archive::Archive& archive = pictures_.archive();
    std::uint32_t tag = 0;
    ASSERT_NE(archive.loadEntry("tile", &tag), nullptr);
    tile->unload();
    EXPECT_TRUE(tile->isLoaded());
    tile->drawTo(frame_.record());
    EXPECT_EQ(mismatches(frame_, 103, 48, tileColour), 0);
    EXPECT_TRUE(archive.unloadEntry("tile"));
    EXPECT_EQ(archive.entryReferences("tile"), 0);
    // The image's reference was given back by its first unload.
    tile->unload();
    EXPECT_TRUE(tile->isLoaded());
}

TEST(ImageResourceShortContent, StaysUnloadedAndGivesTheContentBack)
{
    test::PictureArchive pictures;
    const auto palette = test::distinctPalette();
    auto full =
        PictureBuilder::palettised("gla0", {}, 20, 20, palette, test::countingIndices(20, 20));
    pictures.add("short", "gla0", {full.begin(), full.end() - 1});
    pictures.add("nopal", "fon0", {full.begin(), full.begin() + 300});
    pictures.add("header", "fon0", {full.begin(), full.begin() + 31});
    auto direct = PictureBuilder::direct({}, 20, 20, std::vector<std::uint16_t>(400, 7));
    pictures.add("direct", "fon6", {direct.begin(), direct.end() - 2});
    pictures.add("exact", "fon6", direct);
    pictures.add("empty", "gla0", {});
    // Width 0x10000 and height 0x10000: the product does not fit 32 bits.
    auto huge = full;
    archive::writeLe32(huge.data() + 24, 0x10000);
    archive::writeLe32(huge.data() + 28, 0x10000);
    pictures.add("huge", "gla0", huge);
    archive::Archive& archive = pictures.open();
    for (const char* name : {"short", "nopal", "header", "direct", "empty", "huge"}) {
        auto* picture = pictures.make<ImageResource>(name);
        ASSERT_NE(picture, nullptr) << name;
        picture->load();
        EXPECT_FALSE(picture->isLoaded()) << name;
        EXPECT_EQ(archive.entryReferences(name), 0) << name;
    }
    auto* exact = pictures.make<ImageResource>("exact");
    exact->load();
    EXPECT_TRUE(exact->isLoaded());
    // A picture with no area loads and draws nothing.
    test::PictureArchive flat;
    flat.add("flat", "gla0", PictureBuilder::palettised("gla0", {}, 0, 5, palette, {}));
    flat.open();
    auto* picture = flat.make<ImageResource>("flat");
    picture->load();
    EXPECT_TRUE(picture->isLoaded());
    TestFrame frame;
    picture->drawTo(frame.record());
    EXPECT_EQ(
        mismatches(frame, -1000, -1000, [](int, int) { return std::optional<std::uint16_t>(); }),
        0);
}

}  // namespace
}  // namespace wordlark::graphics
