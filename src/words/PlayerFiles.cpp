#include "words/PlayerFiles.h"

#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"

namespace wordlark::words {

std::string saveFolderPath(std::string_view playerFolder)
{
    return platform::withTrailingSeparator(std::string(playerFolder)) + "save";
}

std::optional<std::string> playerFilePath(std::string_view playerFolder,
                                          std::string_view playerName, std::string_view extension)
{
    if (playerName.empty() || playerName == "." || playerName == "..") {
        return std::nullopt;
    }
    // A backslash is refused too: names travel between systems, and on Windows it would
    // leave the folder just as a slash does here.
    if (playerName.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) {
        return std::nullopt;
    }
    std::string path = saveFolderPath(playerFolder);
    path += platform::kPathSeparator;
    path += platform::toFileName(playerName);
    path += extension;
    return path;
}

}  // namespace wordlark::words
