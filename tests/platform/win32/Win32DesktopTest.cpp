// The desktop on the system's own window and queue: what the seam promises, checked for real.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/WindowHandle.h"

#include <windows.h>

namespace {

using namespace wordlark::platform;
using wordlark::platform::win32::Win32Desktop;

class Win32DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDesktop(&desktop);
        window = desktop.createWindow("Wordlark", 100, 80, 640, 480,
                                      [this](WindowId w, MessageId m, WParam wp, LParam lp) {
                                          return procedure(w, m, wp, lp);
                                      });
        ASSERT_NE(window, kNoWindow);
    }
    void TearDown() override
    {
        desktop.destroyWindow(window);
        setDesktop(nullptr);
    }

    LResult procedure(WindowId w, MessageId message, WParam wParam, LParam lParam)
    {
        if (message >= WM_USER) {
            seen.push_back({w, message, wParam, lParam});
        }
        if (message == WM_USER + 1) {
            // Sent from inside a message: the procedure runs again at once.
            return desktop.sendMessage(w, WM_USER + 2, wParam + 1, 0) + 100;
        }
        if (message == WM_USER + 2) {
            return static_cast<LResult>(wParam);
        }
        if (message == WM_USER + 3) {
            throw std::runtime_error("thrown by the procedure");
        }
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
            ++menuIdles;
        }
        if (message == WM_INITMENUPOPUP) {
            ++menuOpenings;
            menuPopupFor = wParam;
            desktop.enableMenuItem(w, SC_MINIMIZE, true);
            return 1;
        }
        if (message == WM_DESTROY && quitOnDestroy) {
            desktop.postQuitMessage(7);
        }
        return desktop.defaultProcedure(w, message, wParam, lParam);
    }

    // Runs the loop until a message for the window comes out of it (dispatching it), or the
    // loop ends; false when it ended.
    bool pumpUntil(MessageId wanted, Message& got)
    {
        while (desktop.getMessage(got)) {
            desktop.dispatchMessage(got);
            if (got.message == wanted && got.window == window) {
                return true;
            }
        }
        return false;
    }

    Win32Desktop desktop;
    WindowId window = kNoWindow;
    std::vector<Message> seen;
    WParam menuPopupFor = 0;
    int menuOpenings = 0;
    int menuIdles = 0;
    bool quitOnDestroy = false;
};

TEST_F(Win32DesktopTest, MessagesTravelTheSystemQueueUnchanged)
{
    EXPECT_TRUE(desktop.postMessage(window, WM_USER + 5, 11, -12));
    Message got;
    ASSERT_TRUE(pumpUntil(WM_USER + 5, got));
    EXPECT_EQ(got.wParam, 11u);
    EXPECT_EQ(got.lParam, -12);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].window, window);

    // Synchronous and re-entrant: the outer answer includes the inner one.
    EXPECT_EQ(desktop.sendMessage(window, WM_USER + 1, 40, 0), 141);
    EXPECT_EQ(seen.size(), 3u);

    EXPECT_FALSE(desktop.postMessage(kNoWindow, WM_USER + 5, 0, 0));
    EXPECT_EQ(desktop.sendMessage(kNoWindow, WM_USER + 1, 0, 0), 0);
}

TEST_F(Win32DesktopTest, TimerTicksUntilKilled)
{
    EXPECT_EQ(desktop.setTimer(window, 1, 10), 1u);
    const std::uint64_t started = desktop.tickCount();
    Message got;
    ASSERT_TRUE(pumpUntil(WM_TIMER, got));
    EXPECT_EQ(got.wParam, 1u);
    EXPECT_GE(desktop.tickCount() - started, 5u);
    EXPECT_TRUE(desktop.killTimer(window, 1));
    EXPECT_FALSE(desktop.killTimer(window, 1));
    EXPECT_EQ(desktop.setTimer(window, 0, 10), 0u);
}

TEST_F(Win32DesktopTest, CloseDestroysTheWindowAndEndsTheLoop)
{
    quitOnDestroy = true;
    desktop.postMessage(window, WM_CLOSE, 0, 0);
    Message got;
    EXPECT_FALSE(pumpUntil(WM_NULL, got));
    EXPECT_EQ(got.message, WM_QUIT);
    EXPECT_EQ(got.wParam, 7u);
    EXPECT_FALSE(IsWindow(win32::windowHandleOf(window)));
    EXPECT_FALSE(desktop.destroyWindow(window));
    EXPECT_FALSE(desktop.hasMenuItem(window, SC_CLOSE));
}

TEST_F(Win32DesktopTest, ProcedureExceptionsComeOutOfTheCallThatRanIt)
{
    EXPECT_THROW(desktop.sendMessage(window, WM_USER + 3, 0, 0), std::runtime_error);
    desktop.postMessage(window, WM_USER + 3, 0, 0);
    Message got;
    ASSERT_TRUE(desktop.getMessage(got));
    EXPECT_THROW(desktop.dispatchMessage(got), std::runtime_error);
    // Nothing is left over for the next call.
    EXPECT_EQ(desktop.sendMessage(window, WM_USER + 2, 5, 0), 5);
}

