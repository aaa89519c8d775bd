// ArchiveReader.h -- reads an archive file through a shared descriptor; fails for good on a short
// read.
#pragma once

#include <cstdint>
#include <string>

namespace wordlark::archive {

class FileHandleCache;

class ArchiveReader {
public:
    // Takes the file's descriptor from `files`, which must outlive the reader.
    ArchiveReader(const std::string& path, FileHandleCache& files);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    bool failed() const { return failed_; }
    // Why a failed reader failed, one line naming the file: it could not be opened (or is no
    // regular file), or reading it went wrong. Empty when the file merely ended before the
    // bytes wanted (a short read or an extent outside it): that is damage, which the caller
    // describes, knowing what it was reading.
    const std::string& failure() const { return failure_; }

    // Reads count bytes at an absolute file offset; returns the bytes read. A short read
    // gives the descriptor back and fails the reader: every later read returns 0.
    std::uint64_t readAt(std::uint64_t offset, std::uint8_t* destination, std::uint64_t count);

    // The CRC-32 a piece's stored bytes must have. Bytes that differ are not unpacked: the
    // read produces 0 and `matched` turns false, telling damage from a stream that fails.
    struct StoredSum {
        std::uint32_t expected = 0;
        bool matched = true;
    };

    // Reads a piece of storedSize bytes and unpacks it when the sizes differ; returns the
    // bytes produced. Stored bytes that cannot give unpackedSize bytes (a packed stream that
    // announces fewer, or fewer raw bytes than wanted) produce 0, as does a partial read, and
    // so do stored bytes that differ from `sum` when it is given.
    std::uint32_t readEntry(std::uint64_t offset, std::uint8_t* destination,
                            std::uint32_t unpackedSize, std::uint32_t storedSize,
                            StoredSum* sum = nullptr);

    // True when the file holds count bytes at offset. An extent outside the file is what a
    // short read would find: the reader fails the same way, before anything is allocated.
    bool checkExtent(std::uint64_t offset, std::uint64_t count);

    // Gives the descriptor back (nothing when failed or already closed).
    void close();

private:
    void fail(std::string why = {});

    std::string path_;
    FileHandleCache& files_;
    std::string failure_;
    int descriptor_ = -1;
    bool failed_ = false;
};

}  // namespace wordlark::archive
