// Game.h -- the game screen: its pictures, buttons, letters, rows, dictionary and panel slots.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "game/DealCode.h"
#include "game/GameState.h"
#include "game/SaveProblems.h"
#include "game/Scores.h"
#include "game/ScreenOpener.h"
#include "panels/FocusRing.h"
#include "panels/PanelHost.h"
#include "platform/DisplayMode.h"
#include "platform/Messages.h"

namespace wordlark::archive {
class Archive;
class ArchiveRegistry;
}  // namespace wordlark::archive
namespace wordlark::graphics {
class ImageResource;
}  // namespace wordlark::graphics
namespace wordlark::panels {
class Button;
class Panel;
}  // namespace wordlark::panels
namespace wordlark::words {
class Dictionary;
}  // namespace wordlark::words

namespace wordlark::game {

class DailyDeal;
class Deal;
class LetterPool;
class Settings;
class VerdictMeanings;
class WordRow;

// The command ids of the game screen's buttons, in the order of its button table.
enum GameCommand : std::int32_t {
    kCommandMinimize = 0,
    kCommandClose = 1,
    kCommandStart = 2,
    kCommandDemand = 3,
    kCommandPass = 4,
    kCommandAnalyze = 5,
    kCommandSort = 6,
    kCommandClear = 7,
    kCommandMenu = 8,
};
inline constexpr int kGameButtonCount = 9;

// One row of the game screen's button table; the table ends with a row whose id is -1.
struct GameButtonRow {
    std::int32_t commandId;
    char imageName[16];
    char archiveFile[16];
    std::int32_t x;
    std::int32_t y;
};
extern const GameButtonRow kGameButtonTable[kGameButtonCount + 1];

// The caption band's options button, beside the table's buttons rather than in the table.
inline constexpr std::int32_t kCommandOptions = kGameButtonCount;
// The deal panel and the daily deal, from their keys and the footer band.
inline constexpr std::int32_t kCommandDealPanel = kGameButtonCount + 1;
inline constexpr std::int32_t kCommandDaily = kGameButtonCount + 2;

class Game : public panels::PanelHost {
public:
    // Acquires every picture from `registry` and makes the buttons, pool, rows and dictionary;
    // loads nothing. The player's files live under playerFolder. The screens the game opens
    // come from `screens`; the player's choices of the window go to `settings`. All three must
    // outlive the game.
    Game(std::string_view backgroundName, std::string_view archiveFile,
         archive::ArchiveRegistry& registry, std::string playerFolder, ScreenOpener& screens,
         Settings& settings);
    ~Game() override;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Loads the pictures and the dictionary, places the buttons, opens the player selection
    // and sets the buttons for the first deal. False when the dictionary could not be loaded
    // (without words no deal can be made) or a damaged entry stopped the archive.
    bool loadImages();

    // Routes one input message (or WM_BUTTON_COMMAND) to the panels in front or the game
    // screen. The result means nothing.
    platform::LResult handleInput(platform::MessageId message, platform::WParam wParam,
                                  platform::LParam lParam);

    // Composes one whole frame into the display's back buffer; the caller presents it.
    void drawScreen();

    // Shows the help page beside the data, or tells why it cannot (F1, the menu's help).
    void openHelp();
    // The button the focus ring is on in the screen in front: the menu, else the modal panel,
    // else the game screen; none while no ring is shown there.
    const panels::Button* focusedButton() const;

    // The command line's wishes; the first deal waits for a player to be chosen.
    void requestDeal(DealRequest request);
    // A new deal of a code's letters, or the daily deal, as "start" would deal; false (and
    // nothing happens) while "start" is not enabled.
    bool playCode(const DealCode& code);
    bool playDaily();
    // Today as the daily deal counts it (days since 2026-01-01).
    std::int64_t today() const;
    // The deal in play, or the last one; none before the first.
    std::optional<DealCode> dealCode() const;
    // The number of the daily deal in play; none for any other deal.
    std::optional<std::int32_t> dailyInPlay() const;
    // Whether the player in play has a verdict in today's daily deal.
    bool playedToday();
    // After a verdict in a daily deal, the result to share, which gives no letter away: the
    // deal's number, the player's best word against the longest the letters allowed, his
    // verdict and his streak, then a row of squares; none otherwise. Reads the history.
    std::optional<std::string> shareText() const;
    bool canShare() const;

    // The save-word dialog's answer, just before it closes: keep the word in the player's
    // list (yes) or send its letters back (no).
    void saveWordAnswer(bool yes);

    // A choice of how the window shows the frame: in force at once, and kept in the settings
    // file; a file that cannot be written is told as a failed save. `change` sets the fields
    // chosen (see Settings::apply).
    void changeSettings(const std::function<void(platform::DisplayMode&)>& change);
    const Settings& settings() const { return settings_; }

