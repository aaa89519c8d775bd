// WindowHandle.h -- the seam's window ids as the system's window handles, and back.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct HWND__;

namespace wordlark::platform::win32 {

// A window handle is meaningful in its low 32 bits alone (the system keeps them so for 32-bit
// and 64-bit programs to share windows), so the id is the handle cut to 32 bits and the handle
// is the id widened with its sign, as the system widens handles itself.
inline WindowId windowIdOf(HWND__* window)
{
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
}

inline HWND__* windowHandleOf(WindowId window)
{
    return reinterpret_cast<HWND__*>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

}  // namespace wordlark::platform::win32
