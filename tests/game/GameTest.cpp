#include "game/Game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "game/Deal.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
#include "game/RecordFile.h"
#include "game/WordRow.h"
#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "graphics/PictureClasses.h"
#include "panels/Button.h"
#include "panels/ImageReferences.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"
#include "platform/Desktop.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "platform/headless/HeadlessDesktop.h"
#include "support/GameWorld.h"
#include "support/TempDir.h"

namespace wordlark::game {
namespace {

using namespace platform;

// What the test panels saw, in order, across all of them.
std::vector<std::string>& panelLog()
{
    static std::vector<std::string> log;
    return log;
}

// A stand-in for the screens of the next issue: records its input and drawing; Escape closes
// it through the base close request; with consume false it lets messages through (a menu).
class TestPanel : public panels::Panel {
public:
    TestPanel(Game& host, std::string name, bool consume)
        : Panel(host, "ng_fon"), name_(std::move(name)), consume_(consume)
    {
    }
    bool handleInput(MessageId message, WParam wParam, LParam lParam) override
    {
        panelLog().push_back(name_ + " input " + std::to_string(message));
        if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
            return Panel::handleInput(message, wParam, lParam);
        }
        return consume_;
    }
    void draw() override { panelLog().push_back(name_ + " draw"); }
    std::string_view className() const override { return "TestPanel"; }

private:
    std::string name_;
    bool consume_;
};

// Opens the stand-ins a test asks for; a screen it did not ask for stays closed.
class TestScreens : public ScreenOpener {
public:
    std::unique_ptr<panels::Panel> open(GameScreen screen, Game& game) override
    {
        const auto found = makers.find(screen);
        return found == makers.end() ? nullptr : found->second(game);
    }
    std::map<GameScreen, std::function<std::unique_ptr<panels::Panel>(Game&)>> makers;
};

class GameTest : public ::testing::Test {
protected:
    GameTest() { panelLog().clear(); }

    void makeGame()
    {
        ASSERT_TRUE(world_.makeGame());
        game_ = world_.game.get();
    }
    GameState& state() { return game_->state(); }

    void post(MessageId message, WParam wParam = 0, LParam lParam = 0)
    {
        world_.post(message, wParam, lParam);
    }
    void move(int x, int y) { post(WM_MOUSEMOVE, 0, makeLParam(x, y)); }
    void click(int x, int y)
    {
        move(x, y);
        post(WM_LBUTTONDOWN, MK_LBUTTON, makeLParam(x, y));
        post(WM_LBUTTONUP, 0, makeLParam(x, y));
    }
    void command(int id) { post(WM_BUTTON_COMMAND, static_cast<WParam>(id)); }
    void type(const std::string& text)
    {
        for (const char c : text) {
            post(WM_CHAR, static_cast<unsigned char>(c));
        }
    }
    // Pool and row tiles by column.
    void clickPool(int column) { click(16 + 42 * column + 20, 140); }
    void clickRow(int column) { click(16 + 42 * column + 20, 240); }

    // Starts a deal and replaces its letters by known ones.
    void startWith(const std::string& letters)
    {
        command(kCommandStart);
        game_->pool()->deal(letters);
    }

    // The enabled state of every button, "1" or "0" in table order.
    std::string buttonStates()
    {
        std::string states;
        for (int id = 0; id < kGameButtonCount; ++id) {
            states += game_->button(id)->enabled() ? '1' : '0';
        }
        return states;
    }

    std::vector<std::uint16_t> frame()
    {
        std::vector<std::uint16_t> pixels;
        const platform::Surface& buffer = graphics::display().backBuffer();
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                pixels.push_back(buffer.row16(y)[x]);
            }
        }
        return pixels;
    }

    void addToWordList(const std::string& words)
    {
        std::ofstream(dir_.file("save/Anonim.dic"), std::ios::app) << words << "\n";
    }

    TestScreens screens_;
    test::GameWorld world_{screens_};
    test::TempDir& dir_ = world_.dir;
    Game* game_ = nullptr;
};

