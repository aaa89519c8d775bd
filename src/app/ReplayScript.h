// ReplayScript.h -- the lines of a replay script: pointer, keys, typing, commands, frames, state.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace wordlark::app {

enum class ReplayAction {
    Move,       // move X Y
    Down,       // down X Y: a move there, then the left button
    Up,         // up X Y
    Click,      // click X Y: move, down and up at one point
    RightDown,  // rdown X Y
    RightUp,    // rup X Y
    Key,        // key [shift+|alt+]NAME|NUMBER (back, return, tab, f1..f12, pageup, ...)
    Type,       // type TEXT: each character as typed (UTF-8 in the script)
    Tick,       // tick [N]: N frame periods (default 1)
    Shot,       // shot NAME.png: the last presented frame into the shots folder
    State,      // state: one JSON line on standard output
    Command,    // command ID: a button command posted to the window
    FocusOn,    // focus on: the window gets the focus (back)
    FocusOff,   // focus off: the window loses it
    Paint,      // paint: the desktop asks the window to repaint itself
    Quit,       // quit: the window is closed as its menu's Close would
    Clock,      // clock YYYY-MM-DD: the desktop's calendar moves to noon UTC of that day
    Wheel,      // wheel X Y N: a move there, then N notches of the wheel (negative: towards)
};

struct ReplayStep {
    ReplayAction action = ReplayAction::State;
    std::int32_t x = 0;        // point, or the key, the command id or the tick count
    std::int32_t y = 0;        // point, or the keys held with a key (WM_KEYDOWN's lParam bits)
    std::int32_t notches = 0;  // the wheel's turn
    std::string text;          // typed text (Windows-1252) or the shot's file name
    std::int64_t seconds = 0;  // the calendar's time (seconds since 1970-01-01 UTC)
    int line = 0;
};

// Longest accepted script line; longer ones are refused rather than read on.
inline constexpr std::size_t kMaxScriptLine = 4096;
// Most frames one tick line may ask for.
inline constexpr std::int32_t kMaxTicksPerLine = 100000;

class ReplayScript {
public:
    // Reads the whole script. Blank lines and lines starting with '#' are skipped. On a bad
    // line, nothing and `error` says which line and why.
    static std::optional<ReplayScript> parse(std::istream& in, std::string& error);

    const std::vector<ReplayStep>& steps() const { return steps_; }

private:
    std::vector<ReplayStep> steps_;
};

}  // namespace wordlark::app
