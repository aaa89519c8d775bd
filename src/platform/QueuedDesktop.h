// QueuedDesktop.h -- what every backend's desktop keeps in its own process: the window table,
// the message queue, timers, focus, capture, the routing of pointer input and the caption drag.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace wordlark::platform {

// A desktop whose messages, timers and window menus live here rather than in the system: the
// backends add only where the window really is and where its input comes from.
class QueuedDesktop : public Desktop {
public:
    ~QueuedDesktop() override;

    // Sends WM_DESTROY, then lets the backend free the window (windowDestroyed) and forgets
    // it with everything queued or timed for it.
    bool destroyWindow(WindowId window) override;
    void invalidateWindow(WindowId window) override;
    void removeMenuItem(WindowId window, std::uint32_t command) override;
    void enableMenuItem(WindowId window, std::uint32_t command, bool enabled) override;
    bool hasMenuItem(WindowId window, std::uint32_t command) const override;
    bool menuItemEnabled(WindowId window, std::uint32_t command) const override;

    bool postMessage(WindowId window, MessageId message, WParam wParam, LParam lParam) override;
    LResult sendMessage(WindowId window, MessageId message, WParam wParam, LParam lParam) override;
    LResult dispatchMessage(const Message& message) override;
    void postQuitMessage(int code) override;
    // A press on the frame (WM_NCLBUTTONDOWN) starts dragging the window where movesWindow
    // says so; any other is the backend's (see framePressed).
    LResult defaultProcedure(WindowId window, MessageId message, WParam wParam,
                             LParam lParam) override;

    TimerId setTimer(WindowId window, TimerId id, std::uint32_t milliseconds) override;
    bool killTimer(WindowId window, TimerId id) override;

    int showCursor(bool show) override;
    WindowId setCapture(WindowId window) override;
    void releaseCapture() override;
    WindowId captureWindow() const override { return capture_; }

    // The help page in the desktop's browser and the program started detached (Launch.h).
    bool openHelp(const std::string& path, std::string* why) override;
    bool launchProgram(const std::string& path) override;

    // Observations, for tests and replays.
    std::size_t queued() const { return queue_.size(); }
    bool timerRunning(WindowId window, TimerId id) const;
    int cursorCounter() const { return cursorCounter_; }

protected:
    // What the desktop keeps of a window; a backend derives its own record from it.
    struct WindowRecord {
        virtual ~WindowRecord() = default;
        WindowProcedure procedure;
        bool paintPending = false;
        std::map<std::uint32_t, bool> menu;  // command -> enabled
    };

    QueuedDesktop();
    // Moving lets a backend start afresh by assigning a new one over itself.
    QueuedDesktop(QueuedDesktop&&);
    QueuedDesktop& operator=(QueuedDesktop&&);

    // The press of the left button on the frame at `hit` (HTMENU, ...) when it does not move
    // the window, the pointer at `screen`.
    virtual void framePressed(WindowId, LResult, Point) {}
    // The parts of the frame that drag the window: the caption band.
    virtual bool movesWindow(LResult hit) const { return hit == HTCAPTION; }
    // Where a drag takes hold, in the pixels the backend's pointer input comes in: the point of
    // the press on the frame by default.
    virtual Point dragOrigin(Point pressed) const { return pressed; }
    // Told when a drag starts (true) and ends (false).
    virtual void dragChanged(bool) {}
    // Called by destroyWindow after WM_DESTROY, while the record still exists: the backend
    // frees what it made for the window and forgets it in its own state.
    virtual void windowDestroyed(WindowId window, WindowRecord& record) = 0;

    // Takes the record of a new window, with the window menu's usual items, and returns its id.
    WindowId addWindow(std::unique_ptr<WindowRecord> record, WindowProcedure procedure);
    WindowRecord* find(WindowId window);
    const WindowRecord* find(WindowId window) const;
    // The backend's own record of the window; every record a backend adds is of its own type.
    template <typename Record>
    Record* findAs(WindowId window)
    {
        return static_cast<Record*>(find(window));
    }
    template <typename Record>
    const Record* findAs(WindowId window) const
    {
        return static_cast<const Record*>(find(window));
    }
    const std::map<WindowId, std::unique_ptr<WindowRecord>>& windows() const { return windows_; }

    // Takes the next message that waits: posted ones first, then a posted quit, then a
    // repaint, then a timer tick that fell due by tickCount(). False when nothing waits.
    bool nextWaiting(Message& message);
    // What getMessage answers when a message is waiting, or the quit once every window is
    // gone; none when the desktop must wait for input or the next timer.
    std::optional<bool> takeWaiting(Message& message);
    // Milliseconds until the next timer falls due, at most a second (-1: no timer).
    int untilNextTimer() const;

    // Gives the window the focus, sending WM_SETFOCUS; false when it had it already.
    bool giveFocus(WindowId window);
    // Takes the focus from the window when it has it, sending WM_KILLFOCUS.
    void takeFocus(WindowId window);
    WindowId focus() const { return focus_; }

    // The mouse buttons held down (MK_LBUTTON, MK_RBUTTON).
    WParam buttons() const { return buttons_; }
    void setButton(WParam bit, bool down);
    // Delivers pointer input at `point` in the window's client area: unless a window holds
    // the capture, the window's hit test (WM_NCHITTEST) decides between the client message
    // and the frame one (none when frameMessage is 0) and the window picks the pointer
    // (WM_SETCURSOR). The message is posted, as input is.
    void routePointer(WindowId window, MessageId clientMessage, MessageId frameMessage,
                      Point point);
    // The window is dragged by hand, as a window manager's own drag is not there in every
    // session: while a press on the frame holds it, each pointer move (the pointer at `screen`)
    // shifts the window as far as the pointer went, and the first button event that leaves no
    // button held lets go. True when a drag took the event, which then goes no further.
    bool dragWindow(WindowId window, MessageId message, Point screen);

private:
    struct Timer {
        WindowId window = kNoWindow;
        TimerId id = 0;
        std::uint32_t period = 0;
        std::uint64_t due = 0;
    };

    std::map<WindowId, std::unique_ptr<WindowRecord>> windows_;
    WindowId nextWindow_ = 1;
    WindowId focus_ = kNoWindow;
    std::deque<Message> queue_;
    std::optional<int> quitPosted_;
    std::vector<Timer> timers_;
    int cursorCounter_ = 0;
    WindowId capture_ = kNoWindow;
    WParam buttons_ = 0;
    WindowId dragging_ = kNoWindow;  // the window whose frame holds a drag
    Point dragFrom_{};               // the pointer where the drag last moved the window
};

}  // namespace wordlark::platform
