// DibSection.h -- a top-down GDI DIB section in the frame's layouts (RGB565, or 8-bit indices).
#pragma once

#include <cstdint>

struct HBITMAP__;

namespace wordlark::platform::win32 {

// A DIB section `width` x `height` with the top row first, as the frame is addressed: 16 bits
// per pixel are RGB565, 8 bits index a grey ramp until a palette is given. Its pixels in
// *bits; null (and *bits null) when the system cannot make it.
HBITMAP__* createDibSection(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                            void** bits);

}  // namespace wordlark::platform::win32
