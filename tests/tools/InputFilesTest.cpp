// The tool's inputs that are not regular files: refused at once, one line naming the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "heaptool/FileBuffer.h"
#include "heaptool/Manifest.h"
#include "support/TempDir.h"

namespace wordlark::heaptool {
namespace {

// A FIFO without a writer holds a plain open() for ever: the alarm ends the test as a failure
// instead of leaving it hanging.
class InputFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::alarm(10);
        ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
        std::filesystem::create_directory(dir.file("folder"));
        dir.writeText("words.txt", "CAT\nDOGS\nHORSE\nANIMAL\nGIRAFFE\n");
    }
    void TearDown() override { ::alarm(0); }

    test::TempDir dir;
};

TEST_F(InputFilesTest, TheManifestAndEverySourceItNamesMustBeRegularFiles)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "fifo is not a regular file (it is a FIFO)"},
        {"raw r data fifo\n", "fifo is not a regular file (it is a FIFO)"},
        {"words w2 wrds folder\n", "folder is not a regular file (it is a folder)"},
        {"gla0 p gla0 fifo\n", "fifo is not a regular file (it is a FIFO)"},
        {"ani0 a ani0 folder,fifo\n", "folder is not a regular file (it is a folder)"},
    };
    for (const auto& [lines, reason] : cases) {
        // The first case is the FIFO given as the manifest itself.
        dir.writeText("manifest.txt", "words w wrds words.txt\n" + lines);
        const std::string manifest = dir.file(lines.empty() ? "fifo" : "manifest.txt");
        std::string error;
        EXPECT_FALSE(Manifest::buildArchive(manifest, dir.file("t.heap"), &error)) << lines;
        EXPECT_NE(error.find(dir.file(reason)), std::string::npos) << lines << " -> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    // A link to a regular file is as good as the file.
    std::filesystem::create_symlink("words.txt", dir.file("link.txt"));
    dir.writeText("manifest.txt", "words w wrds link.txt\n");
    std::string error;
    EXPECT_TRUE(Manifest::buildArchive(dir.file("manifest.txt"), dir.file("t.heap"), &error))
        << error;
}

TEST_F(InputFilesTest, AFileBufferReadsOnlyRegularFiles)
{
    FileBuffer buffer;
    std::string reason;
    EXPECT_FALSE(buffer.readFrom(dir.file("fifo"), &reason));
    EXPECT_EQ(reason, dir.file("fifo") + " is not a regular file (it is a FIFO)");
    EXPECT_FALSE(buffer.readFrom(dir.file("absent"), &reason));
    EXPECT_EQ(reason, "cannot open " + dir.file("absent") + ": No such file or directory");
    ASSERT_TRUE(buffer.readFrom(dir.file("words.txt"), &reason)) << reason;
    EXPECT_EQ(buffer.size(), 30u);
}

TEST_F(InputFilesTest, InputsAboveTheirLimitAreRefusedFromTheirSizeAlone)
{
    // Sparse: gigabytes that cost nothing to make and would take minutes and as much memory to
    // read; the refusal must come from the size.
    std::filesystem::resize_file(dir.file("words.txt"), 5ull << 30);
    FileBuffer buffer;
    std::string reason;
    EXPECT_FALSE(buffer.readFrom(dir.file("words.txt"), &reason, 1u << 30));
    EXPECT_EQ(reason, dir.file("words.txt") + " has 5368709120 bytes, more than the 1073741824 " +
                          "heaptool reads from it");
    EXPECT_EQ(buffer.size(), 0u);
    for (const char* line :
         {"words w wrds words.txt\n", "raw r data words.txt\n", "gla0 p gla0 words.txt\n"}) {
        dir.writeText("manifest.txt", line);
        std::string error;
        EXPECT_FALSE(Manifest::buildArchive(dir.file("manifest.txt"), dir.file("t.heap"), &error));
        EXPECT_NE(error.find(dir.file("words.txt") + " has 5368709120 bytes, more than the"),
                  std::string::npos)
            << line << " -> " << error;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("t.heap")));
}

TEST_F(InputFilesTest, TheManifestRefusesNamesTheArchiveCouldNotTellApart)
{
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"words w wrds words.txt\nraw w data words.txt\n",
         "line 2: entry name 'w' is already used on line 1"},
        {"raw a\0b data words.txt\n"s, "line 1: entry name holds a NUL byte"},
        {"raw checksums data words.txt\n", "line 1: the entry name 'checksums' is kept"},
        // Named for what it is, though its source is missing too.
        {"picture p gla0 absent.png\n", "line 1: unknown kind 'picture'"},
    };
    for (const auto& [text, reason] : cases) {
        Manifest manifest;
        std::string error;
        EXPECT_FALSE(Manifest::parse(text, &manifest, &error)) << text;
        EXPECT_EQ(error.rfind(reason, 0), 0u) << text << " -> " << error;
    }
    // Names differing only in case are different entries.
    Manifest manifest;
    std::string error;
    EXPECT_TRUE(Manifest::parse("raw a data x\nraw A data x\n", &manifest, &error)) << error;
}

}  // namespace
}  // namespace wordlark::heaptool
