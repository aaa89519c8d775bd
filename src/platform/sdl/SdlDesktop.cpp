#include "platform/sdl/SdlDesktop.h"

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <utility>

#include "platform/CodePage.h"
#include "platform/PngImage.h"

namespace wordlark::platform::sdl {

namespace {

// The part of the window that moves it when dragged: the caption band and, since a Linux
// desktop has no window menu to open there, the menu corner too.
bool movesWindow(LResult hit)
{
    return hit == HTCAPTION || hit == HTMENU;
}

std::optional<WParam> virtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WParam>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WParam>(key);
    }
    switch (key) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_F1:
            return VK_F1;
        default:
            return std::nullopt;
    }
}

// Decodes the UTF-8 of a text-input event one character at a time; a malformed sequence
// yields U+FFFD for its first byte and decoding goes on after it.
std::vector<char32_t> decodeUtf8(std::string_view text)
{
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07;
        }
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += length;
    }
    return out;
}

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

SdlDesktop::SdlDesktop(int scale) : scale_(std::clamp(scale, 1, 8)) {}

SdlDesktop::~SdlDesktop()
{
    while (!windows_.empty()) {
        destroyWindow(windows_.begin()->first);
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
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
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

SdlDesktop::WindowState* SdlDesktop::find(WindowId window)
{
    const auto it = windows_.find(window);
    return it != windows_.end() ? &it->second : nullptr;
}

const SdlDesktop::WindowState* SdlDesktop::find(WindowId window) const
{
    const auto it = windows_.find(window);
    return it != windows_.end() ? &it->second : nullptr;
}

WindowId SdlDesktop::windowFromSdl(std::uint32_t sdlId) const
{
    for (const auto& [id, state] : windows_) {
        if (SDL_GetWindowID(state.window) == sdlId) {
            return id;
        }
    }
    return kNoWindow;
}

SDL_Renderer* SdlDesktop::renderer(WindowId window) const
{
    const WindowState* state = find(window);
    return state != nullptr ? state->renderer : nullptr;
}

Point SdlDesktop::screenSize() const
{
    SDL_DisplayMode mode{};
    if (!started_ || SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return {640, 480};
    }
    return {mode.w, mode.h};
}

WindowId SdlDesktop::createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height,
                                  WindowProcedure procedure)
{
    if (!started_ || width <= 0 || height <= 0 || width > 8192 || height > 8192 || !procedure) {
        return kNoWindow;
    }
    // A larger window keeps the centre it was asked for.
    const int shownWidth = width * scale_;
    const int shownHeight = height * scale_;
    x -= (shownWidth - width) / 2;
    y -= (shownHeight - height) / 2;
    SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, shownWidth, shownHeight,
                                          SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        return kNoWindow;
    }
    // Made now, before anyone learns the window: making it recreates the X window.
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer == nullptr) {
        SDL_DestroyWindow(window);
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
    const WindowId id = nextWindow_++;
    WindowState& state = windows_[id];
    state.window = window;
    state.renderer = renderer;
    state.procedure = std::move(procedure);
    state.width = width;
    state.height = height;
    for (const std::uint32_t command :
         {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE}) {
        state.menu[command] = command != SC_RESTORE;
    }
    if (mainWindow_ == kNoWindow) {
        mainWindow_ = id;
    }
    return id;
}

bool SdlDesktop::destroyWindow(WindowId window)
{
    if (find(window) == nullptr) {
        return false;
    }
    sendMessage(window, WM_DESTROY, 0, 0);
    WindowState* state = find(window);
    if (state == nullptr) {
        return true;  // the procedure destroyed it itself
    }
    if (capture_ == window) {
        releaseCapture();
    }
    SDL_DestroyRenderer(state->renderer);
    SDL_DestroyWindow(state->window);
    windows_.erase(window);
    std::erase_if(queue_, [window](const Message& m) { return m.window == window; });
    std::erase_if(timers_, [window](const Timer& t) { return t.window == window; });
    if (focus_ == window) {
        focus_ = kNoWindow;
    }
    if (mainWindow_ == window) {
        mainWindow_ = kNoWindow;
        dragging_ = false;
    }
    return true;
}

void SdlDesktop::showWindow(WindowId window, ShowCommand command)
{
    WindowState* state = find(window);
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
            if (focus_ != window) {
                focus_ = window;
                sendMessage(window, WM_SETFOCUS, 0, 0);
            }
            return;
    }
    if (focus_ == window) {
        focus_ = kNoWindow;
        sendMessage(window, WM_KILLFOCUS, 0, 0);
    }
}

