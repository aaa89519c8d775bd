#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
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

// Saved words as every scan of the dictionary meets them.
class AppendWordTest : public ::testing::Test {
protected:
    AppendWordTest()
    {
        std::filesystem::create_directory(dir_.file("save"));
        std::vector<std::uint8_t> records(2 * kWordSize, 0);
        std::memcpy(records.data(), "CAT", 3);
        std::memcpy(records.data() + kWordSize, "HORSE", 5);
        test::writeArchive(dir_, "vek.heap", {{"words", "wrds", records}});
        EXPECT_TRUE(dictionary_.load(registry_));
    }

    bool append(const std::string& word) { return dictionary_.playerList().appendWord(word); }

    test::TempDir dir_;
    std::string player_ = "ANNA";
    archive::ArchiveRegistry registry_{dir_.folder()};
    Dictionary dictionary_{dir_.folder(), [this] { return player_; }};
};

TEST_F(AppendWordTest, ASavedWordCountsForItsPlayerOnly)
{
    EXPECT_FALSE(dictionary_.isWord("GNU"));
    ASSERT_TRUE(append("GNU"));
    EXPECT_TRUE(dictionary_.isWord("GNU"));
    player_ = "BEN";
    EXPECT_FALSE(dictionary_.isWord("GNU"));
    EXPECT_TRUE(dictionary_.isWord("CAT"));
    player_ = "ANNA";

    // The computer may answer with it, and the analysis lists it.
    platform::Random random(3);
    UsedWordList used;
    WordBuffer answer;
    findComputerWord(dictionary_, random, used, "GNUQQQ", answer, 3);
    EXPECT_STREQ(answer, "GNU");
    EXPECT_EQ(makeableWords(dictionary_, "GNUCAT"), (Words{"CAT", "GNU"}));
}

TEST_F(AppendWordTest, AppendingAbandonsAScanAndTheNextOneStartsOver)
{
    ASSERT_TRUE(append("YAK"));
    ASSERT_TRUE(append("EMU"));
    // A search stops inside the list, after its first word.
    dictionary_.setSearchCursor(dictionary_.count());
    WordBuffer word;
    ASSERT_TRUE(dictionary_.nextWordOfLength(3, word));
    ASSERT_STREQ(word, "YAK");
    ASSERT_TRUE(append("YAK"));  // saved twice: met twice
    EXPECT_FALSE(dictionary_.playerList().isOpen());
    ASSERT_TRUE(dictionary_.nextWordOfLength(3, word));
    EXPECT_STREQ(word, "YAK");
    EXPECT_EQ(makeableWords(dictionary_, "YAKEMU"), (Words{"YAK", "EMU", "YAK"}));
    EXPECT_EQ(dir_.read("save/ANNA.dic"), test::bytesOf("YAK\nEMU\nYAK\n"));
}

TEST_F(AppendWordTest, NamesBecomeUtf8FileNamesAndUnwritableListsFailQuietly)
{
    player_ = "J\xF6rg";  // Windows-1252 o-diaeresis
    ASSERT_TRUE(append("ELK"));
#ifdef _WIN32
    // Through Windows' ANSI calls the name keeps its Windows-1252 bytes.
    EXPECT_EQ(dir_.read("save/J\xF6rg.dic"), test::bytesOf("ELK\n"));
#else
    EXPECT_EQ(dir_.read("save/J\xC3\xB6rg.dic"), test::bytesOf("ELK\n"));
#endif
    EXPECT_TRUE(dictionary_.isWord("ELK"));

    // A folder where the list should be: neither appending nor writing can open it.
    player_ = "BEN";
    std::filesystem::create_directory(dir_.file("save/BEN.dic"));
    EXPECT_FALSE(append("ELK"));
    EXPECT_FALSE(dictionary_.isWord("ELK"));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.file("save/BEN.dic")));
}

}  // namespace
}  // namespace wordlark::words
