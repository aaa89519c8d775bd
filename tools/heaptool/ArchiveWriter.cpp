#include "heaptool/ArchiveWriter.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

#include "archive/Archive.h"
#include "archive/DirectoryRecord.h"
#include "archive/Endian.h"
#include "heaptool/Packer.h"

namespace wordlark::heaptool {

namespace {

using archive::kHeaderSize;
using archive::kNameField;
using archive::kRecordSize;

void putName(std::uint8_t* field, std::string_view name)
{
    const auto length = std::min<std::size_t>(name.size(), kNameField - 1);
    std::memset(field, 0, kNameField);
    std::memcpy(field, name.data(), length);
}

std::uint32_t tagValue(std::string_view tag)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < tag.size(); ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(tag[i])) << (8 * i);
    }
    return value;
}

std::vector<std::uint8_t> packed(const std::vector<std::uint8_t>& data, int method)
{
    return packStream(method, std::span<const std::uint8_t>(data.data(), data.size()));
}

}  // namespace

std::vector<std::uint8_t> ArchiveWriter::store(const std::vector<std::uint8_t>& data,
                                               Storage storage)
{
    if (storage == Storage::Plain) {
        return data;
    }
    if (storage == Storage::Automatic) {
        std::vector<std::uint8_t> best = data;
        for (int method : {1, 2}) {
            std::vector<std::uint8_t> candidate = packed(data, method);
            if (candidate.size() < best.size()) {
                best = std::move(candidate);
            }
        }
        return best;
    }
    std::vector<std::uint8_t> stream = packed(data, static_cast<int>(storage));
    // The reader takes equal sizes for plain data; the decoder ignores what follows the
    // stream, so one more byte keeps it a stream.
    if (stream.size() == data.size()) {
        stream.push_back(0);
    }
    return stream;
}

bool ArchiveWriter::append(const std::vector<std::uint8_t>& data, Storage storage,
                           std::string_view what, Record* record)
{
    if (data.size() > archive::kMaxUnpackedSize) {
        if (error_.empty()) {
            error_ = std::string(what) + " has " + std::to_string(data.size()) +
                     " bytes, more than the " + std::to_string(archive::kMaxUnpackedSize) +
                     " an archive entry may hold";
        }
        return false;
    }
    std::vector<std::uint8_t> stored = store(data, storage);
    // Offsets are 32-bit and the directory follows the data in the same file.
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max() - kHeaderSize;
    if (std::uint64_t{dataArea_.size()} + stored.size() > kLimit) {
        if (error_.empty()) {
            error_ = "the archive's data area outgrows 32-bit offsets at " + std::string(what);
        }
        return false;
    }
    record->offset = static_cast<std::uint32_t>(dataArea_.size());
    record->unpackedSize = static_cast<std::uint32_t>(data.size());
    record->storedSize = static_cast<std::uint32_t>(stored.size());
    sums_.push_back({record->offset, record->storedSize, archive::ChecksumTable::crcOf(stored)});
    dataArea_.insert(dataArea_.end(), stored.begin(), stored.end());
    return true;
}

void ArchiveWriter::addEntry(std::string_view name, std::string_view tag,
                             std::vector<std::uint8_t> data, Storage storage)
{
    Record record;
    record.name = std::string(name.substr(0, kNameField - 1));
    record.tag = tagValue(tag);
    if (checksums_ && record.name == archive::kChecksumEntry) {
        if (error_.empty()) {
            error_ = "the entry name '" + record.name + "' is kept for the archive's checksums";
        }
        return;
    }
    if (append(data, storage, "entry '" + record.name + "'", &record)) {
        records_.push_back(std::move(record));
    }
}

std::uint32_t ArchiveWriter::addPiece(std::vector<std::uint8_t> data, Storage storage,
                                      std::uint32_t* storedSize)
{
    Record record;
    const bool added = append(data, storage, "a piece", &record);
    if (storedSize) {
        *storedSize = added ? record.storedSize : 0;
    }
    return added ? record.offset : 0;
}

std::vector<std::uint8_t> ArchiveWriter::build(std::string_view archiveName) const
{
    std::vector<Record> records = records_;
    std::vector<std::uint8_t> sums;
    if (checksums_) {
        sums = archive::ChecksumTable::serialise(sums_);
        Record record;
        record.name = archive::kChecksumEntry;
        record.tag = archive::kChecksumTag;
        record.offset = static_cast<std::uint32_t>(dataArea_.size());
        record.unpackedSize = static_cast<std::uint32_t>(sums.size());
        record.storedSize = record.unpackedSize;
        records.push_back(std::move(record));
    }
    std::vector<std::uint8_t> directory(records.size() * kRecordSize, 0);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = records[i];
        std::uint8_t* bytes = directory.data() + i * kRecordSize;
        archive::writeLe32(bytes + 8, record.offset);
        archive::writeLe32(bytes + 12, record.tag);
        archive::writeLe32(bytes + 16, record.unpackedSize);
        putName(bytes + 20, record.name);
        archive::writeLe32(bytes + 36, record.storedSize);
    }
    const std::vector<std::uint8_t> storedDirectory = store(directory, directoryStorage_);

    std::vector<std::uint8_t> file(kHeaderSize, 0);
    putName(file.data() + 8, archiveName);
    archive::writeLe32(file.data() + 24,
                       static_cast<std::uint32_t>(kHeaderSize + dataArea_.size() + sums.size()));
    archive::writeLe32(file.data() + 28, static_cast<std::uint32_t>(records.size()));
    archive::writeLe32(file.data() + 32, static_cast<std::uint32_t>(storedDirectory.size()));
    archive::writeLe32(file.data() + 36, kHeaderSize);
    file.reserve(kHeaderSize + dataArea_.size() + sums.size() + storedDirectory.size());
    file.insert(file.end(), dataArea_.begin(), dataArea_.end());
    file.insert(file.end(), sums.begin(), sums.end());
    file.insert(file.end(), storedDirectory.begin(), storedDirectory.end());
    return file;
}

bool ArchiveWriter::write(const std::string& path, std::string_view archiveName,
                          std::string* error) const
{
    const auto failWith = [error](std::string reason) {
        if (error) {
            *error = std::move(reason);
        }
        return false;
    };
    if (!error_.empty()) {
        return failWith(error_);
    }
    const std::vector<std::uint8_t> bytes = build(archiveName);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return failWith("cannot create " + path);
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        return failWith("cannot write " + path);
    }
    return true;
}

}  // namespace wordlark::heaptool
