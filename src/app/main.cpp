// main.cpp -- the entry point: command line, program folder, then the game or a replay.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "app/ReplayDriver.h"
#include "app/ReplayScript.h"
#include "app/Shell.h"
#include "archive/ArchiveRegistry.h"
#include "graphics/PictureClasses.h"
#include "platform/ProgramFolder.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/sdl/SdlDesktop.h"
#include "platform/sdl/SdlVideo.h"
#include "words/Dictionary.h"

namespace {

using namespace wordlark;

void printUsage()
{
    std::puts(
        "usage: wordlark [--data DIR] [--seed N] [--scale N] [--depth 8]\n"
        "       wordlark --headless [--seed N] [--data DIR] [--shots DIR]\n"
        "                [--screen WxH] --script FILE|-\n"
        "  --data DIR    read vek.heap and the save folder from DIR instead of the program's "
        "folder\n"
        "  --seed N      deal from a fixed random sequence\n"
        "  --scale N     show the window N times larger (1 to 4)\n"
        "  --depth 8     act as on a 256-colour desktop\n"
        "  --headless    play a replay script without a window\n"
        "  --script FILE the replay script ('-' reads standard input)\n"
        "  --shots DIR   where the script's shots are written (default: current folder)\n"
        "  --screen WxH  the headless screen's size (default 1920x1080)\n"
        "  --help        show this text\n"
        "  --version     show the version");
}

struct Options {
    std::optional<std::uint32_t> seed;
    bool headless = false;
    std::optional<std::string> script;
    std::string shots = ".";
    std::int32_t screenWidth = 1920;
    std::int32_t screenHeight = 1080;
    int scale = 1;
    std::int32_t depth = 0;  // 0: the desktop's own
};

// "WIDTHxHEIGHT" with both from 640 to 16384.
bool parseScreen(std::string_view text, Options& options)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos) {
        return false;
    }
    const std::string width(text.substr(0, cross));
    const std::string height(text.substr(cross + 1));
    char* end = nullptr;
    const long w = std::strtol(width.c_str(), &end, 10);
    if (width.empty() || *end != '\0') {
        return false;
    }
    const long h = std::strtol(height.c_str(), &end, 10);
    if (height.empty() || *end != '\0' || w < 640 || h < 480 || w > 16384 || h > 16384) {
        return false;
    }
    options.screenWidth = static_cast<std::int32_t>(w);
    options.screenHeight = static_cast<std::int32_t>(h);
    return true;
}

// The replay: the whole game on the headless desktop, its input from the script.
int runReplay(const Options& options, const std::string& folder)
{
    std::ifstream file;
    std::istream* in = &std::cin;
    if (*options.script != "-") {
        file.open(*options.script);
        if (!file) {
            std::fprintf(stderr, "wordlark: cannot read the script %s\n", options.script->c_str());
            return 2;
        }
        in = &file;
    }
    std::string error;
    std::optional<app::ReplayScript> script = app::ReplayScript::parse(*in, error);
    if (!script) {
        std::fprintf(stderr, "wordlark: %s\n", error.c_str());
        return 2;
    }

    graphics::registerPictureClasses();
    app::ReplayDriver driver(std::move(*script), options.shots, stdout);
    platform::headless::HeadlessDesktop& desktop = platform::headless::headlessDesktop();
    desktop.setScreenSize(options.screenWidth, options.screenHeight);
    driver.attach(desktop);
    app::Shell shell(folder, options.seed);
    if (!shell.createMainWindow(platform::ShowCommand::Normal)) {
        std::fprintf(stderr, "wordlark: %s\n", shell.failure().c_str());
        return 1;
    }
    const int code = shell.runMessageLoop();
    return driver.failed() ? 1 : code;
}

// The game in a real window.
int runGame(const Options& options, const std::string& folder)
{
    graphics::registerPictureClasses();
    // Unusable data is worth saying before a missing display, which is often just a session
    // started without one.
    std::uint32_t words = 0;
    {
        archive::ArchiveRegistry registry(folder);
        words::Dictionary dictionary(folder, [] { return std::string(); });
        if (!dictionary.load(registry)) {
            std::fprintf(stderr, "wordlark: cannot read the word list from %svek.heap\n",
                         folder.c_str());
            return 1;
        }
        words = dictionary.count();
    }
    platform::sdl::SdlDesktop desktop(options.scale);
    std::string error;
    if (!desktop.start(error)) {
        std::fprintf(stderr,
                     "wordlark: no display backend could start (%s; %u words ready; try "
                     "--headless)\n",
                     error.c_str(), words);
        return 1;
    }
    platform::sdl::SdlVideo video(desktop, options.depth);
    platform::setDesktop(&desktop);
    platform::setVideo(&video);
    int code = 1;
    {
        app::Shell shell(folder, options.seed);
        if (shell.createMainWindow(platform::ShowCommand::Normal)) {
            code = shell.runMessageLoop();
        } else {
            std::fprintf(stderr, "wordlark: %s\n", shell.failure().c_str());
        }
    }
    platform::setVideo(nullptr);
    platform::setDesktop(nullptr);
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            printUsage();
            return 0;
        }
        if (arg == "--version") {
            std::printf("wordlark %s\n", WORDLARK_VERSION);
            return 0;
        }
        if (arg == "--headless") {
            options.headless = true;
            continue;
        }
        if ((arg == "--data" || arg == "--seed" || arg == "--script" || arg == "--shots" ||
             arg == "--screen" || arg == "--scale" || arg == "--depth") &&
            i + 1 < argc) {
            const char* value = argv[++i];
            if (arg == "--seed") {
                char* end = nullptr;
                const unsigned long seed = std::strtoul(value, &end, 10);
                if (end == value || *end != '\0') {
                    std::fprintf(stderr, "wordlark: --seed needs a number, not '%s'\n", value);
                    return 2;
                }
                options.seed = static_cast<std::uint32_t>(seed);
            } else if (arg == "--script") {
                options.script = value;
            } else if (arg == "--shots") {
                options.shots = value;
            } else if (arg == "--scale") {
                char* end = nullptr;
                const long scale = std::strtol(value, &end, 10);
                if (end == value || *end != '\0' || scale < 1 || scale > 4) {
                    std::fprintf(stderr, "wordlark: --scale needs 1 to 4, not '%s'\n", value);
                    return 2;
                }
                options.scale = static_cast<int>(scale);
            } else if (arg == "--depth") {
                if (std::string_view(value) != "8") {
                    std::fprintf(stderr, "wordlark: --depth takes only 8, not '%s'\n", value);
                    return 2;
                }
                options.depth = 8;
            } else if (arg == "--screen" && !parseScreen(value, options)) {
                std::fprintf(stderr, "wordlark: --screen needs WIDTHxHEIGHT, not '%s'\n", value);
                return 2;
            }
            continue;
        }
        std::fprintf(stderr, "wordlark: unknown argument '%s' (see --help)\n", argv[i]);
        return 2;
    }
    if (options.headless != options.script.has_value()) {
        std::fprintf(stderr, "wordlark: --headless and --script go together (see --help)\n");
        return 2;
    }

    const std::string folder = platform::programFolderFromArgs(argc, argv);
    platform::setProgramFolder(folder);
    return options.headless ? runReplay(options, folder) : runGame(options, folder);
}
