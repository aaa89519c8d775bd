#include "platform/headless/HeadlessDesktop.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/Launch.h"

namespace wordlark::platform::headless {

HeadlessDesktop::HeadlessDesktop() = default;
HeadlessDesktop::~HeadlessDesktop() = default;
HeadlessDesktop::HeadlessDesktop(HeadlessDesktop&&) = default;
HeadlessDesktop& HeadlessDesktop::operator=(HeadlessDesktop&&) = default;

WindowId HeadlessDesktop::createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                                       std::int32_t width, std::int32_t height,
                                       WindowProcedure procedure)
{
    if (width <= 0 || height <= 0 || !procedure) {
        return kNoWindow;
    }
    auto state = std::make_unique<WindowState>();
    state->title = title;
    state->rect = {x, y, x + width, y + height};
    lastWindow_ = addWindow(std::move(state), std::move(procedure));
    return lastWindow_;
}

void HeadlessDesktop::windowDestroyed(WindowId window, WindowRecord&)
{
    if (menuWindow_ == window) {
        menuOpen_ = false;
        menuWindow_ = kNoWindow;
    }
}

void HeadlessDesktop::showWindow(WindowId window, ShowCommand command)
{
    WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return;
    }
    const bool wasVisible = state->visible && !state->minimized;
    state->visible = command != ShowCommand::Hide;
    state->minimized = command == ShowCommand::Minimized;
    if (command == ShowCommand::Normal) {
        state->paintPending = true;
        giveFocus(window);
    } else if (wasVisible) {
        takeFocus(window);
    }
}

Rect HeadlessDesktop::windowRect(WindowId window) const
{
    const WindowState* state = findAs<WindowState>(window);
    return state != nullptr ? state->rect : Rect{};
}

void HeadlessDesktop::moveWindow(WindowId window, std::int32_t x, std::int32_t y)
{
    WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return;
    }
    const std::int32_t width = state->rect.right - state->rect.left;
    const std::int32_t height = state->rect.bottom - state->rect.top;
    state->rect = {x, y, x + width, y + height};
    sendMessage(window, WM_MOVE, 0, makeLParam(x, y));
}

bool HeadlessDesktop::takeWaiting(Message& message)
{
    if (!nextWaiting(message)) {
        return false;
    }
    if (message.message == WM_QUIT) {
        quitTaken_ = static_cast<int>(message.wParam);
    }
    return true;
}

bool HeadlessDesktop::getMessage(Message& message)
{
    for (;;) {
        if (takeWaiting(message)) {
            return message.message != WM_QUIT;
        }
        if (idleSource_ && idleSource_()) {
            continue;
        }
        if (windows().empty()) {
            // Nothing can ever arrive: end the loop rather than wait forever.
            message = {kNoWindow, WM_QUIT, 0, 0};
            quitTaken_ = 0;
            return false;
        }
        // The input has run out: the user closes the window.
        for (const auto& entry : windows()) {
            postMessage(entry.first, WM_CLOSE, 0, 0);
        }
    }
}

void HeadlessDesktop::framePressed(WindowId window, LResult hit, Point)
{
    if (hit == HTMENU && !menuOpen_) {
        menuOpen_ = true;
        menuWindow_ = window;
        // The menu handle the window menu is known by is the window's own id.
        sendMessage(window, WM_INITMENUPOPUP, window, 0);
        postMessage(window, WM_ENTERIDLE, MSGF_MENU, 0);
    }
}

void HeadlessDesktop::setCursorPosition(std::int32_t x, std::int32_t y)
{
    cursor_ = {std::clamp(x, 0, std::max(0, screen_.x - 1)),
               std::clamp(y, 0, std::max(0, screen_.y - 1))};
}

bool HeadlessDesktop::openHelp(const std::string& path, std::string* why)
{
    // No browser is started from a test run, but the page is judged as the real desktops judge
    // it, so that a replay sees what the player would be told.
    if (std::string problem = helpPageProblem(path); !problem.empty()) {
        if (why != nullptr) {
            *why = std::move(problem);
        }
        return false;
    }
    helpOpened_.push_back(path);
    return true;
}

