// Backends.h -- the backends this build's program installs: its text, and the real window's
// desktop and video. One source file per kind of system provides them (BackendsSdl.cpp,
// BackendsWin32.cpp, BackendsNone.cpp); the build picks the one that fits.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Desktop.h"
#include "platform/DisplayMode.h"
#include "platform/Text.h"
#include "platform/platform.h"

namespace wordlark::app {

// What the real window is asked to be.
struct WindowRequest {
    platform::DisplayMode mode;
    std::int32_t depth = 0;  // 8: act as on a 256-colour desktop; 0: the desktop's own
};

// The text every run draws with (a replay's, and the window's unless the window has its own).
std::unique_ptr<platform::TextRenderer> makeTextRenderer();

// Starts the real window's backends, installs them, runs `play` and takes them out again.
// `play`'s exit code; nothing, with *why saying why in a few words, when no window can start.
std::optional<int> runInWindow(const WindowRequest& request, const std::function<int()>& play,
                               std::string& why);

// Installs a started window's desktop and video, runs `play`, and takes them out again after
// the display has let go of the video. `play`'s exit code; the systems' files share it.
int playInstalled(platform::Desktop& desktop, platform::Video& video,
                  const std::function<int()>& play);

// Tells a player who started the game from the desktop, where no console shows the standard
// error, that it could not start. Nothing where the standard error is what the player sees.
void showStartupFailure(const std::string& message);

}  // namespace wordlark::app
