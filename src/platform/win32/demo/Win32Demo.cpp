// Win32Demo.cpp -- the Windows backends on their own: a frame, text, a drag and the window menu.
//
// Run it under Wine in a private X server (run-under-wine.sh) or on Windows. It opens the game's
// window through the seam, presents an RGB565 gradient with text drawn by GDI, drags the window
// by its caption band, opens the window menu from the menu corner, closes it and exits. Each
// stage prints a line; "READY name" lines mark moments worth a screenshot, held for --hold
// milliseconds; --trace prints the messages of the window but the frequent ones, --gdi keeps
// DirectDraw out. The exit code is the number of checks that failed.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics/Display.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
#include "platform/Text.h"
#include "platform/win32/DirectDrawVideo.h"
#include "platform/win32/GdiText.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/WindowHandle.h"

#include <windows.h>

namespace {

using namespace wordlark;
using namespace wordlark::platform;

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;

int failures = 0;

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::putchar('\n');
    std::fflush(stdout);
}

void check(bool passed, const char* what)
{
    say("%s: %s", passed ? "ok" : "FAILED", what);
    failures += passed ? 0 : 1;
}

// Real input, so the press travels the way a player's does: hit test, frame message, default.
void sendMouse(DWORD flags, std::int32_t x = 0, std::int32_t y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if ((flags & MOUSEEVENTF_ABSOLUTE) != 0) {
        input.mi.dx = static_cast<LONG>((x * 65535LL) / (GetSystemMetrics(SM_CXSCREEN) - 1));
        input.mi.dy = static_cast<LONG>((y * 65535LL) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    }
    SendInput(1, &input, sizeof(input));
}

void moveMouse(std::int32_t x, std::int32_t y)
{
    sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

// The frame: red across, green down, blue along the diagonal, a white box for centred text,
// and the lines of text the game's screens would write.
void drawFrame(graphics::Display& display)
{
    Surface& frame = display.backBuffer();
    for (std::int32_t y = 0; y < frame.height; ++y) {
        std::uint16_t* row = frame.row16(y);
        for (std::int32_t x = 0; x < frame.width; ++x) {
            row[x] = rgbTo565(static_cast<std::uint8_t>(x * 255 / (kWidth - 1)),
                              static_cast<std::uint8_t>(y * 255 / (kHeight - 1)),
                              static_cast<std::uint8_t>((x + y) * 255 / (kWidth + kHeight - 2)));
        }
    }
    for (std::int32_t y = 150; y < 250; ++y) {
        std::uint16_t* row = frame.row16(y);
        for (std::int32_t x = 40; x < 600; ++x) {
            row[x] = 0xFFFF;
        }
    }
    // The caption band and the menu corner, so a screenshot shows where a press drags or opens.
    for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t x = 0; x < 550; ++x) {
            frame.row16(y)[x] = x < 92 ? 0x001F : 0x39E7;
        }
    }
    for (std::int32_t y = 30; y < 48; ++y) {
        for (std::int32_t x = 0; x < 92; ++x) {
            frame.row16(y)[x] = 0x001F;
        }
    }
    // The text state every screen sets before it writes.
    display.setTextColor(0x000000);
    display.setBackColor(0xFFFFFF);
    display.setBackMode(graphics::kBackTransparent);
    display.setFontParameter(0, 16);
    display.setFontParameter(1, 6);
    display.drawText(60, 160, "Wordlark on Windows: GDI text in the RGB565 frame");
    // Windows-1252 beyond ASCII: e acute, u diaeresis, sharp s, the euro sign.
    display.drawText(60, 180, "Windows-1252: caf\xE9 \xFC \xDF \x80 - ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    display.drawTextBox(40, 205, 560, 20, "centred in its box, 16 high and 6 wide",
                        graphics::kTextCenter);
    display.setBackMode(graphics::kBackOpaque);
    display.setBackColor(0x00FFFF);
    display.drawText(60, 225, "opaque on yellow");
    display.setBackMode(graphics::kBackTransparent);
    display.setTextColor(0xFFFFFF);
    display.setFontParameter(0, 32);
    display.setFontParameter(1, 0);
    display.drawText(60, 300, "Large white text");
    display.invertRect(40, 400, 200, 40);
}

