#include "heaptool/Morphology.h"

#include <algorithm>
#include <cctype>

namespace wordlark::heaptool {

namespace {

using Rules = std::vector<std::pair<std::string_view, std::string_view>>;

// WordNet's detachment rules, tried in this order; the first defined result wins.
const Rules kNounRules = {{"s", ""},      {"ses", "s"},   {"xes", "x"},   {"zes", "z"},
                          {"ches", "ch"}, {"shes", "sh"}, {"men", "man"}, {"ies", "y"}};
const Rules kVerbRules = {{"s", ""},   {"ies", "y"}, {"es", "e"},  {"es", ""},
                          {"ed", "e"}, {"ed", ""},   {"ing", "e"}, {"ing", ""}};
const Rules kAdjectiveRules = {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}};
// Ours: comparatives of adjectives in -y, which WordNet's rules miss.
const Rules kComparativeRules = {{"ier", "y"}, {"iest", "y"}};
// Ours: adverbs in -ly that WordNet does not list, defined by the adjective they come from.
const Rules kAdverbRules = {{"ily", "y"}, {"ally", ""},  {"ly", ""},
                            {"ly", "le"}, {"lly", "ll"}, {"ly", "e"}};

bool endsWith(std::string_view word, std::string_view suffix)
{
    return word.size() > suffix.size() && word.substr(word.size() - suffix.size()) == suffix;
}

const Rules& rulesOf(PartOfSpeech pos)
{
    static const Rules kNone;
    switch (pos) {
        case PartOfSpeech::Noun:
            return kNounRules;
        case PartOfSpeech::Verb:
            return kVerbRules;
        case PartOfSpeech::Adjective:
            return kAdjectiveRules;
        case PartOfSpeech::Adverb:
            break;
    }
    return kNone;
}

}  // namespace

std::string Morphology::detach(PartOfSpeech pos, const std::string& word, const Rules& rules) const
{
    for (const auto& [suffix, replacement] : rules) {
        if (!endsWith(word, suffix)) {
            continue;
        }
        std::string base = word.substr(0, word.size() - suffix.size());
        base += replacement;
        if (base != word && wordNet_.has(pos, base)) {
            return base;
        }
    }
    return {};
}

void Morphology::wordNetForms(PartOfSpeech pos, const std::string& word,
                              std::vector<BaseForm>* out) const
{
    const auto add = [&](const std::string& lemma) {
        const BaseForm form{pos, lemma, BaseRule::WordNet};
        if (wordNet_.has(pos, lemma) && std::find(out->begin(), out->end(), form) == out->end()) {
            out->push_back(form);
        }
    };
    add(word);
    const std::vector<std::string>& exceptions = wordNet_.exceptions(pos, word);
    if (!exceptions.empty()) {
        for (const std::string& base : exceptions) {
            add(base);
        }
        return;
    }
    if (pos == PartOfSpeech::Adverb) {
        return;
    }
    if (pos == PartOfSpeech::Noun) {
        // "spoonsful" is the plural of "spoonful": the rules apply before the "ful".
        if (endsWith(word, "ful")) {
            const std::string stem = detach(pos, word.substr(0, word.size() - 3), kNounRules);
            if (!stem.empty()) {
                add(stem + "ful");
            }
            return;
        }
        if (endsWith(word, "ss") || word.size() <= 2) {
            return;
        }
    }
    const std::string base = detach(pos, word, rulesOf(pos));
    if (!base.empty()) {
        add(base);
    }
}

std::vector<BaseForm> Morphology::baseForms(std::string_view word, BaseRule ownRules) const
{
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::vector<BaseForm> out;
    for (const PartOfSpeech pos : kPartsOfSpeech) {
        wordNetForms(pos, lower, &out);
    }
    if (out.empty() && ownRules >= BaseRule::Comparative) {
        const std::string base = detach(PartOfSpeech::Adjective, lower, kComparativeRules);
        if (!base.empty()) {
            out.push_back({PartOfSpeech::Adjective, base, BaseRule::Comparative});
        }
    }
    if (out.empty() && ownRules >= BaseRule::AdverbInLy) {
        const std::string base = detach(PartOfSpeech::Adjective, lower, kAdverbRules);
        if (!base.empty()) {
            out.push_back({PartOfSpeech::Adjective, base, BaseRule::AdverbInLy});
        }
    }
    return out;
}

}  // namespace wordlark::heaptool
