// DefinitionBuilder.h -- makes the definitions entry for a word list from WordNet.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "heaptool/Morphology.h"
#include "heaptool/WordNet.h"

namespace wordlark::heaptool {

class DefinitionBuilder {
public:
    // Up to this many senses for each base form and part of speech.
    static constexpr std::size_t kSensesPerMeaning = 3;

    explicit DefinitionBuilder(const WordNet& wordNet) : wordNet_(wordNet), morphology_(wordNet) {}

    struct Coverage {
        std::size_t words = 0;
        // Words with an entry under WordNet's morphology alone, then with each of our rules
        // added in turn (BaseRule order).
        std::array<std::size_t, 3> defined{};
        std::vector<std::string> missing;  // without any entry, in list order
    };

    // The entry (the layout in words/DefinitionTable.h) for the words in capitals; *coverage
    // says how many found an entry at each step of the rules.
    std::vector<std::uint8_t> build(const std::vector<std::string>& words,
                                    Coverage* coverage) const;

    // The build log's lines: the coverage after each rule and the words without an entry.
    static std::string report(const Coverage& coverage);

private:
    const WordNet& wordNet_;
    Morphology morphology_;
};

}  // namespace wordlark::heaptool
