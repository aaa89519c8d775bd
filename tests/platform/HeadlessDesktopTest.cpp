#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Launch.h"
#include "platform/headless/HeadlessDesktop.h"
#include "support/TempDir.h"

namespace wordlark::platform {
namespace {

using headless::HeadlessDesktop;
using headless::MouseButton;

TEST(MessagesTest, PointsTravelAsSigned16BitHalves)
{
    const LParam packed = makeLParam(-5, 300);
    EXPECT_EQ(pointX(packed), -5);
    EXPECT_EQ(pointY(packed), 300);
    EXPECT_EQ(loWord(static_cast<std::uintptr_t>(packed)), 0xFFFB);
    EXPECT_EQ(hiWord(static_cast<std::uintptr_t>(packed)), 300);
    // A coordinate beyond 16 bits wraps, as the packing always did.
    EXPECT_EQ(pointX(makeLParam(65536 + 7, 0)), 7);
    EXPECT_EQ(pointY(makeLParam(0, -32768)), -32768);
}

class HeadlessDesktopTest : public ::testing::Test {
protected:
    WindowId makeWindow()
    {
        return desk.createWindow("t", 100, 50, 640, 480,
                                 [this](WindowId w, MessageId m, WParam wp, LParam lp) {
                                     return procedure(w, m, wp, lp);
                                 });
    }

    LResult procedure(WindowId w, MessageId m, WParam wp, LParam lp)
    {
        seen.push_back({w, m, wp, lp});
        if (hook) {
            if (auto answer = hook(w, m, wp, lp)) {
                return *answer;
            }
        }
        return desk.defaultProcedure(w, m, wp, lp);
    }

    std::vector<MessageId> seenIds() const
    {
        std::vector<MessageId> ids;
        for (const Message& m : seen) {
            ids.push_back(m.message);
        }
        return ids;
    }

    HeadlessDesktop desk;
    std::vector<Message> seen;
    std::function<std::optional<LResult>(WindowId, MessageId, WParam, LParam)> hook;
};

TEST_F(HeadlessDesktopTest, PostedMessagesComeInOrderAndSendsReenter)
{
    const WindowId w = makeWindow();
    ASSERT_NE(w, kNoWindow);
    // Handling 0x500 sends 0x501 synchronously: it is seen inside, before 0x502 is dispatched.
    hook = [&](WindowId win, MessageId m, WParam, LParam) -> std::optional<LResult> {
        if (m == 0x500) {
            EXPECT_EQ(desk.sendMessage(win, 0x501, 0, 0), 42);
            return 1;
        }
        if (m == 0x501) {
            return 42;
        }
        return std::nullopt;
    };
    desk.postMessage(w, 0x500, 0, 0);
    desk.postMessage(w, 0x502, 0, 0);
    desk.postQuitMessage(7);
    desk.postMessage(w, 0x503, 0, 0);
    Message m;
    std::vector<MessageId> order;
    while (desk.getMessage(m)) {
        desk.dispatchMessage(m);
        order.push_back(m.message);
    }
    // The quit waits behind every posted message and carries its code.
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(order, (std::vector<MessageId>{0x500, 0x502, 0x503}));
    EXPECT_EQ(seenIds(), (std::vector<MessageId>{0x500, 0x501, 0x502, 0x503}));
    EXPECT_FALSE(desk.postMessage(999, 0x500, 0, 0));
    EXPECT_EQ(desk.sendMessage(999, 0x500, 0, 0), 0);
}

TEST_F(HeadlessDesktopTest, TimerTicksCoalesceAndStopWithTheWindow)
{
    const WindowId w = makeWindow();
    EXPECT_EQ(desk.setTimer(w, 1, 50), 1u);
    desk.tick(3);
    const std::vector<MessageId> ids = seenIds();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), WM_TIMER), 3);
    EXPECT_EQ(desk.tickCount(), 150u);
    // A long stall brings one tick, not a burst.
    seen.clear();
    desk.advanceClock(1000);
    desk.pump();
    EXPECT_EQ(seenIds(), std::vector<MessageId>{WM_TIMER});
    EXPECT_EQ(seen[0].wParam, 1u);
    EXPECT_TRUE(desk.killTimer(w, 1));
    EXPECT_FALSE(desk.killTimer(w, 1));
    seen.clear();
    desk.tick(2);
    EXPECT_TRUE(seen.empty());

    // Destroying sends WM_DESTROY, drops what was queued and stops the timers.
    desk.setTimer(w, 1, 50);
    desk.postMessage(w, 0x500, 0, 0);
    seen.clear();
    EXPECT_TRUE(desk.destroyWindow(w));
    EXPECT_EQ(seenIds(), std::vector<MessageId>{WM_DESTROY});
    EXPECT_EQ(desk.queued(), 0u);
    EXPECT_FALSE(desk.timerRunning(w, 1));
    EXPECT_FALSE(desk.destroyWindow(w));
}

