#include "game/SaveProblems.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace wordlark::game {
namespace {

TEST(SaveProblems, EachReasonIsToldOnceAndTheFirstStaysOnScreenUntilCleared)
{
    // A file rather than a memory stream, which Windows lacks.
    test::TempDir dir;
    std::FILE* errors = std::fopen(dir.file("errors").c_str(), "wb");
    ASSERT_NE(errors, nullptr);
    SaveProblems problems(errors);
    EXPECT_TRUE(problems.notice().empty());
    problems.report("the record of Anna", "cannot write in /x/save: Permission denied");
    problems.report("the record of Anna", "cannot write in /x/save: Permission denied");
    problems.report("the word GNU", "cannot open /x/save/Anna.dic: No space left on device");
    // The screen shows the first, in the system's own words without the paths, until the
    // next deal; later failures do not come back to it.
    EXPECT_EQ(problems.notice(), "Could not save the record of Anna: Permission denied");
    problems.clearNotice();
    problems.report("the record of Bo", "cannot write: Read-only file system");
    EXPECT_TRUE(problems.notice().empty());
    // Trouble with a record that is no failed save shows at once, and is written once.
    problems.tell("cannot read Lark's record: Permission denied");
    problems.tell("cannot read Lark's record: Permission denied");
    EXPECT_EQ(problems.notice(), "cannot read Lark's record: Permission denied");
    std::fclose(errors);
    const std::vector<std::uint8_t> written = dir.read("errors");
    EXPECT_EQ(std::string(written.begin(), written.end()),
              "wordlark: cannot save the record of Anna: cannot write in /x/save: Permission "
              "denied\nwordlark: cannot save the word GNU: cannot open /x/save/Anna.dic: No "
              "space left on device\nwordlark: cannot save the record of Bo: cannot write: "
              "Read-only file system\nwordlark: cannot read Lark's record: Permission denied\n");
}

}  // namespace
}  // namespace wordlark::game
