// The checksum entry: damage to stored bytes is refused when first read, archives without
// sums read as they always did, and a damaged table leaves nothing to trust.
#include "archive/ChecksumTable.h"

#include <gtest/gtest.h>

#include "archive/Archive.h"
#include "archive/Endian.h"
#include "archive/FileHandleCache.h"
#include "support/TestArchive.h"

namespace wordlark::archive {
namespace {

using heaptool::ArchiveWriter;
using heaptool::Storage;
using test::bytesOf;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::vector<std::uint8_t> repeated(std::size_t count, std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    bytes.resize(count);
    return bytes;
}

class ChecksumTableTest : public ::testing::Test {
protected:
    // "plain" stored as it is, "packed" as a method 2 stream, and an animation frame (a piece
    // no record names) at the returned offset; the sums unless turned off.
    std::vector<std::uint8_t> build(bool sums, std::uint32_t* frameOffset = nullptr)
    {
        ArchiveWriter writer;
        writer.setChecksums(sums);
        writer.addEntry("plain", "wrds", repeated(64, "CAT DOGS "), Storage::Plain);
        writer.addEntry("packed", "gla0", repeated(900, "HORSE ANIMAL "), Storage::Method2);
        std::uint32_t stored = 0;
        const std::uint32_t frame = writer.addPiece(repeated(40, "frame"), Storage::Plain, &stored);
        if (frameOffset) {
            *frameOffset = frame;
        }
        writer.setDirectoryStorage(Storage::Plain);
        return writer.build("s.heap");
    }

    const std::uint8_t* record(const std::vector<std::uint8_t>& file, std::size_t i)
    {
        return file.data() + readLe32(file.data() + 24) + i * kRecordSize;
    }

    // Flips one bit of the stored bytes of directory record i, at byte `at` of them.
    void flip(std::vector<std::uint8_t>& file, std::size_t i, std::size_t at = 5)
    {
        file[readLe32(file.data() + 36) + readLe32(record(file, i) + 8) + at] ^= 0x10;
    }

    std::unique_ptr<Archive> open(const std::vector<std::uint8_t>& file, std::string* reason)
    {
        dir.write("s.heap", file);
        return Archive::open(dir.file("s.heap"), files, reason);
    }

    std::string damaged(const std::string& what, const std::string& detail)
    {
        return what + " of " + dir.file("s.heap") + " is damaged: " + detail;
    }

