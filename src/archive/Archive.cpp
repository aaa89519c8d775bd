#include "archive/Archive.h"

#include <algorithm>
#include <new>

#include "archive/ObjectFactory.h"

namespace wordlark::archive {

struct Archive::LoadedEntry {
    std::uint32_t tag = 0;
    std::uint32_t unpackedSize = 0;
    std::string name;
    std::unique_ptr<std::uint8_t[]> data;
    int references = 1;
};

struct Archive::MadeObject {
    std::unique_ptr<ArchiveObject> object;
    int references = 1;
};

Archive::Archive(const std::string& path, FileHandleCache& files)
    : path_(path), reader_(path, files)
{
}

Archive::~Archive()
{
    destroyObjects();
}

std::unique_ptr<Archive> Archive::open(const std::string& path, FileHandleCache& files,
                                       std::string* reason)
{
    const auto refuse = [reason](std::string why) -> std::unique_ptr<Archive> {
        if (reason) {
            *reason = std::move(why);
        }
        return nullptr;
    };
    std::unique_ptr<Archive> archive(new (std::nothrow) Archive(path, files));
    if (!archive) {
        return refuse("not enough memory to open " + path);
    }
    ArchiveReader& reader = archive->reader_;
    if (reader.failed()) {
        return refuse(reader.failure());
    }
    std::uint8_t headerBytes[kHeaderSize];
    if (reader.readAt(0, headerBytes, kHeaderSize) != kHeaderSize) {
        return refuse(archive->damaged("the header", "the file is shorter than 40 bytes"));
    }
    archive->header_ = ArchiveHeader::parse(headerBytes);
    const ArchiveHeader& header = archive->header_;

    // A packed directory may unpack to more than the whole file holds, so only its stored
    // bytes are held against the file; the unpacked size has the same ceiling as entries.
    const std::uint64_t directorySize = std::uint64_t{header.entryCount} * kRecordSize;
    if (directorySize > kMaxUnpackedSize) {
        return refuse(archive->damaged("the directory", "it claims too many entries"));
    }
    if (!reader.checkExtent(header.directoryOffset, header.directoryStoredSize)) {
        return refuse(archive->damaged("the directory", "it lies outside the file"));
    }
    const auto size = static_cast<std::uint32_t>(directorySize);
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
    if (!bytes) {
        return refuse("not enough memory for the directory of " + path);
    }
    if (reader.readEntry(header.directoryOffset, bytes.get(), size, header.directoryStoredSize) !=
        size) {
        return refuse(archive->damaged("the directory", "it cannot be read whole"));
    }
    archive->directory_.reserve(header.entryCount);
    for (std::uint32_t i = 0; i < header.entryCount; ++i) {
        archive->directory_.push_back(DirectoryRecord::parse(bytes.get() + i * kRecordSize));
    }
    std::string why;
    if (!archive->readChecksums(&why)) {
        return refuse(why);
    }
    return archive;
}

bool Archive::readChecksums(std::string* reason)
{
    for (const DirectoryRecord& record : directory_) {
        if (std::string_view(record.name) != kChecksumEntry) {
            continue;
        }
        // Which of two tables would be the true one cannot be told: neither is trusted.
        if (sumsRecord_) {
            *reason = damaged("the checksum entry", "the archive has more than one");
            return false;
        }
        sumsRecord_ = &record;
    }
    if (!sumsRecord_) {
        return true;
    }
    const auto refuse = [this, reason](const char* detail) {
        *reason = damaged("the checksum entry", detail);
        return false;
    };
    const DirectoryRecord& record = *sumsRecord_;
    if (record.tag != kChecksumTag) {
        return refuse("its tag is not 'sums'");
    }
    if (record.unpackedSize > kMaxUnpackedSize) {
        return refuse("it claims more bytes than an entry may hold");
    }
    const std::uint64_t where = std::uint64_t{header_.dataBase} + record.offset;
    if (!reader_.checkExtent(where, record.storedSize)) {
        return refuse("its stored bytes lie outside the file");
    }
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[record.unpackedSize]());
    if (!bytes) {
        *reason = "not enough memory for the checksum entry of " + path_;
        return false;
    }
    if (reader_.readEntry(where, bytes.get(), record.unpackedSize, record.storedSize) !=
        record.unpackedSize) {
        return refuse(reader_.failed() ? "its stored bytes lie outside the file"
                                       : "its stored bytes do not unpack to its size");
    }
    std::string why;
    std::optional<ChecksumTable> table =
        ChecksumTable::parse({bytes.get(), record.unpackedSize}, &why);
    if (!table) {
        return refuse(why.c_str());
    }
    sums_ = std::move(table);
    return true;
}

