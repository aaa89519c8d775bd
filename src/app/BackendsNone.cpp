// A build without a real window: the headless replay is all it plays.
#include "app/Backends.h"
#include "platform/freetype/FreeTypeText.h"

namespace wordlark::app {

std::unique_ptr<platform::TextRenderer> makeTextRenderer()
{
    return std::make_unique<platform::freetype::FreeTypeText>();
}

std::optional<int> runInWindow(const WindowRequest&, const std::function<int()>&, std::string& why)
{
    why = "made without SDL";
    return std::nullopt;
}

void showStartupFailure(const std::string&) {}

}  // namespace wordlark::app
