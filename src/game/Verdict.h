// Verdict.h -- recording a verdict: counts, both ratings, match points, the saved record.
#pragma once

#include <string>
#include <string_view>

#include "game/GameState.h"
#include "game/Scores.h"

namespace wordlark::game {

// Each counts the verdict in state.currentPlayer, moves the player's and the computer's
// ratings by ratingChange (a rating pushed below 0 by the verdict stops at 0, while the
// changes in scores keep the computed value), adds the match points, then saves the record
// under playerFolder and refreshes scores.bestOtherRating. False when the record could not
// be saved (*why says why): it stays in memory and the next verdict writes it again.
bool recordVictory(GameState& state, Scores& scores, std::string_view playerFolder,
                   std::string* why = nullptr);
bool recordDefeat(GameState& state, Scores& scores, std::string_view playerFolder,
                  std::string* why = nullptr);
bool recordTie(GameState& state, Scores& scores, std::string_view playerFolder,
               std::string* why = nullptr);

}  // namespace wordlark::game
