#include "heaptool/DefinitionBuilder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "archive/Endian.h"
#include "words/DefinitionTable.h"

namespace wordlark::heaptool {

namespace format = words::definition_format;

namespace {

// The string area, each distinct text once.
class Strings {
public:
    std::uint32_t add(const std::string& text)
    {
        const auto [found, added] =
            offsets_.emplace(text, static_cast<std::uint32_t>(bytes_.size()));
        if (added) {
            bytes_.insert(bytes_.end(), text.begin(), text.end());
            bytes_.push_back(0);
        }
        return found->second;
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::map<std::string, std::uint32_t> offsets_;
    std::vector<std::uint8_t> bytes_;
};

void append32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t field[4];
    archive::writeLe32(field, value);
    out.insert(out.end(), field, field + 4);
}

std::string percent(std::size_t part, std::size_t whole)
{
    char text[32];
    std::snprintf(
        text, sizeof text, "%.2f %%",
        whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

}  // namespace

std::vector<std::uint8_t> DefinitionBuilder::build(const std::vector<std::string>& list,
                                                   Coverage* coverage) const
{
    std::vector<std::string> words;
    for (const std::string& word : list) {
        if (!word.empty() && word.size() < format::kWordField) {
            words.push_back(word);
        }
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());

    struct Group {
        std::uint32_t base = 0;
        std::uint8_t pos = 0;
        std::uint32_t firstRef = 0;
        std::uint8_t senses = 0;
    };
    Strings strings;
    std::vector<Group> groups;
    std::map<std::pair<std::string, PartOfSpeech>, std::int64_t> groupOf;  // -1: no senses
    std::vector<std::uint32_t> refs;
    std::vector<std::uint32_t> links;
    std::vector<std::uint8_t> wordRecords;
    std::uint32_t wordCount = 0;

    *coverage = Coverage{};
    coverage->words = list.size();
    std::map<std::string, bool> definedWord;
    for (const std::string& word : words) {
        const auto first = static_cast<std::uint32_t>(links.size());
        for (const BaseForm& form : morphology_.baseForms(word)) {
            auto [slot, added] = groupOf.emplace(std::pair{form.lemma, form.pos}, -1);
            if (added) {
                const auto glosses = wordNet_.glosses(form.pos, form.lemma, kSensesPerMeaning);
                if (!glosses.empty()) {
                    Group group{strings.add(form.lemma), static_cast<std::uint8_t>(form.pos),
                                static_cast<std::uint32_t>(refs.size()),
                                static_cast<std::uint8_t>(glosses.size())};
                    for (const std::string& gloss : glosses) {
                        refs.push_back(strings.add(gloss));
                    }
                    slot->second = static_cast<std::int64_t>(groups.size());
                    groups.push_back(group);
                }
            }
            if (slot->second < 0) {
                continue;
            }
            const std::uint32_t kind =
                form.rule == BaseRule::AdverbInLy
                    ? static_cast<std::uint32_t>(words::DefinitionKind::AdverbFromAdjective)
                    : static_cast<std::uint32_t>(words::DefinitionKind::Form);
            links.push_back(static_cast<std::uint32_t>(slot->second) | kind << 24);
        }
        if (links.size() == first) {
            continue;
        }
        definedWord[word] = true;
        std::uint8_t field[format::kWordField] = {};
        std::memcpy(field, word.data(), word.size());
        wordRecords.insert(wordRecords.end(), field, field + format::kWordField);
        append32(wordRecords, first);
        ++wordCount;
    }

    // Coverage counts the list as it stands, duplicates included, at each step of the rules.
    for (const std::string& word : list) {
        const bool defined = definedWord.count(word) > 0;
        if (!defined) {
            coverage->missing.push_back(word);
            continue;
        }
        for (std::size_t step = 0; step < coverage->defined.size(); ++step) {
            const auto forms = morphology_.baseForms(word, static_cast<BaseRule>(step));
            const bool any = std::any_of(forms.begin(), forms.end(), [&](const BaseForm& form) {
                const auto found = groupOf.find({form.lemma, form.pos});
                return found != groupOf.end() && found->second >= 0;
            });
            coverage->defined[step] += any ? 1 : 0;
        }
    }

    std::vector<std::uint8_t> out(format::kMagic, format::kMagic + 4);
    append32(out, wordCount);
    append32(out, static_cast<std::uint32_t>(links.size()));
    append32(out, static_cast<std::uint32_t>(groups.size()));
    append32(out, static_cast<std::uint32_t>(refs.size()));
    append32(out, static_cast<std::uint32_t>(strings.bytes().size()));
    out.insert(out.end(), wordRecords.begin(), wordRecords.end());
    for (const std::uint32_t link : links) {
        append32(out, link);
    }
    for (const Group& group : groups) {
        append32(out, group.base);
        out.push_back(group.pos);
        out.push_back(group.senses);
        out.push_back(0);
        out.push_back(0);
        append32(out, group.firstRef);
    }
    for (const std::uint32_t ref : refs) {
        append32(out, ref);
    }
    out.insert(out.end(), strings.bytes().begin(), strings.bytes().end());
    return out;
}

std::string DefinitionBuilder::report(const Coverage& coverage)
{
    static const char* const kSteps[] = {"WordNet's morphology", "+ -ier/-iest to -y",
                                         "+ -ly adverbs from adjectives"};
    std::string out;
    for (std::size_t step = 0; step < coverage.defined.size(); ++step) {
        out += "definitions: " + std::string(kSteps[step]) + ": " +
               std::to_string(coverage.defined[step]) + " of " + std::to_string(coverage.words) +
               " words (" + percent(coverage.defined[step], coverage.words) + ")\n";
    }
    out += "definitions: " + std::to_string(coverage.missing.size()) + " words without an entry";
    std::size_t column = 80;
    for (const std::string& word : coverage.missing) {
        if (column + word.size() + 1 > 100) {
            out += "\n ";
            column = 1;
        }
        out += " " + word;
        column += word.size() + 1;
    }
    out += "\n";
    return out;
}

}  // namespace wordlark::heaptool
