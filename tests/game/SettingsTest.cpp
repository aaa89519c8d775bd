#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "game/Settings.h"
#include "platform/Desktop.h"
#include "support/TempDir.h"

namespace wordlark::game {
namespace {

using platform::DisplayMode;
using platform::kFitScale;

class SettingsTest : public ::testing::Test {
protected:
    ~SettingsTest() override { platform::desktop().setDisplayMode({}); }

    std::string path() const { return dir_.file("settings.json"); }
    nlohmann::json written() const
    {
        const auto bytes = dir_.read("settings.json");
        return nlohmann::json::parse(bytes.begin(), bytes.end());
    }
    // Loads the file as it stands: the values and the one line said about it.
    std::pair<DisplayMode, std::string> loaded() const
    {
        Settings settings(path());
        std::string line = settings.load();
        return {settings.stored(), line};
    }

    test::TempDir dir_;
};

TEST_F(SettingsTest, ReadsWhatItWroteAndSaysNothingOfAMissingFile)
{
    EXPECT_EQ(loaded(), std::make_pair(DisplayMode{}, std::string()));
    dir_.writeText("settings.json", R"({"scale": 3, "fullscreen": true, "smooth": true})");
    EXPECT_EQ(loaded(), std::make_pair(DisplayMode{3, true, true}, std::string()));
    dir_.writeText("settings.json", R"({"scale": "fit"})");
    EXPECT_EQ(loaded(), std::make_pair(DisplayMode{kFitScale, false, false}, std::string()));
}

TEST_F(SettingsTest, WhatCannotBeReadKeepsItsDefaultAndIsSaidInOneLine)
{
    const auto expectDefaultsSaid = [this](const std::string& what, DisplayMode want = {}) {
        const auto [mode, line] = loaded();
        EXPECT_EQ(mode, want) << what;
        EXPECT_FALSE(line.empty()) << what;
        EXPECT_EQ(line.find('\n'), std::string::npos) << what;
        EXPECT_LT(line.size(), 400U) << what;
    };
    for (const char* text : {"", "garbage \x01\xff", "[1, 2]", R"({"scale": 2)", "\"fit\"",
                             R"({"scale": "fit", "smooth": tru})"}) {
        dir_.writeText("settings.json", text);
        expectDefaultsSaid(text);
    }
    dir_.writeText("settings.json", std::string(10 * 1024 * 1024, ' ') + "{}");
    expectDefaultsSaid("10 MB");
    dir_.writeText("settings.json", std::string(5000, '[') + std::string(5000, ']'));
    expectDefaultsSaid("deep nesting");
    // Out of range, wrong types and unknown keys cost only themselves; unknown ones are named.
    for (const char* scale : {"0", "9", "-1", "2.5", "\"2\"", "\"Fit\"", "18446744073709551615"}) {
        dir_.writeText("settings.json",
                       std::string(R"({"fullscreen": true, "scale": )") + scale + "}");
        expectDefaultsSaid(scale, DisplayMode{kFitScale, true, false});
    }
    dir_.writeText("settings.json",
                   R"({"scale": 2, "smooth": 1, "zoom": [1], "x\u0007": 0, "c": 1, "d": 2})");
    expectDefaultsSaid("unknown keys", DisplayMode{2, false, false});
    EXPECT_NE(loaded().second.find("\"zoom\""), std::string::npos);
    EXPECT_NE(loaded().second.find("\"x?\""), std::string::npos);
    EXPECT_NE(loaded().second.find("1 more"), std::string::npos);

    std::filesystem::remove(path());
    std::filesystem::create_directory(path());
    expectDefaultsSaid("a folder");
#ifndef _WIN32
    std::filesystem::remove(path());
    ASSERT_EQ(::mkfifo(path().c_str(), 0600), 0);
    expectDefaultsSaid("a FIFO without a writer does not stall the start");
    std::filesystem::remove(path());
    dir_.writeText("elsewhere.json", R"({"scale": 4})");
    std::filesystem::create_symlink(dir_.file("elsewhere.json"), path());
    expectDefaultsSaid("a link is not followed");
#endif
}

TEST_F(SettingsTest, AChoiceReachesTheDesktopAndOnlyItsOwnFieldReachesTheFile)
{
    dir_.writeText("settings.json", R"({"scale": 3, "smooth": true, "later": {"row": 1}})");
    Settings settings(path());
    EXPECT_NE(settings.load().find("\"later\""), std::string::npos);
    // The command line asked for full screen at scale 1 for this run.
    platform::desktop().setDisplayMode({1, true, true});
    ASSERT_TRUE(settings.apply([](DisplayMode& m) { m.smooth = false; }));
    EXPECT_EQ(platform::desktop().displayMode(), (DisplayMode{1, true, false}));
    EXPECT_EQ(written(), nlohmann::json::parse(R"({"scale": 3, "fullscreen": false,
                                                   "smooth": false, "later": {"row": 1}})"));
    ASSERT_TRUE(settings.apply([](DisplayMode& m) { m.scale = kFitScale; }));
    EXPECT_EQ(written()["scale"], "fit");
    EXPECT_EQ(loaded().first, (DisplayMode{kFitScale, false, false}));
    // Nothing but the settings file is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.folder())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
#ifndef _WIN32
    struct stat info {};
    ASSERT_EQ(::stat(path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
#endif
}

TEST_F(SettingsTest, WritingReplacesWhateverStandsThereWithoutFollowingIt)
{
    // A damaged file is healed by the next choice: the values read stay, the rest are defaults.
    dir_.writeText("settings.json", R"({"scale": 2, "fullscreen": "yes"})");
    Settings damaged(path());
    EXPECT_NE(damaged.load(), "");
    ASSERT_TRUE(damaged.apply([](DisplayMode& m) { m.smooth = false; }));
    EXPECT_EQ(loaded(), std::make_pair(DisplayMode{2, false, false}, std::string()));
#ifndef _WIN32
    std::filesystem::remove(path());
    dir_.writeText("target", "kept");
    std::filesystem::create_symlink(dir_.file("target"), path());
    Settings linked(path());
    linked.load();
    ASSERT_TRUE(linked.apply([](DisplayMode& m) { m.fullscreen = true; }));
    EXPECT_FALSE(std::filesystem::is_symlink(path()));
    EXPECT_EQ(dir_.read("target"), (std::vector<std::uint8_t>{'k', 'e', 'p', 't'}));
    EXPECT_EQ(written()["fullscreen"], true);
#endif
    // A folder in the way: the choice is in force, the failure said, nothing left behind.
    std::filesystem::remove(path());
    std::filesystem::create_directory(path());
    Settings blocked(path());
    std::string why;
    EXPECT_FALSE(blocked.apply([](DisplayMode& m) { m.scale = 2; }, &why));
    EXPECT_NE(why.find(path()), std::string::npos);
    EXPECT_EQ(platform::desktop().displayMode().scale, 2);
    EXPECT_TRUE(std::filesystem::is_directory(path()));
}

TEST_F(SettingsTest, TheUsersConfigurationFolderIsMadeOnTheFirstChoice)
{
    const std::string file = dir_.file("config/wordlark/settings.json");
    Settings settings(file, true);
    EXPECT_EQ(settings.load(), "");
    ASSERT_TRUE(settings.apply([](DisplayMode& m) { m.fullscreen = true; }));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    // Elsewhere a missing folder is a mistake, not something to make.
    std::string why;
    Settings elsewhere(dir_.file("missing/settings.json"));
    EXPECT_FALSE(elsewhere.apply([](DisplayMode& m) { m.fullscreen = false; }, &why));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing")));
}

}  // namespace
}  // namespace wordlark::game
