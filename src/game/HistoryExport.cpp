#include "game/HistoryExport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "game/HistoryFile.h"
#include "game/PlayerRecord.h"
#include "game/RecordFile.h"
#include "platform/CodePage.h"

namespace wordlark::game {

std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

int exportHistory(std::string_view playerFolder, std::string_view playerName, std::FILE* out,
                  std::FILE* err)
{
    const std::string shown = platform::cp1252ToUtf8(playerName);
    PlayerRecord record;
    record.setName(playerName);
    // Unreadable or damaged, the record still says the player exists; his history is his own.
    if (loadRecord(playerFolder, record).status == RecordLoad::Status::Missing) {
        std::fprintf(err, "wordlark: no player named %s\n", shown.c_str());
        return 1;
    }
    std::fprintf(out, "%.*s\r\n", static_cast<int>(kHistoryCsvHeader.size()),
                 kHistoryCsvHeader.data());
    const HistoryFile file(playerFolder, record.nameView());
    std::string row;
    const auto status = file.read(
        [out, &row](const HistoryEntry& entry) {
            // The line's own fields, tabs to commas: the parse has checked every one of them.
            std::string line = formatHistoryLine(entry);
            line.pop_back();
            row.clear();
            const bool plain = std::none_of(line.begin(), line.end(), [](char c) {
                return c == ',' || c == '"' || c == '\r' || c == '\n';
            });
            if (plain) {
                // No field needs quoting, which is every line the parse lets through today; a
                // history of a million games is written in a moment even in a checked build.
                std::replace(line.begin(), line.end(), '\t', ',');
                row.swap(line);
            } else {
                std::size_t start = 0;
                for (;;) {
                    const std::size_t tab = line.find('\t', start);
                    row += csvField(std::string_view(line).substr(start, tab - start));
                    if (tab == std::string::npos) {
                        break;
                    }
                    row += ',';
                    start = tab + 1;
                }
            }
            row += "\r\n";
            std::fwrite(row.data(), 1, row.size(), out);
        },
        std::numeric_limits<std::uint64_t>::max() - 1);
    if (status == HistoryFile::Status::Unreadable) {
        std::fprintf(err, "wordlark: cannot read the history of %s\n", shown.c_str());
        return 1;
    }
    if (std::fflush(out) != 0 || std::ferror(out) != 0) {
        std::fprintf(err, "wordlark: cannot write the history of %s: %s\n", shown.c_str(),
                     std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace wordlark::game
