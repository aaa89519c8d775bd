#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "platform/Random.h"
#include "support/TempDir.h"
#include "support/TestArchive.h"
#include "words/Dictionary.h"
#include "words/UsedWordList.h"
#include "words/WordSearch.h"

namespace wordlark::words {
namespace {

using Words = std::vector<std::string>;

TEST(CanMake, JokerStandsForExactlyOneMissingLetter)
{
    EXPECT_TRUE(canMake("AAB[", "BAA"));
    EXPECT_TRUE(canMake("AB[", "ABC"));
    EXPECT_FALSE(canMake("AB", "ABC"));
    EXPECT_FALSE(canMake("AB[", "ABCD"));  // one joker, one letter
    EXPECT_TRUE(canMake("A[[", "AXY"));
    EXPECT_FALSE(canMake("AB", "AA"));  // each letter once
    EXPECT_TRUE(canMake("ABC", ""));
    EXPECT_TRUE(canMake("", ""));
    EXPECT_FALSE(canMake("", "A"));
    EXPECT_FALSE(canMake("abc", "ABC"));  // no case folding
    // Exact letters are spent before the joker: laying out A, B from A, joker, B leaves the
    // joker for a third letter, whatever order the set is in.
    for (const char* letters : {"A[B", "[AB", "BA["}) {
        EXPECT_TRUE(canMake(letters, "ABQ")) << letters;
        EXPECT_TRUE(canMake(letters, "QAB")) << letters;
        EXPECT_FALSE(canMake(letters, "ABQQ")) << letters;
    }
    const std::string twelve = "ABCDEFGHIJK[";
    EXPECT_TRUE(canMake(twelve, "ABCDEFGHIJKZ"));
    EXPECT_FALSE(canMake(twelve, "ABCDEFGHIJKZZ"));  // 13 letters never fit 12
    EXPECT_FALSE(canMake("ABCDEFGHIJKL", "ABCDEFGHIJKLA"));
}

class WordSearchTest : public ::testing::Test {
protected:
    WordSearchTest() { std::filesystem::create_directory(dir_.file("save")); }

    void load(const Words& words, const std::string& playerText = {})
    {
        std::vector<std::uint8_t> records(words.size() * kWordSize, 0);
        for (std::size_t i = 0; i < words.size(); ++i) {
            std::memcpy(&records[i * kWordSize], words[i].data(), words[i].size());
        }
        test::writeArchive(dir_, "vek.heap", {{"words", "wrds", records}});
        if (!playerText.empty()) {
            dir_.writeText("save/ANNA.dic", playerText);
        }
        ASSERT_TRUE(dictionary_.load(registry_));
    }

    std::string computerWord(const std::string& letters, int longest)
    {
        WordBuffer out;
        std::strcpy(out, "GARBAGE");
        findComputerWord(dictionary_, random_, used_, letters, out, longest);
        return out;
    }

    std::string deal()
    {
        LetterSet letters;
        dealLetters(dictionary_, random_, letters);
        EXPECT_EQ(std::strlen(letters), kLetterSetSize);
        return letters;
    }