// Order of the button states below: minimize close start demand pass analyze sort clear menub.

TEST_F(GameTest, StartsWithAnEmptyScreenAndOnlyStartEnabled)
{
    makeGame();
    EXPECT_EQ(buttonStates(), "111000001");
    EXPECT_TRUE(game_->pool()->letters().empty());
    EXPECT_TRUE(game_->playerRow()->word().empty());
    EXPECT_TRUE(game_->computerRow()->word().empty());
    EXPECT_EQ(state().currentPlayer, PlayerRecord::anonymous());
    EXPECT_EQ(game_->modalPanel(), nullptr);  // no player selection registered yet
    EXPECT_EQ(game_->menuOverlay(), nullptr);
}

TEST_F(GameTest, ThePlayerSelectionOpensInFrontAtStartUp)
{
    screens_.makers[GameScreen::PlayerSelection] =
        [](Game& host) -> std::unique_ptr<panels::Panel> {
        return std::make_unique<TestPanel>(host, "players", true);
    };
    makeGame();
    ASSERT_NE(game_->modalPanel(), nullptr);
    command(kCommandStart);  // the selection takes it, the game screen does not see it
    EXPECT_TRUE(game_->pool()->letters().empty());
    EXPECT_EQ(panelLog().back(), "players input " + std::to_string(WM_BUTTON_COMMAND));
    post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(game_->modalPanel(), nullptr);
    command(kCommandStart);
    EXPECT_EQ(game_->pool()->letters().size(), 12u);
}

TEST_F(GameTest, StartDealsTwelveLettersAndSetsTheButtonsForTheLevel)
{
    makeGame();
    command(kCommandStart);
    EXPECT_EQ(state().currentPlayer.games, 1);
    EXPECT_EQ(game_->pool()->letters().size(), 12u);
    EXPECT_EQ(buttonStates(), "110011101");

    state().setLevel(4);
    command(kCommandStart);
    EXPECT_EQ(state().currentPlayer.games, 2);
    EXPECT_EQ(buttonStates(), "110010101");  // no analysis during a deal at level 4

    // Ids outside the table do nothing.
    command(9);
    command(-1);
    EXPECT_EQ(buttonStates(), "110010101");
}

TEST_F(GameTest, CodesAndDailyDealsAreDealtAsTheyAreWheneverStartCouldBe)
{
    screens_.makers[GameScreen::PlayerSelection] = [](Game& host) {
        return std::make_unique<TestPanel>(host, "players", true);
    };
    makeGame();
    // The command line's deal waits for the player to be chosen.
    game_->requestDeal({DealCode::parse("abc?efghijkl"), false, 100});
    EXPECT_EQ(game_->pool()->letters(), "");
    post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(game_->pool()->letters(), "ABCEFGHIJKL[");
    EXPECT_EQ(game_->dealCode()->text(), "ABCEFGHIJKL?");
    EXPECT_FALSE(game_->dailyInPlay());
    EXPECT_EQ(state().currentPlayer.games, 1);
    // A deal in play is not replaced while "start" is off.
    EXPECT_FALSE(game_->playDaily());
    EXPECT_FALSE(game_->playCode(*DealCode::parse("ZZZZZZZZZZZZ")));
    EXPECT_EQ(game_->pool()->letters(), "ABCEFGHIJKL[");

    // The daily deal is the day's: neither the game's random sequence nor the player's own
    // words change it.
    command(kCommandPass);
    state().random.seed(1);
    ASSERT_TRUE(game_->playDaily());
    const std::string day100 = game_->pool()->letters();
    EXPECT_EQ(game_->dailyInPlay(), 101);
    EXPECT_EQ(buttonStates(), "110011101");
    command(kCommandPass);
    state().random.seed(77);
    addToWordList("ZZZ ZZZZ ZZZZZ ZZZZZZ ZZZZZZZ QQQ QQQQ QQQQQ QQQQQQ QQQQQQQ");
    post(WM_KEYDOWN, VK_F7);
    EXPECT_EQ(game_->pool()->letters(), day100);
    command(kCommandPass);
    game_->requestDeal({std::nullopt, false, 101});
    command(kCommandDaily);
    EXPECT_NE(game_->pool()->letters(), day100);
    EXPECT_EQ(game_->dailyInPlay(), 102);
    command(kCommandPass);
    command(kCommandStart);
    EXPECT_FALSE(game_->dailyInPlay());
}

