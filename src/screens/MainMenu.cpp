#include "screens/MainMenu.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "archive/ArchiveRegistry.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "panels/ImageReferences.h"
#include "panels/PanelHost.h"
#include "platform/Desktop.h"
#include "screens/AboutPanel.h"
#include "screens/PlayerSelection.h"
#include "screens/StatisticsPanel.h"
#include "screens/TopTenPanel.h"
#include "screens/YesNoDialog.h"

namespace wordlark::screens {

using namespace platform;

namespace {

// The menu's own table form: the archive file is named in every row.
struct MenuRow {
    std::int32_t commandId;
    char imageName[16];
    char archiveFile[16];
};

constexpr MenuRow kMenuTable[] = {
    {kMenuNew, "m_new", "vek.heap"},         {kMenuExit, "m_exit", "vek.heap"},
    {kMenuAbout, "m_about", "vek.heap"},     {kMenuHelp, "m_help", "vek.heap"},
    {kMenuStatistics, "m_stat", "vek.heap"}, {kMenuTopTen, "m_top10", "vek.heap"},
    {kMenuLevels, "m_levels", "vek.heap"},   {-1, "", ""},
};

// The slide: 50 pixels a frame up to rest at 278, the picture's resting point (588, 405).
constexpr std::int32_t kSlideSpeed = 50;
constexpr std::int32_t kSlideTop = 278;
constexpr std::int32_t kMenuX = 588;
constexpr std::int32_t kMenuLowY = 683;

// The level selector: arrives from 152 pixels to the right at 40 a frame, leaves the same way.
constexpr std::int32_t kLevelSpeed = 40;
constexpr std::int32_t kLevelStart = 152;
constexpr std::int32_t kLevelX = 459;
constexpr std::int32_t kLevelY = 297;
constexpr std::int32_t kCaptionX = 387;
constexpr std::int32_t kCaptionY = 272;
constexpr std::int32_t kCaptionWidth = 144;
constexpr std::int32_t kCaptionHeight = 22;
// The drop-down list's rows, and the area presses on the selector count in (bounds included).
constexpr std::int32_t kListTop = 292;
constexpr std::int32_t kListRowHeight = 16;
constexpr std::int32_t kListRows = 10;
constexpr std::int32_t kHighestLevel = 10;
constexpr std::int32_t kPressLeft = 387;
constexpr std::int32_t kPressRight = 531;
constexpr std::int32_t kPressTop = 270;
constexpr std::int32_t kPressBottom = 452;

graphics::ImageResource* acquireLoaded(panels::ImageReferences& images, std::string_view name)
{
    graphics::ImageResource* image = images.acquire(name);
    if (image != nullptr) {
        image->load();
    }
    return image;
}

}  // namespace

MainMenu::MainMenu(std::string_view backgroundName, game::Game& game, std::string playerFolder)
    : Panel(game, backgroundName),
      game_(game),
      state_(game.state()),
      playerFolder_(std::move(playerFolder)),
      mask_(acquireLoaded(game.images(), "menumask")),
      slideSpeed_(kSlideSpeed)
{
    for (const MenuRow* row = kMenuTable; row->commandId != -1; ++row) {
        auto button = std::make_unique<panels::Button>(game_, row->imageName, row->archiveFile,
                                                       row->commandId);
        button->loadImage();
        button->setEnabled(false);
        button->setHover(false);
        buttons_.push_back(std::move(button));
    }
    std::vector<panels::Button*> ringButtons;
    for (const auto& b : buttons_) {
        ringButtons.push_back(b.get());
    }
    ring_.setButtons(std::move(ringButtons));
}

void MainMenu::release(graphics::ImageResource*& image)
{
    game_.images().release(image);
    image = nullptr;
}

bool MainMenu::pointerOn(graphics::ImageResource* image) const
{
    return image != nullptr && image->hitTest(game_.pointerX(), game_.pointerY()) != nullptr;
}

MainMenu::~MainMenu()
{
    release(mask_);
    buttons_.clear();
    release(levelPanel_);
    release(levelList_);
}

panels::Button* MainMenu::button(std::int32_t command) const
{
    for (const auto& b : buttons_) {
        if (b->commandId() == command) {
            return b.get();
        }
    }
    return nullptr;
}

void MainMenu::draw()
{
    if (levelPanel_ != nullptr) {
        drawLevelSelector();
    }
    if (background_ != nullptr) {
        background_->setPosition(kMenuX, kMenuLowY - slideOffset_);
        background_->draw();
    }
    slideOffset_ += slideSpeed_;
    if (slideOffset_ > kSlideTop) {
        slideOffset_ = kSlideTop;
        slideSpeed_ = 0;
        for (const auto& b : buttons_) {
            b->setHover(false);
            b->setEnabled(true);
        }
    }
    if (slideSpeed_ == 0) {
        for (const auto& b : buttons_) {
            b->tick();
        }
    }
    if (mask_ != nullptr) {
        mask_->draw();
    }
    if (slideSpeed_ == 0) {
        ring_.draw();
    }
    if (slideOffset_ < 0) {
        if (background_ != nullptr) {
            background_->unload();
        }
        // The menu is gone after this.
        game_.closeMenuOverlay();
    }
}

void MainMenu::drawLevelSelector()
{
    graphics::Display& display = graphics::display();
    panels::setCommonTextStyle();
    levelOffset_ += levelSpeed_;
    if (levelOffset_ < 0) {
        levelOffset_ = 0;
        levelSpeed_ = 0;
    }
    levelPanel_->drawAt(kLevelX + levelOffset_, kLevelY);
    char caption[32];
    std::snprintf(caption, sizeof caption, "Level %d", static_cast<int>(state_.currentLevel));
    display.drawTextBox(kCaptionX + levelOffset_, kCaptionY, kCaptionWidth, kCaptionHeight, caption,
                        graphics::kTextCenter);
    if (levelOffset_ > kLevelStart) {
        release(levelPanel_);
        release(levelList_);
    }
    if (levelList_ == nullptr) {
        return;
    }
    levelList_->draw();
    for (std::int32_t k = 1; k <= kListRows; ++k) {
        const std::int32_t y = kListTop + kListRowHeight * (k - 1);
        char row[16];
        std::snprintf(row, sizeof row, "level %d", static_cast<int>(k));
        display.drawTextBox(kCaptionX, y, kCaptionWidth, kListRowHeight, row,
                            graphics::kTextCenter);
        if (game_.pointerY() > y && game_.pointerY() < y + kListRowHeight) {
            display.invertRect(kCaptionX + 2, y + 1, kCaptionWidth - 4, kListRowHeight - 2);
        }
    }
}

bool MainMenu::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (slideSpeed_ < 0) {
        return false;
    }
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                slideSpeed_ = -kSlideSpeed;
            } else {
                handleKey(wParam, lParam);
                return true;
            }
            break;
        case WM_MOUSEMOVE:
            mouseMove();
            break;
        case WM_LBUTTONDOWN:
            ring_.hide();
            press();
            break;
        case WM_BUTTON_COMMAND:
            return runCommand(static_cast<std::int32_t>(wParam));
        default:
            break;
    }
    if (slideSpeed_ == 0) {
        for (const auto& b : buttons_) {
            b->handleMouse(message);
        }
    }
    return true;
}

