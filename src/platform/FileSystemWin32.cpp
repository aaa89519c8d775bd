#include "platform/FileSystem.h"

#include <windows.h>

#include <cerrno>

#include "platform/ErrnoWin32.h"
#include "platform/ProgramFolder.h"

namespace wordlark::platform {

namespace {

bool succeeded(BOOL result)
{
    if (!result) {
        setErrnoFromLastError();
    }
    return result != FALSE;
}

}  // namespace

FileKind kindOfPath(const std::string& path, bool followLinks)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        setErrnoFromLastError();
        return FileKind::Missing;
    }
    if (!followLinks && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return FileKind::Link;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return FileKind::Folder;
    }
    if (attributes & FILE_ATTRIBUTE_DEVICE) {
        return FileKind::CharacterDevice;
    }
    return FileKind::Regular;
}

bool makeFolder(const std::string& path)
{
    // The folder takes the permissions of the one it is made in: under the user's profile,
    // that user's alone.
    return succeeded(::CreateDirectoryA(path.c_str(), nullptr));
}

bool canWriteIn(const std::string& folder)
{
    // Windows ignores the read-only mark on folders; whether the permissions let the game write
    // there shows at the first save, which says so.
    const FileKind kind = kindOfPath(folder);
    if (kind == FileKind::Folder) {
        return true;
    }
    if (kind != FileKind::Missing) {
        errno = ENOTDIR;
    }
    return false;
}

bool removeFile(const std::string& path)
{
    return succeeded(::DeleteFileA(path.c_str()));
}

bool replaceFile(const std::string& from, const std::string& to)
{
    // Write-through: the move is on the disk when the call returns, so the folder needs no sync
    // of its own.
    return succeeded(::MoveFileExA(from.c_str(), to.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

void syncFolder(const std::string&) {}

bool forEachFolderEntry(const std::string& folder,
                        const std::function<bool(std::string_view name, FileKind kind)>& visit)
{
    std::string pattern = folder;
    if (pattern.empty() || !isPathSeparator(pattern.back())) {
        pattern += kPathSeparator;
    }
    pattern += '*';
    WIN32_FIND_DATAA found{};
    const HANDLE listing = ::FindFirstFileA(pattern.c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) {
        // Only the root of an empty drive lists nothing at all, not even ".".
        const bool empty = ::GetLastError() == ERROR_FILE_NOT_FOUND;
        setErrnoFromLastError();
        return empty;
    }
    do {
        const std::string_view name(found.cFileName);
        if (name == "." || name == "..") {
            continue;
        }
        const FileKind kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                  ? FileKind::Folder
                                  : FileKind::Regular;
        if (!visit(name, kind)) {
            break;
        }
    } while (::FindNextFileA(listing, &found));
    ::FindClose(listing);
    return true;
}

std::string toFileName(std::string_view cp1252)
{
    return std::string(cp1252);
}

std::optional<std::string> fromFileName(std::string_view fileName)
{
    // The ANSI calls spell a character their code page lacks as '?', which no file name holds.
    if (fileName.find('?') != std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(fileName);
}

}  // namespace wordlark::platform
