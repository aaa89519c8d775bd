// Dictionary.h -- the game's word list: stored records first, then the player's own words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "words/PlayerWordList.h"
#include "words/WordBuffer.h"

namespace wordlark::archive {
class Archive;
class ArchiveRegistry;
}  // namespace wordlark::archive

namespace wordlark::words {

// Every question is a linear, circular scan: the records in stored order, then the end
// position, where the scan reads the current player's list. No index, no sorting.
class Dictionary {
public:
    // The player's list is save/<name>.dic under playerFolder, for the name that
    // currentPlayerName returns when a scan opens it.
    Dictionary(std::string playerFolder, PlayerWordList::NameSource currentPlayerName);
    virtual ~Dictionary();
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    // Loads the entry "words" of vek.heap, once at start-up. False when the archive cannot
    // be opened or the entry is missing or holds no whole record: the game cannot deal
    // without words, and start-up must say so rather than let a later deal spin.
    bool load(archive::ArchiveRegistry& registry);
    // Why the last load failed, one line for start-up to print: what is wrong with the
    // archive, the word list or, when another entry's damage stopped the archive being read,
    // that entry. Empty after a load that worked.
    const std::string& failure() const { return failure_; }

    // The next word of that length (any when 0) in circular order from the search cursor,
    // records then the player's list; the cursor is left just after it. False after one
    // full circle or 2 x count() record examinations.
    bool nextWordOfLength(std::size_t length, WordBuffer& out);

    // Whether word equals, byte for byte, a record or a token of the player's list. Looks
    // at every candidate at most once and ends after one circle.
    bool isWord(std::string_view word);

    // The listing: record 0, then each later record, then the player's list token by token;
    // nextWord returns false (and closes the list) once the list is exhausted.
    bool firstWord(WordBuffer& out);
    bool nextWord(WordBuffer& out);

    // For the searches that walk the records themselves.
    const std::uint8_t* records() const { return records_; }
    std::uint32_t count() const { return count_; }
    // 0..count(); count() is the end position (the player's list). Larger values are clamped.
    std::uint32_t searchCursor() const { return searchCursor_; }
    void setSearchCursor(std::uint32_t position);
    PlayerWordList& playerList() { return playerList_; }

    // The word of record index (empty past the last record). A record without a NUL in its
    // 16 bytes reads as its first 15.
    std::string_view wordAt(std::uint32_t index) const;

private:
    // Where a scan found a word: a record, or a token of the player's list.
    struct Position {
        bool inList = false;
        std::uint64_t index = 0;  // record index or token ordinal
        bool operator==(const Position&) const = default;
    };

    bool scan(std::size_t length, WordBuffer& out, Position* found);

    archive::Archive* archive_ = nullptr;
    const std::uint8_t* records_ = nullptr;
    std::uint32_t count_ = 0;
    std::uint32_t searchCursor_ = 0;
    std::uint32_t listCursor_ = 0;
    std::uint32_t wraps_ = 0;  // times a scan went from the end position on to record 0
    PlayerWordList playerList_;
    std::string failure_;
};

}  // namespace wordlark::words
