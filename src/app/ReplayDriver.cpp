#include "app/ReplayDriver.h"

#include <cinttypes>
#include <filesystem>
#include <system_error>

#include "game/Game.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
#include "game/WordRow.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessVideo.h"
#include "screens/Button.h"
#include "screens/Panel.h"

namespace wordlark::app {

using platform::headless::HeadlessDesktop;
using platform::headless::MouseButton;

namespace {

// A Windows-1252 text as a JSON string.
std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char raw : text) {
        const auto c = static_cast<unsigned char>(raw);
        const char32_t cp = platform::cp1252ToCodePoint(c);
        if (cp == U'"' || cp == U'\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || cp > 0xFFFF) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(cp & 0xFFFF));
            out += buffer;
        } else {
            out += platform::cp1252ToUtf8(std::string_view(&raw, 1));
        }
    }
    out += '"';
    return out;
}

std::string field(const char* name, std::int64_t value)
{
    return std::string("\"") + name + "\":" + std::to_string(value);
}

std::string flag(const char* name, bool value)
{
    return std::string("\"") + name + "\":" + (value ? "true" : "false");
}

std::string rowJson(const game::WordRow* row)
{
    if (row == nullptr) {
        return "null";
    }
    return "{\"word\":" + jsonString(row->word()) + "," + field("joker", row->jokerIndex()) + "," +
           flag("enabled", row->enabled()) + "}";
}

}  // namespace

std::string gameStateJson(const HeadlessDesktop* desktop)
{
    const game::GameState& state = game::gameState();
    const game::PlayerRecord& player = state.currentPlayer;
    std::string json = "{\"player\":{\"name\":" + jsonString(player.nameView()) + "," +
                       field("rating", player.rating) + "," + field("level", player.level) + "," +
                       field("games", player.games) + "," + field("victories", player.victories) +
                       "," + field("defeats", player.defeats) + "," + field("ties", player.ties) +
                       "}";
    json += "," + field("level", state.currentLevel) + "," +
            field("computerRating", state.computerRating) + "," +
            field("usedWords", static_cast<std::int64_t>(state.usedWords.size())) + "," +
            flag("jokerPick", state.jokerPick);
    const platform::WindowId window = platform::mainWindow();
    json += "," + flag("window", window != platform::kNoWindow);
    if (desktop != nullptr) {
        const platform::Rect rect = desktop->windowRect(window);
        const platform::Point cursor = desktop->cursorPosition();
        json +=
            ",\"desktop\":{" + field("x", rect.left) + "," + field("y", rect.top) + "," +
            flag("minimized", desktop->windowMinimized(window)) + "," +
            flag("menuOpen", desktop->menuOpen()) + "," +
            flag("minimizeItem", desktop->menuItemEnabled(window, platform::SC_MINIMIZE)) + "," +
            flag("sizeItem", desktop->hasMenuItem(window, platform::SC_SIZE)) + "," +
            flag("maximizeItem", desktop->hasMenuItem(window, platform::SC_MAXIMIZE)) + "," +
            field("cursorX", cursor.x) + "," + field("cursorY", cursor.y) + "," +
            field("cursorCounter", desktop->cursorCounter()) + "," +
            field("frames",
                  static_cast<std::int64_t>(platform::headless::headlessVideo().presentCount())) +
            "}";
    }
    game::Game* instance = game::game();
    if (instance == nullptr) {
        return json + ",\"game\":null}";
    }
    const game::Scores& scores = instance->scores();
    json += "," + field("playerChange", scores.playerChange) + "," +
            field("computerChange", scores.computerChange) + "," +
            field("playerPoints", scores.playerPoints) + "," +
            field("computerPoints", scores.computerPoints) + "," +
            field("bestOtherRating", static_cast<std::int64_t>(scores.bestOtherRating));
    if (const game::LetterPool* pool = instance->pool()) {
        std::string free;
        for (std::size_t i = 0; i < pool->letters().size(); ++i) {
            free += pool->available(i) ? '1' : '0';
        }
        json += ",\"pool\":{\"letters\":" + jsonString(pool->letters()) + ",\"free\":\"" + free +
                "\"," + flag("enabled", pool->enabled()) + "}";
    } else {
        json += ",\"pool\":null";
    }
    json += ",\"playerRow\":" + rowJson(instance->playerRow());
    json += ",\"computerRow\":" + rowJson(instance->computerRow());
    json += ",\"buttons\":{";
    bool first = true;
    for (const game::GameButtonRow& row : game::kGameButtonTable) {
        if (row.commandId < 0) {
            break;
        }
        const screens::Button* button = instance->button(row.commandId);
        json += (first ? "" : ",") + jsonString(row.imageName) + ":" +
                (button == nullptr   ? "null"
                 : button->enabled() ? "true"
                                     : "false");
        first = false;
    }
    json += "}," + flag("modal", instance->modalPanel() != nullptr) + "," +
            flag("menu", instance->menuOverlay() != nullptr) + "}";
    return json;
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

void ReplayDriver::attach(HeadlessDesktop& desktop)
{
    desktop_ = &desktop;
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
        return false;
    }
    run(script_.steps()[index_++]);
    return true;
}

void ReplayDriver::run(const ReplayStep& step)
{
    HeadlessDesktop& desktop = *desktop_;
    switch (step.action) {
        case ReplayAction::Move:
            desktop.mouseMove(step.x, step.y);
            break;
        case ReplayAction::Down:
            desktop.mouseButton(MouseButton::Left, true, step.x, step.y);
            break;
        case ReplayAction::Up:
            desktop.mouseButton(MouseButton::Left, false, step.x, step.y);
            break;
        case ReplayAction::Click:
            desktop.mouseMove(step.x, step.y);
            desktop.mouseButton(MouseButton::Left, true, step.x, step.y);
            desktop.mouseButton(MouseButton::Left, false, step.x, step.y);
            break;
        case ReplayAction::RightDown:
            desktop.mouseButton(MouseButton::Right, true, step.x, step.y);
            break;
        case ReplayAction::RightUp:
            desktop.mouseButton(MouseButton::Right, false, step.x, step.y);
            break;
        case ReplayAction::Key:
            desktop.keyDown(static_cast<platform::WParam>(step.x));
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
            if (!platform::headless::headlessVideo().capture(path, &error)) {
                std::fprintf(stderr, "wordlark: script line %d: cannot write %s: %s\n", step.line,
                             path.c_str(), error.c_str());
                failed_ = true;
            }
            break;
        }
        case ReplayAction::State:
            std::fprintf(out_, "%s\n", gameStateJson(desktop_).c_str());
            std::fflush(out_);
            break;
        case ReplayAction::Blur:
            desktop.loseFocus();
            break;
        case ReplayAction::Focus:
            desktop.gainFocus();
            break;
        case ReplayAction::Paint:
            desktop.invalidateWindow(desktop.lastWindow());
            break;
    }
}

}  // namespace wordlark::app
