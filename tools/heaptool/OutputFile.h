// OutputFile.h -- one file the tool writes: whole or not at all, and never over its own input.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace wordlark::heaptool {

// A regular file (or a new one) is written to a temporary file in its folder and renamed over
// it only once complete, so that a full disk or a size limit leaves the old file as it was. A
// link is followed and its target replaced, so the link stays. What is no regular file (a
// pipe, a terminal, /dev/null) is written directly, as is the file that standard output
// already is (`heaptool pack ... /dev/stdout >file`), at the place the shell left it.
class OutputFile {
public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {}

    // False, with one line in *reason, when the output exists and is the same file as input
    // (same device and inode): writing it would destroy what is being read. Inputs that do not
    // exist yet cannot be the output.
    bool differsFrom(const std::string& input, std::string* reason) const;

    // Writes bytes as the whole output; false with "cannot write PATH: why" in *reason.
    bool write(std::span<const std::uint8_t> bytes, std::string* reason) const;

    // The same for writers that open a path themselves (the PNG writer): fill writes the
    // content to the path it is given and returns false, with its own line in *reason, when
    // that fails.
    bool writeWith(const std::function<bool(const std::string& path, std::string* reason)>& fill,
                   std::string* reason) const;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace wordlark::heaptool
