// MainMenu.h -- the menu that slides up over the game screen, with its level selector.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "panels/Button.h"
#include "panels/FocusRing.h"
#include "panels/Panel.h"

namespace wordlark::game {
class Game;
struct GameState;
}  // namespace wordlark::game
namespace wordlark::graphics {
class ImageResource;
}

namespace wordlark::screens {

// The menu's commands, in the order of its button table.
enum MenuCommand : std::int32_t {
    kMenuNew = 0,
    kMenuExit = 1,
    kMenuAbout = 2,
    kMenuHelp = 3,
    kMenuStatistics = 4,
    kMenuTopTen = 5,
    kMenuLevels = 6,
};

// Rises by 50 pixels a frame to rest at 278, sinks by 50 when the pointer leaves it, Escape
// is pressed or a button opens something, and takes itself out of the overlay slot once
// gone. While it is not sinking it takes every message.
class MainMenu : public panels::Panel {
public:
    MainMenu(std::string_view backgroundName, game::Game& game, std::string playerFolder);
    ~MainMenu() override;

    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    // May take the menu out of its slot (destroying it) at the end.
    void draw() override;
    std::string_view className() const override { return "MainMenu"; }
    void describe(nlohmann::ordered_json& fields) const override;
    // The ring shows only while the menu rests.
    const panels::Button* focusedButton() const override
    {
        return slideSpeed_ == 0 ? ring_.focused() : nullptr;
    }

    std::int32_t slideOffset() const { return slideOffset_; }
    std::int32_t slideSpeed() const { return slideSpeed_; }
    std::int32_t levelOffset() const { return levelOffset_; }
    std::int32_t levelSpeed() const { return levelSpeed_; }
    bool levelPanelOut() const { return levelPanel_ != nullptr; }
    bool levelListOpen() const { return levelList_ != nullptr; }
    panels::Button* button(std::int32_t command) const;

private:
    void drawLevelSelector();
    void mouseMove();
    void press();
    bool runCommand(std::int32_t command);
    // Tab, the arrows, Space and Return over the buttons; digits on the level selector.
    void handleKey(platform::WParam key, platform::LParam flags);
    void sink();
    void setLevel(std::int32_t level);
    void release(graphics::ImageResource*& image);
    bool pointerOn(graphics::ImageResource* image) const;

    game::Game& game_;
    game::GameState& state_;
    std::string playerFolder_;
    std::int32_t slideOffset_ = 0;
    graphics::ImageResource* mask_ = nullptr;
    graphics::ImageResource* levelPanel_ = nullptr;
    graphics::ImageResource* levelList_ = nullptr;
    std::int32_t slideSpeed_;
    std::int32_t levelOffset_ = 0;
    std::int32_t levelSpeed_ = 0;
    bool pointerWasOnLevelPanel_ = false;
    bool pointerWasOnLevelList_ = false;
    std::vector<std::unique_ptr<panels::Button>> buttons_;
    panels::FocusRing ring_;
};

}  // namespace wordlark::screens
