#include "platform/sdl/SdlDesktop.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/CodePage.h"
#include "platform/png/PngImage.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/X11Wait.h"

namespace wordlark::platform::sdl {

namespace {

std::string executableFolder()
{
    char* base = SDL_GetBasePath();
    if (base == nullptr) {
        return {};
    }
    std::string folder(base);
    SDL_free(base);
    return folder;
}

}  // namespace

SdlDesktop::SdlDesktop(const DisplayMode& mode)
{
    Desktop::setDisplayMode(mode);
}

SdlDesktop::~SdlDesktop()
{
    while (!windows().empty()) {
        destroyWindow(windows().begin()->first);
    }
    if (gameCursor_ != nullptr) {
        SDL_FreeCursor(gameCursor_);
    }
    if (started_) {
        SDL_Quit();
    }
}

void SdlDesktop::loadGameCursor()
{
    PngImage image;
    if (gameCursor_ != nullptr || !readPng(executableFolder() + "cursor.png", image)) {
        return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        image.rgba.data(), image.width, image.height, 32, image.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) {
        return;
    }
    // The arrow's tip, one pixel in from the picture's corner.
    gameCursor_ = SDL_CreateColorCursor(surface, 1, 1);
    SDL_FreeSurface(surface);
}

bool SdlDesktop::start(std::string& error)
{
    // The software renderer keeps an idle game near zero CPU; the GL one costs a few percent.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The full screen is the desktop's own size, and stays when another window takes the focus.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked == nullptr && SDL_getenv("DISPLAY") == nullptr &&
        SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        // Probing would only print the drivers' own complaints before failing.
        error = "no display found (set DISPLAY or WAYLAND_DISPLAY)";
        return false;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = SDL_GetError();
        return false;
    }
    started_ = true;
    // SDL falls back to drivers that draw nowhere; a window no one can see is no window,
    // unless such a driver was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const std::string_view name = driver != nullptr ? driver : "";
    if ((name == "offscreen" || name == "dummy" || name.empty()) &&
        (asked == nullptr || name != asked)) {
        error = "no display found (set DISPLAY or WAYLAND_DISPLAY)";
        return false;
    }
    // Characters beyond ASCII arrive only as text input, so it is on for the whole run.
    SDL_StartTextInput();
    // The game's pointer is the window's own, over the client area and the caption alike.
    loadGameCursor();
    if (gameCursor_ != nullptr) {
        SDL_SetCursor(gameCursor_);
    }
    return true;
}

WindowId SdlDesktop::windowFromSdl(std::uint32_t sdlId) const
{
    for (const auto& [id, record] : windows()) {
        if (SDL_GetWindowID(static_cast<const WindowState&>(*record).window) == sdlId) {
            return id;
        }
    }
    return kNoWindow;
}

SDL_Window* SdlDesktop::sdlWindow(WindowId window) const
{
    const WindowState* state = findAs<WindowState>(window);
    return state != nullptr ? state->window : nullptr;
}

FramePlacement SdlDesktop::framePlacement(WindowId window) const
{
    const WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return {};
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(state->window, &width, &height);
    // A window manager that would not make the window fill the screen leaves it as it was, and
    // then the frame fills the window by whole pixels as before.
    const bool fullscreen = (SDL_GetWindowFlags(state->window) & SDL_WINDOW_FULLSCREEN) != 0;
    FramePlacement placement = placeFrame({width, height}, fullscreen && displayMode().smooth);
    if (!placement.smooth && width == state->width * scale_ && height == state->height * scale_) {
        // The window is the frame at its scale (a frame other than 640 x 480 too).
        placement = {0, 0, width, height, false};
    }
    return placement;
}

int SdlDesktop::displayIndex() const
{
    const WindowState* state = findAs<WindowState>(mainWindow_);
    const int index = state != nullptr ? SDL_GetWindowDisplayIndex(state->window) : 0;
    return index >= 0 ? index : 0;
}

Point SdlDesktop::screenSize() const
{
    SDL_DisplayMode mode{};
    if (!started_ || SDL_GetDesktopDisplayMode(displayIndex(), &mode) != 0) {
        return {640, 480};
    }
    return {mode.w, mode.h};
}

Point SdlDesktop::workArea() const
{
    SDL_Rect usable{};
    if (!started_ || SDL_GetDisplayUsableBounds(displayIndex(), &usable) != 0 || usable.w <= 0 ||
        usable.h <= 0) {
        return screenSize();
    }
    return {usable.w, usable.h};
}

