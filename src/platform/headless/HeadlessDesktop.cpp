#include "platform/headless/HeadlessDesktop.h"

#include <algorithm>
#include <utility>

namespace wordlark::platform::headless {

namespace {

bool contains(const Rect& rect, Point point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

}  // namespace

HeadlessDesktop::HeadlessDesktop() = default;
HeadlessDesktop::~HeadlessDesktop() = default;

HeadlessDesktop::WindowState* HeadlessDesktop::find(WindowId window)
{
    const auto it = windows_.find(window);
    return it != windows_.end() ? &it->second : nullptr;
}

const HeadlessDesktop::WindowState* HeadlessDesktop::find(WindowId window) const
{
    const auto it = windows_.find(window);
    return it != windows_.end() ? &it->second : nullptr;
}

WindowId HeadlessDesktop::createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                                       std::int32_t width, std::int32_t height,
                                       WindowProcedure procedure)
{
    if (width <= 0 || height <= 0 || !procedure) {
        return kNoWindow;
    }
    const WindowId id = nextWindow_++;
    WindowState& state = windows_[id];
    state.title = title;
    state.rect = {x, y, x + width, y + height};
    state.procedure = std::move(procedure);
    for (const std::uint32_t command :
         {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE}) {
        state.menu[command] = command != SC_RESTORE;
    }
    lastWindow_ = id;
    return id;
}

bool HeadlessDesktop::destroyWindow(WindowId window)
{
    if (find(window) == nullptr) {
        return false;
    }
    sendMessage(window, WM_DESTROY, 0, 0);
    windows_.erase(window);
    std::erase_if(queue_, [window](const Message& m) { return m.window == window; });
    std::erase_if(timers_, [window](const Timer& t) { return t.window == window; });
    if (capture_ == window) {
        capture_ = kNoWindow;
    }
    if (focus_ == window) {
        focus_ = kNoWindow;
    }
    if (menuWindow_ == window) {
        menuOpen_ = false;
        menuWindow_ = kNoWindow;
    }
    return true;
}

void HeadlessDesktop::showWindow(WindowId window, ShowCommand command)
{
    WindowState* state = find(window);
    if (state == nullptr) {
        return;
    }
    const bool wasVisible = state->visible && !state->minimized;
    state->visible = command != ShowCommand::Hide;
    state->minimized = command == ShowCommand::Minimized;
    if (command == ShowCommand::Normal) {
        state->paintPending = true;
        if (focus_ != window) {
            focus_ = window;
            sendMessage(window, WM_SETFOCUS, 0, 0);
        }
    } else if (wasVisible && focus_ == window) {
        focus_ = kNoWindow;
        sendMessage(window, WM_KILLFOCUS, 0, 0);
    }
}

Rect HeadlessDesktop::windowRect(WindowId window) const
{
    const WindowState* state = find(window);
    return state != nullptr ? state->rect : Rect{};
}

void HeadlessDesktop::moveWindow(WindowId window, std::int32_t x, std::int32_t y)
{
    WindowState* state = find(window);
    if (state == nullptr) {
        return;
    }
    const std::int32_t width = state->rect.right - state->rect.left;
    const std::int32_t height = state->rect.bottom - state->rect.top;
    state->rect = {x, y, x + width, y + height};
    sendMessage(window, WM_MOVE, 0, makeLParam(x, y));
}

void HeadlessDesktop::invalidateWindow(WindowId window)
{
    if (WindowState* state = find(window)) {
        state->paintPending = true;
    }
}

void HeadlessDesktop::removeMenuItem(WindowId window, std::uint32_t command)
{
    if (WindowState* state = find(window)) {
        state->menu.erase(command);
    }
}

void HeadlessDesktop::enableMenuItem(WindowId window, std::uint32_t command, bool enabled)
{
    WindowState* state = find(window);
    if (state != nullptr && state->menu.count(command) != 0) {
        state->menu[command] = enabled;
    }
}

bool HeadlessDesktop::hasMenuItem(WindowId window, std::uint32_t command) const
{
    const WindowState* state = find(window);
    return state != nullptr && state->menu.count(command) != 0;
}

bool HeadlessDesktop::menuItemEnabled(WindowId window, std::uint32_t command) const
{
    const WindowState* state = find(window);
    if (state == nullptr) {
        return false;
    }
    const auto it = state->menu.find(command);
    return it != state->menu.end() && it->second;
}

bool HeadlessDesktop::postMessage(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    if (find(window) == nullptr) {
        return false;
    }
    queue_.push_back({window, message, wParam, lParam});
    return true;
}

LResult HeadlessDesktop::sendMessage(WindowId window, MessageId message, WParam wParam,
                                     LParam lParam)
{
    const WindowState* state = find(window);
    if (state == nullptr) {
        return 0;
    }
    // A copy: the procedure may destroy its own window while it runs.
    const WindowProcedure procedure = state->procedure;
    return procedure(window, message, wParam, lParam);
}

bool HeadlessDesktop::nextWaiting(Message& message)
{
    if (!queue_.empty()) {
        message = queue_.front();
        queue_.pop_front();
        return true;
    }
    if (quitPosted_) {
        message = {kNoWindow, WM_QUIT, static_cast<WParam>(*quitPosted_), 0};
        quitTaken_ = quitPosted_;
        quitPosted_.reset();
        return true;
    }
    for (auto& [id, state] : windows_) {
        if (state.paintPending) {
            state.paintPending = false;
            message = {id, WM_PAINT, 0, 0};
            return true;
        }
    }
    for (Timer& timer : timers_) {
        if (timer.pending) {
            timer.pending = false;
            message = {timer.window, WM_TIMER, timer.id, 0};
            return true;
        }
    }
    return false;
}

bool HeadlessDesktop::getMessage(Message& message)
{
    for (;;) {
        if (nextWaiting(message)) {
            return message.message != WM_QUIT;
        }
        if (idleSource_ && idleSource_()) {
            continue;
        }
        if (windows_.empty()) {
            // Nothing can ever arrive: end the loop rather than wait forever.
            message = {kNoWindow, WM_QUIT, 0, 0};
            quitTaken_ = 0;
            return false;
        }
        // The input has run out: the user closes the window.
        for (const auto& entry : windows_) {
            queue_.push_back({entry.first, WM_CLOSE, 0, 0});
        }
    }
}

LResult HeadlessDesktop::dispatchMessage(const Message& message)
{
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
}

void HeadlessDesktop::postQuitMessage(int code)
{
    quitPosted_ = code;
}

LResult HeadlessDesktop::defaultProcedure(WindowId window, MessageId message, WParam wParam,
                                          LParam lParam)
{
    WindowState* state = find(window);
    if (state == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_CLOSE:
            destroyWindow(window);
            return 0;
        case WM_NCHITTEST:
            return contains(state->rect, {pointX(lParam), pointY(lParam)}) ? HTCLIENT : HTNOWHERE;
        case WM_SETCURSOR:
            // The window's own pointer over its client area; the desktop's arrow elsewhere.
            setCursor(loWord(static_cast<std::uintptr_t>(lParam)) == HTCLIENT ? CursorShape::Game
                                                                              : CursorShape::Arrow);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MINIMIZE:
                    if (menuItemEnabled(window, SC_MINIMIZE)) {
                        showWindow(window, ShowCommand::Minimized);
                    }
                    break;
                case SC_RESTORE:
                    showWindow(window, ShowCommand::Normal);
                    break;
                case SC_CLOSE:
                    postMessage(window, WM_CLOSE, 0, 0);
                    break;
                default:
                    break;
            }
            return 0;
        case WM_NCLBUTTONDOWN:
            if (static_cast<LResult>(wParam) == HTCAPTION) {
                dragging_ = true;
                dragFrom_ = {pointX(lParam), pointY(lParam)};
            } else if (static_cast<LResult>(wParam) == HTMENU && !menuOpen_) {
                menuOpen_ = true;
                menuWindow_ = window;
                // The menu handle the window menu is known by is the window's own id.
                sendMessage(window, WM_INITMENUPOPUP, window, 0);
                postMessage(window, WM_ENTERIDLE, MSGF_MENU, 0);
            }
            return 0;
        default:
            return 0;
    }
}

