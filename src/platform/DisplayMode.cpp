#include "platform/DisplayMode.h"

#include <algorithm>

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

}  // namespace wordlark::platform
