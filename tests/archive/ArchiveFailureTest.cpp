// What the archive says when it cannot be used: start-up prints these lines as they are.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"
#include "archive/Endian.h"
#include "archive/FileHandleCache.h"
#include "support/TestArchive.h"

namespace wordlark::archive {
namespace {

using heaptool::Storage;
using test::bytesOf;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A FIFO without a writer holds a plain open() for ever: the alarm ends such a test as a failure
// instead of leaving it hanging. Windows has neither such FIFOs nor alarms.
void setAlarm([[maybe_unused]] unsigned seconds)
{
#ifndef _WIN32
    ::alarm(seconds);
#endif
}

class ArchiveFailureTest : public ::testing::Test {
protected:
    void SetUp() override { setAlarm(10); }
    void TearDown() override { setAlarm(0); }

    FileHandleCache files;

    // Two plain entries, "pic" then "words", under a plain directory; the offset of record i
    // is moved past the end of the file when i is given.
    std::string writeDamaged(const std::string& name, int outside)
    {
        std::vector<std::uint8_t> file =
            test::archiveBytes({{"pic", "gla0", bytesOf("picture bytes"), Storage::Plain},
                                {"words", "wrds", bytesOf("WORDLARK"), Storage::Plain}},
                               name, Storage::Plain);
        if (outside >= 0) {
            writeLe32(file.data() + readLe32(file.data() + 24) + outside * kRecordSize + 8,
                      0x7FFFFF00u);
        }
        dir.write(name, file);
        return dir.file(name);
    }

