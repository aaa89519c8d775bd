// Scores.h -- the game screen's score fields: last changes, match points, best other rating.
#pragma once

#include <cstdint>

namespace wordlark::game {

// Owned by the game screen and shown there; the verdicts and the player and level choices
// change them.
struct Scores {
    std::int32_t playerChange = 0;      // the player's rating change of the last verdict
    std::int32_t computerChange = 0;    // the computer's rating change of the last verdict
    std::uint32_t bestOtherRating = 0;  // the highest rating among the other players' files
    // Match points since the player or the level was last chosen: 3 for a win, 1 for a tie.
    std::int32_t playerPoints = 0;
    std::int32_t computerPoints = 0;

    void clearPoints()
    {
        playerPoints = 0;
        computerPoints = 0;
    }
};

}  // namespace wordlark::game
