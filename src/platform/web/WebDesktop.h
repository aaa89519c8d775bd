// WebDesktop.h -- the desktop of the browser game: the page's canvas as the one window, its
// key, pointer and touch events as the window's messages, the browser's timer as the clock.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Desktop.h"
#include "platform/QueuedDesktop.h"

struct EmscriptenKeyboardEvent;
struct EmscriptenMouseEvent;
struct EmscriptenTouchEvent;
struct EmscriptenWheelEvent;
struct EmscriptenFocusEvent;

namespace wordlark::platform::web {

class WebDesktop final : public QueuedDesktop {
public:
    explicit WebDesktop(const DisplayMode& mode = {});
    ~WebDesktop() override;
    WebDesktop(const WebDesktop&) = delete;
    WebDesktop& operator=(const WebDesktop&) = delete;

    // The page's size in CSS pixels: what "fit" fits the frame into.
    Point screenSize() const override;
    // Shows the canvas at the mode's scale (fit: the largest whole one the page holds), or
    // takes the page to the full screen and back.
    void setDisplayMode(const DisplayMode& mode) override;
    WindowId createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height,
                          WindowProcedure procedure) override;
    void showWindow(WindowId window, ShowCommand command) override;
    Rect windowRect(WindowId window) const override;
    // A page has no window to move.
    void moveWindow(WindowId, std::int32_t, std::int32_t) override {}

    // Waits on the browser's event loop (the page stays alive meanwhile) until input comes or
    // the next timer is due.
    bool getMessage(Message& message) override;
    std::uint64_t tickCount() const override;

    Point cursorPosition() const override { return pointer_; }
    // A page cannot move the pointer; the game's idea of where it is follows.
    void setCursorPosition(std::int32_t x, std::int32_t y) override { pointer_ = {x, y}; }
    int showCursor(bool show) override;
    void setCursor(CursorShape) override {}
    bool setClipboardText(const std::string& text) override;
    // The page may read the clipboard only when the player pastes; the game's own copy serves.
    std::string clipboardText() const override { return clipboard_; }

    // The help in a new tab of the browser, from the page's own folder.
    bool openHelp(const std::string& path, std::string* why) override;
    // Nothing else can be started from a page.
    bool launchProgram(const std::string&) override { return false; }

    // The browser's events, as the page hands them on.
    bool keyDown(const EmscriptenKeyboardEvent& event);
    bool mouse(int eventType, const EmscriptenMouseEvent& event);
    bool touch(int eventType, const EmscriptenTouchEvent& event);
    bool wheel(const EmscriptenWheelEvent& event);
    void focus(bool gained);

private:
    struct WindowState : WindowRecord {
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    bool movesWindow(LResult) const override { return false; }
    void windowDestroyed(WindowId window, WindowRecord& record) override;
    // A pointer message at a point of the canvas in CSS pixels, the canvas shown that large.
    void pointerAt(MessageId clientMessage, MessageId frameMessage, double x, double y,
                   double shownWidth, double shownHeight);

    WindowId mainWindow_ = kNoWindow;
    Point pointer_{};
    std::string clipboard_;
    int touchId_ = -1;  // the touch that acts as the left button, -1 for none
};

}  // namespace wordlark::platform::web