bool HeadlessDesktop::launchProgram(const std::string& path)
{
    // Nothing is started from a test run; what would have been started is recorded.
    if (!isExecutableFile(path)) {
        return false;
    }
    launched_.push_back(path);
    return true;
}

int HeadlessDesktop::pump()
{
    int count = 0;
    Message message;
    while (!quitTaken_ && takeWaiting(message)) {
        if (message.message == WM_QUIT) {
            break;
        }
        dispatchMessage(message);
        ++count;
    }
    return count;
}

void HeadlessDesktop::tick(int count)
{
    for (int i = 0; i < count && !quitTaken_; ++i) {
        advanceClock(kTickMilliseconds);
        pump();
    }
}

void HeadlessDesktop::postMouse(MessageId clientMessage, MessageId frameMessage, std::int32_t x,
                                std::int32_t y)
{
    const WindowId window = captureWindow() != kNoWindow ? captureWindow() : lastWindow_;
    const WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return;
    }
    const Point screen{state->rect.left + x, state->rect.top + y};
    setCursorPosition(screen.x, screen.y);
    if (menuOpen_) {
        // A click outside an open menu only dismisses it.
        if (clientMessage != WM_MOUSEMOVE) {
            chooseMenuCommand(0);
        }
        return;
    }
    if (dragWindow(window, clientMessage, screen)) {
        return;
    }
    routePointer(window, clientMessage, frameMessage, {x, y});
}

void HeadlessDesktop::mouseMove(std::int32_t x, std::int32_t y)
{
    postMouse(WM_MOUSEMOVE, 0, x, y);
}

void HeadlessDesktop::mouseButton(MouseButton button, bool down, std::int32_t x, std::int32_t y)
{
    setButton(button == MouseButton::Left ? MK_LBUTTON : MK_RBUTTON, down);
    MessageId client = 0;
    MessageId frame = 0;
    if (button == MouseButton::Left) {
        client = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        frame = down ? WM_NCLBUTTONDOWN : WM_NCLBUTTONUP;
    } else {
        client = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    }
    postMouse(client, frame, x, y);
}

void HeadlessDesktop::wheel(std::int32_t notches)
{
    if (menuOpen_) {
        return;
    }
    postMessage(lastWindow_, WM_MOUSEWHEEL, makeWheelWParam(notches), 0);
}

void HeadlessDesktop::keyDown(WParam virtualKey, LParam held)
{
    if (menuOpen_) {
        chooseMenuCommand(0);
        return;
    }
    postMessage(lastWindow_, WM_KEYDOWN, virtualKey, 1 | held);
}

void HeadlessDesktop::typeChar(std::uint8_t character)
{
    if (!menuOpen_) {
        postMessage(lastWindow_, WM_CHAR, character, 1);
    }
}

void HeadlessDesktop::loseFocus()
{
    takeFocus(focus());
}

void HeadlessDesktop::gainFocus()
{
    const WindowState* state = findAs<WindowState>(lastWindow_);
    if (state != nullptr && (state->minimized || !state->visible)) {
        // Coming back from the taskbar restores the window, which brings the focus.
        showWindow(lastWindow_, ShowCommand::Normal);
        return;
    }
    if (focus() == kNoWindow && state != nullptr) {
        giveFocus(lastWindow_);
        invalidateWindow(focus());
    }
}

void HeadlessDesktop::chooseMenuCommand(std::uint32_t command)
{
    if (!menuOpen_) {
        return;
    }
    const WindowId window = menuWindow_;
    menuOpen_ = false;
    menuWindow_ = kNoWindow;
    if (command != 0 && menuItemEnabled(window, command)) {
        postMessage(window, WM_SYSCOMMAND, command, 0);
    }
}

bool HeadlessDesktop::windowVisible(WindowId window) const
{
    const WindowState* state = findAs<WindowState>(window);
    return state != nullptr && state->visible;
}

bool HeadlessDesktop::windowMinimized(WindowId window) const
{
    const WindowState* state = findAs<WindowState>(window);
    return state != nullptr && state->minimized;
}

void HeadlessDesktop::reset()
{
    *this = HeadlessDesktop();
}

}  // namespace wordlark::platform::headless
