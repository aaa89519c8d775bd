// ProgressPanel.h -- the player's story: his rating over his games, word lengths, results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/GameHistory.h"
#include "panels/ButtonPanel.h"

namespace wordlark::game {
struct GameState;
}

namespace wordlark::screens {

// Opened from the statistics panel, in its place; closing it brings the statistics back. The
// history is read once, when it opens.
class ProgressPanel : public panels::ButtonPanel {
public:
    // Games the rating chart shows at once.
    static constexpr std::size_t kShownGames = 50;
    // Games one step of the arrows scrolls.
    static constexpr std::size_t kScrollStep = 10;

    ProgressPanel(panels::PanelHost& host, std::string_view backgroundName,
                  const game::GameState& state, std::string playerFolder);

    // The arrows and Left/Up, Right/Down scroll the chart; close and Escape go back to the
    // statistics.
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    void draw() override;
    std::string_view className() const override { return "ProgressPanel"; }
    void describe(nlohmann::ordered_json& fields) const override;

    const game::GameHistory& history() const { return history_; }
    // The index of the oldest game the chart shows.
    std::size_t firstShown() const { return firstShown_; }
    std::size_t shownCount() const;

private:
    void scroll(bool back);
    void updateArrows();
    void backToStatistics();
    void drawChart() const;
    void drawLengths() const;
    void drawResults() const;

    const game::GameState& state_;
    std::string playerFolder_;
    game::GameHistory history_;
    std::size_t firstShown_ = 0;
};

}  // namespace wordlark::screens
