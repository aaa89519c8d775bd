#include "archive/Archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "archive/ArchiveReader.h"
#include "archive/ArchiveRegistry.h"
#include "archive/Endian.h"
#include "archive/FileHandleCache.h"
#include "archive/FourCC.h"
#include "archive/ObjectFactory.h"
#include "support/TestArchive.h"

namespace wordlark::archive {
namespace {

using heaptool::Storage;
using test::bytesOf;
using test::TestEntry;

std::vector<std::uint8_t> textOf(std::size_t size)
{
    static const std::string_view kWords[] = {"letter ", "word ",  "row ",   "pool ",
                                              "lark ",   "score ", "rating "};
    std::vector<std::uint8_t> out;
    std::mt19937 random(7);
    while (out.size() < size) {
        const std::string_view word = kWords[random() % 7];
        out.insert(out.end(), word.begin(), word.end());
    }
    out.resize(size);
    return out;
}

std::vector<std::uint8_t> noiseOf(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> out(size);
    std::mt19937 random(seed);
    for (auto& byte : out) {
        byte = static_cast<std::uint8_t>(random());
    }
    return out;
}

// The bytes at data, or nothing for a failed load.
std::vector<std::uint8_t> copyOf(const std::uint8_t* data, std::size_t size)
{
    return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>{};
}

// Records where the factory's objects went: unload calls and destructions.
struct ObjectLog {
    int unloads = 0;
    int destroyed = 0;
};
ObjectLog objectLog;

class CountingObject : public ArchiveObject {
public:
    using ArchiveObject::ArchiveObject;
    ~CountingObject() override { ++objectLog.destroyed; }
    void unload() override { ++objectLog.unloads; }

    // Another object this one holds and gives back from its destructor, as a bitmap holds
    // the picture it masks.
    ArchiveRegistry* registry = nullptr;
    ArchiveObject* held = nullptr;
};

class HoldingObject : public CountingObject {
public:
    using CountingObject::CountingObject;
    ~HoldingObject() override
    {
        if (registry) {
            registry->releaseObject(held);
        }
    }
};

std::unique_ptr<ArchiveObject> makeCounting(std::string_view name, Archive& archive)
{
    return std::make_unique<CountingObject>(name, archive.header().name);
}

std::unique_ptr<ArchiveObject> makeHolding(std::string_view name, Archive& archive)
{
    return std::make_unique<HoldingObject>(name, archive.header().name);
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        objectLog = {};
        registerObjectMaker(fileTag("gla0"), makeCounting);
        registerObjectMaker(fileTag("bitm"), makeHolding);
    }
    void TearDown() override
    {
        registerObjectMaker(fileTag("gla0"), nullptr);
        registerObjectMaker(fileTag("bitm"), nullptr);
    }

    // A plain directory of two entries: "first" (16 bytes) then "second" (8 bytes), plain.
    std::vector<std::uint8_t> twoPlainEntries() const
    {
        return test::archiveBytes({{"first", "data", bytesOf("0123456789abcdef"), Storage::Plain},
                                   {"second", "data", bytesOf("ABCDEFGH"), Storage::Plain}},
                                  "t.heap", Storage::Plain);
    }
    // Field of record i in a plain directory.
    static std::uint8_t* recordField(std::vector<std::uint8_t>& file, int i, int field)
    {
        return file.data() + readLe32(file.data() + 24) + i * kRecordSize + field;
    }

