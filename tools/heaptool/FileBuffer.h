// FileBuffer.h -- a large byte buffer read from or written to a file in one piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wordlark::heaptool {

// Streams of many megabytes go through here. The memory is not zero-filled and asks for
// huge pages: touching millions of fresh small pages costs more than decoding into them.
class FileBuffer {
public:
    FileBuffer() = default;
    explicit FileBuffer(std::size_t size);  // uninitialised; empty() when allocation fails
    ~FileBuffer();
    FileBuffer(FileBuffer&& other) noexcept;
    FileBuffer& operator=(FileBuffer&& other) noexcept;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    // The whole file; false when it cannot be opened, is no regular file, holds more than
    // limit bytes, or cannot be sized or read, with one line naming the path in *reason (when
    // given). The size is judged before anything is read or allocated.
    bool readFrom(const std::string& path, std::string* reason = nullptr,
                  std::uint64_t limit = UINT64_MAX);

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool allocated() const { return data_ != nullptr || size_ == 0; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace wordlark::heaptool
