#include "platform/Desktop.h"

#include "platform/headless/HeadlessDesktop.h"

namespace wordlark::platform {

namespace {

Desktop*& currentDesktop()
{
    static Desktop* current = nullptr;
    return current;
}

WindowId& theMainWindow()
{
    static WindowId window = kNoWindow;
    return window;
}

}  // namespace

Desktop& desktop()
{
    Desktop* current = currentDesktop();
    return current != nullptr ? *current : headless::headlessDesktop();
}

void setDesktop(Desktop* backend)
{
    currentDesktop() = backend;
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