    test::TempDir dir;
    ArchiveRegistry registry{dir.folder()};
};

TEST_F(ArchiveTest, RegistryOpensEachArchiveOnceUnderItsUpperCasedName)
{
    test::writeArchive(dir, "vek.heap", {{"words", "word", bytesOf("abc")}});
    const std::size_t before = registry.files().openCount();

    Archive* lower = registry.openArchive("vek.heap");
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(registry.openArchive("VEK.HEAP"), lower);
    EXPECT_EQ(registry.openArchive("Vek.Heap"), lower);
    EXPECT_EQ(registry.files().openCount(), before + 1);

    // A second registry has its own Archive but shares the descriptor.
    {
        ArchiveRegistry other(dir.folder());
        Archive* second = other.openArchive("vek.heap");
        ASSERT_NE(second, nullptr);
        EXPECT_NE(second, lower);
        EXPECT_EQ(registry.files().openCount(), before + 1);
    }
    EXPECT_EQ(registry.files().openCount(), before + 1);
    std::uint32_t tag = 0;
    EXPECT_NE(lower->loadEntry("words", &tag), nullptr);

    // Names alike in their first 15 characters are still different files and archives.
    test::writeArchive(dir, "abcdefghijklmnop1", {{"e", "data", bytesOf("one")}});
    test::writeArchive(dir, "abcdefghijklmnop2", {{"e", "data", bytesOf("two")}});
    Archive* one = registry.openArchive("abcdefghijklmnop1");
    Archive* two = registry.openArchive("abcdefghijklmnop2");
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_NE(one, two);
    EXPECT_EQ(registry.files().openCount(), before + 3);
    EXPECT_EQ(copyOf(two->loadEntry("e", &tag), 3), bytesOf("two"));
}

TEST_F(ArchiveTest, ArchiveNamesNeverLeaveTheProgramFolder)
{
    // A real archive one folder up and one in a subfolder: neither may be reached by a name
    // with a separator, such as one read from a damaged header.
    std::filesystem::create_directory(dir.file("sub"));
    test::writeArchive(dir, "sub/in.heap", {{"e", "data", bytesOf("x")}});
    test::TempDir inner;
    ArchiveRegistry nested(inner.folder());
    test::writeArchive(dir, "up.heap", {{"e", "data", bytesOf("x")}});
    const std::string up =
        "../" + std::filesystem::path(dir.folder()).parent_path().filename().string() + "/up.heap";
    ASSERT_TRUE(std::filesystem::exists(inner.folder() + up));

    const std::size_t before = registry.files().openCount();
    EXPECT_EQ(registry.openArchive("sub/in.heap"), nullptr);
    EXPECT_EQ(registry.openArchive("sub\\in.heap"), nullptr);
    EXPECT_EQ(nested.openArchive(up), nullptr);
    EXPECT_EQ(registry.openArchive(""), nullptr);
    EXPECT_EQ(registry.files().openCount(), before);
    EXPECT_NE(registry.openArchive("up.heap"), nullptr);
}

TEST_F(ArchiveTest, LoadedEntriesAreSharedByReference)
{
    test::writeArchive(dir, "t.heap",
                       {{"chars", "gla0", bytesOf("lower")},
                        {"Chars", "fon6", bytesOf("UPPER")},
                        {"chars", "bitm", bytesOf("later")},
                        {"empty", "data", {}}});
    Archive* archive = registry.openArchive("t.heap");
    ASSERT_NE(archive, nullptr);

    std::uint32_t tag = 0;
    const std::uint8_t* data = archive->loadEntry("chars", &tag);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(tag, fileTag("gla0"));
    tag = 0;
    EXPECT_EQ(archive->loadEntry("chars", &tag), data);
    EXPECT_EQ(tag, fileTag("gla0"));
    EXPECT_EQ(archive->entryReferences("chars"), 2);
    // The first record wins; names differing only in case are other entries.
    EXPECT_EQ(copyOf(data, 5), bytesOf("lower"));
    const std::uint8_t* upper = archive->loadEntry("Chars", &tag);
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(tag, fileTag("fon6"));
    EXPECT_EQ(copyOf(upper, 5), bytesOf("UPPER"));
    EXPECT_EQ(archive->entryTag("CHARS"), 0u);

    EXPECT_FALSE(archive->unloadEntry("chars"));
    EXPECT_EQ(copyOf(data, 5), bytesOf("lower"));
    EXPECT_TRUE(archive->unloadEntry("chars"));
    EXPECT_FALSE(archive->unloadEntry("chars"));
    EXPECT_EQ(archive->entryReferences("chars"), 0);
    EXPECT_EQ(archive->entryReferences("Chars"), 1);

    // An empty entry loads (as data, not as none); a missing one reports tag 0.
    EXPECT_NE(archive->loadEntry("empty", &tag), nullptr);
    tag = 99;
    EXPECT_EQ(archive->loadEntry("missing", &tag), nullptr);
    EXPECT_EQ(tag, 0u);
    EXPECT_EQ(archive->findEntry("missing"), nullptr);
    EXPECT_FALSE(archive->unloadEntry("missing"));
}

TEST_F(ArchiveTest, EveryStorageReadsBackUnderEveryDirectoryStorage)
{
    const std::vector<std::vector<std::uint8_t>> contents = {
        {},
        {0x42},
        bytesOf("\x01\x02\x03 first byte looks like a method"),
        textOf(30000),
        noiseOf(5000, 1)};
    const Storage storages[] = {Storage::Plain, Storage::Method1, Storage::Method2,
                                Storage::Method3, Storage::Automatic};
    for (const Storage directoryStorage : storages) {
        std::vector<TestEntry> entries;
        for (std::size_t c = 0; c < contents.size(); ++c) {
            for (const Storage storage : storages) {
                entries.push_back(
                    {"e" + std::to_string(c) + "s" + std::to_string(static_cast<int>(storage)),
                     "data", contents[c], storage});
            }
        }
        const std::string name = "d" + std::to_string(static_cast<int>(directoryStorage));
        test::writeArchive(dir, name, entries, directoryStorage);
        Archive* archive = registry.openArchive(name);
        ASSERT_NE(archive, nullptr) << name;
        const ArchiveHeader& header = archive->header();
        EXPECT_EQ(header.directoryStoredSize == header.entryCount * kRecordSize,
                  directoryStorage == Storage::Plain);
        for (const TestEntry& entry : entries) {
            const DirectoryRecord* record = archive->findEntry(entry.name);
            ASSERT_NE(record, nullptr);
            std::uint32_t tag = 0;
            const std::uint8_t* data = archive->loadEntry(entry.name, &tag);
            ASSERT_NE(data, nullptr) << name << " " << entry.name;
            EXPECT_EQ(copyOf(data, record->unpackedSize), entry.data) << entry.name;
            const bool plain = record->storedSize == record->unpackedSize;
            if (entry.storage == Storage::Plain) {
                EXPECT_TRUE(plain) << entry.name;
            } else if (entry.storage != Storage::Automatic) {
                EXPECT_FALSE(plain) << entry.name;
            }
        }
    }
    // Automatic packs what packs well and leaves noise plain.
    Archive* automatic = registry.openArchive("d-1");
    ASSERT_NE(automatic, nullptr);
    EXPECT_LT(automatic->findEntry("e3s-1")->storedSize, 30000u / 2);
    EXPECT_EQ(automatic->findEntry("e4s-1")->storedSize, 5000u);
}

TEST_F(ArchiveTest, ObjectsAreSharedAndDestroyedWithTheirLastReference)
{
    test::writeArchive(dir, "t.heap",
                       {{"pic", "gla0", bytesOf("gla0....")},
                        {"notes", "txt0", bytesOf("just data")},
                        {"plain", "fon6", bytesOf("fon6")}});
    Archive* archive = registry.openArchive("t.heap");
    ASSERT_NE(archive, nullptr);

    ArchiveObject* pic = registry.acquireObject("pic", "T.HEAP");
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(archive->makeObject("pic"), pic);
    EXPECT_EQ(archive->objectReferences(pic), 2);
    EXPECT_STREQ(pic->entryName(), "pic");
    EXPECT_STREQ(pic->archiveName(), "t.heap");
    EXPECT_EQ(archive->entryReferences("pic"), 0);  // made, not loaded

    registry.releaseObject(pic);
    EXPECT_EQ(archive->objectReferences(pic), 1);
    EXPECT_EQ(objectLog.unloads + objectLog.destroyed, 0);
    archive->releaseMadeObject(pic);
    EXPECT_EQ(objectLog.unloads, 1);
    EXPECT_EQ(objectLog.destroyed, 1);
    archive->releaseMadeObject(pic);  // no longer known: ignored
    registry.releaseObject(nullptr);
    EXPECT_EQ(objectLog.unloads, 1);

    // A tag outside the table makes nothing but loads; a picture tag without a maker of its
    // own still makes a shared object.
    EXPECT_EQ(archive->makeObject("notes"), nullptr);
    EXPECT_EQ(archive->makeObject("missing"), nullptr);
    std::uint32_t tag = 0;
    EXPECT_NE(archive->loadEntry("notes", &tag), nullptr);
    EXPECT_EQ(tag, fileTag("txt0"));
    ArchiveObject* plain = archive->makeObject("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(registry.acquireObject("plain", "t.heap"), plain);
    EXPECT_FALSE(registerObjectMaker(fileTag("txt0"), makeCounting));
    EXPECT_EQ(registry.acquireObject("pic", "absent.heap"), nullptr);
}

TEST_F(ArchiveTest, ObjectsOfAnArchiveNamedOtherwiseInItsHeaderCannotBeGivenBack)
{
    test::writeArchive(dir, "real.heap", {{"pic", "gla0", bytesOf("x")}}, Storage::Automatic,
                       "other.heap");
    ArchiveObject* pic = registry.acquireObject("pic", "real.heap");
    ASSERT_NE(pic, nullptr);
    EXPECT_STREQ(pic->archiveName(), "other.heap");
    Archive* real = registry.openArchive("real.heap");

    registry.releaseObject(pic);  // no archive of that name
    EXPECT_EQ(real->objectReferences(pic), 1);

    // Once a file of the header's name exists it is opened, and still holds no such object.
    test::writeArchive(dir, "other.heap", {{"pic", "gla0", bytesOf("y")}});
    const std::size_t before = registry.files().openCount();
    registry.releaseObject(pic);
    EXPECT_EQ(registry.files().openCount(), before + 1);
    EXPECT_EQ(real->objectReferences(pic), 1);
    EXPECT_EQ(objectLog.destroyed, 0);
}

TEST_F(ArchiveTest, ShutDownSurvivesObjectsThatGiveOthersBack)
{
    // Both orders: the held object made before and after its holder.
    for (const bool heldFirst : {false, true}) {
        objectLog = {};
        {
            test::TempDir folder;
            test::writeArchive(folder, "t.heap",
                               {{"mask", "bitm", bytesOf("m")}, {"src", "gla0", bytesOf("s")}});
            ArchiveRegistry shutDown(folder.folder());
            ArchiveObject* held = heldFirst ? shutDown.acquireObject("src", "t.heap") : nullptr;
            auto* mask = static_cast<CountingObject*>(shutDown.acquireObject("mask", "t.heap"));
            ASSERT_NE(mask, nullptr);
            mask->registry = &shutDown;
            mask->held = shutDown.acquireObject("src", "t.heap");
            ASSERT_NE(mask->held, nullptr);
            EXPECT_EQ(shutDown.openArchive("t.heap")->objectReferences(mask->held),
                      heldFirst ? 2 : 1);
            EXPECT_TRUE(!heldFirst || held == mask->held);
        }
        EXPECT_EQ(objectLog.destroyed, 2) << heldFirst;
    }
}

TEST_F(ArchiveTest, FailedOpenRegistersNothingAndGivesTheFileBack)
{
    const std::size_t before = registry.files().openCount();
    EXPECT_EQ(registry.openArchive("absent.heap"), nullptr);

    const std::vector<std::uint8_t> whole = test::archiveBytes(
        {{"a", "data", textOf(3000), Storage::Method1}, {"b", "data", bytesOf("b")}}, "t.heap",
        Storage::Method2);
    const std::vector<std::uint8_t> plainDirectory = twoPlainEntries();
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {whole.begin(), whole.begin() + 39},                  // short header
        {whole.begin(), whole.end() - 1},                     // packed directory cut short
        {plainDirectory.begin(), plainDirectory.end() - 1}};  // plain directory cut short
    for (const auto& bytes : damaged) {
        dir.write("t.heap", bytes);
        EXPECT_EQ(registry.openArchive("t.heap"), nullptr) << bytes.size();
        EXPECT_EQ(registry.files().openCount(), before);
    }
    // Mended, the same name opens.
    dir.write("t.heap", whole);
    Archive* archive = registry.openArchive("t.heap");
    ASSERT_NE(archive, nullptr);
    std::uint32_t tag = 0;
    EXPECT_EQ(copyOf(archive->loadEntry("a", &tag), 3000), textOf(3000));
}

TEST_F(ArchiveTest, DirectoryFieldsPointingOutsideTheFileAreRefused)
{
    const std::vector<std::uint8_t> good = twoPlainEntries();
    const std::size_t before = registry.files().openCount();
    // Header fields at 24 (offset), 28 (count), 32 (stored size).
    const std::pair<int, std::uint32_t> patches[] = {{24, 0xFFFFFFF0u},
                                                     {24, static_cast<std::uint32_t>(good.size())},
                                                     {28, readLe32(good.data() + 28) + 1},
                                                     {28, 0x7FFFFFFFu},
                                                     {28, 0xFFFFFFFFu},
                                                     {32, 0xFFFFFFFFu},
                                                     {28, kMaxUnpackedSize / kRecordSize + 1}};
    for (const auto& [field, value] : patches) {
        std::vector<std::uint8_t> file = good;
        writeLe32(file.data() + field, value);
        dir.write("bad.heap", file);
        EXPECT_EQ(registry.openArchive("bad.heap"), nullptr) << field << " " << value;
        EXPECT_EQ(registry.files().openCount(), before);
    }
}

TEST_F(ArchiveTest, EntriesOutsideTheFileFailTheReaderButHugeSizesOnlyTheirLoad)
{
    std::vector<std::uint8_t> file = twoPlainEntries();
    // "first" claims more than the allowed size: refused, nothing else harmed.
    writeLe32(recordField(file, 0, 16), kMaxUnpackedSize + 1);
    writeLe32(recordField(file, 0, 36), kMaxUnpackedSize + 1);
    dir.write("huge.heap", file);
    Archive* huge = registry.openArchive("huge.heap");
    ASSERT_NE(huge, nullptr);
    std::uint32_t tag = 0;
    EXPECT_EQ(huge->loadEntry("first", &tag), nullptr);
    EXPECT_EQ(copyOf(huge->loadEntry("second", &tag), 8), bytesOf("ABCDEFGH"));

    // A stored stream that cannot fill the entry's size is not a load.
    std::vector<std::uint8_t> shortStream = test::archiveBytes(
        {{"a", "data", textOf(400), Storage::Method2}, {"b", "data", bytesOf("b")}}, "s.heap",
        Storage::Plain);
    writeLe32(recordField(shortStream, 0, 16), 401);
    dir.write("s.heap", shortStream);
    Archive* stream = registry.openArchive("s.heap");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->loadEntry("a", &tag), nullptr);
    EXPECT_NE(stream->loadEntry("b", &tag), nullptr);