int SdlDesktop::chooseScale()
{
    const Point area = workArea();
    if (const std::string note = scaleLoweredNote(displayMode(), area); !note.empty()) {
        std::fprintf(stderr, "wordlark: %s\n", note.c_str());
    }
    return platform::windowScale(displayMode(), area);
}

void SdlDesktop::setDisplayMode(const DisplayMode& mode)
{
    const DisplayMode before = displayMode();
    Desktop::setDisplayMode(mode);
    if (find(mainWindow_) != nullptr && !(before == mode)) {
        applyDisplayMode(mainWindow_);
    }
}

void SdlDesktop::applyDisplayMode(WindowId window)
{
    WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return;
    }
    const DisplayMode& mode = displayMode();
    const int scale = chooseScale();
    if (mode.fullscreen && !state->fullscreen) {
        SDL_GetWindowPosition(state->window, &state->restore.x, &state->restore.y);
        state->fullscreen = true;
        SDL_SetWindowFullscreen(state->window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else if (!mode.fullscreen && state->fullscreen) {
        state->fullscreen = false;
        SDL_SetWindowFullscreen(state->window, 0);
        scale_ = scale;
        SDL_SetWindowSize(state->window, state->width * scale_, state->height * scale_);
        SDL_SetWindowPosition(state->window, state->restore.x, state->restore.y);
    } else if (!state->fullscreen && scale != scale_) {
        // A larger or smaller window keeps its centre, inside the usable area.
        int x = 0;
        int y = 0;
        SDL_GetWindowPosition(state->window, &x, &y);
        const int width = state->width * scale;
        const int height = state->height * scale;
        x += (state->width * scale_ - width) / 2;
        y += (state->height * scale_ - height) / 2;
        SDL_Rect usable{};
        if (SDL_GetDisplayUsableBounds(displayIndex(), &usable) == 0) {
            x = std::max(usable.x, std::min(x, usable.x + usable.w - width));
            y = std::max(usable.y, std::min(y, usable.y + usable.h - height));
        }
        scale_ = scale;
        SDL_SetWindowSize(state->window, width, height);
        SDL_SetWindowPosition(state->window, x, y);
    }
    // The picture is drawn afresh for the new size or look.
    ++exposures_;
    invalidateWindow(window);
}

WindowId SdlDesktop::createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height,
                                  WindowProcedure procedure)
{
    if (!started_ || width <= 0 || height <= 0 || width > 8192 || height > 8192 || !procedure) {
        return kNoWindow;
    }
    // The first window is the game's, shown as the display mode says; a larger one keeps the
    // centre it was asked for, inside the usable area.
    const int scale = mainWindow_ == kNoWindow ? chooseScale() : 1;
    const int shownWidth = width * scale;
    const int shownHeight = height * scale;
    x -= (shownWidth - width) / 2;
    y -= (shownHeight - height) / 2;
    if (SDL_Rect usable{}; SDL_GetDisplayUsableBounds(0, &usable) == 0) {
        x = std::max(usable.x, std::min(x, usable.x + usable.w - shownWidth));
        y = std::max(usable.y, std::min(y, usable.y + usable.h - shownHeight));
    }
    const bool fullscreen = mainWindow_ == kNoWindow && displayMode().fullscreen;
    SDL_Window* window = SDL_CreateWindow(
        title.c_str(), x, y, shownWidth, shownHeight,
        SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN |
            (fullscreen ? std::uint32_t{SDL_WINDOW_FULLSCREEN_DESKTOP} : std::uint32_t{0}));
    if (window == nullptr) {
        return kNoWindow;
    }
    PngImage icon;
    if (readPng(executableFolder() + "icon.png", icon)) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            icon.rgba.data(), icon.width, icon.height, 32, icon.width * 4, SDL_PIXELFORMAT_RGBA32);
        if (surface != nullptr) {
            SDL_SetWindowIcon(window, surface);
            SDL_FreeSurface(surface);
        }
    }
    auto state = std::make_unique<WindowState>();
    state->window = window;
    state->width = width;
    state->height = height;
    state->fullscreen = fullscreen;
    state->restore = {x, y};
    const WindowId id = addWindow(std::move(state), std::move(procedure));
    if (mainWindow_ == kNoWindow) {
        scale_ = scale;
        mainWindow_ = id;
        x11Display_ = x11DisplayOf(window);
    }
    return id;
}

void SdlDesktop::windowDestroyed(WindowId window, WindowRecord& record)
{
    const WindowState& state = static_cast<const WindowState&>(record);
    SDL_DestroyWindow(state.window);
    if (mainWindow_ == window) {
        mainWindow_ = kNoWindow;
        x11Display_ = nullptr;
    }
}

