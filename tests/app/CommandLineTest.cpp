#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "platform/DisplayMode.h"

namespace wordlark::app {
namespace {

CommandLine read(const std::vector<std::string>& words)
{
    return CommandLine(words);
}

TEST(CommandLineTest, WhatTheCommandLineDoesNotSayStaysUnset)
{
    const CommandLine line = read({});
    ASSERT_FALSE(line.exitCode());
    EXPECT_FALSE(line.options().scale);
    EXPECT_FALSE(line.options().fullscreen);
    EXPECT_FALSE(line.options().data);
    EXPECT_FALSE(line.options().seed);
    EXPECT_FALSE(line.options().headless);
}

TEST(CommandLineTest, ReadsTheWindowAndTheGame)
{
    const CommandLine line =
        read({"--scale", "3", "--fullscreen", "--data", "d", "--seed", "4294967295"});
    ASSERT_FALSE(line.exitCode()) << line.error();
    EXPECT_EQ(line.options().scale, 3);
    EXPECT_EQ(line.options().fullscreen, true);
    EXPECT_EQ(line.options().data, "d");
    EXPECT_EQ(line.options().seed, 4294967295u);
    EXPECT_EQ(read({"--scale", "fit"}).options().scale, platform::kFitScale);
    EXPECT_EQ(read({"--scale", "8"}).options().scale, 8);
    EXPECT_EQ(read({"--scale=1"}).options().scale, 1);
}

TEST(CommandLineTest, ReadsAReplay)
{
    const CommandLine line = read({"--headless", "--script", "-", "--screen", "1024x768"});
    ASSERT_FALSE(line.exitCode()) << line.error();
    EXPECT_TRUE(line.options().headless);
    EXPECT_EQ(line.options().script, "-");
    EXPECT_EQ(line.options().screenWidth, 1024);
    EXPECT_EQ(line.options().screenHeight, 768);
}

// Each refusal is one line on the standard error and exit code 2, nothing on the output.
TEST(CommandLineTest, RefusesWhatItCannotFollowInOneLine)
{
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"--scale", "0"},
             {"--scale", "9"},
             {"--scale", "2x"},
             {"--scale", "-1"},
             {"--scale", "Fit"},
             {"--scale", ""},
             {"--scale", "2", "--scale", "3"},
             {"--fullscreen", "--fullscreen"},
             {"--scale"},
             {"--data", "--seed", "3"},
             {"--seed", "4294967296"},
             {"--depth", "16"},
             {"--screen", "639x480"},
             {"--headless"},
             {"--script", "-"},
             {"--frobnicate"},
             {"--deal", "ABCDEFGHIJK"},
             {"--deal", "ABCDEFGHIJ??"},
             {"--deal", "ABCDEFGHIJK\xff"},
             {"--deal", "ABCDEFGHIJKL\nX"},
             {"--deal", "ABCDEFGHIJKL", "--daily"},
             {"--daily", "--daily"},
             {"--date", "2025-12-31"},
             {"--date", "2026-02-30"},
             {"--date", "26-01-01"},
             {"--date", "--daily"},
         }) {
        const CommandLine line = read(words);
        const std::string said = words.empty() ? "" : words.front() + " " + words.back();
        EXPECT_EQ(line.exitCode(), 2) << said;
        EXPECT_TRUE(line.output().empty()) << said;
        ASSERT_FALSE(line.error().empty()) << said;
        EXPECT_EQ(line.error().find('\n'), line.error().size() - 1) << said;
        EXPECT_TRUE(line.error().starts_with("wordlark: ")) << line.error();
    }
    EXPECT_NE(read({"--scale", "9"}).error().find("needs 1 to 8 or fit, not 9"), std::string::npos);
}

TEST(CommandLineTest, ReadsTheDealToPlay)
{
    const CommandLine code = read({"--deal", "abc?-efgh ijkl"});
    ASSERT_FALSE(code.exitCode()) << code.error();
    EXPECT_EQ(code.options().deal->letters(), "ABCEFGHIJKL[");
    EXPECT_FALSE(code.options().daily);
    const CommandLine daily = read({"--daily", "--date", "2026-12-09"});
    ASSERT_FALSE(daily.exitCode()) << daily.error();
    EXPECT_TRUE(daily.options().daily);
    EXPECT_EQ(daily.options().day, 342);
    EXPECT_FALSE(daily.options().deal);
    EXPECT_NE(read({"--deal", "ABC"}).error().find("a code has twelve letters"), std::string::npos);
}

TEST(CommandLineTest, HelpAndVersionEndTheRunWell)
{
    const CommandLine help = read({"--help"});
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_NE(help.output().find("--scale N"), std::string::npos);
    EXPECT_NE(help.output().find("--fullscreen"), std::string::npos);
    const CommandLine version = read({"--version"});
    EXPECT_EQ(version.exitCode(), 0);
    EXPECT_TRUE(version.output().starts_with("wordlark ")) << version.output();
}

}  // namespace
}  // namespace wordlark::app
