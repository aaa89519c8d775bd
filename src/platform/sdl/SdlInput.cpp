#include "platform/sdl/SdlInput.h"

#include "platform/CodePage.h"

namespace wordlark::platform::sdl {

std::optional<WParam> virtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WParam>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WParam>(key);
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
        case SDLK_F1:
            return VK_F1;
        case SDLK_F9:
            return VK_F9;
        case SDLK_F11:
            return VK_F11;
        default:
            return std::nullopt;
    }
}

std::string textInputToCp1252(std::string_view text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        // The shortest run from here that converts is the one whole character starting here;
        // none converts when that character is malformed or outside the code page.
        std::optional<std::string> converted;
        std::size_t length = 0;
        while (!converted && length < 4 && i + length < text.size()) {
            ++length;
            converted = utf8ToCp1252(text.substr(i, length));
        }
        if (converted) {
            out += *converted;
            i += length;
        } else {
            ++i;
        }
    }
    return out;
}

}  // namespace wordlark::platform::sdl
