#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "game/Rating.h"

namespace wordlark::game {
namespace {

struct Example {
    std::int32_t player, computer;
    std::int32_t victory, tie, defeat;
};

TEST(Rating, ChangesFollowTheNormalTable)
{
    const Example examples[] = {
        {100, 100, 8, 0, -8},   {0, 100, 13, 5, -2},  {200, 100, 2, -5, -13},
        {150, 100, 4, -3, -11}, {105, 100, 7, 0, -8}, {0, 400, 15, 7, 0},
        {0, 5000, 15, 7, 0},    {400, 0, 0, -7, -15}, {95, 100, 8, 0, -7},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(testing::Message() << e.player << " against " << e.computer);
        EXPECT_EQ(ratingChange(e.player, e.computer, Outcome::Victory), e.victory);
        EXPECT_EQ(ratingChange(e.player, e.computer, Outcome::Tie), e.tie);
        EXPECT_EQ(ratingChange(e.player, e.computer, Outcome::Defeat), e.defeat);
    }
}

TEST(Rating, NoDifferenceMovesMoreThanFifteen)
{
    constexpr std::int32_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t high = std::numeric_limits<std::int32_t>::max();
    for (const auto& [a, b] : {std::pair{low, high}, std::pair{high, low}, std::pair{0, 300},
                               std::pair{299, 0}, std::pair{-7, 1000000}}) {
        for (const Outcome outcome : {Outcome::Victory, Outcome::Tie, Outcome::Defeat}) {
            const std::int32_t change = ratingChange(a, b, outcome);
            EXPECT_GE(change, -15) << a << " " << b;
            EXPECT_LE(change, 15) << a << " " << b;
        }
    }
    // Interpolated between table rows: 35 points is halfway between 0.11791 and 0.15542.
    EXPECT_EQ(ratingChange(0, 35, Outcome::Tie), 2);  // 16 x 0.136665 = 2.19
    EXPECT_EQ(ratingChange(0, 299, Outcome::Victory), 15);
}

}  // namespace
}  // namespace wordlark::game
