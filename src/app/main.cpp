// main.cpp -- the entry point: command line, program folder, then the game or a replay.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "app/Backends.h"
#include "app/CommandLine.h"
#include "app/ReplayDriver.h"
#include "app/ReplayScript.h"
#include "app/Shell.h"
#include "archive/ArchiveRegistry.h"
#include "game/HistoryExport.h"
#include "game/RecordFile.h"
#include "game/Settings.h"
#include "graphics/PictureClasses.h"
#include "platform/CodePage.h"
#include "platform/FolderLock.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessVideo.h"
#include "words/Dictionary.h"

namespace {

using namespace wordlark;
using Options = app::CommandLine::Options;

// A start-up that cannot go on: one line on stderr, and for a game started from the desktop
// the same in a box, as it may have no console. A replay never shows one.
int startupFailure(const Options& options, const std::string& why)
{
    std::fprintf(stderr, "wordlark: %s\n", why.c_str());
    if (!options.headless) {
        app::showStartupFailure(why);
    }
    return 1;
}

// How this run shows the frame: as the settings file says, with what the command line asks
// for on top (for this run alone: the file keeps its own values).
platform::DisplayMode displayModeFor(const Options& options, const game::Settings& settings)
{
    platform::DisplayMode mode = settings.stored();
    if (options.scale) {
        mode.scale = *options.scale;
    }
    if (options.fullscreen) {
        mode.fullscreen = *options.fullscreen;
    }
    return mode;
}

game::DealRequest dealRequestFor(const Options& options)
{
    return {options.deal, options.daily, options.day};
}

// --export-history: the player's history as CSV on standard output; nothing is made on disk.
int exportHistory(const std::string& typed, const platform::GameFolders& folders)
{
#if defined(_WIN32)
    // The rows end in CR LF already; a text-mode stdout would make that CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
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
int runReplay(const Options& options, const platform::GameFolders& folders,
              game::Settings& settings)
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
        desktop.setDisplayMode(displayModeFor(options, settings));
        driver.attach(desktop, video);
        app::Shell shell(folders.data, folders.player, options.seed, platform::executableFolder(),
                         settings);
        shell.requestDeal(dealRequestFor(options));
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
int runGame(const Options& options, const platform::GameFolders& folders, game::Settings& settings)
{
    graphics::registerPictureClasses();
    app::WindowRequest request;
    request.mode = displayModeFor(options, settings);
    request.depth = options.depth;
    std::string failure;
    const auto play = [&] {
        app::Shell shell(folders.data, folders.player, options.seed, platform::executableFolder(),
                         settings);
        shell.requestDeal(dealRequestFor(options));
        if (!shell.createMainWindow(platform::ShowCommand::Normal)) {
            failure = shell.failure();
            return 1;
        }
        // A replay's frames come with its ticks alone; a player's first one comes at once.
        shell.showFirstFrame();
        return shell.runMessageLoop();
    };
    std::string why;
    if (const std::optional<int> code = app::runInWindow(request, play, why)) {
        return failure.empty() ? *code : startupFailure(options, failure);
    }
    // Without a window, unusable data is still worth saying first: a missing display is often
    // just a session started without one. The words are read only then, so that a game that
    // starts reads them once and shows its first frame sooner.
    archive::ArchiveRegistry registry(folders.data);
    words::Dictionary dictionary(folders.data, [] { return std::string(); });
    if (!dictionary.load(registry)) {
        return startupFailure(options, dictionary.failure());
    }
    return startupFailure(options, "no display backend could start (" + why + "; " +
                                       std::to_string(dictionary.count()) +
                                       " words ready; try --headless)");
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // A write past the file-size limit then fails like any other write (the game says it could
    // not save) instead of killing the game in the middle of a deal.
    std::signal(SIGXFSZ, SIG_IGN);
#endif

    const app::CommandLine commandLine(argc, argv);
    std::fputs(commandLine.output().c_str(), stdout);
    std::fputs(commandLine.error().c_str(), stderr);
    if (const std::optional<int> code = commandLine.exitCode()) {
        return *code;
    }
    const Options& options = commandLine.options();
#if defined(_WIN32)
    // The Windows game is unpacked into a folder of its own and keeps its players there.
    const platform::GameFolders folders =
        platform::findGameFolders(options.data, platform::executableFolder(), "", nullptr, nullptr);
#else
    const platform::GameFolders folders = platform::findGameFolders(
        options.data, platform::executableFolder(), WORDLARK_INSTALLED_DATA,
        std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), std::getenv("XDG_CONFIG_HOME"));
#endif
    if (options.exportHistory) {
        return exportHistory(*options.exportHistory, folders);
    }
    // Without its archive the game cannot start, and a start-up that fails leaves nothing
    // behind: no save folder is made before the archive is found.
    if (std::string why; !archive::ArchiveRegistry(folders.data).openArchive("vek.heap", &why)) {
        return startupFailure(options, why);
    }
    // Held until the game ends, so that another copy starting on the same save folder leaves
    // this one's temporary files alone. A save folder that cannot be used is said once here;
    // the game still starts, and each save that fails is told again in the game.
    platform::FolderLock saveFolderLock;
    if (std::string why;
        !game::prepareSaveFolder(folders.player, folders.makePlayerFolder, saveFolderLock, &why)) {
        std::fprintf(stderr, "wordlark: %s\n", why.c_str());
    }
    const std::unique_ptr<platform::TextRenderer> text = app::makeTextRenderer();
    platform::setTextRenderer(text.get());
    // Settings that cannot be read are said once; the game plays with the defaults for them.
    game::Settings settings(folders.settings, folders.makeSettingsFolder);
    if (const std::string why = settings.load(); !why.empty()) {
        std::fprintf(stderr, "wordlark: %s\n", why.c_str());
    }
    const int code = options.headless ? runReplay(options, folders, settings)
                                      : runGame(options, folders, settings);
    platform::setTextRenderer(nullptr);
    return code;
}
