#include "words/WordSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/Random.h"
#include "words/Dictionary.h"
#include "words/PlayerWordList.h"
#include "words/UsedWordList.h"

namespace wordlark::words {

namespace {

// The letters of a set as counts per byte, so that a word is judged in one walk over its
// characters. Spending an exact letter before a joker gives the same yes or no as taking
// the first free position of each: only the number of each letter matters.
class LetterBag {
public:
    explicit LetterBag(std::string_view letters)
    {
        for (const char c : letters) {
            ++counts_[static_cast<unsigned char>(c)];
        }
    }

    static constexpr auto kJokerByte = static_cast<unsigned char>(kJoker);

    // Takes the letter c, or else a joker.
    bool spend(unsigned char c)
    {
        if (counts_[c] == 0) {
            c = kJokerByte;
            if (counts_[c] == 0) {
                return false;
            }
        }
        --counts_[c];
        return true;
    }

    // Spends the letters of word; false as soon as one character finds neither its letter
    // nor a joker. The bag is changed either way.
    bool take(const char* word, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i) {
            if (!spend(static_cast<unsigned char>(word[i]))) {
                return false;
            }
        }
        return true;
    }

    // Whether word fits, leaving the bag as it was for the next word. At most a stored
    // word's length.
    bool fits(const char* word, std::size_t length)
    {
        std::array<unsigned char, kMaxWordLength> spent;
        std::size_t taken = 0;
        while (taken < length && taken < kMaxWordLength) {
            const auto c = static_cast<unsigned char>(word[taken]);
            const unsigned char used = counts_[c] != 0 ? c : kJokerByte;
            if (!spend(c)) {
                break;
            }
            spent[taken++] = used;
        }
        for (std::size_t i = 0; i < taken; ++i) {
            ++counts_[spent[i]];
        }
        return taken == length;
    }

private:
    std::array<std::uint32_t, 256> counts_{};
};

// The length of a record's word: up to its first NUL, at most kMaxWordLength (a record
// without a NUL reads as its first 15 bytes, as everywhere else). This is the inner loop of
// the computer's pass, hence the word-at-a-time NUL search.
std::size_t recordLength(const std::uint8_t* record)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
        // 0x80 in every byte that is zero, exactly (no borrow between bytes).
        const auto zeroBytes = [](std::uint64_t v) { return ~(((v & low7) + low7) | v | low7); };
        std::uint64_t half;
        std::memcpy(&half, record, sizeof half);
        if (const std::uint64_t zeros = zeroBytes(half); zeros != 0) {
            return static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
        }
        std::memcpy(&half, record + 8, sizeof half);
        if (const std::uint64_t zeros = zeroBytes(half); zeros != 0) {
            return std::min(8 + static_cast<std::size_t>(std::countr_zero(zeros)) / 8,
                            kMaxWordLength);
        }
        return kMaxWordLength;
    } else {
        const void* nul = std::memchr(record, 0, kMaxWordLength);
        return nul == nullptr ? kMaxWordLength : static_cast<const std::uint8_t*>(nul) - record;
    }
}

// rand() * count / 32768 in integer arithmetic wide enough for any count.
std::uint32_t randomRecord(platform::Random& random, std::uint32_t count)
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(random.next()) * count / 32768);
}

// The deal patterns: the word lengths a set is made of, one row each, 0 for no word.
constexpr int kPatternRows = 6;
constexpr int kPatternWords = 4;
constexpr std::size_t kPatterns[kPatternRows][kPatternWords] = {
    {7, 3, 3, 0}, {4, 4, 4, 0}, {3, 3, 3, 3}, {3, 4, 5, 0}, {3, 6, 3, 0}, {6, 6, 0, 0},
};

// Rows tried before the deal gives up on the patterns. Only a word list that lacks a
// pattern's length ever fails a row, so normal play never comes near this.
constexpr int kMaxRowAttempts = 256;

// Draws for one place of the shuffle before the first free place is taken instead. With
// twelve places the chance of ever reaching it is below 1e-37; it only makes the end certain.
constexpr int kMaxPlaceDraws = 1000;

