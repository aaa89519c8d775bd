#include "screens/ProgressPanel.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "game/GameState.h"
#include "graphics/Display.h"
#include "graphics/Lines.h"
#include "panels/PanelHost.h"
#include "platform/CodePage.h"
#include "screens/StatisticsPanel.h"

namespace wordlark::screens {

using namespace platform;

namespace {

enum Command : std::int32_t { kBack = 0, kForward = 1, kClose = 2 };

panels::ButtonRow table[] = {
    {kBack, "pg_back", nullptr},
    {kForward, "pg_forward", nullptr},
    {kClose, "pg_close", nullptr},
    {-1, "", nullptr},
};

// The inside of the chart's field on the background, and the column of the titles' labels.
constexpr std::int32_t kChartLeft = 38;
constexpr std::int32_t kChartTop = 54;
constexpr std::int32_t kChartRight = 494;
constexpr std::int32_t kChartBottom = 214;
constexpr std::int32_t kLabelX = 506;
constexpr std::int32_t kTitleStep = 100;
constexpr std::int32_t kFirstTitleEdge = 50;
// More title bands than this are not drawn: they would be thinner than a pixel.
constexpr std::int64_t kMostBands = 200;

// Word lengths: a pair of bars per length on this base line.
constexpr std::int32_t kBarsLeft = 44;
constexpr std::int32_t kBarsStep = 22;
constexpr std::int32_t kBarWidth = 8;
constexpr std::int32_t kBarsBase = 404;
constexpr std::int32_t kBarsHeight = 120;

// Results by level: two columns of five levels, headed on the background.
constexpr std::int32_t kResultsLeft = 336;
constexpr std::int32_t kResultsColumn = 136;
constexpr std::int32_t kResultsTop = 296;
constexpr std::int32_t kRowStep = 16;

const std::uint16_t kPlayerColor = rgbTo565(52, 184, 172);
const std::uint16_t kComputerColor = rgbTo565(246, 116, 92);
const std::uint16_t kBandColor = rgbTo565(238, 168, 52);
const std::uint16_t kEdgeColor = rgbTo565(226, 212, 184);
constexpr std::uint32_t kInkSoft = 0x30506E;  // 0x00BBGGRR

// The edges of the chart's rating scale: the title edges (50, 150, ...) around the values.
struct Scale {
    std::int64_t low;
    std::int64_t high;
};

Scale scaleOf(const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b,
              std::size_t first, std::size_t count)
{
    std::int64_t low = a[first];
    std::int64_t high = a[first];
    for (std::size_t i = first; i < first + count; ++i) {
        low = std::min<std::int64_t>({low, a[i], b[i]});
        high = std::max<std::int64_t>({high, a[i], b[i]});
    }
    const auto edgeBelow = [](std::int64_t v) {
        const std::int64_t k = v - kFirstTitleEdge;
        return (k >= 0 ? k / kTitleStep : (k - kTitleStep + 1) / kTitleStep) * kTitleStep +
               kFirstTitleEdge;
    };
    Scale scale{std::max<std::int64_t>(0, edgeBelow(low)), edgeBelow(high) + kTitleStep};
    if (scale.high <= high) {
        scale.high += kTitleStep;
    }
    return scale;
}

std::int32_t yOf(std::int64_t value, const Scale& scale)
{
    const double part =
        static_cast<double>(value - scale.low) / static_cast<double>(scale.high - scale.low);
    return kChartBottom - static_cast<std::int32_t>(part * (kChartBottom - kChartTop) + 0.5);
}

std::string number(std::int64_t value)
{
    return std::to_string(value);
}

}  // namespace

ProgressPanel::ProgressPanel(panels::PanelHost& host, std::string_view backgroundName,
                             const game::GameState& state, std::string playerFolder)
    : ButtonPanel(host, backgroundName, table, true),
      state_(state),
      playerFolder_(std::move(playerFolder)),
      history_(game::GameHistory::load(playerFolder_, state.currentPlayer.nameView()))
{
    firstShown_ = history_.games() - shownCount();
    for (const std::int32_t id : {kBack, kForward}) {
        if (panels::Button* button = buttonFor(id)) {
            button->setAutoRepeat(true);
        }
    }
    updateArrows();
}

// An arrow with nowhere to go is shown disabled.
void ProgressPanel::updateArrows()
{
    const bool can[] = {firstShown_ > 0, firstShown_ + shownCount() < history_.games()};
    for (const std::int32_t id : {kBack, kForward}) {
        if (panels::Button* button = buttonFor(id)) {
            if (!button->enabled() && can[id]) {
                button->setHover(false);
            }
            button->setEnabled(can[id]);
        }
    }
}

std::size_t ProgressPanel::shownCount() const
{
    return std::min(history_.games(), kShownGames);
}

bool ProgressPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (message == WM_KEYDOWN) {
        switch (wParam) {
            case VK_LEFT:
            case VK_UP:
                scroll(true);
                return true;
            case VK_RIGHT:
            case VK_DOWN:
                scroll(false);
                return true;
            case VK_ESCAPE:
                backToStatistics();
                return true;
            default:
                break;
        }
    }
    if (message == WM_BUTTON_COMMAND) {
        switch (static_cast<std::int32_t>(wParam)) {
            case kBack:
            case kForward:
                scroll(wParam == kBack);
                return true;
            case kClose:
                backToStatistics();
                return true;
            default:
                break;
        }
    }
    return ButtonPanel::handleInput(message, wParam, lParam);
}

