#include <gtest/gtest.h>

#include "platform/Messages.h"
#include "platform/sdl/SdlInput.h"

namespace wordlark::platform::sdl {
namespace {

TEST(SdlInput, EveryKeyOfTheGameBecomesItsVirtualKey)
{
    EXPECT_EQ(virtualKey(SDLK_F1), VK_F1);
    EXPECT_EQ(virtualKey(SDLK_F2), VK_F2);
    EXPECT_EQ(virtualKey(SDLK_F10), VK_F10);
    EXPECT_EQ(virtualKey(SDLK_F12), VK_F12);
    EXPECT_EQ(virtualKey(SDLK_PAGEUP), VK_PRIOR);
    EXPECT_EQ(virtualKey(SDLK_PAGEDOWN), VK_NEXT);
    EXPECT_EQ(virtualKey(SDLK_HOME), VK_HOME);
    EXPECT_EQ(virtualKey(SDLK_END), VK_END);
    EXPECT_EQ(virtualKey(SDLK_TAB), VK_TAB);
    EXPECT_EQ(virtualKey(SDLK_SPACE), VK_SPACE);
    EXPECT_EQ(virtualKey(SDLK_7), WParam{'7'});
    EXPECT_EQ(virtualKey(SDLK_q), WParam{'Q'});
    EXPECT_FALSE(virtualKey(SDLK_F13).has_value());
    EXPECT_FALSE(virtualKey(SDLK_CAPSLOCK).has_value());
}

TEST(SdlInput, ShiftAndAltTravelWithTheKey)
{
    SDL_KeyboardEvent event{};
    event.keysym.sym = SDLK_TAB;
    EXPECT_EQ(keyFlags(event), 1);
    event.keysym.mod = KMOD_RSHIFT;
    EXPECT_EQ(keyFlags(event), 1 | kKeyShiftHeld);
    event.keysym.mod = KMOD_LALT | KMOD_CAPS;
    event.repeat = 1;
    EXPECT_EQ(keyFlags(event), 0x40000001 | kKeyAltHeld);
}

}  // namespace
}  // namespace wordlark::platform::sdl
