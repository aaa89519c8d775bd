#include "game/GameHistory.h"

#include <algorithm>

#include "game/HistoryFile.h"

namespace wordlark::game {

GameHistory GameHistory::load(std::string_view playerFolder, std::string_view playerName)
{
    GameHistory history;
    HistoryFile(playerFolder, playerName).read([&history](const HistoryEntry& entry) {
        history.add(entry);
    });
    return history;
}

void GameHistory::add(const HistoryEntry& entry)
{
    playerRatings_.push_back(entry.ratingAfter);
    computerRatings_.push_back(entry.computerRatingAfter);
    const auto bucket = [](std::size_t length) { return std::min(length, kMaxLength); };
    ++wordLengths_[bucket(entry.playerWord.size())];
    ++longestLengths_[bucket(static_cast<std::size_t>(std::max(entry.longest, 0)))];
    if (entry.level >= 1 && entry.level <= kLevels) {
        LevelCounts& counts = levels_[static_cast<std::size_t>(entry.level)];
        switch (entry.result) {
            case HistoryResult::Victory:
                ++counts.victories;
                break;
            case HistoryResult::Defeat:
                ++counts.defeats;
                break;
            case HistoryResult::Tie:
                ++counts.ties;
                break;
        }
    }
    if (entry.playerWord.size() > longestWord_.size()) {
        longestWord_ = entry.playerWord;
        longestWordTime_ = entry.time;
    }
    currentRun_ = entry.result == HistoryResult::Victory ? currentRun_ + 1 : 0;
    bestRun_ = std::max(bestRun_, currentRun_);
}

const GameHistory::LevelCounts& GameHistory::level(std::int32_t level) const
{
    static const LevelCounts none;
    if (level < 1 || level > kLevels) {
        return none;
    }
    return levels_[static_cast<std::size_t>(level)];
}

}  // namespace wordlark::game