    // What the panels, the replay state and the tests look at.
    LetterPool* pool() { return pool_.get(); }
    WordRow* playerRow() { return playerRow_.get(); }
    WordRow* computerRow() { return computerRow_.get(); }
    panels::Button* button(std::int32_t commandId);
    panels::Button* optionsButton() { return optionsButton_.get(); }
    const panels::Button* optionsButton() const { return optionsButton_.get(); }
    Scores& scores() { return scores_; }
    GameState& state() { return state_; }
    const GameState& state() const { return state_; }
    // Where a save that failed is told, to the player and on the error stream.
    SaveProblems& saveProblems() { return saveProblems_; }
    const SaveProblems& saveProblems() const { return saveProblems_; }
    words::Dictionary* dictionary() { return dictionary_.get(); }
    // The meanings of the last verdict's words, shown in place of the instructions.
    const VerdictMeanings* meanings() const { return meanings_.get(); }
    VerdictMeanings* meanings() { return meanings_.get(); }
    const LetterPool* pool() const { return pool_.get(); }
    const WordRow* playerRow() const { return playerRow_.get(); }
    const WordRow* computerRow() const { return computerRow_.get(); }
    const panels::Button* button(std::int32_t commandId) const;
    const Scores& scores() const { return scores_; }
    const panels::Panel* modalPanel() const { return modalPanel_.get(); }
    const panels::Panel* menuOverlay() const { return menuOverlay_.get(); }
    const std::string& playerFolder() const { return playerFolder_; }

    // The two panel slots. A panel that closes itself resets its slot, which deletes it.
    std::unique_ptr<panels::Panel>& modalPanel() { return modalPanel_; }
    std::unique_ptr<panels::Panel>& menuOverlay() { return menuOverlay_; }
    void closeModalPanel() override;
    void closeMenuOverlay() override;
    void openModalPanel(std::unique_ptr<panels::Panel> panel) override;

private:
    // F9, F11 and Alt+Enter, whatever is in front; true when the message was one of them.
    bool handleWindowKey(platform::MessageId message, platform::WParam wParam,
                         platform::LParam lParam);
    // Opens the options over whatever panel is in front (closes them when they are in front).
    void openOptions();
    void handleGameScreen(platform::MessageId message, platform::WParam wParam,
                          platform::LParam lParam);
    void handleGameKey(platform::WParam key, platform::LParam flags);
    // Runs the command of a game-screen button the way its click would, if it is enabled.
    void runIfEnabled(std::int32_t commandId);
    void runCommand(std::int32_t commandId);
    void startDeal(const std::string& letters = {}, std::optional<std::int32_t> daily = {});
    // Deals what the command line asked for, once no panel is in front and "start" is enabled.
    void startRequestedDeal();
    void demand();
    void pass();
    void analyze();
    void clearPlayerRow();
    void setButtons(std::initializer_list<std::int32_t> on,
                    std::initializer_list<std::int32_t> off);
    void setPlayEnabled(bool enabled);
    // Opens a screen into its slot: the main menu as the overlay, the others as the modal panel.
    void openModal(GameScreen screen);
    void drawScores();
    // The footer band: the deal's code at its left, the daily deal at its right.
    void drawFooter();
    // A press in the footer band's code or daily deal; false when it fell elsewhere.
    bool pressFooter(std::int32_t x, std::int32_t y);

    graphics::ImageResource* background_ = nullptr;
    std::unique_ptr<LetterPool> pool_;
    graphics::ImageResource* letterImage_ = nullptr;
    graphics::ImageResource* rollImage_ = nullptr;
    std::array<std::unique_ptr<panels::Button>, kGameButtonCount> buttons_;
    std::unique_ptr<panels::Button> optionsButton_;
    graphics::ImageResource* jokerMarkImage_ = nullptr;
    graphics::ImageResource* alphabetImage_ = nullptr;
    GameState state_;
    Scores scores_;
    // The archive that tells this game of its later damaged reads, until the game goes.
    archive::Archive* listenedArchive_ = nullptr;
    SaveProblems saveProblems_;
    std::unique_ptr<WordRow> computerRow_;
    std::unique_ptr<WordRow> playerRow_;
    std::unique_ptr<panels::Panel> modalPanel_;
    std::unique_ptr<panels::Panel> menuOverlay_;
    std::unique_ptr<words::Dictionary> dictionary_;
    std::unique_ptr<VerdictMeanings> meanings_;
    std::unique_ptr<Deal> deal_;
    std::unique_ptr<DailyDeal> daily_;
    std::optional<DealCode> requestedCode_;
    bool requestedDaily_ = false;
    std::optional<std::int64_t> fixedDay_;
    // Whom and which day the daily mark was last looked up for in the history, and the answer.
    std::string markPlayer_;
    std::int64_t markDay_ = -1;
    bool markPlayed_ = false;
    std::string playerFolder_;
    ScreenOpener* screens_;
    Settings& settings_;
    panels::FocusRing ring_;
};

}  // namespace wordlark::game
