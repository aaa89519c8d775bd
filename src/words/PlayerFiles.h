// PlayerFiles.h -- where a player's own files (record, word list) live in the save folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wordlark::words {

// The save folder under the folder that holds the player files: playerFolder + "save", no
// separator at the end. Every path to a player's file starts from it.
std::string saveFolderPath(std::string_view playerFolder);

// saveFolderPath(playerFolder) + separator + name + extension, the name (Windows-1252, as the
// game keeps it) spelt as the system's file names are (UTF-8 on POSIX systems). None for a name
// that cannot be a file of the save folder: empty, ".", "..", or holding a separator ("/" or
// "\") or a NUL.
std::optional<std::string> playerFilePath(std::string_view playerFolder,
                                          std::string_view playerName, std::string_view extension);

}  // namespace wordlark::words
