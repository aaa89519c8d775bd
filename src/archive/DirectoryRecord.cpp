#include "archive/DirectoryRecord.h"

#include <cstring>

#include "archive/Endian.h"

namespace wordlark::archive {

namespace {

// The field may be full to the last byte; the copy is always terminated, so a damaged name
// reads as its first 15 characters instead of running into the next field.
void copyName(char (&name)[kNameField], const std::uint8_t* field)
{
    std::memcpy(name, field, kNameField);
    name[kNameField - 1] = '\0';
}

}  // namespace

ArchiveHeader ArchiveHeader::parse(const std::uint8_t* bytes)
{
    ArchiveHeader header;
    copyName(header.name, bytes + 8);
    header.directoryOffset = readLe32(bytes + 24);
    header.entryCount = readLe32(bytes + 28);
    header.directoryStoredSize = readLe32(bytes + 32);
    header.dataBase = readLe32(bytes + 36);
    return header;
}

DirectoryRecord DirectoryRecord::parse(const std::uint8_t* bytes)
{
    DirectoryRecord record;
    record.offset = readLe32(bytes + 8);
    record.tag = readLe32(bytes + 12);
    record.unpackedSize = readLe32(bytes + 16);
    copyName(record.name, bytes + 20);
    record.storedSize = readLe32(bytes + 36);
    return record;
}

}  // namespace wordlark::archive
