#include "game/GameState.h"

#include <algorithm>
#include <limits>

namespace wordlark::game {

void GameState::setLevel(std::int32_t level)
{
    currentLevel = level;
    // A level read from a damaged record file may be anything; the rating must not overflow.
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    computerRating = static_cast<std::int32_t>(std::clamp(std::int64_t{100} * level, low, high));
}

}  // namespace wordlark::game
