// Messages.h -- the game's input vocabulary: window message numbers, keys and packing.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The game's rules were written in the Win32 message numbers, so they stay its own words
// for input; nothing else of Win32 does. The names keep their historical spelling so the
// rules read the same here as they were designed.
namespace wordlark::platform {

using MessageId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// One message as the queue holds it.
struct Message {
    WindowId window = kNoWindow;
    MessageId message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

// Window messages.
inline constexpr MessageId WM_NULL = 0x0000;
inline constexpr MessageId WM_CREATE = 0x0001;
inline constexpr MessageId WM_DESTROY = 0x0002;
inline constexpr MessageId WM_MOVE = 0x0003;
inline constexpr MessageId WM_SETFOCUS = 0x0007;
inline constexpr MessageId WM_KILLFOCUS = 0x0008;
inline constexpr MessageId WM_PAINT = 0x000F;
inline constexpr MessageId WM_CLOSE = 0x0010;
inline constexpr MessageId WM_QUIT = 0x0012;
inline constexpr MessageId WM_ERASEBKGND = 0x0014;
inline constexpr MessageId WM_ACTIVATEAPP = 0x001C;
inline constexpr MessageId WM_SETCURSOR = 0x0020;
inline constexpr MessageId WM_DISPLAYCHANGE = 0x007E;
inline constexpr MessageId WM_NCHITTEST = 0x0084;
inline constexpr MessageId WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr MessageId WM_NCLBUTTONUP = 0x00A2;
inline constexpr MessageId WM_KEYDOWN = 0x0100;
inline constexpr MessageId WM_KEYUP = 0x0101;
inline constexpr MessageId WM_CHAR = 0x0102;
// A key pressed with Alt held (Alt+Enter), or F10, and the character it types.
inline constexpr MessageId WM_SYSCHAR = 0x0106;
inline constexpr MessageId WM_SYSCOMMAND = 0x0112;
inline constexpr MessageId WM_TIMER = 0x0113;
inline constexpr MessageId WM_INITMENUPOPUP = 0x0117;
inline constexpr MessageId WM_ENTERIDLE = 0x0121;
inline constexpr MessageId WM_MOUSEMOVE = 0x0200;
inline constexpr MessageId WM_LBUTTONDOWN = 0x0201;
inline constexpr MessageId WM_LBUTTONUP = 0x0202;
inline constexpr MessageId WM_LBUTTONDBLCLK = 0x0203;
inline constexpr MessageId WM_RBUTTONDOWN = 0x0204;
inline constexpr MessageId WM_RBUTTONUP = 0x0205;
// The wheel turned: the high word of wParam is the signed turn, 120 a notch away from the
// player. It goes to the window with the focus; the pointer's last place says what is under it.
inline constexpr MessageId WM_MOUSEWHEEL = 0x020A;
inline constexpr MessageId WM_USER = 0x0400;
// A button of a panel was pressed: wParam is the button's command number.
inline constexpr MessageId WM_BUTTON_COMMAND = WM_USER + 1;

// Hit-test codes (the answer to WM_NCHITTEST, the wParam of WM_NCLBUTTONDOWN/UP and the low
// word of WM_SETCURSOR's lParam).
inline constexpr LResult HTNOWHERE = 0;
inline constexpr LResult HTCLIENT = 1;
inline constexpr LResult HTCAPTION = 2;
inline constexpr LResult HTMENU = 5;

// Window-menu commands (WM_SYSCOMMAND's wParam, menu items by command).
inline constexpr std::uint32_t SC_SIZE = 0xF000;
inline constexpr std::uint32_t SC_MOVE = 0xF010;
inline constexpr std::uint32_t SC_MINIMIZE = 0xF020;
inline constexpr std::uint32_t SC_MAXIMIZE = 0xF030;
inline constexpr std::uint32_t SC_CLOSE = 0xF060;
inline constexpr std::uint32_t SC_RESTORE = 0xF120;

// WM_ENTERIDLE's wParam while a menu is open.
inline constexpr WParam MSGF_MENU = 2;

// Mouse-button state bits in the wParam of mouse messages.
inline constexpr WParam MK_LBUTTON = 0x0001;
inline constexpr WParam MK_RBUTTON = 0x0002;

// Virtual-key codes (WM_KEYDOWN's wParam). Letters and digits are their upper-case ASCII codes.
inline constexpr WParam VK_BACK = 0x08;
inline constexpr WParam VK_TAB = 0x09;
inline constexpr WParam VK_RETURN = 0x0D;
inline constexpr WParam VK_SHIFT = 0x10;
inline constexpr WParam VK_CONTROL = 0x11;
inline constexpr WParam VK_MENU = 0x12;
inline constexpr WParam VK_ESCAPE = 0x1B;
inline constexpr WParam VK_SPACE = 0x20;
inline constexpr WParam VK_PRIOR = 0x21;
inline constexpr WParam VK_NEXT = 0x22;
inline constexpr WParam VK_END = 0x23;
inline constexpr WParam VK_HOME = 0x24;
inline constexpr WParam VK_LEFT = 0x25;
inline constexpr WParam VK_UP = 0x26;
inline constexpr WParam VK_RIGHT = 0x27;
inline constexpr WParam VK_DOWN = 0x28;
inline constexpr WParam VK_DELETE = 0x2E;
inline constexpr WParam VK_F1 = 0x70;
inline constexpr WParam VK_F2 = 0x71;
inline constexpr WParam VK_F3 = 0x72;
inline constexpr WParam VK_F4 = 0x73;
inline constexpr WParam VK_F5 = 0x74;
inline constexpr WParam VK_F6 = 0x75;
inline constexpr WParam VK_F7 = 0x76;
inline constexpr WParam VK_F8 = 0x77;
inline constexpr WParam VK_F9 = 0x78;
inline constexpr WParam VK_F10 = 0x79;
inline constexpr WParam VK_F11 = 0x7A;
inline constexpr WParam VK_F12 = 0x7B;

// What was held with a key, in WM_KEYDOWN's lParam. Alt is the system's own context bit; Shift
// rides in a bit the system leaves reserved, so every backend tells it with the key itself
// rather than through a query that could be answered after the key was let go.
inline constexpr LParam kKeyShiftHeld = LParam{1} << 25;
inline constexpr LParam kKeyAltHeld = LParam{1} << 29;
// The key was already down (a repeat of a held key).
inline constexpr LParam kKeyWasDown = LParam{1} << 30;

// The low and high 16-bit words of a parameter, unsigned.
constexpr std::uint16_t loWord(std::uintptr_t value)
{
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
constexpr std::uint16_t hiWord(std::uintptr_t value)
{
    return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}

// A turn of the wheel: one notch away from the player is +kWheelNotch.
inline constexpr std::int32_t kWheelNotch = 120;

// WM_MOUSEWHEEL's wParam for a turn of `notches` (negative: towards the player).
constexpr WParam makeWheelWParam(std::int32_t notches)
{
    const auto turn = static_cast<std::uint16_t>(static_cast<std::int16_t>(notches * kWheelNotch));
    return static_cast<WParam>(turn) << 16;
}

// A point packed as mouse messages carry it: x in the low word, y in the high word.
constexpr LParam makeLParam(std::int32_t x, std::int32_t y)
{
    const std::uint32_t packed = (static_cast<std::uint32_t>(static_cast<std::uint16_t>(x))) |
                                 (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16);
    return static_cast<LParam>(packed);
}

// The coordinates of a packed point, as signed 16-bit values (a point left of or above the
// window's corner is negative).
constexpr std::int32_t pointX(LParam lParam)
{
    return static_cast<std::int16_t>(loWord(static_cast<std::uintptr_t>(lParam)));
}
constexpr std::int32_t pointY(LParam lParam)
{
    return static_cast<std::int16_t>(hiWord(static_cast<std::uintptr_t>(lParam)));
}

}  // namespace wordlark::platform
