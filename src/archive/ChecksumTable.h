// ChecksumTable.h -- the archive's checksum entry: the CRC-32 of every stored piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/FourCC.h"

namespace wordlark::archive {

// The entry that holds the sums, found by its name; its tag must be kChecksumTag. An archive
// without it is read without checking, as archives made before it were.
inline constexpr const char* kChecksumEntry = "checksums";
inline constexpr std::uint32_t kChecksumTag = fileTag("sums");

// The entry's unpacked bytes, every number 32-bit little-endian:
//   0   "sums", the tag again
//   4   N, the number of records
//   8   CRC-32 of the N records (bytes 12 onwards), so that damage to the table itself shows
//   12  N records of 12 bytes: offset relative to the data base, stored size, CRC-32 of the
//       stored bytes; in increasing order of offset, then of size, no pair twice
// A record names a piece by where it lies, not by name, so that the frames of an animation,
// which no directory record names, are covered as well as the entries.
class ChecksumTable {
public:
    static constexpr std::size_t kHeaderSize = 12;
    static constexpr std::size_t kRecordSize = 12;

    struct Record {
        std::uint32_t offset = 0;
        std::uint32_t storedSize = 0;
        std::uint32_t crc = 0;
    };

    // The table in an entry's unpacked bytes; none, with the reason in *reason, when the bytes
    // are not one (wrong size or mark, records out of order or twice, a sum that disagrees).
    static std::optional<ChecksumTable> parse(std::span<const std::uint8_t> bytes,
                                              std::string* reason);

    // The entry's bytes for these records, which are sorted and freed of repeats first.
    static std::vector<std::uint8_t> serialise(std::vector<Record> records);

    // zlib's CRC-32 of the bytes; `running`, the sum of the bytes before them, continues it.
    static std::uint32_t crcOf(std::span<const std::uint8_t> bytes, std::uint32_t running = 0);

    // The record of the piece with exactly this offset and stored size, or none.
    const Record* find(std::uint32_t offset, std::uint32_t storedSize) const;

    const std::vector<Record>& records() const { return records_; }

private:
    std::vector<Record> records_;
};

}  // namespace wordlark::archive
