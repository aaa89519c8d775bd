#include "game/RecordFile.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "archive/Endian.h"
#include "platform/CodePage.h"
#include "platform/FileIo.h"
#include "platform/FileSystem.h"
#include "platform/FolderLock.h"
#include "platform/ProgramFolder.h"
#include "words/PlayerFiles.h"

namespace wordlark::game {

namespace {

constexpr std::string_view kRecordExtension = ".sav";
// A save writes its record under this name first and renames it when it is whole.
constexpr char kTemporaryPrefix[] = ".saving-";
// Every copy of the game holds this file of the save folder locked while it runs.
constexpr char kLockName[] = ".lock";

// The longest file name, in Windows-1252 characters with its extension, that names a player.
constexpr std::size_t kMaxListedName = 18;

std::optional<std::string> recordPath(std::string_view playerFolder, std::string_view name)
{
    return words::playerFilePath(playerFolder, name, kRecordExtension);
}

// "what: the system's reason", from errno as it stands.
std::string systemReason(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

std::string saveFolder(std::string_view playerFolder)
{
    return words::saveFolderPath(playerFolder);
}

}  // namespace

std::array<std::uint8_t, kRecordFileSize> encodeRecordFile(const PlayerRecord& record)
{
    std::array<std::uint8_t, kRecordFileSize> file{};
    record.toBytes(file.data());
    std::uint32_t sum = file[0];
    for (std::size_t i = 1; i < PlayerRecord::kSize; ++i) {
        sum += file[i];
        file[i] = static_cast<std::uint8_t>(file[i - 1] ^ (i & 0xFF) ^ file[i]);
    }
    archive::writeLe32(file.data() + PlayerRecord::kSize, sum);
    return file;
}

bool decodeRecordFile(std::span<const std::uint8_t> bytes, PlayerRecord* record)
{
    if (bytes.size() < kRecordFileSize) {
        return false;
    }
    std::uint8_t plain[PlayerRecord::kSize];
    plain[0] = bytes[0];
    std::uint32_t sum = plain[0];
    for (std::size_t i = 1; i < PlayerRecord::kSize; ++i) {
        plain[i] = static_cast<std::uint8_t>(bytes[i] ^ bytes[i - 1] ^ (i & 0xFF));
        sum += plain[i];
    }
    if (sum != archive::readLe32(bytes.data() + PlayerRecord::kSize)) {
        return false;
    }
    *record = PlayerRecord::fromBytes(plain);
    return true;
}

bool saveRecord(std::string_view playerFolder, const PlayerRecord& record, std::string* why)
{
    auto fail = [why](std::string reason) {
        if (why != nullptr) {
            *why = std::move(reason);
        }
        return false;
    };
    const auto path = recordPath(playerFolder, record.nameView());
    if (!path) {
        return fail("the player's name cannot name a file");
    }
    // The temporary file sits in the save folder itself, so that the rename that replaces
    // the old record cannot cross file systems. Its name is no player's: it does not end
    // in ".sav". It is made readable by the owner only, fit for a file with a password.
    const std::string folder = saveFolder(playerFolder);
    std::string temporary = folder + platform::kPathSeparator + kTemporaryPrefix + "XXXXXX";
    int fd = platform::createTemporaryFile(temporary);
    if (fd < 0 && errno == ENOENT && platform::makeFolder(folder)) {
        temporary = folder + platform::kPathSeparator + kTemporaryPrefix + "XXXXXX";
        fd = platform::createTemporaryFile(temporary);
    }
    if (fd < 0) {
        return fail(systemReason("cannot write " + *path));
    }
    const auto bytes = encodeRecordFile(record);
    std::string reason;
    // Reasons name the player's file, never the temporary one: its random name would make
    // every failed verdict a new reason, and the player knows his file, not ours.
    // Flushed before the rename: otherwise a crash soon after could leave the new name
    // on an empty file.
    if (!platform::writeAll(fd, bytes.data(), bytes.size()) || !platform::syncFile(fd)) {
        reason = systemReason("cannot write " + *path);
    }
    if (!platform::closeFile(fd) && reason.empty()) {
        reason = systemReason("cannot write " + *path);
    }
    if (reason.empty() && !platform::replaceFile(temporary, *path)) {
        reason = systemReason("cannot replace " + *path);
    }
    if (!reason.empty()) {
        platform::removeFile(temporary);
        return fail(std::move(reason));
    }
    // The rename itself reaches the disk only with the folder: until then a power cut could
    // bring the older record back.
    platform::syncFolder(folder);
    return true;
}

bool prepareSaveFolder(std::string_view playerFolder, bool makeParents, platform::FolderLock& lock,
                       std::string* why)
{
    auto fail = [why](std::string reason) {
        if (why != nullptr) {
            *why = std::move(reason);
        }
        return false;
    };
    const std::string folder = saveFolder(playerFolder);
    // The folders above it may be missing on a first run (~/.local/share/wordlark): each one
    // made is the player's own. Anywhere else a missing folder above is a mistyped path.
    for (std::size_t slash = folder.find_first_of(platform::kPathSeparators, 1);
         makeParents && slash != std::string::npos;
         slash = folder.find_first_of(platform::kPathSeparators, slash + 1)) {
        platform::makeFolder(folder.substr(0, slash));
    }
    if (!platform::makeFolder(folder)) {
        if (errno != EEXIST) {
            return fail(systemReason("cannot make " + folder));
        }
        // Something has the name already: say what it is, not what a later call trips over.
        const platform::FileKind kind = platform::kindOfPath(folder);
        if (kind == platform::FileKind::Missing) {
            return fail(errno == ENOENT ? "cannot make " + folder + ": a link to nothing is there"
                                        : systemReason("cannot make " + folder));
        }
        if (kind != platform::FileKind::Folder) {
            errno = ENOTDIR;
            return fail(systemReason("cannot make " + folder));
        }
    }
    if (!platform::canWriteIn(folder)) {
        return fail(systemReason("cannot write in " + folder));
    }
    // Another copy of the game may be saving into the folder right now: its temporary file is
    // removed only when no copy holds the lock.
    const std::string lockPath = folder + platform::kPathSeparator + kLockName;
    const bool locked = lock.acquire(lockPath, [&folder] {
        platform::forEachFolderEntry(folder, [&folder](std::string_view name, platform::FileKind) {
            if (name.starts_with(kTemporaryPrefix)) {
                platform::removeFile(folder + platform::kPathSeparator + std::string(name));
            }
            return true;
        });
    });
    if (!locked) {
        const platform::FileKind kind = platform::kindOfPath(lockPath, false);
        return fail(kind != platform::FileKind::Regular && kind != platform::FileKind::Missing
                        ? "cannot lock " + folder + ": " + lockPath + " is not a regular file"
                        : systemReason("cannot lock " + lockPath));
    }
    return true;
}

RecordLoad loadRecord(std::string_view playerFolder, PlayerRecord& record)
{
    using Status = RecordLoad::Status;
    const std::string_view fileName = record.nameView();
    const auto path = recordPath(playerFolder, fileName);
    if (!path) {
        return {Status::Missing, "the name cannot name a file"};
    }
    // The open never waits, so that a FIFO in the save folder cannot hang the game; only a
    // regular file is read.
    const int fd = platform::openForReading(*path);
    if (fd < 0) {
        return {errno == ENOENT ? Status::Missing : Status::Unreadable, std::strerror(errno)};
    }
    std::array<std::uint8_t, kRecordFileSize> bytes;
    std::size_t size = 0;
    RecordLoad result{Status::Damaged, {}};
    const platform::FileKind kind = platform::kindOf(fd);
    if (kind == platform::FileKind::Folder) {
        result = {Status::Unreadable, std::strerror(EISDIR)};
    } else if (kind != platform::FileKind::Regular) {
        result = {Status::Unreadable, "not a regular file"};
    } else {
        while (size < bytes.size()) {
            const std::ptrdiff_t n =
                platform::readSome(fd, bytes.data() + size, bytes.size() - size);
            if (n < 0) {
                result = {Status::Unreadable, std::strerror(errno)};
                break;
            }
            if (n == 0) {
                break;
            }
            size += static_cast<std::size_t>(n);
        }
    }
    platform::closeFile(fd);
    if (result.status == Status::Unreadable) {
        return result;
    }
    PlayerRecord stored;
    if (size < kRecordFileSize) {
        return {Status::Damaged, "too short"};
    }
    if (!decodeRecordFile(bytes, &stored)) {
        return {Status::Damaged, "its checksum does not match"};
    }
    // A copied or renamed file must not lead the game to overwrite another player's record.
    if (platform::compareNoCaseCp1252(stored.nameView(), fileName) != 0) {
        return {Status::Damaged, "it holds another player's record"};
    }
    if (stored.nameView() != fileName) {
        stored.setName(fileName);
    }
    stored.holdInRange();
    record = stored;
    return {Status::Loaded, {}};
}

void deletePlayerFiles(std::string_view playerFolder, std::string_view name)
{
    for (const std::string_view extension : kPlayerFileExtensions) {
        if (const auto path = words::playerFilePath(playerFolder, name, extension)) {
            platform::removeFile(*path);
        }
    }
}

bool forEachPlayerFile(std::string_view playerFolder,
                       const std::function<bool(std::string_view name)>& visit)
{
    return platform::forEachFolderEntry(
        saveFolder(playerFolder), [&visit](std::string_view fileName, platform::FileKind kind) {
            if (!fileName.ends_with(kRecordExtension) || kind == platform::FileKind::Folder) {
                return true;
            }
            // Names are counted in the characters the game knows them by.
            const auto name = platform::fromFileName(fileName);
            if (!name || name->size() > kMaxListedName) {
                return true;
            }
            return visit(std::string_view(*name).substr(0, name->size() - kRecordExtension.size()));
        });
}

std::uint32_t scanBestOtherRating(std::string_view playerFolder, std::string_view currentName)
{
    std::uint32_t best = 0;
    forEachPlayerFile(playerFolder, [&](std::string_view name) {
        if (platform::compareNoCaseCp1252(name, currentName) == 0) {
            return true;
        }
        PlayerRecord other;
        other.setName(name);
        // loadRecord refuses what is not a regular file.
        if (loadRecord(playerFolder, other) && static_cast<std::uint32_t>(other.rating) > best) {
            best = static_cast<std::uint32_t>(other.rating);
        }
        return true;
    });
    return best;
}

}  // namespace wordlark::game
