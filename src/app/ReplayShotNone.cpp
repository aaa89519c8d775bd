#include "app/ReplayShot.h"

namespace wordlark::app {

bool writeReplayShot(const platform::headless::HeadlessVideo&, const std::string&,
                     std::string* error)
{
    if (error != nullptr) {
        *error = "this build takes no shots";
    }
    return false;
}

}  // namespace wordlark::app
