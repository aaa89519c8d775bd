// CommandLine.h -- what a run of the program is asked to do, read from its command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/DealCode.h"

namespace wordlark::app {

class CommandLine {
public:
    struct Options {
        std::optional<std::string> data;
        std::optional<std::uint32_t> seed;
        bool headless = false;
        std::optional<std::string> script;
        std::string shots = ".";
        std::int32_t screenWidth = 1920;
        std::int32_t screenHeight = 1080;
        std::int32_t depth = 0;  // 0: the desktop's own
        // How the window is shown. Unset when the command line does not say, so that a lasting
        // choice (the player's settings) can fill it; a run's word overrides it for that run.
        std::optional<int> scale;  // platform::kFitScale or 1 to platform::kMaxScale
        std::optional<bool> fullscreen;
        std::optional<std::string> exportHistory;  // the player's name, as typed
        // The first deal once a player is chosen: these letters, or the daily deal.
        std::optional<game::DealCode> deal;
        bool daily = false;
        // The day that counts as today for the daily deal (days since 2026-01-01).
        std::optional<std::int64_t> day;
    };

    // Reads the words after the program's name.
    explicit CommandLine(const std::vector<std::string>& arguments);
    CommandLine(int argc, const char* const* argv);

    // The exit code when the program ends here (help, version, or a command line it cannot
    // follow, exit code 2); nothing when the game or the replay should start.
    std::optional<int> exitCode() const { return exitCode_; }
    // What to print on the standard output (help, version) or the standard error (the one line
    // of a refused command line) before ending; empty when nothing.
    const std::string& output() const { return output_; }
    const std::string& error() const { return error_; }
    const Options& options() const { return options_; }

    static std::string usage();

private:
    void parse(std::vector<std::string> arguments);
    void refuse(std::string what);

    Options options_;
    std::optional<int> exitCode_;
    std::string output_;
    std::string error_;
};

}  // namespace wordlark::app
