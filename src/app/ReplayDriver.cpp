#include "app/ReplayDriver.h"

#include "app/ReplayShot.h"
#include "app/Shell.h"

#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include <nlohmann/json.hpp>

#include "game/DealCode.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
#include "game/VerdictMeanings.h"
#include "game/WordRow.h"
#include "graphics/Display.h"
#include "panels/Button.h"
#include "panels/Panel.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessVideo.h"

namespace wordlark::app {

using platform::headless::HeadlessDesktop;
using platform::headless::MouseButton;

namespace {

using Json = nlohmann::ordered_json;

// Texts of the game are Windows-1252; JSON wants UTF-8.
std::string utf8(std::string_view text)
{
    return platform::cp1252ToUtf8(text);
}

Json rowWord(const game::WordRow* row)
{
    return row == nullptr ? Json(nullptr) : Json(utf8(row->word()));
}

Json panelFields(const panels::Panel* panel)
{
    if (panel == nullptr) {
        return nullptr;
    }
    Json fields = Json::object();
    panel->describe(fields);
    return fields;
}

Json drawnJson(const graphics::DrawLog& log)
{
    Json pictures = Json::array();
    for (const auto& picture : log.pictures) {
        pictures.push_back(
            {{"name", picture.name}, {"x", picture.x}, {"y", picture.y}, {"frame", picture.frame}});
    }
    Json texts = Json::array();
    for (const auto& text : log.texts) {
        if (text.boxed) {
            texts.push_back(
                {{"text", utf8(text.text)}, {"box", {text.x, text.y, text.width, text.height}}});
        } else {
            texts.push_back({{"text", utf8(text.text)}, {"x", text.x}, {"y", text.y}});
        }
    }
    Json inverted = Json::array();
    for (const auto& rect : log.inverted) {
        inverted.push_back({rect.x, rect.y, rect.width, rect.height});
    }
    return {{"pictures", std::move(pictures)},
            {"texts", std::move(texts)},
            {"inverted", std::move(inverted)}};
}

}  // namespace

std::string gameStateJson(const game::Game* instance, const HeadlessDesktop* desktop,
                          const platform::headless::HeadlessVideo* video,
                          const graphics::DrawLog* drawn)
{
    Json json;
    if (instance == nullptr) {
        json["window"] = platform::mainWindow() != platform::kNoWindow;
        json["game"] = nullptr;
        return json.dump();
    }
    const game::GameState& state = instance->state();
    const game::PlayerRecord& player = state.currentPlayer;
    json["player"] = {{"name", utf8(player.nameView())},
                      {"rating", player.rating},
                      {"level", player.level},
                      {"games", player.games},
                      {"victories", player.victories},
                      {"defeats", player.defeats},
                      {"ties", player.ties}};
    json["level"] = state.currentLevel;
    json["computerRating"] = state.computerRating;
    json["usedWords"] = state.usedWords.size();
    const platform::WindowId window = platform::mainWindow();
    json["window"] = window != platform::kNoWindow;
    if (desktop != nullptr) {
        const platform::Rect rect = desktop->windowRect(window);
        const platform::Point cursor = desktop->cursorPosition();
        json["desktop"] = {
            {"x", rect.left},
            {"y", rect.top},
            {"minimized", desktop->windowMinimized(window)},
            {"menuOpen", desktop->menuOpen()},
            {"minimizeItem", desktop->menuItemEnabled(window, platform::SC_MINIMIZE)},
            {"sizeItem", desktop->hasMenuItem(window, platform::SC_SIZE)},
            {"maximizeItem", desktop->hasMenuItem(window, platform::SC_MAXIMIZE)},
            {"cursorX", cursor.x},
            {"cursorY", cursor.y},
            {"cursorCounter", desktop->cursorCounter()},
            {"frames", video != nullptr ? video->presentCount() : 0}};
        json["helpOpens"] = desktop->helpOpened().size();
        // As the player or the command line asked: the scale "fit" or the number asked for.
        const platform::DisplayMode mode = desktop->displayMode();
        json["settings"] = {
            {"scale", mode.scale == platform::kFitScale ? Json("fit") : Json(mode.scale)},
            {"fullscreen", mode.fullscreen},
            {"smooth", mode.smooth}};
    }
    const game::Scores& scores = instance->scores();
    json["playerChange"] = scores.playerChange;
    json["computerChange"] = scores.computerChange;
    json["playerPoints"] = scores.playerPoints;
    json["computerPoints"] = scores.computerPoints;
    json["bestOtherRating"] = scores.bestOtherRating;
    if (const game::LetterPool* pool = instance->pool()) {
        std::string available;
        for (std::size_t i = 0; i < pool->letters().size(); ++i) {
            available += pool->available(i) ? '1' : '0';
        }
        json["pool"] = {{"letters", utf8(pool->letters())},
                        {"available", available},
                        {"enabled", pool->enabled()}};
    } else {
        json["pool"] = nullptr;
    }
    const game::WordRow* playerRow = instance->playerRow();
    const game::WordRow* computerRow = instance->computerRow();
    json["playerRow"] = rowWord(playerRow);
    json["computerRow"] = rowWord(computerRow);
    json["jokerIndex"] = playerRow != nullptr ? playerRow->jokerIndex() : -1;
    json["jokerPick"] = state.jokerPick;
    json["playerRowEnabled"] = playerRow != nullptr && playerRow->enabled();
    Json buttons = Json::object();
    for (const game::GameButtonRow& row : game::kGameButtonTable) {
        if (row.commandId < 0) {
            break;
        }
        const panels::Button* button = instance->button(row.commandId);
        buttons[row.imageName] = button == nullptr ? Json(nullptr) : Json(button->enabled());
    }
    const panels::Button* options = instance->optionsButton();
    buttons["options"] = options == nullptr ? Json(nullptr) : Json(options->enabled());
    json["buttons"] = std::move(buttons);
    const panels::Button* focused = instance->focusedButton();
    json["focus"] = focused != nullptr ? Json(std::string(focused->imageName())) : Json(nullptr);
    const panels::Panel* modal = instance->modalPanel();
    json["modal"] = modal != nullptr ? Json(std::string(modal->className())) : Json(nullptr);
    json["panel"] = panelFields(modal);
    json["menu"] = panelFields(instance->menuOverlay());
    // What the game screen shows of the last verdict's words, whole.
    const auto meaning = [](const std::optional<std::string>& text) {
        return text ? Json(utf8(*text)) : Json(nullptr);
    };
    if (const game::VerdictMeanings* meanings = instance->meanings()) {
        json["definitions"] = {{"player", meaning(meanings->player())},
                               {"computer", meaning(meanings->computer())}};
    } else {
        json["definitions"] = nullptr;
    }
    if (drawn != nullptr) {
        json["drawn"] = drawnJson(*drawn);
    }
    // What the foot of the screen tells, last so that the lines before it read as they did.
    json["notice"] = utf8(instance->saveProblems().notice());
    const std::optional<game::DealCode> code = instance->dealCode();
    const std::optional<std::int32_t> daily = instance->dailyInPlay();
    json["deal"] = {{"code", code ? Json(code->text()) : Json(nullptr)},
                    {"daily", daily ? Json(*daily) : Json(nullptr)}};
    const std::optional<std::string> share = instance->shareText();
    json["shareText"] = share ? Json(*share) : Json(nullptr);
    if (desktop != nullptr) {
        json["clipboard"] = desktop->clipboardText();
    }
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

ReplayDriver::ReplayDriver(ReplayScript script, std::string shotsFolder, std::FILE* out)
    : script_(std::move(script)), shotsFolder_(std::move(shotsFolder)), out_(out)
{
    if (!shotsFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(shotsFolder_, ignored);
    }
    if (!shotsFolder_.empty() && shotsFolder_.back() != '/') {
        shotsFolder_ += '/';
    }
}

ReplayDriver::~ReplayDriver()
{
    if (graphics::display().drawLog() == &drawn_) {
        graphics::display().setDrawLog(nullptr);
    }
}

void ReplayDriver::attach(HeadlessDesktop& desktop, platform::headless::HeadlessVideo& video)
{
    desktop_ = &desktop;
    video_ = &video;
    graphics::display().setDrawLog(&drawn_);
    desktop.setIdleSource([this] { return next(); });
}

bool ReplayDriver::next()
{
    if (desktop_ == nullptr) {
        return false;
    }
    if (ticksLeft_ > 0) {
        --ticksLeft_;
        desktop_->advanceClock(HeadlessDesktop::kTickMilliseconds);
        return true;
    }
    if (index_ >= script_.steps().size()) {
        // The end of the script closes the window as `quit` does, once; after that the
        // desktop winds down whatever is left.
        if (closed_ || platform::mainWindow() == platform::kNoWindow) {
            return false;
        }
        close();
        return true;
    }
    run(script_.steps()[index_++]);
    return true;
}

void ReplayDriver::close()
{
    closed_ = true;
    index_ = script_.steps().size();
    platform::postMessage(platform::mainWindow(), platform::WM_SYSCOMMAND, platform::SC_CLOSE, 0);
}

void ReplayDriver::run(const ReplayStep& step)
{
    HeadlessDesktop& desktop = *desktop_;
    switch (step.action) {
        case ReplayAction::Move:
            desktop.mouseMove(step.x, step.y);
            break;
        case ReplayAction::Down:
            desktop.mouseMove(step.x, step.y);
            desktop.mouseButton(MouseButton::Left, true, step.x, step.y);
            break;
        case ReplayAction::Up:
            desktop.mouseMove(step.x, step.y);
            desktop.mouseButton(MouseButton::Left, false, step.x, step.y);
            break;
        case ReplayAction::Click:
            desktop.mouseMove(step.x, step.y);
            desktop.mouseButton(MouseButton::Left, true, step.x, step.y);
            desktop.mouseButton(MouseButton::Left, false, step.x, step.y);
            break;
        case ReplayAction::RightDown:
            desktop.mouseMove(step.x, step.y);
            desktop.mouseButton(MouseButton::Right, true, step.x, step.y);
            break;
        case ReplayAction::RightUp:
            desktop.mouseMove(step.x, step.y);
            desktop.mouseButton(MouseButton::Right, false, step.x, step.y);
            break;
        case ReplayAction::Wheel:
            desktop.mouseMove(step.x, step.y);
            desktop.wheel(step.notches);
            break;
        case ReplayAction::Key:
            desktop.keyDown(static_cast<platform::WParam>(step.x),
                            static_cast<platform::LParam>(step.y));
            break;
        case ReplayAction::Type:
            for (const char c : step.text) {
                desktop.typeChar(static_cast<std::uint8_t>(c));
            }
            break;
        case ReplayAction::Tick:
            ticksLeft_ = step.x;
            break;
        case ReplayAction::Shot: {
            std::string error;
            const std::string path = shotsFolder_ + step.text;
            if (!writeReplayShot(*video_, path, &error)) {
                std::fprintf(stderr, "wordlark: script line %d: cannot write %s: %s\n", step.line,
                             path.c_str(), error.c_str());
                failed_ = true;
            }
            break;
        }
        case ReplayAction::State:
            // A state line that never arrives makes whatever reads them judge a run it did not
            // see, so the replay ends here as a failure.
            if (std::fprintf(out_, "%s\n",
                             gameStateJson(shell_ != nullptr ? shell_->game() : nullptr, desktop_,
                                           video_, &drawn_)
                                 .c_str()) < 0 ||
                std::fflush(out_) != 0) {
                const int error = errno;
                std::fprintf(stderr, "wordlark: script line %d: cannot write the state: %s\n",
                             step.line, std::strerror(error));
                failed_ = true;
                close();
            }
            break;
        case ReplayAction::Command:
            platform::postMessage(platform::mainWindow(), platform::WM_BUTTON_COMMAND,
                                  static_cast<platform::WParam>(step.x), 0);
            break;
        case ReplayAction::FocusOn:
            desktop.gainFocus();
            break;
        case ReplayAction::FocusOff:
            desktop.loseFocus();
            break;
        case ReplayAction::Quit:
            // The rest of the script is not played: the window is on its way out.
            close();
            break;
        case ReplayAction::Paint:
            desktop.invalidateWindow(desktop.lastWindow());
            break;
        case ReplayAction::Clock:
            desktop.setWallClock(step.seconds);
            break;
    }
}

}  // namespace wordlark::app
