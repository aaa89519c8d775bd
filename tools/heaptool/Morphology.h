// Morphology.h -- the base forms under which WordNet defines a word of the game's list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "heaptool/WordNet.h"

namespace wordlark::heaptool {

// How a base form was found: WordNet's own morphology, or one of ours, applied only to words
// that WordNet's leaves without any base form.
enum class BaseRule : std::uint8_t {
    WordNet = 0,      // the word itself, its exception list or a detachment rule
    Comparative = 1,  // -ier / -iest to -y (BOSSIER, TIDIEST)
    AdverbInLy = 2,   // an -ly adverb defined by its adjective (BRAVELY), marked so
};

struct BaseForm {
    PartOfSpeech pos = PartOfSpeech::Noun;
    std::string lemma;  // lower case, as WordNet writes it
    BaseRule rule = BaseRule::WordNet;
    bool operator==(const BaseForm&) const = default;
};

class Morphology {
public:
    explicit Morphology(const WordNet& wordNet) : wordNet_(wordNet) {}

    // The base forms of a word (any case), by part of speech in noun, verb, adjective, adverb
    // order; within one, the word itself first, then its exceptions or else the first
    // detachment rule whose result WordNet defines. Our own rules up to `ownRules` (WordNet
    // for none) then fill in for a word left without any.
    std::vector<BaseForm> baseForms(std::string_view word,
                                    BaseRule ownRules = BaseRule::AdverbInLy) const;

private:
    void wordNetForms(PartOfSpeech pos, const std::string& word, std::vector<BaseForm>* out) const;
    // The first result of the rules (suffix, replacement) that the part of speech defines.
    std::string detach(
        PartOfSpeech pos, const std::string& word,
        const std::vector<std::pair<std::string_view, std::string_view>>& rules) const;

    const WordNet& wordNet_;
};

}  // namespace wordlark::heaptool
