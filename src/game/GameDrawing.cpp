#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "game/DailyDeal.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/JokerStrip.h"
#include "game/LetterPool.h"
#include "game/VerdictMeanings.h"
#include "game/WordRow.h"
#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "graphics/Lines.h"
#include "panels/Button.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"

namespace wordlark::game {

namespace {

struct ScoreBox {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

constexpr ScoreBox kLevelBox{520, 59, 40, 26};
constexpr ScoreBox kPlayerChangeBox{12, 60, 60, 40};
constexpr ScoreBox kComputerChangeBox{563, 60, 60, 40};
constexpr ScoreBox kGamesBox{113, 60, 70, 19};
constexpr ScoreBox kBestRatingBox{214, 60, 70, 19};
constexpr ScoreBox kRatingBox{317, 60, 70, 19};
constexpr ScoreBox kComputerRatingBox{425, 60, 70, 19};
constexpr ScoreBox kPointsBox{425, 418, 70, 19};
// The foot of the screen, where a failed save is told until the next deal.
constexpr ScoreBox kNoticeBox{0, 456, 640, 20};
// The footer band's code and daily deal, left of the frame the menu rises from behind; a
// press anywhere in their boxes counts.
constexpr ScoreBox kCodeBox{8, 450, 232, 28};
constexpr ScoreBox kDailyBox{400, 450, 124, 28};
constexpr std::int32_t kFooterTextY = 456;
// Amber like the game's buttons: the footer's texts can be clicked.
constexpr graphics::ColorRef kFooterColor = 0x70D4FF;
constexpr std::uint16_t kMarkColor = 0xFEAE;  // (255, 212, 112) in RGB565

bool inside(const ScoreBox& box, std::int32_t x, std::int32_t y)
{
    return x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
}

void drawBox(graphics::Display& display, const ScoreBox& box, const char* text)
{
    display.drawTextBox(box.x, box.y, box.width, box.height, text, graphics::kTextCenter);
}

void drawNumber(graphics::Display& display, const ScoreBox& box, const char* format,
                std::int64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<long long>(value));
    drawBox(display, box, text);
}

}  // namespace

void Game::drawScreen()
{
    graphics::Display& display = graphics::display();
    if (graphics::DrawLog* log = display.drawLog()) {
        log->clear();
    }
    if (background_ != nullptr) {
        background_->draw();
    }
    for (auto& b : buttons_) {
        if (b) {
            b->tick();
        }
    }
    if (optionsButton_) {
        optionsButton_->tick();
    }
    pool_->draw();
    computerRow_->draw();
    playerRow_->draw();
    if (meanings_) {
        meanings_->draw(display);
    }

    // The panels drawn over the game screen rely on this text style.
    panels::setCommonTextStyle();
    drawScores();

    if (state_.jokerPick) {
        const std::int32_t cell = JokerStrip::cellAt(pointerX());
        if (alphabetImage_ != nullptr) {
            alphabetImage_->drawAt(JokerStrip::kX, JokerStrip::kY);
        }
        display.invertRect(JokerStrip::cellX(cell), JokerStrip::kCellTop, JokerStrip::kMarkWidth,
                           JokerStrip::kMarkHeight);
    }
    char points[32];
    std::snprintf(points, sizeof points, "%d:%d", static_cast<int>(scores_.playerPoints),
                  static_cast<int>(scores_.computerPoints));
    drawBox(display, kPointsBox, points);
    drawFooter();
    if (!saveProblems_.notice().empty()) {
        // Light behind the black text, on the dark band at the foot of the screen.
        display.setBackMode(graphics::kBackOpaque);
        drawBox(display, kNoticeBox, saveProblems_.notice().c_str());
        panels::setCommonTextStyle();
    }

    if (!menuOverlay_ && !modalPanel_) {
        // Only the screen in front shows its ring.
        ring_.draw();
    }
    if (menuOverlay_) {
        menuOverlay_->draw();
    }
    if (modalPanel_) {
        modalPanel_->draw();
    }
}

void Game::drawFooter()
{
    graphics::Display& display = graphics::display();
    display.setTextColor(kFooterColor);
    if (const std::optional<DealCode> code = dealCode()) {
        display.drawText(kCodeBox.x + 4, kFooterTextY, "Deal " + code->text());
    }
    const std::string daily = "Daily #" + std::to_string(DailyDeal::number(today()));
    display.drawTextBox(kDailyBox.x, kFooterTextY, kDailyBox.width - 20, 20, daily,
                        graphics::kTextCenter);
    if (playedToday()) {
        // A tick after the number: today's deal has its verdict.
        const std::int32_t x = kDailyBox.x + kDailyBox.width - 18;
        const std::int32_t y = kFooterTextY + 9;
        for (std::int32_t thick = 0; thick < 2; ++thick) {
            graphics::drawLine(display.backBuffer(), x, y + thick, x + 4, y + 4 + thick,
                               kMarkColor);
            graphics::drawLine(display.backBuffer(), x + 4, y + 4 + thick, x + 12, y - 5 + thick,
                               kMarkColor);
        }
    }
    panels::setCommonTextStyle();
}

bool Game::pressFooter(std::int32_t x, std::int32_t y)
{
    if (inside(kCodeBox, x, y) && dealCode()) {
        openModal(GameScreen::Deal);
        return true;
    }
    if (inside(kDailyBox, x, y)) {
        playDaily();
        return true;
    }
    return false;
}

void Game::drawScores()
{
    graphics::Display& display = graphics::display();
    const GameState& state = state_;
    const PlayerRecord& player = state.currentPlayer;
    // Ratings are compared unsigned, as the record files hold them.
    const std::uint32_t best =
        std::max(scores_.bestOtherRating, static_cast<std::uint32_t>(player.rating));
    drawNumber(display, kLevelBox, "%lld", state.currentLevel);
    drawNumber(display, kPlayerChangeBox, "%+lld", scores_.playerChange);
    drawNumber(display, kComputerChangeBox, "%+lld", scores_.computerChange);
    drawNumber(display, kGamesBox, "%lld", player.games);
    // The best rating prints as the signed number the record holds.
    drawNumber(display, kBestRatingBox, "%lld", static_cast<std::int32_t>(best));
    drawNumber(display, kRatingBox, "%lld", player.rating);
    drawNumber(display, kComputerRatingBox, "%lld", state.computerRating);
}

}  // namespace wordlark::game
