#include "platform/win32/ScaledFrame.h"

#include <cstdint>

#include "platform/Desktop.h"

#include <windows.h>

namespace wordlark::platform::win32 {

namespace {

// A window property: any window (the demo's, the tests') is left alone unless marked.
constexpr const char* kProperty = "WordlarkScaledFrame";
constexpr std::uintptr_t kSharp = 1;
constexpr std::uintptr_t kSmooth = 2;

}  // namespace

void markScaledFrame(HWND window, bool smooth)
{
    SetPropA(window, kProperty, reinterpret_cast<HANDLE>(smooth ? kSmooth : kSharp));
}

void unmarkScaledFrame(HWND window)
{
    RemovePropA(window, kProperty);
}

std::optional<FramePlacement> scaledFramePlacement(HWND window)
{
    const auto mark = reinterpret_cast<std::uintptr_t>(GetPropA(window, kProperty));
    RECT client{};
    if (mark == 0 || GetClientRect(window, &client) == 0) {
        return std::nullopt;
    }
    return placeFrame({client.right - client.left, client.bottom - client.top}, mark == kSmooth);
}

}  // namespace wordlark::platform::win32
