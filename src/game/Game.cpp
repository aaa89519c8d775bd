#include "game/Game.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"
#include "game/DailyDeal.h"
#include "game/Deal.h"
#include "game/GameState.h"
#include "game/HistoryFile.h"
#include "game/LetterPool.h"
#include "game/RecordFile.h"
#include "game/VerdictMeanings.h"
#include "game/WordRow.h"
#include "graphics/ImageResource.h"
#include "panels/Button.h"
#include "panels/ImageReferences.h"
#include "panels/Panel.h"
#include "platform/Desktop.h"
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
    daily_ = std::make_unique<DailyDeal>();
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
    // Without words there is no deal at all, and start-up says so for the dictionary.
    daily_->load(registry);
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
    startRequestedDeal();
}

void Game::closeMenuOverlay()
{
    menuOverlay_.reset();
}

void Game::openModalPanel(std::unique_ptr<panels::Panel> panel)
{
    modalPanel_ = std::move(panel);
}

void Game::requestDeal(DealRequest request)
{
    requestedCode_ = std::move(request.code);
    requestedDaily_ = request.daily;
    fixedDay_ = request.day;
}

void Game::startRequestedDeal()
{
    if ((!requestedCode_ && !requestedDaily_) || modalPanel_ || menuOverlay_) {
        return;
    }
    const std::optional<DealCode> code = std::move(requestedCode_);
    requestedCode_.reset();
    const bool daily = std::exchange(requestedDaily_, false);
    if (code) {
        playCode(*code);
    } else if (daily) {
        playDaily();
    }
}

bool Game::playCode(const DealCode& code)
{
    const panels::Button* start = button(kCommandStart);
    if (start == nullptr || !start->enabled()) {
        return false;
    }
    startDeal(code.letters());
    return true;
}

bool Game::playDaily()
{
    const panels::Button* start = button(kCommandStart);
    const std::int64_t day = today();
    const std::string letters = daily_->letters(day);
    if (start == nullptr || !start->enabled() || letters.empty()) {
        return false;
    }
    startDeal(letters, static_cast<std::int32_t>(DailyDeal::number(day)));
    return true;
}

std::int64_t Game::today() const
{
    return fixedDay_ ? *fixedDay_ : DailyDeal::dayOf(platform::desktop().wallClock());
}

bool Game::playedToday()
{
    const std::int64_t day = today();
    const std::string name(state_.currentPlayer.nameView());
    if (name != markPlayer_ || day != markDay_) {
        // Read again only when the player or the day changes; a verdict in the daily deal
        // sets the mark itself.
        markPlayer_ = name;
        markDay_ = day;
        markPlayed_ = false;
        const auto number = static_cast<std::int32_t>(DailyDeal::number(day));
        HistoryFile(playerFolder_, name).read([this, number](const HistoryEntry& entry) {
            markPlayed_ = markPlayed_ || entry.daily == number;
        });
    }
    if (dailyInPlay() == DailyDeal::number(day) && deal_->judged()) {
        markPlayed_ = true;
    }
    return markPlayed_;
}

bool Game::canShare() const
{
    return deal_ && deal_->daily() && deal_->best();
}

std::optional<std::string> Game::shareText() const
{
    if (!canShare()) {
        return std::nullopt;
    }
    const Deal::Best& best = *deal_->best();
    const char* verdict = best.result == HistoryResult::Victory ? "beat the computer"
                          : best.result == HistoryResult::Tie   ? "tied with the computer"
                                                                : "lost to the computer";
    // The streak counts the days of the calendar, whatever day was asked to be played.
    const std::int64_t streak =
        DailyDeal::streak(playerFolder_, state_.currentPlayer.nameView(),
                          DailyDeal::dayOf(platform::desktop().wallClock()));
    const std::size_t longest =
        std::max<std::size_t>(static_cast<std::size_t>(best.longest), best.word);
    std::string text = "Wordlark #" + std::to_string(*deal_->daily()) + "  " +
                       std::to_string(best.word) + "/" + std::to_string(longest) + "  " + verdict +
                       " (" + std::to_string(best.computer) + ")  streak " +
                       std::to_string(streak) + "\n";
    for (std::size_t i = 0; i < longest; ++i) {
        text += i < best.word ? "\xF0\x9F\x9F\xA8" : "\xE2\xAC\x9B";  // yellow and black squares
    }
    return text;
}

std::optional<DealCode> Game::dealCode() const
{
    return deal_ ? DealCode::fromLetters(deal_->dealt()) : std::nullopt;
}

std::optional<std::int32_t> Game::dailyInPlay() const
{
    return deal_ ? deal_->daily() : std::nullopt;
}

void Game::openModal(GameScreen screen)
{
    std::unique_ptr<panels::Panel>& slot =
        screen == GameScreen::MainMenu ? menuOverlay_ : modalPanel_;
    slot = screens_->open(screen, *this);
}

}  // namespace wordlark::game
