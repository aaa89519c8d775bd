// RegularFile.h -- opening files that come from outside: the archive and the tool's inputs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wordlark::archive {

// Opens path read-only, close-on-exec, and keeps it only when it is a regular file (a link to
// one is followed unless followLinks is false). The open itself never waits: a FIFO would otherwise
// hold it until some writer came, and a device might never answer. Returns the descriptor, or -1
// with one line in *reason (when given) that names the path: why it could not be opened, or what it
// is instead of a regular file.
int openRegularFile(const std::string& path, std::string* reason, bool followLinks = true);

// The whole of a regular file; false with one line in *reason as above, when reading fails, or
// when the file holds more than limit bytes, which is told from its size before reading.
bool readRegularFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* reason,
                     std::uint64_t limit = UINT64_MAX, bool followLinks = true);

// "cannot read PATH: <what the system says>", for a read that failed on a descriptor of path.
std::string readFailure(const std::string& path, int error);

}  // namespace wordlark::archive
