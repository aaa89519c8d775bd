// Players.h -- choosing who plays: the listed players, creating, switching, deleting, the top ten.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/GameState.h"
#include "game/Scores.h"

namespace wordlark::game {

// The most players the selection lists, and the longest name or password that can be typed.
inline constexpr std::size_t kMaxListedPlayers = 255;
inline constexpr std::size_t kMaxTypedLength = 14;
// The longest name a top-ten entry shows; longer stored names are cut.
inline constexpr std::size_t kMaxTopTenName = 49;
inline constexpr std::size_t kTopTenSize = 10;

// The players of the save folder in the order the folder lists them, at most 255.
std::vector<std::string> listPlayers(std::string_view playerFolder);

// The first listed name equal to `name` without regard to letter case.
std::optional<std::size_t> findPlayer(const std::vector<std::string>& names, std::string_view name);

// Whether the save folder holds a record of that name in any letter case, readable or not,
// listed or not (the list stops at 255), a folder in its place included: creating that
// player would overwrite it or fail.
bool hasRecordFile(std::string_view playerFolder, std::string_view name);

// Whether a typed character (a Windows-1252 byte) may go into a player's name: no control
// codes, no wildcards, nothing that would lead out of the save folder, nothing any system
// refuses in a file name.
bool isNameCharacter(unsigned char c);
// Why a new player cannot take this name, or none. A save folder moves between systems, so a
// name that one of them cannot hold as a file is refused on all: the device names (CON, PRN,
// AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any letter case) and a name ending in a space.
std::optional<std::string> refusedName(std::string_view name);
// The same for a password: printable ASCII only, no ".", "?" or "*".
bool isPasswordCharacter(unsigned char c);

// Makes a new player current: a zeroed record with that name and password at level 1, saved
// at once. The level and its computer rating are set, the match points cleared and the best
// other rating read again. False when the record could not be saved (*why says why): the
// player is in play all the same, and his next verdict tries again.
bool createPlayer(GameState& state, Scores& scores, std::string_view playerFolder,
                  std::string_view name, std::string_view password, std::string* why = nullptr);

// What a password check on a stored player came to.
enum class PlayerCheck {
    Accepted,       // the password matched and the action was done
    WrongPassword,  // nothing changed
    Damaged,        // the record was read and is damaged: the player's files were moved aside
    Unreadable,     // the record could not be read: nothing changed
};

// Stored players are found by name without regard to letter case.
//
// Makes the stored player of that name current when the password matches exactly: his level
// and its computer rating take effect and the match points are cleared. Otherwise the current
// player stays as he was.
// What a record that was not read came to: the whole story for the error stream, and what the
// foot of the screen has room for.
struct PlayerProblem {
    std::string line;
    std::string shown;
};

// *problem, when given, says why a record was not read and what became of it.
PlayerCheck switchPlayer(GameState& state, Scores& scores, std::string_view playerFolder,
                         std::string_view name, std::string_view password,
                         PlayerProblem* problem = nullptr);

// Deletes the stored player's record and word list when the password matches exactly. The
// current player stays in play even when he is the one deleted: his next verdict writes his
// record again.
PlayerCheck deletePlayer(GameState& state, Scores& scores, std::string_view playerFolder,
                         std::string_view name, std::string_view password,
                         PlayerProblem* problem = nullptr);

// Renames the player's files that exist to the same names with ".damaged" added (replacing
// older ones), so a damaged player leaves the list and nothing he owned is lost. Returns the
// file names (without folder) they now have.
std::vector<std::string> moveDamagedPlayerAside(std::string_view playerFolder,
                                                std::string_view name);

struct TopTenEntry {
    std::string name;  // as stored in the record, at most 49 characters
    std::int32_t rating = 0;
};

// The best rated readable players of the save folder, highest first; equal ratings in the
// order the folder lists them. Ratings of -10000 and below are never listed.
std::vector<TopTenEntry> readTopTen(std::string_view playerFolder);

}  // namespace wordlark::game
