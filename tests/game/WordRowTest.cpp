#include "game/WordRow.h"

#include <gtest/gtest.h>

#include "panels/RecordingImage.h"

namespace wordlark::game {
namespace {

using panels::test::DrawCall;
using panels::test::RecordingArchive;
using panels::test::RecordingImage;

constexpr char J = kJokerCode;
// A point in column c of the player's row (bottom 258).
constexpr std::int32_t columnX(std::int32_t c)
{
    return 20 + 42 * c;
}
constexpr std::int32_t kRowY = 240;

class WordRowTest : public ::testing::Test {
protected:
    RecordingArchive archive_;
    RecordingImage letters_{archive_.archive(), 27};
    RecordingImage mark_{archive_.archive(), 1};
    WordRow row_{&letters_, &mark_, kPlayerRowTop};

    void build(std::string_view word)
    {
        for (char c : word) {
            ASSERT_EQ(row_.append(c), c);
        }
    }
};

TEST_F(WordRowTest, TakingTilesKeepsTheJokerInPlace)
{
    EXPECT_EQ(row_.baseY(), 258);
    // C, A, T with the A being the joker.
    build("C");
    row_.appendAsJoker('A');
    build("T");
    EXPECT_EQ(row_.jokerIndex(), 1);
    EXPECT_EQ(row_.word(), "CAT");
    EXPECT_TRUE(row_.isJokerAt(columnX(1), kRowY));
    EXPECT_FALSE(row_.isJokerAt(columnX(0), kRowY));
    // Outside the band nothing is taken.
    EXPECT_EQ(row_.takeAt(columnX(0), 215), 0);
    EXPECT_EQ(row_.takeAt(columnX(0), 259), 0);
    EXPECT_EQ(row_.takeAt(columnX(3), kRowY), 0);
    // Column 0 gives C and shifts the joker left.
    EXPECT_EQ(row_.takeAt(columnX(0), 216), 'C');
    EXPECT_EQ(row_.word(), "AT");
    EXPECT_EQ(row_.jokerIndex(), 0);
    // The joker's tile goes back as the joker code, whatever letter it stood for.
    EXPECT_EQ(row_.takeAt(columnX(0), 258), J);
    EXPECT_EQ(row_.jokerIndex(), -1);
    EXPECT_EQ(row_.word(), "T");
    // A tile after the joker leaves its index alone.
    row_.appendAsJoker('Q');
    build("S");
    EXPECT_EQ(row_.takeAt(columnX(2), kRowY), 'S');
    EXPECT_EQ(row_.jokerIndex(), 1);
}

TEST_F(WordRowTest, RemovingFromEitherEnd)
{
    // C, A with the joker at 1: the last tile is the joker.
    build("C");
    build(std::string(1, J));
    row_.setJokerLetter('A');
    EXPECT_EQ(row_.word(), "CA");
    EXPECT_EQ(row_.removeLast(), J);
    EXPECT_EQ(row_.jokerIndex(), -1);
    EXPECT_EQ(row_.removeLast(), 'C');
    EXPECT_EQ(row_.removeLast(), 0);
    EXPECT_EQ(row_.removeFirst(), 0);

    // From the front: the joker at 0 answers the joker code; one behind it moves up.
    build(std::string(1, J) + "XY");
    EXPECT_EQ(row_.jokerIndex(), 0);
    EXPECT_EQ(row_.removeFirst(), J);
    EXPECT_EQ(row_.jokerIndex(), -1);
    row_.setJokerLetter('Z');  // no joker: nothing changes
    EXPECT_EQ(row_.word(), "XY");
    row_.appendAsJoker('E');
    EXPECT_EQ(row_.removeFirst(), 'X');
    EXPECT_EQ(row_.jokerIndex(), 1);
    EXPECT_EQ(row_.word(), "YE");
}

TEST_F(WordRowTest, FullOrDisabledRowsRefuse)
{
    build("ABCDEFGHIJKL");
    EXPECT_EQ(row_.append('M'), 0);
    row_.appendAsJoker('M');
    EXPECT_EQ(row_.word(), "ABCDEFGHIJKL");
    EXPECT_EQ(row_.jokerIndex(), -1);

    row_.setEnabled(false);
    row_.setWord(std::string("AB") + J);
    EXPECT_EQ(row_.jokerIndex(), 2);  // setting the word ignores the flag
    EXPECT_EQ(row_.append('C'), 0);
    EXPECT_EQ(row_.takeAt(columnX(0), kRowY), 0);
    EXPECT_FALSE(row_.isJokerAt(columnX(2), kRowY));
    EXPECT_EQ(row_.removeFirst(), 0);
    EXPECT_EQ(row_.removeLast(), 0);
    row_.setJokerLetter('Q');
    EXPECT_EQ(row_.word(), std::string("AB") + J);
}

TEST_F(WordRowTest, SetWordBoundsAndJokerPlace)
{
    WordRow computer(&letters_, &mark_, kComputerRowTop);
    computer.setWord("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(computer.word(), "ABCDEFGHIJKL");
    EXPECT_EQ(computer.jokerIndex(), -1);
    // The last joker code marks the place; a word without one keeps a place that still fits.
    computer.setWord(std::string(1, J) + "A" + J);
    EXPECT_EQ(computer.jokerIndex(), 2);
    computer.setWord("ABC");
    EXPECT_EQ(computer.jokerIndex(), 2);
    computer.setWord("A");
    EXPECT_EQ(computer.jokerIndex(), -1);
    EXPECT_EQ(computer.takeAt(columnX(0), 354), 'A');
}

TEST_F(WordRowTest, DrawsTilesAndTheJokerMark)
{
    build("CA");
    row_.appendAsJoker('?');  // a joker still waiting for its letter
    row_.draw();
    ASSERT_EQ(letters_.draws.size(), 3U);
    EXPECT_EQ(letters_.draws[0], (DrawCall{2, 37, 258}));
    EXPECT_EQ(letters_.draws[1], (DrawCall{0, 79, 258}));
    // Not yet an A: the joker tile itself until its letter is chosen.
    EXPECT_EQ(letters_.draws[2], (DrawCall{26, 121, 258}));
    ASSERT_EQ(mark_.draws.size(), 1U);
    EXPECT_EQ(mark_.draws[0], (DrawCall{0, 48 + 84, 236}));
}

}  // namespace
}  // namespace wordlark::game
