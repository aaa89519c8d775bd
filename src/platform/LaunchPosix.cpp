#include "platform/Launch.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace wordlark::platform {

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

namespace {

// What the middle child that starts the help's opener answers.
enum HelpOpened : int { kOpened = 0, kNoOpener = 1, kOpenerFailed = 2, kNoMiddleChild = 3 };

// How long the help's opener is watched. xdg-open that finds no browser, or no program for
// HTML, gives up well within this; one still running by then is showing the page (some
// browsers keep it until they are closed), and the game must not wait on that.
constexpr int kOpenerWatchMilliseconds = 500;

// startFromMiddleChild, with the middle child's exit code; kNoMiddleChild when there is none.
int exitOfMiddleChild(const std::function<int()>& start)
{
    const pid_t middle = ::fork();
    if (middle < 0) {
        return kNoMiddleChild;
    }
    if (middle == 0) {
        ::setsid();
        // The game ignores the file-size signal so that an oversized write fails like any
        // other; what it starts must get the usual behaviour back, as an ignored signal would
        // pass on through exec.
        ::signal(SIGXFSZ, SIG_DFL);
        ::_exit(start());
    }
    int status = 0;
    pid_t waited = 0;
    do {
        waited = ::waitpid(middle, &status, 0);
    } while (waited < 0 && errno == EINTR);
    return waited == middle && WIFEXITED(status) ? WEXITSTATUS(status) : kNoMiddleChild;
}

// In the middle child: starts xdg-open on the page, its output kept off the game's error stream
// (the game says in one line what failed), and watches it for a moment.
int startHelpOpener(const std::string& page)
{
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&quiet, 1, 2);
    pid_t opener = 0;
    char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(page.c_str()), nullptr};
    const int error = ::posix_spawnp(&opener, "xdg-open", &quiet, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&quiet);
    if (error != 0) {
        return kNoOpener;
    }
    constexpr int kStep = 10;
    for (int waited = 0; waited < kOpenerWatchMilliseconds; waited += kStep) {
        int status = 0;
        const pid_t ended = ::waitpid(opener, &status, WNOHANG);
        if (ended == opener) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kOpened : kOpenerFailed;
        }
        if (ended < 0 && errno != EINTR) {
            return kOpened;
        }
        ::usleep(kStep * 1000);
    }
    return kOpened;
}

}  // namespace

bool startFromMiddleChild(const std::function<bool()>& start)
{
    return exitOfMiddleChild([&start] { return start() ? 0 : 1; }) == 0;
}

bool openHelpPage(const std::string& path, std::string* why)
{
    std::string problem = helpPageProblem(path);
    if (problem.empty()) {
        // The page is opened where it lies. A copy under a name the browser knows would have to
        // sit in a folder other users can write to, where a link planted at a name we pick
        // leads the copy onto a file of theirs.
        switch (exitOfMiddleChild([&path] { return startHelpOpener(path); })) {
            case kOpened:
                return true;
            case kNoOpener:
                problem = "xdg-open could not be started (is xdg-utils installed?)";
                break;
            case kOpenerFailed:
                problem = "xdg-open could not show the page";
                break;
            default:
                problem =
                    std::string("no process to start xdg-open (") + std::strerror(errno) + ")";
                break;
        }
    }
    if (why != nullptr) {
        *why = std::move(problem);
    }
    return false;
}

}  // namespace wordlark::platform
