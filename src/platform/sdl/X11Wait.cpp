#include "platform/sdl/X11Wait.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>

namespace wordlark::platform::sdl {

void* x11DisplayOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    return info.info.x11.display;
}

void waitForX11(void* display, int milliseconds)
{
    auto* x = static_cast<Display*>(display);
    // Events Xlib has read already would not wake the poll.
    if (XEventsQueued(x, QueuedAfterFlush) > 0) {
        return;
    }
    pollfd connection{ConnectionNumber(x), POLLIN, 0};
    ::poll(&connection, 1, milliseconds);
}

}  // namespace wordlark::platform::sdl