    test::TempDir dir_;
    std::string player_ = "ANNA";
    archive::ArchiveRegistry registry_{dir_.folder()};
    Dictionary dictionary_{dir_.folder(), [this] { return player_; }};
    platform::Random random_{12345};
    UsedWordList used_;
};

// Whether two generators will give the same values from here on (judged on the next eight).
bool sameState(platform::Random a, platform::Random b)
{
    for (int i = 0; i < 8; ++i) {
        if (a.next() != b.next()) {
            return false;
        }
    }
    return true;
}

std::string sorted(std::string text)
{
    std::sort(text.begin(), text.end());
    return text;
}

// One word of each length, their letters telling the rows apart.
const Words kOnePerLength = {"ABC", "DEFG", "HIJKL", "MNOPQR", "STUVWXY"};

// The letters each row deals from kOnePerLength; row 0 drops the C of its third word.
const std::map<std::string, int> kRowLetters = {
    {sorted("STUVWXYABCAB"), 0}, {sorted("DEFGDEFGDEFG"), 1}, {sorted("ABCABCABCABC"), 2},
    {sorted("ABCDEFGHIJKL"), 3}, {sorted("ABCMNOPQRABC"), 4}, {sorted("MNOPQRMNOPQR"), 5},
};

// The row a deal came from, -1 for none. With the joker in the last place, the first 11
// letters must be those of the row less one.
int rowOf(const std::string& letters)
{
    if (letters.back() != kJoker) {
        const auto row = kRowLetters.find(sorted(letters));
        return row == kRowLetters.end() ? -1 : row->second;
    }
    for (const auto& [rowLetters, row] : kRowLetters) {
        if (canMake(rowLetters, letters.substr(0, kLetterSetSize - 1))) {
            return row;
        }
    }
    return -1;
}

TEST_F(WordSearchTest, DealsAShuffleOfARowsWordsWithAnOccasionalJoker)
{
    load(kOnePerLength);
    const int deals = 2400;
    std::map<int, int> rows;
    std::set<std::string> orders;
    int jokers = 0;
    for (int i = 0; i < deals; ++i) {
        const std::string letters = deal();
        const int row = rowOf(letters);
        ASSERT_NE(row, -1) << letters;
        ++rows[row];
        orders.insert(letters);
        jokers += letters.back() == kJoker;
        EXPECT_EQ(std::count(letters.begin(), letters.end(), kJoker),
                  letters.back() == kJoker ? 1 : 0);
    }
    // Every row about equally often, the joker in about one deal of twenty (the expected
    // counts are 400 and 120; the bounds are five standard deviations wide).
    ASSERT_EQ(rows.size(), 6u);
    for (const auto& [row, times] : rows) {
        EXPECT_GT(times, 300) << "row " << row;
        EXPECT_LT(times, 500) << "row " << row;
    }
    EXPECT_GT(jokers, 70);
    EXPECT_LT(jokers, 175);
    EXPECT_GT(orders.size(), 1000u);  // the letters are shuffled, not dealt in word order
}

TEST_F(WordSearchTest, ASeededGeneratorDealsTheSameLetters)
{
    load(kOnePerLength, "ZYX\n");
    std::vector<std::string> first;
    for (int i = 0; i < 20; ++i) {
        first.push_back(deal());
    }
    dictionary_.playerList().close();
    random_.seed(12345);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(deal(), first[i]) << i;
    }
}

TEST_F(WordSearchTest, DealDrawsAnotherRowWhenALengthIsMissing)
{
    // No seven-letter word: row 0 can never be filled, the others can.
    load({"ABC", "DEFG", "HIJKL", "MNOPQR"});
    std::set<int> rows;
    for (int i = 0; i < 300; ++i) {
        const int row = rowOf(deal());
        ASSERT_NE(row, -1);
        rows.insert(row);
    }
    EXPECT_EQ(rows, (std::set<int>{1, 2, 3, 4, 5}));

    // A length the player's list alone holds fills its rows like any other.
    dir_.writeText("save/ANNA.dic", "STUVWXY\n");
    rows.clear();
    for (int i = 0; i < 300; ++i) {
        rows.insert(rowOf(deal()));
    }
    EXPECT_EQ(rows.count(0), 1u);
    EXPECT_EQ(rows.count(-1), 0u);
}

TEST_F(WordSearchTest, DealDrawsRandomLettersWhenNoRowCanBeFilled)
{
    load({"AB", "ABCDEFGH"}, "XY\n");
    std::set<char> seen;
    for (int i = 0; i < 100; ++i) {
        const std::string letters = deal();
        for (std::size_t k = 0; k < kLetterSetSize; ++k) {
            const char c = letters[k];
            EXPECT_TRUE((c >= 'A' && c <= 'Z') || (k == kLetterSetSize - 1 && c == kJoker))
                << letters;
            seen.insert(c);
        }
    }
    EXPECT_GE(seen.size(), 26u);
}

TEST_F(WordSearchTest, PickedWordsHaveTheLengthAsked)
{
    load({"CAT", "HORSE", "DOG", "EMU", "ZEBRA"}, "GNU ELAND\n");
    std::set<std::string> picked;
    WordBuffer word;
    for (int i = 0; i < 400; ++i) {
        ASSERT_TRUE(pickWordOfLength(dictionary_, random_, 3, word));
        picked.insert(word);
        ASSERT_TRUE(pickWordOfLength(dictionary_, random_, 5, word));
        EXPECT_EQ(std::strlen(word), 5u);
    }
    EXPECT_EQ(picked, (std::set<std::string>{"CAT", "DOG", "EMU", "GNU"}));
    EXPECT_FALSE(pickWordOfLength(dictionary_, random_, 4, word));
}

TEST_F(WordSearchTest, ComputerFindsTheLongestUnusedWordItCanMake)
{
    load({"ART", "RATS", "TSAR", "STAR", "STRAP", "SPARTAN", "TRAPS", "PA", "QUARTZ"},
         "PARTS\nSTRAPS\n");
    const std::string letters = "STRAPXYZQUV[";
    // Brute force over everything the dictionary and the list hold.
    const Words all = {"ART",   "RATS", "TSAR",   "STAR",  "STRAP", "SPARTAN",
                       "TRAPS", "PA",   "QUARTZ", "PARTS", "STRAPS"};
    for (int round = 0; round < 200; ++round) {
        const int longest = 1 + round % 8;
        if (round % 3 == 0) {
            used_.clear();
        }
        std::size_t best = 0;
        for (const std::string& word : all) {
            if (word.size() <= static_cast<std::size_t>(longest) && canMake(letters, word) &&
                !used_.contains(word)) {
                best = std::max(best, word.size());
            }
        }
        const std::string answer = computerWord(letters, longest);
        EXPECT_EQ(answer.size(), longest <= 1 ? 0 : best) << longest;
        if (!answer.empty()) {
            EXPECT_FALSE(used_.contains(answer)) << answer;
            EXPECT_TRUE(canMake(letters, answer)) << answer;
            used_.add(answer);
        }
        EXPECT_FALSE(dictionary_.playerList().isOpen());
    }
}

TEST_F(WordSearchTest, ComputerTiesGoToTheFirstWordAfterTheRandomStart)
{
    // Two answers of the wanted length at records 1 and 5 of 8, one in the player's list.
    load({"XXXX", "RATS", "XXXX", "XXXX", "XXXX", "STAR", "XXXX", "XXXX"}, "TSAR\n");
    std::set<std::string> answers;
    for (std::uint32_t i = 0; i < 64; ++i) {
        const std::uint32_t seed = i * 2654435761u;
        random_.seed(seed);
        platform::Random copy(seed);
        const std::uint32_t start = static_cast<std::uint32_t>(copy.next()) * 8 / 32768;
        const std::string expected = start == 0 ? "RATS" : start < 5 ? "STAR" : "TSAR";
        const std::string answer = computerWord("ARTS", 4);
        EXPECT_EQ(answer, expected) << "start " << start;
        answers.insert(answer);
        EXPECT_TRUE(sameState(random_, copy)) << "one start drawn";
    }
    EXPECT_EQ(answers.size(), 3u);
}

TEST_F(WordSearchTest, ComputerDrawsOneStartPerPassAndNoneBelowTwoLetters)
{
    load({"ART", "RATS"});
    const auto drawsFor = [this](const std::string& letters, int longest) {
        random_.seed(7);
        computerWord(letters, longest);
        platform::Random copy(7);
        for (int draws = 0; draws < 20; ++draws, copy.next()) {
            if (sameState(copy, random_)) {
                return draws;
            }
        }
        return -1;
    };
    // Found at once, or shorter than asked: one pass. Nothing at all: a pass for every
    // limit from `longest` down to 2, each with its own start.
    EXPECT_EQ(drawsFor("STAR", 4), 1);
    EXPECT_EQ(drawsFor("STAR", 9), 1);
    EXPECT_EQ(drawsFor("QQQQ", 6), 5);
    EXPECT_EQ(drawsFor("STAR", 1), 0);
    EXPECT_EQ(drawsFor("STAR", -5), 0);
    EXPECT_EQ(computerWord("STAR", 1), "");
    EXPECT_EQ(computerWord("QQQQ", 6), "");
}

TEST_F(WordSearchTest, ComputerReadsTheWholePlayerListWhateverASearchLeftOpen)
{
    load({"AAA", "BBBB"}, "SEVENTH\nEIGHTHS\n");
    // A deal-style search leaves the list open after its first word.
    dictionary_.setSearchCursor(dictionary_.count());
    WordBuffer word;
    ASSERT_TRUE(dictionary_.nextWordOfLength(7, word));
    ASSERT_TRUE(dictionary_.playerList().isOpen());
    EXPECT_EQ(computerWord("SEVENTHQQQQQ", 7), "SEVENTH");
    EXPECT_FALSE(dictionary_.playerList().isOpen());
}

TEST_F(WordSearchTest, AnalysisListsEveryMakeableWordAsOftenAsItOccurs)
{
    load({"CAT", "ACT", "TACT", "DOG", "CAT", "TACK"}, "TAC KAT\n");
    EXPECT_EQ(makeableWords(dictionary_, "CAT[K"),
              (Words{"CAT", "ACT", "TACT", "CAT", "TACK", "TAC", "KAT"}));
    EXPECT_EQ(makeableWords(dictionary_, "CAT"), (Words{"CAT", "ACT", "CAT", "TAC"}));
    EXPECT_FALSE(dictionary_.playerList().isOpen());
}

}  // namespace
}  // namespace wordlark::words
