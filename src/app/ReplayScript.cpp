#include "app/ReplayScript.h"

#include <charconv>
#include <map>
#include <sstream>
#include <string_view>
#include <utility>

#include "game/HistoryEntry.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"

namespace wordlark::app {

namespace {

bool parseNumber(std::string_view text, std::int32_t& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') {
            ++at;
        }
        if (at > start) {
            out.push_back(line.substr(start, at - start));
        }
    }
    return out;
}

// A shot lands in the shots folder and nowhere else: a plain name ending in ".png".
bool plainPngName(std::string_view name)
{
    if (name.size() < 5 || name.size() > 100 || name.substr(name.size() - 4) != ".png" ||
        name[0] == '.') {
        return false;
    }
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::optional<std::int32_t> keyCode(std::string_view name)
{
    static const std::map<std::string_view, std::int32_t> names = {
        {"pageup", platform::VK_PRIOR},  {"pagedown", platform::VK_NEXT},
        {"home", platform::VK_HOME},     {"end", platform::VK_END},
        {"back", platform::VK_BACK},     {"backspace", platform::VK_BACK},
        {"return", platform::VK_RETURN}, {"enter", platform::VK_RETURN},
        {"escape", platform::VK_ESCAPE}, {"esc", platform::VK_ESCAPE},
        {"delete", platform::VK_DELETE}, {"del", platform::VK_DELETE},
        {"space", platform::VK_SPACE},   {"tab", platform::VK_TAB},
        {"left", platform::VK_LEFT},     {"right", platform::VK_RIGHT},
        {"up", platform::VK_UP},         {"down", platform::VK_DOWN},
    };
    if (const auto it = names.find(name); it != names.end()) {
        return it->second;
    }
    // f1 to f12.
    std::int32_t function = 0;
    if (name.size() >= 2 && name[0] == 'f' && parseNumber(name.substr(1), function) &&
        function >= 1 && function <= 12 && name[1] != '0' && name[1] != '+') {
        return static_cast<std::int32_t>(platform::VK_F1) + function - 1;
    }
    // A lone letter or digit is that key (the digit 7, not the key numbered 7).
    if (name.size() == 1 &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
        return name[0];
    }
    std::int32_t code = 0;
    if (parseNumber(name, code) && code > 0 && code < 256) {
        return code;
    }
    return std::nullopt;
}

// Like getline, but stops storing past the longest accepted line (the rest of it is skipped),
// so a script without line breaks cannot take all memory.
bool readLine(std::istream& in, std::string& line)
{
    line.clear();
    int c = 0;
    bool any = false;
    while ((c = in.get()) != std::char_traits<char>::eof()) {
        any = true;
        if (c == '\n') {
            return true;
        }
        if (line.size() <= kMaxScriptLine) {
            line += static_cast<char>(c);
        }
    }
    return any;
}

}  // namespace

