// ScreenOpener.h -- how the game screen opens the screens that live in the library above it.
#pragma once

#include <memory>

namespace wordlark::panels {
class Panel;
}

namespace wordlark::game {

class Game;

// The screens the game screen itself opens: the main menu into the overlay slot, the others
// into the modal slot. The options open over the panel in front, which they keep and give
// back when they close.
enum class GameScreen { PlayerSelection, SaveWord, Analysis, MainMenu, Options, Deal };

// Start-up hands one of these to the game, so every screen the game asks for exists.
class ScreenOpener {
public:
    virtual ~ScreenOpener() = default;
    // A new panel of that screen for this game, not yet in any slot; null only when it cannot
    // be made (the slot then stays empty).
    virtual std::unique_ptr<panels::Panel> open(GameScreen screen, Game& game) = 0;
};

}  // namespace wordlark::game