// What the window shows, read back through GDI, must be the frame's colours: exact through
// the 2-3-3 palette on an 8-bit desktop, within the rounding of RGB565 elsewhere.
void checkWindowPixels(WindowId window)
{
    graphics::Display& display = graphics::display();
    const bool converted = display.presentPath() == graphics::Display::PresentPath::Converted;
    HWND handle = win32::windowHandleOf(window);
    HDC dc = GetDC(handle);
    const Point points[] = {{5, 5},     {150, 20},  {20, 100},  {300, 120}, {600, 140},
                            {100, 300}, {500, 300}, {320, 460}, {630, 470}, {100, 420}};
    int wrong = 0;
    for (const Point& point : points) {
        const std::uint16_t pixel = display.backBuffer().row16(point.y)[point.x];
        std::uint8_t r = 0;
        std::uint8_t g = 0;
        std::uint8_t b = 0;
        int tolerance = 8;
        if (converted) {
            const PaletteColor& c = display.paletteColors()[graphics::paletteIndexOf(pixel)];
            r = c.red;
            g = c.green;
            b = c.blue;
            tolerance = 0;
        } else {
            rgb565ToRgb(pixel, r, g, b);
        }
        const COLORREF seen = GetPixel(dc, point.x, point.y);
        const auto within = [tolerance](int a, int b) {
            return a - b <= tolerance && b - a <= tolerance;
        };
        if (!within(GetRValue(seen), r) || !within(GetGValue(seen), g) ||
            !within(GetBValue(seen), b)) {
            say("window pixel %d,%d is %d,%d,%d; the frame wants %d,%d,%d", point.x, point.y,
                GetRValue(seen), GetGValue(seen), GetBValue(seen), r, g, b);
            ++wrong;
        }
    }
    ReleaseDC(handle, dc);
    check(wrong == 0, "the window shows the frame's colours");
}

class DemoWindow {
public:
    DemoWindow(win32::Win32Desktop& desktop, int holdMilliseconds, bool trace)
        : desktop_(desktop), hold_(holdMilliseconds), trace_(trace)
    {
    }

    LResult procedure(WindowId window, MessageId message, WParam wParam, LParam lParam);

private:
    enum class Stage { Waiting, Frame, Drag, Dragged, Menu, MenuOpen, Closing };

    void advance(WindowId window);
    void enter(Stage stage)
    {
        stage_ = stage;
        since_ = GetTickCount64();
    }
    std::uint64_t elapsed() const { return GetTickCount64() - since_; }

    win32::Win32Desktop& desktop_;
    int hold_;
    bool trace_;
    Stage stage_ = Stage::Waiting;
    std::uint64_t since_ = GetTickCount64();
    Rect before_{};
    bool pointerSaved_ = false;
    Point saved_{};
    bool menuSeen_ = false;
};

LResult DemoWindow::procedure(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    graphics::Display& display = graphics::display();
    if (trace_ && message != WM_TIMER && message != WM_NCHITTEST && message != WM_SETCURSOR &&
        message != WM_MOUSEMOVE && message != WM_PAINT) {
        say("message %#x %#llx %#llx", message, static_cast<unsigned long long>(wParam),
            static_cast<unsigned long long>(lParam));
    }
    switch (message) {
        case WM_NCHITTEST: {
            const LResult hit = desktop_.defaultProcedure(window, message, wParam, lParam);
            const Rect rect = desktop_.windowRect(window);
            const std::int32_t dx = pointX(lParam) - rect.left;
            const std::int32_t dy = pointY(lParam) - rect.top;
            if (hit == HTCLIENT && dy < 48 && dx < 92) {
                return HTMENU;
            }
            if (hit == HTCLIENT && dy < 30 && dx < 550) {
                return HTCAPTION;
            }
            return hit;
        }
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
            if (static_cast<LResult>(wParam) == HTMENU) {
                // As the game does: the menu drops from the corner, the pointer parked there.
                const Rect rect = desktop_.windowRect(window);
                pointerSaved_ = true;
                saved_ = {pointX(lParam), pointY(lParam)};
                desktop_.setCursorPosition(rect.left + 5, rect.top + 5);
                desktop_.showCursor(false);
                lParam = makeLParam(rect.left + 5, rect.top + 5);
            }
            return desktop_.defaultProcedure(window, message, wParam, lParam);
        case WM_INITMENUPOPUP:
            if (wParam == window) {
                menuSeen_ = true;
                desktop_.enableMenuItem(window, SC_MINIMIZE, true);
            }
            return 1;
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU && pointerSaved_) {
                desktop_.setCursorPosition(saved_.x, saved_.y);
                desktop_.showCursor(true);
                pointerSaved_ = false;
                return 0;
            }
            return 1;
        case WM_SETFOCUS:
            if (display.isReady()) {
                display.selectPalette();
            }
            return desktop_.defaultProcedure(window, message, wParam, lParam);
        case WM_KILLFOCUS:
            if (display.isReady()) {
                display.restorePalette();
            }
            return 1;
        case WM_ERASEBKGND:
            return 0;
        case WM_PAINT:
            display.present();
            return desktop_.defaultProcedure(window, message, wParam, lParam);
        case WM_TIMER:
            display.present();
            advance(window);
            return 1;
        case WM_DESTROY:
            display.close();
            desktop_.postQuitMessage(failures);
            return desktop_.defaultProcedure(window, message, wParam, lParam);
        default:
            return desktop_.defaultProcedure(window, message, wParam, lParam);
    }
}

