#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "words/PlayerFiles.h"

namespace wordlark::words {
namespace {

#ifndef _WIN32  // Windows paths differ in separator and code page: checked below
TEST(PlayerFiles, BuildsThePathInTheSaveFolderInUtf8)
{
    EXPECT_EQ(playerFilePath("/game/", "ANNA", ".dic"), "/game/save/ANNA.dic");
    EXPECT_EQ(playerFilePath("/game", "ANNA", ".sav"), "/game/save/ANNA.sav");
    // Windows-1252 o-diaeresis and the euro sign become their UTF-8 forms.
    EXPECT_EQ(playerFilePath("/g/", "J\xF6rg\x80", ".dic"), "/g/save/J\xC3\xB6rg\xE2\x82\xAC.dic");
    // Dots are ordinary characters as long as the name is not a folder link.
    EXPECT_EQ(playerFilePath("/g/", "...", ".dic"), "/g/save/....dic");
    EXPECT_EQ(playerFilePath("/g/", ".A", ".dic"), "/g/save/.A.dic");
}
#else
TEST(PlayerFiles, BuildsTheWindowsPathInWindows1252)
{
    EXPECT_EQ(playerFilePath("C:\\game\\", "ANNA", ".dic"), "C:\\game\\save\\ANNA.dic");
    EXPECT_EQ(playerFilePath("C:/game/", "ANNA", ".sav"), "C:/game/save\\ANNA.sav");
    EXPECT_EQ(playerFilePath("C:\\game", "J\xF6rg\x80", ".sav"), "C:\\game\\save\\J\xF6rg\x80.sav");
}
#endif

TEST(PlayerFiles, RefusesNamesThatLeaveTheSaveFolder)
{
    for (const std::string& name :
         std::vector<std::string>{"", ".", "..", "/", "../x", "a/b", "a\\b", "..\\..\\x",
                                  std::string("a\0b", 3), std::string(1, '\0')}) {
        EXPECT_FALSE(playerFilePath("/g/", name, ".dic").has_value()) << "name: " << name;
    }
}

}  // namespace
}  // namespace wordlark::words
