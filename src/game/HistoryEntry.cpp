#include "game/HistoryEntry.h"

#include <array>
#include <cstdio>
#include <limits>

namespace wordlark::game {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr char kJoker = '[';
constexpr std::size_t kLetters = 12;
constexpr std::size_t kMaxWord = 15;
constexpr std::int32_t kMaxLevel = 99;
// The daily deal of 9999-12-31.
constexpr std::int32_t kMaxDaily = 2912443;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back: eras of 400
// years, each starting on the 1st of March so that the leap day ends the year.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

bool isCapitals(std::string_view word)
{
    for (const char c : word) {
        if (c < 'A' || c > 'Z') {
            return false;
        }
    }
    return true;
}

// A decimal number of digits only (no sign, no spaces) within [low, high]. A field has one
// spelling per number, as the game writes it, without leading zeros; a date's parts have their
// fixed widths instead.
template <typename T>
std::optional<T> number(std::string_view text, T low, T high, bool fixedWidth = false)
{
    if (text.empty() || text.size() > 10 || (!fixedWidth && text.size() > 1 && text[0] == '0')) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) {
        return std::nullopt;
    }
    return static_cast<T>(value);
}

std::optional<std::int32_t> rating(std::string_view text)
{
    return number<std::int32_t>(text, 0, std::numeric_limits<std::int32_t>::max());
}

}  // namespace

std::string_view resultName(HistoryResult result)
{
    switch (result) {
        case HistoryResult::Victory:
            return "victory";
        case HistoryResult::Tie:
            return "tie";
        case HistoryResult::Defeat:
            break;
    }
    return "defeat";
}

std::string formatUtcTime(std::int64_t seconds)
{
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(days, year, month, day);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<long long>(year), month, day, static_cast<int>(rest / 3600),
                  static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

std::optional<std::int64_t> parseUtcTime(std::string_view text)
{
    // Exactly YYYY-MM-DDTHH:MM:SSZ.
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    const auto year = number<int>(text.substr(0, 4), 1970, 9999, true);
    const auto month = number<unsigned>(text.substr(5, 2), 1, 12, true);
    const auto day = number<unsigned>(text.substr(8, 2), 1, 31, true);
    const auto hour = number<int>(text.substr(11, 2), 0, 23, true);
    const auto minute = number<int>(text.substr(14, 2), 0, 59, true);
    const auto second = number<int>(text.substr(17, 2), 0, 59, true);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    const std::int64_t days = daysFromCivil(*year, *month, *day);
    // 31 February is not a date: it must come back as the day it was written.
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    civilFromDays(days, y, m, d);
    if (y != *year || m != *month || d != *day) {
        return std::nullopt;
    }
    return days * kSecondsPerDay + *hour * 3600 + *minute * 60 + *second;
}

std::string formatHistoryLine(const HistoryEntry& entry)
{
    std::string letters = entry.letters;
    for (char& c : letters) {
        if (c == kJoker) {
            c = '?';
        }
    }
    std::string line = formatUtcTime(entry.time);
    const auto field = [&line](std::string_view text) {
        line += '\t';
        line += text;
    };
    field(letters);
    field(std::to_string(entry.level));
    field(entry.playerWord);
    field(entry.computerWord);
    field(resultName(entry.result));
    field(std::to_string(entry.ratingBefore));
    field(std::to_string(entry.ratingAfter));
    field(std::to_string(entry.computerRatingBefore));
    field(std::to_string(entry.computerRatingAfter));
    field(std::to_string(entry.longest));
    field(entry.daily ? std::to_string(*entry.daily) : std::string());
    line += '\n';
    return line;
}

std::optional<HistoryEntry> parseHistoryLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.size() > kMaxHistoryLine) {
        return std::nullopt;
    }
    constexpr std::size_t kFields = 12;
    std::array<std::string_view, kFields> fields;
    std::size_t count = 0;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        if (count == kFields) {
            return std::nullopt;
        }
        fields[count++] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    if (count < kFields - 1) {
        return std::nullopt;
    }
    HistoryEntry entry;
    const auto time = parseUtcTime(fields[0]);
    // Capitals, the last perhaps the joker, written '?'.
    const std::string_view dealt = fields[1];
    const bool lettersValid = dealt.size() == kLetters &&
                              isCapitals(dealt.substr(0, kLetters - 1)) &&
                              (isCapitals(dealt.substr(kLetters - 1)) || dealt.back() == '?');
    std::string letters(dealt);
    for (char& c : letters) {
        if (c == '?') {
            c = kJoker;
        }
    }
    const auto level = number<std::int32_t>(fields[2], 0, kMaxLevel);
    const auto ratingBefore = rating(fields[6]);
    const auto ratingAfter = rating(fields[7]);
    const auto computerBefore = rating(fields[8]);
    const auto computerAfter = rating(fields[9]);
    const auto longest = number<std::int32_t>(fields[10], 0, static_cast<std::int32_t>(kMaxWord));
    std::optional<std::int32_t> daily;
    if (count == kFields && !fields[11].empty()) {
        daily = number<std::int32_t>(fields[11], 1, kMaxDaily);
        if (!daily) {
            return std::nullopt;
        }
    }
    if (!time || !lettersValid || !level || fields[3].size() > kMaxWord || !isCapitals(fields[3]) ||
        fields[4].size() > kMaxWord || !isCapitals(fields[4]) || !ratingBefore || !ratingAfter ||
        !computerBefore || !computerAfter || !longest) {
        return std::nullopt;
    }
    if (fields[5] == "victory") {
        entry.result = HistoryResult::Victory;
    } else if (fields[5] == "defeat") {
        entry.result = HistoryResult::Defeat;
    } else if (fields[5] == "tie") {
        entry.result = HistoryResult::Tie;
    } else {
        return std::nullopt;
    }
    entry.time = *time;
    entry.letters = std::move(letters);
    entry.level = *level;
    entry.playerWord = fields[3];
    entry.computerWord = fields[4];
    entry.ratingBefore = *ratingBefore;
    entry.ratingAfter = *ratingAfter;
    entry.computerRatingBefore = *computerBefore;
    entry.computerRatingAfter = *computerAfter;
    entry.longest = *longest;
    entry.daily = daily;
    return entry;
}

}  // namespace wordlark::game
