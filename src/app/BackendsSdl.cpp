// The real window through SDL, its text drawn by FreeType.
#include "app/Backends.h"
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
    return playInstalled(desktop, video, play);
}

// The standard error is where a Linux player looks.
void showStartupFailure(const std::string&) {}

}  // namespace wordlark::app
