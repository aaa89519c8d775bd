// SaveProblems.h -- telling the player, once, that his progress or a word could not be saved,
// or what else went wrong with the files he relies on.
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <string_view>

namespace wordlark::game {

// A save that fails must not pass unnoticed: each different reason goes to the error stream
// once per run, and the first failure of the run is shown on the game screen until the next
// deal, so a full disk or a read-only folder does not cost a session of play in silence.
class SaveProblems {
public:
    // `errors` receives the one-line reports (standard error in the game).
    explicit SaveProblems(std::FILE* errors = stderr) : errors_(errors) {}

    // `what` is what was lost ("the record of Anna"), `reason` why.
    void report(std::string_view what, std::string_view reason);
    // Any other trouble with the player's files or the game's own (a record that cannot be
    // read, one moved aside as damaged, a name that cannot be a file, help that cannot be
    // opened): the line goes to the error stream once per run, and `shown` (the line itself
    // when empty) goes at once to the screen, in place of what it showed, until the next deal.
    void tell(std::string_view line, std::string_view shown = {});
    // A trouble the screen shows by itself (a picture that is not drawn): the line goes to the
    // error stream once per run, and nothing to the screen.
    void log(std::string_view line);
    // The next deal takes the notice off the screen; later failures are reported on the error
    // stream only.
    void clearNotice() { notice_.clear(); }
    // The line the game screen shows, empty for none.
    const std::string& notice() const { return notice_; }

private:
    std::FILE* errors_;
    std::set<std::string> reported_;
    std::string notice_;
    bool shown_ = false;
};

}  // namespace wordlark::game
