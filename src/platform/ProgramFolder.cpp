#include "platform/ProgramFolder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace wordlark::platform {

std::string executableFolder()
{
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) {
        return {};
    }
    buffer.resize(static_cast<std::size_t>(n));
    const auto slash = buffer.rfind(kPathSeparator);
    if (slash == std::string::npos) {
        return {};
    }
    buffer.resize(slash + 1);
    return buffer;
}

std::string withTrailingSeparator(std::string folder)
{
    while (folder.size() > 1 && folder.back() == kPathSeparator &&
           folder[folder.size() - 2] == kPathSeparator) {
        folder.pop_back();
    }
    if (!folder.empty() && folder.back() != kPathSeparator) {
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
    struct stat info {};
    const std::string beside = executableFolder + "vek.heap";
    if (::stat(beside.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
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
    } else if (!user.empty()) {
        folders.player = withTrailingSeparator(std::string(user)) + ".local/share/wordlark/";
    } else {
        folders.player = folders.data;
    }
    return folders;
}

}  // namespace wordlark::platform
