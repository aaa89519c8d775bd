#include "game/Game.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"
#include "game/Deal.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
#include "game/RecordFile.h"
#include "game/VerdictMeanings.h"
#include "game/WordRow.h"
#include "graphics/ImageResource.h"
#include "panels/Button.h"
#include "panels/ImageReferences.h"
#include "panels/Panel.h"
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

}  // namespace

Game::Game(std::string_view backgroundName, std::string_view archiveFile,
           archive::ArchiveRegistry& registry, std::string playerFolder, ScreenOpener& screens,
           Settings& settings)
    : PanelHost(registry),
      playerFolder_(std::move(playerFolder)),
      screens_(&screens),
      settings_(settings)
{
    background_ = images().acquire(backgroundName, archiveFile);
    for (int i = 0; kGameButtonTable[i].commandId != -1; ++i) {
        const GameButtonRow& row = kGameButtonTable[i];
        buttons_[static_cast<std::size_t>(i)].reset(new (std::nothrow) panels::Button(
            *this, row.imageName, row.archiveFile, row.commandId));
    }
    optionsButton_.reset(new (std::nothrow)
                             panels::Button(*this, "options", kHeap, kCommandOptions));
    std::vector<panels::Button*> ringButtons;
    for (auto& button : buttons_) {
        ringButtons.push_back(button.get());
    }
    // The gear stands apart from the play, so it comes after the game's own buttons.
    ringButtons.push_back(optionsButton_.get());
    ring_.setButtons(std::move(ringButtons));
    jokerMarkImage_ = images().acquire("asterisk", kHeap);
    letterImage_ = images().acquire("chars", kHeap);
    rollImage_ = images().acquire("chardrop", kHeap);
    pool_.reset(new (std::nothrow) LetterPool(letterImage_, rollImage_, jokerMarkImage_));
    if (pool_) {
        pool_->deal("");
    }
    computerRow_.reset(new (std::nothrow) WordRow(letterImage_, jokerMarkImage_, kComputerRowTop));
    playerRow_.reset(new (std::nothrow) WordRow(letterImage_, jokerMarkImage_, kPlayerRowTop));
    // The player's word list follows whoever is in play when a scan opens it.
    dictionary_.reset(new (std::nothrow) words::Dictionary(
        playerFolder_, [this] { return std::string(state_.currentPlayer.nameView()); }));
    if (dictionary_) {
        meanings_ = std::make_unique<VerdictMeanings>(registry, *dictionary_);
    }
    alphabetImage_ = images().acquire("Selchars", kHeap);
    if (pool_ && playerRow_ && computerRow_ && dictionary_) {
        deal_ = std::make_unique<Deal>(state_, scores_, saveProblems_, *pool_, *playerRow_,
                                       *computerRow_, *dictionary_, playerFolder_);
    }
    state_.currentPlayer = PlayerRecord::anonymous();
    scores_ = Scores{};
}

Game::~Game()
{
    // The archive outlives the game: it must not call back into it.
    if (listenedArchive_ != nullptr) {
        listenedArchive_->setFailureListener(nullptr);
    }
    for (auto& button : buttons_) {
        button.reset();
    }
    optionsButton_.reset();
    playerRow_.reset();
    computerRow_.reset();
    pool_.reset();
    images().release(letterImage_);
    images().release(rollImage_);
    meanings_.reset();
    dictionary_.reset();
    images().release(jokerMarkImage_);
    images().release(alphabetImage_);
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
    if (optionsButton_) {
        optionsButton_->loadImage();
    }
    if (letterImage_ != nullptr) {
        letterImage_->load();
    }
    if (rollImage_ != nullptr) {
        rollImage_->load();
    }
    archive::ArchiveRegistry& registry = images().registry();
    const bool wordsLoaded = dictionary_ && dictionary_->load(registry);
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
    scores_.bestOtherRating = scanBestOtherRating(playerFolder_, state_.currentPlayer.nameView());
    // A damaged picture stops the archive being read, whether before the words or after: the
    // game cannot be played without its pictures, and start-up must say which entry it was.
    archive::Archive* heap = registry.openArchive(kHeap);
    if (!wordsLoaded || heap == nullptr || !heap->firstFailure().empty()) {
        return false;
    }
    // A picture first read later (a panel's) that turns out damaged is not drawn, and said.
    heap->setFailureListener([this](const std::string& line) { saveProblems_.log(line); });
    listenedArchive_ = heap;
    return true;
}

const panels::Button* Game::button(std::int32_t commandId) const
{
    return const_cast<Game*>(this)->button(commandId);
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
