// FileIo.h -- files through descriptors, alike on every system: opens that never wait, binary
// bytes (no line-end translation anywhere), descriptors that the programs the game starts do not
// inherit, reads and writes retried across signals. One implementation per kind of system
// (FileIoPosix, FileIoWin32); a failure leaves errno saying why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace wordlark::platform {

// The largest offset a read may start at.
inline constexpr std::uint64_t kMaxFileOffset = std::numeric_limits<std::int64_t>::max();

// All descriptors here are the C runtime's (open, read, close), on every system.

// Opens an existing file to read it from its start. The open itself never waits (a FIFO
// without a writer, a device that does not answer); keep the descriptor only when kindOf says
// it is a regular file. Without followLinks a link at the name is not followed: the open fails,
// or opens the link itself, which kindOf tells apart. -1 when it cannot be opened.
int openForReading(const std::string& path, bool followLinks = true);

// Opens a file to append to it (and to read it with readAt), creating it readable and writable by
// its owner alone where the system keeps owners. A link at the name is not followed and the open
// never waits; keep the descriptor only when kindOf says it is a regular file. -1 when it cannot be
// opened.
int openForAppending(const std::string& path);

// Creates a new file for writing, readable by its owner alone where the system keeps owners,
// named after `path` with its last six characters ("XXXXXX") made unique; `path` then holds the
// name. -1 when none can be made.
int createTemporaryFile(std::string& path);

// What the open file is; Missing when that cannot be told.
FileKind kindOf(int fd);

// One read of up to size bytes: the bytes read, 0 at the end of the file, -1 on an error.
std::ptrdiff_t readSome(int fd, void* data, std::size_t size);

// One read of up to size bytes at an offset: the bytes read, 0 at the end of the file, -1 on an
// error. Some systems move the descriptor's position too, so a descriptor read this way is
// read no other way.
std::ptrdiff_t readAt(int fd, void* data, std::size_t size, std::uint64_t offset);

// One write of up to size bytes: the bytes written, -1 on an error.
std::ptrdiff_t writeSome(int fd, const void* data, std::size_t size);

// Writes all size bytes; false at the first error or a write that makes no progress.
bool writeAll(int fd, const void* data, std::size_t size);

// Reads up to size bytes; fewer only at the end of the file or on an error.
std::size_t readUpTo(int fd, void* data, std::size_t size);

// The size of the open file; none when it cannot be told.
std::optional<std::uint64_t> fileSize(int fd);

// Makes what was written to the file reach the disk.
bool syncFile(int fd);

// Closes the descriptor; false when that reports a failed write.
bool closeFile(int fd);

}  // namespace wordlark::platform