void MainMenu::handleKey(WParam key, LParam flags)
{
    // A digit picks a level while the selector is out, as its list would: 1 to 9, 0 for 10.
    if (levelPanel_ != nullptr && levelSpeed_ <= 0 && key >= '0' && key <= '9') {
        setLevel(key == '0' ? kHighestLevel : static_cast<std::int32_t>(key - '0'));
        release(levelList_);
        pointerWasOnLevelList_ = false;
        return;
    }
    // The buttons take keys only at rest, as they take the mouse.
    if (slideSpeed_ != 0) {
        return;
    }
    if (key == VK_UP || key == VK_DOWN) {
        ring_.move(key == VK_DOWN);
        return;
    }
    ring_.handleKey(key, flags);
}

void MainMenu::mouseMove()
{
    if (levelList_ != nullptr) {
        if (pointerOn(levelList_)) {
            pointerWasOnLevelList_ = true;
            return;
        }
        if (!pointerOn(levelPanel_) || pointerWasOnLevelList_) {
            release(levelList_);
        }
    }
    if (levelPanel_ != nullptr) {
        if (pointerOn(levelPanel_)) {
            pointerWasOnLevelPanel_ = true;
            return;
        }
        if (!pointerOn(background_) || pointerWasOnLevelPanel_) {
            levelSpeed_ = kLevelSpeed;
        }
    }
    if (pointerOn(background_) || slideSpeed_ != 0) {
        return;
    }
    slideSpeed_ = -kSlideSpeed;
    for (const auto& b : buttons_) {
        b->setEnabled(false);
        b->setHover(false);
    }
}

