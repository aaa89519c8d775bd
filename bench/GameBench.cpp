// GameBench -- one whole game-screen frame (rolling pool, two full rows, every button and score)
// composed and presented.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "archive/ArchiveRegistry.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
#include "game/WordRow.h"
#include "graphics/Display.h"
#include "graphics/PictureClasses.h"
#include "panels/Button.h"
#include "panels/ImageReferences.h"
#include "panels/PanelHost.h"
#include "platform/ProgramFolder.h"
#include "screens/GameScreens.h"

namespace {

using namespace wordlark;

constexpr const char* kLetters = "QUARTERBACKS";

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
        platform::setProgramFolder(folder_.string() + "/");

        graphics::registerPictureClasses();
        graphics::display().open(1);
        registry_ = std::make_unique<archive::ArchiveRegistry>(folder_.string() + "/");
        panels::setImageRegistry(registry_.get());
        screens_ =
            std::make_unique<screens::GameScreens>(game::gameState(), folder_.string() + "/");
        game_ = std::make_unique<game::Game>("fon1", "vek.heap", *screens_);
        panels::setPanelHost(game_.get());
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
        game::gameState().currentPlayer.rating = 987;
        game::gameState().currentPlayer.games = 321;
    }
    ~Table()
    {
        panels::setPanelHost(nullptr);
        game_.reset();
        panels::setImageRegistry(nullptr);
        registry_.reset();
        graphics::display().close();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    bool ready() const { return loaded_ && graphics::display().isReady(); }
    game::Game& game() { return *game_; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    std::unique_ptr<screens::GameScreens> screens_;
    std::unique_ptr<game::Game> game_;
    bool loaded_ = false;
};

void BM_DrawScreenAndPresent(benchmark::State& state)
{
    Table table;
    if (!table.ready()) {
        state.SkipWithError("vek.heap missing from the build folder or the display not ready");
        return;
    }
    game::Game& game = table.game();
    for (auto _ : state) {
        // A new deal of the same letters sets every tile rolling again.
        game.pool()->deal(kLetters);
        game.drawScreen();
        graphics::display().present();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawScreenAndPresent)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
