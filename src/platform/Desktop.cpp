#include "platform/Desktop.h"

namespace wordlark::platform {

namespace {

WindowId& theMainWindow()
{
    static WindowId window = kNoWindow;
    return window;
}

}  // namespace

WindowId mainWindow()
{
    return theMainWindow();
}

void setMainWindow(WindowId window)
{
    theMainWindow() = window;
}

}  // namespace wordlark::platform
