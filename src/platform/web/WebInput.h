// WebInput.h -- the browser's input in the game's words: the page's key names become virtual
// keys and Windows-1252 text, and the canvas's CSS pixels become the frame's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "platform/Messages.h"

namespace wordlark::platform::web {

// The virtual key (WM_KEYDOWN's wParam) of a key the game knows, from a key event's `key` (what
// the key means in the player's layout) and `code` (where it is); none for any other.
std::optional<WParam> virtualKey(std::string_view key, std::string_view code);

// WM_KEYDOWN's lParam: a repeat count of 1, the repeat bit, and the Shift and Alt held.
LParam keyFlags(bool repeat, bool shift, bool alt);

// What a key press types, in Windows-1252: its own character, as a desktop's text input
// delivers it. Nothing for a named key (Enter, F1), a key held with Ctrl or Meta (the
// browser's own shortcuts), or a character the code page lacks.
std::string typedText(std::string_view key, bool ctrlOrMeta);

// The frame's pixel under a point of the canvas, the canvas shown `shownWidth` x
// `shownHeight` CSS pixels large; points outside map outside the frame.
Point toFrame(double x, double y, double shownWidth, double shownHeight);

}  // namespace wordlark::platform::web
