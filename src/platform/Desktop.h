// Desktop.h -- the window, message queue, clock, pointer and shell half of the platform seam.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/DisplayMode.h"
#include "platform/Messages.h"
#include "platform/platform.h"

namespace wordlark::platform {

// The one window's procedure: every dispatched or sent message goes through it.
using WindowProcedure = std::function<LResult(WindowId, MessageId, WParam, LParam)>;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// How showWindow shows the window.
enum class ShowCommand {
    Hide,
    Normal,     // shown and restored
    Minimized,  // shown as an icon
};

// The pointer's picture over the window.
enum class CursorShape {
    Arrow,  // the desktop's ordinary pointer
    Game,   // the game's own pointer
};

using TimerId = std::uint32_t;

// The desktop half of a backend. One is current at a time (see desktop()); every call runs on
// the thread that owns the main window.
class Desktop {
public:
    virtual ~Desktop() = default;

    // The screen the window is centred on, in pixels.
    virtual Point screenSize() const = 0;
    // The usable desktop area of that screen (without task bars and panels), in pixels.
    virtual Point workArea() const { return screenSize(); }

    // How the main window shows the 640 x 480 frame. Setting it applies it at once (before the
    // window exists: when it is made); pointer positions in messages stay in frame pixels at
    // every scale and in full screen. The mode asked for is kept as asked (fit stays fit).
    virtual void setDisplayMode(const DisplayMode& mode) { displayMode_ = mode; }
    virtual DisplayMode displayMode() const { return displayMode_; }
    // The window's scale in force: the mode's, resolved and lowered to what fits the work area.
    virtual int windowScale() const { return platform::windowScale(displayMode_, workArea()); }

    // Makes the one borderless window at (x, y), width x height, minimised and not yet shown.
    // kNoWindow when it cannot be made. The procedure receives every message of the window.
    virtual WindowId createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height,
                                  WindowProcedure procedure) = 0;
    // Sends WM_DESTROY to the window (synchronously), then forgets it. Messages still queued
    // for it are dropped. False for an unknown window.
    virtual bool destroyWindow(WindowId window) = 0;
    virtual void showWindow(WindowId window, ShowCommand command) = 0;
    // The window's rectangle on the screen; all zero for an unknown window.
    virtual Rect windowRect(WindowId window) const = 0;
    virtual void moveWindow(WindowId window, std::int32_t x, std::int32_t y) = 0;
    // Asks for a WM_PAINT of the window at the next empty moment of the queue.
    virtual void invalidateWindow(WindowId window) = 0;

    // The window menu: removes an item by command (SC_SIZE, SC_MAXIMIZE), and enables or
    // greys one out. Whether an item is offered / enabled, for the menu and for tests.
    virtual void removeMenuItem(WindowId window, std::uint32_t command) = 0;
    virtual void enableMenuItem(WindowId window, std::uint32_t command, bool enabled) = 0;
    virtual bool hasMenuItem(WindowId window, std::uint32_t command) const = 0;
    virtual bool menuItemEnabled(WindowId window, std::uint32_t command) const = 0;

    // Queues a message behind those waiting. False when the window is unknown.
    virtual bool postMessage(WindowId window, MessageId message, WParam wParam, LParam lParam) = 0;
    // Calls the window's procedure at once and returns its answer; may be called from inside
    // the procedure (re-entrant). 0 for an unknown window.
    virtual LResult sendMessage(WindowId window, MessageId message, WParam wParam,
                                LParam lParam) = 0;
    // Waits for the next message and removes it from the queue. False when it is WM_QUIT
    // (its wParam is the quit code). Due timer ticks come as WM_TIMER when nothing else waits;
    // a repaint asked for comes as WM_PAINT.
    virtual bool getMessage(Message& message) = 0;
    // Hands a message to its window's procedure; 0 for an unknown window.
    virtual LResult dispatchMessage(const Message& message) = 0;
    // Makes a later getMessage end the loop with this code.
    virtual void postQuitMessage(int code) = 0;
    // The platform's own handling of a message the procedure does not want: WM_CLOSE destroys
    // the window; WM_NCHITTEST answers HTCLIENT inside the window, HTNOWHERE outside;
    // WM_SYSCOMMAND SC_MINIMIZE minimises, SC_CLOSE posts WM_CLOSE; a press in HTCAPTION
    // drags the window, in HTMENU opens the window menu (sending WM_INITMENUPOPUP whose wParam
    // is the window's id, then WM_ENTERIDLE with MSGF_MENU once it waits for a choice).
    // Everything else answers 0.
    virtual LResult defaultProcedure(WindowId window, MessageId message, WParam wParam,
                                     LParam lParam) = 0;

