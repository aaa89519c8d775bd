#include <algorithm>
#include <cstdint>
#include <string>

#include "game/Deal.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/JokerStrip.h"
#include "game/LetterPool.h"
#include "game/Settings.h"
#include "game/Verdict.h"
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

LResult Game::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (handleWindowKey(message, wParam, lParam)) {
        return 0;
    }
    if (menuOverlay_ && menuOverlay_->handleInput(message, wParam, lParam)) {
        return 0;
    }
    if (modalPanel_) {
        modalPanel_->handleInput(message, wParam, lParam);
        return 0;
    }
    handleGameScreen(message, wParam);
    return 0;
}

bool Game::handleWindowKey(MessageId message, WParam wParam, LParam lParam)
{
    const bool options = message == WM_KEYDOWN && wParam == VK_F9;
    const bool fullScreen = (message == WM_KEYDOWN && wParam == VK_F11) ||
                            (message == WM_SYSKEYDOWN && wParam == VK_RETURN);
    if (!options && !fullScreen) {
        return false;
    }
    // A key held down would flip the window back and forth as fast as the keyboard repeats.
    if ((static_cast<std::uintptr_t>(lParam) & kKeyWasDown) != 0) {
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

void Game::handleGameScreen(MessageId message, WParam wParam)
{
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_BACK || wParam == VK_DELETE) {
                if (const char code = playerRow_->removeLast()) {
                    pool_->giveBack(code);
                }
            }
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
            if (const char code = pool_->takeAt(pointerX(), pointerY())) {
                playerRow_->append(code);
                setButtons({kCommandDemand, kCommandClear}, {});
            } else if (const char back = playerRow_->takeAt(pointerX(), pointerY())) {
                pool_->giveBack(back);
                if (playerRow_->word().empty()) {
                    setButtons({}, {kCommandDemand, kCommandClear});
                }
            } else {
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

void Game::startDeal()
{
    deal_->start();
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
            setButtons(
                {kCommandStart, kCommandDemand, kCommandPass, kCommandClear, kCommandAnalyze}, {});
            setPlayEnabled(true);
            return;
    }
}

void Game::pass()
{
    deal_->pass();
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
