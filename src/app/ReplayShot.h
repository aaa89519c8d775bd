// ReplayShot.h -- a replay's shot of the last presented frame, where the build can take one.
#pragma once

#include <string>

namespace wordlark::platform::headless {
class HeadlessVideo;
}

namespace wordlark::app {

// Writes the last frame the video presented to path as PNG, replacing whatever has that name.
// False with a reason in *error when nothing was presented, the file cannot be written, or the
// build takes no shots (ReplayShotNone: Windows builds have no PNG library).
bool writeReplayShot(const platform::headless::HeadlessVideo& video, const std::string& path,
                     std::string* error);

}  // namespace wordlark::app
