// HeadlessDesktop.h -- the in-memory desktop: one window, a queue, a manual clock, recorded calls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/QueuedDesktop.h"

namespace wordlark::platform::headless {

// Which mouse button a scripted press uses.
enum class MouseButton { Left, Right };

class HeadlessDesktop final : public QueuedDesktop {
public:
    // The frame period a tick advances the clock by.
    static constexpr std::uint32_t kTickMilliseconds = 50;

    HeadlessDesktop();
    ~HeadlessDesktop() override;
    HeadlessDesktop(HeadlessDesktop&&);
    HeadlessDesktop& operator=(HeadlessDesktop&&);

    Point screenSize() const override { return screen_; }
    WindowId createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height,
                          WindowProcedure procedure) override;
    void showWindow(WindowId window, ShowCommand command) override;
    Rect windowRect(WindowId window) const override;
    void moveWindow(WindowId window, std::int32_t x, std::int32_t y) override;

    bool getMessage(Message& message) override;
    std::uint64_t tickCount() const override { return now_; }
    // A calendar of its own, so that a replay sees the same day on every run: it starts at
    // kFirstWallClock and goes on with the manual clock.
    std::int64_t wallClock() const override
    {
        return wallStart_ + static_cast<std::int64_t>(now_ / 1000);
    }

    Point cursorPosition() const override { return cursor_; }
    void setCursorPosition(std::int32_t x, std::int32_t y) override;
    void setCursor(CursorShape shape) override { shape_ = shape; }

    // A clipboard of its own, which the replay reads.
    bool setClipboardText(const std::string& text) override
    {
        clipboard_ = text;
        return true;
    }
    std::string clipboardText() const override { return clipboard_; }

    bool openHelp(const std::string& path, std::string* why) override;
    bool launchProgram(const std::string& path) override;

    // --- Test and replay controls --------------------------------------------------------
    void setScreenSize(std::int32_t width, std::int32_t height) { screen_ = {width, height}; }

    // Called by getMessage when nothing is waiting: it may post input or advance the clock.
    // Returning false means the input is exhausted; the desktop then closes every window (as
    // a user would), so a loop always comes to an end.
    void setIdleSource(std::function<bool()> source) { idleSource_ = std::move(source); }

    // 2026-12-09 12:00:00 UTC.
    static constexpr std::int64_t kFirstWallClock = 1'796'817'600;
    // Sets the calendar's time now (seconds since 1970-01-01 UTC); the manual clock goes on.
    void setWallClock(std::int64_t seconds)
    {
        wallStart_ = seconds - static_cast<std::int64_t>(now_ / 1000);
    }

    // Advances the clock; every timer that fell due has one WM_TIMER waiting (ticks coalesce
    // as a real desktop's do).
    void advanceClock(std::uint32_t milliseconds) { now_ += milliseconds; }
    // Delivers everything waiting (posted messages, a quit ends it, repaint, due timers)
    // without asking the idle source. Returns how many messages were dispatched; stops early
    // once a quit has been taken (see quitCode()).
    int pump();
    // `count` times: advance the clock by one frame period and pump.
    void tick(int count = 1);

    // Input as a user gives it, at a point in the window's client area. The hit test decides
    // whether the press reaches the client area or the window's frame (caption, menu corner).
    void mouseMove(std::int32_t x, std::int32_t y);
    void mouseButton(MouseButton button, bool down, std::int32_t x, std::int32_t y);
    // The wheel turned `notches` (positive: away from the player) with the window focused.
    void wheel(std::int32_t notches);
    // `held` carries the Shift and Alt held with the key, as WM_KEYDOWN's lParam bits.
    void keyDown(WParam virtualKey, LParam held = 0);
    // A typed character (a Windows-1252 byte).
    void typeChar(std::uint8_t character);
    // Focus moves away from / back to the window (a minimised window is restored).
    void loseFocus();
    void gainFocus();
    // Picks a command of the open window menu (WM_SYSCOMMAND) or dismisses it (0).
    void chooseMenuCommand(std::uint32_t command);

    // Observations (more in QueuedDesktop).
    bool windowExists(WindowId window) const { return find(window) != nullptr; }
    bool windowVisible(WindowId window) const;
    bool windowMinimized(WindowId window) const;
    WindowId lastWindow() const { return lastWindow_; }
    CursorShape cursorShape() const { return shape_; }
    bool menuOpen() const { return menuOpen_; }
    const std::vector<std::string>& helpOpened() const { return helpOpened_; }
    const std::vector<std::string>& programsLaunched() const { return launched_; }
    std::optional<int> quitCode() const { return quitTaken_; }

    // Back to a fresh desktop: no windows, timers, queue or records; clock at 0.
    void reset();

private:
    struct WindowState : WindowRecord {
        std::string title;
        Rect rect;
        bool visible = false;
        bool minimized = true;
    };

    void framePressed(WindowId window, LResult hit, Point screen) override;
    void windowDestroyed(WindowId window, WindowRecord& record) override;
    // nextWaiting that also notes a quit taken, for quitCode().
    bool takeWaiting(Message& message);
    void postMouse(MessageId clientMessage, MessageId frameMessage, std::int32_t x, std::int32_t y);

    Point screen_{1920, 1080};
    WindowId lastWindow_ = kNoWindow;
    std::optional<int> quitTaken_;
    std::uint64_t now_ = 0;
    std::int64_t wallStart_ = kFirstWallClock;
    Point cursor_{};
    CursorShape shape_ = CursorShape::Arrow;
    bool menuOpen_ = false;
    WindowId menuWindow_ = kNoWindow;
    std::vector<std::string> helpOpened_;
    std::vector<std::string> launched_;
    std::function<bool()> idleSource_;
    std::string clipboard_;
};

}  // namespace wordlark::platform::headless