    // A repeating timer of `milliseconds` that brings WM_TIMER (wParam = id) to the window.
    // Starting an id again restarts it. Returns the id, 0 on failure.
    virtual TimerId setTimer(WindowId window, TimerId id, std::uint32_t milliseconds) = 0;
    // Stops it; false when it was not running (harmless).
    virtual bool killTimer(WindowId window, TimerId id) = 0;
    // Milliseconds since some fixed moment.
    virtual std::uint64_t tickCount() const = 0;
    // The calendar's time: seconds since 1970-01-01 00:00:00 UTC.
    virtual std::int64_t wallClock() const;

    // The desktop's clipboard, as text in UTF-8. Putting text there: false when the desktop has
    // no clipboard or would not take it. Reading: empty when it holds no text.
    virtual bool setClipboardText(const std::string& text)
    {
        (void)text;
        return false;
    }
    virtual std::string clipboardText() const { return {}; }

    // The pointer in screen coordinates.
    virtual Point cursorPosition() const = 0;
    virtual void setCursorPosition(std::int32_t x, std::int32_t y) = 0;
    // Adds one (show) or takes one (hide) from the display counter and returns the new value;
    // the pointer is visible while the counter is at least 0. It starts at 0.
    virtual int showCursor(bool show) = 0;
    virtual void setCursor(CursorShape shape) = 0;
    // Sends every mouse message to the window even when the pointer leaves it; returns the
    // window that held the capture before (kNoWindow when none).
    virtual WindowId setCapture(WindowId window) = 0;
    virtual void releaseCapture() = 0;
    virtual WindowId captureWindow() const = 0;

    // Opens a help page (an HTML file named .html) in the desktop's viewer without waiting.
    // False, *why saying why in one line, when the page is unfit to show (Launch.h) or no viewer
    // took it.
    virtual bool openHelp(const std::string& path, std::string* why) = 0;
    // Starts a program and does not wait for it; only a regular file that exists and is
    // executable is started. False when it was not started.
    virtual bool launchProgram(const std::string& path) = 0;

private:
    DisplayMode displayMode_;
};

// The current desktop backend. Start-up installs one before anything else; using the seam
// with none installed is a programming error, reported on stderr before the process aborts.
Desktop& desktop();
// Installs a backend (null: none). The caller keeps ownership and must keep it alive while
// it is current.
void setDesktop(Desktop* backend);

// Short forms the game calls, each on the current backend.
inline bool postMessage(WindowId window, MessageId message, WParam wParam = 0, LParam lParam = 0)
{
    return desktop().postMessage(window, message, wParam, lParam);
}
inline LResult sendMessage(WindowId window, MessageId message, WParam wParam = 0, LParam lParam = 0)
{
    return desktop().sendMessage(window, message, wParam, lParam);
}
inline bool getMessage(Message& message)
{
    return desktop().getMessage(message);
}
inline LResult dispatchMessage(const Message& message)
{
    return desktop().dispatchMessage(message);
}
inline void postQuitMessage(int code)
{
    desktop().postQuitMessage(code);
}
inline LResult defaultProcedure(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    return desktop().defaultProcedure(window, message, wParam, lParam);
}
inline Rect windowRect(WindowId window)
{
    return desktop().windowRect(window);
}
inline Point cursorPosition()
{
    return desktop().cursorPosition();
}
inline void setCursorPosition(std::int32_t x, std::int32_t y)
{
    desktop().setCursorPosition(x, y);
}
inline int showCursor(bool show)
{
    return desktop().showCursor(show);
}
inline void setCursor(CursorShape shape)
{
    desktop().setCursor(shape);
}
inline WindowId setCapture(WindowId window)
{
    return desktop().setCapture(window);
}
inline void releaseCapture()
{
    desktop().releaseCapture();
}
inline std::uint64_t tickCount()
{
    return desktop().tickCount();
}

// The one main window, kNoWindow before start-up makes it and after it is destroyed.
WindowId mainWindow();
void setMainWindow(WindowId window);

}  // namespace wordlark::platform
