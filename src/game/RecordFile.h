// RecordFile.h -- the player's record file (scrambled record and checksum) and the save folder.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "game/PlayerRecord.h"

namespace wordlark::platform {
class FolderLock;
}  // namespace wordlark::platform

namespace wordlark::game {

// Every file a player owns in the save folder, by extension: his record, his word list, his
// history.
inline constexpr std::string_view kPlayerFileExtensions[] = {".sav", ".dic", ".his"};

// 540 scrambled record bytes, then the sum of the plain bytes as a 32-bit little-endian value.
inline constexpr std::size_t kRecordFileSize = PlayerRecord::kSize + 4;

// The file's bytes for a record. Each stored byte is the previous stored byte XOR the low
// byte of its offset XOR the plain byte, so a damaged byte spoils its neighbour too.
std::array<std::uint8_t, kRecordFileSize> encodeRecordFile(const PlayerRecord& record);

// The record of a file's first 544 bytes into *record. False, *record untouched, when there
// are fewer bytes or the checksum does not match; bytes after the 544th are not looked at.
bool decodeRecordFile(std::span<const std::uint8_t> bytes, PlayerRecord* record);

// Writes the record to save/<name>.sav under playerFolder, making the save folder when it is
// missing. The old file is replaced only by a complete new one (a temporary file renamed over
// it, the folder synced after), so a failed write leaves it as it was. False when the name
// cannot be a file name, or any step of the write fails; *why then says which and why.
bool saveRecord(std::string_view playerFolder, const PlayerRecord& record,
                std::string* why = nullptr);

// At start-up, once the data is found: makes the save folder readable by its owner only (and
// the missing folders above it too only with makeParents, for the user's own data folder on a
// first run), holds `lock` on it for as long as the lock lives (the file save/.lock, which
// names no player), and, when no other copy of the game holds that lock, removes the temporary
// files a save interrupted by a crash or a kill left. False (*why says why) when the folder
// cannot be made or written, and the game's saves will fail, each told; or when it cannot be
// locked, and every temporary file is kept.
bool prepareSaveFolder(std::string_view playerFolder, bool makeParents, platform::FolderLock& lock,
                       std::string* why = nullptr);

// What reading a player's record came to.
struct RecordLoad {
    enum class Status {
        Loaded,
        Missing,     // no file under that name (or an unusable name)
        Unreadable,  // there, but not a regular file, or it could not be opened or read
        Damaged,     // read whole, but too short, failing its checksum or naming another player
    };
    Status status = Status::Missing;
    // Why, when not loaded: the system's words ("Permission denied") or what was wrong.
    std::string reason;

    explicit operator bool() const { return status == Status::Loaded; }
};

// Replaces *record by the file named after record.name, whose fields are then held to their
// range. The file's name decides whose record it is: one holding another player's name is
// damaged, and one holding the same name in other letter case takes the file's spelling, so
// that his saves land in the file they came from. Otherwise *record stays untouched.
RecordLoad loadRecord(std::string_view playerFolder, PlayerRecord& record);

// Deletes the player's files (kPlayerFileExtensions); a missing file or an unusable name
// changes nothing.
void deletePlayerFiles(std::string_view playerFolder, std::string_view name);

// Calls `visit` with the player name (Windows-1252) of every record file of the save folder,
// in the order the folder lists them, until it answers false. Folders, names that do not map
// to Windows-1252 and file names (extension included) longer than 18 characters are not
// players. False when the folder cannot be listed.
bool forEachPlayerFile(std::string_view playerFolder,
                       const std::function<bool(std::string_view name)>& visit);

// The highest rating, compared unsigned, among the loadable record files of the save folder
// other than currentName's (compared without regard to case). Files whose names are longer
// than 18 characters, or that do not map to Windows-1252, are not players. 0 when the
// folder cannot be listed.
std::uint32_t scanBestOtherRating(std::string_view playerFolder, std::string_view currentName);

}  // namespace wordlark::game
