// PlayerRecord.h -- a player's name, password, rating, level and game counts (540 bytes).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace wordlark::game {

// The record as the record file stores it: two 256-byte texts, then seven 32-bit signed
// integers. The bytes after each text's NUL are kept as they came, so a record read from a
// file is written back byte for byte.
struct PlayerRecord {
    static constexpr std::size_t kTextSize = 256;
    static constexpr std::size_t kSize = 2 * kTextSize + 7 * 4;

    std::array<char, kTextSize> name{};      // also the stem of the player's file names
    std::array<char, kTextSize> password{};  // empty for none
    std::int32_t rating = 0;                 // never below 0 by the game's own rules
    std::int32_t level = 0;                  // the level this player last chose
    std::int32_t games = 0;                  // deals started
    std::int32_t victories = 0;
    std::int32_t defeats = 0;
    std::int32_t ties = 0;
    std::int32_t reserved = 0;  // zero in new records; carried unchanged

    // The levels the level list offers.
    static constexpr std::int32_t kMinLevel = 1;
    static constexpr std::int32_t kMaxLevel = 10;
    // The largest count or rating a record keeps: far beyond any season of play, and far
    // enough below the 32-bit limit that the game's own additions cannot overflow.
    static constexpr std::int32_t kMaxMagnitude = 1'000'000'000;

    // The record the game starts with: all zero, named "Anonim".
    static PlayerRecord anonymous();

    // Holds the level to the levels offered, the counts to 0..kMaxMagnitude and the rating to
    // +-kMaxMagnitude. A record that passes its checksum may still have been written by other
    // means; nothing in range changes, so a sound record is written back byte for byte.
    void holdInRange();

    // The text up to its NUL (all 256 bytes when a damaged record has none).
    std::string_view nameView() const { return textView(name); }
    std::string_view passwordView() const { return textView(password); }

    // Copies at most 255 bytes and a NUL; the bytes after the NUL stay as they were.
    void setName(std::string_view text) { setText(name, text); }
    void setPassword(std::string_view text) { setText(password, text); }

    // The 540 bytes, field by field, little-endian.
    void toBytes(std::uint8_t* out) const;
    static PlayerRecord fromBytes(const std::uint8_t* in);

    bool operator==(const PlayerRecord&) const = default;

private:
    static std::string_view textView(const std::array<char, kTextSize>& text);
    static void setText(std::array<char, kTextSize>& field, std::string_view text);
};

}  // namespace wordlark::game
