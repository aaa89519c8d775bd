#include "platform/FolderLock.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace wordlark::platform {
namespace {

TEST(FolderLockTest, OnlyAHolderWithNoOtherIsAloneAndTheLockOutlivesNoHolder)
{
    test::TempDir dir;
    const std::string path = dir.file(".lock");
    int alone = 0;
    const auto count = [&alone] { ++alone; };
    {
        FolderLock first;
        ASSERT_TRUE(first.acquire(path, count));
        EXPECT_EQ(alone, 1);
        // A second copy while the first runs holds the lock too, but is never alone.
        FolderLock second;
        EXPECT_TRUE(second.acquire(path, count));
        EXPECT_TRUE(second.held());
        EXPECT_EQ(alone, 1);
        FolderLock third;
        EXPECT_TRUE(third.acquire(path, count));
        EXPECT_EQ(alone, 1);
    }
    // Every holder gone: the next one is alone again, on the same file, its owner's alone.
    FolderLock next;
    EXPECT_TRUE(next.acquire(path, count));
    EXPECT_EQ(alone, 2);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Taking it again lets go of the old hold first: it is still this holder's alone.
    EXPECT_TRUE(next.acquire(path, count));
    EXPECT_EQ(alone, 3);
}

TEST(FolderLockTest, RefusesWhatIsNotARegularFileWithoutWaitingOrWritingThroughALink)
{
    test::TempDir dir;
    dir.writeText("victim", "someone else's");
    std::filesystem::create_symlink(dir.file("victim"), dir.file("link"));
    std::filesystem::create_symlink(dir.file("nothing"), dir.file("dangling"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder"));
    int alone = 0;
    for (const char* name : {"link", "dangling", "fifo", "folder"}) {
        FolderLock lock;
        EXPECT_FALSE(lock.acquire(dir.file(name), [&alone] { ++alone; })) << name;
        EXPECT_FALSE(lock.held()) << name;
    }
    EXPECT_EQ(alone, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("nothing")));
    const std::vector<std::uint8_t> victim = dir.read("victim");
    EXPECT_EQ(std::string(victim.begin(), victim.end()), "someone else's");
}

}  // namespace
}  // namespace wordlark::platform