void SdlDesktop::showWindow(WindowId window, ShowCommand command)
{
    WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return;
    }
    switch (command) {
        case ShowCommand::Hide:
            SDL_HideWindow(state->window);
            break;
        case ShowCommand::Minimized:
            SDL_ShowWindow(state->window);
            SDL_MinimizeWindow(state->window);
            break;
        case ShowCommand::Normal:
            SDL_ShowWindow(state->window);
            SDL_RestoreWindow(state->window);
            SDL_RaiseWindow(state->window);
            // Without a window manager nobody hands out the focus; take it.
            SDL_SetWindowInputFocus(state->window);
            state->paintPending = true;
            giveFocus(window);
            return;
    }
    takeFocus(window);
}

Rect SdlDesktop::windowRect(WindowId window) const
{
    const WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return {};
    }
    // The frame's corner on the screen; inside, distances are in frame pixels.
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(state->window, &x, &y);
    const FramePlacement placement = framePlacement(window);
    x += placement.x;
    y += placement.y;
    return {x, y, x + state->width, y + state->height};
}

void SdlDesktop::moveWindow(WindowId window, std::int32_t x, std::int32_t y)
{
    WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return;
    }
    if (state->fullscreen) {
        return;  // the full screen stays where it is
    }
    SDL_SetWindowPosition(state->window, x, y);
    sendMessage(window, WM_MOVE, 0, makeLParam(x, y));
}

bool SdlDesktop::getMessage(Message& message)
{
    for (;;) {
        SDL_Event event;
        // Input is translated one event at a time, once all the previous one posted has been
        // dispatched: a press on the caption must have started the drag before the motion
        // that follows it is looked at, however busy the loop was when both arrived.
        if (queued() == 0 && SDL_PollEvent(&event) != 0) {
            translate(event);
            continue;
        }
        if (const std::optional<bool> got = takeWaiting(message)) {
            return *got;
        }
        // Sleep until input arrives or the next tick is due; never spin. On X11 the sleep is
        // on the server's connection (see X11Wait.h); the next turn polls what woke it.
        const int wait = untilNextTimer();
        if (x11Display_ != nullptr) {
            waitForX11(x11Display_, wait);
            continue;
        }
        const int got = wait < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, wait);
        if (got != 0) {
            translate(event);
        }
    }
}

bool SdlDesktop::movesWindow(LResult hit) const
{
    // A Linux desktop has no window menu to open in the corner, so it drags the window too;
    // the full screen does not move.
    const WindowState* state = findAs<WindowState>(mainWindow_);
    return (hit == HTCAPTION || hit == HTMENU) && state != nullptr && !state->fullscreen;
}

Point SdlDesktop::dragOrigin(Point) const
{
    // The drag follows the pointer in real pixels, which a scaled window's messages do not
    // carry.
    return lastPointer_;
}

void SdlDesktop::dragChanged(bool dragging)
{
    SDL_CaptureMouse(dragging ? SDL_TRUE : SDL_FALSE);
}

void SdlDesktop::mouseEvent(MessageId clientMessage, MessageId frameMessage, std::int32_t x,
                            std::int32_t y)
{
    const WindowId window = captureWindow() != kNoWindow ? captureWindow() : mainWindow_;
    const WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return;
    }
    // The pointer on the screen in real pixels, from the event itself: the X server's cached
    // global position lags behind a synthetic or captured pointer.
    int wx = 0;
    int wy = 0;
    SDL_GetWindowPosition(state->window, &wx, &wy);
    const int gx = wx + x;
    const int gy = wy + y;
    lastPointer_ = {gx, gy};
    if (dragWindow(window, clientMessage, lastPointer_)) {
        return;
    }
    // Window pixels back to game pixels.
    routePointer(window, clientMessage, frameMessage, framePlacement(window).toFrame({x, y}));
}

