// Win32Desktop.h -- the desktop on Windows itself: the system's window, queue, timer and menu.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Desktop.h"

struct HWND__;
struct HICON__;

namespace wordlark::platform::win32 {

// Every call goes to the system: the window of class "Vek" is a real popup window, its queue is
// the thread's, its timer a window timer and its menu the real window menu. The seam's message
// numbers are the system's own, so messages pass through unchanged; only what carries a handle
// the game knows by another name is translated at this edge (the window menu in
// WM_INITMENUPOPUP, a press on the menu corner), and typed characters arrive in Windows-1252
// whatever the system's code page is.
class Win32Desktop final : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    Point screenSize() const override;
    // The work area of the monitor the game's window is on (the primary one before it exists).
    Point workArea() const override;
    // The game's window (the first made) enlarged to the mode's whole scale, or filling its
    // monitor, at once; its pointer input, hit tests and rectangle stay in the frame's pixels.
    void setDisplayMode(const DisplayMode& mode) override;
    // A popup window that starts minimised, with the icon (group 104) and pointer (group 102)
    // of the executable's resources; the desktop's own when the executable has none.
    WindowId createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height,
                          WindowProcedure procedure) override;
    bool destroyWindow(WindowId window) override;
    void showWindow(WindowId window, ShowCommand command) override;
    Rect windowRect(WindowId window) const override;
    void moveWindow(WindowId window, std::int32_t x, std::int32_t y) override;
    void invalidateWindow(WindowId window) override;

    void removeMenuItem(WindowId window, std::uint32_t command) override;
    void enableMenuItem(WindowId window, std::uint32_t command, bool enabled) override;
    bool hasMenuItem(WindowId window, std::uint32_t command) const override;
    bool menuItemEnabled(WindowId window, std::uint32_t command) const override;

    bool postMessage(WindowId window, MessageId message, WParam wParam, LParam lParam) override;
    LResult sendMessage(WindowId window, MessageId message, WParam wParam, LParam lParam) override;
    bool getMessage(Message& message) override;
    LResult dispatchMessage(const Message& message) override;
    void postQuitMessage(int code) override;
    LResult defaultProcedure(WindowId window, MessageId message, WParam wParam,
                             LParam lParam) override;

    TimerId setTimer(WindowId window, TimerId id, std::uint32_t milliseconds) override;
    bool killTimer(WindowId window, TimerId id) override;
    std::uint64_t tickCount() const override;

    Point cursorPosition() const override;
    void setCursorPosition(std::int32_t x, std::int32_t y) override;
    int showCursor(bool show) override;
    void setCursor(CursorShape shape) override;
    WindowId setCapture(WindowId window) override;
    void releaseCapture() override;
    WindowId captureWindow() const override;

    // The help page opens in the program the system has for HTML.
    bool openHelp(const std::string& path, std::string* why) override;
    bool launchProgram(const std::string& path) override;
    bool setClipboardText(const std::string& text) override;
    std::string clipboardText() const override;

private:
    struct WindowRecord {
        Win32Desktop* desktop = nullptr;
        WindowProcedure procedure;
    };

    static std::intptr_t __stdcall windowProcedure(HWND__* window, std::uint32_t message,
                                                   std::uintptr_t wParam, std::intptr_t lParam);
    LResult deliver(HWND__* window, WindowRecord& record, std::uint32_t message, WParam wParam,
                    LParam lParam);
    bool registerClass();
    // Gives the game's window the size, place and look the display mode asks for.
    void applyDisplayMode();
    // The pointer on the screen as the game sees it over its window, and back.
    Point toGame(HWND__* window, Point screen) const;
    Point toScreen(HWND__* window, Point game) const;
    // The window menu at `at` (on the screen), its choice sent as WM_SYSCOMMAND.
    void openWindowMenu(HWND__* window, Point at);
    // An exception thrown by the procedure cannot cross the system's frames; it is kept and
    // thrown again once the system call that ran the procedure has returned.
    void rethrowPending();

    bool classRegistered_ = false;
    HICON__* gameCursor_ = nullptr;  // the class pointer; null: the desktop's arrow
    bool ansiIs1252_ = true;         // the system's code page is the game's own
    std::map<HWND__*, std::unique_ptr<WindowRecord>> windows_;
    // What the procedure changed in the window menu while it was told of it (WM_INITMENUPOPUP).
    bool preparingMenu_ = false;
    std::vector<std::pair<std::uint32_t, bool>> menuChanges_;
    // The window menu is being tracked, and whether it has waited for a choice (WM_ENTERIDLE).
    bool trackingMenu_ = false;
    bool menuWaited_ = false;
    std::exception_ptr pending_;
    HWND__* gameWindow_ = nullptr;  // the window the display mode applies to
    bool fullscreen_ = false;
    Rect restore_{};  // the game's window before it filled the screen
};

}  // namespace wordlark::platform::win32
