// main.cpp -- the entry point: command line, program folder, then the game or a replay.
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

#include <CLI/CLI.hpp>

#include "Version.h"
#include "app/ReplayDriver.h"
#include "app/ReplayScript.h"
#include "app/Shell.h"
#include "archive/ArchiveRegistry.h"
#include "game/HistoryExport.h"
#include "game/RecordFile.h"
#include "graphics/Display.h"
#include "graphics/PictureClasses.h"
#include "platform/CodePage.h"
#include "platform/FolderLock.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessVideo.h"
#include "words/Dictionary.h"
// This build's backends: the system's own window, DirectDraw and GDI on Windows; SDL and
// FreeType elsewhere.
#if defined(_WIN32)
#include "platform/win32/DirectDrawVideo.h"
#include "platform/win32/GdiText.h"
#include "platform/win32/Win32Desktop.h"
#else
#include "platform/freetype/FreeTypeText.h"
#if WORDLARK_HAVE_SDL
#include "platform/sdl/SdlDesktop.h"
#include "platform/sdl/SdlVideo.h"
#endif
#endif

namespace {

using namespace wordlark;

void printUsage()
{
    std::puts(
        "usage: wordlark [--data DIR] [--seed N] [--scale N] [--depth 8]\n"
        "       wordlark --headless [--seed N] [--data DIR] [--shots DIR]\n"
        "                [--screen WxH] --script FILE|-\n"
        "       wordlark --export-history NAME [--data DIR]\n"
        "  --data DIR    read vek.heap and the save folder from DIR instead of the program's "
        "folder\n"
        "  --seed N      deal from a fixed random sequence\n"
        "  --scale N     show the window N times larger (1 to 4)\n"
        "  --depth 8     act as on a 256-colour desktop\n"
        "  --headless    play a replay script without a window\n"
        "  --script FILE the replay script ('-' reads standard input)\n"
        "  --shots DIR   where the script's shots are written (default: current folder)\n"
        "  --screen WxH  the headless screen's size (default 1920x1080)\n"
        "  --export-history NAME\n"
        "                write NAME's history of games as CSV to standard output\n"
        "  --help        show this text\n"
        "  --version     show the version");
}

struct Options {
    std::optional<std::string> data;
    std::optional<std::uint32_t> seed;
    bool headless = false;
    std::optional<std::string> script;
    std::string shots = ".";
    std::int32_t screenWidth = 1920;
    std::int32_t screenHeight = 1080;
    int scale = 1;
    std::int32_t depth = 0;                    // 0: the desktop's own
    std::optional<std::string> exportHistory;  // the player's name, as typed
};

// The whole text must be the number; no sign, no spaces, nothing past the type's range.
template <typename Number>
std::optional<Number> parseNumber(std::string_view text)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// "WIDTHxHEIGHT" with both from 640 to 16384.
std::optional<std::pair<std::int32_t, std::int32_t>> parseScreen(std::string_view text)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos) {
        return std::nullopt;
    }
    const auto width = parseNumber<std::int32_t>(text.substr(0, cross));
    const auto height = parseNumber<std::int32_t>(text.substr(cross + 1));
    if (!width || !height || *width < 640 || *height < 480 || *width > 16384 || *height > 16384) {
        return std::nullopt;
    }
    return std::pair(*width, *height);
}

// A check CLI11 runs on an option's value: why it cannot be taken, or "" when it can.
CLI::Validator valueCheck(std::function<std::string(const std::string&)> why)
{
    return CLI::Validator([why = std::move(why)](std::string& value) { return why(value); }, "");
}

// The one line a command line the game cannot follow gets; exit code 2.
int usageError(std::string what)
{
    for (char& c : what) {
        if (c == '\n') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "wordlark: %s (see wordlark --help)\n", what.c_str());
    return 2;
}

