#include "game/LetterPool.h"

#include <gtest/gtest.h>

#include "panels/RecordingImage.h"

namespace wordlark::game {
namespace {

using panels::test::DrawCall;
using panels::test::RecordingArchive;
using panels::test::RecordingImage;

constexpr char J = kJokerCode;

class LetterPoolTest : public ::testing::Test {
protected:
    RecordingArchive archive_;
    RecordingImage letters_{archive_.archive(), 27};
    RecordingImage roll_{archive_.archive(), 54};
    RecordingImage mark_{archive_.archive(), 1};
    LetterPool pool_{&letters_, &roll_, &mark_};

    // Draws until no tile rolls any more (bounded), forgetting what was drawn.
    void settle()
    {
        for (int pass = 0; pass < 40; ++pass) {
            pool_.draw();
        }
        letters_.draws.clear();
        roll_.draws.clear();
    }
};

TEST_F(LetterPoolTest, TakesByPointWithinTheBandAndColumns)
{
    pool_.deal("ABCDEFGHIJKL");
    // Beyond the last column and the band edges.
    EXPECT_EQ(pool_.takeAt(541, 140), 0);
    EXPECT_EQ(pool_.takeAt(15, 140), 0);
    EXPECT_EQ(pool_.takeAt(20, 118), 0);
    EXPECT_EQ(pool_.takeAt(20, 162), 0);
    // x = 57 is still column 0, x = 58 column 1; band ends are inclusive.
    EXPECT_EQ(pool_.takeAt(57, 119), 'A');
    EXPECT_EQ(pool_.takeAt(57, 161), 0);  // already taken
    EXPECT_EQ(pool_.takeAt(58, 161), 'B');
    EXPECT_EQ(pool_.takeAt(519, 130), 'L');
    EXPECT_EQ(pool_.takeAt(520, 130), 0);  // column 12
    EXPECT_FALSE(pool_.available(0));
    EXPECT_TRUE(pool_.available(2));

    pool_.deal("AB");
    EXPECT_EQ(pool_.takeAt(16 + 42 * 2, 140), 0);  // column 2 is not in play
    EXPECT_TRUE(pool_.available(0));               // a deal gives every letter back
}

TEST_F(LetterPoolTest, TypedLettersFallBackToTheJoker)
{
    pool_.deal(std::string("EEX") + J);
    ASSERT_EQ(pool_.takeAt(20, 140), 'E');
    EXPECT_EQ(pool_.takeTyped('E'), 'E');
    EXPECT_FALSE(pool_.available(1));
    EXPECT_EQ(pool_.takeTyped('E'), J);
    EXPECT_FALSE(pool_.available(3));
    EXPECT_EQ(pool_.takeTyped('E'), 0);
    EXPECT_EQ(pool_.takeTyped('X'), 'X');

    // Giving back: only a taken tile of that code, which then rolls in again.
    settle();
    EXPECT_FALSE(pool_.giveBack('Q'));
    EXPECT_TRUE(pool_.giveBack('E'));
    EXPECT_TRUE(pool_.available(0));
    EXPECT_TRUE(pool_.rolling(0));
    EXPECT_FALSE(pool_.rolling(1));
    EXPECT_TRUE(pool_.giveBack(J));
    EXPECT_TRUE(pool_.giveBack('E'));
    EXPECT_FALSE(pool_.giveBack('E'));
}

TEST_F(LetterPoolTest, DisabledOrEmptyPoolIgnoresEverything)
{
    EXPECT_FALSE(pool_.giveBack('A'));
    pool_.deal("AB");
    ASSERT_EQ(pool_.takeTyped('A'), 'A');
    pool_.setEnabled(false);
    EXPECT_EQ(pool_.takeAt(60, 140), 0);
    EXPECT_EQ(pool_.takeTyped('B'), 0);
    EXPECT_FALSE(pool_.giveBack('A'));
    EXPECT_FALSE(pool_.available(0));
    EXPECT_TRUE(pool_.available(1));
}

TEST_F(LetterPoolTest, TilesRollThreeFramesAPassThenSnap)
{
    pool_.deal(std::string("A") + J);
    // 'A' (target 0) snaps at once; the joker rolls 3, 6, ..., 51, then snaps to 52.
    pool_.draw();
    EXPECT_FALSE(pool_.rolling(0));
    EXPECT_TRUE(pool_.rolling(1));
    ASSERT_EQ(roll_.draws.size(), 2U);
    EXPECT_EQ(roll_.draws[0], (DrawCall{0, 37, 161}));
    EXPECT_EQ(roll_.draws[1], (DrawCall{3, 79, 161}));
    int passes = 1;
    while (pool_.rolling(1) && passes < 100) {
        pool_.draw();
        ++passes;
    }
    EXPECT_EQ(passes, 18);
    EXPECT_EQ(pool_.rollFrame(1), 52);
    EXPECT_EQ(roll_.draws.back(), (DrawCall{52, 79, 161}));

    // Settled: free letters come from the letter image, taken ones are not drawn.
    roll_.draws.clear();
    letters_.draws.clear();
    ASSERT_EQ(pool_.takeTyped('A'), 'A');
    pool_.draw();
    EXPECT_TRUE(roll_.draws.empty());
    ASSERT_EQ(letters_.draws.size(), 1U);
    EXPECT_EQ(letters_.draws[0], (DrawCall{26, 79, 161}));

    // A tile taken while it rolls is still drawn rolling.
    pool_.deal("ZZ");
    ASSERT_EQ(pool_.takeTyped('Z'), 'Z');
    pool_.draw();
    EXPECT_EQ(roll_.draws.size(), 2U);
}

TEST_F(LetterPoolTest, RollWrapsAroundTheFrameCount)
{
    // From 52 towards 'Y' (target 48) the tile already stands past it: snaps back at once.
    pool_.deal(std::string(1, J));
    settle();
    pool_.deal("Y");
    pool_.draw();
    EXPECT_EQ(pool_.rollFrame(0), 48);

    // With a 30-frame roll image the counter wraps: 27 + 3 = 30 -> 0.
    RecordingImage shortRoll(archive_.archive(), 30);
    LetterPool pool(&letters_, &shortRoll, nullptr);
    pool.deal("Q");  // target 32
    for (int pass = 0; pass < 9; ++pass) {
        pool.draw();
    }
    EXPECT_EQ(pool.rollFrame(0), 27);
    pool.draw();
    EXPECT_EQ(pool.rollFrame(0), 0);
    EXPECT_TRUE(pool.rolling(0));
}

TEST_F(LetterPoolTest, SortingCarriesFlagsAndCountersAndRollsEveryTile)
{
    pool_.deal(std::string("ZA") + J + "B");
    settle();
    ASSERT_EQ(pool_.takeTyped('Z'), 'Z');
    pool_.sortLetters();
    EXPECT_EQ(pool_.letters(), std::string("ABZ") + J);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(pool_.rolling(i)) << i;
    }
    EXPECT_FALSE(pool_.available(2));
    EXPECT_TRUE(pool_.available(3));
    EXPECT_EQ(pool_.rollFrame(2), 50);  // Z's counter moved with it
    EXPECT_EQ(pool_.rollFrame(3), 52);
    // Every counter already stood at its letter: all snap in the next pass.
    pool_.draw();
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_FALSE(pool_.rolling(i)) << i;
    }
}

TEST_F(LetterPoolTest, HostileDealsStayBounded)
{
    pool_.deal("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(pool_.letters(), "ABCDEFGHIJKL");
    pool_.deal(std::string_view("AB\0CD", 5));
    EXPECT_EQ(pool_.letters(), "AB");
    // Codes outside the letters still draw without reaching outside anything.
    LetterPool bare(nullptr, nullptr, nullptr);
    bare.deal("\x01\x7F");
    bare.draw();
    EXPECT_EQ(bare.takeAt(20, 140), '\x01');
}

}  // namespace
}  // namespace wordlark::game