    FileHandleCache files;
    test::TempDir dir;
};

TEST_F(ChecksumTableTest, ACrcIsZlibsAndContinuesAcrossPieces)
{
    const std::vector<std::uint8_t> check = bytesOf("123456789");
    EXPECT_EQ(ChecksumTable::crcOf(check), 0xCBF43926u);
    const std::span<const std::uint8_t> all(check);
    EXPECT_EQ(ChecksumTable::crcOf(all.subspan(4), ChecksumTable::crcOf(all.first(4))),
              0xCBF43926u);
    EXPECT_EQ(ChecksumTable::crcOf({}), 0u);
}

TEST_F(ChecksumTableTest, AFlippedStoredByteIsRefusedWhenFirstReadAndNamesItsEntry)
{
    std::uint32_t frame = 0;
    const std::vector<std::uint8_t> sound = build(true, &frame);
    std::string reason;
    for (const char* name : {"plain", "packed"}) {
        std::vector<std::uint8_t> file = sound;
        const std::size_t index = std::string_view(name) == "plain" ? 0 : 1;
        flip(file, index);
        auto archive = open(file, &reason);
        ASSERT_NE(archive, nullptr) << reason;
        std::uint32_t tag = 0;
        EXPECT_EQ(archive->loadEntry(name, &tag, &reason), nullptr) << name;
        EXPECT_EQ(reason, damaged("entry '" + std::string(name) + "'",
                                  "its stored bytes do not match their checksum"));
        EXPECT_EQ(archive->firstFailure(), reason);
        // Damage to one entry leaves the others readable, as a stream that fails would.
        const char* other = index == 0 ? "packed" : "plain";
        EXPECT_NE(archive->loadEntry(other, &tag, &reason), nullptr) << other;
    }
    // The frames of an animation are covered though no record names them, and whoever listens
    // hears of each damaged read.
    std::vector<std::uint8_t> file = sound;
    file[readLe32(file.data() + 36) + frame + 3] ^= 0x01;
    auto archive = open(file, &reason);
    ASSERT_NE(archive, nullptr) << reason;
    std::vector<std::string> heard;
    archive->setFailureListener([&heard](const std::string& line) { heard.push_back(line); });
    std::uint8_t piece[40] = {};
    EXPECT_EQ(archive->readEntry(frame, piece, 40, 40, "anim"), 0u);
    EXPECT_EQ(archive->firstFailure(),
              damaged("a piece of entry 'anim'", "its stored bytes do not match their checksum"));
    EXPECT_EQ(heard, std::vector<std::string>{archive->firstFailure()});
}

TEST_F(ChecksumTableTest, APieceTheSumsDoNotListIsDamaged)
{
    // A directory record moved by damage points at bytes no sum describes.
    std::vector<std::uint8_t> file = build(true);
    std::uint8_t* offset = const_cast<std::uint8_t*>(record(file, 0)) + 8;
    writeLe32(offset, readLe32(offset) + 1);
    std::string reason;
    auto archive = open(file, &reason);
    ASSERT_NE(archive, nullptr) << reason;
    std::uint32_t tag = 0;
    EXPECT_EQ(archive->loadEntry("plain", &tag, &reason), nullptr);
    EXPECT_EQ(reason,
              damaged("entry 'plain'", "the checksum entry does not list its stored bytes"));
}

TEST_F(ChecksumTableTest, AnArchiveWithoutSumsReadsAsBefore)
{
    std::vector<std::uint8_t> file = build(false);
    flip(file, 0);
    std::string reason;
    auto archive = open(file, &reason);
    ASSERT_NE(archive, nullptr) << reason;
    EXPECT_EQ(archive->checksums(), nullptr);
    EXPECT_EQ(archive->directory().size(), 2u);
    std::uint32_t tag = 0;
    // Nothing can tell the damage, so the bytes are used as they are.
    EXPECT_NE(archive->loadEntry("plain", &tag, &reason), nullptr);
    EXPECT_NE(archive->loadEntry("packed", &tag, &reason), nullptr);
    EXPECT_TRUE(archive->firstFailure().empty());
}

TEST_F(ChecksumTableTest, TheSumsAreTheLastEntryAndReadableAsOne)
{
    const std::vector<std::uint8_t> file = build(true);
    std::string reason;
    auto archive = open(file, &reason);
    ASSERT_NE(archive, nullptr) << reason;
    ASSERT_EQ(archive->directory().size(), 3u);
    EXPECT_STREQ(archive->directory().back().name, kChecksumEntry);
    ASSERT_NE(archive->checksums(), nullptr);
    // Two entries and the frame.
    EXPECT_EQ(archive->checksums()->records().size(), 3u);
    std::uint32_t tag = 0;
    EXPECT_NE(archive->loadEntry(kChecksumEntry, &tag, &reason), nullptr) << reason;
    EXPECT_EQ(tag, kChecksumTag);
    for (const ChecksumTable::Record& piece : archive->checksums()->records()) {
        EXPECT_TRUE(archive->storedBytesMatch(piece, &reason)) << reason;
    }
}

TEST_F(ChecksumTableTest, ADamagedChecksumEntryMakesTheArchiveUnreadable)
{
    const std::vector<std::uint8_t> sound = build(true);
    const std::size_t sums = 2;
    const auto table = [&](std::vector<std::uint8_t>& file) {
        return file.data() + readLe32(file.data() + 36) + readLe32(record(file, sums) + 8);
    };
    const auto field = [&](std::vector<std::uint8_t>& file, std::size_t at) {
        return const_cast<std::uint8_t*>(record(file, sums)) + at;
    };
    struct Case {
        const char* what;
        void (*damage)(std::vector<std::uint8_t>&, std::uint8_t* table, std::uint8_t* record);
        const char* detail;
    };
    const Case cases[] = {
        {"a sum changed",
         [](auto&, std::uint8_t* t, std::uint8_t*) { t[ChecksumTable::kHeaderSize + 8] ^= 1; },
         "the table does not match its own checksum"},
        {"the mark changed", [](auto&, std::uint8_t* t, std::uint8_t*) { t[0] = 'S'; },
         "it does not begin as a checksum table"},
        {"one sum fewer claimed",
         [](auto&, std::uint8_t* t, std::uint8_t*) { writeLe32(t + 4, readLe32(t + 4) - 1); },
         "its size does not fit the number of sums it claims"},
        {"a huge count",
         [](auto&, std::uint8_t* t, std::uint8_t*) { writeLe32(t + 4, 0x80000000u); },
         "its size does not fit the number of sums it claims"},
        {"cut short",
         [](auto&, std::uint8_t*, std::uint8_t* r) {
             writeLe32(r + 16, 8);
             writeLe32(r + 36, 8);
         },
         "it does not begin as a checksum table"},
        {"another tag", [](auto&, std::uint8_t*, std::uint8_t* r) { r[12] = 'x'; },
         "its tag is not 'sums'"},
        {"outside the file",
         [](auto&, std::uint8_t*, std::uint8_t* r) { writeLe32(r + 8, 0x7FFFFF00u); },
         "its stored bytes lie outside the file"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> file = sound;
        c.damage(file, table(file), field(file, 0));
        std::string reason;
        EXPECT_EQ(open(file, &reason), nullptr) << c.what;
        EXPECT_EQ(reason, damaged("the checksum entry", c.detail)) << c.what;
        EXPECT_EQ(files.openCount(), 0u) << c.what;
    }
}

TEST_F(ChecksumTableTest, SumsOutOfOrderOrTwiceOrTwoTablesAreRefused)
{
    // Tables written by hand, under a writer that makes none of its own.
    const auto tableOf = [](const std::vector<ChecksumTable::Record>& records) {
        std::vector<std::uint8_t> bytes = ChecksumTable::serialise({});
        for (const ChecksumTable::Record& record : records) {
            std::uint8_t field[ChecksumTable::kRecordSize];
            writeLe32(field, record.offset);
            writeLe32(field + 4, record.storedSize);
            writeLe32(field + 8, record.crc);
            bytes.insert(bytes.end(), field, field + sizeof field);
        }
        writeLe32(bytes.data() + 4, static_cast<std::uint32_t>(records.size()));
        writeLe32(bytes.data() + 8,
                  ChecksumTable::crcOf(
                      std::span<const std::uint8_t>(bytes).subspan(ChecksumTable::kHeaderSize)));
        return bytes;
    };
    const std::pair<std::vector<std::vector<std::uint8_t>>, const char*> cases[] = {
        {{tableOf({{8, 4, 1}, {0, 4, 2}})}, "its sums are out of order or name a piece twice"},
        {{tableOf({{0, 4, 1}, {0, 4, 1}})}, "its sums are out of order or name a piece twice"},
        {{tableOf({}), tableOf({})}, "the archive has more than one"},
    };
    for (const auto& [tables, detail] : cases) {
        ArchiveWriter writer;
        writer.setChecksums(false);
        writer.addEntry("e", "data", bytesOf("entry"), Storage::Plain);
        for (const auto& bytes : tables) {
            writer.addEntry(kChecksumEntry, "sums", bytes, Storage::Plain);
        }
        std::string reason;
        EXPECT_EQ(open(writer.build("s.heap"), &reason), nullptr) << detail;
        EXPECT_EQ(reason, damaged("the checksum entry", detail));
    }
    // Within the rules, a table is taken: pieces of no size share an offset with the next.
    const std::vector<std::uint8_t> bytes =
        ChecksumTable::serialise({{4, 0, 0}, {0, 4, 7}, {4, 0, 0}, {4, 2, 9}});
    std::string reason;
    const std::optional<ChecksumTable> parsed = ChecksumTable::parse(bytes, &reason);
    ASSERT_TRUE(parsed) << reason;
    ASSERT_EQ(parsed->records().size(), 3u);
    ASSERT_NE(parsed->find(4, 2), nullptr);
    EXPECT_EQ(parsed->find(4, 2)->crc, 9u);
    EXPECT_EQ(parsed->find(4, 1), nullptr);
}

TEST_F(ChecksumTableTest, TheWriterKeepsTheNameForItsOwnTable)
{
    ArchiveWriter writer;
    writer.addEntry(kChecksumEntry, "sums", bytesOf("mine"), Storage::Plain);
    EXPECT_TRUE(contains(writer.error(), "kept for the archive's checksums")) << writer.error();
}

}  // namespace
}  // namespace wordlark::archive