std::optional<ReplayScript> ReplayScript::parse(std::istream& in, std::string& error)
{
    static const std::map<std::string_view, ReplayAction> pointActions = {
        {"move", ReplayAction::Move},       {"down", ReplayAction::Down},
        {"up", ReplayAction::Up},           {"click", ReplayAction::Click},
        {"rdown", ReplayAction::RightDown}, {"rup", ReplayAction::RightUp},
    };
    ReplayScript script;
    std::string line;
    int number = 0;
    // The message names the line and shows it, made printable and cut short, so a report
    // points at the mistake without echoing whatever bytes a broken script holds.
    const auto fail = [&](const std::string& why) {
        std::string shown;
        for (const char c : std::string_view(line).substr(0, 80)) {
            shown += (c >= ' ' && c < 0x7F) ? c : '?';
        }
        error = "script line " + std::to_string(number) + ": " + why + ": " + shown;
        return std::nullopt;
    };
    while (readLine(in, line)) {
        ++number;
        if (line.size() > kMaxScriptLine) {
            return fail("too long");
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::vector<std::string_view> parts = words(line);
        if (parts.empty() || parts[0][0] == '#') {
            continue;
        }
        ReplayStep step;
        step.line = number;
        const std::string_view verb = parts[0];
        if (const auto it = pointActions.find(verb); it != pointActions.end()) {
            step.action = it->second;
            if (parts.size() != 3 || !parseNumber(parts[1], step.x) ||
                !parseNumber(parts[2], step.y) || step.x < -32768 || step.x > 32767 ||
                step.y < -32768 || step.y > 32767) {
                return fail(std::string(verb) + " needs two coordinates");
            }
        } else if (verb == "wheel") {
            step.action = ReplayAction::Wheel;
            if (parts.size() != 4 || !parseNumber(parts[1], step.x) ||
                !parseNumber(parts[2], step.y) || !parseNumber(parts[3], step.notches) ||
                step.x < -32768 || step.x > 32767 || step.y < -32768 || step.y > 32767 ||
                step.notches < -100 || step.notches > 100 || step.notches == 0) {
                return fail("wheel needs two coordinates and a turn from -100 to 100, not 0");
            }
        } else if (verb == "key") {
            step.action = ReplayAction::Key;
            // Held keys come first, each with a plus: shift+tab, alt+return.
            std::string_view name = parts.size() == 2 ? parts[1] : std::string_view();
            std::int32_t held = 0;
            for (bool more = true; more;) {
                more = false;
                for (const auto& [prefix, flag] : {std::pair<std::string_view, platform::LParam>{
                                                       "shift+", platform::kKeyShiftHeld},
                                                   {"alt+", platform::kKeyAltHeld}}) {
                    if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix) {
                        name.remove_prefix(prefix.size());
                        held |= static_cast<std::int32_t>(flag);
                        more = true;
                    }
                }
            }
            const auto code = keyCode(name);
            if (!code) {
                return fail("key needs one key name or code");
            }
            step.x = *code;
            step.y = held;
        } else if (verb == "type") {
            step.action = ReplayAction::Type;
            // Everything after the verb and one separator, spaces included.
            const std::size_t start = line.find(verb) + verb.size() + 1;
            const std::string utf8 = start < line.size() ? line.substr(start) : std::string();
            const auto text = platform::utf8ToCp1252(utf8);
            if (!text) {
                return fail("type text has characters the game cannot receive");
            }
            step.text = *text;
        } else if (verb == "tick") {
            step.action = ReplayAction::Tick;
            step.x = 1;
            if (parts.size() > 2 || (parts.size() == 2 && !parseNumber(parts[1], step.x)) ||
                step.x < 1 || step.x > kMaxTicksPerLine) {
                return fail("tick takes a count from 1 to " + std::to_string(kMaxTicksPerLine));
            }
        } else if (verb == "shot") {
            step.action = ReplayAction::Shot;
            if (parts.size() != 2 || !plainPngName(parts[1])) {
                return fail("shot needs a plain file name ending in .png");
            }
            step.text = std::string(parts[1]);
        } else if (verb == "command") {
            step.action = ReplayAction::Command;
            if (parts.size() != 2 || !parseNumber(parts[1], step.x) || step.x < 0) {
                return fail("command needs one button id");
            }
        } else if (verb == "focus") {
            if (parts.size() != 2 || (parts[1] != "on" && parts[1] != "off")) {
                return fail("focus needs on or off");
            }
            step.action = parts[1] == "on" ? ReplayAction::FocusOn : ReplayAction::FocusOff;
        } else if (verb == "clock") {
            step.action = ReplayAction::Clock;
            const std::optional<std::int64_t> noon =
                parts.size() == 2 && parts[1].size() == 10
                    ? game::parseUtcTime(std::string(parts[1]) + "T12:00:00Z")
                    : std::nullopt;
            if (!noon) {
                return fail("clock needs a date YYYY-MM-DD");
            }
            step.seconds = *noon;
        } else if (verb == "state" || verb == "paint" || verb == "quit") {
            step.action = verb == "state"   ? ReplayAction::State
                          : verb == "paint" ? ReplayAction::Paint
                                            : ReplayAction::Quit;
            if (parts.size() != 1) {
                return fail(std::string(verb) + " takes nothing");
            }
        } else {
            return fail("unknown command");
        }
        script.steps_.push_back(std::move(step));
    }
    return script;
}

}  // namespace wordlark::app
