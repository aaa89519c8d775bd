#include "screens/StatisticsPanel.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "game/GameState.h"
#include "graphics/Display.h"
#include "panels/PanelHost.h"
#include "screens/ProgressPanel.h"

namespace wordlark::screens {

using namespace platform;

namespace {

panels::ButtonRow table[] = {
    {0, "st_ok", nullptr},       {1, "st_up", nullptr}, {2, "st_down", nullptr},
    {3, "st_progress", nullptr}, {-1, "", nullptr},
};

constexpr std::array<std::string_view, 12> kTitles = {
    "No rating",   "Beginner", "Amateur",     "IV cathegory", "III cathegory", "II cathegory",
    "I cathegory", "Master",   "Grossmaster", "Champion",     "Giant",         "Guru",
};

constexpr std::int32_t kProgressCommand = 3;
constexpr platform::WParam kProgressKey = 'P';

constexpr std::int32_t kLinesX = 190;
constexpr std::int32_t kFirstLineY = 220;
constexpr std::int32_t kLineStep = 20;

}  // namespace

std::string_view ratingTitle(std::int32_t rating)
{
    if (rating < 1) {
        return kTitles[0];
    }
    const std::int64_t index = (std::int64_t{rating} + 50) / 100;
    return kTitles[static_cast<std::size_t>(std::min<std::int64_t>(index, kTitles.size() - 1))];
}

StatisticsPanel::StatisticsPanel(panels::PanelHost& host, std::string_view backgroundName,
                                 const game::GameState& state, std::string playerFolder)
    : ButtonPanel(host, backgroundName, table, true),
      state_(state),
      playerFolder_(std::move(playerFolder))
{
}

bool StatisticsPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if ((message == WM_BUTTON_COMMAND && wParam == kProgressCommand) ||
        (message == WM_KEYDOWN && wParam == kProgressKey)) {
        // Replaces, and so destroys, this panel: nothing of it is touched afterwards.
        host_.openModalPanel(
            std::make_unique<ProgressPanel>(host_, "pg_fon", state_, playerFolder_));
        return true;
    }
    return closeOnCommand(0, message, wParam, lParam);
}

void StatisticsPanel::draw()
{
    ButtonPanel::draw();
    panels::setCommonTextStyle();
    const game::PlayerRecord& player = state_.currentPlayer;
    // Counts come from a file and may be anything: the sum must not overflow, and games
    // counted in several verdicts of one deal must not show as a negative number skipped.
    const std::int64_t skipped = std::max<std::int64_t>(
        0, std::int64_t{player.games} - player.ties - player.defeats - player.victories);
    const std::string title(ratingTitle(player.rating));
    char lines[6][96];
    std::snprintf(lines[0], sizeof lines[0], "Rating: %s (%d)", title.c_str(),
                  static_cast<int>(player.rating));
    std::snprintf(lines[1], sizeof lines[1], "Victories: %d", static_cast<int>(player.victories));
    std::snprintf(lines[2], sizeof lines[2], "Defeats: %d", static_cast<int>(player.defeats));
    std::snprintf(lines[3], sizeof lines[3], "Tie ups: %d", static_cast<int>(player.ties));
    std::snprintf(lines[4], sizeof lines[4], "Skipped games: %lld",
                  static_cast<long long>(skipped));
    std::snprintf(lines[5], sizeof lines[5], "Total games: %d", static_cast<int>(player.games));
    graphics::Display& display = graphics::display();
    for (int i = 0; i < 6; ++i) {
        display.drawText(kLinesX, kFirstLineY + kLineStep * i, lines[i]);
    }
}

}  // namespace wordlark::screens
