#include "platform/win32/DibSection.h"

#include <cstring>

#include <windows.h>

namespace wordlark::platform::win32 {

HBITMAP createDibSection(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                         void** bits)
{
    // Room for the three masks of a 16-bit DIB or the 256 colours of an 8-bit one.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    if (bitsPerPixel == 16) {
        info.header.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info.colors, masks, sizeof(masks));
    } else {
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = 256;
        for (int i = 0; i < 256; ++i) {
            const auto level = static_cast<BYTE>(i);
            info.colors[i] = {level, level, level, 0};
        }
    }
    *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      bits, nullptr, 0);
    if (bitmap != nullptr && *bits == nullptr) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (bitmap == nullptr) {
        *bits = nullptr;
    }
    return bitmap;
}

}  // namespace wordlark::platform::win32
