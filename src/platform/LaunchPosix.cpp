#include "platform/Launch.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

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

bool openHelpPage(const std::string& path)
{
    // The help is HTML under an old name; a browser recognises it only as .html.
    std::error_code ec;
    const std::filesystem::path copy = std::filesystem::temp_directory_path(ec) /
                                       ("wordlark-help-" + std::to_string(::getuid()) + ".html");
    if (ec) {
        return false;
    }
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        return false;
    }
    const std::string target = copy.string();
    return startFromMiddleChild([&target] {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return child >= 0;
    });
}

}  // namespace wordlark::platform
