#include "heaptool/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace wordlark::heaptool {

namespace {

// How an output is written, decided from what stands at its path now.
enum class Way { Replace, Direct, StandardOutput };

struct Target {
    Way way = Way::Replace;
    std::string file;  // the file replaced: the output's path, or the target of its link
    mode_t mode = 0;   // the permissions the replacement gets
};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string cannotWrite(const std::string& path, int error)
{
    return "cannot write " + path + ": " + std::strerror(error);
}

bool setReason(std::string* reason, std::string text)
{
    if (reason) {
        *reason = std::move(text);
    }
    return false;
}

// A new file gets what the user's umask leaves of rw-rw-rw-, as any other program's would.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool resolve(const std::string& path, Target* target, std::string* reason)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return setReason(reason, cannotWrite(path, errno));
        }
        target->file = path;
        target->mode = newFileMode();
        return true;
    }
    if (S_ISDIR(info.st_mode)) {
        return setReason(reason, cannotWrite(path, EISDIR));
    }
    if (!S_ISREG(info.st_mode)) {
        target->way = Way::Direct;
        return true;
    }
    struct stat out {};
    if (::fstat(STDOUT_FILENO, &out) == 0 && sameFile(info, out)) {
        target->way = Way::StandardOutput;
        return true;
    }
    target->mode = info.st_mode & 07777;
    target->file = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) == nullptr) {
            return setReason(reason, cannotWrite(path, errno));
        }
        target->file = resolved;
    }
    return true;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A temporary file beside the one it replaces, removed again unless renamed into place.
class Replacement {
public:
    explicit Replacement(const Target& target) : target_(target)
    {
        const std::filesystem::path place(target.file);
        const std::filesystem::path folder = place.has_parent_path() ? place.parent_path() : ".";
        std::string pattern = (folder / ".heaptool-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ >= 0) {
            path_ = name.data();
        }
        error_ = errno;
    }
    ~Replacement()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // -1 when the temporary file could not be made; error() says why.
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    int error() const { return error_; }

    // Puts the complete file in place: its permissions, on the disk, then renamed.
    bool commit()
    {
        if (fd_ < 0) {
            fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        }
        const bool ok = fd_ >= 0 && ::fchmod(fd_, target_.mode) == 0 && ::fsync(fd_) == 0;
        error_ = errno;
        if (fd_ >= 0 && ::close(fd_) != 0 && ok) {
            error_ = errno;
            fd_ = -1;
            return false;
        }
        fd_ = -1;
        if (!ok) {
            return false;
        }
        if (::rename(path_.c_str(), target_.file.c_str()) != 0) {
            error_ = errno;
            return false;
        }
        path_.clear();
        return true;
    }

    // Closes the descriptor for a writer that opens the path itself.
    void handOver()
    {
        ::close(fd_);
        fd_ = -1;
    }

private:
    const Target& target_;
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace

bool OutputFile::differsFrom(const std::string& input, std::string* reason) const
{
    struct stat out {};
    struct stat in {};
    if (::stat(path_.c_str(), &out) != 0 || ::stat(input.c_str(), &in) != 0) {
        return true;
    }
    // Pipes and devices are no one's file: "-" style outputs such as /dev/stdout stay usable.
    if (!S_ISREG(out.st_mode) || !sameFile(out, in)) {
        return true;
    }
    return setReason(reason, "will not write " + path_ + ": it is the input " + input);
}

bool OutputFile::write(std::span<const std::uint8_t> bytes, std::string* reason) const
{
    Target target;
    if (!resolve(path_, &target, reason)) {
        return false;
    }
    if (target.way == Way::StandardOutput) {
        std::fflush(stdout);
        return writeAll(STDOUT_FILENO, bytes) || setReason(reason, cannotWrite(path_, errno));
    }
    if (target.way == Way::Direct) {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            return setReason(reason, cannotWrite(path_, errno));
        }
        const bool written = writeAll(fd, bytes);
        const int error = errno;
        if (::close(fd) != 0 && written) {
            return setReason(reason, cannotWrite(path_, errno));
        }
        return written || setReason(reason, cannotWrite(path_, error));
    }
    Replacement replacement(target);
    if (replacement.fd() < 0) {
        return setReason(reason, cannotWrite(path_, replacement.error()));
    }
    if (!writeAll(replacement.fd(), bytes)) {
        return setReason(reason, cannotWrite(path_, errno));
    }
    return replacement.commit() || setReason(reason, cannotWrite(path_, replacement.error()));
}

bool OutputFile::writeWith(
    const std::function<bool(const std::string& path, std::string* reason)>& fill,
    std::string* reason) const
{
    Target target;
    if (!resolve(path_, &target, reason)) {
        return false;
    }
    if (target.way != Way::Replace) {
        return fill(path_, reason);
    }
    Replacement replacement(target);
    if (replacement.fd() < 0) {
        return setReason(reason, cannotWrite(path_, replacement.error()));
    }
    replacement.handOver();
    std::string why;
    if (!fill(replacement.path(), &why)) {
        // The writer names the temporary file; the user knows only the output.
        return setReason(reason, "cannot write " + path_);
    }
    return replacement.commit() || setReason(reason, cannotWrite(path_, replacement.error()));
}

}  // namespace wordlark::heaptool