// Reads every option into `options`. The exit code when the program ends here (help, version,
// or a command line it cannot follow); nothing when the game or the replay should start.
std::optional<int> parseCommandLine(int argc, char** argv, Options& options)
{
    CLI::App cli("", "wordlark");
    cli.set_help_flag("--help");
    cli.set_version_flag("--version", std::string("wordlark ") + WORDLARK_VERSION);
    // Repeats are counted and refused below with a message of our own.
    cli.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

    // An option takes the next word as its value whatever it looks like, so `--data --seed 3`
    // would read a folder named "--seed": a value like that is a forgotten one. An empty value
    // is usually an unset shell variable rather than a wish for the current folder.
    const CLI::Validator aValue = valueCheck([](const std::string& value) {
        if (value.empty()) {
            return std::string("needs a value");
        }
        return value.starts_with("--") ? "needs a value, not the option " + value : std::string();
    });
    std::string data;
    std::string seed;
    std::string scale;
    std::string depth;
    std::string screen;
    std::string script;
    CLI::Option* dataOption = cli.add_option("--data", data)->check(aValue);
    CLI::Option* seedOption =
        cli.add_option("--seed", seed)->check(aValue)->check(valueCheck([](const std::string& v) {
            return parseNumber<std::uint32_t>(v) ? std::string()
                                                 : "needs a number from 0 to 4294967295, not " + v;
        }));
    cli.add_option("--scale", scale)->check(aValue)->check(valueCheck([](const std::string& v) {
        const auto n = parseNumber<int>(v);
        return n && *n >= 1 && *n <= 4 ? std::string() : "needs 1 to 4, not " + v;
    }));
    cli.add_option("--depth", depth)->check(aValue)->check(valueCheck([](const std::string& v) {
        return v == "8" ? std::string() : "takes only 8, not " + v;
    }));
    CLI::Option* headless = cli.add_flag("--headless", options.headless);
    CLI::Option* scriptOption =
        cli.add_option("--script", script)
            ->check(aValue)
            ->check(valueCheck([](const std::string& v) {
                // A folder opens and reads as an empty script, which would pass having done
                // nothing.
                std::error_code error;
                if (v == "-" || std::filesystem::is_regular_file(v, error)) {
                    return std::string();
                }
                return "needs a script file or -, not " + v;
            }));
    cli.add_option("--shots", options.shots)->check(aValue);
    cli.add_option("--screen", screen)->check(aValue)->check(valueCheck([](const std::string& v) {
        return parseScreen(v) ? std::string() : "needs WIDTHxHEIGHT, not " + v;
    }));
    headless->needs(scriptOption);
    scriptOption->needs(headless);
    std::string exportName;
    CLI::Option* exportOption = cli.add_option("--export-history", exportName)->check(aValue);
    exportOption->excludes(headless);

    try {
        cli.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        printUsage();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        std::puts(version.what());
        return 0;
    } catch (const CLI::ParseError& error) {
        return usageError(error.what());
    }
    for (const CLI::Option* option : cli.get_options()) {
        if (option->count() > 1) {
            return usageError(option->get_name() + " is given more than once");
        }
    }
#if defined(_WIN32)
    // The window is the desktop's own: it is not scaled, and its colours are the desktop's.
    if (!scale.empty() || !depth.empty()) {
        return usageError(std::string(scale.empty() ? "--depth" : "--scale") +
                          " is not available in the Windows build");
    }
#endif

    if (dataOption->count() > 0) {
        options.data = data;
    }
    if (seedOption->count() > 0) {
        options.seed = parseNumber<std::uint32_t>(seed);
    }
    if (!scale.empty()) {
        options.scale = *parseNumber<int>(scale);
    }
    if (!depth.empty()) {
        options.depth = 8;
    }
    if (!screen.empty()) {
        std::tie(options.screenWidth, options.screenHeight) = *parseScreen(screen);
    }
    if (scriptOption->count() > 0) {
        options.script = script;
    }
    if (exportOption->count() > 0) {
        options.exportHistory = exportName;
    }
    return std::nullopt;
}

// --export-history: the player's history as CSV on standard output; nothing is made on disk.
int exportHistory(const std::string& typed, const platform::GameFolders& folders)
{
#if defined(_WIN32)
    const std::optional<std::string> name = typed;  // the ANSI code page is the game's own
#else
    const std::optional<std::string> name = platform::utf8ToCp1252(typed);
#endif
    if (!name) {
        std::fprintf(stderr, "wordlark: no player named %s\n", typed.c_str());
        return 1;
    }
    return game::exportHistory(folders.player, *name, stdout, stderr);
}

// The replay: the whole game on the headless desktop, its input from the script.
int runReplay(const Options& options, const platform::GameFolders& folders)
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
    // The replay's own backends, installed for the run and taken out after it.
    platform::headless::HeadlessDesktop desktop;
    platform::headless::HeadlessVideo video;
    platform::setDesktop(&desktop);
    platform::setVideo(&video);
    int code = 1;
    {
        app::ReplayDriver driver(std::move(*script), options.shots, stdout);
        desktop.setScreenSize(options.screenWidth, options.screenHeight);
        driver.attach(desktop, video);
        app::Shell shell(folders.data, folders.player, options.seed, platform::executableFolder());
        driver.follow(shell);
        if (shell.createMainWindow(platform::ShowCommand::Normal)) {
            code = shell.runMessageLoop();
            code = driver.failed() ? 1 : code;
        } else {
            std::fprintf(stderr, "wordlark: %s\n", shell.failure().c_str());
        }
    }
    platform::setVideo(nullptr);
    platform::setDesktop(nullptr);
    return code;
}

