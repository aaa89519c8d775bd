// FileIo.h -- whole reads and writes on a file descriptor, retried across signals.
#pragma once

#include <cstddef>

namespace wordlark::platform {

// Writes all size bytes; false at the first error or a write that makes no progress.
bool writeAll(int fd, const void* data, std::size_t size);

// Reads up to size bytes; fewer only at the end of the file or on an error.
std::size_t readUpTo(int fd, void* data, std::size_t size);

}  // namespace wordlark::platform
