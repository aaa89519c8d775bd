// X11Wait.h -- the loop's sleep on the X server's connection, for SDL's X11 video driver.
#pragma once

struct SDL_Window;

namespace wordlark::platform::sdl {

// SDL's own wait (SDL_WaitEventTimeout) wakes itself by sending an event to the window over a
// second connection to the X server. When the window is destroyed on the main connection
// before the server reads that request, the server answers with a BadWindow error, which
// Xlib's default handler (back in place while SDL shuts down) turns into exit status 1 after
// the game had closed cleanly. Sleeping on the connection ourselves and only ever polling SDL
// sends no such event.

// The X display of the window when SDL shows it through X11; null otherwise.
void* x11DisplayOf(SDL_Window* window);

// Sleeps until the X server has something for `display` or `milliseconds` have passed (-1:
// no limit); returns at once when events are already queued. A signal ends the sleep early.
void waitForX11(void* display, int milliseconds);

}  // namespace wordlark::platform::sdl
