// DailyDeal.h -- one deal a day, the same letters for everyone who has the same word list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "words/Dictionary.h"

namespace wordlark::archive {
class ArchiveRegistry;
}

namespace wordlark::game {

// Days count from 2026-01-01 (day 0, UTC); the deal of day d is number d + 1. Its letters are
// dealt from the stored words alone, never a player's own list, by the game's own generator
// seeded from the day, so that every system deals the same letters for the same words.
class DailyDeal {
public:
    // 2026-01-01 in days since 1970-01-01.
    static constexpr std::int64_t kFirstDay = 20454;
    // The last day a date can name (9999-12-31).
    static constexpr std::int64_t kLastDay = 2932896 - kFirstDay;

    DailyDeal();

    // Loads the stored words; false when they cannot be read (no daily deal then).
    bool load(archive::ArchiveRegistry& registry);

    // The twelve letters of that day ('[' for the joker); empty before load.
    std::string letters(std::int64_t day);

    // The day of a moment (seconds since 1970-01-01 UTC); days before the first count as it.
    static std::int64_t dayOf(std::int64_t seconds);
    // The day of "YYYY-MM-DD", from 2026-01-01 to 9999-12-31; none for anything else.
    static std::optional<std::int64_t> parseDate(std::string_view text);
    static std::int64_t number(std::int64_t day) { return day + 1; }

    // The player's run of days, from his history, each with a verdict in that day's daily deal
    // given on the day itself (a past day's deal played later does not count), ending today, or
    // yesterday while today's is still to play.
    static std::int64_t streak(std::string_view playerFolder, std::string_view playerName,
                               std::int64_t today);

private:
    words::Dictionary words_;
};

}  // namespace wordlark::game
