#include "platform/Desktop.h"

#include <cerrno>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include "platform/headless/HeadlessDesktop.h"

extern char** environ;

namespace wordlark::platform {

namespace {

Desktop*& currentDesktop()
{
    static Desktop* current = nullptr;
    return current;
}

WindowId& theMainWindow()
{
    static WindowId window = kNoWindow;
    return window;
}

}  // namespace

Desktop& desktop()
{
    Desktop* current = currentDesktop();
    return current != nullptr ? *current : headless::headlessDesktop();
}

void setDesktop(Desktop* backend)
{
    currentDesktop() = backend;
}

WindowId mainWindow()
{
    return theMainWindow();
}

void setMainWindow(WindowId window)
{
    theMainWindow() = window;
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool startDetached(const std::string& path)
{
    if (!isExecutableFile(path)) {
        return false;
    }
    return startFromMiddleChild([&path] {
        pid_t child = 0;
        char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
        return ::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, environ) == 0;
    });
}

bool startFromMiddleChild(const std::function<bool()>& start)
{
    const pid_t middle = ::fork();
    if (middle < 0) {
        return false;
    }
    if (middle == 0) {
        ::setsid();
        // The game ignores the file-size signal so that an oversized write fails like any
        // other; what it starts must get the usual behaviour back, as an ignored signal would
        // pass on through exec.
        ::signal(SIGXFSZ, SIG_DFL);
        ::_exit(start() ? 0 : 1);
    }
    int status = 0;
    pid_t waited = 0;
    do {
        waited = ::waitpid(middle, &status, 0);
    } while (waited < 0 && errno == EINTR);
    return waited == middle && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace wordlark::platform
