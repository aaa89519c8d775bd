// HistoryFile.h -- a player's history, save/<name>.his: one line per verdict, appended.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "game/HistoryEntry.h"

namespace wordlark::game {

class HistoryFile {
public:
    // The most a reading takes of a file: its last 16 MiB, some 180 000 verdicts.
    static constexpr std::uint64_t kMaxReadBytes = std::uint64_t{16} << 20;

    // The history of that player in the save folder under playerFolder.
    HistoryFile(std::string_view playerFolder, std::string_view playerName);

    // Appends the entry's line with one write: the file is made readable by its owner alone,
    // only a regular file is written (a link at the name is not followed, a FIFO cannot block),
    // and a last line cut short is ended as a line that does not read, so that the new line
    // stands whole and the cut one is never taken. False (*why says why) when any of it fails.
    bool append(const HistoryEntry& entry, std::string* why = nullptr) const;

    enum class Status {
        Read,
        Missing,     // no file, or a name that cannot be a file
        Unreadable,  // not a regular file, or it could not be opened or read
    };
    // Calls visit with every line that parses, in file order, from the last maxBytes of the file
    // (the line cut by that start is skipped). Lines that do not parse, longer ones included, are
    // skipped; a read that fails part way keeps what came before.
    Status read(const std::function<void(const HistoryEntry&)>& visit,
                std::uint64_t maxBytes = kMaxReadBytes) const;

    const std::optional<std::string>& path() const { return path_; }

private:
    std::optional<std::string> path_;
};

}  // namespace wordlark::game
