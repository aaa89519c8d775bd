#include "platform/win32/Win32Desktop.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/CodePage.h"
#include "platform/Launch.h"
#include "platform/Messages.h"
#include "platform/win32/ScaledFrame.h"
#include "platform/win32/WindowHandle.h"

// The seam's names for its messages, hit codes and keys, taken before the system's headers
// define the same names as macros.
// clang-format off
#define WORDLARK_SYSTEM_NUMBERS(X)                                                                \
    X(WM_NULL) X(WM_CREATE) X(WM_DESTROY) X(WM_MOVE) X(WM_SETFOCUS) X(WM_KILLFOCUS) X(WM_PAINT)   \
    X(WM_CLOSE) X(WM_QUIT) X(WM_ERASEBKGND) X(WM_ACTIVATEAPP) X(WM_SETCURSOR) X(WM_DISPLAYCHANGE) \
    X(WM_NCHITTEST) X(WM_NCLBUTTONDOWN) X(WM_NCLBUTTONUP) X(WM_KEYDOWN) X(WM_KEYUP) X(WM_CHAR)    \
    X(WM_SYSCOMMAND) X(WM_TIMER) X(WM_INITMENUPOPUP) X(WM_ENTERIDLE) X(WM_MOUSEMOVE)              \
    X(WM_LBUTTONDOWN) X(WM_LBUTTONUP) X(WM_LBUTTONDBLCLK) X(WM_RBUTTONDOWN) X(WM_RBUTTONUP)       \
    X(WM_MOUSEWHEEL)                                                                              \
    X(WM_USER) X(HTNOWHERE) X(HTCLIENT) X(HTCAPTION) X(HTMENU)                                    \
    X(SC_SIZE) X(SC_MOVE) X(SC_MINIMIZE) X(SC_MAXIMIZE) X(SC_CLOSE) X(SC_RESTORE) X(MSGF_MENU)    \
    X(MK_LBUTTON) X(MK_RBUTTON) X(VK_BACK) X(VK_TAB) X(VK_RETURN) X(VK_SHIFT) X(VK_CONTROL)       \
    X(VK_ESCAPE) X(VK_SPACE) X(VK_LEFT) X(VK_UP) X(VK_RIGHT) X(VK_DOWN) X(VK_DELETE) X(VK_F1)    \
    X(VK_MENU) X(VK_PRIOR) X(VK_NEXT) X(VK_END) X(VK_HOME) X(VK_F2) X(VK_F3) X(VK_F4) X(VK_F5)     \
    X(VK_F6) X(VK_F7) X(VK_F8) X(VK_F9) X(VK_F10) X(VK_F11) X(VK_F12) X(WM_SYSCHAR)
// clang-format on
namespace seamNumbers {
#define WORDLARK_TAKE(name) constexpr long long seam_##name = wordlark::platform::name;
WORDLARK_SYSTEM_NUMBERS(WORDLARK_TAKE)
#undef WORDLARK_TAKE
}  // namespace seamNumbers

#include <windows.h>

