// FileSystem.h -- names in folders: what a path is, folders, removing, replacing, listing, and
// file names as the system spells them. One implementation per kind of system (FileSystemPosix,
// FileSystemWin32). A failure leaves errno saying why.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wordlark::platform {

// What a path or an open file is. Systems without some of these never answer them.
enum class FileKind {
    Missing,  // nothing there, or it could not be looked at
    Regular,
    Folder,
    Link,  // only when asked not to follow links
    Fifo,
    CharacterDevice,
    BlockDevice,
    Socket,
    Other,
};

// What the path names; a link is followed unless followLinks is false.
FileKind kindOfPath(const std::string& path, bool followLinks = true);

// Makes one folder (its parent must exist), readable by its owner alone where the system keeps
// owners. False when it cannot be made or already exists (errno EEXIST).
bool makeFolder(const std::string& path);

// Whether this process may make and remove files in the folder.
bool canWriteIn(const std::string& folder);

// Removes a file (not a folder).
bool removeFile(const std::string& path);

// Gives `from` the name `to`, replacing a file there in one step: a reader sees the old file or
// the new one, never neither. Both lie in the same folder.
bool replaceFile(const std::string& from, const std::string& to);

// Makes the folder's names (a replacement just made in it) reach the disk, where the system needs
// that asked of the folder itself; nothing where replaceFile does it already.
void syncFolder(const std::string& folder);

// Calls visit with the name and kind (links followed) of every entry of the folder but "." and
// "..", in the order the system lists them, until it answers false. False when the folder cannot
// be listed.
bool forEachFolderEntry(const std::string& folder,
                        const std::function<bool(std::string_view name, FileKind kind)>& visit);

// A name as the game keeps it (Windows-1252) spelt as this system's file names are: UTF-8 on
// POSIX systems, the very bytes through Windows' ANSI calls.
std::string toFileName(std::string_view cp1252);

// A listed file name back in Windows-1252; none when it has no such form.
std::optional<std::string> fromFileName(std::string_view fileName);

}  // namespace wordlark::platform