    // An offset or stored size past the end counts as a short read: every later load fails.
    for (const int field : {8, 36}) {
        std::vector<std::uint8_t> outside = twoPlainEntries();
        writeLe32(recordField(outside, 0, field), field == 8 ? 0xFFFFFFF0u : 0x100000u);
        writeLe32(recordField(outside, 0, 16), field == 8 ? 16u : 0x100000u);
        const std::string name = "o" + std::to_string(field);
        dir.write(name, outside);
        Archive* archive = registry.openArchive(name);
        ASSERT_NE(archive, nullptr);
        const std::size_t open = registry.files().openCount();
        EXPECT_EQ(archive->loadEntry("first", &tag), nullptr);
        EXPECT_EQ(registry.files().openCount(), open - 1);
        EXPECT_EQ(archive->loadEntry("second", &tag), nullptr);
    }

    // The same through readEntry, as animation frames read their pieces.
    dir.write("p.heap", twoPlainEntries());
    Archive* pieces = registry.openArchive("p.heap");
    ASSERT_NE(pieces, nullptr);
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(pieces->readEntry(16, buffer, 8, 8), 8u);
    EXPECT_EQ(copyOf(buffer, 8), bytesOf("ABCDEFGH"));
    EXPECT_EQ(pieces->readEntry(0x7FFFFFF0u, buffer, 16, 4), 0u);
    EXPECT_EQ(pieces->readEntry(0, buffer, 16, 16), 0u);
}