TEST_F(HeadlessDesktopTest, PressesGoWhereTheHitTestSays)
{
    const WindowId w = makeWindow();
    // The top band answers as a caption; the rest stays client area.
    hook = [&](WindowId, MessageId m, WParam, LParam lp) -> std::optional<LResult> {
        if (m == WM_NCHITTEST && pointY(lp) - 50 < 30) {
            return HTCAPTION;
        }
        return std::nullopt;
    };
    desk.mouseMove(200, 300);
    desk.mouseButton(MouseButton::Left, true, 200, 300);
    desk.pump();
    ASSERT_FALSE(seen.empty());
    const Message& press = seen.back();
    EXPECT_EQ(press.message, WM_LBUTTONDOWN);
    EXPECT_EQ(pointX(press.lParam), 200);
    EXPECT_EQ(pointY(press.lParam), 300);
    EXPECT_EQ(press.wParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(desk.cursorPosition().x, 300);
    EXPECT_EQ(desk.cursorShape(), CursorShape::Game);
    desk.mouseButton(MouseButton::Left, false, 200, 300);

    // A press in the band reaches the frame with screen coordinates and drags the window.
    seen.clear();
    desk.mouseButton(MouseButton::Left, true, 10, 10);
    desk.pump();
    EXPECT_EQ(seen.back().message, WM_NCLBUTTONDOWN);
    EXPECT_EQ(static_cast<LResult>(seen.back().wParam), HTCAPTION);
    EXPECT_EQ(pointX(seen.back().lParam), 110);
    // Left to the default handling, the band is not the window's own: the desktop's arrow.
    EXPECT_EQ(desk.cursorShape(), CursorShape::Arrow);
    desk.mouseMove(40, 25);
    desk.mouseButton(MouseButton::Left, false, 40, 25);
    desk.pump();
    const Rect moved = desk.windowRect(w);
    EXPECT_EQ(moved.left, 130);
    EXPECT_EQ(moved.top, 65);
    EXPECT_EQ(moved.right - moved.left, 640);
}

TEST_F(HeadlessDesktopTest, PointerCounterCaptureAndMenu)
{
    const WindowId w = makeWindow();
    EXPECT_EQ(desk.showCursor(false), -1);
    EXPECT_EQ(desk.showCursor(false), -2);
    EXPECT_EQ(desk.showCursor(true), -1);
    EXPECT_EQ(desk.showCursor(true), 0);
    EXPECT_EQ(desk.setCapture(w), kNoWindow);
    EXPECT_EQ(desk.setCapture(w), w);
    desk.releaseCapture();
    EXPECT_EQ(desk.captureWindow(), kNoWindow);
    desk.setCursorPosition(-50, 99999);
    EXPECT_EQ(desk.cursorPosition().x, 0);
    EXPECT_EQ(desk.cursorPosition().y, 1079);

    desk.removeMenuItem(w, SC_SIZE);
    desk.enableMenuItem(w, SC_MINIMIZE, false);
    EXPECT_FALSE(desk.hasMenuItem(w, SC_SIZE));
    desk.showWindow(w, ShowCommand::Normal);
    // A greyed-out Minimize does nothing; the window menu's Close closes.
    desk.defaultProcedure(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(desk.windowMinimized(w));
    desk.defaultProcedure(w, WM_NCLBUTTONDOWN, static_cast<WParam>(HTMENU), 0);
    EXPECT_TRUE(desk.menuOpen());
    desk.chooseMenuCommand(SC_CLOSE);
    desk.pump();
    EXPECT_FALSE(desk.windowExists(w));
}

TEST_F(HeadlessDesktopTest, RunOutOfInputClosesTheWindowAndEndsTheLoop)
{
    const WindowId w = makeWindow();
    hook = [&](WindowId win, MessageId m, WParam, LParam) -> std::optional<LResult> {
        if (m == WM_DESTROY) {
            desk.postQuitMessage(3);
        }
        (void)win;
        return std::nullopt;
    };
    int fed = 0;
    desk.setIdleSource([&] {
        if (fed == 2) {
            return false;
        }
        ++fed;
        desk.keyDown(VK_RETURN);
        return true;
    });
    Message m;
    int keys = 0;
    while (desk.getMessage(m)) {
        keys += m.message == WM_KEYDOWN ? 1 : 0;
        desk.dispatchMessage(m);
    }
    EXPECT_EQ(keys, 2);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(desk.windowExists(w));
}

TEST(LaunchTest, OnlyExecutableFilesAreStarted)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("wordlark-launch-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path marker = dir / "ran";
    const std::filesystem::path program = dir / "tovarn.exe";
    {
        std::ofstream out(program);
        out << "#!/bin/sh\ntouch '" << marker.string() << "'\n";
    }
    // Present but not executable: not started.
    std::filesystem::permissions(
        program, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(isExecutableFile(program.string()));
    EXPECT_FALSE(startDetached(program.string()));
    EXPECT_FALSE(startDetached((dir / "absent").string()));
    EXPECT_FALSE(startDetached(dir.string()));
    HeadlessDesktop desk;
    EXPECT_FALSE(desk.launchProgram(program.string()));

    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(desk.launchProgram(program.string()));
    EXPECT_EQ(desk.programsLaunched().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(marker));  // the headless desktop only records
    EXPECT_TRUE(startDetached(program.string()));
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
    std::filesystem::remove_all(dir);
}

TEST(LaunchTest, TheMiddleChildReportsWhetherItStartedSomething)
{
    EXPECT_TRUE(startFromMiddleChild([] { return true; }));
    EXPECT_FALSE(startFromMiddleChild([] { return false; }));
    // What it answers is the child's own: nothing it does reaches this process.
    int touched = 0;
    EXPECT_TRUE(startFromMiddleChild([&touched] {
        touched = 1;
        return true;
    }));
    EXPECT_EQ(touched, 0);
}

// Sets an environment variable for one test and puts the old value back after it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// xdg-open is a stand-in on PATH that notes the page it was given and exits with `status`.
void writeOpener(const test::TempDir& dir, int status)
{
    std::filesystem::create_directories(dir.file("bin"));
    dir.writeText("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" >'" + dir.file("opened") +
                                      "'\nexit " + std::to_string(status) + "\n");
    std::filesystem::permissions(dir.file("bin/xdg-open"), std::filesystem::perms::owner_all);
}

TEST(LaunchTest, TheHelpPageOpensWhereItLiesAndNothingIsWrittenForIt)
{
    test::TempDir dir;
    writeOpener(dir, 0);
    const ScopedEnvironment path("PATH", dir.file("bin") + ":/usr/bin:/bin");
    // The shared temporary folder, with a link planted at a name a copy could be given.
    std::filesystem::create_directories(dir.file("tmp"));
    const ScopedEnvironment tmp("TMPDIR", dir.file("tmp"));
    dir.writeText("victim", "someone else's");
    std::filesystem::create_symlink(
        dir.file("victim"), dir.file("tmp/wordlark-help-" + std::to_string(::getuid()) + ".html"));
    const std::string page = dir.file("wordlark-help.html");
    dir.writeText("wordlark-help.html", "<html>help</html>");

    std::string why;
    ASSERT_TRUE(openHelpPage(page, &why)) << why;
    for (int i = 0; i < 100 && !std::filesystem::exists(dir.file("opened")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::vector<std::uint8_t> opened = dir.read("opened");
    EXPECT_EQ(std::string(opened.begin(), opened.end()), page);
    const std::vector<std::uint8_t> victim = dir.read("victim");
    EXPECT_EQ(std::string(victim.begin(), victim.end()), "someone else's");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("tmp")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(LaunchTest, AHelpPageThatCannotBeShownSaysWhyInOneLine)
{
    test::TempDir dir;
    writeOpener(dir, 0);
    const ScopedEnvironment path("PATH", dir.file("bin") + ":/usr/bin:/bin");
    const std::string page = dir.file("wordlark-help.html");
    std::string why;
    HeadlessDesktop desk;
    // Missing, a folder, past 1 MiB: refused by every desktop before any opener starts.
    EXPECT_FALSE(openHelpPage(page, &why));
    EXPECT_EQ(why, page + ": No such file or directory");
    EXPECT_FALSE(desk.openHelp(page, &why));
    EXPECT_EQ(why, page + ": No such file or directory");
    std::filesystem::create_directory(page);
    EXPECT_FALSE(openHelpPage(page, &why));
    EXPECT_EQ(why, page + ": not a regular file");
    std::filesystem::remove(page);
    dir.writeText("wordlark-help.html", std::string(kMaxHelpPageSize + 1, 'x'));
    EXPECT_FALSE(openHelpPage(page, &why));
    EXPECT_EQ(why, page + ": larger than 1 MiB");
    EXPECT_FALSE(desk.openHelp(page, &why));
    EXPECT_TRUE(desk.helpOpened().empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("opened")));
    std::filesystem::resize_file(page, kMaxHelpPageSize);
    EXPECT_TRUE(desk.openHelp(page, &why));
    EXPECT_EQ(desk.helpOpened(), std::vector<std::string>{page});

    // The opener is there but cannot show it, or is not there at all.
    writeOpener(dir, 3);
    EXPECT_FALSE(openHelpPage(page, &why));
    EXPECT_EQ(why, "xdg-open could not show the page");
    const ScopedEnvironment none("PATH", dir.file("no such folder"));
    EXPECT_FALSE(openHelpPage(page, &why));
    EXPECT_EQ(why.find("xdg-open could not be started"), 0u) << why;
}

}  // namespace
}  // namespace wordlark::platform