TEST_F(GameTest, AClickOnAButtonRunsItsCommand)
{
    makeGame();
    graphics::ImageResource* image = game_->button(kCommandStart)->image();
    ASSERT_NE(image, nullptr);
    int hitX = -1;
    int hitY = -1;
    for (int y = 0; y < 480 && hitX < 0; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (image->hitTest(x, y) != nullptr) {
                hitX = x;
                hitY = y;
                break;
            }
        }
    }
    ASSERT_GE(hitX, 0);
    click(hitX, hitY);
    EXPECT_EQ(game_->pool()->letters().size(), 12u);
    EXPECT_FALSE(game_->button(kCommandStart)->enabled());
}

TEST_F(GameTest, TypedLettersEnableDemandAsMouseLettersDo)
{
    makeGame();
    startWith("CATSEXWORDS[");
    type("cat");
    EXPECT_EQ(game_->playerRow()->word(), "CAT");
    EXPECT_EQ(buttonStates(), "110111111");  // a typed word can be judged from the keyboard

    // Outside A-Z and "?" nothing is taken.
    type("1 .\xC9");
    post(WM_CHAR, 0x100 + 'S');
    EXPECT_EQ(game_->playerRow()->word(), "CAT");

    post(WM_KEYDOWN, VK_BACK);
    post(WM_KEYDOWN, VK_DELETE);
    EXPECT_EQ(game_->playerRow()->word(), "C");
    EXPECT_TRUE(game_->pool()->available(1));
    EXPECT_EQ(buttonStates(), "110111111");
    post(WM_KEYDOWN, VK_BACK);  // the row is empty: demand and clear go off
    EXPECT_EQ(buttonStates(), "110011101");
    post(WM_KEYDOWN, VK_BACK);  // nothing to take back changes nothing
    EXPECT_EQ(buttonStates(), "110011101");

    clickPool(3);  // S
    clickPool(0);  // C
    EXPECT_EQ(game_->playerRow()->word(), "SC");
    EXPECT_EQ(buttonStates(), "110111111");
    clickRow(0);  // S goes back
    EXPECT_EQ(game_->playerRow()->word(), "C");
    EXPECT_EQ(buttonStates(), "110111111");
    clickRow(0);  // the row is empty: demand and clear go off
    EXPECT_EQ(buttonStates(), "110011101");
}

TEST_F(GameTest, TheJokerTakesItsLetterFromTheStripUnderTheRightButton)
{
    makeGame();
    startWith("CTBBBBBBBBB[");
    type("c?t");
    ASSERT_EQ(game_->playerRow()->word(), "C?T");
    EXPECT_EQ(game_->playerRow()->jokerIndex(), 1);

    // A press on a letter that is not the joker does nothing.
    move(16 + 20, 240);
    post(WM_RBUTTONDOWN);
    EXPECT_FALSE(state().jokerPick);

    move(16 + 42 + 20, 240);
    post(WM_RBUTTONDOWN);
    EXPECT_TRUE(state().jokerPick);
    move(5, 240);
    post(WM_RBUTTONUP);
    EXPECT_FALSE(state().jokerPick);
    EXPECT_EQ(game_->playerRow()->word(), "CAT");

    move(16 + 42 + 20, 240);
    post(WM_RBUTTONDOWN);
    move(639, 240);
    post(WM_RBUTTONUP);
    EXPECT_EQ(game_->playerRow()->word(), "CZT");
    move(16 + 42 + 20, 240);
    post(WM_RBUTTONDOWN);
    move(20 + 20 * 14 + 10, 240);  // the cell of O
    post(WM_RBUTTONUP);
    EXPECT_EQ(game_->playerRow()->word(), "COT");

    // A release without a press on the joker changes nothing.
    move(5, 240);
    post(WM_RBUTTONUP);
    EXPECT_EQ(game_->playerRow()->word(), "COT");

    // The joker's tile goes back as the joker.
    clickRow(1);
    EXPECT_EQ(game_->playerRow()->word(), "CT");
    EXPECT_TRUE(game_->pool()->available(11));
}