std::uint32_t Archive::readChecked(std::uint32_t offset, std::uint8_t* destination,
                                   std::uint32_t unpackedSize, std::uint32_t storedSize,
                                   const char** detail)
{
    ArchiveReader::StoredSum sum;
    ArchiveReader::StoredSum* check = nullptr;
    // Bytes outside the file stop the reader whether or not the sums list them.
    if (!reader_.checkExtent(std::uint64_t{header_.dataBase} + offset, storedSize)) {
        *detail = "its stored bytes lie outside the file";
        return 0;
    }
    if (sums_) {
        // Damage to the directory moves a piece, and a moved piece is found by nothing.
        const ChecksumTable::Record* record = sums_->find(offset, storedSize);
        if (!record) {
            *detail = "the checksum entry does not list its stored bytes";
            return 0;
        }
        sum.expected = record->crc;
        check = &sum;
    }
    const std::uint32_t produced = reader_.readEntry(std::uint64_t{header_.dataBase} + offset,
                                                     destination, unpackedSize, storedSize, check);
    if (produced != unpackedSize) {
        *detail = !sum.matched       ? "its stored bytes do not match their checksum"
                  : reader_.failed() ? "its stored bytes lie outside the file"
                                     : "its stored bytes do not unpack to its size";
    }
    return produced;
}

bool Archive::storedBytesMatch(const ChecksumTable::Record& piece, std::string* reason)
{
    const std::string what = "the piece at offset " + std::to_string(piece.offset);
    const std::uint64_t where = std::uint64_t{header_.dataBase} + piece.offset;
    const auto refuse = [&](const char* detail) {
        const std::string line = damaged(what, detail);
        noteFailure(line);
        if (reason) {
            *reason = line;
        }
        return false;
    };
    if (!reader_.checkExtent(where, piece.storedSize)) {
        return refuse("its stored bytes lie outside the file");
    }
    // In steps, so that a size the table merely claims needs no memory of its own.
    std::uint8_t chunk[65536];
    std::uint32_t crc = 0;
    for (std::uint64_t done = 0; done < piece.storedSize;) {
        const std::uint64_t count = std::min<std::uint64_t>(sizeof chunk, piece.storedSize - done);
        if (reader_.readAt(where + done, chunk, count) != count) {
            return refuse("its stored bytes lie outside the file");
        }
        crc = ChecksumTable::crcOf({chunk, static_cast<std::size_t>(count)}, crc);
        done += count;
    }
    if (crc != piece.crc) {
        return refuse("its stored bytes do not match their checksum");
    }
    return true;
}

std::string Archive::damaged(const std::string& what, const char* detail) const
{
    if (reader_.failed() && !reader_.failure().empty()) {
        return reader_.failure();
    }
    return what + " of " + path_ + " is damaged: " + detail;
}

void Archive::noteFailure(const std::string& line)
{
    if (firstFailure_.empty()) {
        firstFailure_ = line;
    }
    if (failureListener_) {
        failureListener_(line);
    }
    if (reader_.failed() && stopFailure_.empty()) {
        stopFailure_ = line;
    }
}

const DirectoryRecord* Archive::findEntry(std::string_view name)
{
    if (name.size() >= static_cast<std::size_t>(kNameField)) {
        return nullptr;
    }
    for (const DirectoryRecord& record : directory_) {
        if (std::string_view(record.name) == name) {
            return &record;
        }
    }
    return nullptr;
}

std::uint32_t Archive::entryTag(std::string_view name)
{
    const DirectoryRecord* record = findEntry(name);
    return record ? record->tag : 0;
}

