#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"

namespace wordlark::platform {
namespace {

TEST(Random, StaysInTheGamesRangeAndRepeatsForASeed)
{
    Random a(1234);
    Random b(1234);
    int highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int value = a.next();
        ASSERT_EQ(value, b.next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, Random::kMax);
        highest = std::max(highest, value);
    }
    // The whole range is reached, so rand() * count / 32768 covers every index.
    EXPECT_GT(highest, 32700);
}

TEST(Random, FollowsTheClassicSequence)
{
    // x = x * 214013 + 2531011, value (x >> 16) & 0x7FFF: the sequence of seed 1.
    Random r(1);
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
    EXPECT_EQ(r.next(), 6334);
    r.seed(1);
    EXPECT_EQ(r.next(), 41);
}

TEST(CodePage, UpperCasesWindows1252LettersOnly)
{
    EXPECT_EQ(toUpperCp1252("vek.heap"), "VEK.HEAP");
    // Accented small letters, s/z caron, oe and y diaeresis have capitals in the code page.
    EXPECT_EQ(toUpperCp1252("\xE9\xF6\x9A\x9E\x9C\xFF"), "\xC9\xD6\x8A\x8E\x8C\x9F");
    // Division sign, sharp s, digits and signs stay as they are.
    EXPECT_EQ(toUpperCp1252("\xF7\xDF"
                            "09_-["),
              "\xF7\xDF"
              "09_-[");
}

TEST(CodePage, ComparesWithoutCase)
{
    EXPECT_EQ(compareNoCaseCp1252("Vek.Heap", "VEK.HEAP"), 0);
    EXPECT_EQ(compareNoCaseCp1252("\xE9t\xE9", "\xC9T\xC9"), 0);
    EXPECT_LT(compareNoCaseCp1252("abc", "ABD"), 0);
    EXPECT_LT(compareNoCaseCp1252("ab", "ABC"), 0);
    EXPECT_GT(compareNoCaseCp1252("b", "A"), 0);
}

TEST(CodePage, ConvertsToAndFromUtf8)
{
    const std::string name = "J\xFCrgen \x80 \x9C";  // u umlaut, euro sign, oe
    const std::string utf8 = cp1252ToUtf8(name);
    EXPECT_EQ(utf8, "J\xC3\xBCrgen \xE2\x82\xAC \xC5\x93");
    EXPECT_EQ(utf8ToCp1252(utf8), name);
    // Outside the code page, broken or overlong UTF-8: no conversion.
    EXPECT_FALSE(utf8ToCp1252("\xE4\xB8\xAD"));       // a CJK character
    EXPECT_FALSE(utf8ToCp1252("abc\xC3"));            // cut sequence
    EXPECT_FALSE(utf8ToCp1252("\xC0\xAF"));           // overlong '/'
    EXPECT_FALSE(utf8ToCp1252("\xEF\xBF\xBD"));       // U+FFFD is no byte of the code page
    EXPECT_EQ(cp1252ToUtf8("\x81"), "\xEF\xBF\xBD");  // undefined byte
}

TEST(ProgramFolder, AnInstalledGameKeepsItsPlayersInTheUsersDataFolder)
{
    const std::string exe = "/nonexistent/usr/games/";
    // --data holds both; an installed game (no vek.heap beside it) splits them.
    EXPECT_EQ(
        findGameFolders(std::string("/srv/w"), exe, "../share/games/wordlark/", "/x", "/h").player,
        "/srv/w/");
    const GameFolders installed =
        findGameFolders(std::nullopt, exe, "../share/games/wordlark/", "/xdg", "/home/ann");
    EXPECT_EQ(installed.data, "/nonexistent/usr/games/../share/games/wordlark/");
    EXPECT_EQ(installed.player, "/xdg/wordlark/");
    // Only the user's own data folder is made with the folders above it on a first run.
    EXPECT_TRUE(installed.makePlayerFolder);
    EXPECT_FALSE(
        findGameFolders(std::string("/srv/w"), exe, "../share/", "/x", "/h").makePlayerFolder);
    EXPECT_FALSE(
        findGameFolders(std::nullopt, exe, "../share/", nullptr, nullptr).makePlayerFolder);
    // An unset, empty or relative XDG_DATA_HOME means the default under HOME.
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/data"}) {
        EXPECT_EQ(findGameFolders(std::nullopt, exe, "../share/", xdg, "/home/ann").player,
                  "/home/ann/.local/share/wordlark/");
    }
    EXPECT_EQ(findGameFolders(std::nullopt, exe, "../share/", nullptr, nullptr).player,
              findGameFolders(std::nullopt, exe, "../share/", nullptr, nullptr).data);
}

TEST(ProgramFolder, SettingsLieBesideTheDataOrInTheUsersConfigurationFolder)
{
    const std::string exe = "/nonexistent/usr/games/";
    const GameFolders data = findGameFolders(std::string("/srv/w"), exe, "../share/", "/x", "/h");
    EXPECT_EQ(data.settings, "/srv/w/settings.json");
    EXPECT_FALSE(data.makeSettingsFolder);
    const GameFolders installed =
        findGameFolders(std::nullopt, exe, "../share/", "/xdg", "/home/ann", "/cfg");
    EXPECT_EQ(installed.settings, "/cfg/wordlark/settings.json");
    EXPECT_TRUE(installed.makeSettingsFolder);
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
        EXPECT_EQ(
            findGameFolders(std::nullopt, exe, "../share/", nullptr, "/home/ann", xdg).settings,
            "/home/ann/.config/wordlark/settings.json");
    }
    const GameFolders homeless = findGameFolders(std::nullopt, exe, "../share/", nullptr, nullptr);
    EXPECT_EQ(homeless.settings, homeless.data + "settings.json");
    EXPECT_FALSE(homeless.makeSettingsFolder);
}

TEST(ProgramFolder, EndsInOneSeparator)
{
    EXPECT_EQ(withTrailingSeparator("/opt/game"), "/opt/game/");
    EXPECT_EQ(withTrailingSeparator("/opt/game//"), "/opt/game/");
    EXPECT_EQ(withTrailingSeparator(""), "");
    EXPECT_FALSE(executableFolder().empty());
    EXPECT_EQ(executableFolder().back(), '/');
}

}  // namespace
}  // namespace wordlark::platform
