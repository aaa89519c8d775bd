// HistoryEntry.h -- one verdict of a player's history and its line in save/<name>.his.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wordlark::game {

enum class HistoryResult { Victory, Defeat, Tie };

// One verdict as the history keeps it. Ratings are the values before and after the verdict;
// `longest` is the length of the longest word the letters allowed.
struct HistoryEntry {
    std::int64_t time = 0;  // seconds since 1970-01-01 00:00:00 UTC
    std::string letters;    // the twelve letters as dealt, '[' for the joker
    std::int32_t level = 0;
    std::string playerWord;  // empty for a pass
    std::string computerWord;
    HistoryResult result = HistoryResult::Defeat;
    std::int32_t ratingBefore = 0;
    std::int32_t ratingAfter = 0;
    std::int32_t computerRatingBefore = 0;
    std::int32_t computerRatingAfter = 0;
    std::int32_t longest = 0;
    std::optional<std::int32_t> daily;  // the number of the daily deal; none for another deal

    bool operator==(const HistoryEntry&) const = default;
};

// The longest line a history holds; a longer one is not a verdict and is skipped unread.
inline constexpr std::size_t kMaxHistoryLine = 256;

// The line of an entry, fields separated by tabs, ending in '\n': the time as
// 2026-12-09T07:30:00Z, the letters with '?' for the joker, the level, both words, the result
// ("victory", "defeat" or "tie"), both ratings of the player, both of the computer, longest,
// and the daily deal's number or nothing.
std::string formatHistoryLine(const HistoryEntry& entry);

// The entry of one line (without its '\n'; a '\r' before it is allowed). None when any field
// is missing, extra, malformed or out of range; a line written before deals had numbers, without
// the last field, reads as another deal's.
std::optional<HistoryEntry> parseHistoryLine(std::string_view line);

// "2026-12-09T07:30:00Z" for seconds since the epoch, and back (none for anything else).
std::string formatUtcTime(std::int64_t seconds);
std::optional<std::int64_t> parseUtcTime(std::string_view text);

std::string_view resultName(HistoryResult result);

}  // namespace wordlark::game