// Messages pass between the system and the game unchanged, so every number the game's rules
// name must be the system's own.
#define WORDLARK_SAME(name) \
    static_assert(seamNumbers::seam_##name == static_cast<long long>(name), #name);
WORDLARK_SYSTEM_NUMBERS(WORDLARK_SAME)
#undef WORDLARK_SAME
#undef WORDLARK_SYSTEM_NUMBERS

static_assert(sizeof(wordlark::platform::WParam) == sizeof(WPARAM));
static_assert(sizeof(wordlark::platform::LParam) == sizeof(LPARAM));
static_assert(sizeof(wordlark::platform::LResult) == sizeof(LRESULT));

namespace wordlark::platform::win32 {

namespace {

constexpr const char* kClassName = "Vek";
constexpr int kIconResource = 104;
constexpr int kCursorResource = 102;
// Sent to a window that moved to a monitor of another density (Windows 8.1 on).
constexpr UINT kDpiChanged = 0x02E0;

// The work area or the whole of a monitor: the window's, or the primary one without a window.
RECT monitorArea(HWND window, bool work)
{
    const POINT origin{0, 0};
    HMONITOR monitor = window != nullptr ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                         : MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || GetMonitorInfoA(monitor, &info) == 0) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return work ? info.rcWork : info.rcMonitor;
}

// The point in the window's client area, or a client point on the screen.
bool isClientMouseMessage(UINT message)
{
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ||
           message == WM_RBUTTONDBLCLK;
}

// Keeps a window of `width` x `height` whose corner is at (x, y) inside `area` where it can.
POINT keptInside(LONG x, LONG y, LONG width, LONG height, const RECT& area)
{
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    return {x, y};
}

HMENU windowMenu(WindowId window)
{
    HWND handle = windowHandleOf(window);
    return IsWindow(handle) ? GetSystemMenu(handle, FALSE) : nullptr;
}

}  // namespace

Win32Desktop::Win32Desktop() : ansiIs1252_(GetACP() == 1252) {}

Win32Desktop::~Win32Desktop()
{
    while (!windows_.empty()) {
        HWND window = windows_.begin()->first;
        if (DestroyWindow(window) == 0) {
            // Not ours to destroy any more (another thread's, or gone): forget it.
            windows_.erase(window);
        }
    }
    if (classRegistered_) {
        UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
    }
}

bool Win32Desktop::registerClass()
{
    if (classRegistered_) {
        return true;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    gameCursor_ = LoadCursorA(instance, MAKEINTRESOURCEA(kCursorResource));
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = 0;
    windowClass.lpfnWndProc = &Win32Desktop::windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon != nullptr ? icon : LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = windowClass.hIcon;
    // The game's pointer over its window; the arrow when the executable carries none.
    windowClass.hCursor = gameCursor_ != nullptr ? gameCursor_ : LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // the game paints every pixel itself
    windowClass.lpszClassName = kClassName;
    classRegistered_ = RegisterClassExA(&windowClass) != 0;
    return classRegistered_;
}

Point Win32Desktop::screenSize() const
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Point Win32Desktop::workArea() const
{
    const RECT area = monitorArea(gameWindow_, true);
    return {area.right - area.left, area.bottom - area.top};
}

void Win32Desktop::setDisplayMode(const DisplayMode& mode)
{
    const DisplayMode before = displayMode();
    Desktop::setDisplayMode(mode);
    if (gameWindow_ != nullptr && !(before == mode)) {
        applyDisplayMode();
    }
}

void Win32Desktop::applyDisplayMode()
{
    HWND window = gameWindow_;
    const DisplayMode& mode = displayMode();
    const Point area = workArea();
    if (const std::string note = scaleLoweredNote(mode, area); !note.empty()) {
        std::fprintf(stderr, "wordlark: %s\n", note.c_str());
    }
    const int scale = platform::windowScale(mode, area);
    RECT now{};
    GetWindowRect(window, &now);
    markScaledFrame(window, mode.fullscreen && mode.smooth);
    if (mode.fullscreen) {
        if (!fullscreen_) {
            restore_ = {now.left, now.top, now.right, now.bottom};
            fullscreen_ = true;
        }
        const RECT screen = monitorArea(window, false);
        SetWindowPos(window, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                     screen.bottom - screen.top, SWP_NOACTIVATE | SWP_FRAMECHANGED);
    } else {
        // Back from the full screen at its old corner, or a new scale about the old centre.
        LONG x = now.left + (now.right - now.left - kFrameWidth * scale) / 2;
        LONG y = now.top + (now.bottom - now.top - kFrameHeight * scale) / 2;
        if (fullscreen_) {
            x = restore_.left;
            y = restore_.top;
            fullscreen_ = false;
        }
        const POINT corner =
            keptInside(x, y, kFrameWidth * scale, kFrameHeight * scale, monitorArea(window, true));
        SetWindowPos(window, nullptr, corner.x, corner.y, kFrameWidth * scale, kFrameHeight * scale,
                     SWP_NOACTIVATE | SWP_NOZORDER);
    }
    InvalidateRect(window, nullptr, FALSE);
    rethrowPending();
}

Point Win32Desktop::toGame(HWND window, Point screen) const
{
    const std::optional<FramePlacement> placement = scaledFramePlacement(window);
    RECT rect{};
    if (!placement || GetWindowRect(window, &rect) == 0) {
        return screen;
    }
    const Point frame = placement->toFrame({screen.x - rect.left, screen.y - rect.top});
    return {rect.left + placement->x + frame.x, rect.top + placement->y + frame.y};
}

Point Win32Desktop::toScreen(HWND window, Point game) const
{
    const std::optional<FramePlacement> placement = scaledFramePlacement(window);
    RECT rect{};
    if (!placement || GetWindowRect(window, &rect) == 0) {
        return game;
    }
    const Point real = placement->fromFrame(
        {game.x - (rect.left + placement->x), game.y - (rect.top + placement->y)});
    return {rect.left + real.x, rect.top + real.y};
}

WindowId Win32Desktop::createWindow(const std::string& title, std::int32_t x, std::int32_t y,
                                    std::int32_t width, std::int32_t height,
                                    WindowProcedure procedure)
{
    if (!procedure || width <= 0 || height <= 0 || !registerClass()) {
        return kNoWindow;
    }
    // The first window is the game's: enlarged about the centre it was asked for, inside the
    // work area, or filling the monitor.
    const bool game = gameWindow_ == nullptr && width == kFrameWidth && height == kFrameHeight;
    const int scale = game ? platform::windowScale(displayMode(), workArea()) : 1;
    if (game) {
        if (const std::string note = scaleLoweredNote(displayMode(), workArea()); !note.empty()) {
            std::fprintf(stderr, "wordlark: %s\n", note.c_str());
        }
        x -= (width * scale - width) / 2;
        y -= (height * scale - height) / 2;
        width *= scale;
        height *= scale;
        const POINT corner = keptInside(x, y, width, height, monitorArea(nullptr, true));
        x = corner.x;
        y = corner.y;
        restore_ = {x, y, x + width, y + height};
        if (displayMode().fullscreen) {
            const RECT screen = monitorArea(nullptr, false);
            x = screen.left;
            y = screen.top;
            width = screen.right - screen.left;
            height = screen.bottom - screen.top;
        }
    }
    auto record = std::make_unique<WindowRecord>();
    record->desktop = this;
    record->procedure = std::move(procedure);
    // The record reaches the procedure with the first message (WM_NCCREATE), so the game sees
    // every message of its window from creation on.
    HWND window =
        CreateWindowExA(0, kClassName, title.c_str(), WS_POPUP | WS_MINIMIZE | WS_SYSMENU, x, y,
                        width, height, nullptr, nullptr, GetModuleHandleA(nullptr), record.get());
    if (window != nullptr) {
        windows_[window] = std::move(record);
        if (game) {
            gameWindow_ = window;
            fullscreen_ = displayMode().fullscreen;
            markScaledFrame(window, displayMode().fullscreen && displayMode().smooth);
        }
    }
    rethrowPending();
    return window != nullptr ? windowIdOf(window) : kNoWindow;
}

bool Win32Desktop::destroyWindow(WindowId window)
{
    HWND handle = windowHandleOf(window);
    if (windows_.count(handle) == 0) {
        return false;
    }
    const bool destroyed = DestroyWindow(handle) != 0;
    rethrowPending();
    return destroyed;
}

void Win32Desktop::showWindow(WindowId window, ShowCommand command)
{
    HWND handle = windowHandleOf(window);
    switch (command) {
        case ShowCommand::Hide:
            ShowWindow(handle, SW_HIDE);
            break;
        case ShowCommand::Normal:
            ShowWindow(handle, SW_SHOWNORMAL);
            UpdateWindow(handle);
            break;
        case ShowCommand::Minimized:
            ShowWindow(handle, SW_SHOWMINIMIZED);
            break;
    }
    rethrowPending();
}

Rect Win32Desktop::windowRect(WindowId window) const
{
    HWND handle = windowHandleOf(window);
    RECT rect{};
    if (GetWindowRect(handle, &rect) == 0) {
        return {};
    }
    // A scaled window is the frame at its place on the screen, in the frame's pixels.
    if (const std::optional<FramePlacement> placement = scaledFramePlacement(handle)) {
        rect.left += placement->x;
        rect.top += placement->y;
        return {rect.left, rect.top, rect.left + kFrameWidth, rect.top + kFrameHeight};
    }
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void Win32Desktop::moveWindow(WindowId window, std::int32_t x, std::int32_t y)
{
    HWND handle = windowHandleOf(window);
    if (handle == gameWindow_ && fullscreen_) {
        return;  // the full screen stays where it is
    }
    if (const std::optional<FramePlacement> placement = scaledFramePlacement(handle)) {
        x -= placement->x;
        y -= placement->y;
    }
    SetWindowPos(handle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    rethrowPending();
}

void Win32Desktop::invalidateWindow(WindowId window)
{
    InvalidateRect(windowHandleOf(window), nullptr, FALSE);
}

void Win32Desktop::removeMenuItem(WindowId window, std::uint32_t command)
{
    if (HMENU menu = windowMenu(window)) {
        DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

void Win32Desktop::enableMenuItem(WindowId window, std::uint32_t command, bool enabled)
{
    if (HMENU menu = windowMenu(window)) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        if (preparingMenu_) {
            menuChanges_.emplace_back(command, enabled);
        }
    }
}

bool Win32Desktop::hasMenuItem(WindowId window, std::uint32_t command) const
{
    HMENU menu = windowMenu(window);
    return menu != nullptr && GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

bool Win32Desktop::menuItemEnabled(WindowId window, std::uint32_t command) const
{
    HMENU menu = windowMenu(window);
    if (menu == nullptr) {
        return false;
    }
    const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool Win32Desktop::postMessage(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    HWND handle = windowHandleOf(window);
    // A null window would make it a message to the thread, which no procedure sees.
    return handle != nullptr && PostMessageA(handle, message, wParam, lParam) != 0;
}

LResult Win32Desktop::sendMessage(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    HWND handle = windowHandleOf(window);
    if (!IsWindow(handle)) {
        return 0;
    }
    const LRESULT result = SendMessageA(handle, message, wParam, lParam);
    rethrowPending();
    return result;
}

bool Win32Desktop::getMessage(Message& message)
{
    MSG msg{};
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    rethrowPending();
    if (got <= 0) {
        // A failing queue ends the loop like a quit, with its code when there is one.
        message = {kNoWindow, WM_QUIT, got == 0 ? msg.wParam : 0, 0};
        return false;
    }
    // Key presses become typed characters (WM_CHAR) behind this message, as the loop of any
    // window does.
    TranslateMessage(&msg);
    message = {windowIdOf(msg.hwnd), msg.message, msg.wParam, msg.lParam};
    return true;
}

LResult Win32Desktop::dispatchMessage(const Message& message)
{
    MSG msg{};
    msg.hwnd = windowHandleOf(message.window);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    msg.time = static_cast<DWORD>(GetMessageTime());
    const DWORD position = GetMessagePos();
    msg.pt = {static_cast<SHORT>(LOWORD(position)), static_cast<SHORT>(HIWORD(position))};
    const LRESULT result = DispatchMessageA(&msg);
    rethrowPending();
    return result;
}

void Win32Desktop::postQuitMessage(int code)
{
    PostQuitMessage(code);
}

LResult Win32Desktop::defaultProcedure(WindowId window, MessageId message, WParam wParam,
                                       LParam lParam)
{
    HWND handle = windowHandleOf(window);
    if (!IsWindow(handle)) {
        return 0;
    }
    if (message == WM_NCHITTEST || message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONUP) {
        // The game's point back on the real screen.
        const Point real = toScreen(handle, {pointX(lParam), pointY(lParam)});
        lParam = makeLParam(real.x, real.y);
        if (message == WM_NCLBUTTONDOWN && wParam == HTCAPTION && handle == gameWindow_ &&
            fullscreen_) {
            return 0;  // the full screen is not dragged
        }
    }
    if ((message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONUP) && wParam == HTMENU &&
        GetMenu(handle) == nullptr) {
        // The game's menu corner stands for the window menu's button, which a window without a
        // caption does not have. A release reaches the window only when no menu took it (the
        // press fell elsewhere, or the menu closed with the button still held); the window has
        // hidden its pointer for a menu then too, and only a menu that waits gives it back.
        if (!trackingMenu_) {
            openWindowMenu(handle, {pointX(lParam), pointY(lParam)});
            rethrowPending();
        }
        return 0;
    }
    if (message == WM_INITMENUPOPUP && wParam == window) {
        wParam = reinterpret_cast<WPARAM>(GetSystemMenu(handle, FALSE));
    }
    const LRESULT result = DefWindowProcA(handle, message, wParam, lParam);
    rethrowPending();
    return result;
}

TimerId Win32Desktop::setTimer(WindowId window, TimerId id, std::uint32_t milliseconds)
{
    HWND handle = windowHandleOf(window);
    if (id == 0 || milliseconds == 0 || !IsWindow(handle)) {
        return 0;
    }
    return static_cast<TimerId>(SetTimer(handle, id, milliseconds, nullptr));
}

bool Win32Desktop::killTimer(WindowId window, TimerId id)
{
    return KillTimer(windowHandleOf(window), id) != 0;
}

std::uint64_t Win32Desktop::tickCount() const
{
    return GetTickCount64();
}

Point Win32Desktop::cursorPosition() const
{
    POINT point{};
    GetCursorPos(&point);
    return gameWindow_ != nullptr ? toGame(gameWindow_, {point.x, point.y})
                                  : Point{point.x, point.y};
}

void Win32Desktop::setCursorPosition(std::int32_t x, std::int32_t y)
{
    const Point real = gameWindow_ != nullptr ? toScreen(gameWindow_, {x, y}) : Point{x, y};
    SetCursorPos(real.x, real.y);
}

int Win32Desktop::showCursor(bool show)
{
    return ShowCursor(show ? TRUE : FALSE);
}

void Win32Desktop::setCursor(CursorShape shape)
{
    HCURSOR cursor = shape == CursorShape::Game ? gameCursor_ : nullptr;
    SetCursor(cursor != nullptr ? cursor : LoadCursorA(nullptr, IDC_ARROW));
}

WindowId Win32Desktop::setCapture(WindowId window)
{
    return windowIdOf(SetCapture(windowHandleOf(window)));
}

void Win32Desktop::releaseCapture()
{
    ReleaseCapture();
}

WindowId Win32Desktop::captureWindow() const
{
    return windowIdOf(GetCapture());
}

bool Win32Desktop::openHelp(const std::string& path, std::string* why)
{
    return openHelpPage(path, why);
}

bool Win32Desktop::launchProgram(const std::string& path)
{
    return startDetached(path);
}

// The system's clipboard takes UTF-16 text, which every program reads.
bool Win32Desktop::setClipboardText(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length) * sizeof(wchar_t));
    if (memory == nullptr) {
        return false;
    }
    auto* wide = static_cast<wchar_t*>(GlobalLock(memory));
    const bool converted =
        wide != nullptr && MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, length) > 0;
    if (wide != nullptr) {
        GlobalUnlock(memory);
    }
    if (!converted || OpenClipboard(nullptr) == 0) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // Once the clipboard holds it, the memory is the system's.
    const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!put) {
        GlobalFree(memory);
    }
    return put;
}

std::string Win32Desktop::clipboardText() const
{
    if (OpenClipboard(nullptr) == 0) {
        return {};
    }
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data)); wide != nullptr) {
            const int length =
                WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (length > 1) {
                text.resize(static_cast<std::size_t>(length));
                WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
                text.resize(static_cast<std::size_t>(length - 1));
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void Win32Desktop::openWindowMenu(HWND window, Point at)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) {
        return;
    }
    // The items are set as the system sets them for its own button, before the window hears
    // of the menu (WM_INITMENUPOPUP), so that what the window changes then holds.
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const bool minimised = IsIconic(window) != 0;
    const bool maximised = IsZoomed(window) != 0;
    const auto enable = [menu](UINT command, bool enabled) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(SC_RESTORE, minimised || maximised);
    enable(SC_MOVE, !maximised);
    enable(SC_SIZE, (style & WS_THICKFRAME) != 0 && !minimised && !maximised);
    enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) != 0 && !minimised);
    enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) != 0 && !maximised);
    // Tracked as a popup menu: the system's own tracking of the window menu from a press ends
    // at the release unless it falls on the caption's button, which this window lacks.
    menuWaited_ = false;
    trackingMenu_ = true;
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x,
                       at.y, 0, window, nullptr));
    trackingMenu_ = false;
    if (!menuWaited_ && IsWindow(window)) {
        // A menu ended by input already queued (a key typed ahead, a cancel) never waits, so the
        // window would not hear WM_ENTERIDLE and would keep its pointer parked and hidden. It
        // hears it now, before the choice is carried out.
        SendMessageA(window, WM_ENTERIDLE, MSGF_MENU, 0);
    }
    if (command != 0 && IsWindow(window)) {
        SendMessageA(window, WM_SYSCOMMAND, command, MAKELPARAM(at.x, at.y));
    }
}

