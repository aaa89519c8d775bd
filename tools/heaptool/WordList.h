// WordList.h -- turns the text word list (one word per line) into the 16-byte word records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wordlark::heaptool {

// Parses one word per line (blank lines ignored, CR LF accepted); each word must be 1 to 15
// capital letters A-Z and becomes a 16-byte record padded with NUL, in file order. The list
// must hold words of every length from 3 to 7, the lengths the deals are made of. On failure
// *records is empty and *error holds one line ("line N: ...").
bool wordRecordsFromText(std::string_view text, std::vector<std::uint8_t>* records,
                         std::string* error);

}  // namespace wordlark::heaptool