TEST_F(ArchiveTest, ShortReadFailsTheReaderForGood)
{
    dir.write("r.bin", bytesOf("0123456789"));
    FileHandleCache files;
    ArchiveReader reader(dir.file("r.bin"), files);
    ASSERT_FALSE(reader.failed());
    EXPECT_EQ(files.openCount(), 1u);
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(reader.readAt(6, buffer, 4), 4u);
    EXPECT_EQ(reader.readAt(6, buffer, 8), 4u);  // runs past the end
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(files.openCount(), 0u);
    EXPECT_EQ(reader.readAt(0, buffer, 4), 0u);
    EXPECT_EQ(reader.readEntry(0, buffer, 4, 4), 0u);

    ArchiveReader missing(dir.file("absent"), files);
    EXPECT_TRUE(missing.failed());
    EXPECT_EQ(files.openCount(), 0u);
}

TEST_F(ArchiveTest, OverlongNamesAreCutNeverOverrun)
{
    std::vector<std::uint8_t> file = test::archiveBytes(
        {{"abcdefghijklmnopqrst", "gla0", bytesOf("cut")}, {"x", "gla0", bytesOf("x")}},
        "a-very-long-archive-name", Storage::Plain);
    // The header name and the second record's name fill their fields without a terminator.
    std::memset(file.data() + 8, 'H', kNameField);
    std::memset(recordField(file, 1, 20), 'N', kNameField);
    dir.write("long.heap", file);
    Archive* archive = registry.openArchive("long.heap");
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(std::string(archive->header().name), std::string(15, 'H'));
    EXPECT_EQ(std::string(archive->directory()[1].name), std::string(15, 'N'));

    std::uint32_t tag = 0;
    EXPECT_NE(archive->loadEntry("abcdefghijklmno", &tag), nullptr);
    EXPECT_NE(archive->loadEntry(std::string(15, 'N'), &tag), nullptr);
    // Names of 16 or more characters match nothing, cut or not.
    EXPECT_EQ(archive->findEntry("abcdefghijklmnop"), nullptr);
    EXPECT_EQ(archive->loadEntry("abcdefghijklmnopqrst", &tag), nullptr);
    EXPECT_EQ(archive->makeObject(std::string(16, 'N')), nullptr);
    EXPECT_FALSE(archive->unloadEntry("abcdefghijklmnopqrst"));

    ArchiveObject* object = archive->makeObject("abcdefghijklmno");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(std::string(object->archiveName()), std::string(15, 'H'));
    EXPECT_EQ(std::strlen(object->entryName()), 15u);
}

}  // namespace
}  // namespace wordlark::archive
