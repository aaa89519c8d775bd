// AnalysisPanel.h -- every word the deal's letters allowed, with its count, sorted and scrolled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "panels/ButtonPanel.h"

namespace wordlark::game {
class Game;
}

namespace wordlark::screens {

// The analysis screen's commands, in the order of its button table.
enum AnalysisCommand : std::int32_t {
    kAnalysisUp = 0,
    kAnalysisDown = 1,
    kAnalysisClose = 2,
    kAnalysisAlphabetical = 3,  // the picture "an_sortlen"
    kAnalysisByLength = 4,      // the picture "an_sortname"
};

class AnalysisPanel : public panels::ButtonPanel {
public:
    // Lists every dictionary word, then every word of the player's list, that the letters
    // make (duplicates kept), sorted by `alphabetical`, which the sort buttons change and
    // which outlives the panel.
    AnalysisPanel(std::string_view backgroundName, game::Game& game, std::string_view letters,
                  bool& alphabetical);

    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    void draw() override;
    std::string_view className() const override { return "AnalysisPanel"; }
    void describe(nlohmann::ordered_json& fields) const override;

    const std::vector<std::string>& words() const { return words_; }
    // The index of the word in the first visible row.
    std::size_t top() const { return top_; }
    // The index of the word chosen for its meaning; none until a row is clicked.
    std::optional<std::size_t> selected() const { return selected_; }

private:
    // A press on a row of the list chooses its word.
    void clickRow();
    // Makes the word at `index` the chosen one, its meaning shown from the first line.
    void choose(std::size_t index);
    // The chosen word's meaning as the strip wraps it, every line.
    const std::vector<std::string>& stripLines();
    // The meaning longer than the strip moves by `lines` (negative: back), kept in range.
    void scrollStrip(std::ptrdiff_t lines);
    // A press on the strip shows its next page, the first again after the last.
    bool clickStrip();
    // Up and Down move a chosen word's mark, the list following it; false without one.
    bool moveSelection(platform::WParam key);
    // Puts the words in `order` (indexes of the present list), keeping the chosen word.
    void reorder(const std::vector<std::size_t>& order);
    // The arrow, page, Home and End keys scroll as the arrow buttons do; false for others.
    bool scrollKey(platform::WParam key);
    void sortAlphabetically();
    void sortByLength();

    game::Game& game_;
    bool& alphabetical_;
    std::vector<std::string> words_;
    std::size_t top_ = 0;
    std::optional<std::size_t> selected_;
    // The chosen word's meaning, whole and as wrapped for the strip below the list, and the
    // wrapped line at the strip's top.
    std::optional<std::string> definition_;
    std::vector<std::string> definitionLines_;
    bool definitionWrapped_ = false;
    std::size_t definitionLine_ = 0;
};

}  // namespace wordlark::screens
