// FourCC.h -- four-character codes: tags as stored in files, commands as passed to pictures.
#pragma once

#include <cstdint>
#include <string>

namespace wordlark::archive {

// A tag stored in a file: four characters in reading order, so as a little-endian 32-bit
// value the first character is the low byte ("fon6").
constexpr std::uint32_t fileTag(const char (&t)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(t[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[3])) << 24;
}

// A command code: the first letter is the most significant byte ("Show" is 0x53686F77).
constexpr std::uint32_t commandCode(const char (&c)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(c[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[3]));
}

// The four characters of a file tag, for messages and listings.
inline std::string tagText(std::uint32_t tag)
{
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) {
        const auto ch = static_cast<unsigned char>(tag >> (8 * i));
        text[i] = (ch >= 0x20 && ch < 0x7F) ? static_cast<char>(ch) : '?';
    }
    return text;
}

}  // namespace wordlark::archive
