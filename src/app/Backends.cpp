// Backends.cpp -- what every system's window does alike once its backends are made.
#include "app/Backends.h"

#include "graphics/Display.h"

namespace wordlark::app {

int playInstalled(platform::Desktop& desktop, platform::Video& video,
                  const std::function<int()>& play)
{
    platform::setDesktop(&desktop);
    platform::setVideo(&video);
    const int code = play();
    // The display lets go of the window's video before the backends go.
    graphics::display().close();
    platform::setVideo(nullptr);
    platform::setDesktop(nullptr);
    return code;
}

}  // namespace wordlark::app
