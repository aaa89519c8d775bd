// The installed backends of the seam's three halves.
#include <cstdio>
#include <cstdlib>

#include "platform/Desktop.h"
#include "platform/Text.h"
#include "platform/platform.h"

namespace wordlark::platform {

namespace {

// Drawing or taking input through nothing would only fail later and far from the cause, so
// the first use without a backend ends the program where the mistake is.
[[noreturn]] void noBackend(const char* half)
{
    std::fprintf(stderr,
                 "wordlark: the platform's %s was used before a backend was installed (the "
                 "program must install one at start)\n",
                 half);
    std::abort();
}

Desktop* currentDesktop = nullptr;
Video* currentVideo = nullptr;
TextRenderer* currentText = nullptr;

}  // namespace

Desktop& desktop()
{
    if (currentDesktop == nullptr) {
        noBackend("desktop");
    }
    return *currentDesktop;
}

void setDesktop(Desktop* backend)
{
    currentDesktop = backend;
}

Video& video()
{
    if (currentVideo == nullptr) {
        noBackend("video");
    }
    return *currentVideo;
}

void setVideo(Video* backend)
{
    currentVideo = backend;
}

TextRenderer& textRenderer()
{
    if (currentText == nullptr) {
        noBackend("text");
    }
    return *currentText;
}

void setTextRenderer(TextRenderer* backend)
{
    currentText = backend;
}

}  // namespace wordlark::platform
