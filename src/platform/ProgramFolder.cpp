#include "platform/ProgramFolder.h"

#include "platform/FileSystem.h"

namespace wordlark::platform {

std::string withTrailingSeparator(std::string folder)
{
    while (folder.size() > 1 && isPathSeparator(folder.back()) &&
           isPathSeparator(folder[folder.size() - 2])) {
        folder.pop_back();
    }
    if (!folder.empty() && !isPathSeparator(folder.back())) {
        folder += kPathSeparator;
    }
    return folder;
}

namespace {

constexpr std::string_view kSettingsFile = "settings.json";

// The user's folder for one kind of files: $XDG_... when it is an absolute path, otherwise
// the given folder under the home folder; empty with neither.
std::string userFolder(const char* xdgVariable, const char* home, std::string_view underHome)
{
    const std::string_view xdg = xdgVariable != nullptr ? xdgVariable : "";
    const std::string_view user = home != nullptr ? home : "";
    if (!xdg.empty() && xdg.front() == kPathSeparator) {
        return withTrailingSeparator(std::string(xdg)) + "wordlark/";
    }
    if (!user.empty()) {
        return withTrailingSeparator(std::string(user)) + std::string(underHome) + "wordlark/";
    }
    return {};
}

}  // namespace

GameFolders findGameFolders(const std::optional<std::string>& dataOption,
                            const std::string& executableFolder, std::string_view installedData,
                            const char* xdgDataHome, const char* home, const char* xdgConfigHome)
{
    GameFolders folders;
    if (dataOption || kindOfPath(executableFolder + "vek.heap") == FileKind::Regular) {
        folders.data = dataOption ? withTrailingSeparator(*dataOption) : executableFolder;
        folders.player = folders.data;
        folders.settings = folders.data + std::string(kSettingsFile);
        return folders;
    }
    folders.data = withTrailingSeparator(executableFolder + std::string(installedData));
    // The data folder of an installed game belongs to the system: the player's files go
    // where the desktop keeps each user's application data, his settings where it keeps
    // each user's configuration.
    folders.player = userFolder(xdgDataHome, home, ".local/share/");
    folders.makePlayerFolder = !folders.player.empty();
    if (folders.player.empty()) {
        folders.player = folders.data;
    }
    const std::string config = userFolder(xdgConfigHome, home, ".config/");
    folders.makeSettingsFolder = !config.empty();
    folders.settings = (config.empty() ? folders.data : config) + std::string(kSettingsFile);
    return folders;
}

}  // namespace wordlark::platform
