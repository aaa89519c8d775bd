#include "game/HistoryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/FileIo.h"
#include "words/PlayerFiles.h"

namespace wordlark::game {

namespace {

constexpr std::string_view kExtension = ".his";
constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

HistoryFile::HistoryFile(std::string_view playerFolder, std::string_view playerName)
    : path_(words::playerFilePath(playerFolder, playerName, kExtension))
{
}

bool HistoryFile::append(const HistoryEntry& entry, std::string* why) const
{
    auto fail = [why](std::string reason) {
        if (why != nullptr) {
            *why = std::move(reason);
        }
        return false;
    };
    if (!path_) {
        return fail("the player's name cannot name a file");
    }
    const int fd = platform::openForAppending(*path_);
    if (fd < 0) {
        return fail("cannot open " + *path_ + ": " + std::strerror(errno));
    }
    std::string line = formatHistoryLine(entry);
    std::string reason;
    if (platform::kindOf(fd) != platform::FileKind::Regular) {
        reason = *path_ + " is not a regular file";
    } else if (const auto size = platform::fileSize(fd); !size) {
        reason = "cannot write " + *path_ + ": " + std::strerror(errno);
    } else {
        char last = '\n';
        if (*size > 0 && platform::readAt(fd, &last, 1, *size - 1) != 1) {
            reason = "cannot read " + *path_ + ": " + std::strerror(errno);
        } else {
            // A last line without its break was cut short by a crash or a full disk: "12" cut
            // to "1" would still read as a verdict once a line follows it. Two empty fields end
            // it, so that it never reads as one: too many fields, or an empty number.
            if (last != '\n') {
                line.insert(0, "\t\t\n");
            }
            if (!platform::writeAll(fd, line.data(), line.size())) {
                reason = "cannot write " + *path_ + ": " + std::strerror(errno);
            }
        }
    }
    if (!platform::closeFile(fd) && reason.empty()) {
        reason = "cannot write " + *path_ + ": " + std::strerror(errno);
    }
    return reason.empty() || fail(std::move(reason));
}

HistoryFile::Status HistoryFile::read(const std::function<void(const HistoryEntry&)>& visit,
                                      std::uint64_t maxBytes) const
{
    if (!path_) {
        return Status::Missing;
    }
    // The open never waits, so a FIFO at the name cannot hang the game; only a regular file
    // is read.
    const int fd = platform::openForReading(*path_);
    if (fd < 0) {
        return errno == ENOENT ? Status::Missing : Status::Unreadable;
    }
    const auto size = platform::fileSize(fd);
    if (platform::kindOf(fd) != platform::FileKind::Regular || !size) {
        platform::closeFile(fd);
        return Status::Unreadable;
    }
    // From the byte before the start, so that a start just after a line break loses no line.
    std::uint64_t offset = *size > maxBytes ? *size - maxBytes - 1 : 0;
    bool skipping = offset > 0;
    bool tooLong = false;
    std::string line;
    line.reserve(kMaxHistoryLine + 2);
    const auto buffer = std::make_unique<char[]>(kChunk);
    while (offset < *size) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, *size - offset));
        const std::ptrdiff_t n = platform::readAt(fd, buffer.get(), wanted, offset);
        if (n <= 0) {
            break;
        }
        offset += static_cast<std::uint64_t>(n);
        const char* p = buffer.get();
        const char* end = p + n;
        while (p < end) {
            const char* newline = static_cast<const char*>(std::memchr(p, '\n', end - p));
            const char* stop = newline != nullptr ? newline : end;
            if (!skipping && !tooLong) {
                const auto piece = static_cast<std::size_t>(stop - p);
                if (line.size() + piece > kMaxHistoryLine + 1) {
                    tooLong = true;
                    line.clear();
                } else {
                    line.append(p, piece);
                }
            }
            if (newline == nullptr) {
                break;
            }
            if (!skipping && !tooLong) {
                if (auto entry = parseHistoryLine(line)) {
                    visit(*entry);
                }
            }
            line.clear();
            skipping = false;
            tooLong = false;
            p = newline + 1;
        }
    }
    // A last line without its break is one a crash cut short: "12" cut to "1" would still
    // parse, so it is not taken.
    platform::closeFile(fd);
    return Status::Read;
}

}  // namespace wordlark::game
