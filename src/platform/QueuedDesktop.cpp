#include "platform/QueuedDesktop.h"

#include <algorithm>
#include <utility>

#include "platform/Launch.h"

namespace wordlark::platform {

QueuedDesktop::QueuedDesktop() = default;
QueuedDesktop::~QueuedDesktop() = default;
QueuedDesktop::QueuedDesktop(QueuedDesktop&&) = default;
QueuedDesktop& QueuedDesktop::operator=(QueuedDesktop&&) = default;

WindowId QueuedDesktop::addWindow(std::unique_ptr<WindowRecord> record, WindowProcedure procedure)
{
    const WindowId id = nextWindow_++;
    record->procedure = std::move(procedure);
    for (const std::uint32_t command :
         {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE}) {
        record->menu[command] = command != SC_RESTORE;
    }
    windows_[id] = std::move(record);
    return id;
}

QueuedDesktop::WindowRecord* QueuedDesktop::find(WindowId window)
{
    const auto it = windows_.find(window);
    return it != windows_.end() ? it->second.get() : nullptr;
}

const QueuedDesktop::WindowRecord* QueuedDesktop::find(WindowId window) const
{
    const auto it = windows_.find(window);
    return it != windows_.end() ? it->second.get() : nullptr;
}

bool QueuedDesktop::destroyWindow(WindowId window)
{
    if (find(window) == nullptr) {
        return false;
    }
    sendMessage(window, WM_DESTROY, 0, 0);
    WindowRecord* record = find(window);
    if (record == nullptr) {
        return true;  // the procedure destroyed it itself
    }
    if (capture_ == window) {
        releaseCapture();
    }
    if (dragging_ == window) {
        dragging_ = kNoWindow;
    }
    windowDestroyed(window, *record);
    windows_.erase(window);
    std::erase_if(queue_, [window](const Message& m) { return m.window == window; });
    std::erase_if(timers_, [window](const Timer& t) { return t.window == window; });
    if (focus_ == window) {
        focus_ = kNoWindow;
    }
    return true;
}

void QueuedDesktop::invalidateWindow(WindowId window)
{
    if (WindowRecord* record = find(window)) {
        record->paintPending = true;
    }
}

void QueuedDesktop::removeMenuItem(WindowId window, std::uint32_t command)
{
    if (WindowRecord* record = find(window)) {
        record->menu.erase(command);
    }
}

void QueuedDesktop::enableMenuItem(WindowId window, std::uint32_t command, bool enabled)
{
    WindowRecord* record = find(window);
    if (record != nullptr && record->menu.count(command) != 0) {
        record->menu[command] = enabled;
    }
}

bool QueuedDesktop::hasMenuItem(WindowId window, std::uint32_t command) const
{
    const WindowRecord* record = find(window);
    return record != nullptr && record->menu.count(command) != 0;
}

bool QueuedDesktop::menuItemEnabled(WindowId window, std::uint32_t command) const
{
    const WindowRecord* record = find(window);
    if (record == nullptr) {
        return false;
    }
    const auto it = record->menu.find(command);
    return it != record->menu.end() && it->second;
}

bool QueuedDesktop::postMessage(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    if (find(window) == nullptr) {
        return false;
    }
    queue_.push_back({window, message, wParam, lParam});
    return true;
}

LResult QueuedDesktop::sendMessage(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    const WindowRecord* record = find(window);
    if (record == nullptr) {
        return 0;
    }
    // A copy: the procedure may destroy its own window while it runs.
    const WindowProcedure procedure = record->procedure;
    return procedure(window, message, wParam, lParam);
}

LResult QueuedDesktop::dispatchMessage(const Message& message)
{
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
}

void QueuedDesktop::postQuitMessage(int code)
{
    quitPosted_ = code;
}

std::optional<bool> QueuedDesktop::takeWaiting(Message& message)
{
    if (nextWaiting(message)) {
        return message.message != WM_QUIT;
    }
    if (windows_.empty()) {
        message = {kNoWindow, WM_QUIT, 0, 0};
        return false;
    }
    return std::nullopt;
}

bool QueuedDesktop::nextWaiting(Message& message)
{
    if (!queue_.empty()) {
        message = queue_.front();
        queue_.pop_front();
        return true;
    }
    if (quitPosted_) {
        message = {kNoWindow, WM_QUIT, static_cast<WParam>(*quitPosted_), 0};
        quitPosted_.reset();
        return true;
    }
    for (auto& [id, record] : windows_) {
        if (record->paintPending) {
            record->paintPending = false;
            message = {id, WM_PAINT, 0, 0};
            return true;
        }
    }
    const std::uint64_t now = tickCount();
    for (Timer& timer : timers_) {
        if (timer.due <= now) {
            // Missed ticks coalesce into one, as a desktop's timers do.
            const std::uint64_t periods = (now - timer.due) / timer.period + 1;
            timer.due += periods * timer.period;
            message = {timer.window, WM_TIMER, timer.id, 0};
            return true;
        }
    }
    return false;
}

int QueuedDesktop::untilNextTimer() const
{
    if (timers_.empty()) {
        return -1;
    }
    const std::uint64_t now = tickCount();
    std::uint64_t soonest = timers_.front().due;
    for (const Timer& timer : timers_) {
        soonest = std::min(soonest, timer.due);
    }
    return soonest <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(soonest - now, 1000));
}

