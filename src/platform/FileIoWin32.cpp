#include "platform/FileIo.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/DescriptorWin32.h"
#include "platform/ErrnoWin32.h"

namespace wordlark::platform {

namespace {

// Others may rename or remove a file while it is open, as on POSIX systems: a player's word list
// can be deleted while the dictionary still holds it open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Single reads and writes stay well inside what one call takes.
constexpr std::size_t kMaxChunk = 1u << 30;

// Only links are reparse points to refuse; others (files kept in the cloud, deduplicated ones)
// are regular files for the game.
bool isLink(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) {
        return true;
    }
    return IsReparseTagNameSurrogate(tag.ReparseTag);
}

}  // namespace

int openForReading(const std::string& path, bool followLinks)
{
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | (followLinks ? DWORD{0} : DWORD{FILE_FLAG_OPEN_REPARSE_POINT});
    return descriptorOf(::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      flags, nullptr),
                        _O_RDONLY);
}

int openForAppending(const std::string& path)
{
    // Appending access without writing access puts every write at the end; reading is allowed
    // so that the file's last byte can be looked at. A link at the name is opened itself, not
    // followed, and kindOf refuses it.
    return descriptorOf(
        ::CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                      kShareAll, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr),
        _O_RDWR | _O_APPEND);
}

int createTemporaryFile(std::string& path)
{
    constexpr std::size_t kUnique = 6;
    if (path.size() < kUnique || path.compare(path.size() - kUnique, kUnique, "XXXXXX") != 0) {
        errno = EINVAL;
        return -1;
    }
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uint64_t state = ::GetTickCount64() ^ (std::uint64_t{::GetCurrentProcessId()} << 32) ^
                          reinterpret_cast<std::uintptr_t>(&path);
    // CREATE_NEW tests that the name is new and creates the file in one step.
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = path.size() - kUnique; i < path.size(); ++i) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            path[i] = kLetters[(state >> 33) % (sizeof kLetters - 1)];
        }
        const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return descriptorOf(handle, _O_WRONLY);
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            setErrnoFromLastError();
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

FileKind kindOf(int fd)
{
    const HANDLE handle = handleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        return FileKind::Missing;
    }
    switch (::GetFileType(handle)) {
        case FILE_TYPE_DISK:
            break;
        case FILE_TYPE_CHAR:
            return FileKind::CharacterDevice;
        case FILE_TYPE_PIPE:
            return FileKind::Fifo;
        default:
            return FileKind::Other;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        setErrnoFromLastError();
        return FileKind::Missing;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return FileKind::Folder;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && isLink(handle)) {
        return FileKind::Link;
    }
    return FileKind::Regular;
}

std::ptrdiff_t readSome(int fd, void* data, std::size_t size)
{
    return ::_read(fd, data, static_cast<unsigned>(std::min(size, kMaxChunk)));
}

std::ptrdiff_t writeSome(int fd, const void* data, std::size_t size)
{
    return ::_write(fd, data, static_cast<unsigned>(std::min(size, kMaxChunk)));
}

std::ptrdiff_t readAt(int fd, void* data, std::size_t size, std::uint64_t offset)
{
    const HANDLE handle = handleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    // The offset travels with the read; the position it leaves behind is not used, since every
    // read of an archive says where it reads.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!::ReadFile(handle, data, static_cast<DWORD>(std::min(size, kMaxChunk)), &read, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) {
            return 0;
        }
        setErrnoFromLastError();
        return -1;
    }
    return static_cast<std::ptrdiff_t>(read);
}

std::optional<std::uint64_t> fileSize(int fd)
{
    const HANDLE handle = handleOf(fd);
    LARGE_INTEGER size{};
    if (handle == INVALID_HANDLE_VALUE || !::GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
        if (handle != INVALID_HANDLE_VALUE) {
            setErrnoFromLastError();
        }
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool syncFile(int fd)
{
    const HANDLE handle = handleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (!::FlushFileBuffers(handle)) {
        setErrnoFromLastError();
        return false;
    }
    return true;
}

bool closeFile(int fd)
{
    return ::_close(fd) == 0;
}

}  // namespace wordlark::platform
