// ReplayDriver.h -- feeds a replay script to the headless desktop, one line whenever it idles.
#pragma once

#include <cstdio>
#include <string>

#include "app/ReplayScript.h"
#include "graphics/DrawLog.h"

namespace wordlark::platform::headless {
class HeadlessDesktop;
class HeadlessVideo;
}  // namespace wordlark::platform::headless

namespace wordlark::game {
class Game;
}

namespace wordlark::app {

class Shell;

class ReplayDriver {
public:
    // Shots are written into `shotsFolder`; state lines go to `out`.
    ReplayDriver(ReplayScript script, std::string shotsFolder, std::FILE* out);
    // Stops recording what the frames draw.
    ~ReplayDriver();
    ReplayDriver(const ReplayDriver&) = delete;
    ReplayDriver& operator=(const ReplayDriver&) = delete;

    // Makes the driver the desktop's input and records what each frame draws: each time the queue
    // runs dry it plays the next line (a tick line one frame at a time). When the script ends the
    // window is closed as `quit` closes it.
    void attach(platform::headless::HeadlessDesktop& desktop,
                platform::headless::HeadlessVideo& video);

    // The shell whose game the state lines describe; it must outlive the driver's use.
    void follow(const Shell& shell) { shell_ = &shell; }

    // One more piece of input; false when the script is over.
    bool next();

    // A shot or a state line could not be written (already reported on stderr).
    bool failed() const { return failed_; }

private:
    void run(const ReplayStep& step);
    // Closes the window as its menu's Close would; no further line is played.
    void close();

    ReplayScript script_;
    std::string shotsFolder_;
    std::FILE* out_;
    platform::headless::HeadlessDesktop* desktop_ = nullptr;
    platform::headless::HeadlessVideo* video_ = nullptr;
    const Shell* shell_ = nullptr;
    std::size_t index_ = 0;
    std::int32_t ticksLeft_ = 0;
    bool failed_ = false;
    bool closed_ = false;
    graphics::DrawLog drawn_;
};

// One JSON line describing the game as it stands: the player, level and ratings, the last
// changes and points, the pool, both rows, the buttons, the open panels with their fields and
// the window; with a headless desktop also where the window and pointer are, how many frames
// were shown and how often help was asked for; with a log, what the last frame drew.
std::string gameStateJson(const game::Game* game,
                          const platform::headless::HeadlessDesktop* desktop = nullptr,
                          const platform::headless::HeadlessVideo* video = nullptr,
                          const graphics::DrawLog* drawn = nullptr);

}  // namespace wordlark::app
