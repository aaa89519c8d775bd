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

// 540 scrambled record bytes, then the sum of the plain bytes as a 32-bit little-endian value.
inline constexpr std::size_t kRecordFileSize = PlayerRecord::kSize + 4;

// The file's bytes for a record. Each stored byte is the previous stored byte XOR the low
// byte of its offset XOR the plain byte, so a damaged byte spoils its neighbour too.
std::array<std::uint8_t, kRecordFileSize> encodeRecordFile(const PlayerRecord& record);

// The record of a file's first 544 bytes into *record. False, *record untouched, when there
// are fewer bytes or the checksum does not match; bytes after the 544th are not looked at.
bool decodeRecordFile(std::span<const std::uint8_t> bytes, PlayerRecord* record);

// Writes the record to save/<name>.sav under programFolder, making the save folder when it is
// missing. The old file is replaced only by a complete new one (a temporary file renamed over
// it, the folder synced after), so a failed write leaves it as it was. False when the name
// cannot be a file name, or any step of the write fails; *why then says which and why.
bool saveRecord(std::string_view programFolder, const PlayerRecord& record,
                std::string* why = nullptr);

// At start-up, once the data is found: makes the save folder readable by its owner only (and
// the missing folders above it too only with makeParents, for the user's own data folder on a
// first run), holds `lock` on it for as long as the lock lives (the file save/.lock, which
// names no player), and, when no other copy of the game holds that lock, removes the temporary
// files a save interrupted by a crash or a kill left. False (*why says why) when the folder
// cannot be made or written, and the game's saves will fail, each told; or when it cannot be
// locked, and every temporary file is kept.
bool prepareSaveFolder(std::string_view programFolder, bool makeParents, platform::FolderLock& lock,
                       std::string* why = nullptr);

// Replaces *record by the file named after record.name. False, *record untouched, when the
// name is unusable, the file is missing, not a regular file, short or fails its checksum.
bool loadRecord(std::string_view programFolder, PlayerRecord& record);

// Deletes the player's record file and word list; a missing file or an unusable name
// changes nothing.
void deletePlayerFiles(std::string_view programFolder, std::string_view name);

// Calls `visit` with the player name (Windows-1252) of every record file of the save folder,
// in the order the folder lists them, until it answers false. Folders, names that do not map
// to Windows-1252 and file names (extension included) longer than 18 characters are not
// players. False when the folder cannot be listed.
bool forEachPlayerFile(std::string_view programFolder,
                       const std::function<bool(std::string_view name)>& visit);

// The highest rating, compared unsigned, among the loadable record files of the save folder
// other than currentName's (compared without regard to case). Files whose names are longer
// than 18 characters, or that do not map to Windows-1252, are not players. 0 when the
// folder cannot be listed.
std::uint32_t scanBestOtherRating(std::string_view programFolder, std::string_view currentName);

}  // namespace wordlark::game
