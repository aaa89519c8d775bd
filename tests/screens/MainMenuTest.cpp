#include "screens/MainMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/Game.h"
#include "graphics/Display.h"
#include "graphics/DrawLog.h"
#include "screens/GameScreens.h"
#include "support/GameWorld.h"

namespace wordlark::screens {
namespace {

using platform::WM_BUTTON_COMMAND;

// A game on the shipped archive, its start-up selection answered; help is chosen from a menu
// made for each case.
class MainMenuTest : public ::testing::Test {
protected:
    MainMenuTest()
    {
        EXPECT_TRUE(world_.makeGame());
        world_.game->closeModalPanel();
    }

    // Chooses help; what the error stream got.
    std::string chooseHelp()
    {
        MainMenu menu("menu", *world_.game, world_.dir.folder());
        ::testing::internal::CaptureStderr();
        menu.handleInput(WM_BUTTON_COMMAND, kMenuHelp, 0);
        return ::testing::internal::GetCapturedStderr();
    }

    // The texts the game screen draws.
    std::vector<std::string> screenTexts()
    {
        graphics::DrawLog log;
        graphics::display().setDrawLog(&log);
        world_.game->drawScreen();
        graphics::display().setDrawLog(nullptr);
        std::vector<std::string> texts;
        for (const graphics::DrawLog::Text& t : log.texts) {
            texts.push_back(t.text);
        }
        return texts;
    }

    GameScreens screens_;
    test::GameWorld world_{screens_};
};

TEST_F(MainMenuTest, HelpThatCannotBeOpenedIsToldOnceOnEachSideUntilTheNextDeal)
{
    const std::string page = world_.dir.file("wordlark-help.html");
    EXPECT_EQ(chooseHelp(),
              "wordlark: cannot open the help: " + page + ": No such file or directory\n");
    EXPECT_TRUE(world_.desktop.helpOpened().empty());
    const std::string notice = "Could not open the help: No such file or directory";
    EXPECT_EQ(world_.game->saveProblems().notice(), notice);
    std::vector<std::string> texts = screenTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), notice), texts.end());

    world_.game->handleInput(WM_BUTTON_COMMAND, game::kCommandStart, 0);
    texts = screenTexts();
    EXPECT_EQ(std::find(texts.begin(), texts.end(), notice), texts.end());

    // The page beside vek.hlp is the one shown.
    world_.dir.writeText("wordlark-help.html", "<html>help</html>");
    EXPECT_EQ(chooseHelp(), "");
    EXPECT_EQ(world_.desktop.helpOpened(), std::vector<std::string>{page});
}

}  // namespace
}  // namespace wordlark::screens