Rect SdlDesktop::windowRect(WindowId window) const
{
    const WindowState* state = find(window);
    if (state == nullptr) {
        return {};
    }
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(state->window, &x, &y);
    return {x, y, x + state->width, y + state->height};
}

void SdlDesktop::moveWindow(WindowId window, std::int32_t x, std::int32_t y)
{
    WindowState* state = find(window);
    if (state == nullptr) {
        return;
    }
    SDL_SetWindowPosition(state->window, x, y);
    sendMessage(window, WM_MOVE, 0, makeLParam(x, y));
}

void SdlDesktop::invalidateWindow(WindowId window)
{
    if (WindowState* state = find(window)) {
        state->paintPending = true;
    }
}

void SdlDesktop::removeMenuItem(WindowId window, std::uint32_t command)
{
    if (WindowState* state = find(window)) {
        state->menu.erase(command);
    }
}

void SdlDesktop::enableMenuItem(WindowId window, std::uint32_t command, bool enabled)
{
    WindowState* state = find(window);
    if (state != nullptr && state->menu.count(command) != 0) {
        state->menu[command] = enabled;
    }
}

bool SdlDesktop::hasMenuItem(WindowId window, std::uint32_t command) const
{
    const WindowState* state = find(window);
    return state != nullptr && state->menu.count(command) != 0;
}

bool SdlDesktop::menuItemEnabled(WindowId window, std::uint32_t command) const
{
    const WindowState* state = find(window);
    if (state == nullptr) {
        return false;
    }
    const auto it = state->menu.find(command);
    return it != state->menu.end() && it->second;
}

bool SdlDesktop::postMessage(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    if (find(window) == nullptr) {
        return false;
    }
    queue_.push_back({window, message, wParam, lParam});
    return true;
}

LResult SdlDesktop::sendMessage(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    const WindowState* state = find(window);
    if (state == nullptr) {
        return 0;
    }
    // A copy: the procedure may destroy its own window while it runs.
    const WindowProcedure procedure = state->procedure;
    return procedure(window, message, wParam, lParam);
}

int SdlDesktop::untilNextTimer() const
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

bool SdlDesktop::nextWaiting(Message& message)
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
    for (auto& [id, state] : windows_) {
        if (state.paintPending) {
            state.paintPending = false;
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

bool SdlDesktop::getMessage(Message& message)
{
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            translate(event);
        }
        if (nextWaiting(message)) {
            return message.message != WM_QUIT;
        }
        if (windows_.empty()) {
            message = {kNoWindow, WM_QUIT, 0, 0};
            return false;
        }
        // Sleep until input arrives or the next tick is due; never spin.
        const int wait = untilNextTimer();
        const int got = wait < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, wait);
        if (got != 0) {
            translate(event);
        }
    }
}

LResult SdlDesktop::dispatchMessage(const Message& message)
{
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
}

void SdlDesktop::postQuitMessage(int code)
{
    quitPosted_ = code;
}

LResult SdlDesktop::defaultProcedure(WindowId window, MessageId message, WParam wParam,
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
        case WM_NCLBUTTONDOWN:
            if (movesWindow(static_cast<LResult>(wParam))) {
                // Dragged by hand: a window manager's own drag is not there in every session.
                dragging_ = true;
                dragFrom_ = lastPointer_;
                SDL_CaptureMouse(SDL_TRUE);
            }
            return 0;
        default:
            return 0;
    }
}

