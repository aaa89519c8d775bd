// Archive.h -- one open resource archive: directory, shared entry data, shared typed objects.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveObject.h"
#include "archive/ArchiveReader.h"
#include "archive/ChecksumTable.h"
#include "archive/DirectoryRecord.h"

namespace wordlark::archive {

// Entries larger than this are refused rather than allocated: no picture or word list of the
// game comes near it, and a damaged size must not exhaust memory.
inline constexpr std::uint32_t kMaxUnpackedSize = 64u << 20;

class Archive {
public:
    // Opens the archive at path; none when the file is missing or no regular file, the header
    // is short, the directory cannot be read whole or the checksum entry is damaged (or there
    // is more than one), with one line in *reason (when given) that names the file and says
    // which. A failed open has given its file handle back.
    // The file's descriptor comes from `files`, which must outlive the archive.
    static std::unique_ptr<Archive> open(const std::string& path, FileHandleCache& files,
                                         std::string* reason = nullptr);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // The unpacked data of an entry, shared: each call adds a reference. *tag gets the
    // entry's tag (0 when none). None when the entry is missing or cannot be read, or when the
    // archive has checksums and the entry's stored bytes differ from theirs; *reason
    // (when given) then gets one line naming the archive and the entry that failed, which
    // is an earlier one when its damage had stopped the reader. A missing entry leaves
    // *reason alone: only the caller knows whether it is required.
    const std::uint8_t* loadEntry(std::string_view name, std::uint32_t* tag,
                                  std::string* reason = nullptr);
    // Gives one reference back; true when it was the last and the data was freed.
    bool unloadEntry(std::string_view name);
    // The entry's tag, 0 when no record has the name.
    std::uint32_t entryTag(std::string_view name);
    // The first record with exactly this name, or none. Names are compared byte for byte;
    // a name of 16 or more characters, longer than any stored one, finds nothing.
    const DirectoryRecord* findEntry(std::string_view name);

    // The shared typed object of an entry (not loaded); none for an unknown tag or name.
    ArchiveObject* makeObject(std::string_view name);
    // Gives one reference back; the last one unloads and destroys the object. An object
    // this archive did not make is ignored.
    void releaseMadeObject(ArchiveObject* object);
    // Shut-down: destroys every made object whatever its references (without unloading).
    // An object may give back others from its destructor while this runs.
    void destroyObjects();

    std::uint32_t dataBase() const { return header_.dataBase; }
    const ArchiveHeader& header() const { return header_; }
    const std::vector<DirectoryRecord>& directory() const { return directory_; }

    // Reads a piece at an offset relative to the data base, unpacking it when the sizes
    // differ. Returns the bytes produced (unpackedSize on success). Stored bytes outside the
    // file count as a short read and fail the archive's reader. With checksums, a piece they
    // do not list or whose stored bytes differ from its sum is refused as damaged.
    // owner, when given, is the entry the piece belongs to, for firstFailure().
    std::uint32_t readEntry(std::uint32_t offset, std::uint8_t* destination,
                            std::uint32_t unpackedSize, std::uint32_t storedSize,
                            std::string_view owner = {});

    // Why the first entry or piece that could not be read failed, one line naming the archive
    // and the entry ("entry 'chars' of /x/vek.heap is damaged: ..."); empty while none has.
    const std::string& firstFailure() const { return firstFailure_; }
    // From now on, every damaged read (its one line) is handed to `listener` too: start-up
    // names the first failure itself, later ones would pass unnoticed.
    void setFailureListener(std::function<void(const std::string& line)> listener)
    {
        failureListener_ = std::move(listener);
    }

    // The checksum entry's table; none when the archive was made without one.
    const ChecksumTable* checksums() const { return sums_ ? &*sums_ : nullptr; }
    // For tools: whether a listed piece's stored bytes still have their sum, read as they lie
    // (nothing is unpacked). False, with one line in *reason, when they differ or cannot be
    // read.
    bool storedBytesMatch(const ChecksumTable::Record& piece, std::string* reason);

    // For tests and tools: how many references the loaded entry / made object holds (0: none).
    int entryReferences(std::string_view name) const;
    int objectReferences(const ArchiveObject* object) const;

private:
    Archive(const std::string& path, FileHandleCache& files);

    struct LoadedEntry;
    struct MadeObject;

    // Notes a failed read. Stored bytes outside the file stop the reader for good, and every
    // later load fails for that same cause: that one is kept apart, so that a later load can
    // name it rather than itself.
    void noteFailure(const std::string& line);
    // "WHAT of PATH is damaged: DETAIL", or the reader's own line when reading itself failed.
    std::string damaged(const std::string& what, const char* detail) const;
    // Reads the checksum entry, when there is one; false with the line in *reason when it is
    // damaged, which leaves no entry of the archive to be trusted.
    bool readChecksums(std::string* reason);
    // Reads a piece through the reader, checked against its sum when the archive has them;
    // *detail says why it failed (it is left alone on success).
    std::uint32_t readChecked(std::uint32_t offset, std::uint8_t* destination,
                              std::uint32_t unpackedSize, std::uint32_t storedSize,
                              const char** detail);

    std::string path_;
    std::string firstFailure_;
    std::function<void(const std::string& line)> failureListener_;
    std::string stopFailure_;
    ArchiveReader reader_;
    ArchiveHeader header_;
    std::vector<DirectoryRecord> directory_;
    std::optional<ChecksumTable> sums_;
    const DirectoryRecord* sumsRecord_ = nullptr;  // read at open, never checked against itself
    std::vector<std::unique_ptr<LoadedEntry>> loaded_;  // newest first
    std::vector<std::unique_ptr<MadeObject>> made_;     // newest first
};

}  // namespace wordlark::archive
