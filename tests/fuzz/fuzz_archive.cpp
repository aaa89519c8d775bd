// fuzz_archive.cpp -- opens arbitrary bytes as an archive and uses every entry it lists.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "archive/Endian.h"
#include "fuzz/ScratchFolder.h"

using namespace wordlark;
using fuzz::scratch;

namespace {

// Walking every record of a huge directory would only repeat itself; the lookups are linear.
constexpr std::size_t kRecordsWalked = 64;
// Sizes up to the archive's ceiling are legal; loading them only slows the search down.
constexpr std::uint32_t kLargestLoad = 1u << 16;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void useEntry(archive::ArchiveRegistry& registry, archive::Archive& archive,
              const archive::DirectoryRecord& record)
{
    const std::string name = record.name;
    // A name may repeat; the first record with it is the entry.
    const archive::DirectoryRecord* entry = archive.findEntry(name);
    check(entry != nullptr && entry <= &record);
    check(archive.entryTag(name) == entry->tag);

    if (entry->unpackedSize <= kLargestLoad) {
        std::uint32_t tag = 0;
        const std::uint8_t* first = archive.loadEntry(name, &tag);
        if (first) {
            check(tag == entry->tag);
            volatile std::uint8_t sink = 0;
            for (std::uint32_t i = 0; i < entry->unpackedSize; ++i) {
                sink = sink ^ first[i];
            }
            check(archive.loadEntry(name, &tag) == first);
            check(!archive.unloadEntry(name));
            check(archive.unloadEntry(name));
        }
    }
    if (record.unpackedSize <= kLargestLoad) {
        std::vector<std::uint8_t> piece(record.unpackedSize);
        archive.readEntry(record.offset, piece.data(), record.unpackedSize, record.storedSize);
    }

    archive::ArchiveObject* object = archive.makeObject(name);
    if (object) {
        check(registry.acquireObject(name, "f.heap") == object);
        registry.releaseObject(object);  // found only when the header names "f.heap"
        archive.releaseMadeObject(object);
        archive.releaseMadeObject(object);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (scratch().folder().empty()) {
        return 0;
    }
    // A legal directory of many megabytes costs the decoder a second per run and finds
    // nothing new; counts beyond the ceiling are refused cheaply and stay in.
    if (size >= archive::kHeaderSize) {
        const std::uint64_t directorySize =
            std::uint64_t{archive::readLe32(data + 28)} * archive::kRecordSize;
        if (directorySize > kLargestLoad && directorySize <= archive::kMaxUnpackedSize) {
            return 0;
        }
    }
    scratch().write("f.heap", data, size);
    archive::ArchiveRegistry registry(scratch().folder());
    archive::Archive* archive = registry.openArchive("f.heap");
    if (!archive) {
        return 0;
    }
    const auto& directory = archive->directory();
    for (std::size_t i = 0; i < directory.size() && i < kRecordsWalked; ++i) {
        useEntry(registry, *archive, directory[i]);
    }
    // Leave something made and loaded for the registry's shut-down to clear.
    if (!directory.empty()) {
        std::uint32_t tag = 0;
        archive->makeObject(directory[0].name);
        if (directory[0].unpackedSize <= kLargestLoad) {
            archive->loadEntry(directory[0].name, &tag);
        }
    }
    return 0;
}
