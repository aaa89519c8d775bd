// TestArchive.h -- builds small archive files for tests through the archive writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "heaptool/ArchiveWriter.h"
#include "support/TempDir.h"

namespace wordlark::test {

struct TestEntry {
    std::string name;
    std::string tag;  // four characters, e.g. "gla0"
    std::vector<std::uint8_t> data;
    heaptool::Storage storage = heaptool::Storage::Automatic;
};

inline std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

// The bytes of an archive holding the entries; its header carries headerName.
inline std::vector<std::uint8_t> archiveBytes(
    const std::vector<TestEntry>& entries, std::string_view headerName,
    heaptool::Storage directoryStorage = heaptool::Storage::Automatic)
{
    heaptool::ArchiveWriter writer;
    for (const TestEntry& entry : entries) {
        writer.addEntry(entry.name, entry.tag, entry.data, entry.storage);
    }
    writer.setDirectoryStorage(directoryStorage);
    return writer.build(headerName);
}

// Writes an archive file named fileName into dir and returns its path. The header names the
// archive headerName, or fileName itself when headerName is empty.
inline std::string writeArchive(const TempDir& dir, const std::string& fileName,
                                const std::vector<TestEntry>& entries,
                                heaptool::Storage directoryStorage = heaptool::Storage::Automatic,
                                std::string_view headerName = {})
{
    dir.write(fileName,
              archiveBytes(entries, headerName.empty() ? fileName : headerName, directoryStorage));
    return dir.file(fileName);
}

}  // namespace wordlark::test
