#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heaptool/WordList.h"

namespace wordlark::heaptool {
namespace {

const std::string kDealLengths = "ABC\nABCD\nABCDE\nABCDEF\nABCDEFG\n";

TEST(WordList, MakesNulPaddedRecordsInFileOrder)
{
    std::vector<std::uint8_t> records{1, 2, 3};  // replaced, not appended to
    std::string error;
    const std::string text = "\r\nZOO\r\n\n  \nA\n" + kDealLengths + "ABCDEFGHIJKLMNO";
    ASSERT_TRUE(wordRecordsFromText(text, &records, &error)) << error;
    ASSERT_EQ(records.size(), 8u * 16);
    const auto word = [&](std::size_t i) {
        return std::string(reinterpret_cast<const char*>(&records[i * 16]), 16);
    };
    EXPECT_EQ(word(0), std::string("ZOO") + std::string(13, '\0'));
    EXPECT_EQ(word(1), std::string("A") + std::string(15, '\0'));
    EXPECT_EQ(word(7), std::string("ABCDEFGHIJKLMNO") + '\0');
}

TEST(WordList, RefusesBadWordsNamingTheLine)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {kDealLengths + "\nabc\n", "line 7:"},
        {"DOG\n" + kDealLengths + "CAN'T\n", "line 7:"},
        {"D G\n" + kDealLengths, "line 1:"},
        {" DOG\n" + kDealLengths, "line 1:"},
        {kDealLengths + "CAF\xC9\n", "line 6:"},
        {kDealLengths + std::string("AB\0C\n", 5), "line 6:"},
        {kDealLengths + "ABCDEFGHIJKLMNOP", "line 6:"},
        {kDealLengths + "AB\rC\n", "line 6:"},
    };
    for (const auto& [text, where] : cases) {
        std::vector<std::uint8_t> records;
        std::string error;
        EXPECT_FALSE(wordRecordsFromText(text, &records, &error)) << text;
        EXPECT_EQ(error.rfind(where, 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_TRUE(records.empty());
    }
}

TEST(WordList, RefusesAListWithoutEveryDealLength)
{
    std::vector<std::uint8_t> records;
    std::string error;
    EXPECT_FALSE(wordRecordsFromText("", &records, &error));
    EXPECT_NE(error.find("3 letters"), std::string::npos) << error;
    EXPECT_FALSE(wordRecordsFromText("ABC\nABCD\nABCDEF\nABCDEFG\nABCDEFGH\n", &records, &error));
    EXPECT_NE(error.find("5 letters"), std::string::npos) << error;
    EXPECT_TRUE(records.empty());
}

}  // namespace
}  // namespace wordlark::heaptool