void ProgressPanel::scroll(bool back)
{
    const std::size_t last = history_.games() - shownCount();
    firstShown_ = back ? firstShown_ - std::min(firstShown_, kScrollStep)
                       : std::min(last, firstShown_ + kScrollStep);
    updateArrows();
}

// Destroys this panel: nothing of it is touched afterwards.
void ProgressPanel::backToStatistics()
{
    host_.openModalPanel(std::make_unique<StatisticsPanel>(host_, "st_fon", state_, playerFolder_));
}

void ProgressPanel::draw()
{
    ButtonPanel::draw();
    panels::setCommonTextStyle();
    graphics::Display& display = graphics::display();
    if (history_.games() == 0) {
        display.drawTextBox(kChartLeft, (kChartTop + kChartBottom) / 2 - 8,
                            kChartRight - kChartLeft, 16, "No games recorded yet",
                            graphics::kTextCenter);
        return;
    }
    drawChart();
    drawLengths();
    drawResults();
}

void ProgressPanel::drawChart() const
{
    graphics::Display& display = graphics::display();
    const platform::Surface& frame = display.backBuffer();
    const std::size_t count = shownCount();
    const auto& player = history_.playerRatings();
    const auto& computer = history_.computerRatings();
    const Scale scale = scaleOf(player, computer, firstShown_, count);

    // The titles as faint bands, every other one tinted, each named where it has the room.
    if ((scale.high - scale.low) / kTitleStep <= kMostBands) {
        display.setTextColor(kInkSoft);
        for (std::int64_t edge = scale.low; edge < scale.high;) {
            const std::int64_t next =
                edge < kFirstTitleEdge ? kFirstTitleEdge : std::min(scale.high, edge + kTitleStep);
            const std::int32_t top = yOf(next, scale);
            const std::int32_t bottom = yOf(edge, scale);
            const std::int64_t index = edge < kFirstTitleEdge ? 0 : (edge + 50) / kTitleStep;
            if (index % 2 == 1) {
                graphics::tintRect(frame, kChartLeft, top, kChartRight - kChartLeft + 1,
                                   bottom - top, kBandColor, 40);
            }
            graphics::drawLine(frame, kChartLeft, top, kChartRight, top, kEdgeColor);
            if (bottom - top >= 16) {
                display.drawText(kLabelX, (top + bottom) / 2 - 8,
                                 ratingTitle(static_cast<std::int32_t>(edge)));
            }
            edge = next;
        }
        panels::setCommonTextStyle();
    }

    // Both ratings after each shown game, left to right, oldest first.
    const auto xOf = [count](std::size_t i) {
        if (count < 2) {
            return (kChartLeft + kChartRight) / 2;
        }
        return kChartLeft + static_cast<std::int32_t>(i * (kChartRight - kChartLeft) / (count - 1));
    };
    // Few games get larger marks, so that a lone one still shows.
    const std::int32_t dot = count < 20 ? 5 : 3;
    for (const auto* line : {&computer, &player}) {
        const std::uint16_t color = line == &player ? kPlayerColor : kComputerColor;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t x = xOf(i);
            const std::int32_t y = yOf((*line)[firstShown_ + i], scale);
            if (i > 0) {
                const std::int32_t px = xOf(i - 1);
                const std::int32_t py = yOf((*line)[firstShown_ + i - 1], scale);
                graphics::drawLine(frame, px, py, x, y, color);
                graphics::drawLine(frame, px, py - 1, x, y - 1, color);
            }
            graphics::fillRect(frame, x - dot / 2, y - dot / 2, dot, dot, color);
        }
    }

    char caption[96];
    std::snprintf(caption, sizeof caption, "Games %zu to %zu of %zu", firstShown_ + 1,
                  firstShown_ + count, history_.games());
    display.drawTextBox(66, 230, 400, 22, caption, graphics::kTextCenter);
}

