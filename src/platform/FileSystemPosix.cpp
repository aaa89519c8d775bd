#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

#include "platform/CodePage.h"
#include "platform/FileKindPosix.h"

namespace wordlark::platform {

FileKind kindOfPath(const std::string& path, bool followLinks)
{
    struct stat info {};
    const int result = followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    return result == 0 ? fileKindOfMode(info.st_mode) : FileKind::Missing;
}

bool makeFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0700) == 0;
}

bool canWriteIn(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool replaceFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void syncFolder(const std::string& folder)
{
    // A rename reaches the disk only with its folder: until then a power cut could bring the
    // older file back.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool forEachFolderEntry(const std::string& folder,
                        const std::function<bool(std::string_view name, FileKind kind)>& visit)
{
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return false;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        FileKind kind = FileKind::Other;
        switch (entry->d_type) {
            case DT_REG:
                kind = FileKind::Regular;
                break;
            case DT_DIR:
                kind = FileKind::Folder;
                break;
            case DT_FIFO:
                kind = FileKind::Fifo;
                break;
            case DT_CHR:
                kind = FileKind::CharacterDevice;
                break;
            case DT_BLK:
                kind = FileKind::BlockDevice;
                break;
            case DT_SOCK:
                kind = FileKind::Socket;
                break;
            default: {
                // A link, or a file system that does not say: ask for what it leads to.
                struct stat info {};
                kind = ::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0
                           ? fileKindOfMode(info.st_mode)
                           : FileKind::Missing;
                break;
            }
        }
        if (!visit(name, kind)) {
            break;
        }
    }
    ::closedir(listing);
    return true;
}

std::string toFileName(std::string_view cp1252)
{
    // Bytes 0x80..0xFF become multi-byte sequences made only of bytes >= 0x80, so the
    // conversion cannot bring a separator back.
    return cp1252ToUtf8(cp1252);
}

std::optional<std::string> fromFileName(std::string_view fileName)
{
    return utf8ToCp1252(fileName);
}

}  // namespace wordlark::platform
