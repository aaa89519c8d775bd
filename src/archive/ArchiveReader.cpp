#include "archive/ArchiveReader.h"

#include <cerrno>
#include <memory>
#include <new>
#include <utility>

#include "archive/ChecksumTable.h"
#include "archive/FileHandleCache.h"
#include "archive/RegularFile.h"
#include "archive/Unpacker.h"
#include "platform/FileIo.h"

namespace wordlark::archive {

using platform::kMaxFileOffset;

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
        const std::ptrdiff_t n =
            platform::readAt(descriptor_, destination + done, count - done, position);
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
    const std::optional<std::uint64_t> size = platform::fileSize(descriptor_);
    if (!size) {
        fail(readFailure(path_, errno));
        return false;
    }
    if (offset > *size || count > *size - offset) {
        fail();
        return false;
    }
    return true;
}

std::uint32_t ArchiveReader::readEntry(std::uint64_t offset, std::uint8_t* destination,
                                       std::uint32_t unpackedSize, std::uint32_t storedSize,
                                       StoredSum* sum)
{
    if (failed_) {
        return 0;
    }
    const auto sumDiffers = [sum](const std::uint8_t* bytes, std::uint32_t size) {
        if (sum && ChecksumTable::crcOf({bytes, size}) != sum->expected) {
            sum->matched = false;
        }
        return sum && !sum->matched;
    };
    if (storedSize == unpackedSize) {
        const auto read = static_cast<std::uint32_t>(readAt(offset, destination, unpackedSize));
        return read == unpackedSize && sumDiffers(destination, read) ? 0 : read;
    }
    if (!checkExtent(offset, storedSize)) {
        return 0;
    }
    std::unique_ptr<std::uint8_t[]> stored(new (std::nothrow) std::uint8_t[storedSize]);
    if (!stored) {
        return 0;
    }
    if (readAt(offset, stored.get(), storedSize) != storedSize ||
        sumDiffers(stored.get(), storedSize)) {
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
