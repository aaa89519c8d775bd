#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "support/TempDir.h"
#include "support/TestArchive.h"
#include "words/Dictionary.h"

namespace wordlark::words {
namespace {

using Words = std::vector<std::string>;

std::vector<std::uint8_t> recordsOf(const Words& words)
{
    std::vector<std::uint8_t> records(words.size() * kWordSize, 0);
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::memcpy(&records[i * kWordSize], words[i].data(), words[i].size());
    }
    return records;
}

class DictionaryTest : public ::testing::Test {
protected:
    DictionaryTest() { std::filesystem::create_directory(dir_.file("save")); }

    void writeHeap(std::vector<std::uint8_t> entry, const char* name = "words")
    {
        test::writeArchive(dir_, "vek.heap", {{name, "wrds", std::move(entry)}});
    }

    void load(const Words& words, const std::string& playerText = {})
    {
        writeHeap(recordsOf(words));
        if (!playerText.empty()) {
            dir_.writeText("save/ANNA.dic", playerText);
        }
        ASSERT_TRUE(dictionary_.load(registry_));
    }

    std::string next(std::size_t length)
    {
        WordBuffer word;
        return dictionary_.nextWordOfLength(length, word) ? std::string(word) : "<none>";
    }

    test::TempDir dir_;
    std::string player_ = "ANNA";
    archive::ArchiveRegistry registry_{dir_.folder()};
    Dictionary dictionary_{dir_.folder(), [this] { return player_; }};
};

TEST_F(DictionaryTest, LoadRefusesAMissingArchiveOrAnEntryWithoutARecord)
{
    EXPECT_FALSE(dictionary_.load(registry_));  // no vek.heap
    for (const auto& [name, size] :
         {std::pair{"other", 32}, std::pair{"words", 15}, std::pair{"words", 0}}) {
        test::TempDir folder;
        test::writeArchive(folder, "vek.heap", {{name, "wrds", std::vector<std::uint8_t>(size)}});
        archive::ArchiveRegistry registry(folder.folder());
        EXPECT_FALSE(Dictionary(folder.folder(), {}).load(registry)) << name << " " << size;
    }
}

TEST_F(DictionaryTest, RecordsAreWholeSixteenByteUnitsCutToFifteenLetters)
{
    // 33 bytes: two records and a stray byte. The first has letters after its NUL, which
    // are not read; the second has no NUL at all.
    std::vector<std::uint8_t> entry = recordsOf({"CAT"});
    std::fill(entry.begin() + 4, entry.end(), 'Q');
    entry.insert(entry.end(), 16, 'Q');
    entry.push_back('Z');
    writeHeap(entry);
    ASSERT_TRUE(dictionary_.load(registry_));
    EXPECT_EQ(dictionary_.count(), 2u);
    EXPECT_EQ(dictionary_.wordAt(0), "CAT");
    EXPECT_EQ(dictionary_.wordAt(1), std::string(15, 'Q'));
    EXPECT_EQ(dictionary_.wordAt(2), "");
    EXPECT_EQ(next(15), std::string(15, 'Q'));
    EXPECT_TRUE(dictionary_.isWord(std::string(15, 'Q')));
    EXPECT_FALSE(dictionary_.isWord(std::string(16, 'Q')));
    EXPECT_EQ(next(7), "<none>");
    EXPECT_TRUE(dictionary_.isWord("CAT"));
    EXPECT_EQ(next(1), "<none>");  // the stray byte is no word
}

TEST_F(DictionaryTest, ComparesExactBytes)
{
    load({"CAT", "HORSE"}, "EMU\n");
    for (const std::string absent : {"cat", "Cat", "CA", "CATS", " CAT", "emu", ""}) {
        EXPECT_FALSE(dictionary_.isWord(absent)) << absent;
    }
    EXPECT_FALSE(dictionary_.isWord(std::string("CAT\0", 4)));
    EXPECT_TRUE(dictionary_.isWord("HORSE"));
}

TEST_F(DictionaryTest, PlayerOnlyWordIsAWordFromEveryStart)
{
    load({"CAT", "DOG", "HORSE", "EEL"}, "ASP YAK\nGNU\n");
    for (std::uint32_t cursor = 0; cursor <= dictionary_.count(); ++cursor) {
        for (const char* word : {"ASP", "YAK", "GNU"}) {
            dictionary_.setSearchCursor(cursor);
            EXPECT_TRUE(dictionary_.isWord(word)) << word << " from " << cursor;
        }
    }
    // Also when a search has left the list open after one of its words.
    for (std::uint32_t cursor : {0u, 4u}) {
        dictionary_.playerList().close();
        dictionary_.setSearchCursor(4);
        ASSERT_EQ(next(3), "ASP");
        ASSERT_EQ(next(3), "YAK");
        dictionary_.setSearchCursor(cursor);
        EXPECT_TRUE(dictionary_.isWord("ASP")) << cursor;
    }
    player_ = "BEN";  // another player has not saved them
    EXPECT_FALSE(dictionary_.isWord("YAK"));
    EXPECT_TRUE(dictionary_.isWord("EEL"));
}

TEST_F(DictionaryTest, AbsentWordsEndAfterOneCircle)
{
    // The player's list holds other lengths, then the same length; starts on records and
    // on the end position. Each search must end, and a failed step leaves the cursor put.
    load({"CAT", "DOGS", "HORSE"});
    for (const char* list : {"AB ABCDEF\n", "ZZZZ YYYY\n"}) {
        SCOPED_TRACE(list);
        dir_.writeText("save/ANNA.dic", list);
        for (std::uint32_t cursor = 0; cursor <= 3; ++cursor) {
            dictionary_.setSearchCursor(cursor);
            EXPECT_FALSE(dictionary_.isWord("WXYZ"));
            dictionary_.setSearchCursor(cursor);
            EXPECT_EQ(next(9), "<none>");
            EXPECT_EQ(dictionary_.searchCursor(), cursor);
            EXPECT_FALSE(dictionary_.playerList().isOpen());
        }
    }
}

TEST_F(DictionaryTest, RepeatedWordsDoNotEndTheCircleEarly)
{
    load({"ANT", "BEE", "ANT", "COW", "BEE"}, "ANT\nEMU\nANT\n");
    dictionary_.setSearchCursor(0);
    EXPECT_TRUE(dictionary_.isWord("COW"));
    dictionary_.setSearchCursor(5);
    EXPECT_TRUE(dictionary_.isWord("EMU"));
    dictionary_.setSearchCursor(1);
    EXPECT_TRUE(dictionary_.isWord("COW"));
}

TEST_F(DictionaryTest, SearchWalksRecordsThenTheListThenWrapsAround)
{
    load({"CAT", "HORSE", "DOG", "EEL"}, "ASP\n  ZEBRA YAK\r\n");
    dictionary_.setSearchCursor(2);
    EXPECT_EQ(next(3), "DOG");
    EXPECT_EQ(next(3), "EEL");
    EXPECT_EQ(dictionary_.searchCursor(), 4u);
    EXPECT_EQ(next(3), "ASP");
    EXPECT_TRUE(dictionary_.playerList().isOpen());
    EXPECT_EQ(next(3), "YAK");  // the file goes on after ASP, before any record
    EXPECT_EQ(dictionary_.searchCursor(), 4u);
    EXPECT_EQ(next(3), "CAT");
    EXPECT_FALSE(dictionary_.playerList().isOpen());
    EXPECT_EQ(next(0), "HORSE");
    EXPECT_EQ(next(5), "ZEBRA");
    EXPECT_EQ(next(5), "HORSE");
}

TEST_F(DictionaryTest, ListingGivesRecordsThenTheWholeListAndClosesIt)
{
    load({"CAT", "HORSE", "DOG"}, "YAK\n\tZEBRA  GNU\n");
    // A search that stopped inside the list must not cut the listing short.
    dictionary_.setSearchCursor(3);
    ASSERT_EQ(next(3), "YAK");
    for (int round = 0; round < 2; ++round) {
        Words listed;
        WordBuffer word;
        ASSERT_TRUE(dictionary_.firstWord(word));
        do {
            listed.emplace_back(word);
        } while (dictionary_.nextWord(word));
        EXPECT_EQ(listed, (Words{"CAT", "HORSE", "DOG", "YAK", "ZEBRA", "GNU"}));
        EXPECT_FALSE(dictionary_.playerList().isOpen());
    }
}

TEST_F(DictionaryTest, MissingListIsEmpty)
{
    player_ = "";
    load({"CAT", "HORSE"});
    dictionary_.setSearchCursor(2);
    EXPECT_EQ(next(0), "CAT");
    EXPECT_TRUE(dictionary_.isWord("HORSE"));
    WordBuffer word;
    ASSERT_TRUE(dictionary_.firstWord(word));
    ASSERT_TRUE(dictionary_.nextWord(word));
    EXPECT_FALSE(dictionary_.nextWord(word));
}

}  // namespace
}  // namespace wordlark::words
