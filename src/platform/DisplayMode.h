// DisplayMode.h -- how the 640 x 480 frame is shown: its window's whole-number scale, or the
// full screen, sharp or smooth. Every position in the game stays in the frame's own pixels.
#pragma once

#include <cstdint>

namespace wordlark::platform {

struct Point;

inline constexpr std::int32_t kFrameWidth = 640;
inline constexpr std::int32_t kFrameHeight = 480;
inline constexpr int kFitScale = 0;  // DisplayMode::scale: the largest that fits
inline constexpr int kMaxScale = 8;

struct DisplayMode {
    int scale = kFitScale;    // the window's scale, 1 to kMaxScale, or kFitScale
    bool fullscreen = false;  // the frame fills the screen instead of a window
    // In full screen: stretched to the screen's height keeping 4:3 (bilinear) instead of the
    // largest whole-number scale centred on black.
    bool smooth = false;

    bool operator==(const DisplayMode&) const = default;
};

// The largest whole-number scale whose frame fits in `area` (a screen's usable desktop area),
// at least 1 and at most kMaxScale.
int fittingScale(Point area);

// The scale a window in `mode` gets on a desktop whose usable area is `area`: fit resolves to
// fittingScale, and a scale that would not fit is lowered to it.
int windowScale(const DisplayMode& mode, Point area);

}  // namespace wordlark::platform