TEST_F(Win32DesktopTest, WindowMenuIsTheSystemOne)
{
    EXPECT_TRUE(desktop.hasMenuItem(window, SC_SIZE));
    EXPECT_TRUE(desktop.hasMenuItem(window, SC_MAXIMIZE));
    desktop.removeMenuItem(window, SC_SIZE);
    desktop.removeMenuItem(window, SC_MAXIMIZE);
    EXPECT_FALSE(desktop.hasMenuItem(window, SC_SIZE));
    EXPECT_FALSE(desktop.hasMenuItem(window, SC_MAXIMIZE));
    HMENU menu = GetSystemMenu(win32::windowHandleOf(window), FALSE);
    EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));

    desktop.enableMenuItem(window, SC_MOVE, false);
    EXPECT_FALSE(desktop.menuItemEnabled(window, SC_MOVE));
    desktop.enableMenuItem(window, SC_MOVE, true);
    EXPECT_TRUE(desktop.menuItemEnabled(window, SC_MOVE));

    // The window hears of its window menu by its own id, not by the menu's handle.
    SendMessageA(win32::windowHandleOf(window), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                 MAKELPARAM(0, TRUE));
    EXPECT_EQ(menuPopupFor, window);
    EXPECT_TRUE(desktop.menuItemEnabled(window, SC_MINIMIZE));
}

// The window parks and hides its pointer for the menu and shows it again once the menu waits
// (WM_ENTERIDLE): it must hear that even of a menu closed before it ever waited, and a release
// on the menu corner that no menu took opens one as the press does.
TEST_F(Win32DesktopTest, EveryWindowMenuTellsTheWindowItWaited)
{
    desktop.showWindow(window, ShowCommand::Normal);
    const Rect rect = desktop.windowRect(window);
    const LParam corner = makeLParam(rect.left + 5, rect.top + 5);
    HWND handle = win32::windowHandleOf(window);
    for (const MessageId frame : {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP}) {
        menuOpenings = 0;
        menuIdles = 0;
        // Queued before the menu starts: it closes the menu before its first wait.
        ASSERT_NE(PostMessageA(handle, WM_CANCELMODE, 0, 0), 0);
        EXPECT_EQ(desktop.defaultProcedure(window, frame, static_cast<WParam>(HTMENU), corner), 0);
        EXPECT_EQ(menuOpenings, 1) << frame;
        EXPECT_GE(menuIdles, 1) << frame;
    }
    EXPECT_FALSE(IsIconic(handle));
}

TEST_F(Win32DesktopTest, HitTestCaptureAndPointer)
{
    desktop.showWindow(window, ShowCommand::Normal);
    const Rect rect = desktop.windowRect(window);
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 480);
    EXPECT_EQ(desktop.defaultProcedure(window, WM_NCHITTEST, 0,
                                       makeLParam(rect.left + 10, rect.top + 10)),
              HTCLIENT);
    EXPECT_EQ(desktop.defaultProcedure(window, WM_NCHITTEST, 0,
                                       makeLParam(rect.right + 10, rect.top + 10)),
              HTNOWHERE);

    desktop.moveWindow(window, rect.left + 12, rect.top + 8);
    EXPECT_EQ(desktop.windowRect(window).left, rect.left + 12);
    EXPECT_EQ(desktop.windowRect(window).top, rect.top + 8);

    EXPECT_EQ(desktop.setCapture(window), kNoWindow);
    EXPECT_EQ(desktop.captureWindow(), window);
    EXPECT_EQ(desktop.setCapture(window), window);
    desktop.releaseCapture();
    EXPECT_EQ(desktop.captureWindow(), kNoWindow);

    EXPECT_EQ(desktop.showCursor(false), -1);
    EXPECT_EQ(desktop.showCursor(true), 0);
    desktop.setCursorPosition(rect.left + 50, rect.top + 60);
    EXPECT_EQ(desktop.cursorPosition().x, rect.left + 50);
    EXPECT_EQ(desktop.cursorPosition().y, rect.top + 60);
}

TEST_F(Win32DesktopTest, OnlyRegularFilesAreStarted)
{
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(folder, MAX_PATH), 0u);
    const std::string system(folder);
    EXPECT_FALSE(desktop.launchProgram(system));
    EXPECT_FALSE(desktop.launchProgram(system + "\\no such program.exe"));
    EXPECT_FALSE(desktop.launchProgram(""));
    EXPECT_TRUE(desktop.launchProgram(system + "\\hostname.exe"));
    std::string why;
    EXPECT_FALSE(desktop.openHelp(system + "\\no such help.html", &why));
    EXPECT_NE(why.find("no such help.html"), std::string::npos) << why;
    EXPECT_FALSE(desktop.openHelp(system, &why));
    EXPECT_EQ(why.find(system), 0u) << why;
}

}  // namespace
