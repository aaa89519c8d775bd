// SdlInput.h -- SDL's keyboard input in the game's words: virtual keys and Windows-1252 text.
#pragma once

#include <SDL_events.h>
#include <SDL_keycode.h>

#include <optional>

#include "platform/Messages.h"

namespace wordlark::platform::sdl {

// The virtual key (WM_KEYDOWN's wParam) of a key the game knows; none for any other.
std::optional<WParam> virtualKey(SDL_Keycode key);

// WM_KEYDOWN's lParam for a key event: a repeat count of 1, the repeat bit, and the Shift and
// Alt held with it.
LParam keyFlags(const SDL_KeyboardEvent& event);

}  // namespace wordlark::platform::sdl
