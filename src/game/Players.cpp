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
std::optional<PlayerRecord> readPlayer(std::string_view programFolder, std::string_view name)
{
    PlayerRecord record;
    record.setName(name);
    if (!loadRecord(programFolder, record)) {
        return std::nullopt;
    }
    return record;
}

// The name the player's files carry on disk. Names are told apart without regard to case, but
// this file system does not fold case: a typed "bert" must find "Bert.sav".
std::string storedName(std::string_view programFolder, std::string_view name)
{
    std::string found(name);
    PlayerRecord exact;
    exact.setName(name);
    if (loadRecord(programFolder, exact)) {
        return found;
    }
    forEachPlayerFile(programFolder, [&](std::string_view listed) {
        if (platform::compareNoCaseCp1252(listed, name) != 0) {
            return true;
        }
        found = listed;
        return false;
    });
    return found;
}

PlayerCheck damaged(GameState& state, Scores& scores, std::string_view programFolder,
                    std::string_view name)
{
    moveDamagedPlayerAside(programFolder, name);
    scores.bestOtherRating = scanBestOtherRating(programFolder, state.currentPlayer.nameView());
    return PlayerCheck::Damaged;
}

}  // namespace

std::vector<std::string> listPlayers(std::string_view programFolder)
{
    std::vector<std::string> names;
    forEachPlayerFile(programFolder, [&](std::string_view name) {
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

bool hasRecordFile(std::string_view programFolder, std::string_view name)
{
    const auto path = words::playerFilePath(programFolder, name, ".sav");
    if (!path) {
        return false;
    }
    // A folder under that name is no record: saving over it fails, and says so.
    const platform::FileKind kind = platform::kindOfPath(*path, false);
    return kind != platform::FileKind::Missing && kind != platform::FileKind::Folder;
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
            return false;
        default:
            return true;
    }
}

bool isPasswordCharacter(unsigned char c)
{
    return c >= 32 && c < 128 && c != '.' && c != '?' && c != '*';
}

bool createPlayer(GameState& state, Scores& scores, std::string_view programFolder,
                  std::string_view name, std::string_view password, std::string* why)
{
    state.currentPlayer = PlayerRecord{};
    state.currentPlayer.setName(name);
    state.currentPlayer.setPassword(password);
    state.currentPlayer.level = 1;
    state.setLevel(1);
    const bool saved = saveRecord(programFolder, state.currentPlayer, why);
    scores.clearPoints();
    scores.bestOtherRating = scanBestOtherRating(programFolder, state.currentPlayer.nameView());
    return saved;
}

namespace {

// Reads the stored player typed (as spelt on disk) and checks his password; on acceptance
// `done` runs with his record and his stored name. A damaged record is moved aside.
template <typename Action>
PlayerCheck withStoredPlayer(GameState& state, Scores& scores, std::string_view programFolder,
                             std::string_view typedName, std::string_view password, Action done)
{
    const std::string name = storedName(programFolder, typedName);
    const std::optional<PlayerRecord> stored = readPlayer(programFolder, name);
    if (!stored) {
        return damaged(state, scores, programFolder, name);
    }
    if (stored->passwordView() != password) {
        return PlayerCheck::WrongPassword;
    }
    done(*stored, name);
    scores.bestOtherRating = scanBestOtherRating(programFolder, state.currentPlayer.nameView());
    return PlayerCheck::Accepted;
}

}  // namespace

PlayerCheck switchPlayer(GameState& state, Scores& scores, std::string_view programFolder,
                         std::string_view typedName, std::string_view password)
{
    // The best other rating is read again afterwards: it left out the previous player and
    // counted this one, and would show stale until the next verdict.
    return withStoredPlayer(state, scores, programFolder, typedName, password,
                            [&](const PlayerRecord& stored, const std::string&) {
                                state.currentPlayer = stored;
                                state.setLevel(stored.level);
                                scores.clearPoints();
                            });
}

PlayerCheck deletePlayer(GameState& state, Scores& scores, std::string_view programFolder,
                         std::string_view typedName, std::string_view password)
{
    return withStoredPlayer(state, scores, programFolder, typedName, password,
                            [&](const PlayerRecord&, const std::string& name) {
                                deletePlayerFiles(programFolder, name);
                            });
}

void moveDamagedPlayerAside(std::string_view programFolder, std::string_view name)
{
    for (const std::string_view extension : {std::string_view(".sav"), std::string_view(".dic")}) {
        if (const auto path = words::playerFilePath(programFolder, name, extension)) {
            platform::replaceFile(*path, *path + ".damaged");
        }
    }
}

std::vector<TopTenEntry> readTopTen(std::string_view programFolder)
{
    std::vector<TopTenEntry> entries;
    forEachPlayerFile(programFolder, [&](std::string_view name) {
        const std::optional<PlayerRecord> record = readPlayer(programFolder, name);
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