const std::uint8_t* Archive::loadEntry(std::string_view name, std::uint32_t* tag,
                                       std::string* reason)
{
    if (tag) {
        *tag = 0;
    }
    for (const auto& entry : loaded_) {
        if (entry->name == name) {
            ++entry->references;
            if (tag) {
                *tag = entry->tag;
            }
            return entry->data.get();
        }
    }
    const DirectoryRecord* record = findEntry(name);
    if (!record) {
        return nullptr;
    }
    const std::string what = "entry '" + std::string(name) + "'";
    const auto refuse = [this, reason](const std::string& line) -> const std::uint8_t* {
        noteFailure(line);
        if (reason) {
            *reason = line;
        }
        return nullptr;
    };
    if (record->unpackedSize > kMaxUnpackedSize) {
        return refuse(damaged(what, "it claims more bytes than an entry may hold"));
    }
    // A failed reader reads nothing, not even the zero bytes of an empty entry.
    if (reader_.failed()) {
        return refuse(stopFailure_.empty() ? damaged(what, "the archive cannot be read any more")
                                           : stopFailure_);
    }
    const std::uint64_t where = std::uint64_t{header_.dataBase} + record->offset;
    if (!reader_.checkExtent(where, record->storedSize)) {
        return refuse(damaged(what, "its stored bytes lie outside the file"));
    }
    auto entry = std::make_unique<LoadedEntry>();
    entry->tag = record->tag;
    entry->unpackedSize = record->unpackedSize;
    entry->name = std::string(name);
    // Zeroed, so that no byte of the entry is ever left unwritten, whatever a stream does.
    entry->data.reset(new (std::nothrow) std::uint8_t[record->unpackedSize]());
    if (!entry->data) {
        return refuse("not enough memory for " + what + " of " + path_);
    }
    // The checksum entry was proved whole by its own sum when the archive opened.
    const char* detail = nullptr;
    const std::uint32_t produced =
        record == sumsRecord_
            ? reader_.readEntry(where, entry->data.get(), record->unpackedSize, record->storedSize)
            : readChecked(record->offset, entry->data.get(), record->unpackedSize,
                          record->storedSize, &detail);
    if (produced != record->unpackedSize) {
        return refuse(damaged(what, detail ? detail
                                    : reader_.failed()
                                        ? "its stored bytes lie outside the file"
                                        : "its stored bytes do not unpack to its size"));
    }
    if (tag) {
        *tag = entry->tag;
    }
    const std::uint8_t* data = entry->data.get();
    loaded_.insert(loaded_.begin(), std::move(entry));
    return data;
}

bool Archive::unloadEntry(std::string_view name)
{
    const auto it = std::find_if(loaded_.begin(), loaded_.end(),
                                 [name](const auto& entry) { return entry->name == name; });
    if (it == loaded_.end() || --(*it)->references > 0) {
        return false;
    }
    loaded_.erase(it);
    return true;
}

int Archive::entryReferences(std::string_view name) const
{
    for (const auto& entry : loaded_) {
        if (entry->name == name) {
            return entry->references;
        }
    }
    return 0;
}

ArchiveObject* Archive::makeObject(std::string_view name)
{
    for (const auto& made : made_) {
        if (std::string_view(made->object->entryName()) == name) {
            ++made->references;
            return made->object.get();
        }
    }
    std::unique_ptr<ArchiveObject> object = makeTypedObject(entryTag(name), name, *this);
    if (!object) {
        return nullptr;
    }
    ArchiveObject* result = object.get();
    auto made = std::make_unique<MadeObject>();
    made->object = std::move(object);
    made_.insert(made_.begin(), std::move(made));
    return result;
}

void Archive::releaseMadeObject(ArchiveObject* object)
{
    const auto it = std::find_if(made_.begin(), made_.end(), [object](const auto& made) {
        return made->object.get() == object;
    });
    if (it == made_.end() || --(*it)->references > 0) {
        return;
    }
    // Unlinked before unloading, so that whatever the object gives back from unload or its
    // destructor finds the list consistent and cannot reach the object again.
    std::unique_ptr<MadeObject> made = std::move(*it);
    made_.erase(it);
    made->object->unload();
}

void Archive::destroyObjects()
{
    // Oldest first; each is unlinked before its destructor runs, which may release others.
    while (!made_.empty()) {
        std::unique_ptr<MadeObject> made = std::move(made_.back());
        made_.pop_back();
    }
}

int Archive::objectReferences(const ArchiveObject* object) const
{
    for (const auto& made : made_) {
        if (made->object.get() == object) {
            return made->references;
        }
    }
    return 0;
}

std::uint32_t Archive::readEntry(std::uint32_t offset, std::uint8_t* destination,
                                 std::uint32_t unpackedSize, std::uint32_t storedSize,
                                 std::string_view owner)
{
    const char* detail = "";
    const std::uint32_t produced =
        readChecked(offset, destination, unpackedSize, storedSize, &detail);
    if (produced != unpackedSize) {
        const std::string what = owner.empty() ? "the piece at offset " + std::to_string(offset)
                                               : "a piece of entry '" + std::string(owner) + "'";
        noteFailure(damaged(what, detail));
    }
    return produced;
}

}  // namespace wordlark::archive
