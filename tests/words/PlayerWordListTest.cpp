#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "words/PlayerWordList.h"

namespace wordlark::words {
namespace {

using namespace std::string_literals;

class PlayerWordListTest : public ::testing::Test {
protected:
    PlayerWordListTest() { std::filesystem::create_directory(dir_.file("save")); }

    void writeList(const std::string& name, const std::string& text)
    {
        dir_.writeText("save/" + name + ".dic", text);
    }

    std::vector<std::string> readAll(std::size_t length)
    {
        std::vector<std::string> words;
        WordBuffer word;
        while (list_.readWordOfLength(length, word)) {
            words.emplace_back(word);
        }
        return words;
    }

    test::TempDir dir_;
    std::string player_ = "ANNA";
    PlayerWordList list_{dir_.folder(), [this] { return player_; }};
};

TEST_F(PlayerWordListTest, ReadsTokensWhateverTheWhiteSpace)
{
    writeList("ANNA", "ABC  DEFG\tHI\r\n\r\n\n  JKLMN\x0b\x0cOPQ\nRS\0TU\r\nLAST"s);
    ASSERT_TRUE(list_.openForReading());
    EXPECT_EQ(readAll(0),
              (std::vector<std::string>{"ABC", "DEFG", "HI", "JKLMN", "OPQ", "RS", "TU", "LAST"}));
    // The end of the file leaves the handle open for the caller to close.
    EXPECT_TRUE(list_.isOpen());
    list_.close();
    ASSERT_TRUE(list_.openForReading());
    EXPECT_EQ(readAll(3), (std::vector<std::string>{"ABC", "OPQ"}));
    list_.close();
    ASSERT_TRUE(list_.openForReading());
    EXPECT_EQ(readAll(16), std::vector<std::string>{});
}

TEST_F(PlayerWordListTest, SkipsTokensThatNoTilesCanLay)
{
    // Joker codes, small letters, digits and accented capitals would deal letters no tile
    // shows: only capitals A to Z make a word, and a refused token still counts its place.
    writeList("ANNA", "CAT [AT cat Cat C4T \xC9TE Z[ DOG");
    ASSERT_TRUE(list_.openForReading());
    EXPECT_EQ(readAll(0), (std::vector<std::string>{"CAT", "DOG"}));
    EXPECT_EQ(list_.lastTokenOrdinal(), 7u);
    // What the game writes is what it reads back.
    std::string why;
    EXPECT_FALSE(list_.appendWord("C?T", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(list_.appendWord("cat"));
}

TEST_F(PlayerWordListTest, SkipsTokensTooLongForAWordBuffer)
{
    const std::string fifteen(15, 'F');
    // A token straddling the read buffer's edge, and one far longer than the buffer.
    std::string text = fifteen + " " + std::string(16, 'X') + "\n";
    text += std::string(65536 - 2 - text.size(), ' ') + "EDGE\n";
    text += std::string(200000, 'Y') + " AFTER";
    writeList("ANNA", text);
    ASSERT_TRUE(list_.openForReading());
    EXPECT_EQ(readAll(0), (std::vector<std::string>{fifteen, "EDGE", "AFTER"}));
    EXPECT_EQ(list_.lastTokenOrdinal(), 4u);  // skipped tokens are counted too
}

TEST_F(PlayerWordListTest, FollowsTheCurrentPlayerAndRefusesUnusableNames)
{
    writeList("ANNA", "ANNAS\n");
    writeList("BEN", "BENS\n");
    WordBuffer word;
    ASSERT_TRUE(list_.openForReading());
    player_ = "BEN";  // an open handle keeps reading the file it opened
    ASSERT_TRUE(list_.readWordOfLength(0, word));
    EXPECT_STREQ(word, "ANNAS");
    list_.close();
    ASSERT_TRUE(list_.openForReading());
    ASSERT_TRUE(list_.readWordOfLength(0, word));
    EXPECT_STREQ(word, "BENS");
    list_.close();

    player_ = "NOBODY";  // no file yet: no list
    EXPECT_FALSE(list_.openForReading());
    for (const std::string name : {"", "..", "../save/BEN"}) {
        player_ = name;
        EXPECT_FALSE(list_.openForReading()) << name;
        EXPECT_FALSE(list_.readWordOfLength(0, word));
        EXPECT_FALSE(list_.appendWord("ABC")) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.file("save")), {}), 2);
}

TEST_F(PlayerWordListTest, OnlyARegularFileIsRead)
{
#ifndef _WIN32  // Windows has no FIFOs in folders
    // A FIFO in place of the list must neither block the open nor be read.
    ASSERT_EQ(::mkfifo(dir_.file("save/ANNA.dic").c_str(), 0600), 0);
    EXPECT_FALSE(list_.openForReading());
    std::filesystem::remove(dir_.file("save/ANNA.dic"));
#endif
    std::filesystem::create_directory(dir_.file("save/ANNA.dic"));
    EXPECT_FALSE(list_.openForReading());
}

TEST_F(PlayerWordListTest, AppendCreatesTheFileAndKeepsDuplicates)
{
    EXPECT_TRUE(list_.appendWord("CAT"));
    EXPECT_EQ(dir_.read("save/ANNA.dic"), (std::vector<std::uint8_t>{'C', 'A', 'T', '\n'}));
    ASSERT_TRUE(list_.openForReading());
    EXPECT_TRUE(list_.appendWord("CAT"));  // closes the read handle first
    EXPECT_FALSE(list_.isOpen());
    // Words that could not be read back as one token are refused.
    EXPECT_FALSE(list_.appendWord(""));
    EXPECT_FALSE(list_.appendWord("TWO WORDS"));
    EXPECT_FALSE(list_.appendWord(std::string(16, 'L')));
    ASSERT_TRUE(list_.openForReading());
    EXPECT_EQ(readAll(0), (std::vector<std::string>{"CAT", "CAT"}));

    list_.close();  // Windows removes no folder while a file in it is open
    std::filesystem::remove_all(dir_.file("save"));
    EXPECT_FALSE(list_.appendWord("DOG"));  // no save folder: nothing is written
}

#ifndef _WIN32  // file modes, symbolic links and FIFOs are POSIX matters
TEST_F(PlayerWordListTest, AppendWritesOnlyARegularFileOfThePlayersOwn)
{
    EXPECT_TRUE(list_.appendWord("CAT"));
    EXPECT_EQ(std::filesystem::status(dir_.file("save/ANNA.dic")).permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // A link at the list's name is not followed: its target stays as it was.
    dir_.writeText("elsewhere", "KEEP\n");
    std::filesystem::remove(dir_.file("save/ANNA.dic"));
    std::filesystem::create_symlink(dir_.file("elsewhere"), dir_.file("save/ANNA.dic"));
    EXPECT_FALSE(list_.appendWord("DOG"));
    EXPECT_EQ(dir_.read("elsewhere"), (std::vector<std::uint8_t>{'K', 'E', 'E', 'P', '\n'}));

    // A FIFO neither blocks the append nor takes the word.
    std::filesystem::remove(dir_.file("save/ANNA.dic"));
    ASSERT_EQ(::mkfifo(dir_.file("save/ANNA.dic").c_str(), 0600), 0);
    EXPECT_FALSE(list_.appendWord("DOG"));
}
#endif

TEST_F(PlayerWordListTest, AppendNeverGluesAWordToALastLineWithoutItsBreak)
{
    writeList("ANNA", "CAT");
    ASSERT_TRUE(list_.appendWord("SLURM"));
    ASSERT_TRUE(list_.appendWord("GNU"));
    const std::vector<std::uint8_t> text = dir_.read("save/ANNA.dic");
    EXPECT_EQ(std::string(text.begin(), text.end()), "CAT\nSLURM\nGNU\n");
    ASSERT_TRUE(list_.openForReading());
    EXPECT_EQ(readAll(0), (std::vector<std::string>{"CAT", "SLURM", "GNU"}));
    list_.close();

    // A list that already holds all the game reads takes nothing it would never read back.
    std::filesystem::resize_file(dir_.file("save/ANNA.dic"), PlayerWordList::kMaxReadBytes - 4);
    std::string why;
    EXPECT_FALSE(list_.appendWord("SLURM", &why));
    EXPECT_NE(why.find("ANNA.dic is full"), std::string::npos) << why;
    EXPECT_EQ(std::filesystem::file_size(dir_.file("save/ANNA.dic")),
              PlayerWordList::kMaxReadBytes - 4);
    EXPECT_TRUE(list_.appendWord("AB"));  // "\nAB\n" still fits exactly
}

}  // namespace
}  // namespace wordlark::words
