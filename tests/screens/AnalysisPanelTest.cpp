#include "screens/AnalysisPanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/Game.h"
#include "screens/GameScreens.h"
#include "support/GameWorld.h"
#include "support/TempDir.h"

namespace wordlark::screens {
namespace {

using platform::WM_BUTTON_COMMAND;

// A game on the shipped archive, its start-up selection answered, and one analysis panel.
class AnalysisPanelTest : public ::testing::Test {
protected:
    AnalysisPanelTest()
    {
        EXPECT_TRUE(world_.makeGame());
        world_.game->closeModalPanel();
    }
    ~AnalysisPanelTest() override { panel_.reset(); }

    AnalysisPanel& open(const std::string& letters)
    {
        panel_ = std::make_unique<AnalysisPanel>("an_fon", *world_.game, letters, alphabetical_);
        return *panel_;
    }
    void command(AnalysisCommand id) { panel_->handleInput(WM_BUTTON_COMMAND, id, 0); }

    GameScreens screens_;
    test::GameWorld world_{screens_};
    test::TempDir& dir_ = world_.dir;
    bool alphabetical_ = true;
    std::unique_ptr<AnalysisPanel> panel_;
};

TEST_F(AnalysisPanelTest, SortsStablyBothWaysAndKeepsTheFirstRowsWord)
{
    // The player's own words follow the dictionary's, a word in both is listed twice.
    std::ofstream(dir_.file("save/Anonim.dic")) << "TEA\nEAT\nZZZ\n";
    AnalysisPanel& panel = open("TEAS[");
    std::vector<std::string> words = panel.words();
    ASSERT_GT(words.size(), 10u);
    EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
    EXPECT_EQ(std::count(words.begin(), words.end(), "TEA"), 2);
    EXPECT_EQ(std::count(words.begin(), words.end(), "ZZZ"), 0);
    // The joker stands for one missing letter.
    EXPECT_NE(std::find(words.begin(), words.end(), "TEST"), words.end());

    command(kAnalysisDown);
    command(kAnalysisDown);
    EXPECT_EQ(panel.top(), 4u);
    command(kAnalysisByLength);
    EXPECT_FALSE(alphabetical_);
    EXPECT_EQ(panel.top(), 0u);
    const std::vector<std::string> byLength = panel.words();
    for (std::size_t i = 1; i < byLength.size(); ++i) {
        ASSERT_GE(byLength[i - 1].size(), byLength[i].size());
        // Equal lengths keep the alphabetical order they had.
        if (byLength[i - 1].size() == byLength[i].size()) {
            ASSERT_LE(byLength[i - 1], byLength[i]);
        }
    }
    command(kAnalysisDown);
    const std::string first = panel.words()[panel.top()];
    command(kAnalysisAlphabetical);
    EXPECT_EQ(panel.words()[panel.top()], first);
    EXPECT_EQ(panel.words(), words);

    // The order chosen last is the one the next opening starts with.
    command(kAnalysisByLength);
    const std::vector<std::string>& reopened = open("TEAS[").words();
    EXPECT_TRUE(std::is_sorted(
        reopened.begin(), reopened.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); }));
}

TEST_F(AnalysisPanelTest, ScrollsByTwoWithinTheList)
{
    AnalysisPanel& panel = open("TEAS[");
    const std::size_t count = panel.words().size();
    command(kAnalysisUp);
    EXPECT_EQ(panel.top(), 0u);
    for (std::size_t i = 0; i < count; ++i) {
        command(kAnalysisDown);
    }
    // It stops where fewer than three words follow the first row.
    EXPECT_LE(count - panel.top(), 3u);
    EXPECT_GE(count - panel.top(), 2u);
    const std::size_t last = panel.top();
    command(kAnalysisUp);
    EXPECT_EQ(panel.top(), last - 2);

    AnalysisPanel& empty = open("QQQ");
    EXPECT_TRUE(empty.words().empty());
    command(kAnalysisDown);
    command(kAnalysisUp);
    EXPECT_EQ(empty.top(), 0u);
}

}  // namespace
}  // namespace wordlark::screens
