// ArchiveWriter.h -- lays out a resource archive: header, entry data, packed directory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ChecksumTable.h"

namespace wordlark::heaptool {

// How an entry, a piece or the directory is stored.
enum class Storage : int {
    Automatic = -1,  // the smallest of plain, method 1 and method 2
    Plain = 0,
    Method1 = 1,
    Method2 = 2,
    Method3 = 3,
};

class ArchiveWriter {
public:
    // Adds a directory entry. Names longer than 15 characters are cut to 15; the tag is its
    // four characters in file order (shorter tags are padded with NUL). Data larger than
    // the game reads (archive::kMaxUnpackedSize) is not added: error() says so and write()
    // fails.
    void addEntry(std::string_view name, std::string_view tag, std::vector<std::uint8_t> data,
                  Storage storage = Storage::Automatic);

    // Adds bytes to the data area that no directory record names (the frames of an
    // animation). Returns their offset relative to the data base; the stored size goes
    // to *storedSize. Oversized data is refused as by addEntry (offset and size 0).
    std::uint32_t addPiece(std::vector<std::uint8_t> data, Storage storage,
                           std::uint32_t* storedSize);

    void setDirectoryStorage(Storage storage) { directoryStorage_ = storage; }
    // Whether build() adds the checksum entry (archive::kChecksumEntry), the CRC-32 of every
    // entry's and piece's stored bytes, so that the game finds damage instead of using it.
    // On unless turned off, for archives made as they were before it.
    void setChecksums(bool on) { checksums_ = on; }

    // The whole archive file. The header names the archive archiveName (its own file name,
    // cut to 15 characters). The checksum entry, when made, is stored plain after the data of
    // the others and is the directory's last record.
    std::vector<std::uint8_t> build(std::string_view archiveName) const;

    // Writes build() to path; false with a one-line reason in *error on failure, including
    // an entry or piece that was refused earlier.
    bool write(const std::string& path, std::string_view archiveName, std::string* error) const;

    // The first refusal of addEntry or addPiece; empty when everything was taken.
    const std::string& error() const { return error_; }

    // The stored bytes for data under a storage choice. A packed stream never comes out the
    // same size as its data (that size means "stored plain" to the reader).
    static std::vector<std::uint8_t> store(const std::vector<std::uint8_t>& data, Storage storage);

private:
    struct Record {
        std::string name;
        std::uint32_t tag = 0;
        std::uint32_t offset = 0;
        std::uint32_t unpackedSize = 0;
        std::uint32_t storedSize = 0;
    };
    // Appends the stored form of data to the data area; false (and error_ set) when refused.
    bool append(const std::vector<std::uint8_t>& data, Storage storage, std::string_view what,
                Record* record);

    std::vector<Record> records_;
    std::vector<archive::ChecksumTable::Record> sums_;  // every entry and piece
    std::vector<std::uint8_t> dataArea_;
    Storage directoryStorage_ = Storage::Automatic;
    bool checksums_ = true;
    std::string error_;
};

}  // namespace wordlark::heaptool