    test::TempDir dir;
};

#ifndef _WIN32  // FIFOs, symbolic links and /dev are POSIX matters; Windows below
TEST_F(ArchiveFailureTest, OnlyRegularFilesAreOpenedAndTheOpenNeverWaits)
{
    test::writeArchive(dir, "real.heap", {{"e", "data", bytesOf("x")}});
    ASSERT_EQ(::mkfifo(dir.file("fifo.heap").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder.heap"));
    std::filesystem::create_symlink("real.heap", dir.file("link.heap"));
    const std::size_t before = files.openCount();

    const std::pair<std::string, const char*> refused[] = {{dir.file("fifo.heap"), "a FIFO"},
                                                           {dir.file("folder.heap"), "a folder"},
                                                           {"/dev/null", "a character device"}};
    for (const auto& [path, kind] : refused) {
        std::string reason;
        EXPECT_EQ(Archive::open(path, files, &reason), nullptr) << path;
        EXPECT_EQ(reason, path + " is not a regular file (it is " + kind + ")");
        EXPECT_EQ(files.openCount(), before);
    }
    ArchiveRegistry registry(dir.folder());
    std::string reason;
    EXPECT_EQ(registry.openArchive("fifo.heap", &reason), nullptr);
    EXPECT_TRUE(contains(reason, "fifo.heap is not a regular file")) << reason;
    EXPECT_NE(registry.openArchive("link.heap"), nullptr);
}
#else
TEST_F(ArchiveFailureTest, OnlyRegularFilesAreOpenedOnWindows)
{
    std::filesystem::create_directory(dir.file("folder.heap"));
    const std::pair<std::string, const char*> refused[] = {{dir.file("folder.heap"), "a folder"},
                                                           {"NUL", "a character device"}};
    for (const auto& [path, kind] : refused) {
        std::string reason;
        EXPECT_EQ(Archive::open(path, files, &reason), nullptr) << path;
        EXPECT_EQ(reason, path + " is not a regular file (it is " + kind + ")");
        EXPECT_EQ(files.openCount(), 0u);
    }
}
#endif

TEST_F(ArchiveFailureTest, AFailedOpenSaysWhichPartOfTheArchiveIsWrong)
{
    const std::vector<std::uint8_t> good =
        test::archiveBytes({{"e", "data", bytesOf("entry")}}, "t.heap", Storage::Plain);
    std::vector<std::uint8_t> directoryOutside = good;
    writeLe32(directoryOutside.data() + 24, 0xFFFFFFF0u);
    const std::pair<std::vector<std::uint8_t>, const char*> cases[] = {
        {{good.begin(), good.begin() + 39}, "the header of "},
        {directoryOutside, "the directory of "}};
    for (const auto& [bytes, part] : cases) {
        dir.write("t.heap", bytes);
        std::string reason;
        EXPECT_EQ(Archive::open(dir.file("t.heap"), files, &reason), nullptr);
        EXPECT_EQ(reason.rfind(part + dir.file("t.heap") + " is damaged: ", 0), 0u) << reason;
    }
    std::string reason;
    EXPECT_EQ(Archive::open(dir.file("absent.heap"), files, &reason), nullptr);
    EXPECT_EQ(reason, "cannot open " + dir.file("absent.heap") + ": No such file or directory");
}

TEST_F(ArchiveFailureTest, LoadsAfterADamagedEntryStoppedTheReaderNameThatEntry)
{
    auto archive = Archive::open(writeDamaged("a.heap", 0), files);
    ASSERT_NE(archive, nullptr);
    std::uint32_t tag = 0;
    std::string picture;
    EXPECT_EQ(archive->loadEntry("pic", &tag, &picture), nullptr);
    EXPECT_EQ(picture, "entry 'pic' of " + dir.file("a.heap") +
                           " is damaged: its stored bytes lie outside the file");
    // The words themselves are sound, but the reader has stopped because of the picture.
    std::string words;
    EXPECT_EQ(archive->loadEntry("words", &tag, &words), nullptr);
    EXPECT_EQ(words, picture);
    EXPECT_EQ(archive->firstFailure(), picture);

    // The words' own damage names the words; a missing entry says nothing.
    archive = Archive::open(writeDamaged("b.heap", 1), files);
    ASSERT_NE(archive, nullptr);
    std::string missing;
    EXPECT_EQ(archive->loadEntry("absent", &tag, &missing), nullptr);
    EXPECT_EQ(missing, "");
    EXPECT_NE(archive->loadEntry("pic", &tag, &picture), nullptr);
    EXPECT_EQ(archive->loadEntry("words", &tag, &words), nullptr);
    EXPECT_TRUE(contains(words, "entry 'words' of ")) << words;

    // A piece (an animation's frame) outside the file names the entry it was read for.
    archive = Archive::open(writeDamaged("c.heap", -1), files);
    ASSERT_NE(archive, nullptr);
    std::uint8_t frame[8] = {};
    EXPECT_EQ(archive->readEntry(0x7FFFFF00u, frame, 8, 8, "anim"), 0u);
    EXPECT_EQ(archive->loadEntry("words", &tag, &words), nullptr);
    EXPECT_TRUE(contains(words, "a piece of entry 'anim' of ")) << words;
}

TEST_F(ArchiveFailureTest, AnEntryThatDoesNotUnpackFailsAloneAndSaysSo)
{
    std::vector<std::uint8_t> file =
        test::archiveBytes({{"a", "data", std::vector<std::uint8_t>(400, 'a'), Storage::Method2},
                            {"b", "data", bytesOf("b"), Storage::Plain}},
                           "s.heap", Storage::Plain);
    // The stream announces 400 bytes; the record asks for one more.
    writeLe32(file.data() + readLe32(file.data() + 24) + 16, 401);
    dir.write("s.heap", file);
    auto archive = Archive::open(dir.file("s.heap"), files);
    ASSERT_NE(archive, nullptr);
    std::uint32_t tag = 0;
    std::string reason;
    EXPECT_EQ(archive->loadEntry("a", &tag, &reason), nullptr);
    EXPECT_TRUE(contains(reason, "entry 'a' of ")) << reason;
    EXPECT_TRUE(contains(reason, "do not unpack")) << reason;
    EXPECT_NE(archive->loadEntry("b", &tag, &reason), nullptr);
}

}  // namespace
}  // namespace wordlark::archive
