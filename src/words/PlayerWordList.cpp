#include "words/PlayerWordList.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/FileIo.h"
#include "words/PlayerFiles.h"

namespace wordlark::words {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::string_view kExtension = ".dic";

// Token separators: the C locale's white space, plus NUL so that no token ever holds a byte
// that would end it early as a C string.
bool isSeparator(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0;
}

bool isCapital(int c)
{
    return c >= 'A' && c <= 'Z';
}

}  // namespace

PlayerWordList::PlayerWordList(std::string playerFolder, NameSource currentPlayerName)
    : playerFolder_(std::move(playerFolder)),
      currentPlayerName_(std::move(currentPlayerName)),
      buffer_(std::make_unique<char[]>(kBufferSize))
{
}

PlayerWordList::~PlayerWordList()
{
    close();
}

std::optional<std::string> PlayerWordList::currentPath() const
{
    if (!currentPlayerName_) {
        return std::nullopt;
    }
    return playerFilePath(playerFolder_, currentPlayerName_(), kExtension);
}

bool PlayerWordList::openForReading()
{
    if (isOpen()) {
        return true;
    }
    const auto path = currentPath();
    if (!path) {
        return false;
    }
    // The open never waits, so that a FIFO in place of the file cannot hang it; only a
    // regular file is read.
    const int fd = platform::openForReading(*path);
    if (fd < 0) {
        return false;
    }
    if (platform::kindOf(fd) != platform::FileKind::Regular) {
        platform::closeFile(fd);
        return false;
    }
    descriptor_ = fd;
    position_ = 0;
    filled_ = 0;
    bytesRead_ = 0;
    tokensRead_ = 0;
    return true;
}

int PlayerWordList::refill()
{
    if (descriptor_ < 0 || bytesRead_ >= kMaxReadBytes) {
        return -1;
    }
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, kMaxReadBytes - bytesRead_));
    const std::ptrdiff_t n = platform::readSome(descriptor_, buffer_.get(), wanted);
    if (n <= 0) {
        position_ = filled_ = 0;
        return -1;
    }
    bytesRead_ += static_cast<std::uint64_t>(n);
    filled_ = static_cast<std::size_t>(n);
    position_ = 1;
    return static_cast<unsigned char>(buffer_[0]);
}

bool PlayerWordList::readWordOfLength(std::size_t length, WordBuffer& out)
{
    if (!isOpen()) {
        return false;
    }
    WordBuffer token;
    for (;;) {
        int c = nextByte();
        while (c >= 0 && isSeparator(c)) {
            c = nextByte();
        }
        if (c < 0) {
            return false;
        }
        // Count the whole token but keep only what fits: a longer one is skipped, and so is
        // one with anything but capitals, which no tile can show (a joker code among them).
        std::size_t n = 0;
        bool capitals = true;
        do {
            if (n < kMaxWordLength) {
                token[n] = static_cast<char>(c);
            }
            capitals = capitals && isCapital(c);
            ++n;
            c = nextByte();
        } while (c >= 0 && !isSeparator(c));
        ++tokensRead_;
        if (capitals && n <= kMaxWordLength && (length == 0 || n == length)) {
            std::memcpy(out, token, n);
            out[n] = '\0';
            return true;
        }
        if (c < 0) {
            return false;
        }
    }
}

void PlayerWordList::close()
{
    if (descriptor_ >= 0) {
        platform::closeFile(descriptor_);
        descriptor_ = -1;
    }
    position_ = 0;
    filled_ = 0;
}

bool PlayerWordList::appendWord(std::string_view word, std::string* why)
{
    auto fail = [why](std::string reason) {
        if (why != nullptr) {
            *why = std::move(reason);
        }
        return false;
    };
    close();
    // Only what a later reading takes back as one word is written.
    if (word.empty() || word.size() > kMaxWordLength ||
        !std::all_of(word.begin(), word.end(),
                     [](char c) { return isCapital(static_cast<unsigned char>(c)); })) {
        return fail("a word of the list holds 1 to 15 of the letters A to Z");
    }
    const auto path = currentPath();
    if (!path) {
        return fail("the player's name cannot name a file");
    }
    // The list is the player's own, like his record: made readable by him alone, and only a
    // regular file is ever written (a link at the name is not followed, a FIFO cannot block).
    const int fd = platform::openForAppending(*path);
    if (fd < 0) {
        return fail("cannot open " + *path + ": " + std::strerror(errno));
    }
    std::string line(word);
    line += '\n';
    std::string reason;
    if (platform::kindOf(fd) != platform::FileKind::Regular) {
        reason = *path + " is not a regular file";
    } else if (const auto size = platform::fileSize(fd); !size) {
        reason = "cannot write " + *path + ": " + std::strerror(errno);
    } else {
        // A list edited by hand may end without a line break: the word would be glued to the
        // last one and lost. Whatever the game cannot read back is not written at all.
        char last = '\n';
        if (*size > 0 && platform::readAt(fd, &last, 1, *size - 1) != 1) {
            reason = "cannot read " + *path + ": " + std::strerror(errno);
        } else if (last != '\n') {
            line.insert(line.begin(), '\n');
        }
        if (reason.empty() && *size + line.size() > kMaxReadBytes) {
            reason = *path + " is full: the game reads no more than " +
                     std::to_string(kMaxReadBytes >> 20) + " MiB of it";
        } else if (reason.empty() && !platform::writeAll(fd, line.data(), line.size())) {
            reason = "cannot write " + *path + ": " + std::strerror(errno);
        }
    }
    if (!platform::closeFile(fd) && reason.empty()) {
        reason = "cannot write " + *path + ": " + std::strerror(errno);
    }
    return reason.empty() || fail(std::move(reason));
}

}  // namespace wordlark::words
