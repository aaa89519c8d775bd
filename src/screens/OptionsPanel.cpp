#include "screens/OptionsPanel.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/Game.h"
#include "graphics/ImageResource.h"
#include "panels/Button.h"
#include "platform/Desktop.h"

namespace wordlark::screens {

using namespace platform;

namespace {

constexpr OptionChoice kWindowSizes[] = {
    {"op_fit", kFitScale}, {"op_1x", 1}, {"op_2x", 2}, {"op_3x", 3}, {"op_4x", 4},
};
constexpr OptionChoice kOnOff[] = {{"op_fullon", 1}, {"op_fulloff", 0}};
constexpr OptionChoice kScaling[] = {{"op_sharp", 0}, {"op_smooth", 1}};

// A scale asked for that does not fit is shown as the one the window gets.
int chosenScale(const DisplayMode& mode)
{
    return mode.scale == kFitScale ? kFitScale
                                   : std::min(mode.scale, fittingScale(desktop().workArea()));
}

bool scaleFits(int scale)
{
    return scale == kFitScale || fittingScale(desktop().workArea()) >= scale;
}

constexpr OptionRow kRows[] = {
    {"windowSize", kWindowSizes, chosenScale, [](DisplayMode& m, int v) { m.scale = v; },
     scaleFits},
    {"fullScreen", kOnOff, [](const DisplayMode& m) { return m.fullscreen ? 1 : 0; },
     [](DisplayMode& m, int v) { m.fullscreen = v != 0; }, nullptr},
    {"fullScreenScaling", kScaling, [](const DisplayMode& m) { return m.smooth ? 1 : 0; },
     [](DisplayMode& m, int v) { m.smooth = v != 0; }, nullptr},
};

panels::ButtonRow tableRow(std::int32_t commandId, const char* image)
{
    panels::ButtonRow row{commandId, {}, nullptr};
    std::strncpy(row.imageName, image, sizeof row.imageName - 1);
    return row;
}

// The class's button table, made once from the rows: every choice in row order, numbered on
// from the close button's command, then the close button, so the keyboard meets them in the
// order they are read.
panels::ButtonRow* buttonTable()
{
    static std::vector<panels::ButtonRow> table = [] {
        std::vector<panels::ButtonRow> rows;
        for (const OptionRow& row : kRows) {
            for (const OptionChoice& choice : row.choices) {
                rows.push_back(tableRow(
                    OptionsPanel::kCloseCommand + 1 + static_cast<std::int32_t>(rows.size()),
                    choice.image));
            }
        }
        rows.push_back(tableRow(OptionsPanel::kCloseCommand, "op_close"));
        rows.push_back({-1, "", nullptr});
        return rows;
    }();
    return table.data();
}

// Calls visit(row, choice, command id) for every choice, in table order.
template <typename Visit>
void forEachChoice(Visit visit)
{
    std::int32_t command = OptionsPanel::kCloseCommand;
    for (const OptionRow& row : kRows) {
        for (const OptionChoice& choice : row.choices) {
            visit(row, choice, ++command);
        }
    }
}

}  // namespace

std::span<const OptionRow> optionRows()
{
    return kRows;
}

OptionsPanel::OptionsPanel(game::Game& game, std::unique_ptr<panels::Panel> under)
    : ButtonPanel(game, "op_fon", buttonTable(), true), game_(game), under_(std::move(under))
{
    refreshAvailable();
}

OptionsPanel::~OptionsPanel() = default;

void OptionsPanel::refreshAvailable()
{
    forEachChoice([this](const OptionRow& row, const OptionChoice& choice, std::int32_t command) {
        panels::Button* button = buttonFor(command);
        const bool can = row.available == nullptr || row.available(choice.value);
        if (button != nullptr && button->enabled() != can) {
            // A button enabled again shows nothing until the pointer comes over it.
            button->setHover(false);
            button->setEnabled(can);
        }
    });
}

void OptionsPanel::close()
{
    // Putting the kept panel back in the slot destroys this one.
    game_.openModalPanel(std::move(under_));
}

bool OptionsPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        close();
        return false;
    }
    if (message != WM_BUTTON_COMMAND) {
        return ButtonPanel::handleInput(message, wParam, lParam);
    }
    if (wParam == static_cast<WParam>(kCloseCommand)) {
        close();
        return true;
    }
    forEachChoice([&](const OptionRow& row, const OptionChoice& choice, std::int32_t command) {
        if (wParam == static_cast<WParam>(command) &&
            (row.available == nullptr || row.available(choice.value))) {
            game_.changeSettings(
                [&row, value = choice.value](DisplayMode& mode) { row.choose(mode, value); });
        }
    });
    refreshAvailable();
    return true;
}

void OptionsPanel::draw()
{
    if (under_) {
        under_->draw();
    }
    refreshAvailable();
    // The choice in force shows as chosen, the pointer over it or not; only a press shows
    // otherwise. The buttons draw themselves when the pointer is over them (in the frame
    // chosen here) and are drawn here when it is not.
    const DisplayMode mode = desktop().displayMode();
    std::vector<graphics::ImageResource*> chosenIdle;
    forEachChoice([&](const OptionRow& row, const OptionChoice& choice, std::int32_t command) {
        panels::Button* button = buttonFor(command);
        graphics::ImageResource* image = button != nullptr ? button->image() : nullptr;
        const bool held = host().buttonHeld() && host().pressedButton() == button;
        if (image == nullptr || !button->enabled() || held) {
            return;
        }
        const bool chosen = row.chosen(mode) == choice.value;
        if (button->hover()) {
            image->selectFrame(chosen ? kFrameChosen : panels::kFrameHighlighted);
        } else if (chosen) {
            chosenIdle.push_back(image);
        }
    });
    ButtonPanel::draw();
    for (graphics::ImageResource* image : chosenIdle) {
        image->selectFrame(kFrameChosen);
        image->draw();
    }
}

void OptionsPanel::describe(nlohmann::ordered_json& fields) const
{
    const DisplayMode mode = desktop().displayMode();
    nlohmann::ordered_json rows = nlohmann::ordered_json::object();
    for (const OptionRow& row : kRows) {
        nlohmann::ordered_json chosen = nullptr;
        nlohmann::ordered_json enabled = nlohmann::ordered_json::array();
        for (const OptionChoice& choice : row.choices) {
            if (row.chosen(mode) == choice.value) {
                chosen = choice.image;
            }
            if (row.available == nullptr || row.available(choice.value)) {
                enabled.push_back(choice.image);
            }
        }
        rows[row.name] = {{"chosen", chosen}, {"enabled", enabled}};
    }
    fields["rows"] = std::move(rows);
    fields["under"] = under_ ? nlohmann::ordered_json(std::string(under_->className()))
                             : nlohmann::ordered_json(nullptr);
}

}  // namespace wordlark::screens
