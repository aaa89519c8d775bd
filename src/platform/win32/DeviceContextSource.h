// DeviceContextSource.h -- where GDI finds a device context onto a surface of the video.
#pragma once

#include "platform/Surface.h"

struct HDC__;

namespace wordlark::platform::win32 {

// Text is drawn into the frame through a device context onto the frame's own pixels, so it
// lands in the frame in call order with everything else. The video that made a surface knows
// that context.
class DeviceContextSource {
public:
    virtual ~DeviceContextSource() = default;
    // The context that draws into `surface`'s pixels, held by the source for the surface's
    // life; null for a surface the source did not make (a view of one included).
    virtual HDC__* deviceContext(const Surface& surface) = 0;
};

}  // namespace wordlark::platform::win32
