// SaveWordDialog.h -- asks whether a word the dictionary does not know joins the player's list.
#pragma once

#include <string_view>

#include "panels/ButtonPanel.h"

namespace wordlark::game {
class Game;
}

namespace wordlark::screens {

class SaveWordDialog : public panels::ButtonPanel {
public:
    SaveWordDialog(std::string_view backgroundName, game::Game& game);

    // Enter or its yes button keep the word, Escape or its no button refuse it; either way
    // the game hears the answer and the dialog closes.
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    std::string_view className() const override { return "SaveWordDialog"; }

private:
    game::Game& game_;
};

}  // namespace wordlark::screens
