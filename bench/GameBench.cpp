// GameBench -- one whole game-screen frame (rolling pool, two full rows, every button and score)
// composed and presented, with and without a draw log; opening the analysis of the richest
// letter set; the top ten over a full save folder; the progress screen over a long history and
// what a verdict adds to keep it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/HistoryEntry.h"
#include "game/HistoryFile.h"
#include "game/LetterPool.h"
#include "game/PlayerRecord.h"
#include "game/Players.h"
#include "game/RecordFile.h"
#include "game/Settings.h"
#include "game/WordRow.h"
#include "graphics/Display.h"
#include "graphics/DrawLog.h"
#include "graphics/PictureClasses.h"
#include "panels/Button.h"
#include "panels/ImageReferences.h"
#include "panels/PanelHost.h"
#include "platform/ProgramFolder.h"
#include "screens/AnalysisPanel.h"
#include "screens/GameScreens.h"
#include "screens/ProgressPanel.h"
#include "screens/TopTenPanel.h"
#include "words/WordSearch.h"

namespace {

using namespace wordlark;

constexpr const char* kLetters = "QUARTERBACKS";

// The eleven letters and joker of the shipped list that allow the most words (7939), the
// longest list the analysis screen can be asked to build. Found by a one-off search over
// assets/words.txt: every distinct letter multiset of its 11-letter words was scored (the
// best, ACEILNORSTU, allows 7344), then each of the best fifty was improved by swapping one
// letter for another while any swap allowed more words. All fifty climbs ended on this set,
// which no single swap improves, though no word of the list has exactly its letters.
constexpr const char* kRichestLetters = "ACDEILNORST[";

// The shipped vek.heap in a scratch program folder, and a game on it in the middle of a deal.
class Table {
public:
    Table()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "wordlark-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        std::filesystem::copy_file(std::string(WORDLARK_BUILD_DIR) + "/vek.heap",
                                   folder_ / "vek.heap");
        std::filesystem::create_directory(folder_ / "save");

        graphics::registerPictureClasses();
        graphics::display().open(1);
        registry_ = std::make_unique<archive::ArchiveRegistry>(folder_.string() + "/");
        screens_ = std::make_unique<screens::GameScreens>();
        game_ = std::make_unique<game::Game>("fon1", "vek.heap", *registry_, folder_.string() + "/",
                                             *screens_, settings_);
        loaded_ = game_->loadImages();
        // The start-up player selection is answered: the game screen is in front.
        game_->closeModalPanel();

