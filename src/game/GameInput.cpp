#include <algorithm>
#include <cstdint>
#include <string>

#include "archive/ArchiveRegistry.h"
#include "game/Deal.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/JokerStrip.h"
#include "game/LetterPool.h"
#include "game/Settings.h"
#include "game/Verdict.h"
#include "game/VerdictMeanings.h"
#include "game/WordRow.h"
#include "panels/Button.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"
#include "platform/Desktop.h"
#include "platform/Random.h"
#include "words/Dictionary.h"
#include "words/WordBuffer.h"
#include "words/WordSearch.h"

namespace wordlark::game {

using namespace platform;

namespace {

// The help page, beside vek.hlp in the data folder.
constexpr char kHelpPage[] = "wordlark-help.html";

}  // namespace

LResult Game::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (handleWindowKey(message, wParam, lParam)) {
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_F1) {
        // The help is at hand wherever the player is, over any panel or the menu.
        openHelp();
        return 0;
    }
    if (message == WM_KEYDOWN && (lParam & kKeyAltHeld) != 0) {
        // Keys held with Alt are the window's (Alt+Enter), never a screen's: Alt+Enter must not
        // demand, nor press a focused button.
        return 0;
    }
    if (menuOverlay_ && menuOverlay_->handleInput(message, wParam, lParam)) {
        return 0;
    }
    if (modalPanel_) {
        modalPanel_->handleInput(message, wParam, lParam);
        return 0;
    }
    handleGameScreen(message, wParam, lParam);
    return 0;
}

bool Game::handleWindowKey(MessageId message, WParam wParam, LParam lParam)
{
    if (message != WM_KEYDOWN) {
        return false;
    }
    const bool alt = (lParam & kKeyAltHeld) != 0;
    const bool options = wParam == VK_F9 && !alt;
    const bool fullScreen = (wParam == VK_F11 && !alt) || (wParam == VK_RETURN && alt);
    if (!options && !fullScreen) {
        return false;
    }
    // A key held down would flip the window back and forth as fast as the keyboard repeats.
    if ((lParam & kKeyWasDown) != 0) {
        return true;
    }
    if (options) {
        openOptions();
    } else {
        const bool on = !desktop().displayMode().fullscreen;
        changeSettings([on](DisplayMode& mode) { mode.fullscreen = on; });
    }
    return true;
}

void Game::openOptions()
{
    // The menu gives way as it does for the panels it opens itself.
    if (menuOverlay_) {
        menuOverlay_->handleInput(WM_KEYDOWN, VK_ESCAPE, 0);
    }
    openModal(GameScreen::Options);
}

void Game::changeSettings(const std::function<void(DisplayMode&)>& change)
{
    std::string why;
    if (!settings_.apply(change, &why)) {
        saveProblems_.report("the settings", why);
    }
}

const panels::Button* Game::focusedButton() const
{
    if (menuOverlay_) {
        if (const panels::Button* b = menuOverlay_->focusedButton()) {
            return b;
        }
    }
    if (modalPanel_) {
        return modalPanel_->focusedButton();
    }
    return menuOverlay_ ? nullptr : ring_.focused();
}

void Game::openHelp()
{
    // The help comes with the data, wherever the player files are kept, as vek.hlp and under a
    // name the desktop opens as HTML; only that one is shown, from where it lies.
    const std::string page = images().registry().dataFolder() + kHelpPage;
    std::string why;
    if (desktop().openHelp(page, &why)) {
        return;
    }
    // The screen has room for the cause alone, not for a path before it.
    const std::size_t colon = why.rfind(": ");
    saveProblems_.tell(
        "cannot open the help: " + why,
        "Could not open the help: " + (colon == std::string::npos ? why : why.substr(colon + 2)));
}

void Game::runIfEnabled(std::int32_t commandId)
{
    if (const panels::Button* b = button(commandId); b != nullptr && b->enabled()) {
        runCommand(commandId);
    }
}

void Game::handleGameKey(WParam key, LParam flags)
{
    if (ring_.handleKey(key, flags)) {
        return;
    }
    switch (key) {
        case VK_BACK:
        case VK_DELETE:
            if (const char code = playerRow_->removeLast()) {
                pool_->giveBack(code);
                // As taking the last letter back with the mouse does.
                if (playerRow_->word().empty()) {
                    setButtons({}, {kCommandDemand, kCommandClear});
                }
            }
            break;
        case VK_RETURN:
            runIfEnabled(kCommandDemand);
            break;
        case VK_ESCAPE:
            runIfEnabled(kCommandClear);
            break;
        case VK_F2:
            runIfEnabled(kCommandStart);
            break;
        case VK_F3:
            runIfEnabled(kCommandAnalyze);
            break;
        case VK_F10:
            runIfEnabled(kCommandMenu);
            break;
        case VK_F6:
            openModal(GameScreen::Deal);
            break;
        case VK_F7:
            playDaily();
            break;
        case VK_F8:
            // The deal panel says what was copied, or why nothing was.
            openModal(GameScreen::Deal);
            if (modalPanel_) {
                modalPanel_->handleInput(WM_KEYDOWN, VK_F8, flags);
            }
            break;
        default:
            break;
    }
}