void ProgressPanel::drawLengths() const
{
    const platform::Surface& frame = graphics::display().backBuffer();
    const auto& mine = history_.wordLengths();
    const auto& longest = history_.longestLengths();
    std::int64_t most = 1;
    for (std::size_t n = 1; n <= game::GameHistory::kMaxLength; ++n) {
        most = std::max({most, mine[n], longest[n]});
    }
    const auto height = [most](std::int64_t count) {
        if (count <= 0) {
            return 0;
        }
        return std::max(1, static_cast<std::int32_t>(count * kBarsHeight / most));
    };
    for (std::size_t n = 1; n <= game::GameHistory::kMaxLength; ++n) {
        const auto x = kBarsLeft + kBarsStep * static_cast<std::int32_t>(n - 1);
        const std::int32_t a = height(mine[n]);
        const std::int32_t b = height(longest[n]);
        graphics::fillRect(frame, x, kBarsBase - a, kBarWidth, a, kPlayerColor);
        graphics::fillRect(frame, x + kBarWidth + 1, kBarsBase - b, kBarWidth, b, kComputerColor);
    }
}

void ProgressPanel::drawResults() const
{
    graphics::Display& display = graphics::display();
    for (std::int32_t level = 1; level <= game::GameHistory::kLevels; ++level) {
        const game::GameHistory::LevelCounts& counts = history_.level(level);
        const std::int32_t x = kResultsLeft + kResultsColumn * ((level - 1) / 5);
        const std::int32_t y = kResultsTop + kRowStep * ((level - 1) % 5);
        const std::pair<std::int32_t, std::string> cells[] = {
            {x - 1, number(level)},
            {x + 36, number(counts.victories)},
            {x + 66, number(counts.defeats)},
            {x + 96, number(counts.ties)},
        };
        for (const auto& [left, text] : cells) {
            display.drawTextBox(left, y, 30, kRowStep, text, graphics::kTextCenter);
        }
    }
    std::string longest = "Longest word: ";
    if (history_.longestWord().empty()) {
        longest += "none";
    } else {
        longest += history_.longestWord() + " (" +
                   game::formatUtcTime(history_.longestWordTime()).substr(0, 10) + ")";
    }
    display.drawText(334, 386, longest);
    char runs[96];
    std::snprintf(runs, sizeof runs, "Victories in a row: %lld, best %lld",
                  static_cast<long long>(history_.currentRun()),
                  static_cast<long long>(history_.bestRun()));
    display.drawText(334, 404, runs);
}

void ProgressPanel::describe(nlohmann::ordered_json& fields) const
{
    const std::size_t count = shownCount();
    nlohmann::ordered_json ratings = nlohmann::ordered_json::array();
    for (std::size_t i = firstShown_; i < firstShown_ + count; ++i) {
        ratings.push_back(history_.playerRatings()[i]);
    }
    fields["games"] = history_.games();
    fields["ratings"] = std::move(ratings);
    fields["firstShown"] = firstShown_;
    fields["longestWord"] = cp1252ToUtf8(history_.longestWord());
}

}  // namespace wordlark::screens
