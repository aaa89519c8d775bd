// DisplayMode.h -- how the 640 x 480 frame is shown: its window's whole-number scale, or the
// full screen, sharp or smooth. Every position in the game stays in the frame's own pixels.
#pragma once

#include <cstdint>
#include <string>

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

// The line said when `mode` asks for a window scale that does not fit `area` and is lowered;
// empty when it fits (fit always does).
std::string scaleLoweredNote(const DisplayMode& mode, Point area);

// Where the frame is shown in an output (a window or a screen) of real pixels: the largest
// whole-number scale centred on black, or (smooth) the largest 4:3 rectangle, centred.
struct FramePlacement {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = kFrameWidth;
    std::int32_t height = kFrameHeight;
    bool smooth = false;

    // A point of the output as the frame pixel under it (outside the frame too, by the same
    // rule), and a frame pixel as the output pixel at its centre.
    Point toFrame(Point output) const;
    Point fromFrame(Point frame) const;
};
FramePlacement placeFrame(Point output, bool smooth);

}  // namespace wordlark::platform
