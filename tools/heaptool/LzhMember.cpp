#include "heaptool/LzhMember.h"

#include "archive/Endian.h"

namespace wordlark::heaptool {

namespace {

using archive::readLe16;
using archive::readLe32;

bool fail(std::string* error, const char* reason)
{
    if (error) {
        *error = reason;
    }
    return false;
}

// Follows a chain of extended headers from `pos`, each ending in the 16-bit size of the next.
// Returns false when a header runs past the file or is too small to hold its own size field.
bool skipExtendedHeaders(std::span<const std::uint8_t> file, std::size_t* pos, std::size_t next,
                         std::size_t* total, std::string* error)
{
    while (next != 0) {
        if (next < 3 || next > file.size() - *pos) {
            return fail(error, "extended header runs past the file");
        }
        *pos += next;
        *total += next;
        next = readLe16(file.data() + *pos - 2);
    }
    return true;
}

}  // namespace

std::optional<LzhMember> LzhMember::readFirst(std::span<const std::uint8_t> file,
                                              std::string* error)
{
    if (file.size() < 22 || file[0] == 0) {
        fail(error, "no member header");
        return std::nullopt;
    }
    const std::uint8_t* b = file.data();
    LzhMember m;
    m.method.assign(reinterpret_cast<const char*>(b + 2), 5);
    m.headerLevel = b[20];
    m.originalSize = readLe32(b + 11);
    const std::uint32_t packedSize = readLe32(b + 7);
    std::size_t extended = 0;
    switch (m.headerLevel) {
        case 0:
            m.dataOffset = std::size_t{b[0]} + 2;
            break;
        case 1: {
            std::size_t pos = std::size_t{b[0]} + 2;
            if (pos < 27 || pos > file.size()) {
                fail(error, "level-1 header cut short");
                return std::nullopt;
            }
            if (!skipExtendedHeaders(file, &pos, readLe16(b + pos - 2), &extended, error)) {
                return std::nullopt;
            }
            if (extended > packedSize) {
                fail(error, "extended headers larger than the packed size");
                return std::nullopt;
            }
            m.dataOffset = pos;
            break;
        }
        case 2:
            m.dataOffset = readLe16(b);
            break;
        case 3:
            if (file.size() < 28) {
                fail(error, "level-3 header cut short");
                return std::nullopt;
            }
            m.dataOffset = readLe32(b + 24);
            break;
        default:
            fail(error, "unknown header level");
            return std::nullopt;
    }
    m.dataSize = packedSize - extended;
    if (m.dataOffset > file.size() || m.dataSize > file.size() - m.dataOffset) {
        fail(error, "member data runs past the file");
        return std::nullopt;
    }
    return m;
}

std::vector<std::uint8_t> LzhMember::makeArchive(std::string_view name, std::string_view method,
                                                 std::span<const std::uint8_t> payload,
                                                 std::span<const std::uint8_t> original)
{
    // Level 0: size, header sum, method, packed and original sizes, DOS time, attribute,
    // level, name, CRC; then the data and the closing zero byte.
    name = name.substr(0, 200);
    const std::size_t headerSize = 22 + name.size();
    std::vector<std::uint8_t> out(2 + headerSize, 0);
    out[0] = static_cast<std::uint8_t>(headerSize);
    for (std::size_t i = 0; i < 5 && i < method.size(); ++i) {
        out[2 + i] = static_cast<std::uint8_t>(method[i]);
    }
    archive::writeLe32(&out[7], static_cast<std::uint32_t>(payload.size()));
    archive::writeLe32(&out[11], static_cast<std::uint32_t>(original.size()));
    archive::writeLe32(&out[15], 0x00210000);  // 1980-01-01 00:00
    out[19] = 0x20;
    out[20] = 0;
    out[21] = static_cast<std::uint8_t>(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        out[22 + i] = static_cast<std::uint8_t>(name[i]);
    }
    archive::writeLe16(&out[22 + name.size()], crc16(original));
    unsigned sum = 0;
    for (std::size_t i = 2; i < out.size(); ++i) {
        sum += out[i];
    }
    out[1] = static_cast<std::uint8_t>(sum);
    out.insert(out.end(), payload.begin(), payload.end());
    out.push_back(0);
    return out;
}

std::uint16_t LzhMember::crc16(std::span<const std::uint8_t> bytes)
{
    unsigned crc = 0;
    for (std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
    }
    return static_cast<std::uint16_t>(crc);
}

}  // namespace wordlark::heaptool
