// GameScreens.h -- opens the screens the game screen asks for, with what each one needs.
#pragma once

#include <memory>

#include "game/ScreenOpener.h"

namespace wordlark::screens {

// Made once by start-up and handed to the game; lives as long as the game. It keeps the one
// choice that outlives a screen: the analysis's sort order for the rest of the run. Opening
// the options takes the panel in front into them.
class GameScreens : public game::ScreenOpener {
public:
    GameScreens() = default;

    std::unique_ptr<panels::Panel> open(game::GameScreen screen, game::Game& game) override;

    bool analysisAlphabetical() const { return analysisAlphabetical_; }

private:
    bool analysisAlphabetical_ = true;
};

}  // namespace wordlark::screens
