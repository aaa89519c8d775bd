#include "game/Verdict.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "game/Rating.h"
#include "game/RecordFile.h"

namespace wordlark::game {

namespace {

// Sums of values a record file supplies must not overflow: they stop at the 32-bit limits.
std::int32_t add(std::int32_t value, std::int64_t change)
{
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value + change, low, high));
}

std::int32_t addAtLeastZero(std::int32_t value, std::int64_t change)
{
    return std::max(add(value, change), 0);
}

// What a verdict does besides the rating change. A rating stops at 0 only on the side the
// verdict can push down, both sides for a tie.
struct Rule {
    Outcome outcome;
    bool holdPlayerAtZero;
    bool holdComputerAtZero;
    int playerPoints;
    int computerPoints;
    std::int32_t PlayerRecord::*counter;
};

bool record(const Rule& rule, GameState& state, Scores& scores, std::string_view playerFolder,
            std::string* why)
{
    PlayerRecord& player = state.currentPlayer;
    player.*rule.counter = add(player.*rule.counter, 1);

    const std::int32_t change = ratingChange(player.rating, state.computerRating, rule.outcome);
    scores.playerChange = change;
    player.rating =
        rule.holdPlayerAtZero ? addAtLeastZero(player.rating, change) : add(player.rating, change);
    scores.computerChange = -change;
    state.computerRating = rule.holdComputerAtZero ? addAtLeastZero(state.computerRating, -change)
                                                   : add(state.computerRating, -change);

    scores.playerPoints = add(scores.playerPoints, rule.playerPoints);
    scores.computerPoints = add(scores.computerPoints, rule.computerPoints);

    const bool saved = saveRecord(playerFolder, player, why);
    scores.bestOtherRating = scanBestOtherRating(playerFolder, player.nameView());
    return saved;
}

}  // namespace

bool recordVictory(GameState& state, Scores& scores, std::string_view playerFolder,
                   std::string* why)
{
    return record({Outcome::Victory, false, true, 3, 0, &PlayerRecord::victories}, state, scores,
                  playerFolder, why);
}

bool recordDefeat(GameState& state, Scores& scores, std::string_view playerFolder, std::string* why)
{
    return record({Outcome::Defeat, true, false, 0, 3, &PlayerRecord::defeats}, state, scores,
                  playerFolder, why);
}

bool recordTie(GameState& state, Scores& scores, std::string_view playerFolder, std::string* why)
{
    return record({Outcome::Tie, true, true, 1, 1, &PlayerRecord::ties}, state, scores,
                  playerFolder, why);
}

}  // namespace wordlark::game
