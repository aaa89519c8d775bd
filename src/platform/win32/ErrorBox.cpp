#include "platform/win32/ErrorBox.h"

#include <windows.h>

namespace wordlark::platform::win32 {

void showErrorBox(const std::string& message)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, message.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, message.c_str(), -1, wide.data(), length);
    }
    MessageBoxW(nullptr, wide.c_str(), L"Wordlark", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace wordlark::platform::win32
