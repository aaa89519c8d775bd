// LzhMember.h -- finds the first member of an LHA (.lzh) archive and makes one-member archives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wordlark::heaptool {

// Where the first member of an .lzh file keeps its compressed bytes. Header levels 0 to 3.
struct LzhMember {
    std::string method;  // "-lh5-" and the like
    int headerLevel = 0;
    std::uint32_t originalSize = 0;
    std::size_t dataOffset = 0;  // of the compressed bytes in the file
    std::size_t dataSize = 0;

    // Reads the first member's header; none, with a one-line reason in *error, when the bytes
    // hold no complete member.
    static std::optional<LzhMember> readFirst(std::span<const std::uint8_t> file,
                                              std::string* error);

    // A level-0 archive holding one member: `payload` is its compressed bytes under `method`
    // (five characters), `original` the bytes they stand for (for the size and check sum).
    static std::vector<std::uint8_t> makeArchive(std::string_view name, std::string_view method,
                                                 std::span<const std::uint8_t> payload,
                                                 std::span<const std::uint8_t> original);

    // The check sum LHA keeps of a member's original bytes (CRC-16, polynomial 0xA001).
    static std::uint16_t crc16(std::span<const std::uint8_t> bytes);
};

}  // namespace wordlark::heaptool
