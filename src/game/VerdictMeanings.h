// VerdictMeanings.h -- what the two words of the last verdict mean, shown where the game
// screen's instructions stand.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "words/Definitions.h"

namespace wordlark::archive {
class ArchiveRegistry;
}
namespace wordlark::graphics {
class Display;
}
namespace wordlark::words {
class Dictionary;
}

namespace wordlark::game {

class VerdictMeanings {
public:
    // The instructions' three lines, as they stood in the background picture.
    static constexpr std::int32_t kLeft = 14;
    static constexpr std::int32_t kWidth = 356;

    // Reads nothing until the first verdict. Both must outlive this object.
    VerdictMeanings(archive::ArchiveRegistry& registry, const words::Dictionary& dictionary);

    // After a verdict: the meaning of each word (none for an empty one).
    void show(std::string_view playerWord, std::string_view computerWord);
    // A new deal: the instructions come back.
    void clear();
    // The instructions, or both meanings cut to their two lines each. Leaves the text state
    // upright for whatever is drawn next.
    void draw(graphics::Display& display);

    // The whole texts, before cutting; none for a side without a word or before a verdict.
    const std::optional<std::string>& player() const { return player_; }
    const std::optional<std::string>& computer() const { return computer_; }

    // "WORD: ...": the stored meaning, or why there is none.
    std::string textOf(std::string_view word);

private:
    words::Definitions definitions_;
    const words::Dictionary& dictionary_;
    bool shown_ = false;
    std::optional<std::string> player_;
    std::optional<std::string> computer_;
    // The texts as cut for the screen, made on the first frame that shows them.
    std::vector<std::string> lines_;
    bool cut_ = false;
};

}  // namespace wordlark::game
