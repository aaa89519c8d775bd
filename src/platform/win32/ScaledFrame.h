// ScaledFrame.h -- where the game's 640 x 480 frame is shown in a window that enlarges it or
// fills the screen: shared by the desktop, which maps the pointer, and the video, which draws.
#pragma once

#include <optional>

#include "platform/DisplayMode.h"

struct HWND__;

namespace wordlark::platform::win32 {

// Marks the window as showing the frame enlarged (smooth: stretched with filtering), or as
// showing it pixel for pixel again. A marked window must be unmarked before it is destroyed.
void markScaledFrame(HWND__* window, bool smooth);
void unmarkScaledFrame(HWND__* window);

// Where the frame is in a marked window's client area, from the area's size; nothing for a
// window that shows its frame pixel for pixel.
std::optional<FramePlacement> scaledFramePlacement(HWND__* window);

}  // namespace wordlark::platform::win32
