// MatchFinder.h -- LZ77 matching over a sliding window with hash chains, for the encoders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace wordlark::heaptool {

// One step of an LZ77 parse: a literal byte, or a copy of `length` bytes from `distance`
// bytes back (the copy may overlap the bytes it produces).
struct LzToken {
    std::uint16_t length = 0;  // 0 for a literal
    std::uint16_t value = 0;   // the literal byte, or the distance
};

class MatchFinder {
public:
    struct Settings {
        unsigned window = 4096;    // longest distance
        unsigned minLength = 3;    // shortest match worth a token
        unsigned maxLength = 273;  // longest match a token can carry
        unsigned maxChain = 128;   // candidates examined per position
        unsigned farShort = 0;     // shortest matches further back than this are not taken
    };

    MatchFinder(std::span<const std::uint8_t> data, const Settings& settings);

    // The whole input as tokens, with one-step lazy matching: a match is put off by a
    // literal when the next position has a longer one.
    static std::vector<LzToken> parse(std::span<const std::uint8_t> data, const Settings& settings);

    struct Match {
        unsigned length = 0;
        unsigned distance = 0;
    };
    // The longest match for the bytes at pos among the window before it (length 0 when none
    // reaches minLength). Every position before pos must have been inserted.
    Match longest(std::size_t pos) const;
    void insert(std::size_t pos);

private:
    static constexpr unsigned kHashBits = 15;

    unsigned hashAt(std::size_t pos) const;
    unsigned matchLength(std::size_t from, std::size_t pos, unsigned limit) const;

    std::span<const std::uint8_t> data_;
    Settings settings_;
    std::size_t chainMask_;
    std::vector<std::uint32_t> head_;   // hash -> latest position + 1 (0: none)
    std::vector<std::uint32_t> chain_;  // position modulo window -> earlier position + 1
};

}  // namespace wordlark::heaptool