void MainMenu::press()
{
    const std::int32_t x = game_.pointerX();
    const std::int32_t y = game_.pointerY();
    if (x < kPressLeft || x > kPressRight || y < kPressTop || y > kPressBottom) {
        return;
    }
    if (levelList_ != nullptr && y > kListTop) {
        const std::int32_t row = std::clamp((y - kListTop) / kListRowHeight, 0, kListRows - 1);
        // Each row chooses the level it names.
        setLevel(std::min(row + 1, kHighestLevel));
        release(levelList_);
        pointerWasOnLevelList_ = false;
    } else if (y <= kListTop && levelPanel_ != nullptr && levelList_ == nullptr) {
        levelList_ = acquireLoaded(game_.images(), "lv_down");
        pointerWasOnLevelList_ = false;
    }
}

void MainMenu::setLevel(std::int32_t level)
{
    state_.setLevel(level);
    state_.currentPlayer.level = level;
    game_.scores().clearPoints();
}

bool MainMenu::runCommand(std::int32_t command)
{
    switch (command) {
        case kMenuNew:
            game_.openModalPanel(
                std::make_unique<PlayerSelection>("ng_fon", false, game_, state_, playerFolder_));
            break;
        case kMenuExit:
            game_.openModalPanel(std::make_unique<YesNoDialog>(game_, "yn_fon", true));
            break;
        case kMenuAbout:
            game_.openModalPanel(std::make_unique<AboutPanel>(game_, "ab_fon"));
            break;
        case kMenuHelp:
            game_.openHelp();
            break;
        case kMenuStatistics:
            game_.openModalPanel(
                std::make_unique<StatisticsPanel>(game_, "st_fon", state_, playerFolder_));
            break;
        case kMenuTopTen:
            game_.openModalPanel(std::make_unique<TopTenPanel>(game_, "top_fon", playerFolder_));
            break;
        case kMenuLevels:
            if (levelPanel_ == nullptr) {
                levelPanel_ = acquireLoaded(game_.images(), "lv_fon");
                levelSpeed_ = -kLevelSpeed;
                levelOffset_ = kLevelStart;
                pointerWasOnLevelPanel_ = false;
                pointerWasOnLevelList_ = false;
            }
            return true;
        default:
            return true;
    }
    slideSpeed_ = -kSlideSpeed;
    return true;
}

void MainMenu::describe(nlohmann::ordered_json& fields) const
{
    fields["slideOffset"] = slideOffset_;
    fields["slideSpeed"] = slideSpeed_;
    fields["levelPanel"] = levelPanel_ != nullptr;
    fields["levelOffset"] = levelOffset_;
    fields["levelSpeed"] = levelSpeed_;
    fields["levelList"] = levelList_ != nullptr;
}

}  // namespace wordlark::screens
