#include <algorithm>
#include <cstdint>
#include <string>

#include "game/Game.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
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

namespace {

// Letter cells of the joker's alphabet strip: 20 pixels wide from x = 20, A to Z.
char stripLetterAt(std::int32_t x)
{
    const std::int32_t k = (x - 20) / 20;
    return static_cast<char>('A' + std::clamp<std::int32_t>(k, 0, 25));
}

}  // namespace

LResult Game::handleInput(MessageId message, WParam wParam, LParam lParam)
{
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

void Game::handleGameScreen(MessageId message, WParam wParam)
{
    GameState& state = gameState();
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
            break;
        case WM_LBUTTONDOWN:
            if (const char code = pool_->takeAt(panels::pointerX(), panels::pointerY())) {
                playerRow_->append(code);
                setButtons({kCommandDemand, kCommandClear}, {});
            } else if (const char back =
                           playerRow_->takeAt(panels::pointerX(), panels::pointerY())) {
                pool_->giveBack(back);
                if (playerRow_->word().empty()) {
                    setButtons({}, {kCommandDemand, kCommandClear});
                }
            } else {
                for (auto& b : buttons_) {
                    b->handleMouse(message);
                }
            }
            break;
        case WM_RBUTTONDOWN:
            if (playerRow_->isJokerAt(panels::pointerX(), panels::pointerY())) {
                state.jokerPick = true;
            }
            break;
        case WM_RBUTTONUP:
            if (state.jokerPick) {
                state.jokerPick = false;
                playerRow_->setJokerLetter(stripLetterAt(panels::pointerX()));
            }
            break;
        case WM_BUTTON_COMMAND:
            if (wParam < static_cast<WParam>(kGameButtonCount)) {
                runCommand(static_cast<std::int32_t>(wParam));
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
    GameState& state = gameState();
    ++state.currentPlayer.games;
    saveProblems_.clearNotice();
    setPlayEnabled(true);
    state.usedWords.clear();
    while (playerRow_->removeFirst() != 0) {
    }
    while (computerRow_->removeFirst() != 0) {
    }
    words::LetterSet letters{};
    words::dealLetters(*dictionary_, gameRandom(), letters);
    pool_->deal(letters);
    setButtons({kCommandSort, kCommandPass}, {kCommandDemand, kCommandClear, kCommandStart});
    if (state.currentLevel <= 3) {
        setButtons({kCommandAnalyze}, {});
    } else {
        setButtons({}, {kCommandAnalyze});
    }
}

void Game::demand()
{
    GameState& state = gameState();
    const std::string word(playerRow_->word());
    if (state.usedWords.contains(word)) {
        setButtons({}, {kCommandClear, kCommandDemand});
        while (const char code = playerRow_->removeFirst()) {
            pool_->giveBack(code);
        }
        return;
    }
    if (!dictionary_->isWord(word)) {
        openModal(GameScreen::SaveWord);
        return;
    }
    state.usedWords.add(word);
    setButtons({kCommandStart, kCommandDemand, kCommandPass, kCommandClear, kCommandAnalyze}, {});
    setPlayEnabled(true);
    const std::string answer = computerAnswer();
    const std::size_t theirs = computerRow_->word().size();
    std::string why;
    bool saved = false;
    if (word.size() > theirs) {
        saved = recordVictory(state, scores_, programFolder_, &why);
    } else if (word.size() < theirs) {
        saved = recordDefeat(state, scores_, programFolder_, &why);
    } else {
        saved = recordTie(state, scores_, programFolder_, &why);
    }
    checkSaved(saved, why);
}

void Game::checkSaved(bool saved, const std::string& why)
{
    if (!saved) {
        saveProblems_.report("the record of " + std::string(gameState().currentPlayer.nameView()),
                             why);
    }
}

void Game::pass()
{
    // The clear goes through the window, as a click on "clear" would.
    if (mainWindow() != kNoWindow) {
        sendMessage(mainWindow(), WM_BUTTON_COMMAND, kCommandClear, 0);
    } else {
        clearPlayerRow();
    }
    setButtons({kCommandStart, kCommandAnalyze},
               {kCommandDemand, kCommandPass, kCommandSort, kCommandClear});
    setPlayEnabled(false);
    computerAnswer();
    std::string why;
    const bool saved = recordDefeat(gameState(), scores_, programFolder_, &why);
    checkSaved(saved, why);
}

void Game::analyze()
{
    setButtons({kCommandStart}, {kCommandDemand, kCommandPass, kCommandSort, kCommandClear});
    setPlayEnabled(false);
    openModal(GameScreen::Analysis);
}

void Game::clearPlayerRow()
{
    while (const char code = playerRow_->removeFirst()) {
        pool_->giveBack(code);
    }
    setButtons({}, {kCommandDemand, kCommandClear});
}

std::string Game::computerAnswer()
{
    GameState& state = gameState();
    const std::int32_t length = computerWordLength(state.currentLevel);
    words::WordBuffer answer{};
    words::findComputerWord(*dictionary_, gameRandom(), state.usedWords, pool_->letters(), answer,
                            length);
    const std::string text(answer);
    computerRow_->setWord(text);
    state.usedWords.add(text);
    return text;
}

void Game::saveWordAnswer(bool yes)
{
    const std::string word(playerRow_->word());
    if (word.empty()) {
        return;
    }
    if (yes) {
        std::string why;
        if (!dictionary_->playerList().appendWord(word, &why)) {
            saveProblems_.report("the word " + word, why);
        }
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
