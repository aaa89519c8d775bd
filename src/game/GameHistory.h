// GameHistory.h -- what the progress screen shows of a player's history, gathered in one read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/HistoryEntry.h"

namespace wordlark::game {

// Only the figures the screen draws are kept, not the entries: the two ratings after each
// verdict, counts by length and by level, the longest word and the runs of victories.
class GameHistory {
public:
    static constexpr std::size_t kMaxLength = 12;
    static constexpr std::int32_t kLevels = 10;

    struct LevelCounts {
        std::int64_t victories = 0;
        std::int64_t defeats = 0;
        std::int64_t ties = 0;
    };

    // Reads the player's history (HistoryFile::read); a file that cannot be read gives an
    // empty history.
    static GameHistory load(std::string_view playerFolder, std::string_view playerName);

    // Counts one verdict, the next in time.
    void add(const HistoryEntry& entry);

    std::size_t games() const { return playerRatings_.size(); }
    // After each verdict, oldest first.
    const std::vector<std::int32_t>& playerRatings() const { return playerRatings_; }
    const std::vector<std::int32_t>& computerRatings() const { return computerRatings_; }
    // Games by the length of the player's word and by the longest the letters allowed, index 1
    // to 12 (index 0: passes, or letters that allowed nothing).
    const std::array<std::int64_t, kMaxLength + 1>& wordLengths() const { return wordLengths_; }
    const std::array<std::int64_t, kMaxLength + 1>& longestLengths() const
    {
        return longestLengths_;
    }
    // By level, index 1 to 10; other levels are not counted here.
    const LevelCounts& level(std::int32_t level) const;
    // The first of the longest words played, and when; empty when every game was passed.
    const std::string& longestWord() const { return longestWord_; }
    std::int64_t longestWordTime() const { return longestWordTime_; }
    std::int64_t currentRun() const { return currentRun_; }
    std::int64_t bestRun() const { return bestRun_; }

private:
    std::vector<std::int32_t> playerRatings_;
    std::vector<std::int32_t> computerRatings_;
    std::array<std::int64_t, kMaxLength + 1> wordLengths_{};
    std::array<std::int64_t, kMaxLength + 1> longestLengths_{};
    std::array<LevelCounts, kLevels + 1> levels_{};
    std::string longestWord_;
    std::int64_t longestWordTime_ = 0;
    std::int64_t currentRun_ = 0;
    std::int64_t bestRun_ = 0;
};

}  // namespace wordlark::game