// The game in a real window.
int runGame(const Options& options, const platform::GameFolders& folders)
{
    graphics::registerPictureClasses();
    // Unusable data is worth saying before a missing display, which is often just a session
    // started without one.
    std::uint32_t words = 0;
    {
        archive::ArchiveRegistry registry(folders.data);
        words::Dictionary dictionary(folders.data, [] { return std::string(); });
        if (!dictionary.load(registry)) {
            std::fprintf(stderr, "wordlark: %s\n", dictionary.failure().c_str());
            return 1;
        }
        words = dictionary.count();
    }
#if defined(_WIN32)
    (void)words;  // the system's window always starts; only the others' failures need it
    platform::win32::Win32Desktop desktop;
    platform::win32::DirectDrawVideo video;
    // Text is drawn through the frame's own device context, so it follows the video.
    platform::win32::GdiText text(&video);
    platform::TextRenderer* const previousText = &platform::textRenderer();
    platform::setTextRenderer(&text);
#elif WORDLARK_HAVE_SDL
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
#else
    (void)options;
    std::fprintf(stderr,
                 "wordlark: no display backend in this build (made without SDL; %u words ready; "
                 "try --headless)\n",
                 words);
    return 1;
#endif
#if defined(_WIN32) || WORDLARK_HAVE_SDL
    platform::setDesktop(&desktop);
    platform::setVideo(&video);
    int code = 1;
    {
        app::Shell shell(folders.data, folders.player, options.seed, platform::executableFolder());
        if (shell.createMainWindow(platform::ShowCommand::Normal)) {
            code = shell.runMessageLoop();
        } else {
            std::fprintf(stderr, "wordlark: %s\n", shell.failure().c_str());
        }
    }
    // The display lets go of the window's video before the backends go.
    graphics::display().close();
    platform::setVideo(nullptr);
    platform::setDesktop(nullptr);
#if defined(_WIN32)
    platform::setTextRenderer(previousText);
#endif
    return code;
#endif
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // A write past the file-size limit then fails like any other write (the game says it could
    // not save) instead of killing the game in the middle of a deal.
    std::signal(SIGXFSZ, SIG_IGN);
#endif

    Options options;
    if (const std::optional<int> code = parseCommandLine(argc, argv, options)) {
        return *code;
    }
#if defined(_WIN32)
    // The Windows game is unpacked into a folder of its own and keeps its players there.
    const platform::GameFolders folders =
        platform::findGameFolders(options.data, platform::executableFolder(), "", nullptr, nullptr);
#else
    const platform::GameFolders folders = platform::findGameFolders(
        options.data, platform::executableFolder(), WORDLARK_INSTALLED_DATA,
        std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
    if (options.exportHistory) {
        return exportHistory(*options.exportHistory, folders);
    }
    // Without its archive the game cannot start, and a start-up that fails leaves nothing
    // behind: no save folder is made before the archive is found.
    if (std::string why; !archive::ArchiveRegistry(folders.data).openArchive("vek.heap", &why)) {
        std::fprintf(stderr, "wordlark: %s\n", why.c_str());
        return 1;
    }
    // Held until the game ends, so that another copy starting on the same save folder leaves
    // this one's temporary files alone. A save folder that cannot be used is said once here;
    // the game still starts, and each save that fails is told again in the game.
    platform::FolderLock saveFolderLock;
    if (std::string why;
        !game::prepareSaveFolder(folders.player, folders.makePlayerFolder, saveFolderLock, &why)) {
        std::fprintf(stderr, "wordlark: %s\n", why.c_str());
    }
#if defined(_WIN32)
    // A replay draws its text with GDI on a surface of its own; the window's text follows the
    // window's video (see runGame).
    platform::win32::GdiText text;
#else
    // Both modes draw their text with FreeType, in the face fontconfig finds.
    platform::freetype::FreeTypeText text;
#endif
    platform::setTextRenderer(&text);
    const int code = options.headless ? runReplay(options, folders) : runGame(options, folders);
    platform::setTextRenderer(nullptr);
    return code;
}
