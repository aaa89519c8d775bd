// DealPanel.h -- the deal's code to copy, a code to play, and the daily deal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "panels/ButtonPanel.h"

namespace wordlark::game {
class Game;
}

namespace wordlark::screens {

// Shows the code of the deal in play and takes a typed code with the name field's caret and
// keys. Play (or Return) deals the typed code, Daily the daily deal, each as "start" would and
// only when it could; Copy puts the deal's code on the clipboard, Share (or F8) the result of a
// daily deal. A code that cannot be played is refused with its reason in the panel.
class DealPanel : public panels::ButtonPanel {
public:
    static constexpr std::int32_t kPlay = 0;
    static constexpr std::int32_t kCopy = 1;
    static constexpr std::int32_t kDaily = 2;
    static constexpr std::int32_t kClose = 3;
    static constexpr std::int32_t kShare = 4;
    // The most a typed code holds: twelve symbols with a few spaces or dashes between.
    static constexpr std::size_t kMaxTyped = 20;

    explicit DealPanel(game::Game& game);

    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    void draw() override;
    std::string_view className() const override { return "DealPanel"; }
    void describe(nlohmann::ordered_json& fields) const override;

private:
    void refreshButtons();
    // Whether a new deal may start now; says why not when it may not.
    bool mayDeal();
    void play();
    void copy();
    void daily();
    void share();

    game::Game& game_;
    std::string typed_;
    std::string message_;
    std::int32_t blinkCounter_ = 0;
};

}  // namespace wordlark::screens