LResult QueuedDesktop::defaultProcedure(WindowId window, MessageId message, WParam wParam,
                                        LParam lParam)
{
    if (find(window) == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_CLOSE:
            destroyWindow(window);
            return 0;
        case WM_NCHITTEST: {
            const Rect rect = windowRect(window);
            const std::int32_t x = pointX(lParam);
            const std::int32_t y = pointY(lParam);
            return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom ? HTCLIENT
                                                                                        : HTNOWHERE;
        }
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
        case WM_NCLBUTTONDOWN: {
            const LResult hit = static_cast<LResult>(wParam);
            const Point pressed{pointX(lParam), pointY(lParam)};
            if (movesWindow(hit)) {
                dragging_ = window;
                dragFrom_ = dragOrigin(pressed);
                dragChanged(true);
            } else {
                framePressed(window, hit, pressed);
            }
            return 0;
        }
        default:
            return 0;
    }
}

TimerId QueuedDesktop::setTimer(WindowId window, TimerId id, std::uint32_t milliseconds)
{
    if (find(window) == nullptr || id == 0 || milliseconds == 0) {
        return 0;
    }
    killTimer(window, id);
    timers_.push_back({window, id, milliseconds, tickCount() + milliseconds});
    return id;
}

bool QueuedDesktop::killTimer(WindowId window, TimerId id)
{
    return std::erase_if(timers_,
                         [&](const Timer& t) { return t.window == window && t.id == id; }) != 0;
}

bool QueuedDesktop::timerRunning(WindowId window, TimerId id) const
{
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.window == window && t.id == id; });
}

int QueuedDesktop::showCursor(bool show)
{
    cursorCounter_ += show ? 1 : -1;
    return cursorCounter_;
}

WindowId QueuedDesktop::setCapture(WindowId window)
{
    const WindowId before = capture_;
    capture_ = find(window) != nullptr ? window : kNoWindow;
    return before;
}

void QueuedDesktop::releaseCapture()
{
    capture_ = kNoWindow;
}

bool QueuedDesktop::giveFocus(WindowId window)
{
    if (focus_ == window) {
        return false;
    }
    focus_ = window;
    sendMessage(window, WM_SETFOCUS, 0, 0);
    return true;
}

void QueuedDesktop::takeFocus(WindowId window)
{
    if (window == kNoWindow || focus_ != window) {
        return;
    }
    focus_ = kNoWindow;
    sendMessage(window, WM_KILLFOCUS, 0, 0);
}

void QueuedDesktop::setButton(WParam bit, bool down)
{
    buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
}

void QueuedDesktop::routePointer(WindowId window, MessageId clientMessage, MessageId frameMessage,
                                 Point point)
{
    const Rect rect = windowRect(window);
    const Point screen{rect.left + point.x, rect.top + point.y};
    LResult hit = HTCLIENT;
    if (capture_ == kNoWindow) {
        hit = sendMessage(window, WM_NCHITTEST, 0, makeLParam(screen.x, screen.y));
        sendMessage(window, WM_SETCURSOR, window,
                    static_cast<LParam>((static_cast<std::uint32_t>(clientMessage) << 16) |
                                        static_cast<std::uint16_t>(hit)));
    }
    if (hit == HTCLIENT) {
        postMessage(window, clientMessage, buttons_, makeLParam(point.x, point.y));
    } else if (frameMessage != 0 && hit != HTNOWHERE) {
        postMessage(window, frameMessage, static_cast<WParam>(hit), makeLParam(screen.x, screen.y));
    }
}

bool QueuedDesktop::dragWindow(WindowId window, MessageId message, Point screen)
{
    if (dragging_ == kNoWindow) {
        return false;
    }
    if (message == WM_MOUSEMOVE) {
        const Rect rect = windowRect(window);
        moveWindow(window, rect.left + screen.x - dragFrom_.x, rect.top + screen.y - dragFrom_.y);
        dragFrom_ = screen;
    } else if (buttons_ == 0) {
        dragging_ = kNoWindow;
        dragChanged(false);
    }
    return true;
}

bool QueuedDesktop::openHelp(const std::string& path, std::string* why)
{
    return openHelpPage(path, why);
}

bool QueuedDesktop::launchProgram(const std::string& path)
{
    return startDetached(path);
}

}  // namespace wordlark::platform
