#include "platform/Launch.h"

#include <windows.h>
// The shell's calls need windows.h first.
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <utility>

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

bool openHelpPage(const std::string& path, std::string* why)
{
    std::string problem = helpPageProblem(path);
    if (problem.empty()) {
        // The page is opened where it lies, under the .html name the shell knows.
        const HINSTANCE opened =
            ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        // Values above 32 mean success; the others are the shell's error codes.
        const auto code = reinterpret_cast<std::intptr_t>(opened);
        if (code > 32) {
            return true;
        }
        problem = code == SE_ERR_NOASSOC
                      ? "no program is set to open .html pages"
                      : "the shell could not open the page (error " + std::to_string(code) + ")";
    }
    if (why != nullptr) {
        *why = std::move(problem);
    }
    return false;
}

}  // namespace wordlark::platform