void SdlDesktop::mouseEvent(MessageId clientMessage, MessageId frameMessage, std::int32_t x,
                            std::int32_t y)
{
    const WindowId window = capture_ != kNoWindow ? capture_ : mainWindow_;
    WindowState* state = find(window);
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
    if (dragging_) {
        if (clientMessage == WM_MOUSEMOVE) {
            moveWindow(window, wx + gx - dragFrom_.x, wy + gy - dragFrom_.y);
            dragFrom_ = {gx, gy};
        } else if (buttons_ == 0) {
            dragging_ = false;
            SDL_CaptureMouse(SDL_FALSE);
        }
        return;
    }
    // Window pixels back to game pixels.
    x = x >= 0 ? x / scale_ : -((-x + scale_ - 1) / scale_);
    y = y >= 0 ? y / scale_ : -((-y + scale_ - 1) / scale_);
    const Rect rect = windowRect(window);
    const Point screen{rect.left + x, rect.top + y};
    LResult hit = HTCLIENT;
    if (capture_ == kNoWindow) {
        hit = sendMessage(window, WM_NCHITTEST, 0, makeLParam(screen.x, screen.y));
        sendMessage(window, WM_SETCURSOR, window,
                    static_cast<LParam>((static_cast<std::uint32_t>(clientMessage) << 16) |
                                        static_cast<std::uint16_t>(hit)));
    }
    if (hit == HTCLIENT) {
        postMessage(window, clientMessage, buttons_, makeLParam(x, y));
    } else if (frameMessage != 0 && hit != HTNOWHERE) {
        postMessage(window, frameMessage, static_cast<WParam>(hit), makeLParam(screen.x, screen.y));
    }
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
                    if (focus_ != window) {
                        focus_ = window;
                        sendMessage(window, WM_SETFOCUS, 0, 0);
                        invalidateWindow(window);
                    }
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    if (focus_ == window) {
                        focus_ = kNoWindow;
                        sendMessage(window, WM_KILLFOCUS, 0, 0);
                    }
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
                postMessage(mainWindow_, WM_KEYDOWN, *key, event.key.repeat != 0 ? 0x40000001 : 1);
            }
            break;
        case SDL_TEXTINPUT:
            for (const char32_t cp : decodeUtf8(event.text.text)) {
                if (const std::optional<unsigned char> byte = codePointToCp1252(cp)) {
                    postMessage(mainWindow_, WM_CHAR, *byte, 1);
                }
            }
            break;
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
            buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
            // A held button keeps the pointer's messages coming even outside the window.
            SDL_CaptureMouse(buttons_ != 0 ? SDL_TRUE : SDL_FALSE);
            mouseEvent(client, frame, event.button.x, event.button.y);
            break;
        }
        default:
            break;
    }
}

TimerId SdlDesktop::setTimer(WindowId window, TimerId id, std::uint32_t milliseconds)
{
    if (find(window) == nullptr || id == 0 || milliseconds == 0) {
        return 0;
    }
    killTimer(window, id);
    timers_.push_back({window, id, milliseconds, tickCount() + milliseconds});
    return id;
}

bool SdlDesktop::killTimer(WindowId window, TimerId id)
{
    return std::erase_if(timers_,
                         [&](const Timer& t) { return t.window == window && t.id == id; }) != 0;
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
    if (scale_ == 1 || find(mainWindow_) == nullptr) {
        return {gx, gy};
    }
    // Over a scaled window the pointer is reported in the game's pixels.
    const Rect rect = windowRect(mainWindow_);
    return {rect.left + (gx - rect.left) / scale_, rect.top + (gy - rect.top) / scale_};
}

void SdlDesktop::setCursorPosition(std::int32_t x, std::int32_t y)
{
    if (!started_) {
        return;
    }
    if (scale_ != 1 && find(mainWindow_) != nullptr) {
        const Rect rect = windowRect(mainWindow_);
        x = rect.left + (x - rect.left) * scale_;
        y = rect.top + (y - rect.top) * scale_;
    }
    SDL_WarpMouseGlobal(x, y);
}

int SdlDesktop::showCursor(bool show)
{
    cursorCounter_ += show ? 1 : -1;
    if (started_) {
        SDL_ShowCursor(cursorCounter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
    return cursorCounter_;
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
    const WindowId before = capture_;
    capture_ = find(window) != nullptr ? window : kNoWindow;
    if (started_) {
        SDL_CaptureMouse(capture_ != kNoWindow ? SDL_TRUE : SDL_FALSE);
    }
    return before;
}

void SdlDesktop::releaseCapture()
{
    capture_ = kNoWindow;
    if (started_ && buttons_ == 0) {
        SDL_CaptureMouse(SDL_FALSE);
    }
}

bool SdlDesktop::openHelp(const std::string& path)
{
    // The help is HTML under an old name; a browser recognises it only as .html.
    std::error_code ec;
    const std::filesystem::path copy = std::filesystem::temp_directory_path(ec) /
                                       ("wordlark-help-" + std::to_string(::getuid()) + ".html");
    if (ec) {
        return false;
    }
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        return false;
    }
    const std::string target = copy.string();
    // A short-lived middle child starts the viewer and exits, so the viewer is never ours to
    // wait for and never our zombie.
    const pid_t middle = ::fork();
    if (middle < 0) {
        return false;
    }
    if (middle == 0) {
        ::setsid();
        const pid_t child = ::fork();
        if (child == 0) {
            ::execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::_exit(child < 0 ? 1 : 0);
    }
    int status = 0;
    pid_t waited = 0;
    do {
        waited = ::waitpid(middle, &status, 0);
    } while (waited < 0 && errno == EINTR);
    return waited == middle && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SdlDesktop::launchProgram(const std::string& path)
{
    return startDetached(path);
}

}  // namespace wordlark::platform::sdl