void SdlDesktop::translate(const SDL_Event& event)
{
    switch (event.type) {
        case SDL_QUIT:
            // The desktop's close request and SIGTERM both end here.
            if (mainWindow_ != kNoWindow) {
                postMessage(mainWindow_, WM_CLOSE, 0, 0);
            }
            break;
        case SDL_WINDOWEVENT: {
            const WindowId window = windowFromSdl(event.window.windowID);
            if (window == kNoWindow) {
                break;
            }
            switch (event.window.event) {
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    ++exposures_;
                    invalidateWindow(window);
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    if (giveFocus(window)) {
                        invalidateWindow(window);
                    }
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    takeFocus(window);
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    postMessage(window, WM_CLOSE, 0, 0);
                    break;
                default:
                    break;
            }
            break;
        }
        case SDL_KEYDOWN:
            if (const std::optional<WParam> key = virtualKey(event.key.keysym.sym)) {
                postMessage(mainWindow_, WM_KEYDOWN, *key, keyFlags(event.key));
            }
            break;
        case SDL_TEXTINPUT:
            for (const char byte : typedToCp1252(event.text.text)) {
                postMessage(mainWindow_, WM_CHAR, static_cast<unsigned char>(byte), 1);
            }
            break;
        case SDL_MOUSEWHEEL: {
            const Sint32 notches =
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            if (notches != 0) {
                postMessage(mainWindow_, WM_MOUSEWHEEL, makeWheelWParam(notches), 0);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            mouseEvent(WM_MOUSEMOVE, 0, event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            WParam bit = 0;
            MessageId client = 0;
            MessageId frame = 0;
            if (event.button.button == SDL_BUTTON_LEFT) {
                bit = MK_LBUTTON;
                client = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
                frame = down ? WM_NCLBUTTONDOWN : WM_NCLBUTTONUP;
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                bit = MK_RBUTTON;
                client = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            } else {
                break;
            }
            setButton(bit, down);
            // A held button keeps the pointer's messages coming even outside the window.
            SDL_CaptureMouse(buttons() != 0 ? SDL_TRUE : SDL_FALSE);
            mouseEvent(client, frame, event.button.x, event.button.y);
            break;
        }
        default:
            break;
    }
}

std::uint64_t SdlDesktop::tickCount() const
{
    return SDL_GetTicks64();
}

Point SdlDesktop::cursorPosition() const
{
    int gx = 0;
    int gy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    const WindowState* state = findAs<WindowState>(mainWindow_);
    if (state == nullptr) {
        return {gx, gy};
    }
    // Over a scaled window the pointer is reported in the game's pixels from the frame's
    // corner (see windowRect).
    int wx = 0;
    int wy = 0;
    SDL_GetWindowPosition(state->window, &wx, &wy);
    const FramePlacement placement = framePlacement(mainWindow_);
    const Point frame = placement.toFrame({gx - wx, gy - wy});
    return {wx + placement.x + frame.x, wy + placement.y + frame.y};
}

void SdlDesktop::setCursorPosition(std::int32_t x, std::int32_t y)
{
    if (!started_) {
        return;
    }
    if (const WindowState* state = findAs<WindowState>(mainWindow_); state != nullptr) {
        int wx = 0;
        int wy = 0;
        SDL_GetWindowPosition(state->window, &wx, &wy);
        const FramePlacement placement = framePlacement(mainWindow_);
        const Point real = placement.fromFrame({x - (wx + placement.x), y - (wy + placement.y)});
        x = wx + real.x;
        y = wy + real.y;
    }
    SDL_WarpMouseGlobal(x, y);
}

int SdlDesktop::showCursor(bool show)
{
    const int counter = QueuedDesktop::showCursor(show);
    if (started_) {
        SDL_ShowCursor(counter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
    return counter;
}

void SdlDesktop::setCursor(CursorShape shape)
{
    if (!started_) {
        return;
    }
    SDL_Cursor* cursor = shape == CursorShape::Game ? gameCursor_ : nullptr;
    SDL_SetCursor(cursor != nullptr ? cursor : SDL_GetDefaultCursor());
}

WindowId SdlDesktop::setCapture(WindowId window)
{
    const WindowId before = QueuedDesktop::setCapture(window);
    if (started_) {
        SDL_CaptureMouse(captureWindow() != kNoWindow ? SDL_TRUE : SDL_FALSE);
    }
    return before;
}

void SdlDesktop::releaseCapture()
{
    QueuedDesktop::releaseCapture();
    if (started_ && buttons() == 0) {
        SDL_CaptureMouse(SDL_FALSE);
    }
}

bool SdlDesktop::setClipboardText(const std::string& text)
{
    return SDL_SetClipboardText(text.c_str()) == 0;
}

std::string SdlDesktop::clipboardText() const
{
    if (SDL_HasClipboardText() != SDL_TRUE) {
        return {};
    }
    char* text = SDL_GetClipboardText();
    if (text == nullptr) {
        return {};
    }
    std::string copy(text);
    SDL_free(text);
    return copy;
}

}  // namespace wordlark::platform::sdl
