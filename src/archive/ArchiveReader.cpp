#include "archive/ArchiveReader.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "archive/FileHandleCache.h"
#include "archive/RegularFile.h"
#include "archive/Unpacker.h"

namespace wordlark::archive {

namespace {

constexpr std::uint64_t kMaxFileOffset = std::numeric_limits<off_t>::max();

}  // namespace

ArchiveReader::ArchiveReader(const std::string& path, FileHandleCache& files)
    : path_(path), files_(files), descriptor_(files.acquire(path, &failure_))
{
    failed_ = descriptor_ < 0;
}

ArchiveReader::~ArchiveReader()
{
    close();
}

void ArchiveReader::close()
{
    if (descriptor_ >= 0) {
        files_.release(descriptor_);
        descriptor_ = -1;
    }
}

void ArchiveReader::fail(std::string why)
{
    close();
    failed_ = true;
    failure_ = std::move(why);
}

std::uint64_t ArchiveReader::readAt(std::uint64_t offset, std::uint8_t* destination,
                                    std::uint64_t count)
{
    if (failed_ || descriptor_ < 0 || offset > kMaxFileOffset) {
        return 0;
    }
    std::uint64_t done = 0;
    while (done < count) {
        const std::uint64_t position = offset + done;
        if (position > kMaxFileOffset) {
            break;
        }
        const std::uint64_t chunk =
            std::min<std::uint64_t>(count - done, std::numeric_limits<ssize_t>::max());
        const ssize_t n =
            ::pread(descriptor_, destination + done, chunk, static_cast<off_t>(position));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            fail(readFailure(path_, errno));
            return done;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::uint64_t>(n);
    }
    if (done < count) {
        fail();
    }
    return done;
}

bool ArchiveReader::checkExtent(std::uint64_t offset, std::uint64_t count)
{
    if (failed_ || descriptor_ < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0 || info.st_size < 0) {
        fail(readFailure(path_, errno));
        return false;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (offset > size || count > size - offset) {
        fail();
        return false;
    }
    return true;
}

std::uint32_t ArchiveReader::readEntry(std::uint64_t offset, std::uint8_t* destination,
                                       std::uint32_t unpackedSize, std::uint32_t storedSize)
{
    if (failed_) {
        return 0;
    }
    if (storedSize == unpackedSize) {
        return static_cast<std::uint32_t>(readAt(offset, destination, unpackedSize));
    }
    if (!checkExtent(offset, storedSize)) {
        return 0;
    }
    std::unique_ptr<std::uint8_t[]> stored(new (std::nothrow) std::uint8_t[storedSize]);
    if (!stored) {
        return 0;
    }
    if (readAt(offset, stored.get(), storedSize) != storedSize) {
        return 0;
    }
    // A stream that announces fewer bytes, or raw bytes shorter than the piece, would leave
    // the rest of the destination unwritten: such a piece cannot be read whole.
    const auto announced = packedOutputSize(stored.get(), storedSize);
    const std::uint64_t available = announced ? *announced : storedSize;
    if (available < unpackedSize) {
        return 0;
    }
    return static_cast<std::uint32_t>(unpack(destination, unpackedSize, stored.get(), storedSize));
}

}  // namespace wordlark::archive
