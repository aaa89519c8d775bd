#include "platform/headless/HeadlessVideo.h"
#include "platform/platform.h"

namespace wordlark::platform {

namespace {

Video*& currentVideo()
{
    static Video* current = nullptr;
    return current;
}

}  // namespace

Video& video()
{
    Video* current = currentVideo();
    return current != nullptr ? *current : headless::headlessVideo();
}

void setVideo(Video* backend)
{
    currentVideo() = backend;
}

}  // namespace wordlark::platform
