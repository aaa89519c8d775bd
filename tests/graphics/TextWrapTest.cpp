#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/TextWrap.h"

namespace wordlark::graphics {
namespace {

// One pixel a byte, so widths are lengths.
std::int32_t bytes(std::string_view text)
{
    return static_cast<std::int32_t>(text.size());
}

TEST(TextWrap, BreaksAtSpacesAndCutsWithAnEllipsisWhereTheLinesEnd)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(wrapText("  one two three", 7, 3, bytes), (Lines{"one two", "three"}));
    EXPECT_EQ(wrapText("one two three four", 9, 2, bytes),
              (Lines{"one two", std::string("three") + kEllipsis}));
    // A word wider than a line is broken; the ellipsis always fits.
    EXPECT_EQ(wrapText("abcdefghij", 4, 2, bytes), (Lines{"abcd", std::string("efg") + kEllipsis}));
    EXPECT_EQ(wrapText("noun: a; b", 6, 1, bytes), (Lines{std::string("noun:") + kEllipsis}));
    EXPECT_TRUE(wrapText("", 10, 2, bytes).empty());
    EXPECT_TRUE(wrapText("text", 10, 0, bytes).empty());
    for (const std::string& line : wrapText("a much longer text of many words", 1, 3, bytes)) {
        EXPECT_LE(line.size(), 2u);  // a letter and the ellipsis at the narrowest
    }
}

}  // namespace
}  // namespace wordlark::graphics
