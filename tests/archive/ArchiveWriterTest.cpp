#include "heaptool/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "archive/Archive.h"
#include "archive/Endian.h"
#include "archive/FileHandleCache.h"
#include "heaptool/Packer.h"
#include "support/TestArchive.h"

namespace wordlark::heaptool {
namespace {

using archive::readLe32;
using test::bytesOf;

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& bytes, std::size_t from,
                                std::size_t count)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
            bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

TEST(ArchiveWriterTest, LaysOutHeaderDataAndDirectoryFieldByField)
{
    // The layout without the checksum entry, which ChecksumTableTest takes apart.
    ArchiveWriter writer;
    writer.setChecksums(false);
    writer.addEntry("name", "ab", bytesOf("hello"), Storage::Plain);
    std::uint32_t pieceStored = 0;
    EXPECT_EQ(writer.addPiece(bytesOf("xyz"), Storage::Plain, &pieceStored), 5u);
    EXPECT_EQ(pieceStored, 3u);
    writer.addEntry("abcdefghijklmnopq", "fon6", bytesOf("L"), Storage::Plain);
    writer.setDirectoryStorage(Storage::Plain);
    const std::vector<std::uint8_t> file = writer.build("a-very-long-archive-name");

    ASSERT_EQ(file.size(), 40u + 9u + 80u);
    EXPECT_EQ(slice(file, 0, 8), std::vector<std::uint8_t>(8, 0));
    EXPECT_EQ(slice(file, 8, 16), bytesOf(std::string_view("a-very-long-arc\0", 16)));
    EXPECT_EQ(readLe32(file.data() + 24), 49u);  // directory offset
    EXPECT_EQ(readLe32(file.data() + 28), 2u);   // entries
    EXPECT_EQ(readLe32(file.data() + 32), 80u);  // directory stored size
    EXPECT_EQ(readLe32(file.data() + 36), 40u);  // data base
    EXPECT_EQ(slice(file, 40, 9), bytesOf("helloxyzL"));

    const std::uint8_t* first = file.data() + 49;
    EXPECT_EQ(slice(file, 49, 8), std::vector<std::uint8_t>(8, 0));
    EXPECT_EQ(readLe32(first + 8), 0u);
    EXPECT_EQ(readLe32(first + 12), 0x6261u);  // "ab" in file order, NUL-padded
    EXPECT_EQ(readLe32(first + 16), 5u);
    EXPECT_EQ(slice(file, 49 + 20, 16),
              bytesOf(std::string_view("name\0\0\0\0\0\0\0\0\0\0\0\0", 16)));
    EXPECT_EQ(readLe32(first + 36), 5u);
    const std::uint8_t* second = first + 40;
    EXPECT_EQ(readLe32(second + 8), 8u);
    EXPECT_EQ(slice(file, 89 + 12, 4), bytesOf("fon6"));
    EXPECT_EQ(slice(file, 89 + 20, 16), bytesOf(std::string_view("abcdefghijklmno\0", 16)));
}

TEST(ArchiveWriterTest, PackedStreamsNeverLookPlain)
{
    std::mt19937 random(3);
    std::vector<std::uint8_t> noise(64);
    for (auto& byte : noise) {
        byte = static_cast<std::uint8_t>(random());
    }
    // Noise followed by ever longer runs: somewhere each method's stream is exactly as long
    // as its data.
    for (const Storage method : {Storage::Method1, Storage::Method2, Storage::Method3}) {
        bool met = false;
        for (std::size_t run = 0; run < 400 && !met; ++run) {
            std::vector<std::uint8_t> data = noise;
            data.resize(noise.size() + run, 'r');
            const std::vector<std::uint8_t> stream = packStream(static_cast<int>(method), data);
            if (stream.size() != data.size()) {
                continue;
            }
            met = true;
            const std::vector<std::uint8_t> stored = ArchiveWriter::store(data, method);
            EXPECT_EQ(stored.size(), data.size() + 1);

            test::TempDir dir;
            const std::string path =
                test::writeArchive(dir, "p.heap", {{"e", "data", data, method}});
            archive::FileHandleCache files;
            auto archive = archive::Archive::open(path, files);
            ASSERT_NE(archive, nullptr);
            std::uint32_t tag = 0;
            const std::uint8_t* loaded = archive->loadEntry("e", &tag);
            ASSERT_NE(loaded, nullptr);
            EXPECT_TRUE(std::equal(data.begin(), data.end(), loaded));
        }
        EXPECT_TRUE(met) << static_cast<int>(method);
    }

    // Automatic keeps the smallest, and plain unless a stream is strictly smaller.
    const std::vector<std::uint8_t> text = bytesOf(
        "the letter pool deals seven letters; the word row takes them back letter by letter");
    const std::vector<std::uint8_t> automatic = ArchiveWriter::store(text, Storage::Automatic);
    EXPECT_LE(automatic.size(),
              std::min({text.size(), packStream(1, text).size(), packStream(2, text).size()}));
    EXPECT_EQ(ArchiveWriter::store(noise, Storage::Automatic), noise);
    EXPECT_EQ(ArchiveWriter::store(noise, Storage::Plain), noise);
    EXPECT_TRUE(ArchiveWriter::store({}, Storage::Automatic).empty());
}

TEST(ArchiveWriterTest, RefusesWhatTheGameWouldNotRead)
{
    ArchiveWriter writer;
    writer.addEntry("small", "data", bytesOf("ok"));
    writer.addEntry("huge", "data", std::vector<std::uint8_t>(archive::kMaxUnpackedSize + 1));
    EXPECT_NE(writer.error().find("huge"), std::string::npos);
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(writer.write(dir.file("x.heap"), "x.heap", &error));
    EXPECT_EQ(error, writer.error());
    EXPECT_EQ(readLe32(writer.build("x.heap").data() + 28), 2u);  // "small" and the checksums

    ArchiveWriter fine;
    EXPECT_FALSE(fine.write(dir.file("no/such/folder/x.heap"), "x.heap", &error));
    EXPECT_NE(error.find("no/such/folder"), std::string::npos);
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

}  // namespace
}  // namespace wordlark::heaptool
