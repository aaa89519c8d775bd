#include "platform/Desktop.h"

#include <chrono>

namespace wordlark::platform {

namespace {

WindowId& theMainWindow()
{
    static WindowId window = kNoWindow;
    return window;
}

}  // namespace

std::int64_t Desktop::wallClock() const
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

WindowId mainWindow()
{
    return theMainWindow();
}

void setMainWindow(WindowId window)
{
    theMainWindow() = window;
}

}  // namespace wordlark::platform
