#include "graphics/AnimationResource.h"

#include <gtest/gtest.h>

#include "PictureFixture.h"
#include "archive/FourCC.h"

namespace wordlark::graphics {
namespace {

using archive::commandCode;
using heaptool::AnimationWriter;
using heaptool::PictureBuilder;
using heaptool::PicturePlacement;
using heaptool::Storage;
using test::TestFrame;

constexpr int kSide = 4;

// Frame k: a 4 x 4 square of colour 0x0100 + k at (10k, 20), its pixel (0, 0) transparent.
std::vector<std::uint8_t> frameBytes(int k)
{
    std::vector<std::uint16_t> palette(256, 0);
    palette[1] = static_cast<std::uint16_t>(0x0100 + k);
    std::vector<std::uint8_t> indices(kSide * kSide, 1);
    indices[0] = 0;
    return PictureBuilder::palettised("gla0", PicturePlacement{10 * k, 20, 0, 0}, kSide, kSide,
                                      palette, indices);
}

// Which frame is drawn: the colour at the centre of the frame's square, 0 when none.
int shownFrame(AnimationResource& animation, int k)
{
    TestFrame frame;
    animation.drawTo(frame.record());
    const std::uint16_t colour = frame.at(10 * k + 1, 21);
    return colour == test::kBackground ? -1 : colour - 0x0100;
}

class AnimationResourceTest : public ::testing::Test {
protected:
    // "five": five good frames, alternately plain and packed.
    void addFive()
    {
        AnimationWriter five(pictures_.writer());
        for (int k = 0; k < 5; ++k) {
            five.addFrame(frameBytes(k), k % 2 ? Storage::Method1 : Storage::Plain);
        }
        five.finish("five");
    }

    AnimationResource* make(std::string_view name)
    {
        auto* animation = pictures_.make<AnimationResource>(name);
        EXPECT_NE(animation, nullptr);
        return animation;
    }

