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
    dir_.writeText("save/Bert.sav.damaged", "an older one");
    EXPECT_EQ(switchPlayer(state_, scores_, dir_.folder(), "Bert", "x"), PlayerCheck::Damaged);
    EXPECT_EQ(state_.currentPlayer, anna);
    EXPECT_FALSE(exists("Bert.sav"));
    const std::vector<std::uint8_t> aside = dir_.read("save/Bert.sav.damaged");
    EXPECT_EQ(std::string(aside.begin(), aside.end()), "not a record");
    EXPECT_TRUE(exists("Bert.dic.damaged"));
    EXPECT_EQ(listPlayers(dir_.folder()), (std::vector<std::string>{"Anna"}));

    dir_.writeText("save/Cleo.sav", "");
    EXPECT_EQ(deletePlayer(state_, scores_, dir_.folder(), "Cleo", "x"), PlayerCheck::Damaged);
    EXPECT_TRUE(exists("Cleo.sav.damaged"));
}

TEST_F(PlayersTest, TheTopTenRanksReadableRecordsStablyAndCutsLongNames)
{
    EXPECT_TRUE(readTopTen(dir_.folder()).empty());
    store("Low", "", -10000);
    dir_.writeText("save/Broken.sav", "x");
    EXPECT_TRUE(readTopTen(dir_.folder()).empty());

    for (int i = 0; i < 12; ++i) {
        store("P" + std::to_string(i), "", 100 * (i % 6));
    }
    // A record written by other means may hold a name longer than an entry shows.
    PlayerRecord longName;
    longName.setName(std::string(60, 'L'));
    longName.rating = 2000;
    auto bytes = encodeRecordFile(longName);
    dir_.write("save/Long.sav", {bytes.begin(), bytes.end()});

    const std::vector<TopTenEntry> top = readTopTen(dir_.folder());
    ASSERT_EQ(top.size(), kTopTenSize);
    EXPECT_EQ(top[0].name, std::string(kMaxTopTenName, 'L'));
    EXPECT_EQ(top[0].rating, 2000);
    for (std::size_t i = 1; i < top.size(); ++i) {
        EXPECT_GE(top[i - 1].rating, top[i].rating);
    }
    // Equal ratings keep the order the folder lists them in.
    std::vector<std::string> listed = listPlayers(dir_.folder());
    auto rank = [&](const std::string& name) {
        return std::find(listed.begin(), listed.end(), name) - listed.begin();
    };
    EXPECT_LT(rank(top[1].name), rank(top[2].name));
    EXPECT_EQ(top[1].rating, 500);
    EXPECT_EQ(top[2].rating, 500);
    EXPECT_TRUE(exists("Broken.sav"));  // a damaged file stays where it is here
}

}  // namespace
}  // namespace wordlark::game