TEST_F(GameTest, AnAcceptedWordIsJudgedSavedAndCannotBePlayedAgain)
{
    makeGame();
    startWith("CATSXXXXXXXX");
    for (int column : {0, 1, 2, 3}) {
        clickPool(column);
    }
    ASSERT_EQ(game_->playerRow()->word(), "CATS");
    command(kCommandDemand);

    // At level 1 the computer answers with 3 letters at most: four letters win.
    const std::string answer = game_->computerRow()->word();
    EXPECT_LE(answer.size(), 3u);
    PlayerRecord& player = state().currentPlayer;
    EXPECT_EQ(player.victories, 1);
    EXPECT_GT(game_->scores().playerChange, 0);
    EXPECT_EQ(game_->scores().playerChange, -game_->scores().computerChange);
    EXPECT_EQ(player.rating, game_->scores().playerChange);
    EXPECT_EQ(state().computerRating, 100 + game_->scores().computerChange);
    EXPECT_EQ(game_->scores().playerPoints, 3);
    EXPECT_TRUE(state().usedWords.contains("CATS"));
    EXPECT_TRUE(state().usedWords.contains(answer));
    EXPECT_EQ(buttonStates(), "111111111");

    PlayerRecord stored;  // as the file holds it
    ASSERT_TRUE(decodeRecordFile(dir_.read("save/Anonim.sav"), &stored));
    EXPECT_EQ(stored, player);

    // The same word again: its letters go back and nothing is judged.
    command(kCommandDemand);
    EXPECT_TRUE(game_->playerRow()->word().empty());
    EXPECT_TRUE(game_->pool()->available(0) && game_->pool()->available(3));
    EXPECT_EQ(player.victories, 1);
    EXPECT_EQ(player.defeats + player.ties, 0);
    EXPECT_EQ(buttonStates(), "111011101");
}

TEST_F(GameTest, AVerdictThatCannotBeSavedIsShownUntilTheNextDeal)
{
    makeGame();
    std::filesystem::remove_all(dir_.file("save"));
    dir_.writeText("save", "a file where the save folder belongs");
    startWith("CATSXXXXXXXX");
    for (int column : {0, 1, 2, 3}) {
        clickPool(column);
    }
    command(kCommandDemand);
    EXPECT_EQ(state().currentPlayer.victories, 1);  // the game goes on in memory
    const std::string notice = game_->saveProblems().notice();
    EXPECT_NE(notice.find("Could not save the record of Anonim"), std::string::npos) << notice;

    graphics::DrawLog log;
    graphics::display().setDrawLog(&log);
    game_->drawScreen();
    graphics::display().setDrawLog(nullptr);
    EXPECT_TRUE(std::any_of(log.texts.begin(), log.texts.end(),
                            [&](const graphics::DrawLog::Text& t) { return t.text == notice; }));

    command(kCommandStart);
    EXPECT_TRUE(game_->saveProblems().notice().empty());
}

