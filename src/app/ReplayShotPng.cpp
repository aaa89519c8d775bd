#include "app/ReplayShot.h"

#include "platform/headless/HeadlessShots.h"

namespace wordlark::app {

bool writeReplayShot(const platform::headless::HeadlessVideo& video, const std::string& path,
                     std::string* error)
{
    return platform::headless::writeShot(video, path, error);
}

}  // namespace wordlark::app
