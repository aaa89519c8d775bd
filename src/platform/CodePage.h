// CodePage.h -- Windows-1252, the game's single-byte code page: upper-casing, comparison, UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wordlark::platform {

// Upper case of one Windows-1252 byte (a-z, the accented small letters, s/z/oe caron
// and y diaeresis); every other byte is returned unchanged. Independent of the C locale.
unsigned char upperCp1252(unsigned char c);

// Upper-cases a Windows-1252 text in place / into a copy.
void upperCaseCp1252(std::string& text);
std::string toUpperCp1252(std::string_view text);

// Case-insensitive comparison under Windows-1252 upper-casing: <0, 0 or >0.
int compareNoCaseCp1252(std::string_view a, std::string_view b);

// Windows-1252 bytes to UTF-8. Bytes the code page leaves undefined map to U+FFFD.
std::string cp1252ToUtf8(std::string_view text);

// UTF-8 to Windows-1252; none when the text is not valid UTF-8 or holds a character
// outside the code page.
std::optional<std::string> utf8ToCp1252(std::string_view text);

// The Windows-1252 bytes of typed UTF-8 text (a desktop's text input). A character the code
// page lacks is dropped, and so is every byte of a malformed sequence, decoding going on after
// it.
std::string typedToCp1252(std::string_view text);

// The code point of one Windows-1252 byte (0xFFFD for the five undefined bytes).
char32_t cp1252ToCodePoint(unsigned char c);

// The Windows-1252 byte of a code point, or none when the code page lacks it.
std::optional<unsigned char> codePointToCp1252(char32_t cp);

}  // namespace wordlark::platform