TEST_F(GameTest, WithNoAnswerTheComputerLosesTheWordButWinsThePass)
{
    addToWordList("QQQ");
    makeGame();
    startWith("QQQQQQQQQQQQ");
    type("QQQ");
    command(kCommandDemand);
    EXPECT_EQ(game_->computerRow()->word(), "");
    EXPECT_EQ(state().currentPlayer.victories, 1);

    // The empty answer was played: an empty row is a repeat now.
    command(kCommandClear);
    EXPECT_EQ(buttonStates(), "111011101");
    command(kCommandDemand);
    EXPECT_EQ(state().currentPlayer.victories, 1);
    EXPECT_EQ(game_->modalPanel(), nullptr);

    // The pass sends the row's letters back through the window and is a defeat.
    type("QQ");
    command(kCommandPass);
    EXPECT_TRUE(game_->playerRow()->word().empty());
    EXPECT_EQ(state().currentPlayer.defeats, 1);
    EXPECT_EQ(game_->scores().computerPoints, 3);
    EXPECT_EQ(buttonStates(), "111001001");
    EXPECT_FALSE(game_->pool()->enabled());
    EXPECT_FALSE(game_->playerRow()->enabled());
    clickPool(0);
    EXPECT_TRUE(game_->playerRow()->word().empty());  // no play after the pass
}

TEST_F(GameTest, AnUnknownWordAsksToBeSavedAndTheAnswerDecides)
{
    screens_.makers[GameScreen::SaveWord] = [](Game& host) -> std::unique_ptr<panels::Panel> {
        return std::make_unique<TestPanel>(host, "save", true);
    };
    makeGame();
    startWith("QZXQZXQZXQZX");
    clickPool(0);
    clickPool(1);
    clickPool(2);
    command(kCommandDemand);
    ASSERT_NE(game_->modalPanel(), nullptr);
    EXPECT_EQ(state().currentPlayer.victories + state().currentPlayer.defeats, 0);

    // The dialog takes every message while it is open; Escape closes it.
    command(kCommandClear);
    EXPECT_EQ(game_->playerRow()->word(), "QZX");
    post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(game_->modalPanel(), nullptr);

    game_->saveWordAnswer(true);
    EXPECT_EQ(game_->playerRow()->word(), "QZX");
    command(kCommandDemand);
    EXPECT_EQ(game_->modalPanel(), nullptr);
    EXPECT_EQ(state().currentPlayer.victories + state().currentPlayer.ties +
                  state().currentPlayer.defeats,
              1);

    type("ZX");
    game_->saveWordAnswer(false);
    EXPECT_TRUE(game_->playerRow()->word().empty());
    EXPECT_FALSE(game_->button(kCommandDemand)->enabled());
    EXPECT_FALSE(game_->button(kCommandClear)->enabled());
}

TEST_F(GameTest, SortAnalyzeAndTheMenuFollowTheirRules)
{
    screens_.makers[GameScreen::Analysis] = [](Game& host) -> std::unique_ptr<panels::Panel> {
        return std::make_unique<TestPanel>(host, "analysis", true);
    };
    screens_.makers[GameScreen::MainMenu] = [](Game& host) -> std::unique_ptr<panels::Panel> {
        return std::make_unique<TestPanel>(host, "menu", false);
    };
    makeGame();
    startWith("ZA[B");
    command(kCommandSort);
    EXPECT_EQ(game_->pool()->letters(), "ABZ[");
    EXPECT_FALSE(game_->button(kCommandSort)->enabled());

    clickPool(0);
    command(kCommandAnalyze);
    EXPECT_EQ(buttonStates(), "111001001");
    EXPECT_EQ(game_->playerRow()->word(), "A");  // the letters stay where they are
    ASSERT_NE(game_->modalPanel(), nullptr);

    // The menu sees every message first; what it lets through reaches the dialog only.
    command(kCommandMenu);
    EXPECT_EQ(game_->menuOverlay(), nullptr);  // the dialog took the click
    game_->modalPanel().reset();
    command(kCommandMenu);
    ASSERT_NE(game_->menuOverlay(), nullptr);
    screens_.makers[GameScreen::Analysis] = [](Game& host) -> std::unique_ptr<panels::Panel> {
        return std::make_unique<TestPanel>(host, "analysis2", true);
    };
    command(kCommandAnalyze);
    ASSERT_NE(game_->modalPanel(), nullptr);
    panelLog().clear();
    game_->drawScreen();
    EXPECT_EQ(panelLog(), (std::vector<std::string>{"menu draw", "analysis2 draw"}));
    panelLog().clear();
    post(WM_CHAR, 'A');
    EXPECT_EQ(panelLog(), (std::vector<std::string>{"menu input 258", "analysis2 input 258"}));
}

