#include "platform/Launch.h"

#include <windows.h>
// The shell's calls need windows.h first.
#include <shellapi.h>

#include <cstdint>

#include "platform/FileSystem.h"

namespace wordlark::platform {

bool isExecutableFile(const std::string& path)
{
    // Windows keeps no executable mark: a regular file it can start as a program is one.
    DWORD type = 0;
    return !path.empty() && kindOfPath(path) == FileKind::Regular &&
           ::GetBinaryTypeA(path.c_str(), &type);
}

bool startDetached(const std::string& path)
{
    if (!isExecutableFile(path)) {
        return false;
    }
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // Nothing of ours is inherited, and both handles go at once: the program is never waited for.
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
        return false;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}

bool startFromMiddleChild(const std::function<bool()>& start)
{
    return start();
}

bool openHelpPage(const std::string& path)
{
    // The help is HTML under an old name; the shell opens it in a browser only as .html. The
    // temporary folder is the user's own.
    char folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) {
        return false;
    }
    const std::string copy = std::string(folder, length) + "wordlark-help.html";
    if (!::CopyFileA(path.c_str(), copy.c_str(), FALSE)) {
        return false;
    }
    const HINSTANCE opened =
        ::ShellExecuteA(nullptr, "open", copy.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<std::intptr_t>(opened) > 32;
}

}  // namespace wordlark::platform
