#include "game/Players.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/RecordFile.h"
#include "support/TempDir.h"

namespace wordlark::game {
namespace {

class PlayersTest : public ::testing::Test {
protected:
    PlayersTest() { std::filesystem::create_directory(dir_.file("save")); }

    // Stores a player as the game would have saved him.
    void store(const std::string& name, const std::string& password, std::int32_t rating,
               std::int32_t level = 2)
    {
        PlayerRecord record;
        record.setName(name);
        record.setPassword(password);
        record.rating = rating;
        record.level = level;
        ASSERT_TRUE(saveRecord(dir_.folder(), record));
    }
    bool exists(const std::string& name) const
    {
        return std::filesystem::exists(dir_.file("save/" + name));
    }

    test::TempDir dir_;
    GameState state_;
    Scores scores_;
};

TEST_F(PlayersTest, TheListHoldsRecordFilesWithShortNamesOnly)
{
    store("Anna", "a", 10);
    store("Fourteen_chars", "b", 10);   // 18 characters with ".sav": listed
    store("Fifteen_chars__", "c", 10);  // 19: not a player
    std::filesystem::create_directory(dir_.file("save/Folder.sav"));
    dir_.writeText("save/notes.txt", "x");
    dir_.writeText("save/Bert.sav.damaged", "x");
    std::vector<std::string> names = listPlayers(dir_.folder());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Anna", "Fourteen_chars"}));
    EXPECT_EQ(findPlayer(names, "aNNA"), 0u);
    EXPECT_FALSE(findPlayer(names, "Ann"));
    EXPECT_TRUE(hasRecordFile(dir_.folder(), "Fifteen_chars__"));  // unlisted, still his
    EXPECT_FALSE(hasRecordFile(dir_.folder(), "Nobody"));

    for (int i = 0; i < 300; ++i) {
        dir_.writeText("save/p" + std::to_string(i) + ".sav", "");
    }
    EXPECT_EQ(listPlayers(dir_.folder()).size(), kMaxListedPlayers);
}

TEST_F(PlayersTest, TypedCharactersNeverLeaveTheSaveFolder)
{
    for (const unsigned char c : {'.', '?', '*', '/', '\\', ':', '\t', '\0'}) {
        EXPECT_FALSE(isNameCharacter(c)) << int(c);
    }
    for (const unsigned char c : {'.', '?', '*', '\t', '\0'}) {
        EXPECT_FALSE(isPasswordCharacter(c)) << int(c);
    }
    EXPECT_TRUE(isNameCharacter('a'));
    EXPECT_TRUE(isNameCharacter(0xE9));  // an accented letter names a player
    EXPECT_FALSE(isPasswordCharacter(0xE9));
    EXPECT_TRUE(isPasswordCharacter(' '));
    EXPECT_TRUE(isPasswordCharacter('~'));
}

TEST_F(PlayersTest, CreateSwitchAndDeleteFollowThePassword)
{
    store("Bert", "pw", 500, 3);
    scores_.playerPoints = 7;
    createPlayer(state_, scores_, dir_.folder(), "Anna", "secret");
    EXPECT_EQ(state_.currentPlayer.nameView(), "Anna");
    EXPECT_EQ(state_.currentPlayer.level, 1);
    EXPECT_EQ(state_.computerRating, 100);
    EXPECT_EQ(scores_.playerPoints, 0);
    EXPECT_EQ(scores_.bestOtherRating, 500u);
    PlayerRecord stored;
    stored.setName("Anna");
    ASSERT_TRUE(loadRecord(dir_.folder(), stored));
    EXPECT_EQ(stored, state_.currentPlayer);

    // A wrong password, or one in another case, changes nothing.
    const PlayerRecord anna = state_.currentPlayer;
    EXPECT_EQ(switchPlayer(state_, scores_, dir_.folder(), "Bert", "PW"),
              PlayerCheck::WrongPassword);
    EXPECT_EQ(state_.currentPlayer, anna);
    EXPECT_EQ(deletePlayer(state_, scores_, dir_.folder(), "Bert", "p"),
              PlayerCheck::WrongPassword);
    EXPECT_TRUE(exists("Bert.sav"));

    // The name typed in another case finds the stored player and his own spelling.
    scores_.computerPoints = 4;
    EXPECT_EQ(switchPlayer(state_, scores_, dir_.folder(), "bert", "pw"), PlayerCheck::Accepted);
    EXPECT_EQ(state_.currentPlayer.nameView(), "Bert");
    EXPECT_EQ(state_.currentLevel, 3);
    EXPECT_EQ(state_.computerRating, 300);
    EXPECT_EQ(scores_.computerPoints, 0);
    EXPECT_EQ(scores_.bestOtherRating, 0u);  // Anna has 0: the best other is read again

    // Deleting the player in play removes his files but keeps him in play.
    dir_.writeText("save/Bert.dic", "WORD\n");
    EXPECT_EQ(deletePlayer(state_, scores_, dir_.folder(), "BERT", "pw"), PlayerCheck::Accepted);
    EXPECT_FALSE(exists("Bert.sav"));
    EXPECT_FALSE(exists("Bert.dic"));
    EXPECT_EQ(state_.currentPlayer.nameView(), "Bert");
}

TEST_F(PlayersTest, ADamagedPlayerIsMovedAsideWithHisWords)
{
    createPlayer(state_, scores_, dir_.folder(), "Anna", "a");
    const PlayerRecord anna = state_.currentPlayer;
    dir_.writeText("save/Bert.sav", "not a record");
    dir_.writeText("save/Bert.dic", "MINE\n");
    dir_.writeText("save/Bert.his", "history\n");
    dir_.writeText("save/Bert.sav.damaged", "an older one");
    PlayerProblem problem;
    EXPECT_EQ(switchPlayer(state_, scores_, dir_.folder(), "Bert", "x", &problem),
              PlayerCheck::Damaged);
    EXPECT_EQ(problem.line,
              "Bert's record is damaged (too short): moved aside as Bert.sav.damaged, "
              "Bert.dic.damaged and Bert.his.damaged");
    EXPECT_EQ(problem.shown, "Bert's record is damaged: moved aside as Bert.sav.damaged");
    EXPECT_EQ(state_.currentPlayer, anna);
    EXPECT_FALSE(exists("Bert.sav"));
    const std::vector<std::uint8_t> aside = dir_.read("save/Bert.sav.damaged");
    EXPECT_EQ(std::string(aside.begin(), aside.end()), "not a record");
    EXPECT_TRUE(exists("Bert.dic.damaged"));
    EXPECT_EQ(listPlayers(dir_.folder()), (std::vector<std::string>{"Anna"}));

    dir_.writeText("save/Cleo.sav", "");
    EXPECT_EQ(deletePlayer(state_, scores_, dir_.folder(), "Cleo", "x"), PlayerCheck::Damaged);
    EXPECT_TRUE(exists("Cleo.sav.damaged"));

    // Bob's record under Lark's name is Lark's no more: taking it would make Lark's verdicts
    // overwrite Bob's file.
    store("Bob", "pw", 500);
    std::filesystem::copy_file(dir_.file("save/Bob.sav"), dir_.file("save/Lark.sav"));
    EXPECT_EQ(switchPlayer(state_, scores_, dir_.folder(), "Lark", "pw", &problem),
              PlayerCheck::Damaged);
    EXPECT_EQ(problem.line,
              "Lark's record is damaged (it holds another player's record): moved aside as "
              "Lark.sav.damaged");
    EXPECT_EQ(state_.currentPlayer, anna);
    EXPECT_TRUE(exists("Bob.sav"));
}

TEST_F(PlayersTest, ARecordThatCannotBeReadIsToldAndLeftAlone)
{
    createPlayer(state_, scores_, dir_.folder(), "Anna", "a");
    const PlayerRecord anna = state_.currentPlayer;
    std::filesystem::create_directory(dir_.file("save/Lark.sav"));
    dir_.writeText("save/Lark.dic", "MINE\n");
    // Not listed, yet his: creating him would fail over the folder.
    EXPECT_TRUE(hasRecordFile(dir_.folder(), "Lark"));
    PlayerProblem problem;
    EXPECT_EQ(switchPlayer(state_, scores_, dir_.folder(), "Lark", "pw", &problem),
              PlayerCheck::Unreadable);
    EXPECT_EQ(problem.line.rfind("cannot read Lark's record: ", 0), 0u) << problem.line;
    problem = {};
    EXPECT_EQ(deletePlayer(state_, scores_, dir_.folder(), "Lark", "pw", &problem),
              PlayerCheck::Unreadable);
    EXPECT_FALSE(problem.line.empty());
    EXPECT_EQ(state_.currentPlayer, anna);
    EXPECT_TRUE(std::filesystem::is_directory(dir_.file("save/Lark.sav")));
    EXPECT_TRUE(exists("Lark.dic"));
    EXPECT_FALSE(exists("Lark.sav.damaged"));
    EXPECT_FALSE(exists("Lark.dic.damaged"));
#ifndef _WIN32
    // Listed, but no regular file: still his, still where it was.
    ASSERT_EQ(::mkfifo(dir_.file("save/Fifo.sav").c_str(), 0600), 0);
    EXPECT_EQ(switchPlayer(state_, scores_, dir_.folder(), "fifo", "pw", &problem),
              PlayerCheck::Unreadable);
    EXPECT_EQ(problem.line, "cannot read Fifo's record: not a regular file");
    EXPECT_TRUE(exists("Fifo.sav"));
#endif
}

TEST_F(PlayersTest, AStoredPlayerPastTheListIsFoundInAnyLetterCase)
{
    for (int i = 0; i < 300; ++i) {
        store("P" + std::to_string(1000 + i), "pw", i);
    }
    const std::vector<std::string> listed = listPlayers(dir_.folder());
    ASSERT_EQ(listed.size(), kMaxListedPlayers);
    std::string unlisted;
    for (int i = 0; i < 300 && unlisted.empty(); ++i) {
        const std::string name = "P" + std::to_string(1000 + i);
        if (!findPlayer(listed, name)) {
            unlisted = name;
        }
    }
    ASSERT_FALSE(unlisted.empty());
    const std::string typed = "p" + unlisted.substr(1);
    EXPECT_TRUE(hasRecordFile(dir_.folder(), typed));
    ASSERT_EQ(switchPlayer(state_, scores_, dir_.folder(), typed, "pw"), PlayerCheck::Accepted);
    EXPECT_EQ(state_.currentPlayer.nameView(), unlisted);
    ASSERT_TRUE(saveRecord(dir_.folder(), state_.currentPlayer));
    const auto files = std::distance(std::filesystem::directory_iterator(dir_.file("save")),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(files, 300);  // his own file, no second one beside it
}

TEST(PlayerNames, NamesSomeSystemCannotHoldAsFilesAreRefused)
{
    for (const char* name :
         {"CON", "con", "Nul", "aux", "PRN", "COM1", "lpt9", "COM\xB9", "Lark "}) {
        EXPECT_TRUE(refusedName(name)) << name;
    }
    for (const char* name : {"Conny", "COM", "COM10", "NULL", "Lark", " Lark"}) {
        EXPECT_FALSE(refusedName(name)) << name;
    }
    for (const char c : std::string("<>\"|/\\:?*.")) {
        EXPECT_FALSE(isNameCharacter(static_cast<unsigned char>(c))) << c;
    }
    EXPECT_TRUE(isNameCharacter(static_cast<unsigned char>('\xE9')));
}

TEST_F(PlayersTest, TheTopTenRanksReadableRecordsStablyAndOnlyUnderTheirOwnNames)
{
    EXPECT_TRUE(readTopTen(dir_.folder()).empty());
    store("Low", "", -10000);
    dir_.writeText("save/Broken.sav", "x");
    EXPECT_TRUE(readTopTen(dir_.folder()).empty());

    for (int i = 0; i < 12; ++i) {
        store("P" + std::to_string(i), "", 100 * (i % 6));
    }
    // A record written by other means, under a file that is not its player's, is no entry.
    PlayerRecord longName;
    longName.setName(std::string(60, 'L'));
    longName.rating = 2000;
    auto bytes = encodeRecordFile(longName);
    dir_.write("save/Long.sav", {bytes.begin(), bytes.end()});

    const std::vector<TopTenEntry> top = readTopTen(dir_.folder());
    ASSERT_EQ(top.size(), kTopTenSize);
    for (std::size_t i = 1; i < top.size(); ++i) {
        EXPECT_GE(top[i - 1].rating, top[i].rating);
    }
    // Equal ratings keep the order the folder lists them in.
    std::vector<std::string> listed = listPlayers(dir_.folder());
    auto rank = [&](const std::string& name) {
        return std::find(listed.begin(), listed.end(), name) - listed.begin();
    };
    EXPECT_LT(rank(top[0].name), rank(top[1].name));
    EXPECT_EQ(top[0].rating, 500);
    EXPECT_EQ(top[1].rating, 500);
    EXPECT_TRUE(exists("Broken.sav"));  // a damaged file stays where it is here
}

}  // namespace
}  // namespace wordlark::game
