#include "game/Players.h"

#include <string>

#include "game/RecordFile.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "words/PlayerFiles.h"

namespace wordlark::game {

namespace {

// A free top-ten entry holds this rating; a player must be rated above it to enter.
constexpr std::int32_t kNoRating = -10000;

// Reads the stored player of that name; none when his record cannot be read.
std::optional<PlayerRecord> readPlayer(std::string_view playerFolder, std::string_view name)
{
    PlayerRecord record;
    record.setName(name);
    if (!loadRecord(playerFolder, record)) {
        return std::nullopt;
    }
    return record;
}

// The name the player's files carry on disk. Names are told apart without regard to case, but
// a file system may fold case or not: a typed "bert" must find "Bert.sav" on both kinds, and
// his saves must then land in that very file. The whole folder is looked at, not just the
// players the selection lists.
std::optional<std::string> storedName(std::string_view playerFolder, std::string_view name)
{
    std::optional<std::string> found;
    forEachPlayerFile(playerFolder, [&](std::string_view listed) {
        if (platform::compareNoCaseCp1252(listed, name) != 0) {
            return true;
        }
        if (!found || listed == name) {
            found = listed;
        }
        return listed != name;
    });
    if (!found) {
        // A folder, say, under the player's name: no record the list shows, still his.
        if (const auto path = words::playerFilePath(playerFolder, name, ".sav");
            path && platform::kindOfPath(*path, false) != platform::FileKind::Missing) {
            found = name;
        }
    }
    return found;
}

}  // namespace

std::vector<std::string> listPlayers(std::string_view playerFolder)
{
    std::vector<std::string> names;
    forEachPlayerFile(playerFolder, [&](std::string_view name) {
        names.emplace_back(name);
        return names.size() < kMaxListedPlayers;
    });
    return names;
}

std::optional<std::size_t> findPlayer(const std::vector<std::string>& names, std::string_view name)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (platform::compareNoCaseCp1252(names[i], name) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

bool hasRecordFile(std::string_view playerFolder, std::string_view name)
{
    return storedName(playerFolder, name).has_value();
}

bool isNameCharacter(unsigned char c)
{
    if (c < 32) {
        return false;
    }
    switch (c) {
        case '.':
        case '?':
        case '*':
        case '/':
        case '\\':
        case ':':
        case '<':
        case '>':
        case '"':
        case '|':
            return false;
        default:
            return true;
    }
}

std::optional<std::string> refusedName(std::string_view name)
{
    if (!name.empty() && name.back() == ' ') {
        return "a player's name cannot end in a space";
    }
    std::string upper;
    for (const char c : name) {
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    // COM and LPT take the digits 1 to 9 and the superscripts 1, 2 and 3 (Windows-1252).
    const bool device =
        upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" ||
        (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         std::string_view("123456789\xB9\xB2\xB3").find(upper[3]) != std::string_view::npos);
    if (device) {
        return std::string(name) + " cannot be a player's name: some systems keep it for a device";
    }
    return std::nullopt;
}

bool isPasswordCharacter(unsigned char c)
{
    return c >= 32 && c < 128 && c != '.' && c != '?' && c != '*';
}

bool createPlayer(GameState& state, Scores& scores, std::string_view playerFolder,
                  std::string_view name, std::string_view password, std::string* why)
{
    state.currentPlayer = PlayerRecord{};
    state.currentPlayer.setName(name);
    state.currentPlayer.setPassword(password);
    state.currentPlayer.level = 1;
    state.setLevel(1);
    const bool saved = saveRecord(playerFolder, state.currentPlayer, why);
    scores.clearPoints();
    scores.bestOtherRating = scanBestOtherRating(playerFolder, state.currentPlayer.nameView());
    return saved;
}

namespace {

// Reads the stored player typed (as spelt on disk) and checks his password; on acceptance
// `done` runs with his record and his stored name. A record that was read and found damaged is
// moved aside; one that could not be read stays where it is. Either is said in *problem.
template <typename Action>
PlayerCheck withStoredPlayer(GameState& state, Scores& scores, std::string_view playerFolder,
                             std::string_view typedName, std::string_view password,
                             PlayerProblem* problem, Action done)
{
    const std::string name = storedName(playerFolder, typedName).value_or(std::string(typedName));
    PlayerRecord stored;
    stored.setName(name);
    const RecordLoad load = loadRecord(playerFolder, stored);
    auto say = [problem](std::string line, std::string shown) {
        if (problem != nullptr) {
            *problem = {std::move(line), std::move(shown)};
        }
    };
    switch (load.status) {
        case RecordLoad::Status::Loaded:
            break;
        case RecordLoad::Status::Missing:
        case RecordLoad::Status::Unreadable:
            // Perhaps a permission or a passing fault: nothing of his is touched, and he stays
            // listed for another try.
            say("cannot read " + name + "'s record: " + load.reason,
                "cannot read " + name + "'s record: " + load.reason);
            return PlayerCheck::Unreadable;
        case RecordLoad::Status::Damaged: {
            const std::vector<std::string> moved = moveDamagedPlayerAside(playerFolder, name);
            std::string line = name + "'s record is damaged (" + load.reason + ")";
            std::string shown = name + "'s record is damaged";
            if (moved.empty()) {
                line += " and could not be moved aside";
                shown += " and could not be moved aside";
            } else {
                line += ": moved aside as";
                for (std::size_t i = 0; i < moved.size(); ++i) {
                    line += (i == 0 ? " " : i + 1 == moved.size() ? " and " : ", ") + moved[i];
                }
                // Every file named would not fit: the record's new name tells where the rest went.
                shown += ": moved aside as " + moved.front();
            }
            say(std::move(line), std::move(shown));
            scores.bestOtherRating =
                scanBestOtherRating(playerFolder, state.currentPlayer.nameView());
            return PlayerCheck::Damaged;
        }
    }
    if (stored.passwordView() != password) {
        return PlayerCheck::WrongPassword;
    }
    done(stored, name);
    scores.bestOtherRating = scanBestOtherRating(playerFolder, state.currentPlayer.nameView());
    return PlayerCheck::Accepted;
}

}  // namespace

PlayerCheck switchPlayer(GameState& state, Scores& scores, std::string_view playerFolder,
                         std::string_view typedName, std::string_view password,
                         PlayerProblem* problem)
{
    // The best other rating is read again afterwards: it left out the previous player and
    // counted this one, and would show stale until the next verdict.
    return withStoredPlayer(state, scores, playerFolder, typedName, password, problem,
                            [&](const PlayerRecord& stored, const std::string&) {
                                state.currentPlayer = stored;
                                state.setLevel(stored.level);
                                scores.clearPoints();
                            });
}

PlayerCheck deletePlayer(GameState& state, Scores& scores, std::string_view playerFolder,
                         std::string_view typedName, std::string_view password,
                         PlayerProblem* problem)
{
    return withStoredPlayer(state, scores, playerFolder, typedName, password, problem,
                            [&](const PlayerRecord&, const std::string& name) {
                                deletePlayerFiles(playerFolder, name);
                            });
}

std::vector<std::string> moveDamagedPlayerAside(std::string_view playerFolder,
                                                std::string_view name)
{
    std::vector<std::string> moved;
    for (const std::string_view extension : kPlayerFileExtensions) {
        const auto path = words::playerFilePath(playerFolder, name, extension);
        if (path && platform::kindOfPath(*path, false) != platform::FileKind::Missing &&
            platform::replaceFile(*path, *path + ".damaged")) {
            moved.push_back(std::string(name) + std::string(extension) + ".damaged");
        }
    }
    return moved;
}

std::vector<TopTenEntry> readTopTen(std::string_view playerFolder)
{
    std::vector<TopTenEntry> entries;
    forEachPlayerFile(playerFolder, [&](std::string_view name) {
        const std::optional<PlayerRecord> record = readPlayer(playerFolder, name);
        if (!record || record->rating <= kNoRating) {
            return true;
        }
        // The first entry rated strictly below goes down a place: equal ratings keep the
        // order of the folder.
        std::size_t place = 0;
        while (place < entries.size() && entries[place].rating >= record->rating) {
            ++place;
        }
        if (place >= kTopTenSize) {
            return true;
        }
        entries.insert(
            entries.begin() + static_cast<std::ptrdiff_t>(place),
            TopTenEntry{std::string(record->nameView().substr(0, kMaxTopTenName)), record->rating});
        if (entries.size() > kTopTenSize) {
            entries.pop_back();
        }
        return true;
    });
    return entries;
}

}  // namespace wordlark::game
