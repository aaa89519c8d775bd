// DealCode.h -- a deal written as twelve symbols, to replay it or give it to someone else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wordlark::game {

// The twelve letters of a deal as they were dealt, the joker (if any) last. Written as the
// letters with '?' for the joker: "RMMAEUSIBKS?".
class DealCode {
public:
    static constexpr std::size_t kSymbols = 12;

    // A typed code: exactly twelve symbols A to Z (either case) and '?', at most one '?',
    // spaces and dashes ignored. A '?' anywhere is the joker and goes to the end; the other
    // letters keep their order. None, with *why saying what is wrong in a few words, for
    // anything else.
    static std::optional<DealCode> parse(std::string_view typed, std::string* why = nullptr);
    // The code of dealt letters ('[' for the joker); none when they are not a deal.
    static std::optional<DealCode> fromLetters(std::string_view letters);

    // The letters to deal, '[' for the joker.
    const std::string& letters() const { return letters_; }
    // The code as shown and shared.
    std::string text() const;

    bool operator==(const DealCode&) const = default;

private:
    explicit DealCode(std::string letters) : letters_(std::move(letters)) {}

    std::string letters_;
};

// What the command line asks of a run: a first deal, dealt once a player is chosen (these
// letters, or the daily deal), and the day that counts as today for the daily deal.
struct DealRequest {
    std::optional<DealCode> code;
    bool daily = false;
    std::optional<std::int64_t> day;
};

}  // namespace wordlark::game
