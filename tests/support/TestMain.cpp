// TestMain.cpp -- the one main of every test program: the backends first, then the tests.
#include <gtest/gtest.h>

#include "support/TestBackends.h"
#if WORDLARK_TEST_FREETYPE
#include "platform/freetype/FreeTypeText.h"
#else
#include "platform/headless/HeadlessText.h"
#endif

namespace {

// Suites that look at glyphs draw them with FreeType; the others measure text without a font,
// and link neither FreeType nor fontconfig.
wordlark::platform::TextRenderer& testText()
{
#if WORDLARK_TEST_FREETYPE
    static wordlark::platform::freetype::FreeTypeText text;
    return text;
#else
    static wordlark::platform::headless::HeadlessText text;
    return text;
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wordlark::test::installTestBackends(testText());
    return RUN_ALL_TESTS();
}
