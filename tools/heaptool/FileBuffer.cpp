#include "heaptool/FileBuffer.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include "archive/RegularFile.h"

namespace wordlark::heaptool {

namespace {

constexpr std::size_t kHugePage = 2u << 20;

std::uint8_t* allocate(std::size_t size)
{
    if (size == 0) {
        return nullptr;
    }
    if (size < kHugePage) {
        return static_cast<std::uint8_t*>(std::malloc(size));
    }
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory) {
        ::madvise(memory, rounded, MADV_HUGEPAGE);  // a hint; refusal changes nothing
    }
    return static_cast<std::uint8_t*>(memory);
}

}  // namespace

FileBuffer::FileBuffer(std::size_t size) : data_(allocate(size)), size_(data_ ? size : 0) {}

FileBuffer::~FileBuffer()
{
    std::free(data_);
}

FileBuffer::FileBuffer(FileBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
{
}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept
{
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool FileBuffer::readFrom(const std::string& path, std::string* reason, std::uint64_t limit)
{
    const int fd = archive::openRegularFile(path, reason);
    if (fd < 0) {
        return false;
    }
    const auto failWith = [&](std::string why) {
        if (reason) {
            *reason = std::move(why);
        }
        ::close(fd);
        return false;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return failWith(archive::readFailure(path, errno));
    }
    // A sparse file of gigabytes costs nothing to make and minutes to read.
    if (static_cast<std::uint64_t>(info.st_size) > limit) {
        return failWith(path + " has " + std::to_string(info.st_size) + " bytes, more than the " +
                        std::to_string(limit) + " heaptool reads from it");
    }
    *this = FileBuffer(static_cast<std::size_t>(info.st_size));
    if (!allocated()) {
        return failWith("not enough memory for the " + std::to_string(info.st_size) + " bytes of " +
                        path);
    }
    std::size_t done = 0;
    while (done < size_) {
        const ssize_t n = ::read(fd, data_ + done, size_ - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return failWith(archive::readFailure(path, errno));
        }
        if (n == 0) {
            return failWith(path + " became shorter while it was read");
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return true;
}

}  // namespace wordlark::heaptool
