// The browser game: the page's canvas, its text drawn by FreeType from the face in the data.
#include <emscripten.h>

#include "app/Backends.h"
#include "platform/freetype/FreeTypeText.h"
#include "platform/web/WebDesktop.h"
#include "platform/web/WebVideo.h"

namespace wordlark::app {

std::unique_ptr<platform::TextRenderer> makeTextRenderer()
{
    // The page has no fonts of the system to ask for: the data brings its own face.
    return std::make_unique<platform::freetype::FreeTypeText>(WORDLARK_INSTALLED_DATA "fonts/");
}

std::optional<int> runInWindow(const WindowRequest& request, const std::function<int()>& play,
                               std::string&)
{
    platform::web::WebDesktop desktop(request.mode);
    platform::web::WebVideo video;
    const int code = playInstalled(desktop, video, play);
    // A game that ended leaves a page that offers another, not the last frame frozen.
    EM_ASM({ Module.wordlark.ended($0); }, code);
    return code;
}

void showStartupFailure(const std::string& message)
{
    EM_ASM({ Module.wordlark.failed(UTF8ToString($0)); }, message.c_str());
}

}  // namespace wordlark::app
