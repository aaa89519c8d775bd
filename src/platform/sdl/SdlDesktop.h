// SdlDesktop.h -- the real desktop through SDL2: the window, its events, pointer and clock.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Desktop.h"
#include "platform/QueuedDesktop.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace wordlark::platform::sdl {

class SdlDesktop final : public QueuedDesktop {
public:
    // How the window shows the frame (input is mapped back to the frame's pixels).
    explicit SdlDesktop(const DisplayMode& mode = {});
    ~SdlDesktop() override;
    SdlDesktop(const SdlDesktop&) = delete;
    SdlDesktop& operator=(const SdlDesktop&) = delete;

    // Starts SDL's video; false with a reason when there is no display.
    bool start(std::string& error);

    Point screenSize() const override;
    // The usable area of the screen the window is on (the first screen before there is one).
    Point workArea() const override;
    // Resizes the window, or takes it to the full screen and back, at once.
    void setDisplayMode(const DisplayMode& mode) override;
    WindowId createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height,
                          WindowProcedure procedure) override;
    void showWindow(WindowId window, ShowCommand command) override;
    Rect windowRect(WindowId window) const override;
    void moveWindow(WindowId window, std::int32_t x, std::int32_t y) override;

    bool getMessage(Message& message) override;
    std::uint64_t tickCount() const override;

    Point cursorPosition() const override;
    void setCursorPosition(std::int32_t x, std::int32_t y) override;
    int showCursor(bool show) override;
    void setCursor(CursorShape shape) override;
    WindowId setCapture(WindowId window) override;
    void releaseCapture() override;
    bool setClipboardText(const std::string& text) override;
    std::string clipboardText() const override;

    // For the video half: the SDL window (null for an unknown window) and where the frame goes.
    SDL_Window* sdlWindow(WindowId window) const;
    // Where the frame goes in the window's real pixels; the whole window when unknown.
    FramePlacement framePlacement(WindowId window) const;
    // Counts the times a window's contents were lost (exposed, shown, restored): a frame
    // equal to the one shown before must still be drawn again after each of them.
    std::uint64_t exposures() const { return exposures_; }

private:
    struct WindowState : WindowRecord {
        SDL_Window* window = nullptr;
        std::int32_t width = 0;  // in game pixels, before scaling
        std::int32_t height = 0;
        bool fullscreen = false;  // asked of the window manager
        Point restore{};          // where the window was before it filled the screen
    };

    bool movesWindow(LResult hit) const override;
    Point dragOrigin(Point pressed) const override;
    void dragChanged(bool dragging) override;
    void windowDestroyed(WindowId window, WindowRecord& record) override;
    void translate(const SDL_Event& event);
    void mouseEvent(MessageId clientMessage, MessageId frameMessage, std::int32_t x,
                    std::int32_t y);
    WindowId windowFromSdl(std::uint32_t sdlId) const;
    void loadGameCursor();
    // The window's whole-number scale in force, said on stderr when it is lower than asked.
    int chooseScale();
    // Makes the window's size, place and full screen follow the display mode.
    void applyDisplayMode(WindowId window);
    // The SDL display the window is on, 0 before there is one.
    int displayIndex() const;

    int scale_ = 1;
    bool started_ = false;
    WindowId mainWindow_ = kNoWindow;
    SDL_Cursor* gameCursor_ = nullptr;  // null: the desktop's arrow serves instead
    std::uint64_t exposures_ = 0;
    void* x11Display_ = nullptr;  // the main window's X display when SDL runs on X11
    Point lastPointer_{};  // the pointer on the screen at the latest mouse event, real pixels
};

}  // namespace wordlark::platform::sdl
