// SdlDesktop.h -- the real desktop through SDL2: one window, its events, the frame clock.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Cursor;
union SDL_Event;

namespace wordlark::platform::sdl {

class SdlDesktop final : public Desktop {
public:
    // `scale` enlarges the window that many times (input is mapped back).
    explicit SdlDesktop(int scale = 1);
    ~SdlDesktop() override;
    SdlDesktop(const SdlDesktop&) = delete;
    SdlDesktop& operator=(const SdlDesktop&) = delete;

    // Starts SDL's video; false with a reason when there is no display.
    bool start(std::string& error);

    Point screenSize() const override;
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
    WindowId captureWindow() const override { return capture_; }

    bool openHelp(const std::string& path) override;
    bool launchProgram(const std::string& path) override;

    // For the video half: the window's renderer (null for an unknown window) and the scale.
    SDL_Renderer* renderer(WindowId window) const;
    int scale() const { return scale_; }
    // Counts the times a window's contents were lost (exposed, shown, restored): a frame
    // equal to the one shown before must still be drawn again after each of them.
    std::uint64_t exposures() const { return exposures_; }

private:
    struct WindowState {
        SDL_Window* window = nullptr;
        SDL_Renderer* renderer = nullptr;
        WindowProcedure procedure;
        std::int32_t width = 0;  // in game pixels, before scaling
        std::int32_t height = 0;
        bool paintPending = false;
        std::map<std::uint32_t, bool> menu;  // command -> enabled
    };
    struct Timer {
        WindowId window = kNoWindow;
        TimerId id = 0;
        std::uint32_t period = 0;
        std::uint64_t due = 0;
    };

    bool nextWaiting(Message& message);
    // Milliseconds until the next timer falls due (-1: no timer).
    int untilNextTimer() const;
    void translate(const SDL_Event& event);
    void mouseEvent(MessageId clientMessage, MessageId frameMessage, std::int32_t x,
                    std::int32_t y);
    WindowState* find(WindowId window);
    const WindowState* find(WindowId window) const;
    WindowId windowFromSdl(std::uint32_t sdlId) const;
    void loadGameCursor();

    int scale_ = 1;
    bool started_ = false;
    std::map<WindowId, WindowState> windows_;
    WindowId nextWindow_ = 1;
    WindowId mainWindow_ = kNoWindow;
    WindowId focus_ = kNoWindow;
    std::deque<Message> queue_;
    std::optional<int> quitPosted_;
    std::vector<Timer> timers_;
    int cursorCounter_ = 0;
    SDL_Cursor* gameCursor_ = nullptr;  // null: the desktop's arrow serves instead
    WindowId capture_ = kNoWindow;
    WParam buttons_ = 0;
    std::uint64_t exposures_ = 0;
    bool dragging_ = false;
    Point lastPointer_{};  // the pointer on the screen at the latest mouse event
    Point dragFrom_{};     // the pointer on the screen where the drag last moved the window
};

}  // namespace wordlark::platform::sdl
