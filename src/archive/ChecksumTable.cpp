#include "archive/ChecksumTable.h"

#include <zlib.h>

#include <algorithm>
#include <tuple>

#include "archive/Endian.h"

namespace wordlark::archive {

namespace {

bool before(const ChecksumTable::Record& a, const ChecksumTable::Record& b)
{
    return std::tie(a.offset, a.storedSize) < std::tie(b.offset, b.storedSize);
}

bool samePiece(const ChecksumTable::Record& a, const ChecksumTable::Record& b)
{
    return a.offset == b.offset && a.storedSize == b.storedSize;
}

}  // namespace

std::uint32_t ChecksumTable::crcOf(std::span<const std::uint8_t> bytes, std::uint32_t running)
{
    // In steps that zlib's 32-bit lengths can hold.
    constexpr std::size_t kStep = 1u << 30;
    uLong crc = running;
    for (std::size_t done = 0; done < bytes.size(); done += kStep) {
        const std::size_t count = std::min(kStep, bytes.size() - done);
        crc = crc32(crc, bytes.data() + done, static_cast<uInt>(count));
    }
    return static_cast<std::uint32_t>(crc);
}

std::optional<ChecksumTable> ChecksumTable::parse(std::span<const std::uint8_t> bytes,
                                                  std::string* reason)
{
    const auto refuse = [reason](const char* why) -> std::optional<ChecksumTable> {
        if (reason) {
            *reason = why;
        }
        return std::nullopt;
    };
    if (bytes.size() < kHeaderSize || readLe32(bytes.data()) != kChecksumTag) {
        return refuse("it does not begin as a checksum table");
    }
    const std::uint32_t count = readLe32(bytes.data() + 4);
    // 64-bit, so that a huge count cannot wrap around to the size at hand.
    if (std::uint64_t{count} * kRecordSize != bytes.size() - kHeaderSize) {
        return refuse("its size does not fit the number of sums it claims");
    }
    const std::span<const std::uint8_t> table = bytes.subspan(kHeaderSize);
    if (crcOf(table) != readLe32(bytes.data() + 8)) {
        return refuse("the table does not match its own checksum");
    }
    ChecksumTable result;
    result.records_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* field = table.data() + i * kRecordSize;
        const Record record{readLe32(field), readLe32(field + 4), readLe32(field + 8)};
        // In order and each piece once: a lookup then has one answer, found by halving.
        if (!result.records_.empty() && !before(result.records_.back(), record)) {
            return refuse("its sums are out of order or name a piece twice");
        }
        result.records_.push_back(record);
    }
    return result;
}

std::vector<std::uint8_t> ChecksumTable::serialise(std::vector<Record> records)
{
    std::sort(records.begin(), records.end(), before);
    records.erase(std::unique(records.begin(), records.end(), samePiece), records.end());
    std::vector<std::uint8_t> bytes(kHeaderSize + records.size() * kRecordSize, 0);
    std::uint8_t* field = bytes.data() + kHeaderSize;
    for (const Record& record : records) {
        writeLe32(field, record.offset);
        writeLe32(field + 4, record.storedSize);
        writeLe32(field + 8, record.crc);
        field += kRecordSize;
    }
    writeLe32(bytes.data(), kChecksumTag);
    writeLe32(bytes.data() + 4, static_cast<std::uint32_t>(records.size()));
    writeLe32(bytes.data() + 8, crcOf(std::span<const std::uint8_t>(bytes).subspan(kHeaderSize)));
    return bytes;
}

const ChecksumTable::Record* ChecksumTable::find(std::uint32_t offset,
                                                 std::uint32_t storedSize) const
{
    const Record key{offset, storedSize, 0};
    const auto it = std::lower_bound(records_.begin(), records_.end(), key, before);
    return it != records_.end() && samePiece(*it, key) ? &*it : nullptr;
}

}  // namespace wordlark::archive
