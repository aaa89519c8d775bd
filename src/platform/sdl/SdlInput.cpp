#include "platform/sdl/SdlInput.h"

namespace wordlark::platform::sdl {

std::optional<WParam> virtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WParam>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WParam>(key);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<WParam>(key - SDLK_F1);
    }
    switch (key) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        default:
            return std::nullopt;
    }
}

LParam keyFlags(const SDL_KeyboardEvent& event)
{
    LParam flags = event.repeat != 0 ? kKeyWasDown | 1 : 1;
    if ((event.keysym.mod & KMOD_SHIFT) != 0) {
        flags |= kKeyShiftHeld;
    }
    if ((event.keysym.mod & KMOD_ALT) != 0) {
        flags |= kKeyAltHeld;
    }
    return flags;
}

}  // namespace wordlark::platform::sdl
