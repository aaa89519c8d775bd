#include <gtest/gtest.h>

#include "platform/Messages.h"
#include "platform/web/WebInput.h"

namespace wordlark::platform::web {
namespace {

// The page names keys as the player's layout means them; the game gets the same virtual keys
// and characters a desktop gives it.
TEST(WebInput, KeysBecomeTheDesktopsVirtualKeys)
{
    EXPECT_EQ(virtualKey("q", "KeyQ"), WParam{'Q'});
    EXPECT_EQ(virtualKey("Q", "KeyQ"), WParam{'Q'});
    EXPECT_EQ(virtualKey("7", "Digit7"), WParam{'7'});
    // Shift+7 types "&" (or "/" in another layout) but is still the 7 key; so is the keypad's.
    EXPECT_EQ(virtualKey("&", "Digit7"), WParam{'7'});
    EXPECT_EQ(virtualKey("7", "Numpad7"), WParam{'7'});
    EXPECT_EQ(virtualKey("Enter", "NumpadEnter"), VK_RETURN);
    EXPECT_EQ(virtualKey("F1", "F1"), VK_F1);
    EXPECT_EQ(virtualKey("F12", "F12"), VK_F12);
    EXPECT_EQ(virtualKey(" ", "Space"), VK_SPACE);
    EXPECT_EQ(virtualKey("ArrowUp", "ArrowUp"), VK_UP);
    EXPECT_EQ(virtualKey("PageDown", "PageDown"), VK_NEXT);
    EXPECT_EQ(virtualKey("Tab", "Tab"), VK_TAB);
    for (const char* unknown : {"F13", "F0", "Fx", "CapsLock", "é", "", "Dead"}) {
        EXPECT_FALSE(virtualKey(unknown, "").has_value()) << unknown;
    }
    EXPECT_FALSE(virtualKey("Unidentified", "Digit").has_value());
    EXPECT_EQ(keyFlags(false, false, false), 1);
    EXPECT_EQ(keyFlags(true, true, true), kKeyWasDown | kKeyShiftHeld | kKeyAltHeld | 1);
}

TEST(WebInput, OnlyTypedCharactersBecomeText)
{
    EXPECT_EQ(typedText("a", false), "a");
    EXPECT_EQ(typedText("?", false), "?");
    // Windows-1252 holds é and the euro sign; it has no Cyrillic, and a named key is no text.
    EXPECT_EQ(typedText("\xC3\xA9", false), "\xE9");
    EXPECT_EQ(typedText("\xE2\x82\xAC", false), "\x80");
    EXPECT_EQ(typedText("\xD0\x96", false), "");
    EXPECT_EQ(typedText("Enter", false), "");
    EXPECT_EQ(typedText("F1", false), "");
    // The browser's own shortcuts type nothing into the game.
    EXPECT_EQ(typedText("c", true), "");
    // A malformed or clipped character is dropped.
    EXPECT_EQ(typedText("\xC3", false), "");
    EXPECT_EQ(typedText("\xE2\x82", false), "");
}

TEST(WebInput, TheShownCanvasMapsBackToTheFrame)
{
    // Shown twice as large: every frame pixel is two CSS pixels wide.
    EXPECT_EQ(toFrame(0, 0, 1280, 960).x, 0);
    EXPECT_EQ(toFrame(1279.5, 959.5, 1280, 960).x, 639);
    EXPECT_EQ(toFrame(1279.5, 959.5, 1280, 960).y, 479);
    EXPECT_EQ(toFrame(3, 5, 1280, 960).x, 1);
    EXPECT_EQ(toFrame(3, 5, 1280, 960).y, 2);
    // Outside the canvas is outside the frame, on the same side.
    EXPECT_EQ(toFrame(-1, 2000, 640, 480).x, -1);
    EXPECT_EQ(toFrame(-1, 2000, 640, 480).y, 2000);
    // A canvas not shown yet has no size: the point is taken as it is.
    EXPECT_EQ(toFrame(10, 20, 0, 0).x, 10);
}

}  // namespace
}  // namespace wordlark::platform::web
