#include "screens/GameScreens.h"

#include "game/Game.h"
#include "game/LetterPool.h"
#include "screens/AnalysisPanel.h"
#include "screens/DealPanel.h"
#include "screens/MainMenu.h"
#include "screens/OptionsPanel.h"
#include "screens/PlayerSelection.h"
#include "screens/SaveWordDialog.h"

namespace wordlark::screens {

std::unique_ptr<panels::Panel> GameScreens::open(game::GameScreen screen, game::Game& game)
{
    switch (screen) {
        case game::GameScreen::PlayerSelection:
            return std::make_unique<PlayerSelection>("ng_fon", true, game, game.state(),
                                                     game.playerFolder());
        case game::GameScreen::SaveWord:
            return std::make_unique<SaveWordDialog>("sw_fon", game);
        case game::GameScreen::Analysis:
            return std::make_unique<AnalysisPanel>(
                "an_fon", game, game.pool() != nullptr ? game.pool()->letters() : "",
                analysisAlphabetical_);
        case game::GameScreen::Deal:
            return std::make_unique<DealPanel>(game);
        case game::GameScreen::MainMenu:
            return std::make_unique<MainMenu>("menu", game, game.playerFolder());
        case game::GameScreen::Options:
            // Asked for again while in front, the options give back the panel they keep, and
            // the slot takes that one again.
            if (auto* open = dynamic_cast<OptionsPanel*>(game.modalPanel().get())) {
                return open->takeUnder();
            }
            return std::make_unique<OptionsPanel>(game, std::move(game.modalPanel()));
    }
    return nullptr;
}

}  // namespace wordlark::screens
