// StatisticsPanel.h -- the current player's rating with its title and his game counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "panels/ButtonPanel.h"

namespace wordlark::game {
struct GameState;
}

namespace wordlark::screens {

// The title of a rating: "No rating" below 50, then one title per hundred, centred on the
// hundreds, up to "Guru", which every rating from 1050 up keeps.
std::string_view ratingTitle(std::int32_t rating);

class StatisticsPanel : public panels::ButtonPanel {
public:
    // The player's files (his history, for the progress screen) are under playerFolder.
    StatisticsPanel(panels::PanelHost& host, std::string_view backgroundName,
                    const game::GameState& state, std::string playerFolder);

    // Its ok button and Escape close it; the two arrows do nothing. The progress button and
    // the key P put the progress screen in its place.
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    void draw() override;
    std::string_view className() const override { return "StatisticsPanel"; }

private:
    const game::GameState& state_;
    std::string playerFolder_;
};

}  // namespace wordlark::screens
