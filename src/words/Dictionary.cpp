#include "words/Dictionary.h"

#include <algorithm>
#include <cstring>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"

namespace wordlark::words {

namespace {

constexpr std::string_view kArchiveFile = "vek.heap";
constexpr std::string_view kWordsEntry = "words";

std::size_t recordLength(const std::uint8_t* record)
{
    const void* nul = std::memchr(record, 0, kMaxWordLength);
    return nul == nullptr ? kMaxWordLength : static_cast<const std::uint8_t*>(nul) - record;
}

// The scans' inner test, kept to a byte or two for most records: a word of that length has
// a letter just before the NUL after it. The bytes after a word's NUL are normally NUL too,
// but nothing may assume so, hence the final check for an earlier NUL.
bool recordHasLength(const std::uint8_t* record, std::size_t length)
{
    if (length == 0) {
        return true;
    }
    if (length > kMaxWordLength || record[length - 1] == 0) {
        return false;
    }
    if (length < kMaxWordLength && record[length] != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (record[i] == 0) {
            return false;
        }
    }
    return true;
}

// Copies a record whose word length is known; the bytes after its NUL come along unread.
void copyRecord(const std::uint8_t* record, std::size_t length, WordBuffer& out)
{
    std::memcpy(out, record, kWordSize);
    out[length] = '\0';
}

void copyRecord(const std::uint8_t* record, WordBuffer& out)
{
    copyRecord(record, recordLength(record), out);
}

}  // namespace

Dictionary::Dictionary(std::string playerFolder, PlayerWordList::NameSource currentPlayerName)
    : playerList_(std::move(playerFolder), std::move(currentPlayerName))
{
}

Dictionary::~Dictionary()
{
    // The records belong to the archive; only the file handle is ours.
    playerList_.close();
}

bool Dictionary::load(archive::ArchiveRegistry& registry)
{
    if (records_ != nullptr) {
        return true;
    }
    const auto refuse = [this](std::string why) {
        failure_ = std::move(why);
        return false;
    };
    archive::Archive* archive = registry.openArchive(kArchiveFile, &failure_);
    if (archive == nullptr) {
        return false;
    }
    const std::string where = registry.dataFolder() + std::string(kArchiveFile);
    const archive::DirectoryRecord* entry = archive->findEntry(kWordsEntry);
    if (entry == nullptr) {
        return refuse(where + " holds no word list (entry 'words')");
    }
    if (entry->unpackedSize < kWordSize) {
        return refuse("the word list (entry 'words') of " + where + " holds no whole word");
    }
    std::uint32_t tag = 0;
    const std::uint8_t* data = archive->loadEntry(kWordsEntry, &tag, &failure_);
    if (data == nullptr) {
        return false;
    }
    failure_.clear();
    archive_ = archive;
    records_ = data;
    count_ = entry->unpackedSize / static_cast<std::uint32_t>(kWordSize);
    searchCursor_ = 0;
    listCursor_ = 0;
    playerList_.close();
    return true;
}

void Dictionary::setSearchCursor(std::uint32_t position)
{
    searchCursor_ = std::min(position, count_);
}

std::string_view Dictionary::wordAt(std::uint32_t index) const
{
    if (index >= count_) {
        return {};
    }
    const std::uint8_t* record = records_ + static_cast<std::size_t>(index) * kWordSize;
    return {reinterpret_cast<const char*>(record), recordLength(record)};
}

bool Dictionary::scan(std::size_t length, WordBuffer& out, Position* found)
{
    const std::uint32_t start = searchCursor_;
    std::uint64_t allowance = 2ull * count_;
    for (;;) {
        if (searchCursor_ >= count_) {
            searchCursor_ = count_;
            if (playerList_.openForReading() && playerList_.readWordOfLength(length, out)) {
                if (found != nullptr) {
                    *found = {true, playerList_.lastTokenOrdinal()};
                }
                return true;
            }
            playerList_.close();
            ++wraps_;
            if (count_ == 0) {
                return false;
            }
            searchCursor_ = 0;
            if (start == 0) {
                return false;  // back where this call began: one full circle
            }
        }
        // Records from the cursor up to the start (when the circle ends among the records)
        // or up to the end position.
        std::uint64_t stop = start > searchCursor_ ? start : count_;
        stop = std::min<std::uint64_t>(stop, searchCursor_ + allowance);
        std::uint32_t i = searchCursor_;
        const std::uint8_t* record = records_ + static_cast<std::size_t>(i) * kWordSize;
        while (i < stop && !recordHasLength(record, length)) {
            ++i;
            record += kWordSize;
        }
        if (i < stop) {
            searchCursor_ = i + 1;
            if (length == 0) {
                copyRecord(record, out);
            } else {
                copyRecord(record, length, out);
            }
            if (found != nullptr) {
                *found = {false, i};
            }
            return true;
        }
        allowance -= i - searchCursor_;
        searchCursor_ = i;
        if (searchCursor_ == start || allowance == 0) {
            return false;
        }
    }
}

bool Dictionary::nextWordOfLength(std::size_t length, WordBuffer& out)
{
    return scan(length, out, nullptr);
}

bool Dictionary::isWord(std::string_view word)
{
    // The empty word is never a word; nothing stored is longer than a record or holds a NUL.
    if (word.empty() || word.size() > kMaxWordLength || word.find('\0') != std::string_view::npos) {
        return false;
    }
    // The circle must read the player's list from its start: a handle that an earlier
    // scan left open part-way would hide the words before its position.
    playerList_.close();
    const std::uint32_t wrapsBefore = wraps_;
    WordBuffer candidate;
    Position first;
    Position at;
    bool haveFirst = false;
    while (scan(word.size(), candidate, &at)) {
        if (candidate[0] == word.front() && std::memcmp(candidate, word.data(), word.size()) == 0) {
            return true;
        }
        // Compared by position, not by text: a word stored twice must not end the circle
        // early. The wrap count bounds the walk even if the list changes under us.
        if (!haveFirst) {
            first = at;
            haveFirst = true;
        } else if (at == first || wraps_ - wrapsBefore > 2) {
            return false;
        }
    }
    return false;
}

bool Dictionary::firstWord(WordBuffer& out)
{
    if (count_ == 0) {
        out[0] = '\0';
        return false;
    }
    // The listing reaches the player's list only after every record, so it reads it
    // from the start whatever a search left open.
    playerList_.close();
    copyRecord(records_, out);
    listCursor_ = 1;
    return true;
}

bool Dictionary::nextWord(WordBuffer& out)
{
    if (listCursor_ < count_) {
        copyRecord(records_ + static_cast<std::size_t>(listCursor_) * kWordSize, out);
        ++listCursor_;
        return true;
    }
    listCursor_ = count_;
    if (playerList_.openForReading() && playerList_.readWordOfLength(0, out)) {
        return true;
    }
    playerList_.close();
    return false;
}

}  // namespace wordlark::words
