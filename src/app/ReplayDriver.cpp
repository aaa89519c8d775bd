#include "app/ReplayDriver.h"

#include <cxxabi.h>
#include <cinttypes>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <typeinfo>

#include "game/Game.h"
#include "game/GameState.h"
#include "game/LetterPool.h"
#include "game/WordRow.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
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

std::string rowWord(const game::WordRow* row)
{
    return row == nullptr ? std::string("null") : jsonString(row->word());
}

// The panel's own class name, without its namespaces.
std::string panelClassName(const screens::Panel& panel)
{
    const char* mangled = typeid(panel).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled != nullptr ? demangled : mangled;
    std::free(demangled);
    if (const std::size_t colon = name.rfind("::"); colon != std::string::npos) {
        name.erase(0, colon + 2);
    }
    return name;
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
            field("usedWords", static_cast<std::int64_t>(state.usedWords.size()));
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
        std::string available;
        for (std::size_t i = 0; i < pool->letters().size(); ++i) {
            available += pool->available(i) ? '1' : '0';
        }
        json += ",\"pool\":{\"letters\":" + jsonString(pool->letters()) + ",\"available\":\"" +
                available + "\"," + flag("enabled", pool->enabled()) + "}";
    } else {
        json += ",\"pool\":null";
    }
    const game::WordRow* playerRow = instance->playerRow();
    const game::WordRow* computerRow = instance->computerRow();
    json += ",\"playerRow\":" + rowWord(playerRow);
    json += ",\"computerRow\":" + rowWord(computerRow);
    json += "," + field("jokerIndex", playerRow != nullptr ? playerRow->jokerIndex() : -1);
    json += "," + flag("jokerPick", state.jokerPick);
    json += "," + flag("playerRowEnabled", playerRow != nullptr && playerRow->enabled());
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
    const screens::Panel* modal = instance->modalPanel().get();
    json += "},\"modal\":" + (modal != nullptr ? jsonString(panelClassName(*modal)) : "null") +
            "," + flag("menu", instance->menuOverlay() != nullptr) + "}";
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
    }
}

}  // namespace wordlark::app
