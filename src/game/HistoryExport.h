// HistoryExport.h -- a player's history as comma-separated values, for other programs.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace wordlark::game {

// The first line of the export: the names of the history's fields.
inline constexpr std::string_view kHistoryCsvHeader =
    "time,letters,level,player_word,computer_word,result,rating_before,rating_after,"
    "computer_rating_before,computer_rating_after,longest,daily";

// A field as a CSV field: quoted, with its quotes doubled, when it holds a comma, a quote or a
// line break.
std::string csvField(std::string_view text);

// Writes the header and every readable verdict of the player's history (the whole file, lines
// that do not parse skipped) to `out`, lines ending in CR LF. The player is known by his record
// file in the save folder under playerFolder; his name is Windows-1252. 0 when written; 1,
// with one line on `err`, for a player without a record, a history that cannot be read, or
// output that cannot be written.
int exportHistory(std::string_view playerFolder, std::string_view playerName, std::FILE* out,
                  std::FILE* err);

}  // namespace wordlark::game
