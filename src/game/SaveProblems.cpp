#include "game/SaveProblems.h"

namespace wordlark::game {

void SaveProblems::report(std::string_view what, std::string_view reason)
{
    const std::string line =
        "wordlark: cannot save " + std::string(what) + ": " + std::string(reason);
    if (errors_ != nullptr && reported_.insert(std::string(reason)).second) {
        std::fprintf(errors_, "%s\n", line.c_str());
        std::fflush(errors_);
    }
    if (!shown_) {
        shown_ = true;
        // The screen has room for the system's own words only, not for the paths before them.
        const std::size_t colon = reason.rfind(": ");
        const std::string_view cause =
            colon == std::string_view::npos ? reason : reason.substr(colon + 2);
        notice_ = "Could not save " + std::string(what) + ": " + std::string(cause);
    }
}

void SaveProblems::log(std::string_view line)
{
    if (errors_ != nullptr && reported_.insert(std::string(line)).second) {
        std::fprintf(errors_, "wordlark: %.*s\n", static_cast<int>(line.size()), line.data());
        std::fflush(errors_);
    }
}

void SaveProblems::tell(std::string_view line, std::string_view shown)
{
    log(line);
    notice_ = shown.empty() ? line : shown;
}

}  // namespace wordlark::game
