// DirectoryRecord.h -- the 40-byte archive header and the 40-byte directory records.
#pragma once

#include <cstdint>

namespace wordlark::archive {

inline constexpr std::uint32_t kHeaderSize = 40;
inline constexpr std::uint32_t kRecordSize = 40;
inline constexpr int kNameField = 16;  // NUL-terminated, at most 15 characters

// Header as read: offsets already absolute (the archive starts at file offset 0).
struct ArchiveHeader {
    char name[kNameField] = {};
    std::uint32_t directoryOffset = 0;
    std::uint32_t entryCount = 0;
    std::uint32_t directoryStoredSize = 0;
    std::uint32_t dataBase = 0;

    static ArchiveHeader parse(const std::uint8_t* bytes);  // kHeaderSize bytes
};

struct DirectoryRecord {
    std::uint32_t offset = 0;  // relative to the data base
    std::uint32_t tag = 0;     // four characters in file order, first one in the low byte
    std::uint32_t unpackedSize = 0;
    char name[kNameField] = {};  // always NUL-terminated after parse
    std::uint32_t storedSize = 0;

    static DirectoryRecord parse(const std::uint8_t* bytes);  // kRecordSize bytes
};

}  // namespace wordlark::archive
