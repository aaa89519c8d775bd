#include "platform/DisplayMode.h"

#include <algorithm>
#include <cstdint>

#include "platform/Desktop.h"

namespace wordlark::platform {

int fittingScale(Point area)
{
    const int across = area.x / kFrameWidth;
    const int down = area.y / kFrameHeight;
    return std::clamp(std::min(across, down), 1, kMaxScale);
}

int windowScale(const DisplayMode& mode, Point area)
{
    const int fits = fittingScale(area);
    return mode.scale == kFitScale ? fits : std::min(mode.scale, fits);
}

std::string scaleLoweredNote(const DisplayMode& mode, Point area)
{
    const int scale = windowScale(mode, area);
    if (mode.scale == kFitScale || mode.scale == scale) {
        return {};
    }
    return "scale " + std::to_string(mode.scale) + " does not fit the screen's usable area (" +
           std::to_string(area.x) + "x" + std::to_string(area.y) + "); showing scale " +
           std::to_string(scale);
}

namespace {

// Rounds toward minus infinity, so that a point left of the frame is left of its pixel 0.
std::int32_t floorDivide(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return static_cast<std::int32_t>(q * b > a ? q - 1 : q);
}

}  // namespace

Point FramePlacement::toFrame(Point output) const
{
    if (width <= 0 || height <= 0) {
        return output;
    }
    return {floorDivide(std::int64_t{output.x - x} * kFrameWidth, width),
            floorDivide(std::int64_t{output.y - y} * kFrameHeight, height)};
}

Point FramePlacement::fromFrame(Point frame) const
{
    return {x + floorDivide(std::int64_t{frame.x} * width + width / 2, kFrameWidth),
            y + floorDivide(std::int64_t{frame.y} * height + height / 2, kFrameHeight)};
}

FramePlacement placeFrame(Point output, bool smooth)
{
    FramePlacement placement;
    if (smooth) {
        // As tall as the output, unless that is too wide for it.
        placement.height = std::max(output.y, 1);
        placement.width = static_cast<std::int32_t>(std::int64_t{placement.height} * 4 / 3);
        if (placement.width > output.x) {
            placement.width = std::max(output.x, 1);
            placement.height = static_cast<std::int32_t>(std::int64_t{placement.width} * 3 / 4);
        }
        placement.smooth = true;
    } else {
        const int scale = fittingScale(output);
        placement.width = kFrameWidth * scale;
        placement.height = kFrameHeight * scale;
    }
    placement.x = (output.x - placement.width) / 2;
    placement.y = (output.y - placement.height) / 2;
    return placement;
}

}  // namespace wordlark::platform
