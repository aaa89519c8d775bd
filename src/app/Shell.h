// Shell.h -- start-up, the message loop and shut-down of the one window.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "game/DealCode.h"
#include "platform/Desktop.h"

namespace wordlark::archive {
class ArchiveRegistry;
}
namespace wordlark::game {
class Game;
class Settings;
}  // namespace wordlark::game
namespace wordlark::screens {
class GameScreens;
}

namespace wordlark::app {

class MainWindow;

// The window's size and the frame timer.
inline constexpr std::int32_t kWindowWidth = 640;
inline constexpr std::int32_t kWindowHeight = 480;
inline constexpr platform::TimerId kFrameTimer = 1;
inline constexpr std::uint32_t kFrameMilliseconds = 50;
// Started at the end of every shut-down when it is there, beside the executable, and
// executable.
inline constexpr const char* kCompanionProgram = "tovarn.exe";

// The application: makes the window, brings up the display, archives and game, runs the
// loop and takes everything down again in the reverse order.
class Shell {
public:
    // The archives are read from dataFolder, the player files kept under playerFolder.
    // `seed` fixes the game's random sequence; without one it comes from the clock. The
    // companion program is looked for in `executableFolder` only (none when it is empty): the
    // data folder can be anyone's, and nothing in it may be run. The player's choices of the
    // window go to `settings`, which outlives the shell.
    Shell(std::string dataFolder, std::string playerFolder, std::optional<std::uint32_t> seed,
          std::string executableFolder, game::Settings& settings);
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Makes the centred window, initialises, trims the window menu and shows the window.
    // False when the window cannot be made or initialisation fails (everything already
    // taken down again).
    bool createMainWindow(platform::ShowCommand show);
    // What the command line asks of the game's deals; before createMainWindow.
    void requestDeal(game::DealRequest request) { dealRequest_ = std::move(request); }
    // Composes and presents a frame now, so that a window just shown has the game in it
    // before the first timer period has passed.
    void showFirstFrame();
    // Runs the loop until the window is destroyed; the quit code.
    int runMessageLoop();

    // Display, archives, game, frame timer. False at the first failure.
    bool initialise(platform::WindowId window);
    // Timer, game, display, archives, companion program, in that order; only the first call
    // does anything.
    void shutDown(platform::WindowId window);

    platform::WindowId window() const { return window_; }
    // The game, from the moment it is made until shut-down takes it apart; null otherwise.
    game::Game* game() const { return game_.get(); }
    const std::string& dataFolder() const { return dataFolder_; }
    // Why start-up failed, for the one line the entry point prints; empty when it did not.
    const std::string& failure() const { return failure_; }

private:
    std::string dataFolder_;
    std::string playerFolder_;
    std::optional<std::uint32_t> seed_;
    std::string executableFolder_;
    game::Settings& settings_;
    game::DealRequest dealRequest_;
    platform::WindowId window_ = platform::kNoWindow;
    platform::TimerId frameTimer_ = 0;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    std::unique_ptr<screens::GameScreens> screens_;
    std::unique_ptr<game::Game> game_;
    std::unique_ptr<MainWindow> procedure_;
    std::string failure_;
    bool shutDown_ = false;
};

}  // namespace wordlark::app