// One pass of the computer's search over the records [first, last).
struct PassState {
    LetterBag& bag;
    const UsedWordList& used;
    std::size_t maxLength;  // the smaller of `longest` and the set's size
    std::size_t longest;
    std::size_t found = 0;  // length of out
    WordBuffer& out;

    // Takes word when it is a better answer; true when it has the wanted length and the
    // pass can stop.
    bool consider(const char* word, std::size_t length)
    {
        if (length <= found || length > maxLength || !bag.fits(word, length) ||
            used.contains(std::string_view(word, length))) {
            return false;
        }
        std::memcpy(out, word, length);
        out[length] = '\0';
        found = length;
        return length == longest;
    }

    bool records(const std::uint8_t* records, std::uint32_t first, std::uint32_t last)
    {
        const std::uint8_t* record = records + static_cast<std::size_t>(first) * kWordSize;
        for (std::uint32_t i = first; i < last; ++i, record += kWordSize) {
            const std::size_t length = recordLength(record);
            if (length > found && length <= maxLength &&
                consider(reinterpret_cast<const char*>(record), length)) {
                return true;
            }
        }
        return false;
    }

    bool playerList(PlayerWordList& list)
    {
        // The whole list, whatever an earlier scan left open part-way: a word the player
        // saved must be able to answer from any start.
        list.close();
        if (!list.openForReading()) {
            return false;
        }
        WordBuffer word;
        while (list.readWordOfLength(0, word)) {
            if (consider(word, std::strlen(word))) {
                return true;
            }
        }
        list.close();
        return false;
    }
};

}  // namespace

bool canMake(std::string_view letters, std::string_view word)
{
    if (word.size() > letters.size()) {
        return false;
    }
    LetterBag bag(letters);
    return bag.take(word.data(), word.size());
}

bool pickWordOfLength(Dictionary& dictionary, platform::Random& random, std::size_t length,
                      WordBuffer& out)
{
    dictionary.setSearchCursor(randomRecord(random, dictionary.count()));
    if (!dictionary.nextWordOfLength(length, out)) {
        return false;
    }
    // Skip forward with probability (139 - 10 x length) / 140 each time. A further step
    // that finds nothing leaves out as it was, still a word of that length.
    for (int x = random.next() * 140 / 32768; static_cast<std::size_t>(x) > 10 * length;
         x = random.next() * 140 / 32768) {
        dictionary.nextWordOfLength(length, out);
    }
    return true;
}

