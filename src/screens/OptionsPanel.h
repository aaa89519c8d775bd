// OptionsPanel.h -- the player's choices of how the game is shown, one row of buttons each.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "panels/ButtonPanel.h"
#include "platform/DisplayMode.h"

namespace wordlark::game {
class Game;
}

namespace wordlark::screens {

// One choice of a row: its button's picture and the value it stands for.
struct OptionChoice {
    const char* image;
    int value;
};

// A row of the panel: a value with a button per choice. A new row is a line of the row table
// (OptionsPanel.cpp) and its buttons in the art; the buttons' command ids follow from the table.
struct OptionRow {
    const char* name;  // as the replay state names it
    std::span<const OptionChoice> choices;
    // The value in force, out of a mode; the button of a value no choice has shows nothing.
    int (*chosen)(const platform::DisplayMode& mode);
    // Sets the value chosen into a mode.
    void (*choose)(platform::DisplayMode& mode, int value);
    // Whether a value can be chosen now; null: always.
    bool (*available)(int value);
};

// The rows, in the order they are shown.
std::span<const OptionRow> optionRows();

// Opens over whatever panel was in front, which it keeps, draws beneath itself and puts back
// when it closes (Escape, its close button, or F9 again). A choice applies at once.
class OptionsPanel : public panels::ButtonPanel {
public:
    // The command of the close button; the choices' commands follow it in table order.
    static constexpr std::int32_t kCloseCommand = 0;
    // The picture of every choice button has a fourth frame after the three of every button:
    // the look of the choice in force.
    static constexpr std::int32_t kFrameChosen = 3;

    OptionsPanel(game::Game& game, std::unique_ptr<panels::Panel> under);
    ~OptionsPanel() override;

    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    void draw() override;
    std::string_view className() const override { return "OptionsPanel"; }
    void describe(nlohmann::ordered_json& fields) const override;

    // Gives up the panel it keeps, for whoever closes it otherwise (F9 again).
    std::unique_ptr<panels::Panel> takeUnder() { return std::move(under_); }
    const panels::Panel* under() const { return under_.get(); }

private:
    // Enables the buttons of the values that can be chosen now.
    void refreshAvailable();
    // Back to the panel beneath (or none); this panel is gone afterwards.
    void close();

    game::Game& game_;
    std::unique_ptr<panels::Panel> under_;
};

}  // namespace wordlark::screens