TEST_F(GameTest, TheStripMarksTheCellAReleaseWouldChoose)
{
    makeGame();
    startWith("CTBBBBBBBBB[");
    type("c?t");
    move(16 + 42 + 20, 240);
    post(WM_RBUTTONDOWN);
    ASSERT_TRUE(state().jokerPick);

    // The pixel of a cell as drawn with the pointer at x.
    auto pixelWith = [&](int pointer, int cellX) {
        game_->setPointer(pointer, game_->pointerY());
        game_->drawScreen();
        return graphics::display().backBuffer().row16(280)[cellX];
    };
    // Only the marked cell is inverted; positions past either end hold at A and Z.
    EXPECT_EQ(pixelWith(5, 25), static_cast<std::uint16_t>(~pixelWith(630, 25)));
    EXPECT_EQ(pixelWith(630, 525), static_cast<std::uint16_t>(~pixelWith(5, 525)));
    EXPECT_EQ(pixelWith(5, 305), pixelWith(630, 305));
}

TEST_F(GameTest, FramesAreDrawnWholeAndPresentable)
{
    makeGame();
    game_->drawScreen();
    const std::vector<std::uint16_t> before = frame();
    startWith("CATSEXWORDS[");
    type("cat");
    for (int pass = 0; pass < 20; ++pass) {  // every tile has rolled to its letter
        game_->drawScreen();
    }
    EXPECT_TRUE(graphics::display().present());
    EXPECT_NE(frame(), before);
    // Nothing of a frame is left over from the one before.
    game_->drawScreen();
    const std::vector<std::uint16_t> again = frame();
    game_->drawScreen();
    EXPECT_EQ(frame(), again);
}

TEST_F(GameTest, MinimizeAndCloseGoThroughTheWindow)
{
    makeGame();
    world_.desktop.showWindow(world_.window, ShowCommand::Normal);
    command(kCommandMinimize);
    EXPECT_TRUE(world_.desktop.windowMinimized(world_.window));
    EXPECT_FALSE(world_.closed);
    command(kCommandClose);
    EXPECT_TRUE(world_.closed);
}

TEST(ComputerWordLength, EachLevelDrawsFromItsOwnRange)
{
    const std::vector<std::set<std::int32_t>> expected = {
        {3},       {3},    {3, 4},    {3, 4, 5}, {4, 5, 6}, {5, 6},
        {5, 6, 7}, {6, 7}, {6, 7, 8}, {7, 8},    {8, 9},
    };
    platform::Random random(3);
    for (std::int32_t level = 0; level <= 10; ++level) {
        std::set<std::int32_t> seen;
        for (int draw = 0; draw < 200; ++draw) {
            seen.insert(computerWordLength(level, random));
        }
        EXPECT_EQ(seen, expected[static_cast<std::size_t>(level)]) << "level " << level;
    }
    // Levels a damaged record might carry stay inside the table.
    EXPECT_EQ(computerWordLength(-5, random), 3);
    const std::int32_t high = computerWordLength(1000, random);
    EXPECT_TRUE(high == 8 || high == 9);
}

}  // namespace
}  // namespace wordlark::game