void Game::handleGameScreen(MessageId message, WParam wParam, LParam lParam)
{
    switch (message) {
        case WM_KEYDOWN:
            handleGameKey(wParam, lParam);
            break;
        case WM_CHAR: {
            // Only letters and the joker's question mark are typed into play; nothing else
            // typed here goes anywhere.
            if (wParam > 0xFF) {
                break;
            }
            char typed = static_cast<char>(wParam);
            if (typed >= 'a' && typed <= 'z') {
                typed = static_cast<char>(typed - 'a' + 'A');
            }
            if ((typed < 'A' || typed > 'Z') && typed != '?') {
                break;
            }
            const char got = pool_->takeTyped(typed);
            if (got == words::kJoker) {
                playerRow_->appendAsJoker(typed);
            } else if (got != 0) {
                playerRow_->append(got);
            }
            if (got != 0) {
                // A typed letter counts as one laid with the mouse: the word can be judged.
                setButtons({kCommandDemand, kCommandClear}, {});
            }
            break;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            for (auto& b : buttons_) {
                b->handleMouse(message);
            }
            if (optionsButton_) {
                optionsButton_->handleMouse(message);
            }
            break;
        case WM_LBUTTONDOWN:
            ring_.hide();
            if (const char code = pool_->takeAt(pointerX(), pointerY())) {
                playerRow_->append(code);
                setButtons({kCommandDemand, kCommandClear}, {});
            } else if (const char back = playerRow_->takeAt(pointerX(), pointerY())) {
                pool_->giveBack(back);
                if (playerRow_->word().empty()) {
                    setButtons({}, {kCommandDemand, kCommandClear});
                }
            } else if (!pressFooter(pointerX(), pointerY())) {
                for (auto& b : buttons_) {
                    b->handleMouse(message);
                }
                if (optionsButton_) {
                    optionsButton_->handleMouse(message);
                }
            }
            break;
        case WM_RBUTTONDOWN:
            if (playerRow_->isJokerAt(pointerX(), pointerY())) {
                state_.jokerPick = true;
            }
            break;
        case WM_RBUTTONUP:
            if (state_.jokerPick) {
                state_.jokerPick = false;
                playerRow_->setJokerLetter(JokerStrip::letterAt(pointerX()));
            }
            break;
        case WM_BUTTON_COMMAND:
            if (wParam < static_cast<WParam>(kGameButtonCount)) {
                runCommand(static_cast<std::int32_t>(wParam));
            } else if (wParam == static_cast<WParam>(kCommandOptions)) {
                openOptions();
            } else if (wParam == static_cast<WParam>(kCommandDaily)) {
                playDaily();
            } else if (wParam == static_cast<WParam>(kCommandDealPanel)) {
                openModal(GameScreen::Deal);
            }
            break;
        default:
            break;
    }
}

void Game::runCommand(std::int32_t commandId)
{
    switch (commandId) {
        case kCommandMinimize:
            desktop().showWindow(mainWindow(), ShowCommand::Minimized);
            break;
        case kCommandClose:
            postMessage(mainWindow(), WM_CLOSE, 0, 0);
            break;
        case kCommandStart:
            startDeal();
            break;
        case kCommandDemand:
            demand();
            break;
        case kCommandPass:
            pass();
            break;
        case kCommandAnalyze:
            analyze();
            break;
        case kCommandSort:
            pool_->sortLetters();
            setButtons({}, {kCommandSort});
            break;
        case kCommandClear:
            clearPlayerRow();
            break;
        case kCommandMenu:
            openModal(GameScreen::MainMenu);
            break;
        default:
            break;
    }
}

void Game::startDeal(const std::string& letters, std::optional<std::int32_t> daily)
{
    deal_->start(letters, daily);
    meanings_->clear();
    setPlayEnabled(true);
    setButtons({kCommandSort, kCommandPass}, {kCommandDemand, kCommandClear, kCommandStart});
    if (state_.currentLevel <= 3) {
        setButtons({kCommandAnalyze}, {});
    } else {
        setButtons({}, {kCommandAnalyze});
    }
}

void Game::demand()
{
    switch (deal_->demand()) {
        case Deal::Judgement::Repeat:
            setButtons({}, {kCommandClear, kCommandDemand});
            return;
        case Deal::Judgement::Unknown:
            openModal(GameScreen::SaveWord);
            return;
        case Deal::Judgement::Judged:
            meanings_->show(playerRow_->word(), computerRow_->word());
            setButtons(
                {kCommandStart, kCommandDemand, kCommandPass, kCommandClear, kCommandAnalyze}, {});
            setPlayEnabled(true);
            return;
    }
}

void Game::pass()
{
    deal_->pass();
    meanings_->show("", computerRow_->word());
    setButtons({kCommandStart, kCommandAnalyze},
               {kCommandDemand, kCommandPass, kCommandSort, kCommandClear});
    setPlayEnabled(false);
}

void Game::analyze()
{
    setButtons({kCommandStart}, {kCommandDemand, kCommandPass, kCommandSort, kCommandClear});
    setPlayEnabled(false);
    openModal(GameScreen::Analysis);
}

void Game::clearPlayerRow()
{
    deal_->clear();
    setButtons({}, {kCommandDemand, kCommandClear});
}

void Game::saveWordAnswer(bool yes)
{
    if (playerRow_->word().empty()) {
        return;
    }
    if (yes) {
        deal_->saveWordAnswer(true);
    } else {
        clearPlayerRow();
    }
}

void Game::setButtons(std::initializer_list<std::int32_t> on,
                      std::initializer_list<std::int32_t> off)
{
    for (const std::int32_t id : on) {
        if (panels::Button* b = button(id)) {
            b->setEnabled(true);
        }
    }
    for (const std::int32_t id : off) {
        if (panels::Button* b = button(id)) {
            b->setEnabled(false);
        }
    }
}

void Game::setPlayEnabled(bool enabled)
{
    playerRow_->setEnabled(enabled);
    pool_->setEnabled(enabled);
}

}  // namespace wordlark::game