void DemoWindow::advance(WindowId window)
{
    const Rect rect = desktop_.windowRect(window);
    switch (stage_) {
        case Stage::Waiting:
            if (elapsed() >= 500) {
                checkWindowPixels(window);
                say("READY frame %d %d", rect.left, rect.top);
                enter(Stage::Frame);
            }
            break;
        case Stage::Frame:
            if (elapsed() >= static_cast<std::uint64_t>(hold_)) {
                // Press on the caption band, move, let go: the system's own move loop runs
                // inside the default handling of the press.
                before_ = rect;
                moveMouse(rect.left + 300, rect.top + 10);
                sendMouse(MOUSEEVENTF_LEFTDOWN);
                for (int step = 1; step <= 8; ++step) {
                    moveMouse(rect.left + 300 + 5 * step, rect.top + 10 + 4 * step);
                }
                sendMouse(MOUSEEVENTF_LEFTUP);
                enter(Stage::Drag);
            }
            break;
        case Stage::Drag:
            if (elapsed() >= 700) {
                say("window moved by %d,%d", rect.left - before_.left, rect.top - before_.top);
                check(rect.left - before_.left == 40 && rect.top - before_.top == 32,
                      "a press on the caption band drags the window");
                enter(Stage::Dragged);
            }
            break;
        case Stage::Dragged:
            if (elapsed() >= 300) {
                moveMouse(rect.left + 20, rect.top + 10);
                sendMouse(MOUSEEVENTF_LEFTDOWN);
                sendMouse(MOUSEEVENTF_LEFTUP);
                enter(Stage::Menu);
            }
            break;
        case Stage::Menu:
            // Ticks keep coming inside the menu's own loop.
            if (elapsed() >= 600) {
                check(menuSeen_, "the menu corner opens the window menu (WM_INITMENUPOPUP)");
                check(!desktop_.hasMenuItem(window, SC_SIZE) &&
                          !desktop_.hasMenuItem(window, SC_MAXIMIZE),
                      "the window menu has no Size and no Maximize");
                check(desktop_.menuItemEnabled(window, SC_MINIMIZE),
                      "the window menu's Minimize is enabled");
                check(!pointerSaved_ && desktop_.showCursor(true) == 1,
                      "the pointer is back and shown once the menu waits");
                desktop_.showCursor(false);
                say("READY menu %d %d", rect.left, rect.top);
                enter(Stage::MenuOpen);
            }
            break;
        case Stage::MenuOpen:
            if (elapsed() >= static_cast<std::uint64_t>(hold_)) {
                EndMenu();
                enter(Stage::Closing);
            }
            break;
        case Stage::Closing:
            if (elapsed() >= 300) {
                say("closing");
                desktop_.postMessage(window, WM_CLOSE, 0, 0);
                enter(Stage::Waiting);
                since_ = ~0ULL >> 1;  // nothing more
            }
            break;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    bool useDirectDraw = true;
    int hold = 2500;
    bool trace = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gdi") == 0) {
            useDirectDraw = false;
        } else if (std::strcmp(argv[i], "--hold") == 0 && i + 1 < argc) {
            hold = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--trace") == 0) {
            trace = true;
        } else {
            std::fprintf(stderr, "usage: win32demo [--gdi] [--hold MILLISECONDS] [--trace]\n");
            return 2;
        }
    }

    win32::Win32Desktop desktop;
    win32::DirectDrawVideo video(useDirectDraw);
    win32::GdiText text(&video);
    setDesktop(&desktop);
    setVideo(&video);
    setTextRenderer(&text);

    DemoWindow demo(desktop, hold, trace);
    const Point screen = desktop.screenSize();
    const WindowId window =
        desktop.createWindow("Wordlark", (screen.x - kWidth) / 2, (screen.y - kHeight) / 2, kWidth,
                             kHeight, [&demo](WindowId w, MessageId m, WParam wp, LParam lp) {
                                 return demo.procedure(w, m, wp, lp);
                             });
    check(window != kNoWindow, "the window is made");
    if (window == kNoWindow) {
        return 1;
    }
    setMainWindow(window);
    desktop.removeMenuItem(window, SC_SIZE);
    desktop.removeMenuItem(window, SC_MAXIMIZE);

    graphics::Display& display = graphics::display();
    check(display.open(window), "the display opens");
    const Surface& desk = display.windowRecord();
    say("screen %dx%d, desktop %d bits, %s path, %s", screen.x, screen.y, desk.bitsPerPixel,
        display.presentPath() == graphics::Display::PresentPath::Converted ? "converted (2-3-3)"
                                                                           : "direct",
        video.directDrawInUse() ? "DirectDraw surfaces" : "GDI DIB sections");
    TextStyle style;
    style.font = display.font();
    style.font.width = 6;
    style.faceName = display.faceName();
    const TextMetrics metrics = text.metrics(style);
    say("font \"%s\" for \"%s\": ascent %d, descent %d, average width %d",
        text.faceChosen(style).c_str(), style.faceName.c_str(), metrics.ascent, metrics.descent,
        metrics.averageWidth);
    check(metrics.height() == 16, "a 16-pixel font request gives a 16-pixel cell");

    const std::uint8_t* pixels = display.backBuffer().pixels;
    drawFrame(display);
    check(display.backBuffer().pixels == pixels, "the frame keeps its address");

    desktop.showWindow(window, ShowCommand::Normal);
    desktop.setTimer(window, 1, 50);
    Message message;
    while (desktop.getMessage(message)) {
        desktop.dispatchMessage(message);
    }
    setTextRenderer(nullptr);
    setVideo(nullptr);
    setDesktop(nullptr);
    say("%d checks failed", failures);
    return failures;
}
