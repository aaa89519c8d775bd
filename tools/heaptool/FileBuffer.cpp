#include "heaptool/FileBuffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <utility>

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

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
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

bool FileBuffer::readFrom(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
        *this = FileBuffer(static_cast<std::size_t>(info.st_size));
        ok = allocated();
        std::size_t done = 0;
        while (ok && done < size_) {
            const ssize_t n = ::read(fd, data_ + done, size_ - done);
            ok = n > 0;
            done += ok ? static_cast<std::size_t>(n) : 0;
        }
    }
    ::close(fd);
    return ok;
}

bool FileBuffer::writeTo(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = writeAll(fd, data, size);
    return (::close(fd) == 0) && written;
}

}  // namespace wordlark::heaptool
