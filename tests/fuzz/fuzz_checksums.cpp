// fuzz_checksums -- the bytes as an archive's checksum entry: parsing stays inside them, and
// whatever is taken is a table the writer would make again byte for byte.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "archive/ChecksumTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using wordlark::archive::ChecksumTable;
    // An exact-size copy, so a read one byte past the entry is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string reason;
    const auto table = ChecksumTable::parse(std::span<const std::uint8_t>(bytes), &reason);
    if (!table) {
        if (reason.empty()) {
            __builtin_trap();  // a refusal always says why
        }
        return 0;
    }
    for (const ChecksumTable::Record& record : table->records()) {
        const ChecksumTable::Record* found = table->find(record.offset, record.storedSize);
        if (found == nullptr || found->crc != record.crc) {
            __builtin_trap();
        }
    }
    if (ChecksumTable::serialise(table->records()) != bytes) {
        __builtin_trap();
    }
    return 0;
}
