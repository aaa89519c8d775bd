// The tool's outputs: whole or not at all, never over an input, pipes and devices written as
// they are.
#include "heaptool/OutputFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace wordlark::heaptool {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t entriesIn(const std::string& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

class OutputFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(OutputFileTest, AWriteThatFailsLeavesTheOldFileAndNoTemporaryOne)
{
    dir.writeText("out", "the old archive");
    ::chmod(dir.file("out").c_str(), 0640);
    // A file-size limit of one block, with its signal ignored as the tool does.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string reason;
    const bool written =
        OutputFile(dir.file("out")).write(std::vector<std::uint8_t>(4096, 'x'), &reason);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(reason, "cannot write " + dir.file("out") + ": File too large");
    EXPECT_EQ(contents(dir.file("out")), "the old archive");
    EXPECT_EQ(entriesIn(dir.folder()), 1u);

    // A whole write replaces the file and keeps its permissions.
    ASSERT_TRUE(OutputFile(dir.file("out")).write(bytesOf("new"), &reason)) << reason;
    EXPECT_EQ(contents(dir.file("out")), "new");
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("out").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesIn(dir.folder()), 1u);
}

TEST_F(OutputFileTest, AnOutputThatIsAnInputIsRefused)
{
    dir.writeText("in", "input");
    std::filesystem::create_symlink("in", dir.file("link"));
    std::filesystem::create_hard_link(dir.file("in"), dir.file("hard"));
    dir.writeText("other", "other");
    std::string reason;
    for (const char* out : {"in", "link", "hard"}) {
        EXPECT_FALSE(OutputFile(dir.file(out)).differsFrom(dir.file("in"), &reason)) << out;
        EXPECT_EQ(reason,
                  "will not write " + dir.file(out) + ": it is the input " + dir.file("in"));
    }
    EXPECT_TRUE(OutputFile(dir.file("other")).differsFrom(dir.file("in"), &reason));
    EXPECT_TRUE(OutputFile(dir.file("new")).differsFrom(dir.file("in"), &reason));
    EXPECT_EQ(contents(dir.file("in")), "input");
}

TEST_F(OutputFileTest, ALinkKeepsPointingAtTheReplacedFile)
{
    dir.writeText("target", "old");
    std::filesystem::create_symlink("target", dir.file("link"));
    std::string reason;
    ASSERT_TRUE(OutputFile(dir.file("link")).write(bytesOf("new"), &reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
    EXPECT_EQ(contents(dir.file("target")), "new");
}

TEST_F(OutputFileTest, PipesAndDevicesAreWrittenDirectly)
{
    std::string reason;
    EXPECT_TRUE(OutputFile("/dev/null").write(bytesOf("gone"), &reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_TRUE(
        OutputFile("/dev/null")
            .writeWith([](const std::string& path, std::string*) { return path == "/dev/null"; },
                       &reason));
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_FALSE(OutputFile(dir.file("folder")).write(bytesOf("x"), &reason));
    EXPECT_EQ(reason, "cannot write " + dir.file("folder") + ": Is a directory");
}

TEST_F(OutputFileTest, AWriterThatFailsThroughItsPathLeavesNothingBehind)
{
    dir.writeText("picture.png", "old picture");
    std::string reason;
    std::string given;
    EXPECT_FALSE(OutputFile(dir.file("picture.png"))
                     .writeWith(
                         [&given](const std::string& path, std::string*) {
                             given = path;
                             std::ofstream(path) << "half";
                             return false;
                         },
                         &reason));
    EXPECT_EQ(reason, "cannot write " + dir.file("picture.png"));
    EXPECT_EQ(std::filesystem::path(given).parent_path().string() + "/", dir.folder());
    EXPECT_EQ(contents(dir.file("picture.png")), "old picture");
    EXPECT_EQ(entriesIn(dir.folder()), 1u);
}

}  // namespace
}  // namespace wordlark::heaptool
