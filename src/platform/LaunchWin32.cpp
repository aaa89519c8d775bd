#include "platform/Launch.h"

#include <windows.h>
// The shell's calls need windows.h first.
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string_view>

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

namespace {

bool endsWithNoCase(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

bool openHelpPage(const std::string& path)
{
    if (kindOfPath(path) != FileKind::Regular) {
        return false;
    }
    // The help is HTML under an old name; the shell opens it in a browser only as .html. The
    // temporary folder is the user's own.
    std::string page = path;
    if (!endsWithNoCase(path, ".html") && !endsWithNoCase(path, ".htm")) {
        char folder[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathA(sizeof folder, folder);
        if (length == 0 || length > MAX_PATH) {
            return false;
        }
        page = std::string(folder, length) + "wordlark-help.html";
        if (!::CopyFileA(path.c_str(), page.c_str(), FALSE)) {
            return false;
        }
    }
    const HINSTANCE opened =
        ::ShellExecuteA(nullptr, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<std::intptr_t>(opened) > 32;
}

}  // namespace wordlark::platform
