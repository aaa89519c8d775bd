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

GameFolders findGameFolders(const std::optional<std::string>& dataOption,
                            const std::string& executableFolder, std::string_view installedData,
                            const char* xdgDataHome, const char* home)
{
    if (dataOption) {
        const std::string folder = withTrailingSeparator(*dataOption);
        return {folder, folder};
    }
    if (kindOfPath(executableFolder + "vek.heap") == FileKind::Regular) {
        return {executableFolder, executableFolder};
    }
    GameFolders folders;
    folders.data = withTrailingSeparator(executableFolder + std::string(installedData));
    // The data folder of an installed game belongs to the system: the player's files go
    // where the desktop keeps each user's application data.
    const std::string_view xdg = xdgDataHome != nullptr ? xdgDataHome : "";
    const std::string_view user = home != nullptr ? home : "";
    if (!xdg.empty() && xdg.front() == kPathSeparator) {
        folders.player = withTrailingSeparator(std::string(xdg)) + "wordlark/";
        folders.makePlayerFolder = true;
    } else if (!user.empty()) {
        folders.player = withTrailingSeparator(std::string(user)) + ".local/share/wordlark/";
        folders.makePlayerFolder = true;
    } else {
        folders.player = folders.data;
    }
    return folders;
}

}  // namespace wordlark::platform