        game_->handleInput(platform::WM_BUTTON_COMMAND, game::kCommandStart, 0);
        game_->pool()->deal(kLetters);
        for (const char* c = kLetters; *c != 0; ++c) {
            game_->handleInput(platform::WM_CHAR, static_cast<unsigned char>(*c), 0);
        }
        game_->computerRow()->setWord("BACKSTRETCHE");
        for (int id = 0; id < game::kGameButtonCount; ++id) {
            game_->button(id)->setHover(true);
        }
        game::Scores& scores = game_->scores();
        scores.playerChange = -12;
        scores.computerChange = 12;
        scores.playerPoints = 21;
        scores.computerPoints = 13;
        scores.bestOtherRating = 1234;
        game_->state().currentPlayer.rating = 987;
        game_->state().currentPlayer.games = 321;
    }
    ~Table()
    {
        game_.reset();
        registry_.reset();
        graphics::display().close();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    bool ready() const { return loaded_ && graphics::display().isReady(); }
    game::Game& game() { return *game_; }
    // The program folder, ending in a separator.
    std::string folder() const { return folder_.string() + "/"; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    std::unique_ptr<screens::GameScreens> screens_;
    game::Settings settings_;
    std::unique_ptr<game::Game> game_;
    bool loaded_ = false;
};

// Argument 1 installs a draw log, as the replay's state does; the real window never does, and
// without one each drawing call only tests a pointer.
void BM_DrawScreenAndPresent(benchmark::State& state)
{
    Table table;
    if (!table.ready()) {
        state.SkipWithError("vek.heap missing from the build folder or the display not ready");
        return;
    }
    game::Game& game = table.game();
    graphics::DrawLog log;
    const bool logged = state.range(0) != 0;
    graphics::display().setDrawLog(logged ? &log : nullptr);
    for (auto _ : state) {
        // A new deal of the same letters sets every tile rolling again.
        game.pool()->deal(kLetters);
        game.drawScreen();
        graphics::display().present();
        benchmark::ClobberMemory();
    }
    graphics::display().setDrawLog(nullptr);
    if (logged) {
        state.counters["logged"] =
            static_cast<double>(log.pictures.size() + log.texts.size() + log.inverted.size());
    }
}
BENCHMARK(BM_DrawScreenAndPresent)
    ->ArgName("drawLog")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// The analysis screen opened on the richest set: its pictures, every word of the list tried
// against the letters, and the sort (argument 1: A to Z, the first order of a run; 0: by
// length).
void BM_OpenAnalysis(benchmark::State& state)
{
    Table table;
    if (!table.ready()) {
        state.SkipWithError("vek.heap missing from the build folder or the display not ready");
        return;
    }
    bool alphabetical = state.range(0) != 0;
    std::size_t listed = 0;
    for (auto _ : state) {
        screens::AnalysisPanel panel("an_fon", table.game(), kRichestLetters, alphabetical);
        listed = panel.words().size();
        benchmark::DoNotOptimize(panel.words().data());
    }
    state.counters["words"] = static_cast<double>(listed);
}
BENCHMARK(BM_OpenAnalysis)->ArgName("alphabetical")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The most players the selection lists, each with a record file of his own in the save
// folder; ratings repeat, so that ties are ordered too.
void writePlayers(const std::string& folder)
{
    for (std::size_t i = 0; i < game::kMaxListedPlayers; ++i) {
        game::PlayerRecord record = game::PlayerRecord::anonymous();
        char name[16];
        std::snprintf(name, sizeof name, "Player%03zu", i);
        record.setName(name);
        record.setPassword("pw");
        record.rating = static_cast<std::int32_t>((i * 389) % 1500);
        record.level = static_cast<std::int32_t>(1 + i % 4);
        record.games = static_cast<std::int32_t>(i);
        record.victories = static_cast<std::int32_t>(i / 2);
        record.defeats = static_cast<std::int32_t>(i - i / 2);
        if (!game::saveRecord(folder, record)) {
            std::fprintf(stderr, "GameBench: the record of %s was not written\n", name);
            std::exit(1);
        }
    }
}

void BM_ReadTopTen(benchmark::State& state)
{
    Table table;
    writePlayers(table.folder());
    std::size_t listed = 0;
    for (auto _ : state) {
        const std::vector<game::TopTenEntry> entries = game::readTopTen(table.folder());
        listed = entries.size();
        benchmark::DoNotOptimize(entries.data());
    }
    state.counters["players"] = static_cast<double>(game::kMaxListedPlayers);
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_ReadTopTen)->Unit(benchmark::kMicrosecond);

// The top ten screen as the menu opens it: its pictures and every record read.
void BM_OpenTopTen(benchmark::State& state)
{
    Table table;
    if (!table.ready()) {
        state.SkipWithError("vek.heap missing from the build folder or the display not ready");
        return;
    }
    writePlayers(table.folder());
    std::size_t listed = 0;
    for (auto _ : state) {
        screens::TopTenPanel panel(table.game(), "top_fon", table.folder());
        listed = panel.entries().size();
        benchmark::DoNotOptimize(panel.entries().data());
    }
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_OpenTopTen)->Unit(benchmark::kMicrosecond);

// A history of that many verdicts for the game's current player, some 90 bytes a line.
void writeHistory(const std::string& folder, std::string_view name, std::size_t games)
{
    std::string text;
    game::HistoryEntry entry;
    entry.time = 1796801400;
    entry.letters = kRichestLetters;
    entry.level = 4;
    entry.playerWord = "CORDIALS";
    entry.computerWord = "TRACE";
    for (std::size_t i = 0; i < games; ++i) {
        entry.result = i % 3 == 0 ? game::HistoryResult::Defeat : game::HistoryResult::Victory;
        entry.ratingBefore = static_cast<std::int32_t>(400 + i % 700);
        entry.ratingAfter = entry.ratingBefore + 8;
        entry.computerRatingBefore = static_cast<std::int32_t>(300 + i % 500);
        entry.computerRatingAfter = entry.computerRatingBefore - 8;
        entry.longest = static_cast<std::int32_t>(8 + i % 5);
        entry.time += 60;
        text += game::formatHistoryLine(entry);
    }
    const game::HistoryFile file(folder, name);
    std::FILE* out = std::fopen(file.path()->c_str(), "wb");
    if (out == nullptr || std::fwrite(text.data(), 1, text.size(), out) != text.size() ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "GameBench: the history was not written\n");
        std::exit(1);
    }
}

// The progress screen as the statistics open it over 100 000 verdicts (about 9 MB): the
// history read and summed up, its pictures, and its first frame drawn.
void BM_OpenProgress(benchmark::State& state)
{
    Table table;
    if (!table.ready()) {
        state.SkipWithError("vek.heap missing from the build folder or the display not ready");
        return;
    }
    const game::GameState& game = table.game().state();
    writeHistory(table.folder(), game.currentPlayer.nameView(), 100000);
    std::size_t games = 0;
    for (auto _ : state) {
        screens::ProgressPanel panel(table.game(), "pg_fon", game, table.folder());
        panel.draw();
        games = panel.history().games();
        benchmark::ClobberMemory();
    }
    state.counters["games"] = static_cast<double>(games);
}
BENCHMARK(BM_OpenProgress)->Unit(benchmark::kMillisecond);

// What a verdict adds to keep the history: the longest word the letters allowed, looked for
// over the whole list (on the richest set, where most words fit), and the line appended.
void BM_VerdictHistory(benchmark::State& state)
{
    Table table;
    if (!table.ready()) {
        state.SkipWithError("vek.heap missing from the build folder or the display not ready");
        return;
    }
    const game::HistoryFile file(table.folder(), "Bench");
    game::HistoryEntry entry;
    entry.letters = kRichestLetters;
    std::size_t longest = 0;
    for (auto _ : state) {
        longest = words::longestMakeableLength(*table.game().dictionary(), entry.letters);
        entry.longest = static_cast<std::int32_t>(longest);
        if (!file.append(entry)) {
            state.SkipWithError("the history could not be appended to");
            return;
        }
    }
    state.counters["longest"] = static_cast<double>(longest);
}
BENCHMARK(BM_VerdictHistory)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
