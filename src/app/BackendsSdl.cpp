// The real window through SDL, its text drawn by FreeType.
#include "app/Backends.h"
#include "graphics/Display.h"
#include "platform/Desktop.h"
#include "platform/freetype/FreeTypeText.h"
#include "platform/sdl/SdlDesktop.h"
#include "platform/sdl/SdlVideo.h"

namespace wordlark::app {

std::unique_ptr<platform::TextRenderer> makeTextRenderer()
{
    return std::make_unique<platform::freetype::FreeTypeText>();
}

std::optional<int> runInWindow(const WindowRequest& request, const std::function<int()>& play,
                               std::string& why)
{
    platform::sdl::SdlDesktop desktop(request.mode);
    if (!desktop.start(why)) {
        return std::nullopt;
    }
    platform::sdl::SdlVideo video(desktop, request.depth);
    platform::setDesktop(&desktop);
    platform::setVideo(&video);
    const int code = play();
    // The display lets go of the window's video before the backends go.
    graphics::display().close();
    platform::setVideo(nullptr);
    platform::setDesktop(nullptr);
    return code;
}

// The standard error is where a Linux player looks.
void showStartupFailure(const std::string&) {}

}  // namespace wordlark::app