void dealLetters(Dictionary& dictionary, platform::Random& random, LetterSet& out)
{
    WordBuffer slots[kPatternWords];
    // Lengths known to exist nowhere: a pick failed on them from a closed player's list,
    // that is after a full circle over the records and the whole list.
    std::array<bool, kWordSize + 1> missing{};
    const auto rowFails = [&missing](int row) {
        return std::any_of(std::begin(kPatterns[row]), std::end(kPatterns[row]),
                           [&missing](std::size_t length) { return missing[length]; });
    };
    const auto fillRow = [&](int row) {
        for (int slot = 0; slot < kPatternWords; ++slot) {
            slots[slot][0] = '\0';
        }
        for (int slot = 0; slot < kPatternWords; ++slot) {
            const std::size_t length = kPatterns[row][slot];
            if (length == 0) {
                continue;
            }
            // A list left open part-way by an earlier pick can hide the only words of a
            // length; such a failure proves nothing and the row is simply tried again.
            const bool wholeCircle = !dictionary.playerList().isOpen();
            if (!pickWordOfLength(dictionary, random, length, slots[slot])) {
                missing[length] = missing[length] || wholeCircle;
                return false;
            }
        }
        return true;
    };

    bool filled = false;
    int row = random.next() % kPatternRows;
    for (int attempt = 0; attempt < kMaxRowAttempts; ++attempt) {
        if (!rowFails(row)) {
            filled = fillRow(row);
            if (filled) {
                break;
            }
            if (!rowFails(row)) {
                continue;  // the same row again
            }
        }
        bool anyRowLeft = false;
        for (int other = 0; other < kPatternRows; ++other) {
            anyRowLeft = anyRowLeft || !rowFails(other);
        }
        if (!anyRowLeft) {
            break;
        }
        row = random.next() % kPatternRows;
    }

    // The row's words joined: only the first twelve letters are dealt, so row 0 loses the
    // last letter of its third word.
    char joined[kLetterSetSize];
    std::size_t size = 0;
    for (const WordBuffer& slot : slots) {
        for (std::size_t i = 0; filled && slot[i] != '\0' && size < kLetterSetSize; ++i) {
            joined[size++] = slot[i];
        }
    }
    if (size == kLetterSetSize) {
        // Each place draws positions until one not yet taken: a random permutation.
        std::array<bool, kLetterSetSize> taken{};
        for (std::size_t place = 0; place < kLetterSetSize; ++place) {
            int p = random.next() % static_cast<int>(kLetterSetSize);
            for (int draws = 1; taken[p]; ++draws) {
                p = draws < kMaxPlaceDraws
                        ? random.next() % static_cast<int>(kLetterSetSize)
                        : static_cast<int>(std::find(taken.begin(), taken.end(), false) -
                                           taken.begin());
            }
            taken[p] = true;
            out[place] = joined[p];
        }
    } else {
        for (std::size_t place = 0; place < kLetterSetSize; ++place) {
            out[place] = static_cast<char>('A' + random.next() % 26);
        }
    }
    if (random.next() % 20 == 0) {
        out[kLetterSetSize - 1] = kJoker;
    }
    out[kLetterSetSize] = '\0';
}

void findComputerWord(Dictionary& dictionary, platform::Random& random, const UsedWordList& used,
                      std::string_view letters, WordBuffer& out, int longest)
{
    out[0] = '\0';
    LetterBag bag(letters);
    const std::uint8_t* records = dictionary.records();
    const std::uint32_t count = records == nullptr ? 0 : dictionary.count();
    bool searching = true;
    while (longest > 1) {
        const std::uint32_t start = randomRecord(random, count);
        if (!searching) {
            // A pass that found nothing at `longest` finds nothing at any shorter limit
            // either: what remains is drawing the starts the passes would have drawn.
            --longest;
            continue;
        }
        const auto wanted = static_cast<std::size_t>(longest);
        PassState pass{
            bag, used, std::min({wanted, letters.size(), kMaxWordLength}), wanted, std::strlen(out),
            out};
        if (count == 0) {
            pass.playerList(dictionary.playerList());
        } else {
            // The records after start, the player's list, then the records up to start.
            if (!pass.records(records, start + 1, count) &&
                !pass.playerList(dictionary.playerList())) {
                pass.records(records, 0, start + 1);
            }
        }
        if (pass.found == wanted) {
            break;
        }
        --longest;
        if (pass.found != 0) {
            break;
        }
        searching = false;
    }
    dictionary.playerList().close();
}

std::vector<std::string> makeableWords(Dictionary& dictionary, std::string_view letters)
{
    std::vector<std::string> words;
    LetterBag bag(letters);
    WordBuffer word;
    for (bool more = dictionary.firstWord(word); more; more = dictionary.nextWord(word)) {
        const std::size_t length = std::strlen(word);
        if (length <= letters.size() && bag.fits(word, length)) {
            words.emplace_back(word, length);
        }
    }
    return words;
}

std::size_t longestMakeableLength(Dictionary& dictionary, std::string_view letters)
{
    std::size_t longest = 0;
    LetterBag bag(letters);
    WordBuffer word;
    for (bool more = dictionary.firstWord(word); more; more = dictionary.nextWord(word)) {
        const std::size_t length = std::strlen(word);
        if (length > longest && length <= letters.size() && bag.fits(word, length)) {
            longest = length;
        }
    }
    return longest;
}

}  // namespace wordlark::words
