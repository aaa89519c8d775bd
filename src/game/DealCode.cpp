#include "game/DealCode.h"

#include <algorithm>
#include <utility>

namespace wordlark::game {

namespace {

constexpr char kJoker = '[';

void say(std::string* why, std::string text)
{
    if (why != nullptr) {
        *why = std::move(text);
    }
}

}  // namespace

std::optional<DealCode> DealCode::parse(std::string_view typed, std::string* why)
{
    std::string letters;
    bool joker = false;
    for (const char c : typed) {
        if (c == ' ' || c == '-') {
            continue;
        }
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper == '?') {
            if (joker) {
                say(why, "a code has at most one ?");
                return std::nullopt;
            }
            joker = true;
        } else if (upper >= 'A' && upper <= 'Z') {
            // Counted before it is kept, so that a huge paste costs nothing.
            if (letters.size() == kSymbols) {
                say(why, "a code has twelve letters, not more");
                return std::nullopt;
            }
            letters += upper;
        } else {
            say(why, "a code holds only the letters A to Z and ?");
            return std::nullopt;
        }
    }
    if (letters.size() + (joker ? 1 : 0) != kSymbols) {
        say(why, letters.size() + (joker ? 1 : 0) > kSymbols ? "a code has twelve letters, not more"
                                                             : "a code has twelve letters");
        return std::nullopt;
    }
    if (joker) {
        letters += kJoker;
    }
    return DealCode(std::move(letters));
}

std::optional<DealCode> DealCode::fromLetters(std::string_view letters)
{
    if (letters.size() != kSymbols) {
        return std::nullopt;
    }
    const bool valid =
        std::all_of(letters.begin(), letters.end() - 1,
                    [](char c) { return c >= 'A' && c <= 'Z'; }) &&
        ((letters.back() >= 'A' && letters.back() <= 'Z') || letters.back() == kJoker);
    if (!valid) {
        return std::nullopt;
    }
    return DealCode(std::string(letters));
}

std::string DealCode::text() const
{
    std::string text = letters_;
    std::replace(text.begin(), text.end(), kJoker, '?');
    return text;
}

}  // namespace wordlark::game
