#include "game/Game.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
#include "game/RecordFile.h"
#include "game/WordRow.h"
#include "graphics/ImageResource.h"
#include "panels/Button.h"
#include "panels/ImageReferences.h"
#include "panels/Panel.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "words/Dictionary.h"

namespace wordlark::game {

const GameButtonRow kGameButtonTable[kGameButtonCount + 1] = {
    {kCommandMinimize, "minimize", "vek.heap", 590, 31},
    {kCommandClose, "close", "vek.heap", 622, 31},
    {kCommandStart, "start", "vek.heap", 587, 167},
    {kCommandDemand, "demand", "vek.heap", 587, 263},
    {kCommandPass, "pass", "vek.heap", 587, 359},
    {kCommandAnalyze, "analyze", "vek.heap", 472, 399},
    {kCommandSort, "sort", "vek.heap", 472, 118},
    {kCommandClear, "clear", "vek.heap", 472, 215},
    {kCommandMenu, "menub", "vek.heap", 588, 404},
    {-1, "", "", 0, 0},
};

namespace {

constexpr std::string_view kHeap = "vek.heap";

Game* theGame = nullptr;

}  // namespace

std::int32_t computerWordLength(std::int32_t level)
{
    struct Lengths {
        std::int32_t base;
        std::int32_t spread;
    };
    static constexpr std::array<Lengths, 11> table{{
        {3, 0},
        {3, 0},
        {3, 1},
        {3, 2},
        {4, 2},
        {5, 1},
        {5, 2},
        {6, 1},
        {6, 2},
        {7, 1},
        {8, 1},
    }};
    if (level <= 0) {
        return 3;
    }
    const Lengths& row = table[static_cast<std::size_t>(std::min(level, 10))];
    return row.base + platform::gameRandom().next() % (row.spread + 1);
}

Game* game()
{
    return theGame;
}

void setGame(Game* instance)
{
    theGame = instance;
}

Game::Game(std::string_view backgroundName, std::string_view archiveFile, ScreenOpener& screens)
    : programFolder_(platform::programFolder()), screens_(&screens)
{
    background_ = panels::acquireImage(backgroundName, archiveFile);
    for (int i = 0; kGameButtonTable[i].commandId != -1; ++i) {
        const GameButtonRow& row = kGameButtonTable[i];
        buttons_[static_cast<std::size_t>(i)].reset(
            new (std::nothrow) panels::Button(row.imageName, row.archiveFile, row.commandId));
    }
    jokerMarkImage_ = panels::acquireImage("asterisk", kHeap);
    letterImage_ = panels::acquireImage("chars", kHeap);
    rollImage_ = panels::acquireImage("chardrop", kHeap);
    pool_.reset(new (std::nothrow) LetterPool(letterImage_, rollImage_, jokerMarkImage_));
    if (pool_) {
        pool_->deal("");
    }
    computerRow_.reset(new (std::nothrow) WordRow(letterImage_, jokerMarkImage_, kComputerRowTop));
    playerRow_.reset(new (std::nothrow) WordRow(letterImage_, jokerMarkImage_, kPlayerRowTop));
    // The player's word list follows whoever is in play when a scan opens it.
    dictionary_.reset(new (std::nothrow) words::Dictionary(
        programFolder_, [] { return std::string(gameState().currentPlayer.nameView()); }));
    alphabetImage_ = panels::acquireImage("Selchars", kHeap);
    gameState().currentPlayer = PlayerRecord::anonymous();
    scores_ = Scores{};
}

Game::~Game()
{
    for (auto& button : buttons_) {
        button.reset();
    }
    playerRow_.reset();
    computerRow_.reset();
    pool_.reset();
    panels::releaseImage(letterImage_);
    panels::releaseImage(rollImage_);
    dictionary_.reset();
    panels::releaseImage(jokerMarkImage_);
    panels::releaseImage(alphabetImage_);
    // A panel's destructor may look at the game's slots; each is emptied before the next goes.
    menuOverlay_.reset();
    modalPanel_.reset();
}

bool Game::loadImages()
{
    if (background_ != nullptr) {
        background_->load();
    }
    for (int i = 0; i < kGameButtonCount; ++i) {
        if (panels::Button* b = buttons_[static_cast<std::size_t>(i)].get()) {
            b->loadImage();
            b->setPosition(kGameButtonTable[i].x, kGameButtonTable[i].y);
        }
    }
    if (letterImage_ != nullptr) {
        letterImage_->load();
    }
    if (rollImage_ != nullptr) {
        rollImage_->load();
    }
    archive::ArchiveRegistry* registry = panels::imageRegistry();
    const bool wordsLoaded = dictionary_ && registry != nullptr && dictionary_->load(*registry);
    if (jokerMarkImage_ != nullptr) {
        jokerMarkImage_->load();
    }
    if (alphabetImage_ != nullptr) {
        alphabetImage_->load();
    }
    openModal(GameScreen::PlayerSelection);
    if (modalPanel_) {
        modalPanel_->loadBackground();
    }
    if (menuOverlay_) {
        menuOverlay_->loadBackground();
    }
    setButtons({kCommandStart},
               {kCommandDemand, kCommandPass, kCommandSort, kCommandClear, kCommandAnalyze});
    scores_.bestOtherRating =
        scanBestOtherRating(programFolder_, gameState().currentPlayer.nameView());
    // A damaged picture stops the archive being read, whether before the words or after: the
    // game cannot be played without its pictures, and start-up must say which entry it was.
    const archive::Archive* heap = registry != nullptr ? registry->openArchive(kHeap) : nullptr;
    return wordsLoaded && heap != nullptr && heap->firstFailure().empty();
}

panels::Button* Game::button(std::int32_t commandId)
{
    if (commandId < 0 || commandId >= kGameButtonCount) {
        return nullptr;
    }
    return buttons_[static_cast<std::size_t>(commandId)].get();
}

void Game::closeModalPanel()
{
    modalPanel_.reset();
}

void Game::closeMenuOverlay()
{
    menuOverlay_.reset();
}

void Game::openModalPanel(std::unique_ptr<panels::Panel> panel)
{
    modalPanel_ = std::move(panel);
}

void Game::openModal(GameScreen screen)
{
    std::unique_ptr<panels::Panel>& slot =
        screen == GameScreen::MainMenu ? menuOverlay_ : modalPanel_;
    slot = screens_->open(screen, *this);
}

}  // namespace wordlark::game