TimerId HeadlessDesktop::setTimer(WindowId window, TimerId id, std::uint32_t milliseconds)
{
    if (find(window) == nullptr || id == 0 || milliseconds == 0) {
        return 0;
    }
    killTimer(window, id);
    timers_.push_back({window, id, milliseconds, now_ + milliseconds, false});
    return id;
}

bool HeadlessDesktop::killTimer(WindowId window, TimerId id)
{
    return std::erase_if(timers_,
                         [&](const Timer& t) { return t.window == window && t.id == id; }) != 0;
}

bool HeadlessDesktop::timerRunning(WindowId window, TimerId id) const
{
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.window == window && t.id == id; });
}

void HeadlessDesktop::setCursorPosition(std::int32_t x, std::int32_t y)
{
    cursor_ = {std::clamp(x, 0, std::max(0, screen_.x - 1)),
               std::clamp(y, 0, std::max(0, screen_.y - 1))};
}

int HeadlessDesktop::showCursor(bool show)
{
    cursorCounter_ += show ? 1 : -1;
    return cursorCounter_;
}

WindowId HeadlessDesktop::setCapture(WindowId window)
{
    const WindowId before = capture_;
    capture_ = find(window) != nullptr ? window : kNoWindow;
    return before;
}

bool HeadlessDesktop::openHelp(const std::string& path)
{
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

void HeadlessDesktop::advanceClock(std::uint32_t milliseconds)
{
    now_ += milliseconds;
    for (Timer& timer : timers_) {
        if (timer.due <= now_) {
            timer.pending = true;
            const std::uint64_t periods = (now_ - timer.due) / timer.period + 1;
            timer.due += periods * timer.period;
        }
    }
}

int HeadlessDesktop::pump()
{
    int count = 0;
    Message message;
    while (!quitTaken_ && nextWaiting(message)) {
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
                                std::int32_t y, WParam buttons)
{
    const WindowId window = capture_ != kNoWindow ? capture_ : lastWindow_;
    const WindowState* state = find(window);
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
    if (dragging_) {
        if (clientMessage == WM_MOUSEMOVE) {
            moveWindow(window, state->rect.left + screen.x - dragFrom_.x,
                       state->rect.top + screen.y - dragFrom_.y);
            dragFrom_ = screen;
        } else {
            dragging_ = false;
        }
        return;
    }
    LResult hit = HTCLIENT;
    if (capture_ == kNoWindow) {
        hit = sendMessage(window, WM_NCHITTEST, 0, makeLParam(screen.x, screen.y));
        sendMessage(window, WM_SETCURSOR, window,
                    static_cast<LParam>((static_cast<std::uint32_t>(clientMessage) << 16) |
                                        static_cast<std::uint16_t>(hit)));
    }
    if (hit == HTCLIENT) {
        postMessage(window, clientMessage, buttons, makeLParam(x, y));
    } else if (frameMessage != 0 && hit != HTNOWHERE) {
        postMessage(window, frameMessage, static_cast<WParam>(hit), makeLParam(screen.x, screen.y));
    }
}

void HeadlessDesktop::mouseMove(std::int32_t x, std::int32_t y)
{
    postMouse(WM_MOUSEMOVE, 0, x, y, buttons_);
}

void HeadlessDesktop::mouseButton(MouseButton button, bool down, std::int32_t x, std::int32_t y)
{
    const WParam bit = button == MouseButton::Left ? MK_LBUTTON : MK_RBUTTON;
    buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
    MessageId client = 0;
    MessageId frame = 0;
    if (button == MouseButton::Left) {
        client = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        frame = down ? WM_NCLBUTTONDOWN : WM_NCLBUTTONUP;
    } else {
        client = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    }
    postMouse(client, frame, x, y, buttons_);
}

void HeadlessDesktop::keyDown(WParam virtualKey)
{
    if (menuOpen_) {
        chooseMenuCommand(0);
        return;
    }
    postMessage(lastWindow_, WM_KEYDOWN, virtualKey, 1);
}

void HeadlessDesktop::typeChar(std::uint8_t character)
{
    if (!menuOpen_) {
        postMessage(lastWindow_, WM_CHAR, character, 1);
    }
}

void HeadlessDesktop::loseFocus()
{
    if (focus_ != kNoWindow) {
        const WindowId window = focus_;
        focus_ = kNoWindow;
        sendMessage(window, WM_KILLFOCUS, 0, 0);
    }
}

void HeadlessDesktop::gainFocus()
{
    const WindowState* state = find(lastWindow_);
    if (state != nullptr && (state->minimized || !state->visible)) {
        // Coming back from the taskbar restores the window, which brings the focus.
        showWindow(lastWindow_, ShowCommand::Normal);
        return;
    }
    if (focus_ == kNoWindow && state != nullptr) {
        focus_ = lastWindow_;
        sendMessage(focus_, WM_SETFOCUS, 0, 0);
        invalidateWindow(focus_);
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
    const WindowState* state = find(window);
    return state != nullptr && state->visible;
}

bool HeadlessDesktop::windowMinimized(WindowId window) const
{
    const WindowState* state = find(window);
    return state != nullptr && state->minimized;
}

void HeadlessDesktop::reset()
{
    *this = HeadlessDesktop();
}

HeadlessDesktop& headlessDesktop()
{
    static HeadlessDesktop desktop;
    return desktop;
}

}  // namespace wordlark::platform::headless
