// Launch.h -- starting programs and the help viewer without waiting, for every desktop. One
// implementation per kind of system (LaunchPosix, LaunchWin32).
#pragma once

#include <functional>
#include <string>

namespace wordlark::platform {

// Whether `path` names a regular file this process may execute.
bool isExecutableFile(const std::string& path);
// Starts an executable file with no arguments, detached (never waited for, never left as a
// zombie). False when it is not an executable file or cannot be started.
bool startDetached(const std::string& path);
// Calls `start` in a short-lived middle child, in a session of its own, and waits for that
// child alone: what `start` sets going is adopted by init, so it is never ours to wait for
// and never our zombie. `start` runs in a forked copy of the process, so it should only
// spawn or fork and exec. True when `start` answered true. Windows leaves no zombies and forks
// nothing: there `start` simply runs.
bool startFromMiddleChild(const std::function<bool()>& start);
// Opens a help file (an HTML page under any name) in the desktop's browser without waiting.
// False when the page could not be handed to one.
bool openHelpPage(const std::string& path);

}  // namespace wordlark::platform
