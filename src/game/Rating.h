// Rating.h -- how a verdict moves the ratings: expected score from the rating difference.
#pragma once

#include <cstdint>

namespace wordlark::game {

// A verdict from the player's side; the value is the score in half points.
enum class Outcome : int {
    Defeat = 0,
    Tie = 1,
    Victory = 2,
};

// The player's rating change: 16 x (score - expected score), truncated toward zero, where a
// difference of 100 points is one standard deviation of the normal distribution and
// differences beyond 300 count as 300. At most 15 points either way.
std::int32_t ratingChange(std::int32_t playerRating, std::int32_t computerRating, Outcome outcome);

}  // namespace wordlark::game
