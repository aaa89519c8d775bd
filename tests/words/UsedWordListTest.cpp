#include <gtest/gtest.h>

#include <string>

#include "words/UsedWordList.h"

namespace wordlark::words {
namespace {

TEST(UsedWordList, ComparesWholeWordsByteForByteUntilCleared)
{
    UsedWordList used;
    EXPECT_FALSE(used.contains("CAT"));
    EXPECT_FALSE(used.contains(""));
    std::string word = "CAT";
    used.add(word);
    word[0] = 'B';  // the list keeps its own copy
    used.add("");   // an empty computer answer is played too
    EXPECT_TRUE(used.contains("CAT"));
    EXPECT_TRUE(used.contains(""));
    for (const char* other : {"BAT", "cat", "CA", "CATS", "CAT "}) {
        EXPECT_FALSE(used.contains(other)) << other;
    }
    EXPECT_FALSE(used.contains(std::string("CAT\0", 4)));
    used.clear();
    EXPECT_FALSE(used.contains("CAT"));
    EXPECT_FALSE(used.contains(""));
}

}  // namespace
}  // namespace wordlark::words
