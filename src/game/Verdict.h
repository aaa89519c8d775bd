// Verdict.h -- recording a verdict: counts, both ratings, match points, the saved record.
#pragma once

#include <string_view>

#include "game/GameState.h"
#include "game/Scores.h"

namespace wordlark::game {

// Each counts the verdict in state.currentPlayer, moves the player's and the computer's
// ratings by ratingChange (a rating pushed below 0 by the verdict stops at 0, while the
// changes in scores keep the computed value), adds the match points, then saves the record
// under programFolder and refreshes scores.bestOtherRating. A failed save is not reported:
// the record stays in memory and the next verdict writes it again.
void recordVictory(GameState& state, Scores& scores, std::string_view programFolder);
void recordDefeat(GameState& state, Scores& scores, std::string_view programFolder);
void recordTie(GameState& state, Scores& scores, std::string_view programFolder);

}  // namespace wordlark::game
