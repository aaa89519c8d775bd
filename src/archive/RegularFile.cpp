#include "archive/RegularFile.h"

#include <cerrno>
#include <cstring>

#include "platform/FileIo.h"
#include "platform/FileSystem.h"

namespace wordlark::archive {

namespace {

using platform::FileKind;

const char* describe(FileKind kind)
{
    switch (kind) {
        case FileKind::Folder:
            return "a folder";
        case FileKind::Link:
            return "a link";
        case FileKind::Fifo:
            return "a FIFO";
        case FileKind::CharacterDevice:
            return "a character device";
        case FileKind::BlockDevice:
            return "a block device";
        case FileKind::Socket:
            return "a socket";
        default:
            return "not a plain file";
    }
}

std::string notRegular(const std::string& path, FileKind kind)
{
    return path + " is not a regular file (it is " + describe(kind) + ")";
}

void setReason(std::string* reason, std::string text)
{
    if (reason) {
        *reason = std::move(text);
    }
}

}  // namespace

std::string readFailure(const std::string& path, int error)
{
    return "cannot read " + path + ": " + std::strerror(error);
}

int openRegularFile(const std::string& path, std::string* reason, bool followLinks)
{
    const int descriptor = platform::openForReading(path, followLinks);
    if (descriptor < 0) {
        const int error = errno;
        // A socket cannot be opened at all; saying what it is helps more than "no such device".
        const FileKind kind = platform::kindOfPath(path, followLinks);
        if (kind != FileKind::Missing && kind != FileKind::Regular) {
            setReason(reason, notRegular(path, kind));
        } else {
            setReason(reason, "cannot open " + path + ": " + std::strerror(error));
        }
        return -1;
    }
    const FileKind kind = platform::kindOf(descriptor);
    if (kind == FileKind::Missing) {
        setReason(reason, readFailure(path, errno));
        platform::closeFile(descriptor);
        return -1;
    }
    if (kind != FileKind::Regular) {
        setReason(reason, notRegular(path, kind));
        platform::closeFile(descriptor);
        return -1;
    }
    return descriptor;
}

bool readRegularFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* reason,
                     std::uint64_t limit, bool followLinks)
{
    bytes->clear();
    const int descriptor = openRegularFile(path, reason, followLinks);
    if (descriptor < 0) {
        return false;
    }
    const auto tooLarge = [&](std::uint64_t size) {
        setReason(reason, path + " has " + std::to_string(size) + " bytes, more than the " +
                              std::to_string(limit) + " it may hold");
        platform::closeFile(descriptor);
        bytes->clear();
        return false;
    };
    // Judged from the size first: a sparse file of gigabytes costs nothing to make and minutes
    // to read. The count below still holds a file that grows while it is read.
    const std::optional<std::uint64_t> size = platform::fileSize(descriptor);
    if (size && *size > limit) {
        return tooLarge(*size);
    }
    std::uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        if (bytes->size() > limit) {
            return tooLarge(bytes->size());
        }
        const std::ptrdiff_t n = platform::readSome(descriptor, chunk, sizeof chunk);
        if (n < 0) {
            setReason(reason, readFailure(path, errno));
            ok = false;
            break;
        }
        if (n == 0) {
            break;
        }
        bytes->insert(bytes->end(), chunk, chunk + n);
    }
    platform::closeFile(descriptor);
    return ok;
}

}  // namespace wordlark::archive
