#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>

#include "game/GameState.h"
#include "game/RecordFile.h"
#include "game/Scores.h"
#include "game/Verdict.h"
#include "support/TempDir.h"

namespace wordlark::game {
namespace {

class VerdictTest : public ::testing::Test {
protected:
    VerdictTest()
    {
        std::filesystem::create_directory(dir_.file("save"));
        state_.currentPlayer.setName("Anna");
    }

    // The record as the file now holds it.
    PlayerRecord stored(const char* name = "Anna")
    {
        PlayerRecord record;
        EXPECT_TRUE(decodeRecordFile(dir_.read("save/" + std::string(name) + ".sav"), &record));
        return record;
    }

    test::TempDir dir_;
    GameState state_;
    Scores scores_;
};

TEST_F(VerdictTest, EachVerdictMovesBothRatingsCountsItAndSavesTheRecord)
{
    PlayerRecord other;
    other.setName("Ben");
    other.rating = 450;
    ASSERT_TRUE(saveRecord(dir_.folder(), other));

    state_.setLevel(1);
    state_.currentPlayer.rating = 100;
    recordVictory(state_, scores_, dir_.folder());
    EXPECT_EQ(state_.currentPlayer.rating, 108);
    EXPECT_EQ(state_.computerRating, 92);
    EXPECT_EQ(scores_.playerChange, 8);
    EXPECT_EQ(scores_.computerChange, -8);
    EXPECT_EQ(scores_.bestOtherRating, 450u);
    EXPECT_EQ(stored(), state_.currentPlayer);

    recordTie(state_, scores_, dir_.folder());  // 108 against 92: the favourite gives back 1
    EXPECT_EQ(scores_.playerChange, -1);
    EXPECT_EQ(state_.currentPlayer.rating, 107);
    EXPECT_EQ(state_.computerRating, 93);

    recordDefeat(state_, scores_, dir_.folder());
    EXPECT_EQ(scores_.playerChange, -8);
    EXPECT_EQ(state_.currentPlayer.rating, 99);
    EXPECT_EQ(state_.computerRating, 101);

    const PlayerRecord& player = state_.currentPlayer;
    EXPECT_EQ(player.victories, 1);
    EXPECT_EQ(player.ties, 1);
    EXPECT_EQ(player.defeats, 1);
    EXPECT_EQ(scores_.playerPoints, 4);
    EXPECT_EQ(scores_.computerPoints, 4);
    EXPECT_EQ(stored(), player);
}

TEST_F(VerdictTest, RatingsStopAtZeroWhileTheChangesShowTheFullAmount)
{
    // A player at 5 who loses 8.
    state_.currentPlayer.rating = 5;
    state_.computerRating = 5;
    recordDefeat(state_, scores_, dir_.folder());
    EXPECT_EQ(state_.currentPlayer.rating, 0);
    EXPECT_EQ(scores_.playerChange, -8);
    EXPECT_EQ(state_.computerRating, 13);

    // The computer at 0 loses 2 to a player at 100.
    state_.currentPlayer.rating = 100;
    state_.computerRating = 0;
    recordVictory(state_, scores_, dir_.folder());
    EXPECT_EQ(scores_.computerChange, -2);
    EXPECT_EQ(state_.computerRating, 0);
    // A tie holds both sides: a damaged file's -100 against a computer at 3 moves 5 points.
    state_.currentPlayer.rating = -100;
    state_.computerRating = 3;
    recordTie(state_, scores_, dir_.folder());
    EXPECT_EQ(scores_.playerChange, 5);
    EXPECT_EQ(state_.currentPlayer.rating, 0);
    EXPECT_EQ(state_.computerRating, 0);

    // A player 400 below who loses changes nothing.
    state_.currentPlayer.rating = 0;
    state_.setLevel(4);
    recordDefeat(state_, scores_, dir_.folder());
    EXPECT_EQ(scores_.playerChange, 0);
    EXPECT_EQ(state_.currentPlayer.rating, 0);
    EXPECT_EQ(state_.computerRating, 400);
}

TEST_F(VerdictTest, ExtremeValuesFromAFileNeitherOverflowNorStopTheGame)
{
    constexpr std::int32_t high = std::numeric_limits<std::int32_t>::max();
    PlayerRecord& player = state_.currentPlayer;
    player.rating = high;
    player.victories = high;
    scores_.playerPoints = high - 1;
    recordVictory(state_, scores_, dir_.folder());
    EXPECT_EQ(player.rating, high);
    EXPECT_EQ(player.victories, high);
    EXPECT_EQ(scores_.playerPoints, high);

    state_.setLevel(high);
    EXPECT_EQ(state_.computerRating, high);
    state_.setLevel(3);
    EXPECT_EQ(state_.computerRating, 300);

    // A name that cannot be a file: the verdict still counts, nothing is written.
    player.setName("../Anna");
    recordTie(state_, scores_, dir_.folder());
    EXPECT_EQ(player.ties, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("Anna.sav")));
}

}  // namespace
}  // namespace wordlark::game
