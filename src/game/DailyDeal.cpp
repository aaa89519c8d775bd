#include "game/DailyDeal.h"

#include <set>
#include <string>

#include "game/HistoryEntry.h"
#include "game/HistoryFile.h"
#include "platform/Random.h"
#include "words/WordSearch.h"

namespace wordlark::game {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Neighbouring seeds start the generator on neighbouring values, which would put the deals of
// neighbouring days at neighbouring words: the day is spread over the seed's bits first.
std::uint32_t seedOf(std::int64_t day)
{
    std::uint32_t x = static_cast<std::uint32_t>(day) * 2654435761u + 0x9E3779B9u;
    x ^= x >> 16;
    x *= 0x45D9F3Bu;
    x ^= x >> 16;
    return x;
}

}  // namespace

DailyDeal::DailyDeal() : words_("", nullptr) {}

bool DailyDeal::load(archive::ArchiveRegistry& registry)
{
    return words_.load(registry);
}

std::string DailyDeal::letters(std::int64_t day)
{
    if (words_.count() == 0) {
        return {};
    }
    platform::Random random(seedOf(day));
    words_.setSearchCursor(0);
    words::LetterSet out{};
    words::dealLetters(words_, random, out);
    return std::string(out);
}

std::int64_t DailyDeal::dayOf(std::int64_t seconds)
{
    std::int64_t days = seconds / kSecondsPerDay;
    if (seconds % kSecondsPerDay < 0) {
        --days;
    }
    return days < kFirstDay ? 0 : days - kFirstDay;
}

std::int64_t DailyDeal::streak(std::string_view playerFolder, std::string_view playerName,
                               std::int64_t today)
{
    std::set<std::int64_t> days;
    HistoryFile(playerFolder, playerName).read([&days](const HistoryEntry& entry) {
        if (entry.daily && *entry.daily == number(dayOf(entry.time))) {
            days.insert(*entry.daily - 1);
        }
    });
    std::int64_t day = days.count(today) != 0 ? today : today - 1;
    std::int64_t run = 0;
    while (days.count(day) != 0) {
        ++run;
        --day;
    }
    return run;
}

std::optional<std::int64_t> DailyDeal::parseDate(std::string_view text)
{
    if (text.size() != 10) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> seconds = parseUtcTime(std::string(text) + "T00:00:00Z");
    if (!seconds || *seconds < kFirstDay * kSecondsPerDay) {
        return std::nullopt;
    }
    return *seconds / kSecondsPerDay - kFirstDay;
}

}  // namespace wordlark::game
