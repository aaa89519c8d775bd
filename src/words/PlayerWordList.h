// PlayerWordList.h -- the current player's own word list, a text file read after the dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "words/WordBuffer.h"

namespace wordlark::words {

// One read handle on the file save/<player>.dic. Which file is opened follows the current
// player at the moment of opening, so a change of player needs nothing from here.
class PlayerWordList {
public:
    // Returns the current player's name (Windows-1252); an empty or unusable name means
    // there is no list to read or write.
    using NameSource = std::function<std::string()>;

    PlayerWordList(std::string playerFolder, NameSource currentPlayerName);
    ~PlayerWordList();
    PlayerWordList(const PlayerWordList&) = delete;
    PlayerWordList& operator=(const PlayerWordList&) = delete;

    // Opens the current player's file from its start unless a handle is already open.
    // Returns whether a handle is open afterwards; a missing file is simply no list.
    bool openForReading();

    // Reads whitespace-separated tokens until one of the given length (any when 0) made only
    // of the capitals A to Z, and copies it into out. False when nothing is open or the file ends
    // first; the handle then stays open for the caller to close. Tokens longer than kMaxWordLength
    // are skipped.
    bool readWordOfLength(std::size_t length, WordBuffer& out);

    void close();
    bool isOpen() const { return descriptor_ >= 0; }

    // Appends word and a line end to the current player's file, creating it when needed.
    // Closes the read handle first. False (nothing written, *why says why) when there is no
    // usable player name, the word is not 1 to 15 capitals A to Z (what a reading takes back),
    // or the file cannot be written.
    bool appendWord(std::string_view word, std::string* why = nullptr);

    // The position in the file of the token the last successful read returned: 0 for the
    // first token of the file, counting skipped tokens too. Two reads that return the same
    // ordinal have returned the same token, even across a reopening.
    std::uint64_t lastTokenOrdinal() const { return tokensRead_ - 1; }

    // The current player's file, or none when the name is unusable.
    std::optional<std::string> currentPath() const;

    // No list holds more than this: whatever follows is not read. Hand-saved words come
    // nowhere near it; it bounds a scan even when the file is something else entirely.
    static constexpr std::uint64_t kMaxReadBytes = 16u << 20;

private:
    int nextByte()
    {
        if (position_ < filled_) {
            return static_cast<unsigned char>(buffer_[position_++]);
        }
        return refill();
    }
    int refill();

    std::string playerFolder_;
    NameSource currentPlayerName_;
    int descriptor_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t tokensRead_ = 0;
};

}  // namespace wordlark::words
