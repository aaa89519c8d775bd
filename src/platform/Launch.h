// Launch.h -- starting programs and the help viewer without waiting, for every desktop. One
// implementation per kind of system (LaunchPosix, LaunchWin32).
#pragma once

#include <cstdint>
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
// The largest help page shown: the game's own is a few kilobytes, so anything past this is not
// it.
inline constexpr std::uint64_t kMaxHelpPageSize = 1u << 20;

// Why the help page at `path` cannot be shown, as "path: cause"; empty when it is a regular file
// of at most kMaxHelpPageSize bytes.
std::string helpPageProblem(const std::string& path);

// Opens a help page (an HTML file whose name ends in .html, so that the desktop knows it) in the
// desktop's browser without waiting, where it lies: nothing is copied anywhere. False, *why
// saying why as "what: cause", when the page is unfit (helpPageProblem), or when no browser
// could be started or the desktop's opener said it could not show the page.
bool openHelpPage(const std::string& path, std::string* why);

}  // namespace wordlark::platform