void Win32Desktop::rethrowPending()
{
    if (pending_) {
        std::exception_ptr pending = std::exchange(pending_, nullptr);
        std::rethrow_exception(pending);
    }
}

LRESULT CALLBACK Win32Desktop::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam)
{
    auto* record = reinterpret_cast<WindowRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (record == nullptr && message == WM_NCCREATE) {
        record =
            static_cast<WindowRecord*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    }
    if (record == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    Win32Desktop& desktop = *record->desktop;
    LRESULT result = 0;
    if (!desktop.pending_) {
        try {
            result = desktop.deliver(window, *record, message, wParam, lParam);
        } catch (...) {
            desktop.pending_ = std::current_exception();
        }
    } else {
        result = DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        desktop.windows_.erase(window);
    }
    return result;
}

LResult Win32Desktop::deliver(HWND window, WindowRecord& record, std::uint32_t message,
                              WParam wParam, LParam lParam)
{
    if (message == WM_INITMENUPOPUP &&
        (HIWORD(lParam) != 0 || wParam == reinterpret_cast<WPARAM>(GetSystemMenu(window, FALSE)))) {
        // The game knows its window menu by the window's id. What it changes in the menu now is
        // kept: some systems (Wine) set the items of the window menu only after telling the
        // window, and it is set again once the menu waits.
        menuChanges_.clear();
        preparingMenu_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{preparingMenu_};
        const WindowProcedure procedure = record.procedure;
        return procedure(windowIdOf(window), message, windowIdOf(window), lParam);
    }
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        menuWaited_ = true;
    }
    if (window == gameWindow_ && message == kDpiChanged) {
        // Moved to a monitor of another density: fitted again to that monitor's work area.
        if (!fullscreen_) {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        applyDisplayMode();
        return 0;
    }
    if (window == gameWindow_ && message == WM_NCDESTROY) {
        unmarkScaledFrame(window);
        gameWindow_ = nullptr;
    }
    if (const std::optional<FramePlacement> placement = scaledFramePlacement(window)) {
        // The system's real pixels as the frame's.
        if (isClientMouseMessage(message)) {
            const Point frame = placement->toFrame({pointX(lParam), pointY(lParam)});
            lParam = makeLParam(frame.x, frame.y);
        } else if (message == WM_NCHITTEST || message == WM_NCLBUTTONDOWN ||
                   message == WM_NCLBUTTONUP) {
            const Point real{pointX(lParam), pointY(lParam)};
            RECT rect{};
            GetWindowRect(window, &rect);
            const Point inside{real.x - rect.left, real.y - rect.top};
            if (message == WM_NCHITTEST && (inside.x < placement->x || inside.y < placement->y ||
                                            inside.x >= placement->x + placement->width ||
                                            inside.y >= placement->y + placement->height)) {
                return HTNOWHERE;  // the black around the frame in the full screen
            }
            const Point game = toGame(window, real);
            lParam = makeLParam(game.x, game.y);
        }
    }
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !menuChanges_.empty()) {
        HMENU menu = GetSystemMenu(window, FALSE);
        for (const auto& [command, enabled] : menuChanges_) {
            EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        }
        menuChanges_.clear();
        // lParam is the menu's own window, drawn already with the items as they were.
        if (HWND menuWindow = reinterpret_cast<HWND>(lParam); IsWindow(menuWindow)) {
            InvalidateRect(menuWindow, nullptr, TRUE);
        }
    } else if (message == WM_CHAR && !ansiIs1252_) {
        // The window's characters come in the system's code page; the game reads Windows-1252
        // and has no use for a character outside it.
        const char byte = static_cast<char>(wParam & 0xFF);
        wchar_t wide = 0;
        if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) != 1) {
            return 0;
        }
        const std::optional<unsigned char> converted = codePointToCp1252(wide);
        if (!converted) {
            return 0;
        }
        wParam = *converted;
    }
    if (message == WM_SYSKEYDOWN && (wParam == VK_F10 || wParam == VK_RETURN)) {
        // F10 and Alt+Enter are the game's keys, not the window menu's: they come as the keys
        // they are, with Alt told in lParam as the system tells it.
        message = WM_KEYDOWN;
    } else if (message == WM_SYSKEYUP && wParam == VK_F10) {
        // Let go, F10 would still open the window menu.
        message = WM_KEYUP;
    }
    if (message == WM_KEYDOWN && GetKeyState(VK_SHIFT) < 0) {
        lParam |= kKeyShiftHeld;
    }
    // A copy: the procedure may destroy its own window, and the record with it, while it runs.
    const WindowProcedure procedure = record.procedure;
    return procedure(windowIdOf(window), message, wParam, lParam);
}

}  // namespace wordlark::platform::win32
