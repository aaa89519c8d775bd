// ProgramFolder.h -- the folder every data path is built from (vek.heap, vek.hlp, save/).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wordlark::platform {

// The path separator of this platform, and every character it takes as one.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif

constexpr bool isPathSeparator(char c)
{
    return kPathSeparators.find(c) != std::string_view::npos;
}

// The folder of the running executable, ending in a separator; empty when it cannot be found.
// One implementation per kind of system (ProgramFolderPosix, ProgramFolderWin32).
std::string executableFolder();

// Makes a folder name end in exactly one separator ("" stays "").
std::string withTrailingSeparator(std::string folder);

// Where the game reads its data (vek.heap, vek.hlp) and where its player files live (the
// folder that holds save/), both ending in a separator.
struct GameFolders {
    std::string data;
    std::string player;
    // Whether start-up may make the player folder and the missing folders above it: only for
    // the user's own data folder of an installed game, on its first run. Everywhere else the
    // player folder is the data folder, and nothing but save/ is ever made in it.
    bool makePlayerFolder = false;
    // The file of the player's settings. Beside the data where the data is the game's own
    // folder (--data, the build tree, an unpacked archive); in the user's configuration
    // folder for an installed game, whose folders above it start-up may then make
    // (makeSettingsFolder).
    std::string settings;
    bool makeSettingsFolder = false;
};

// --data DIR holds both. Otherwise a folder that holds vek.heap beside the executable (the
// build tree, an unpacked archive) does; an installed game reads its data from
// installedData (relative to the executable's folder) and keeps the player files in
// $XDG_DATA_HOME/wordlark, by default ~/.local/share/wordlark, and its settings in
// $XDG_CONFIG_HOME/wordlark, by default ~/.config/wordlark. With neither usable, the data
// folder is tried, and start-up reports it when it cannot be written.
GameFolders findGameFolders(const std::optional<std::string>& dataOption,
                            const std::string& executableFolder, std::string_view installedData,
                            const char* xdgDataHome, const char* home,
                            const char* xdgConfigHome = nullptr);

}  // namespace wordlark::platform
