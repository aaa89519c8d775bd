// The system's own window on Windows: its desktop, DirectDraw for the frame and GDI for text.
#include "app/Backends.h"
#include "platform/win32/DirectDrawVideo.h"
#include "platform/win32/ErrorBox.h"
#include "platform/win32/GdiText.h"
#include "platform/win32/Win32Desktop.h"

namespace wordlark::app {

std::unique_ptr<platform::TextRenderer> makeTextRenderer()
{
    // A replay draws its text with GDI on a surface of its own.
    return std::make_unique<platform::win32::GdiText>();
}

std::optional<int> runInWindow(const WindowRequest& request, const std::function<int()>& play,
                               std::string&)
{
    // The window's colours are the desktop's own: the command line refuses another depth.
    platform::win32::Win32Desktop desktop;
    desktop.setDisplayMode(request.mode);
    platform::win32::DirectDrawVideo video;
    // The window's text is drawn through the frame's own device context, so it follows the
    // video.
    platform::win32::GdiText text(&video);
    platform::TextRenderer* const previousText = &platform::textRenderer();
    platform::setTextRenderer(&text);
    const int code = playInstalled(desktop, video, play);
    platform::setTextRenderer(previousText);
    return code;
}

// The game is a program of the desktop with no console, so what it would have said on the
// standard error is shown in a box too.
void showStartupFailure(const std::string& message)
{
    platform::win32::showErrorBox(message);
}

}  // namespace wordlark::app