    test::PictureArchive pictures_;
};

TEST_F(AnimationResourceTest, FrameSelectionAndClamping)
{
    addFive();
    // Six records in the directory's size, before anything is read.
    AnimationWriter six(pictures_.writer());
    for (int k = 0; k < 6; ++k) {
        six.addFrame(frameBytes(k));
    }
    six.finish("six");
    pictures_.open();
    EXPECT_EQ(make("six")->command(commandCode("GetN"), 0), 6);

    AnimationResource* five = make("five");
    EXPECT_EQ(five->command(commandCode("GetN"), 0), 5);
    five->command(commandCode("Faze"), 2);  // before loading: recorded, loading starts there
    five->command(commandCode("Show"), 0);
    ASSERT_TRUE(five->isLoaded());
    EXPECT_EQ(five->tag(), archive::fileTag("ani0"));
    EXPECT_EQ(shownFrame(*five, 2), 2);

    five->command(commandCode("Faze"), -1);
    EXPECT_EQ(five->currentFrame(), 4);
    EXPECT_EQ(five->command(commandCode("FGet"), 0), -1);
    EXPECT_EQ(shownFrame(*five, 4), 4);
    five->command(commandCode("Faze"), 3);
    EXPECT_EQ(five->command(commandCode("FGet"), 0), 3);
    five->command(commandCode("Faze"), 9);
    EXPECT_EQ(five->currentFrame(), 4);
    five->command(commandCode("Faze"), -7);
    EXPECT_EQ(five->currentFrame(), 0);
    EXPECT_EQ(shownFrame(*five, 0), 0);

    // Pixel-exact hit test on the current frame: its (0, 0) is transparent.
    EXPECT_EQ(five->hitTest(0, 20), nullptr);
    EXPECT_EQ(five->hitTest(1, 20), five);
    EXPECT_EQ(five->hitTest(4, 20), nullptr);
}

TEST_F(AnimationResourceTest, CycleModes)
{
    addFive();
    AnimationWriter four(pictures_.writer());
    for (int k = 0; k < 4; ++k) {
        four.addFrame(frameBytes(k));
    }
    four.finish("four");
    pictures_.open();
    AnimationResource* animation = make("four");
    animation->load();
    ASSERT_TRUE(animation->isLoaded());

    const std::vector<std::vector<int>> expected = {
        {1, 2, 3, 3, 3},
        {1, 2, 3, 0, 1},
        {1, 2, 3, 3, 2, 1, 0, 1, 2, 3, 3},
    };
    for (int mode = 0; mode < 3; ++mode) {
        animation->command(commandCode("Faze"), 0);
        animation->command(commandCode("Step"), 1);
        animation->command(commandCode("Cicl"), mode);
        std::vector<int> seen;
        for (std::size_t i = 0; i < expected[static_cast<std::size_t>(mode)].size(); ++i) {
            animation->command(commandCode("Next"), 0);
            seen.push_back(animation->currentFrame());
        }
        EXPECT_EQ(seen, expected[static_cast<std::size_t>(mode)]) << "mode " << mode;
    }
    // Wrap backwards with a negative step; extreme steps stay clamped.
    animation->command(commandCode("Faze"), 0);
    animation->command(commandCode("Cicl"), 1);
    animation->command(commandCode("Step"), -1);
    animation->advance();
    EXPECT_EQ(animation->currentFrame(), 3);
    EXPECT_EQ(shownFrame(*animation, 3), 3);
    animation->command(commandCode("Cicl"), 2);
    animation->command(commandCode("Step"), std::numeric_limits<std::int32_t>::min());
    animation->advance();
    EXPECT_GE(animation->currentFrame(), 0);
    EXPECT_LE(animation->currentFrame(), 3);
    animation->command(commandCode("Cicl"), 7);
    animation->command(commandCode("Step"), std::numeric_limits<std::int32_t>::max());
    animation->advance();
    EXPECT_EQ(animation->currentFrame(), 3);
}

TEST_F(AnimationResourceTest, FramesAreReadLazilyAndKeptUntilUnload)
{
    addFive();
    archive::Archive& archive = pictures_.open();
    AnimationResource* five = make("five");
    five->load();
    ASSERT_TRUE(five->isLoaded());
    EXPECT_TRUE(five->frameLoaded(0));
    for (int k = 1; k < 5; ++k) {
        EXPECT_FALSE(five->frameLoaded(k));
    }
    five->setFrame(3);
    EXPECT_TRUE(five->frameLoaded(3));
    EXPECT_FALSE(five->frameLoaded(1));
    EXPECT_EQ(archive.entryReferences("five"), 1);

    // setPosition moves only the current frame; moveBy moves them all.
    five->setPosition(100, 100);
    five->moveBy(1, 0);
    EXPECT_EQ(five->hitTest(102, 101), five);
    five->setFrame(1);
    EXPECT_EQ(five->header().x(), 10);
    EXPECT_EQ(five->hitTest(12, 21), five);
    EXPECT_EQ(five->hitTest(11, 20), nullptr);  // that frame's transparent corner
    five->setFrame(3);
    EXPECT_EQ(five->header().x(), 100);

    five->unload();
    EXPECT_FALSE(five->isLoaded());
    EXPECT_FALSE(five->frameLoaded(3));
    EXPECT_EQ(archive.entryReferences("five"), 0);
    five->load();
    ASSERT_TRUE(five->isLoaded());
    EXPECT_EQ(five->currentFrame(), 3);
    EXPECT_EQ(five->header().x(), 30);  // read afresh
    five->unload();
}

TEST_F(AnimationResourceTest, UnreadableFramesAreNeverShown)
{
    AnimationWriter broken(pictures_.writer());
    broken.addFrame(frameBytes(0));
    broken.addFrame(frameBytes(1));
    // Frame 2: a packed stream announcing more than it holds.
    std::uint32_t stored = 0;
    const std::uint32_t offset =
        pictures_.writer().addPiece(frameBytes(2), Storage::Method1, &stored);
    const auto size = static_cast<std::uint32_t>(frameBytes(2).size());
    broken.addRecord({offset, size + 64, stored});
    // Frame 3: too small for a picture; frame 4: a header declaring more pixels than it has.
    broken.addRecord({offset, 100, 100});
    auto big = frameBytes(4);
    archive::writeLe32(big.data() + 24, 1000);
    broken.addFrame(big);
    broken.finish("broken");

    // Count larger than the table: two records, five frames declared.
    AnimationWriter two(pictures_.writer());
    two.addFrame(frameBytes(0));
    two.addFrame(frameBytes(1));
    auto table = two.table();
    archive::writeLe32(table.data() + 8, 5);
    pictures_.add("short", "ani0", table);

    AnimationWriter none(pictures_.writer());
    auto empty = none.table();
    pictures_.add("none", "ani0", empty);
    archive::writeLe32(table.data() + 8, 0xFFFFFFFF);
    pictures_.add("negative", "ani0", table);
    pictures_.add("tiny", "ani0", {'a', 'n', 'i'});
    archive::Archive& archive = pictures_.open();

    AnimationResource* animation = make("broken");
    animation->load();
    ASSERT_TRUE(animation->isLoaded());
    animation->setFrame(1);
    EXPECT_EQ(shownFrame(*animation, 1), 1);
    for (int k = 2; k <= 4; ++k) {
        animation->setFrame(k);
        EXPECT_EQ(animation->command(commandCode("FGet"), 0), k == 4 ? -1 : k);
        EXPECT_FALSE(animation->frameLoaded(k));
        EXPECT_EQ(shownFrame(*animation, 1), 1) << k;
    }
    // Starting on an unreadable frame leaves the animation unloaded, and its table held
    // only until unload gives it back.
    animation->unload();
    animation->setFrame(2);
    animation->load();
    EXPECT_FALSE(animation->isLoaded());
    animation->unload();
    EXPECT_EQ(archive.entryReferences("broken"), 0);

    AnimationResource* shortTable = make("short");
    shortTable->load();
    ASSERT_TRUE(shortTable->isLoaded());
    EXPECT_EQ(shortTable->command(commandCode("GetN"), 0), 5);
    shortTable->setFrame(1);
    shortTable->setFrame(4);
    EXPECT_EQ(shortTable->currentFrame(), 4);
    EXPECT_EQ(shownFrame(*shortTable, 1), 1);

    for (const char* name : {"none", "negative", "tiny"}) {
        AnimationResource* nothing = make(name);
        nothing->load();
        EXPECT_FALSE(nothing->isLoaded()) << name;
        EXPECT_EQ(archive.entryReferences(name), 0) << name;
    }
}

}  // namespace
}  // namespace wordlark::graphics
